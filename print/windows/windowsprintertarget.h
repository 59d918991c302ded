// The Windows target: a printer of the Windows spooler, the page drawn
// through Qt's native print path (QPrinter::NativeFormat), so that every
// printer driver takes it, virtual ones included. The document starts and
// ends on the thread that delivers, never the window's: the spooler may take
// its time, and a printer on a port that asks for a file name (FILE:,
// PORTPROMPT:, as "Microsoft Print to PDF" has) shows its dialog then.
// Cancelling that dialog prints nothing. Nothing reaches the spooler
// before the whole page is composed.
#pragma once

#include "print/targets/queuetarget.h"

namespace rotamet::print {

namespace queue {
// The printer's port, as the spooler has it (GetPrinter, level 2); empty
// when it cannot be read. May block.
std::string portOf(const std::string &printer);
}  // namespace queue

class WindowsPrinterTarget : public QueueTarget {
public:
    // copies: 0 for as many as the printer is set to print. The printer's
    // where is its port (USB001, LPT1:, a network port, PORTPROMPT:...); a
    // printer whose port is not known (where empty) has it looked up when
    // the page goes.
    explicit WindowsPrinterTarget(queue::Queue printer, int copies = 0) : QueueTarget(std::move(printer), copies) {}

    // Whether a printer on this port asks the user for a file name when a
    // document starts.
    static bool portAsksForFile(const std::string &port);

protected:
    bool send(const Page &page) override;
};

}  // namespace rotamet::print

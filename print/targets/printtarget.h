// Where a composed page goes: one small class per target, each with one way
// to hand a page over and one place where that can fail.
// - PdfFolderTarget (pdffoldertarget.h): a new PDF file in a folder;
// - PdfFileTarget (pdffiletarget.h): a PDF file the user named;
// - CupsQueueTarget (print/cups/, Linux): a CUPS queue that takes the page
//   as a PDF file;
// - WindowsPrinterTarget (print/windows/, Windows): a printer of the Windows
//   spooler, the page drawn through Qt's native print path.
// The two queue targets share QueueTarget (queuetarget.h). The composer
// (print/pagecomposer.h) hands each page to one of them as a print job;
// which one is chosen per print.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "numtext/runtimeerror.h"

namespace rotamet::print {

class Page;

// What the PDF targets give as their second text.
inline constexpr const char *kPdfFileText = "(file PDF)";

class PrintTarget {
public:
    virtual ~PrintTarget() = default;

    // The names the user reads, known without asking anyone: the printer's
    // name or the file's path, and where it sends the page (the queue's
    // device or port; "(file PDF)"). Any thread.
    virtual std::string deviceName() const = 0;
    virtual std::string secondText() const = 0;
    // How many copies of the page it asks for; 0: as many as the printer is
    // set to print (one, unless the user set it otherwise).
    virtual int copies() const { return 0; }

    struct Handed {
        std::string deviceName;  // what received the page (a PDF: the file written)
        std::string waiting;     // why it waits instead of being printed now; empty when nothing holds it
    };
    // Draws the page and hands it over; nothing when the user cancelled a
    // dialog of the printer's. Blocks as long as the print server, the
    // spooler, the disk or a driver's dialog takes: never called on the
    // window's thread. Throws RunTimeError (482 for the printer, 75 for a
    // folder); a page that does not reach its target leaves nothing behind.
    virtual std::optional<Handed> deliver(const Page &page) = 0;

    // The error of a hand-over given up at its deadline, naming what did not
    // answer (a printer here; a PDF target names its folder). mayStillCome:
    // the target had let the page out, which may still arrive; the message
    // then says so (the composer throws it as print/printer.h's
    // PageMayStillCome).
    virtual RunTimeError lateError(std::chrono::seconds deadline, bool mayStillCome) const;
};

}  // namespace rotamet::print

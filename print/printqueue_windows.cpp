// The print queues of print/printqueue.h on Windows: the spooler's printers,
// as Qt's Windows print support sees them. A page reaches a printer drawn
// through Qt's native print path, never as a file.
#include "print/printqueue.h"

#include <QPrinterInfo>

namespace rotamet::print::queue {

std::optional<Queue> defaultQueue()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return std::nullopt;
    Queue queue;
    queue.name = info.printerName().toStdString();
    queue.where = (info.location().isEmpty() ? info.makeAndModel() : info.location()).toStdString();
    return queue;
}

State state(const std::string &queue)
{
    // The spooler takes jobs for a paused printer (or one in error) and
    // holds them; Qt tells both as its error state.
    const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(queue));
    return {true, !info.isNull() && info.state() == QPrinter::Error};
}

bool takesPdfFiles() { return false; }

int printFile(const std::string &, const std::string &, const char *, std::string &reason)
{
    reason = "la stampante non accetta file";
    return 0;
}

}  // namespace rotamet::print::queue

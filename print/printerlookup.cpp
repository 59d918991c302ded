#include "print/printerlookup.h"

#include "print/offthread.h"
#include "print/pdffoldertarget.h"
#include "print/printqueue.h"

namespace rotamet::print {

namespace {
// On the lookup's thread: every call here may block on the print server.
std::shared_ptr<PrintTarget> findTarget()
{
    if (const std::optional<queue::Queue> found = queue::defaultQueue())
        return queue::targetFor(*found);
    return std::make_shared<PdfFolderTarget>(PdfFolderTarget::documentsFolder());
}
}  // namespace

PrinterLookup::PrinterLookup(QObject *parent) : QObject(parent) {}

void PrinterLookup::start()
{
    if (underWay_)
        return;
    underWay_ = true;
    runOffThread<std::shared_ptr<PrintTarget>>(this, findTarget, [this](std::shared_ptr<PrintTarget> found) {
        answer_ = std::move(found);
        ++answers_;
        underWay_ = false;
        emit answered();
    });
}

}  // namespace rotamet::print

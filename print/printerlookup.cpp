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
    auto folder = std::make_shared<PdfFolderTarget>(PdfFolderTarget::documentsFolder());
    folder->workOutNextFile();
    return folder;
}
}  // namespace

PrinterLookup::PrinterLookup(QObject *parent) : QObject(parent) {}

void PrinterLookup::start()
{
    if (underWay_)
        return;
    underWay_ = true;
    const quint64 question = ++question_;
    runOffThread<std::shared_ptr<PrintTarget>>(this, findTarget, [this, question](std::shared_ptr<PrintTarget> found) {
        if (question != question_)
            return;  // abandoned
        answer_ = std::move(found);
        ++answers_;
        underWay_ = false;
        emit answered();
    });
}

void PrinterLookup::abandon()
{
    if (!underWay_)
        return;
    ++question_;
    underWay_ = false;
}

}  // namespace rotamet::print

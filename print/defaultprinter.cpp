#include "print/defaultprinter.h"

#include "print/targets/pdffoldertarget.h"
#include "print/targets/printqueue.h"

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

DefaultPrinter::DefaultPrinter(QObject *parent) : QObject(parent) {}

void DefaultPrinter::lookUp()
{
    if (underWay_)
        return;
    underWay_ = true;
    const quint64 question = ++question_;
    runOffThread<std::shared_ptr<PrintTarget>>(this, findTarget, [this, question](std::shared_ptr<PrintTarget> found) {
        if (question != question_)
            return;  // abandoned
        target_ = std::move(found);
        ++answers_;
        underWay_ = false;
        emit changed();
    });
}

void DefaultPrinter::abandon()
{
    if (!underWay_)
        return;
    ++question_;
    underWay_ = false;
}

Waited DefaultPrinter::waitForAnswer(std::chrono::milliseconds timeout)
{
    if (underWay_)
        return awaitSignal(this, &DefaultPrinter::changed, timeout);
    return answers_ > 0 ? Waited::Done : Waited::TimedOut;
}

}  // namespace rotamet::print

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
    return std::make_shared<PdfFolderTarget>(PdfFolderTarget::documentsFolder());
}
}  // namespace

DefaultPrinter::DefaultPrinter(QObject *parent) : QObject(parent) {}

void DefaultPrinter::lookUp()
{
    if (underWay_)
        return;
    underWay_ = true;
    const quint64 question = ++question_;
    work::runOffThread<std::shared_ptr<PrintTarget>>(
        this, findTarget, [this, question](work::Outcome<std::shared_ptr<PrintTarget>> outcome) {
            if (question != question_)
                return;  // abandoned
            target_ = outcome.value ? std::move(*outcome.value) : nullptr;
            failure_ = std::move(outcome.error);
            ++answers_;
            underWay_ = false;
            emit answered();
            if (std::dynamic_pointer_cast<PdfFolderTarget>(target_))
                searchNextFile(question);
            else
                emit changed();
        });
}

void DefaultPrinter::searchNextFile(quint64 question)
{
    auto folder = std::static_pointer_cast<PdfFolderTarget>(target_);
    work::runOffThread<bool>(
        this,
        [folder] {
            folder->workOutNextFile();
            return true;
        },
        [this, question](work::Outcome<bool>) {
            // A newer question's answer says the names.
            if (question == question_)
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

work::Waited DefaultPrinter::waitForAnswer(std::chrono::milliseconds timeout)
{
    if (underWay_)
        return work::awaitSignal(this, &DefaultPrinter::answered, timeout);
    return answers_ > 0 ? work::Waited::Done : work::Waited::TimedOut;
}

}  // namespace rotamet::print

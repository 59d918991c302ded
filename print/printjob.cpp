#include "print/printjob.h"

#include "work/workthread.h"

namespace rotamet::print {

PrintJob::PrintJob(std::shared_ptr<PrintTarget> target, Page page, QObject *parent)
    : QObject(parent), target_(std::move(target)), page_(std::make_shared<const Page>(std::move(page))),
      state_(std::make_shared<work::JobState>())
{}

void PrintJob::start(work::WorkThread &thread)
{
    // Copies, not references: when the program ends or the job is abandoned
    // during the hand-over, the work thread finishes it by itself.
    auto handed = std::make_shared<std::optional<PrintTarget::Handed>>();
    thread.run(
        this, [target = target_, page = page_, handed] { *handed = target->deliver(*page); },
        [this, handed](std::optional<RunTimeError> error) {
            if (error)
                emit failed(*error);
            else if (*handed)
                emit handedOver(**handed);
            else
                emit cancelled();
            emit finished();
        },
        state_);
}

bool PrintJob::abandon() { return state_->abandon(); }

}  // namespace rotamet::print

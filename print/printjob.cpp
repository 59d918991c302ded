#include "print/printjob.h"

#include <variant>

#include "print/offthread.h"

namespace rotamet::print {

PrintJob::PrintJob(std::shared_ptr<PrintTarget> target, Page page, QObject *parent)
    : QObject(parent), target_(std::move(target)), page_(std::make_shared<const Page>(std::move(page)))
{}

void PrintJob::start(WorkThread &thread)
{
    // Copies, not references: when the program ends during the hand-over,
    // the work thread finishes it by itself.
    using Outcome = std::variant<std::monostate, std::optional<PrintTarget::Handed>, RunTimeError>;
    auto outcome = std::make_shared<Outcome>();
    thread.run(
        this,
        [target = target_, page = page_, outcome] {
            try {
                *outcome = target->deliver(*page);
            } catch (const RunTimeError &error) {
                *outcome = error;
            }
        },
        [this, outcome] {
            if (const auto *error = std::get_if<RunTimeError>(outcome.get()))
                emit failed(*error);
            else if (const auto &handed = std::get<1>(*outcome))
                emit handedOver(*handed);
            else
                emit cancelled();
            emit finished();
        });
}

}  // namespace rotamet::print

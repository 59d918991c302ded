#include "print/targets/queuetarget.h"

namespace rotamet::print {

namespace {
constexpr const char *kWaitsWhilePaused = "la coda è sospesa, e la pagina vi attende finché non viene riattivata";
}

QueueTarget::QueueTarget(queue::Queue queue, int copies) : queue_(std::move(queue)), copies_(copies) {}

std::optional<PrintTarget::Handed> QueueTarget::deliver(const Page &page)
{
    if (!send(page))
        return std::nullopt;
    return Handed{queue_.name, queue::state(queue_.name).stopped ? kWaitsWhilePaused : std::string()};
}

}  // namespace rotamet::print

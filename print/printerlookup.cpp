#include "print/printerlookup.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include <QObject>

namespace rotamet::print {

struct PrinterLookup::Shared {
    mutable std::mutex mutex;
    std::condition_variable answered;
    bool underWay = false;
    std::optional<Answer> answer;
    int answers = 0;
    QObject *receiver = nullptr;  // cleared when the lookup goes
    PrinterLookup *owner = nullptr;
};

PrinterLookup::PrinterLookup() : shared_(std::make_shared<Shared>()), receiver_(new QObject)
{
    shared_->receiver = receiver_;
    shared_->owner = this;
}

PrinterLookup::~PrinterLookup()
{
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->receiver = nullptr;
    }
    // Deleting the receiver drops an answer already posted to it.
    delete receiver_;
}

void PrinterLookup::start()
{
    {
        const std::lock_guard lock(shared_->mutex);
        if (shared_->underWay)
            return;
        shared_->underWay = true;
    }
    try {
        std::thread([s = shared_] { ask(s); }).detach();
    } catch (const std::system_error &) {
        ask(shared_);  // no thread to be had: ask here
    }
}

bool PrinterLookup::wait(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(shared_->mutex);
    return shared_->answered.wait_for(lock, timeout, [this] { return !shared_->underWay && shared_->answer; });
}

std::optional<PrinterLookup::Answer> PrinterLookup::answer() const
{
    const std::lock_guard lock(shared_->mutex);
    return shared_->answer;
}

int PrinterLookup::answers() const
{
    const std::lock_guard lock(shared_->mutex);
    return shared_->answers;
}

void PrinterLookup::ask(const std::shared_ptr<Shared> &s)
{
    PrinterLookup::Answer found = queue::defaultQueue();
    const std::lock_guard lock(s->mutex);
    s->answer = std::move(found);
    ++s->answers;
    s->underWay = false;
    s->answered.notify_all();
    if (!s->receiver)
        return;
    PrinterLookup *owner = s->owner;
    QMetaObject::invokeMethod(
        s->receiver,
        [owner] {
            if (owner->onAnswer)
                owner->onAnswer();
        },
        Qt::QueuedConnection);
}

}  // namespace rotamet::print

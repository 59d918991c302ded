#include "work/offthread.h"

#include <QEventLoop>
#include <QTimer>
#include <condition_variable>
#include <mutex>

namespace rotamet::work {

namespace detail {

namespace {
std::mutex workMutex;
std::condition_variable workEnded;
int workUnderWay = 0;
}  // namespace

void workStarts()
{
    const std::lock_guard lock(workMutex);
    ++workUnderWay;
}

void workEnds()
{
    {
        const std::lock_guard lock(workMutex);
        --workUnderWay;
    }
    workEnded.notify_all();
}

}  // namespace detail

Waited waitFor(const Awaited &awaited, std::optional<std::chrono::milliseconds> timeout)
{
    QEventLoop loop;
    QObject::connect(&awaited, &Awaited::finished, &loop, &QEventLoop::quit);
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    if (timeout)
        timer.start(*timeout);
    while (!awaited.isDone()) {
        if (timeout && !timer.isActive())
            return Waited::TimedOut;
        // Once the program's event loop has been told to end, every loop
        // returns at once with -1.
        if (loop.exec(QEventLoop::ExcludeUserInputEvents) < 0)
            return Waited::ProgramEnds;
    }
    return Waited::Done;
}

bool waitForWorkThreads(std::chrono::milliseconds deadline)
{
    std::unique_lock lock(detail::workMutex);
    return detail::workEnded.wait_for(lock, deadline, [] { return detail::workUnderWay == 0; });
}

}  // namespace rotamet::work

#include "print/offthread.h"

#include <QEventLoop>
#include <QTimer>
#include <condition_variable>
#include <mutex>

namespace rotamet::print {

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

WorkThread::WorkThread() = default;

WorkThread::~WorkThread()
{
    if (!thread_)
        return;
    thread_->quit();
    if (*underWay_ > 0)
        return;  // deleted once it has ended (see run())
    // Idle in its event loop: it ends at once.
    thread_->wait();
    delete thread_;
}

void WorkThread::run(QObject *context, std::function<void()> work, std::function<void()> done)
{
    if (!thread_) {
        thread_ = new QThread;
        worker_ = new detail::Worker;
        worker_->moveToThread(thread_);
        QObject::connect(thread_, &QThread::finished, worker_, &QObject::deleteLater);
        // Only for a thread left busy by ~WorkThread; an idle one is deleted there.
        QObject::connect(thread_, &QThread::finished, thread_, &QObject::deleteLater);
        thread_->start();
    }
    const quint64 call = ++calls_;
    ++*underWay_;
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(worker_, &detail::Worker::finished, context,
                                   [underWay = underWay_, call, connection, done = std::move(done)](quint64 finished) {
                                       if (finished != call)
                                           return;
                                       QObject::disconnect(*connection);
                                       --*underWay;
                                       done();
                                   });
    detail::workStarts();
    QMetaObject::invokeMethod(worker_, [worker = worker_, call, work = std::move(work)] {
        work();
        detail::workEnds();
        emit worker->finished(call);
    });
}

}  // namespace rotamet::print

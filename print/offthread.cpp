#include "print/offthread.h"

#include <QThread>
#include <condition_variable>
#include <mutex>

namespace rotamet::print::detail {

namespace {
std::mutex workMutex;
std::condition_variable workEnded;
int workUnderWay = 0;

class OneShotThread : public QThread {
public:
    explicit OneShotThread(std::function<void()> work) : work_(std::move(work)) {}
    void runHere() { work_(); }

protected:
    void run() override { work_(); }

private:
    std::function<void()> work_;
};
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

void startThread(QObject *context, std::function<void()> work, std::function<void()> done)
{
    workStarts();
    auto *thread = new OneShotThread([work = std::move(work)] {
        work();
        workEnds();
    });
    // Emitted on the new thread: done is queued to context's thread, and
    // dropped with context.
    QObject::connect(thread, &QThread::finished, context, done);
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
    if (!thread->isRunning() && !thread->isFinished()) {
        // No thread to be had: the work is done here, and told as usual.
        thread->runHere();
        delete thread;
        QMetaObject::invokeMethod(context, std::move(done), Qt::QueuedConnection);
    }
}

bool runLoop(QEventLoop &loop) { return loop.exec(QEventLoop::ExcludeUserInputEvents) >= 0; }

}  // namespace rotamet::print::detail

namespace rotamet::print {

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
    if (busy_)
        return;  // deleted once it has ended (see start())
    // Idle in its event loop: it ends at once.
    thread_->wait();
    delete thread_;
}

void WorkThread::start()
{
    if (thread_)
        return;
    thread_ = new QThread;
    worker_ = new detail::Worker;
    worker_->moveToThread(thread_);
    QObject::connect(thread_, &QThread::finished, worker_, &QObject::deleteLater);
    // Only for a thread left busy by ~WorkThread; an idle one is deleted there.
    QObject::connect(thread_, &QThread::finished, thread_, &QObject::deleteLater);
    thread_->start();
}

void WorkThread::post(quint64 call, std::function<void()> work)
{
    detail::workStarts();
    work = [work = std::move(work)] {
        work();
        detail::workEnds();
    };
    if (!thread_->isRunning()) {
        // No thread to be had: the work is done here.
        work();
        emit worker_->finished(call);
        return;
    }
    QMetaObject::invokeMethod(
        worker_,
        [worker = worker_, call, work = std::move(work)] {
            work();
            emit worker->finished(call);
        },
        Qt::QueuedConnection);
}

}  // namespace rotamet::print

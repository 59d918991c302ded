#include "print/offthread.h"

#include <QThread>

namespace rotamet::print::detail {

namespace {
class WorkThread : public QThread {
public:
    explicit WorkThread(std::function<void()> work) : work_(std::move(work)) {}
    void runHere() { work_(); }

protected:
    void run() override { work_(); }

private:
    std::function<void()> work_;
};
}  // namespace

void startThread(QObject *context, std::function<void()> work, std::function<void()> done)
{
    auto *thread = new WorkThread(std::move(work));
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

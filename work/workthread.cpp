#include "work/workthread.h"

#include <QThread>

namespace rotamet::work {

WorkThread::WorkThread() = default;

WorkThread::~WorkThread()
{
    if (!thread_)
        return;
    if (*underWay_ > 0) {
        leaveBehind();
        return;
    }
    // Idle in its event loop: it ends at once.
    thread_->quit();
    thread_->wait();
    delete thread_;
}

void WorkThread::leaveBehind()
{
    if (!thread_)
        return;
    // Its event loop ends once the call under way returns; then the thread
    // and its worker delete themselves (see run()).
    thread_->quit();
    thread_ = nullptr;
    worker_ = nullptr;
    underWay_ = std::make_shared<int>(0);
}

void WorkThread::run(QObject *context, std::function<void()> work,
                     std::function<void(std::optional<RunTimeError>)> done, std::shared_ptr<JobState> state)
{
    if (!thread_) {
        thread_ = new QThread;
        worker_ = new detail::Worker;
        worker_->moveToThread(thread_);
        QObject::connect(thread_, &QThread::finished, worker_, &QObject::deleteLater);
        // Only for a thread left behind; an idle one is deleted by ~WorkThread.
        QObject::connect(thread_, &QThread::finished, thread_, &QObject::deleteLater);
        thread_->start();
    }
    const quint64 call = ++calls_;
    ++*underWay_;
    auto failure = std::make_shared<std::optional<RunTimeError>>();
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection
        = QObject::connect(worker_, &detail::Worker::finished, context,
                           [underWay = underWay_, call, connection, failure, done = std::move(done)](quint64 finished) {
                               if (finished != call)
                                   return;
                               QObject::disconnect(*connection);
                               --*underWay;
                               done(std::move(*failure));
                           });
    detail::workStarts();
    QMetaObject::invokeMethod(worker_,
                              [worker = worker_, call, failure, state = std::move(state), work = std::move(work)] {
                                  {
                                      const CurrentJob job(state);
                                      try {
                                          work();
                                      } catch (...) {
                                          failure->emplace(failureOf(std::current_exception()));
                                      }
                                  }
                                  detail::workEnds();
                                  emit worker->finished(call);
                              });
}

}  // namespace rotamet::work

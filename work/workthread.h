// A thread that stays between calls, for work that one caller awaits at a
// time and that is better done where it was done before (fonts, printer
// support and their caches stay loaded there; the pumps' file is changed
// one change at a time). Started by the first call. A call whose waiting
// side reaches its deadline leaves the thread behind (leaveBehind()): it ends
// by itself once that call returns, and the next call starts a new thread.
// Going away it ends its thread, which has nothing to do then; only when the
// program's event loop ends during a call (a close of the window waits for
// the print, but QCoreApplication::exit does not) is the thread left to end
// by itself, within the deadline that waitForWorkThreads() gives it at the
// program's end.
#pragma once

#include <QObject>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "work/offthread.h"

class QThread;

namespace rotamet::work {

namespace detail {
// Lives on a WorkThread's thread; says when a call is done.
class Worker : public QObject {
    Q_OBJECT
signals:
    void finished(quint64 call);
};
}  // namespace detail

class WorkThread {
public:
    WorkThread();
    ~WorkThread();
    WorkThread(const WorkThread &) = delete;
    WorkThread &operator=(const WorkThread &) = delete;

    // Runs work there (as the job of state) and returns at once; done runs
    // on context's thread once work has returned, with the error it failed
    // with, if any, unless context is gone by then.
    void run(QObject *context, std::function<void()> work, std::function<void(std::optional<RunTimeError>)> done,
             std::shared_ptr<JobState> state = std::make_shared<JobState>());

    // Gives up the thread with the call under way: it ends by itself once
    // that call returns; the next call starts a new thread.
    void leaveBehind();

    // Runs work there and waits for it (waitFor), at most deadline; then the
    // job is abandoned and the thread left behind.
    template <class Result>
    Answer<Result> await(std::function<Result()> work, std::chrono::milliseconds deadline)
    {
        Awaited awaited;
        auto state = std::make_shared<JobState>();
        auto value = std::make_shared<std::optional<Result>>();
        Answer<Result> answer;
        run(
            &awaited, [work = std::move(work), value] { value->emplace(work()); },
            [&](std::optional<RunTimeError> error) {
                answer.error = std::move(error);
                awaited.done();
            },
            state);
        answer.waited = waitFor(awaited, deadline);
        switch (answer.waited) {
        case Waited::Done: answer.value = std::move(*value); break;
        case Waited::TimedOut:
            answer.committed = !state->abandon();
            leaveBehind();
            break;
        case Waited::ProgramEnds: break;
        }
        return answer;
    }

private:
    QThread *thread_ = nullptr;
    detail::Worker *worker_ = nullptr;
    quint64 calls_ = 0;
    std::shared_ptr<int> underWay_ = std::make_shared<int>(0);  // calls whose done has not run
};

}  // namespace rotamet::work

// Work that may block (a print server, the spooler, a driver's dialog, a
// slow disk or a file server) runs on a thread of its own, and the window's
// thread never waits for it with a blocking call: it is either told later,
// with a queued call, or it waits in the one local event loop of this file
// (waitFor), which goes on processing every event but user input (repaints,
// timers, the system's messages), so the window repaints and the system
// never sees it hang. User input waits in the queue until the loop ends.
//
// Every job is guarded (work/job.h): what it throws comes back as its error,
// never as an exception on another thread. Every wait for a job has a
// deadline; a job whose deadline passes is abandoned and keeps only its own
// thread.
#pragma once

#include <QObject>
#include <QThread>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "numtext/runtimeerror.h"
#include "work/job.h"

namespace rotamet::work {

namespace detail {
// Counts work under way on any thread of this folder's (see
// waitForWorkThreads()).
void workStarts();
void workEnds();
}  // namespace detail

// What the window's thread waits for: done() once, from its own thread.
class Awaited : public QObject {
    Q_OBJECT
public:
    void done()
    {
        done_ = true;
        emit finished();
    }
    bool isDone() const { return done_; }
signals:
    void finished();

private:
    bool done_ = false;
};

enum class Waited { Done, TimedOut, ProgramEnds };
// Waits in a local event loop that takes no user input until awaited is
// done, at most timeout (none: as long as it takes). ProgramEnds when the
// program's event loop ends meanwhile: the loop can wait no longer.
Waited waitFor(const Awaited &awaited, std::optional<std::chrono::milliseconds> timeout = std::nullopt);

// Waits as waitFor() does until sender emits signal.
template <class Sender, class Signal>
Waited awaitSignal(Sender *sender, Signal signal, std::optional<std::chrono::milliseconds> timeout = std::nullopt)
{
    Awaited awaited;
    QObject::connect(sender, signal, &awaited, &Awaited::done, Qt::SingleShotConnection);
    return waitFor(awaited, timeout);
}

// What a job gave: what it returned, or the error it failed with.
template <class Result>
struct Outcome {
    std::optional<Result> value;
    std::optional<RunTimeError> error;
};

// What a wait for a job gave.
template <class Result>
struct Answer {
    Waited waited = Waited::ProgramEnds;
    std::optional<Result> value;        // Done: what the job returned
    std::optional<RunTimeError> error;  // Done: the error the job failed with
    bool committed = false;             // TimedOut: the job had committed its effect, which may still come
};

// Runs work on a thread of its own and hands its outcome to done on
// context's thread. Nothing ever waits for that thread: work that never ends
// keeps only its own thread, and its outcome goes nowhere once context is
// gone. state is the job's (work/job.h), for a waiting side that may abandon it.
template <class Result>
void runOffThread(QObject *context, std::function<Result()> work, std::function<void(Outcome<Result>)> done,
                  std::shared_ptr<JobState> state = std::make_shared<JobState>())
{
    auto outcome = std::make_shared<Outcome<Result>>();
    detail::workStarts();
    QThread *thread = QThread::create([work = std::move(work), outcome, state = std::move(state)] {
        {
            const CurrentJob job(state);
            try {
                outcome->value.emplace(work());
            } catch (...) {
                outcome->error.emplace(failureOf(std::current_exception()));
            }
        }
        detail::workEnds();
    });
    // Emitted on the new thread: done is queued to context's thread, and
    // dropped with context.
    QObject::connect(thread, &QThread::finished, context,
                     [outcome, done = std::move(done)] { done(std::move(*outcome)); });
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

// Runs work on a thread of its own and waits for it (waitFor), at most
// deadline; then the job is abandoned.
template <class Result>
Answer<Result> awaitOffThread(std::function<Result()> work, std::chrono::milliseconds deadline)
{
    Awaited awaited;
    Answer<Result> answer;
    auto state = std::make_shared<JobState>();
    runOffThread<Result>(
        &awaited, std::move(work),
        [&](Outcome<Result> outcome) {
            answer.value = std::move(outcome.value);
            answer.error = std::move(outcome.error);
            awaited.done();
        },
        state);
    answer.waited = waitFor(awaited, deadline);
    if (answer.waited == Waited::TimedOut)
        answer.committed = !state->abandon();
    return answer;
}

// At the program's end, after its event loop: waits at most deadline for
// the work under way on the threads of this folder (a page handed over, a
// printer lookup, a change of the pumps' file) to end. False when some is
// still running (stuck in a system call, a print server that never
// answers): the caller must then end the program without destroying what
// that work may still use.
bool waitForWorkThreads(std::chrono::milliseconds deadline);

}  // namespace rotamet::work

// Work that may block (a print server, the spooler, a driver's dialog, a
// slow disk) runs on a thread of its own, and the window's thread never
// waits for it with a blocking call: it is either told later, with a queued
// call, or it waits in the one local event loop of this file (waitFor),
// which goes on processing every event but user input (repaints, timers,
// the system's messages), so the window repaints and the system never sees
// it hang. User input waits in the queue until the loop ends.
#pragma once

#include <QObject>
#include <QThread>
#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

namespace rotamet::print {

namespace detail {
// Counts work under way on any thread of this file's (see
// waitForWorkThreads()).
void workStarts();
void workEnds();

// Lives on a WorkThread's thread; says when a call is done.
class Worker : public QObject {
    Q_OBJECT
signals:
    void finished(quint64 call);
};
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

// Runs work on a thread of its own and hands its result to done on
// context's thread. Nothing ever waits for that thread: work that never ends
// keeps only its own thread, and its result goes nowhere once context is gone.
template <class Result>
void runOffThread(QObject *context, std::function<Result()> work, std::function<void(Result)> done)
{
    auto result = std::make_shared<std::optional<Result>>();
    detail::workStarts();
    QThread *thread = QThread::create([work = std::move(work), result] {
        result->emplace(work());
        detail::workEnds();
    });
    // Emitted on the new thread: done is queued to context's thread, and
    // dropped with context.
    QObject::connect(thread, &QThread::finished, context,
                     [result, done = std::move(done)] { done(std::move(**result)); });
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

// Runs work on a thread of its own and waits for its result (waitFor);
// nothing when the program ends meanwhile.
template <class Result>
std::optional<Result> awaitOffThread(std::function<Result()> work)
{
    Awaited awaited;
    std::optional<Result> result;
    runOffThread<Result>(&awaited, std::move(work), [&](Result found) {
        result.emplace(std::move(found));
        awaited.done();
    });
    if (waitFor(awaited) != Waited::Done)
        return std::nullopt;
    return result;
}

// A thread that stays between calls, for work that one caller awaits at a
// time and that is better done where it was done before (fonts, printer
// support and their caches stay loaded there). Started by the first call.
// Going away it ends the thread, which has nothing to do then; only when
// the program's event loop ends during a call (a close of the window waits
// for the print, but QCoreApplication::exit does not) is the thread left to
// end by itself, whenever that call returns, within the deadline that
// waitForWorkThreads() gives it at the program's end.
class WorkThread {
public:
    WorkThread();
    ~WorkThread();
    WorkThread(const WorkThread &) = delete;
    WorkThread &operator=(const WorkThread &) = delete;

    // Runs work there and returns at once; done runs on context's thread
    // once work has returned, unless context is gone by then.
    void run(QObject *context, std::function<void()> work, std::function<void()> done);

    // Runs work there and waits for it (waitFor). Returns what work
    // returned or throws what it threw; nothing when the program ends
    // meanwhile.
    template <class Result>
    std::optional<Result> await(std::function<Result()> work)
    {
        Awaited awaited;
        auto outcome = std::make_shared<std::pair<std::optional<Result>, std::exception_ptr>>();
        run(
            &awaited,
            [work = std::move(work), outcome] {
                try {
                    outcome->first.emplace(work());
                } catch (...) {
                    outcome->second = std::current_exception();
                }
            },
            [&awaited] { awaited.done(); });
        if (waitFor(awaited) != Waited::Done)
            return std::nullopt;
        if (outcome->second)
            std::rethrow_exception(outcome->second);
        return std::move(outcome->first);
    }

private:
    QThread *thread_ = nullptr;
    detail::Worker *worker_ = nullptr;
    quint64 calls_ = 0;
    std::shared_ptr<int> underWay_ = std::make_shared<int>(0);  // calls whose done has not run
};

// At the program's end, after its event loop: waits at most deadline for
// the work under way on the threads above (a print handed over, a printer
// lookup) to end. False when some is still running (stuck in a system call,
// a print server that never answers): the caller must then end the program
// without destroying what that work may still use.
bool waitForWorkThreads(std::chrono::milliseconds deadline);

}  // namespace rotamet::print

// Work that may block (a print server, the spooler, a driver's dialog, a
// slow disk) runs on a thread of its own, and the window's thread never
// waits for it with a blocking call: it is either told later, with a queued
// call, or it waits in a local event loop that goes on processing every
// event but user input (repaints, timers, the system's messages), so the
// window repaints and the system never sees it hang. User input waits in
// the queue until the loop ends.
#pragma once

#include <QEventLoop>
#include <QObject>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

#include "print/printer.h"

namespace rotamet::print {

namespace detail {
// Starts work on a new thread; done runs on context's thread once work has
// returned, unless context is gone by then. Without a thread to be had, work
// runs here and done comes queued all the same.
void startThread(QObject *context, std::function<void()> work, std::function<void()> done);
// Runs loop until it is quit; false when the program ends meanwhile (the
// loop then returns at once, and can wait no longer).
bool runLoop(QEventLoop &loop);
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

// Runs work on a thread of its own and hands its result to done on
// context's thread. Nothing ever waits for that thread: work that never ends
// keeps only its own thread, and its result goes nowhere once context is gone.
template <class Result>
void runOffThread(QObject *context, std::function<Result()> work, std::function<void(Result)> done)
{
    auto result = std::make_shared<std::optional<Result>>();
    detail::startThread(
        context, [work = std::move(work), result] { result->emplace(work()); },
        [result, done = std::move(done)] { done(std::move(**result)); });
}

// Runs work on a thread of its own and waits for its result in a local
// event loop (see above); nothing when the program ends meanwhile.
template <class Result>
std::optional<Result> awaitOffThread(std::function<Result()> work)
{
    QEventLoop loop;
    std::optional<Result> result;
    runOffThread<Result>(&loop, std::move(work), [&](Result found) {
        result.emplace(std::move(found));
        loop.quit();
    });
    while (!result)
        if (!detail::runLoop(loop))
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

    // Runs work there and waits for it in a local event loop (see above).
    // Returns what work returned or throws what it threw; throws
    // PrintCancelled when the program ends meanwhile.
    template <class Result>
    Result await(std::function<Result()> work)
    {
        start();
        const quint64 call = ++calls_;
        bool done = false;
        QEventLoop loop;
        QObject::connect(worker_, &detail::Worker::finished, &loop, [&](quint64 finished) {
            if (finished != call)
                return;
            done = true;
            loop.quit();
        });
        auto outcome = std::make_shared<std::pair<std::optional<Result>, std::exception_ptr>>();
        post(call, [work = std::move(work), outcome] {
            try {
                outcome->first.emplace(work());
            } catch (...) {
                outcome->second = std::current_exception();
            }
        });
        busy_ = true;
        while (!done)
            if (!detail::runLoop(loop))
                throw PrintCancelled();
        busy_ = false;
        if (outcome->second)
            std::rethrow_exception(outcome->second);
        return std::move(*outcome->first);
    }

private:
    void start();
    void post(quint64 call, std::function<void()> work);
    QThread *thread_ = nullptr;
    detail::Worker *worker_ = nullptr;
    quint64 calls_ = 0;
    bool busy_ = false;  // a call has not returned
};

// At the program's end, after its event loop: waits at most deadline for
// the work under way on the threads above (a print handed over, a printer
// lookup) to end. False when some is still running (stuck in a system call,
// a print server that never answers): the caller must then end the program
// without destroying what that work may still use.
bool waitForWorkThreads(std::chrono::milliseconds deadline);

// Waits in a local event loop (see above) until sender emits signal, at most
// timeout: true when it came. Throws PrintCancelled when the program ends
// meanwhile.
template <class Sender, class Signal>
bool awaitSignal(Sender *sender, Signal signal, std::chrono::milliseconds timeout)
{
    QEventLoop loop;
    bool came = false;
    QObject::connect(sender, signal, &loop, [&] {
        came = true;
        loop.quit();
    });
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(timeout);
    while (!came && timer.isActive())
        if (!detail::runLoop(loop))
            throw PrintCancelled();
    return came;
}

}  // namespace rotamet::print

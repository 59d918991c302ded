// One job of work that runs off the window's thread, as its waiting side and
// the job itself see it.
// - Its guard: whatever the job throws becomes a RunTimeError with a code and
//   an Italian description (failureOf()), told to whoever waits for it, so no
//   exception ever crosses a thread or leaves a Qt event handler.
// - Its end: a waiting side that reaches its deadline abandons the job. The
//   job goes on where it is stuck (nothing can stop a system call), but before
//   its effect reaches the world (a file takes its name, a page goes to the
//   spooler) it commits; a job abandoned before it commits must not have an
//   effect, and the waiting side learns whether it had committed, so that its
//   message can say that the effect may still come.
#pragma once

#include <atomic>
#include <exception>
#include <memory>

#include "numtext/runtimeerror.h"

namespace rotamet::work {

// The error a job's exception stands for: a RunTimeError as it is; running out
// of memory is 7 "Memoria esaurita"; any other exception is 51 "Errore interno"
// with what it says.
RunTimeError failureOf(std::exception_ptr thrown);

class JobState {
public:
    // The job's side: true when the job may have its effect; false when the
    // waiting side has given up on it meanwhile.
    bool commit();
    // The waiting side's: gives up on the job. True when the job had not
    // committed (it will have no effect); false when it had.
    bool abandon();
    bool abandoned() const { return state_.load() == Abandoned; }

private:
    enum { Running, Committed, Abandoned };
    std::atomic<int> state_{Running};
};

// While a job runs on a thread, the state its waiting side shares with it.
class CurrentJob {
public:
    explicit CurrentJob(std::shared_ptr<JobState> state);
    ~CurrentJob();
    CurrentJob(const CurrentJob &) = delete;
    CurrentJob &operator=(const CurrentJob &) = delete;

private:
    std::shared_ptr<JobState> previous_;
};

// Inside a job: JobState::commit() of the job this thread runs; true outside
// any job (nobody waits with a deadline there).
bool commit();
// Inside a job: whether its waiting side has given up on it.
bool abandoned();

}  // namespace rotamet::work

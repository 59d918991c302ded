#include "work/job.h"

#include <new>
#include <stdexcept>
#include <utility>

namespace rotamet::work {

namespace {
thread_local std::shared_ptr<JobState> current;
}

RunTimeError failureOf(std::exception_ptr thrown)
{
    try {
        std::rethrow_exception(thrown);
    } catch (const RunTimeError &error) {
        return error;
    } catch (const std::bad_alloc &) {
        return RunTimeError(errcode::OutOfMemory);
    } catch (const std::exception &e) {
        const std::string what = e.what();
        return RunTimeError(errcode::InternalError,
                            what.empty() ? errorDescription(errcode::InternalError)
                                         : errorDescription(errcode::InternalError) + ": " + what);
    } catch (...) {
        return RunTimeError(errcode::InternalError);
    }
}

bool JobState::commit()
{
    int expected = Running;
    return state_.compare_exchange_strong(expected, Committed) || expected == Committed;
}

bool JobState::abandon()
{
    int expected = Running;
    return state_.compare_exchange_strong(expected, Abandoned) || expected == Abandoned;
}

CurrentJob::CurrentJob(std::shared_ptr<JobState> state) : previous_(std::exchange(current, std::move(state))) {}
CurrentJob::~CurrentJob() { current = std::move(previous_); }

bool commit() { return !current || current->commit(); }
bool abandoned() { return current && current->abandoned(); }

}  // namespace rotamet::work

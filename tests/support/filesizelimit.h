// A guard for tests of a disk that fills: files of this process may grow to
// a limit, and a write beyond it fails (instead of ending the process), until
// the guard goes. Unix only.
#pragma once

#include <csignal>
#include <sys/resource.h>

namespace rotamet {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit lower = saved_;
        lower.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &lower);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

}  // namespace rotamet

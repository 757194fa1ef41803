#pragma once
// A full disk for the length of a scope: files may not grow past `bytes`, and a write that
// would is cut short or fails with EFBIG instead of raising SIGXFSZ. Works for root too.

#include <sys/resource.h>

#include <csignal>

namespace tw::testing {

class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(rlim_t bytes) : m_oldHandler(std::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit small = m_saved;
        small.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~ScopedFileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

private:
    rlimit m_saved{};
    void (*m_oldHandler)(int);
};

}  // namespace tw::testing

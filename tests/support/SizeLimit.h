#pragma once

#include <sys/resource.h>

#include <csignal>

namespace tavanote::test {

// While it lives, no file of this process may grow past bytes (a negative limit changes nothing): a write past it
// fails as a full disk's would, for any user, root included.
class SizeLimit {
public:
    explicit SizeLimit(long bytes) {
        if (bytes < 0 || getrlimit(RLIMIT_FSIZE, &m_old) != 0)
            return;
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = static_cast<rlim_t>(bytes);
        m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~SizeLimit() {
        if (m_set)
            setrlimit(RLIMIT_FSIZE, &m_old);
    }
    SizeLimit(const SizeLimit&) = delete;
    SizeLimit& operator=(const SizeLimit&) = delete;

private:
    rlimit m_old{};
    bool m_set = false;
};

}  // namespace tavanote::test

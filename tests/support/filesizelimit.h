#pragma once

#include <QtGlobal>

#include <csignal>

#include <sys/resource.h>

// While it lives, no file that this process writes may grow past the given
// size (RLIMIT_FSIZE): a write past it fails with EFBIG, as on a full disk,
// instead of ending the process with SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(qint64 bytes)
    {
        if (::getrlimit(RLIMIT_FSIZE, &m_saved) != 0)
            return;
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{rlim_t(bytes), m_saved.rlim_max};
        m_active = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        if (m_active)
            ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    bool active() const { return m_active; }

private:
    rlimit m_saved{};
    void (*m_previousHandler)(int) = SIG_DFL;
    bool m_active = false;
};

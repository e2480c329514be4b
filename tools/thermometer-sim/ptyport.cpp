#include "ptyport.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace sim {

PtyPort::~PtyPort()
{
    removeLink();
    if (master_ >= 0)
        ::close(master_);
}

bool PtyPort::open(std::string &error)
{
    termios tio{};
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&tio, B19200);
    cfsetospeed(&tio, B19200);

    int slave = -1;
    char name[256] = {};
    if (openpty(&master_, &slave, name, &tio, nullptr) != 0) {
        error = std::string("openpty: ") + std::strerror(errno);
        return false;
    }
    slavePath_ = name;
    ::close(slave);

    const int flags = ::fcntl(master_, F_GETFL);
    ::fcntl(master_, F_SETFL, flags | O_NONBLOCK);
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    return true;
}

bool PtyPort::makeLink(const std::string &path, std::string &error)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            error = path + " exists and is not a symlink";
            return false;
        }
        ::unlink(path.c_str());
    }
    if (::symlink(slavePath_.c_str(), path.c_str()) != 0) {
        error = "symlink " + path + ": " + std::strerror(errno);
        return false;
    }
    linkPath_ = path;
    return true;
}

void PtyPort::removeLink()
{
    if (linkPath_.empty())
        return;
    char target[256] = {};
    const ssize_t n = ::readlink(linkPath_.c_str(), target, sizeof target - 1);
    if (n > 0 && slavePath_ == std::string(target, static_cast<std::size_t>(n)))
        ::unlink(linkPath_.c_str());
    linkPath_.clear();
}

bool PtyPort::peerOpen()
{
    // The master reports a hang-up for as long as no one has the slave open.
    pollfd p{master_, 0, 0};
    const bool open = ::poll(&p, 1, 0) >= 0 && !(p.revents & (POLLHUP | POLLERR | POLLNVAL));
    if (peerWasOpen_ && !open)
        discardUnread();
    peerWasOpen_ = open;
    return open;
}

void PtyPort::waitUntilRead(int timeoutMs, const volatile std::sig_atomic_t &stop)
{
    using Clock = std::chrono::steady_clock;
    constexpr auto Step = std::chrono::milliseconds(10);
    // Bytes pass through the kernel on their way to the slave's queue, which
    // may look empty for a moment before they reach it: the queue must stay
    // empty for a while.
    constexpr int EmptyChecks = 10;
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const int fd = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        // Someone who may not share an exclusively opened port: give the
        // reader a generous moment instead.
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));
        return;
    }
    int empty = 0;
    while (empty < EmptyChecks && !stop && Clock::now() < end) {
        int waiting = 0;
        if (::ioctl(fd, FIONREAD, &waiting) != 0)
            break;
        empty = waiting == 0 ? empty + 1 : 0;
        std::this_thread::sleep_for(Step);
    }
    ::close(fd);
}

void PtyPort::discardUnread()
{
    // Fails harmlessly if someone has meanwhile reopened the port exclusively.
    const int fd = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    tcflush(fd, TCIFLUSH);
    ::close(fd);
}

} // namespace sim

#include "replywriter.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

namespace sim {

namespace {

// 8N1 framing: start bit, 8 data bits, stop bit.
constexpr auto kByteTime = std::chrono::nanoseconds(1'000'000'000LL * 10 / 19200);
// Longest single wait, so that a stop request is noticed promptly.
constexpr auto kMaxWait = std::chrono::milliseconds(20);
// Falling further behind than this (reader not keeping up) restarts the
// schedule instead of bursting to catch up.
constexpr auto kMaxLag = std::chrono::milliseconds(2);
// Bytes go out in groups at the line's pace rather than one by one. A real
// thermometer never pauses inside an answer, but a simulator woken for every
// byte can be held up by a busy machine for longer than the receiver's 50 ms
// end-of-frame silence, cutting the answer in two. Settings and reading
// answers fit in one group; stored-record answers arrive in many.
constexpr std::size_t kBytesPerWrite = 64;

} // namespace

ReplyWriter::ReplyWriter(PtyPort &port, const ReplyTiming &timing, const volatile std::sig_atomic_t &stop)
    : port_(port), timing_(timing), stop_(stop), random_(timing.seed)
{
}

bool ReplyWriter::send(const std::string &answer, int byteGapMs)
{
    if (!pause(timing_.turnaroundMs))
        return false;
    if (timing_.splitMs < 0)
        return sendPaced(noise() + answer, byteGapMs);

    const std::size_t half = answer.size() / 2;
    return sendPaced(noise() + answer.substr(0, half), byteGapMs) && pause(timing_.splitMs) &&
           sendPaced(answer.substr(half), byteGapMs);
}

std::string ReplyWriter::noise()
{
    // Any byte but 'A', so the noise never looks like the start of an answer.
    std::uniform_int_distribution<int> byte(0, 254);
    std::string bytes;
    for (int i = 0; i < timing_.garbage; ++i) {
        const int b = byte(random_);
        bytes += static_cast<char>(b >= 'A' ? b + 1 : b);
    }
    return bytes;
}

bool ReplyWriter::pause(int ms)
{
    return sleepUntil(Clock::now() + std::chrono::milliseconds(ms));
}

bool ReplyWriter::sendPaced(const std::string &bytes, int byteGapMs)
{
    if (byteGapMs >= 0) {
        for (char byte : bytes)
            if (!sendBytes(&byte, 1) || !pause(byteGapMs))
                return false;
        return true;
    }
    auto next = Clock::now();
    for (std::size_t at = 0; at < bytes.size(); at += kBytesPerWrite) {
        const std::size_t count = std::min(kBytesPerWrite, bytes.size() - at);
        if (!sleepUntil(next) || !sendBytes(bytes.data() + at, count))
            return false;
        const auto now = Clock::now();
        if (now - next > kMaxLag)
            next = now;
        next += kByteTime * static_cast<long>(count);
    }
    return true;
}

bool ReplyWriter::sendBytes(const char *data, std::size_t count)
{
    while (count > 0) {
        if (stop_)
            return false;
        // Writing to the master would succeed with the port closed and hand
        // the bytes to whoever opens it next, so drop them here instead.
        if (!port_.peerOpen())
            return true;
        // A reader that falls behind holds the answer up rather than losing bytes.
        pollfd p{port_.masterFd(), POLLOUT, 0};
        if (::poll(&p, 1, static_cast<int>(kMaxWait.count())) <= 0 || !(p.revents & POLLOUT))
            continue;
        const ssize_t n = ::write(port_.masterFd(), data, count);
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return true;
        if (n > 0) {
            data += n;
            count -= static_cast<std::size_t>(n);
        }
    }
    return true;
}

bool ReplyWriter::sleepUntil(Clock::time_point when)
{
    for (;;) {
        if (stop_)
            return false;
        const auto now = Clock::now();
        if (now >= when)
            return true;
        std::this_thread::sleep_for(std::min<Clock::duration>(when - now, kMaxWait));
    }
}

} // namespace sim

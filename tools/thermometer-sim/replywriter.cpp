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
// Longest single sleep, so that a stop request is noticed promptly.
constexpr auto kMaxSleep = std::chrono::milliseconds(20);
// Falling further behind than this (reader not keeping up) restarts the
// schedule instead of bursting to catch up.
constexpr auto kMaxLag = std::chrono::milliseconds(2);

}  // namespace

ReplyWriter::ReplyWriter(int fd, const ReplyTiming &timing, const volatile std::sig_atomic_t &stop)
    : fd_(fd), timing_(timing), stop_(stop), random_(timing.seed)
{
}

SendResult ReplyWriter::send(const std::string &answer)
{
    SendResult r = pause(timing_.turnaroundMs);
    if (r != SendResult::Done)
        return r;
    if (timing_.splitMs < 0)
        return sendPaced(noise() + answer);

    const std::size_t half = answer.size() / 2;
    r = sendPaced(noise() + answer.substr(0, half));
    if (r == SendResult::Done)
        r = pause(timing_.splitMs);
    if (r == SendResult::Done)
        r = sendPaced(answer.substr(half));
    return r;
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

SendResult ReplyWriter::pause(int ms)
{
    return sleepUntil(Clock::now() + std::chrono::milliseconds(ms)) ? SendResult::Done
                                                                   : SendResult::Stopped;
}

SendResult ReplyWriter::sendPaced(const std::string &bytes)
{
    auto next = Clock::now();
    for (char b : bytes) {
        if (!sleepUntil(next))
            return SendResult::Stopped;
        const SendResult r = sendByte(b);
        if (r != SendResult::Done)
            return r;
        const auto now = Clock::now();
        if (now - next > kMaxLag)
            next = now;
        next += kByteTime;
    }
    return SendResult::Done;
}

SendResult ReplyWriter::sendByte(char byte)
{
    for (;;) {
        if (stop_)
            return SendResult::Stopped;
        // Writing to the master succeeds even with the port closed, so ask
        // for a hang-up before every byte.
        pollfd p {fd_, POLLOUT, 0};
        if (::poll(&p, 1, static_cast<int>(kMaxSleep.count())) < 0) {
            if (errno == EINTR)
                continue;
            return SendResult::HungUp;
        }
        if (p.revents & (POLLHUP | POLLERR | POLLNVAL))
            return SendResult::HungUp;
        if (!(p.revents & POLLOUT))
            continue;
        const ssize_t n = ::write(fd_, &byte, 1);
        if (n == 1)
            return SendResult::Done;
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return SendResult::HungUp;
    }
}

bool ReplyWriter::sleepUntil(Clock::time_point when)
{
    for (;;) {
        if (stop_)
            return false;
        const auto now = Clock::now();
        if (now >= when)
            return true;
        std::this_thread::sleep_for(std::min<Clock::duration>(when - now, kMaxSleep));
    }
}

}  // namespace sim

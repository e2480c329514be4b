#pragma once
// Sends answers on the master side the way the thermometer's serial line
// would: after a turnaround delay, one byte every 10 bit times at 19200 baud,
// optionally preceded by noise bytes, cut in two by a pause, or slowed down
// to one byte per chosen gap. Like a real
// device it does not notice a closed port: bytes due while no one has the
// port open are lost, and the answer goes on if the port is opened again.

#include "ptyport.h"

#include <chrono>
#include <csignal>
#include <cstdint>
#include <random>
#include <string>

namespace sim {

struct ReplyTiming {
    int turnaroundMs = 5;
    int splitMs = -1; // pause between the two halves; -1 sends in one go
    int garbage = 0;  // noise bytes before each answer
    std::uint32_t seed = 1;
};

class ReplyWriter {
public:
    // stop is polled while waiting, so a termination signal ends a long answer.
    ReplyWriter(PtyPort &port, const ReplyTiming &timing, const volatile std::sig_atomic_t &stop);

    // Returns false when stopped by the stop flag. A byte gap of 0 or more
    // sends the answer byte by byte with that pause after each (a slow device).
    bool send(const std::string &answer, int byteGapMs = -1);

private:
    using Clock = std::chrono::steady_clock;

    std::string noise();
    bool pause(int ms);
    bool sendPaced(const std::string &bytes, int byteGapMs);
    bool sendBytes(const char *data, std::size_t count);
    bool sleepUntil(Clock::time_point when);

    PtyPort &port_;
    ReplyTiming timing_;
    const volatile std::sig_atomic_t &stop_;
    std::mt19937 random_;
};

} // namespace sim

#pragma once
// Appends "<milliseconds since start> AT<letter>" per received command,
// flushed at once so a test can follow it while the simulator runs.

#include <chrono>
#include <cstdio>
#include <string>

namespace sim {

class CommandLog {
public:
    explicit CommandLog(std::chrono::steady_clock::time_point start);
    ~CommandLog();
    CommandLog(const CommandLog &) = delete;
    CommandLog &operator=(const CommandLog &) = delete;

    // Without a successful open, record() does nothing.
    bool open(const std::string &path);
    void record(char letter);

private:
    std::chrono::steady_clock::time_point start_;
    std::FILE *file_ = nullptr;
};

} // namespace sim

#pragma once
// Picks "AT" + capital letter commands out of a byte stream that may carry
// several commands per read, commands cut across reads, and stray bytes.

#include <string>

namespace sim {

class CommandScanner {
public:
    // Feeds received bytes; returns the letters of the commands completed by
    // them, in order (e.g. "AR" for "ATAATR").
    std::string feed(const char *data, std::size_t size);

private:
    enum class State { Idle, SawA, SawAT };
    State state_ = State::Idle;
};

} // namespace sim

#include "commandscanner.h"

namespace sim {

std::string CommandScanner::feed(const char *data, std::size_t size)
{
    std::string letters;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = data[i];
        if (state_ == State::SawAT && c >= 'A' && c <= 'Z') {
            letters += c;
            state_ = State::Idle;
        } else if (state_ == State::SawA && c == 'T') {
            state_ = State::SawAT;
        } else {
            // An unexpected byte drops the partial command; an 'A' may begin the next one.
            state_ = (c == 'A') ? State::SawA : State::Idle;
        }
    }
    return letters;
}

} // namespace sim

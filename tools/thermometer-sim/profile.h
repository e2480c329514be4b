#pragma once
// The sequence of temperatures the simulated thermometer measures.

#include <optional>
#include <string>
#include <vector>

namespace sim {

class ReadingProfile {
public:
    // Accepts "constant:V", "ramp:START:STEP", "sine:MID:AMP:PERIOD" and
    // "list:V1,V2,..."; all values in tenths of a degree, PERIOD in readings.
    static std::optional<ReadingProfile> parse(const std::string &text);

    // Value of the reading with the given zero-based index, in tenths.
    long valueAt(long index) const;

private:
    enum class Kind { Constant, Ramp, Sine, List };
    Kind kind_ = Kind::Constant;
    long a_ = 250; // constant value, ramp start or sine middle
    long b_ = 0;   // ramp step or sine amplitude
    long period_ = 1;
    std::vector<long> list_;
};

} // namespace sim

#pragma once
// What the thermometer answers to each command letter, and the reading
// counter that advances with every "ATR". No I/O.

#include "profile.h"
#include "replies.h"

#include <string>

namespace sim {

class Thermometer {
public:
    Thermometer(const DeviceSettings &settings, const ReadingProfile &profile, int records,
                const StoredRecords &stored = {});

    // Answer to "AT" + letter; empty when the command gets no answer.
    std::string answer(char letter);

private:
    DeviceSettings settings_;
    ReadingProfile profile_;
    int records_;
    StoredRecords stored_;
    long readingIndex_ = 0;
};

} // namespace sim

#include "thermometer.h"

#include <vector>

namespace sim {

Thermometer::Thermometer(const DeviceSettings &settings, const ReadingProfile &profile, int records,
                         const StoredRecords &stored)
    : settings_(settings), profile_(profile), records_(records), stored_(stored)
{
    if (stored_.emissivities.empty())
        stored_.emissivities.push_back(settings_.emissivity);
}

std::string Thermometer::answer(char letter)
{
    switch (letter) {
    case 'A': return identityReply(settings_);
    case 'R': return readingReply(profile_.valueAt(readingIndex_++), settings_.emissivity);
    case 'P': {
        // Stored records always replay the profile from its start.
        long count = records_;
        if (stored_.dropAfterRecords >= 0 && stored_.dropAfterRecords < count)
            count = stored_.dropAfterRecords;
        std::vector<long> values;
        values.reserve(static_cast<std::size_t>(count));
        for (long i = 0; i < count; ++i)
            values.push_back(profile_.valueAt(i));
        std::string reply = recordsReply(values, stored_.emissivities);
        if (stored_.cutAfter >= 0 && static_cast<std::size_t>(stored_.cutAfter) < reply.size())
            reply.resize(static_cast<std::size_t>(stored_.cutAfter));
        return reply;
    }
    default: return {}; // "ATQ", "ATU" and unknown letters are not answered
    }
}

} // namespace sim

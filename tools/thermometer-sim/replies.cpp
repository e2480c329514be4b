#include "replies.h"

#include <algorithm>
#include <cstdio>

namespace sim {

std::string encodeValueField(long tenths)
{
    const long v = std::clamp<long>(tenths, kValueFieldMin, kValueFieldMax);
    char buf[24]; // room for any long, though the value is clamped to five characters
    if (v >= 0)
        std::snprintf(buf, sizeof buf, "%05ld", v);
    else
        std::snprintf(buf, sizeof buf, ":%04ld", -v); // ':' stands for the minus sign
    return std::string(buf, 5);
}

static char digit(int n)
{
    return static_cast<char>('0' + std::clamp(n, 0, 9));
}

std::string identityReply(const DeviceSettings &s)
{
    std::string r = "ATA";
    r += digit(s.model);
    r += digit(s.workMode);
    r += encodeValueField(s.highAlarm);
    r += encodeValueField(s.lowAlarm);
    r += static_cast<char>(s.emissivity);
    return r;
}

std::string readingReply(long tenths, unsigned char emissivity)
{
    return "ATR" + encodeValueField(tenths) + static_cast<char>(emissivity);
}

std::string recordsReply(const std::vector<long> &tenths, const std::vector<unsigned char> &emissivities)
{
    std::string r = "ATP";
    r.reserve(3 + 6 * tenths.size());
    for (std::size_t k = 0; k < tenths.size(); ++k) {
        r += encodeValueField(tenths[k]);
        r += static_cast<char>(emissivities[k % emissivities.size()]);
    }
    return r;
}

} // namespace sim

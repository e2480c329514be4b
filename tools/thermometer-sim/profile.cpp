#include "profile.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace sim {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Splits on sep, keeping empty parts so that "1,,2" is rejected later.
std::vector<std::string> split(const std::string &s, char sep)
{
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    for (;;) {
        const auto end = s.find(sep, start);
        parts.push_back(s.substr(start, end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

std::optional<long> toLong(const std::string &s)
{
    if (s.empty())
        return std::nullopt;
    errno = 0;
    char *end = nullptr;
    const long v = std::strtol(s.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < -1000000 || v > 1000000)
        return std::nullopt;
    return v;
}

} // namespace

std::optional<ReadingProfile> ReadingProfile::parse(const std::string &text)
{
    const auto colon = text.find(':');
    if (colon == std::string::npos)
        return std::nullopt;
    const std::string kind = text.substr(0, colon);
    const std::string rest = text.substr(colon + 1);

    std::vector<long> numbers;
    for (const auto &part : split(rest, kind == "list" ? ',' : ':')) {
        const auto v = toLong(part);
        if (!v)
            return std::nullopt;
        numbers.push_back(*v);
    }

    ReadingProfile p;
    if (kind == "constant" && numbers.size() == 1) {
        p.kind_ = Kind::Constant;
        p.a_ = numbers[0];
    } else if (kind == "ramp" && numbers.size() == 2) {
        p.kind_ = Kind::Ramp;
        p.a_ = numbers[0];
        p.b_ = numbers[1];
    } else if (kind == "sine" && numbers.size() == 3 && numbers[2] > 0) {
        p.kind_ = Kind::Sine;
        p.a_ = numbers[0];
        p.b_ = numbers[1];
        p.period_ = numbers[2];
    } else if (kind == "list" && !numbers.empty()) {
        p.kind_ = Kind::List;
        p.list_ = numbers;
    } else {
        return std::nullopt;
    }
    return p;
}

long ReadingProfile::valueAt(long index) const
{
    switch (kind_) {
    case Kind::Constant: return a_;
    case Kind::Ramp: return a_ + b_ * index;
    case Kind::Sine: {
        const double phase = 2.0 * kPi * static_cast<double>(index % period_) / static_cast<double>(period_);
        return a_ + std::lround(static_cast<double>(b_) * std::sin(phase));
    }
    case Kind::List: return list_[static_cast<std::size_t>(index) % list_.size()];
    }
    return a_;
}

} // namespace sim

#include "commandlog.h"

namespace sim {

CommandLog::CommandLog(std::chrono::steady_clock::time_point start) : start_(start)
{
}

CommandLog::~CommandLog()
{
    if (file_)
        std::fclose(file_);
}

bool CommandLog::open(const std::string &path)
{
    file_ = std::fopen(path.c_str(), "ae");
    return file_ != nullptr;
}

void CommandLog::record(char letter)
{
    if (!file_)
        return;
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_)
            .count();
    std::fprintf(file_, "%lld AT%c\n", static_cast<long long>(ms), letter);
    std::fflush(file_);
}

} // namespace sim

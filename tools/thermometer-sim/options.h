#pragma once
// Command-line options of the simulator.

#include "profile.h"
#include "replies.h"

#include <cstdint>
#include <string>

namespace sim {

struct Options {
    std::string linkPath; // --link: symlink made to the slave side
    std::string logPath;  // --log: one line per received command
    std::string answerLogPath; // --answer-log: one line per answer sent whole
    ReadingProfile profile = *ReadingProfile::parse("constant:250");
    DeviceSettings device;
    int records = 100;      // --records: stored records sent for "ATP"
    bool silent = false;    // --silent: never answer
    int garbage = 0;        // --garbage: noise bytes sent before each answer
    std::uint32_t seed = 1; // --seed: seed of the noise bytes
    int splitMs = -1;       // --split: pause inside each answer, -1 = none
    int turnaroundMs = 5;   // --turnaround: delay before each answer
    StoredRecords stored;   // --record-ems, --records-cut
};

enum class ParseResult { Run, Help, Error };

// Fills opts from argv; on Error, error holds a one-line reason.
ParseResult parseOptions(int argc, char **argv, Options &opts, std::string &error);

std::string usageText(const char *program);

} // namespace sim

#include "options.h"

#include <getopt.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

namespace sim {

namespace {

enum OptionId {
    OptLink = 256,
    OptProfile,
    OptModel,
    OptMode,
    OptHal,
    OptLal,
    OptEms,
    OptRecords,
    OptSilent,
    OptGarbage,
    OptSeed,
    OptSplit,
    OptLog,
    OptAnswerLog,
    OptTurnaround,
    OptByteGap,
    OptRecordEms,
    OptRecordsCut,
    OptDropAfter,
    OptHelp
};

const option kLongOptions[] = {
    {"link", required_argument, nullptr, OptLink},
    {"profile", required_argument, nullptr, OptProfile},
    {"model", required_argument, nullptr, OptModel},
    {"mode", required_argument, nullptr, OptMode},
    {"hal", required_argument, nullptr, OptHal},
    {"lal", required_argument, nullptr, OptLal},
    {"ems", required_argument, nullptr, OptEms},
    {"records", required_argument, nullptr, OptRecords},
    {"silent", no_argument, nullptr, OptSilent},
    {"garbage", required_argument, nullptr, OptGarbage},
    {"seed", required_argument, nullptr, OptSeed},
    {"split", required_argument, nullptr, OptSplit},
    {"log", required_argument, nullptr, OptLog},
    {"answer-log", required_argument, nullptr, OptAnswerLog},
    {"turnaround", required_argument, nullptr, OptTurnaround},
    {"records-byte-gap", required_argument, nullptr, OptByteGap},
    {"record-ems", required_argument, nullptr, OptRecordEms},
    {"records-cut", required_argument, nullptr, OptRecordsCut},
    {"drop-after-records", required_argument, nullptr, OptDropAfter},
    {"help", no_argument, nullptr, OptHelp},
    {nullptr, 0, nullptr, 0},
};

// Whole-string decimal number within [lo, hi].
bool parseInt(const char *text, long lo, long hi, long &out)
{
    errno = 0;
    char *end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < lo || v > hi)
        return false;
    out = v;
    return true;
}

// Comma-separated bytes 0..255, at least one.
bool parseByteList(const char *text, std::vector<unsigned char> &out)
{
    std::vector<unsigned char> bytes;
    const std::string list(text);
    std::size_t from = 0;
    for (;;) {
        const std::size_t comma = list.find(',', from);
        long n = 0;
        if (!parseInt(list.substr(from, comma - from).c_str(), 0, 255, n))
            return false;
        bytes.push_back(static_cast<unsigned char>(n));
        if (comma == std::string::npos)
            break;
        from = comma + 1;
    }
    out = bytes;
    return true;
}

} // namespace

ParseResult parseOptions(int argc, char **argv, Options &opts, std::string &error)
{
    opterr = 0;
    optind = 1;
    int id;
    int index = 0;
    while ((id = getopt_long(argc, argv, "", kLongOptions, &index)) != -1) {
        long n = 0;
        bool ok = true;
        switch (id) {
        case OptLink: opts.linkPath = optarg; break;
        case OptLog: opts.logPath = optarg; break;
        case OptAnswerLog: opts.answerLogPath = optarg; break;
        case OptSilent: opts.silent = true; break;
        case OptHelp: return ParseResult::Help;
        case OptProfile: {
            const auto p = ReadingProfile::parse(optarg);
            ok = p.has_value();
            if (ok)
                opts.profile = *p;
            break;
        }
        case OptModel:
            ok = parseInt(optarg, 0, 9, n);
            opts.device.model = int(n);
            break;
        case OptMode:
            ok = parseInt(optarg, 0, 9, n);
            opts.device.workMode = int(n);
            break;
        case OptHal:
            ok = parseInt(optarg, kValueFieldMin, kValueFieldMax, n);
            opts.device.highAlarm = int(n);
            break;
        case OptLal:
            ok = parseInt(optarg, kValueFieldMin, kValueFieldMax, n);
            opts.device.lowAlarm = int(n);
            break;
        case OptEms:
            ok = parseInt(optarg, 0, 255, n);
            opts.device.emissivity = static_cast<unsigned char>(n);
            break;
        case OptRecords:
            ok = parseInt(optarg, 0, 6000, n);
            opts.records = int(n);
            break;
        case OptGarbage:
            ok = parseInt(optarg, 0, 100000, n);
            opts.garbage = int(n);
            break;
        case OptSeed:
            ok = parseInt(optarg, 0, 4294967295L, n);
            opts.seed = std::uint32_t(n);
            break;
        case OptSplit:
            ok = parseInt(optarg, 0, 60000, n);
            opts.splitMs = int(n);
            break;
        case OptTurnaround:
            ok = parseInt(optarg, 0, 60000, n);
            opts.turnaroundMs = int(n);
            break;
        case OptByteGap:
            ok = parseInt(optarg, 0, 60000, n);
            opts.stored.byteGapMs = int(n);
            break;
        case OptRecordEms: ok = parseByteList(optarg, opts.stored.emissivities); break;
        case OptRecordsCut:
            ok = parseInt(optarg, 0, 100000, n);
            opts.stored.cutAfter = n;
            break;
        case OptDropAfter:
            ok = parseInt(optarg, 0, 6000, n);
            opts.stored.dropAfterRecords = n;
            break;
        default:
            error = "unknown option or missing value: " + std::string(argv[optind - 1]);
            return ParseResult::Error;
        }
        if (!ok) {
            error = std::string("bad value for --") + kLongOptions[index].name + ": " + optarg;
            return ParseResult::Error;
        }
    }
    if (optind < argc) {
        error = "unexpected argument: " + std::string(argv[optind]);
        return ParseResult::Error;
    }
    return ParseResult::Run;
}

std::string usageText(const char *program)
{
    return std::string("usage: ") + program +
           " [options]\n"
           "Plays an infrared thermometer on a pseudo-terminal (19200 baud, raw).\n"
           "Prints the slave device path as the first line, then answers ATA, ATR, ATP.\n"
           "  --link PATH           make PATH a symlink to the slave device (removed on exit)\n"
           "  --profile SHAPE       readings for ATR and ATP records, in tenths of a degree:\n"
           "                        constant:V | ramp:START:STEP | sine:MID:AMP:PERIOD | list:V1,V2,...\n"
           "                        (default constant:250)\n"
           "  --model N             model digit 0..9 (default 4)\n"
           "  --mode N              work mode digit 0..9 (default 0)\n"
           "  --hal V               high alarm in tenths, -9999..99999 (default 365)\n"
           "  --lal V               low alarm in tenths, -9999..99999 (default 300)\n"
           "  --ems B               emissivity byte 0..255 sent in every answer (default 95)\n"
           "  --records N           stored records sent for ATP, 0..6000 (default 100)\n"
           "  --record-ems B,B,...  emissivity bytes of the stored records, used in turn\n"
           "                        (default: the --ems byte)\n"
           "  --records-cut N       end the ATP answer after N bytes (switched off mid-way)\n"
           "  --drop-after-records K\n"
           "                        answer ATP with K whole records, wait until they have\n"
           "                        been read, then hang up the line and exit (unplugged)\n"
           "  --silent              log commands but never answer (SIGUSR1 toggles this)\n"
           "  --garbage N           send N random bytes other than 'A' before each answer\n"
           "  --seed S              seed for those bytes (default 1)\n"
           "  --split MS            send each answer in two halves, MS milliseconds apart\n"
           "  --turnaround MS       delay before each answer (default 5)\n"
           "  --records-byte-gap MS a slow device: MS milliseconds after every ATP answer byte\n"
           "  --log FILE            append \"<ms since start> <command>\" per received command\n"
           "  --answer-log FILE     the same per answer sent whole (an answer cut short by\n"
           "                        SIGTERM, SIGINT or --drop-after-records is not logged)\n"
           "  --help                show this text\n"
           "Stops on SIGTERM or SIGINT with exit status 0.\n";
}

} // namespace sim

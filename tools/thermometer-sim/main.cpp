// Thermometer simulator: serves the device's commands on a pseudo-terminal
// until SIGTERM or SIGINT. See --help for the options.

#include "commandlog.h"
#include "commandscanner.h"
#include "options.h"
#include "ptyport.h"
#include "replywriter.h"
#include "thermometer.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <thread>
#include <utility>

namespace {

volatile std::sig_atomic_t g_stop = 0;
volatile std::sig_atomic_t g_silent = 0;

void onStop(int)
{
    g_stop = 1;
}
void onToggleSilence(int)
{
    g_silent = !g_silent;
}

void installSignalHandlers()
{
    struct sigaction sa {};
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0; // no SA_RESTART: a signal wakes the poll at once
    sa.sa_handler = onStop;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    sa.sa_handler = onToggleSilence;
    sigaction(SIGUSR1, &sa, nullptr);
}

// Reads commands and answers them until asked to stop.
int serve(sim::PtyPort &port, const sim::Options &opts, sim::CommandLog &log, sim::CommandLog &answers)
{
    sim::Thermometer thermometer(opts.device, opts.profile, opts.records, opts.stored);
    sim::CommandScanner scanner;
    sim::ReplyWriter writer(port, {opts.turnaroundMs, opts.splitMs, opts.garbage, opts.seed}, g_stop);

    while (!g_stop) {
        pollfd p{port.masterFd(), POLLIN, 0};
        if (::poll(&p, 1, 50) < 0) {
            if (errno == EINTR)
                continue;
            std::fprintf(stderr, "poll: %s\n", std::strerror(errno));
            return 1;
        }
        // Bytes written just before the port was closed are still readable.
        char buf[512];
        const ssize_t n = (p.revents & POLLIN) ? ::read(port.masterFd(), buf, sizeof buf) : 0;
        for (char letter : scanner.feed(buf, n > 0 ? static_cast<std::size_t>(n) : 0)) {
            log.record(letter);
            if (g_silent || g_stop)
                continue;
            const bool unplugged = letter == 'P' && opts.stored.dropAfterRecords >= 0;
            const bool whole = !unplugged || opts.stored.dropAfterRecords >= opts.records;
            const std::string answer = thermometer.answer(letter);
            if (!answer.empty() && writer.send(answer, letter == 'P' ? opts.stored.byteGapMs : -1) && whole)
                answers.record(letter);
            if (unplugged) {
                // The line goes dead once the records sent have been read:
                // ending closes the master and removes the link.
                port.waitUntilRead(10000, g_stop);
                return 0;
            }
        }
        // With no one on the port, poll reports a hang-up without waiting.
        if (!port.peerOpen() && n <= 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const auto start = std::chrono::steady_clock::now();
    sim::Options opts;
    std::string error;
    switch (sim::parseOptions(argc, argv, opts, error)) {
    case sim::ParseResult::Run: break;
    case sim::ParseResult::Help: std::fputs(sim::usageText(argv[0]).c_str(), stdout); return 2;
    case sim::ParseResult::Error:
        std::fprintf(stderr, "%s: %s\n%s", argv[0], error.c_str(), sim::usageText(argv[0]).c_str());
        return 2;
    }

    sim::CommandLog log(start);
    sim::CommandLog answers(start);
    for (auto [file, path] : {std::pair{&log, &opts.logPath}, std::pair{&answers, &opts.answerLogPath}}) {
        if (!path->empty() && !file->open(*path)) {
            std::fprintf(stderr, "cannot open log %s: %s\n", path->c_str(), std::strerror(errno));
            return 1;
        }
    }
    sim::PtyPort port;
    if (!port.open(error) || (!opts.linkPath.empty() && !port.makeLink(opts.linkPath, error))) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }

    g_silent = opts.silent ? 1 : 0;
    installSignalHandlers();
    std::signal(SIGPIPE, SIG_IGN);

    // The link exists before the path is announced, so a reader of the first
    // line may use either at once.
    std::printf("%s\n", port.slavePath().c_str());
    std::fflush(stdout);

    return serve(port, opts, log, answers);
}

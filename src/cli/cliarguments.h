#pragma once

#include "cli/seriesfile.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>

namespace Cli {

constexpr const char *ProgramName = "kelvora-cli";

// Exit codes of every command.
enum ExitCode { Success = 0, Failure = 1, UsageError = 2 };

// Writes "kelvora-cli: <text>" as one line to stderr.
void printError(const QString &text);
// printError, then Failure: a command that could not do its work.
int fail(const QString &text);
// Writes text to stdout as it is and flushes it.
void printOut(const QString &text);

// The options of one command: a QCommandLineParser that knows the command's
// name, so that its help reads "Usage: kelvora-cli <command> [options] ...",
// and that reports usage errors instead of ending the process.
class CommandLine {
public:
    CommandLine(const QString &command, const QString &description);

    void addOption(const QCommandLineOption &option);
    void addPositional(const QString &name, const QString &description, const QString &syntax = {});

    // Parses the arguments that follow the command's name. Returns an exit
    // code when the command is to end now: Success after printing the help
    // asked for with --help, UsageError after printing what is wrong with
    // them (unknown options, missing values, a wrong number of positional
    // arguments). std::nullopt when the command is to run.
    std::optional<int> parse(const QStringList &arguments);

    bool isSet(const QCommandLineOption &option) const { return m_parser.isSet(option); }
    QString value(const QCommandLineOption &option) const { return m_parser.value(option); }
    QStringList positionalArguments() const { return m_parser.positionalArguments(); }

    // The unit of a unitOption() into celsius (true for C), left as it is
    // when the option has no value. A letter other than C or F is a usage
    // error: returns its exit code then, else std::nullopt.
    std::optional<int> readUnit(const QCommandLineOption &option, std::optional<bool> &celsius) const;

    // The file of an output option into path; a missing one is a usage
    // error: returns its exit code then, else std::nullopt.
    std::optional<int> readOutput(const QCommandLineOption &option, QString &path) const;
    // The series format of path's extension into format; any other extension
    // is a usage error, as with readOutput.
    std::optional<int> readSeriesFormat(const QString &path, SeriesFile::Format &format) const;

    // Prints "kelvora-cli <command>: <text>" and a hint to --help on stderr;
    // returns UsageError.
    int usageError(const QString &text) const;
    QString helpText() const;

private:
    QString m_command;
    QCommandLineParser m_parser;
    QCommandLineOption m_help;
    int m_positionalCount = 0;
};

// Options shared by several commands.
QCommandLineOption portOption();   // --port P
QCommandLineOption outputOption(); // -o, --output FILE
// --unit C|F with the command's own description; defaultUnit "C" or "F"
// makes it always have a value.
QCommandLineOption unitOption(const QString &description, const QString &defaultUnit = {});

// The unit letter of --unit: true for "C", false for "F" (either case);
// std::nullopt for anything else.
std::optional<bool> parseUnit(const QString &letter);

} // namespace Cli

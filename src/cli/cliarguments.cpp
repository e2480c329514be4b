#include "cli/cliarguments.h"

#include <QTextStream>

namespace Cli {

void printError(const QString &text)
{
    QTextStream(stderr) << ProgramName << ": " << text << Qt::endl;
}

int fail(const QString &text)
{
    printError(text);
    return Failure;
}

void printOut(const QString &text)
{
    QTextStream out(stdout);
    out << text;
    out.flush();
}

CommandLine::CommandLine(const QString &command, const QString &description)
    : m_command(command), m_help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                 QStringLiteral("Displays help on this command."))
{
    m_parser.setApplicationDescription(description);
    m_parser.addOption(m_help);
}

void CommandLine::addOption(const QCommandLineOption &option)
{
    m_parser.addOption(option);
}

void CommandLine::addPositional(const QString &name, const QString &description, const QString &syntax)
{
    m_parser.addPositionalArgument(name, description, syntax);
    ++m_positionalCount;
}

std::optional<int> CommandLine::parse(const QStringList &arguments)
{
    // QCommandLineParser takes the program's name first.
    if (!m_parser.parse(QStringList{QString::fromLatin1(ProgramName)} + arguments))
        return usageError(m_parser.errorText());
    if (m_parser.isSet(m_help)) {
        printOut(helpText());
        return Success;
    }
    const qsizetype given = m_parser.positionalArguments().size();
    if (given < m_positionalCount)
        return usageError(QStringLiteral("missing argument"));
    if (given > m_positionalCount)
        return usageError(QStringLiteral("unexpected argument '%1'")
                              .arg(m_parser.positionalArguments().at(m_positionalCount)));
    return std::nullopt;
}

std::optional<int> CommandLine::readUnit(const QCommandLineOption &option, std::optional<bool> &celsius) const
{
    const QString letter = m_parser.value(option);
    if (letter.isEmpty())
        return std::nullopt;
    celsius = parseUnit(letter);
    if (!celsius)
        return usageError(QStringLiteral("the unit must be C or F, not '%1'").arg(letter));
    return std::nullopt;
}

std::optional<int> CommandLine::readOutput(const QCommandLineOption &option, QString &path) const
{
    if (!m_parser.isSet(option))
        return usageError(QStringLiteral("no output file given (-o %1)").arg(option.valueName()));
    path = m_parser.value(option);
    return std::nullopt;
}

std::optional<int> CommandLine::readSeriesFormat(const QString &path, SeriesFile::Format &format) const
{
    const std::optional<SeriesFile::Format> known = SeriesFile::formatOf(path);
    if (!known)
        return usageError(
            QStringLiteral("the output file must end in %1: %2").arg(SeriesFile::knownExtensions(), path));
    format = *known;
    return std::nullopt;
}

int CommandLine::usageError(const QString &text) const
{
    QTextStream(stderr) << ProgramName << ' ' << m_command << ": " << text << "\nTry '" << ProgramName << ' '
                        << m_command << " --help' for more information." << Qt::endl;
    return UsageError;
}

QString CommandLine::helpText() const
{
    // The parser names the program on its first line; the command belongs there too.
    QString text = m_parser.helpText();
    const QString usage = QStringLiteral("Usage: ");
    if (text.startsWith(usage)) {
        const qsizetype end = text.indexOf(QLatin1Char(' '), usage.size());
        text.replace(0, end, usage + QString::fromLatin1(ProgramName) + QLatin1Char(' ') + m_command);
    }
    return text;
}

QCommandLineOption portOption()
{
    return QCommandLineOption(
        QStringLiteral("port"),
        QStringLiteral("Serial port of the thermometer (/dev/ttyUSB0, ttyUSB0 or COM1)."),
        QStringLiteral("P"));
}

QCommandLineOption outputOption()
{
    return QCommandLineOption(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                              QStringLiteral("File to write; its extension chooses the format."),
                              QStringLiteral("FILE"));
}

QCommandLineOption unitOption(const QString &description, const QString &defaultUnit)
{
    return QCommandLineOption(QStringLiteral("unit"), description, QStringLiteral("C|F"), defaultUnit);
}

std::optional<bool> parseUnit(const QString &letter)
{
    if (letter.compare(QLatin1String("C"), Qt::CaseInsensitive) == 0)
        return true;
    if (letter.compare(QLatin1String("F"), Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}

} // namespace Cli

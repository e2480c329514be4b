#include "store/logfilereader.h"

#include "devicelink/apppaths.h"
#include "devicelink/kelvoraerror.h"
#include "devicelink/systemvars.h"
#include "store/kelvoradatabase.h"
#include "store/logfileformat.h"
#include "store/logrecordparser.h"
#include "store/measuretable.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <optional>

namespace {

constexpr int ProgressStep = 256;     // record lines between two progress reports
constexpr int ReserveLimit = 1 << 20; // rows reserved at most for the count of line 2

bool isAscii(const QByteArray &bytes)
{
    return std::all_of(bytes.cbegin(), bytes.cend(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

[[noreturn]] void fail(const QString &what, const QFile &file)
{
    throw KelvoraError(QStringLiteral("Cannot %1 file %2: %3")
                           .arg(what, QDir::toNativeSeparators(file.fileName()), file.errorString()));
}

// tableBusy is true for as long as the load runs, whichever way it ends.
class TableBusy {
public:
    TableBusy() { SystemVars.tableBusy = true; }
    ~TableBusy() { SystemVars.tableBusy = false; }
    TableBusy(const TableBusy &) = delete;
    TableBusy &operator=(const TableBusy &) = delete;
};

// The lines of the log file without their line ends (CR LF, or LF alone).
// Each line is read as UTF-8, or as Latin-1 when it is not valid UTF-8.
class LogLines {
public:
    explicit LogLines(const QString &path) : m_file(path)
    {
        if (!m_file.open(QIODevice::ReadOnly))
            fail(QStringLiteral("open"), m_file);
    }
    bool atEnd() const { return m_file.atEnd(); }
    // The next line; empty past the end of the file.
    QString next()
    {
        if (atEnd())
            return QString();
        QByteArray bytes = m_file.readLine();
        // A line holds at least its line end or one character before the end.
        if (bytes.isEmpty())
            fail(QStringLiteral("read"), m_file);
        if (bytes.endsWith('\n'))
            bytes.chop(1);
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        // Log files are mostly plain ASCII, which reads the same either way.
        if (isAscii(bytes))
            return QString::fromLatin1(bytes);
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8.decode(bytes);
        return utf8.hasError() ? QString::fromLatin1(bytes) : text;
    }

private:
    QFile m_file;
};

class StagingFile {
public:
    StagingFile() : m_file(AppPaths::besideExecutable(QString::fromLatin1(LogFile::StagingFileName)))
    {
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            fail(QStringLiteral("create"), m_file);
    }
    void write(const QString &line)
    {
        m_pending += line.toUtf8();
        m_pending += LogFile::LineEnd;
        if (m_pending.size() >= FlushBytes)
            writePending();
    }
    void finish()
    {
        writePending();
        if (!m_file.flush())
            fail(QStringLiteral("write"), m_file);
    }

private:
    static constexpr qsizetype FlushBytes = 256 * 1024;

    void writePending()
    {
        if (m_file.write(m_pending) != m_pending.size())
            fail(QStringLiteral("write"), m_file);
        m_pending.clear();
    }

    QFile m_file;
    QByteArray m_pending;
};

// While rows are appended, a bound grid hears nothing; afterwards one reset.
class ControlsDisabled {
public:
    explicit ControlsDisabled(MeasureTable &table) : m_table(table) { m_table.disableControls(); }
    ~ControlsDisabled() { m_table.enableControls(); }
    ControlsDisabled(const ControlsDisabled &) = delete;
    ControlsDisabled &operator=(const ControlsDisabled &) = delete;

private:
    MeasureTable &m_table;
};

void report(const LogLoadProgress &progress, int rowsRead, int total)
{
    if (progress)
        progress(rowsRead, total);
}

struct ParsedLog {
    int total = 0;
    QVector<MeasureRecord> rows;
};

// Reads the file into rows and the staging file; both files are closed on
// return. Nothing when the header does not match.
std::optional<ParsedLog> readLogFile(const QString &path, qint64 firstRecno, bool unitCelsius,
                                     const LogLoadProgress &progress)
{
    StagingFile staging;
    LogLines lines(path);
    if (lines.next() != QLatin1String(LogFile::Header))
        return std::nullopt;
    ParsedLog parsed;
    parsed.total = parseLogTotal(lines.next());
    report(progress, 0, parsed.total);

    QVector<MeasureRecord> &rows = parsed.rows;
    // The count is only a hint, and a wrong one must not cost much memory.
    rows.reserve(qBound(0, parsed.total, ReserveLimit));
    while (!lines.atEnd()) {
        const LogLine line = parseLogLine(lines.next());
        MeasureRecord row = loadedRow(line, unitCelsius, firstRecno + rows.size());
        // Rows of one day share one date text.
        if (!rows.isEmpty() && rows.constLast().date == row.date)
            row.date = rows.constLast().date;
        staging.write(stagingLine(line, row));
        rows.append(std::move(row));
        if (rows.size() % ProgressStep == 0)
            report(progress, static_cast<int>(rows.size()), parsed.total);
    }
    staging.finish();
    if (rows.size() % ProgressStep != 0)
        report(progress, static_cast<int>(rows.size()), parsed.total);
    return parsed;
}

void appendRows(KelvoraDatabase &database, MeasureTable &table, const QVector<MeasureRecord> &rows)
{
    ControlsDisabled quiet(table);
    // A failure also re-reads the row cache, which holds the discarded rows.
    database.inBulk([&] { table.appendAll(rows); });
}

} // namespace

LogLoadResult loadLogFile(const QString &path, KelvoraDatabase &database, MeasureTable &loadData,
                          qint64 firstRecno, bool unitCelsius, const LogLoadProgress &progress)
{
    TableBusy busy;
    LogLoadResult result;
    const std::optional<ParsedLog> parsed = readLogFile(path, firstRecno, unitCelsius, progress);
    if (!parsed)
        return result;
    appendRows(database, loadData, parsed->rows);
    result.accepted = true;
    result.total = parsed->total;
    result.values.reserve(parsed->rows.size());
    for (const MeasureRecord &row : parsed->rows)
        result.values.append(row.meavalue);
    return result;
}

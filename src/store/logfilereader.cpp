#include "store/logfilereader.h"

#include "common/apppaths.h"
#include "store/fileerror.h"
#include "store/kelvoradatabase.h"
#include "store/logfileformat.h"
#include "store/loglinereader.h"
#include "store/logrecordparser.h"
#include "store/measuretable.h"
#include "store/undoableappend.h"

#include <QDate>
#include <QFile>

#include <limits>

namespace {

constexpr int ProgressStep = 256;     // record lines between two progress reports
constexpr int ReserveLimit = 1 << 20; // rows reserved at most for the count of line 2

// The caller's busy flag, if any, is true for as long as the load runs,
// whichever way it ends.
class BusyWhileLoading {
public:
    explicit BusyWhileLoading(bool *busy) : m_busy(busy)
    {
        if (m_busy)
            *m_busy = true;
    }
    ~BusyWhileLoading()
    {
        if (m_busy)
            *m_busy = false;
    }
    BusyWhileLoading(const BusyWhileLoading &) = delete;
    BusyWhileLoading &operator=(const BusyWhileLoading &) = delete;

private:
    bool *m_busy;
};

// Holds the lines of the file being loaded; a load that fails leaves it
// empty, not with the lines of a file whose rows did not reach the table.
class StagingFile {
public:
    StagingFile() : m_file(AppPaths::ownFile(QString::fromLatin1(LogFile::StagingFileName)))
    {
        // Unbuffered (the lines are gathered here), so that emptying it after
        // a failure has no buffered bytes to write first.
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
            throwFileError(QStringLiteral("create"), m_file);
    }
    ~StagingFile()
    {
        if (!m_kept)
            m_file.resize(0);
    }
    StagingFile(const StagingFile &) = delete;
    StagingFile &operator=(const StagingFile &) = delete;

    void write(const LogLine &line, const MeasureRecord &row)
    {
        appendStagingLine(m_pending, line, row);
        m_pending += LogFile::LineEnd;
        if (m_pending.size() >= FlushBytes)
            writePending();
    }
    void finish() { writePending(); }
    // The load has succeeded: the lines stay.
    void keep() { m_kept = true; }

private:
    static constexpr qsizetype FlushBytes = 256 * 1024;

    void writePending()
    {
        if (m_file.write(m_pending) != m_pending.size())
            throwFileError(QStringLiteral("write"), m_file);
        m_pending.clear();
    }

    QFile m_file;
    QByteArray m_pending;
    bool m_kept = false;
};

class ControlsDisabled {
public:
    explicit ControlsDisabled(MeasureTable &table) : m_table(table) { m_table.disableControls(); }
    ~ControlsDisabled() { m_table.enableControls(); }
    ControlsDisabled(const ControlsDisabled &) = delete;
    ControlsDisabled &operator=(const ControlsDisabled &) = delete;

private:
    MeasureTable &m_table;
};

// False when the caller asks to stop.
bool report(const LogLoadProgress &progress, int rowsRead, int total)
{
    return !progress || progress(rowsRead, total);
}

// The number of the digits at text[from, from + count); -1 when one is no digit.
int digitsAt(QStringView text, qsizetype from, qsizetype count)
{
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const QChar c = text[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

// A row's date and time in seconds. Read by hand: a million rows through
// QDateTime::fromString would cost seconds.
double rowSeconds(QStringView date, QStringView time)
{
    constexpr double invalid = std::numeric_limits<double>::quiet_NaN();
    if (date.size() != 10 || date[4] != QLatin1Char('-') || date[7] != QLatin1Char('-') || time.size() != 8 ||
        time[2] != QLatin1Char(':') || time[5] != QLatin1Char(':'))
        return invalid;
    const QDate day(digitsAt(date, 0, 4), digitsAt(date, 5, 2), digitsAt(date, 8, 2));
    const int hours = digitsAt(time, 0, 2);
    const int minutes = digitsAt(time, 3, 2);
    const int seconds = digitsAt(time, 6, 2);
    if (!day.isValid() || hours < 0 || hours > 23 || minutes < 0 || minutes > 59 || seconds < 0 ||
        seconds > 59)
        return invalid;
    return double(day.toJulianDay()) * 86400.0 + hours * 3600 + minutes * 60 + seconds;
}

} // namespace

LogLoadResult loadLogFile(const QString &path, KelvoraDatabase &database, MeasureTable &loadData,
                          qint64 firstRecno, bool unitCelsius, const LogLoadProgress &progress, bool *busy)
{
    BusyWhileLoading busyWhileLoading(busy);
    LogLoadResult result;
    StagingFile staging;
    LogLineReader lines(path);
    if (lines.next() != QLatin1String(LogFile::Header))
        return result;
    result.total = parseLogTotal(lines.next());
    bool goOn = report(progress, 0, result.total);

    // Each row goes to the table as it is read: the file is never held
    // whole. The count is only a hint, and a wrong one must not cost much
    // memory.
    const int expected = qBound(0, result.total, ReserveLimit);
    result.values.reserve(expected);
    result.times.reserve(expected);
    UndoableAppend rows(database, loadData);
    {
        // While rows are appended, a bound grid hears nothing; afterwards one reset.
        ControlsDisabled quiet(loadData);
        QString previousDate;
        while (goOn && !lines.atEnd()) {
            const LogLine line = parseLogLine(lines.next());
            MeasureRecord row = loadedRow(line, unitCelsius, firstRecno + rows.added(), previousDate);
            staging.write(line, row);
            previousDate = row.date;
            result.values.append(row.meavalue);
            result.times.append(rowSeconds(row.date, row.time));
            rows.add(std::move(row));
            if (rows.added() % ProgressStep == 0)
                goOn = report(progress, rows.added(), result.total);
        }
        rows.announce();
    }
    // Once more between the grid's reset and the commit, each of which may
    // take a while with many rows; the load may still be stopped here.
    if (goOn && rows.added() > 0)
        goOn = report(progress, rows.added(), result.total);
    if (!goOn) {
        rows.undo();
        LogLoadResult cancelled;
        cancelled.cancelled = true;
        return cancelled;
    }
    staging.finish();
    rows.commit();
    staging.keep();
    result.accepted = true;
    return result;
}

#include "cli/livelog.h"

#include "cli/cliarguments.h"
#include "common/kelvoraerror.h"
#include "devicelink/delay.h"
#include "devicelink/systemvar.h"
#include "measure/logic/readingtext.h"

#include <QDateTime>

#include <algorithm>
#include <cstdio>

namespace {

// The measurement window's poll timer.
constexpr int PollIntervalMs = 1000;
// Long waits are armed in steps that a timer can hold.
constexpr qint64 LongestTimerStepMs = 3600 * 1000;
// Time for the last command to leave the port before it closes.
constexpr int LastCommandMs = 200;

} // namespace

LiveLog::LiveLog(TForm6 &link, const Options &options) : m_link(link), m_options(options)
{
    m_poll.setInterval(PollIntervalMs);
    connect(&m_poll, &ComponentTimer::timeout, this, [this] { m_run.tick(); });
    m_endTimer.setSingleShot(true);
    m_endTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_endTimer, &QTimer::timeout, this, [this] { armEnd(); });
    connect(&m_saveTimer, &QTimer::timeout, this, [this] { saveDuringRun(); });
    connect(&m_signals, &SignalWatcher::terminationRequested, this, [this] { end(); });
    connect(&m_link.MSComm1, &SerialControl::portLost, this, [this] { notePortLost(); });
}

int LiveLog::exec()
{
    SystemVars.measureWindow = this;
    m_run.claim(m_options.rate);
    m_run.begin();
    m_poll.setEnabled(true);
    if (m_options.durationMs) {
        m_deadline = QDeadlineTimer(*m_options.durationMs, Qt::PreciseTimer);
        armEnd();
    }
    if (!m_options.file.isEmpty() && m_options.format == SeriesFile::Format::Log)
        m_saveTimer.start(int(std::min(m_options.saveEveryMs, LongestTimerStepMs)));

    m_loop.exec();

    m_poll.setEnabled(false);
    m_saveTimer.stop();
    m_endTimer.stop();
    m_run.stop();
    // A reading already on its way is still taken, as the window does
    // after Stop, while "ATU" leaves the port.
    delay(LastCommandMs);
    SystemVars.measureWindow = nullptr;
    if (!m_error.isEmpty()) {
        Cli::printError(m_error);
        saveFile();
        return Cli::Failure;
    }
    return saveFile() ? Cli::Success : Cli::Failure;
}

bool LiveLog::event(QEvent *event)
{
    if (event->type() != WM_NEWREADING)
        return QObject::event(event);
    try {
        takeReading();
    } catch (const KelvoraError &e) {
        end(QStringLiteral("The reading could not be stored: %1").arg(e.text()));
    }
    return true;
}

MeasureTable &LiveLog::meaData()
{
    return m_link.Table1;
}

void LiveLog::takeReading()
{
    const TSystemVars &v = SystemVars;
    if (m_portLost) {
        m_portLost = false;
        note(QStringLiteral("the thermometer on %1 is back").arg(m_options.port));
    }
    // One reading of the clock for the printed time and the row's.
    const QDateTime moment = QDateTime::currentDateTime();
    MeasureTable &table = meaData();
    const LiveReading reading =
        liveReading(v.lastValue, v.lastEms, m_options.celsius, table.recordCount() + 1, recordStamp(moment));
    table.append(reading.record);
    Cli::printOut(QStringLiteral("%1,%2,%3,%4\n")
                      .arg(moment.toString(Qt::ISODate), reading.value, reading.record.unit,
                           ReadingText::emissivityText(v.lastEms)));
    // Nobody reads the readings any more (a closed pipe): the run ends as
    // it would on Ctrl-C, and the file keeps them.
    if (std::ferror(stdout))
        end();
}

void LiveLog::notePortLost()
{
    m_portLost = true;
    note(QStringLiteral("the thermometer on %1 went away; the run goes on when it is back")
             .arg(m_options.port));
}

void LiveLog::note(const QString &text)
{
    Cli::printError(QStringLiteral("log: ") + text);
}

// The deadline is armed in steps a timer can hold.
void LiveLog::armEnd()
{
    const qint64 left = m_deadline.remainingTime();
    if (left == 0) {
        end();
        return;
    }
    m_endTimer.start(int(std::min(left, LongestTimerStepMs)));
}

void LiveLog::end(const QString &error)
{
    if (m_error.isEmpty())
        m_error = error;
    m_loop.quit();
}

// The file as it stands, so that a power cut loses at most one interval;
// a failure is told and the run goes on (the next try may succeed).
void LiveLog::saveDuringRun()
{
    if (meaData().recordCount() == m_savedRows)
        return;
    try {
        write();
    } catch (const KelvoraError &e) {
        note(e.text());
    }
}

bool LiveLog::saveFile()
{
    if (m_options.file.isEmpty())
        return true;
    try {
        const SeriesFile::WriteResult written = write();
        if (written.complete())
            return true;
        Cli::printError(written.shortfall());
    } catch (const KelvoraError &e) {
        Cli::printError(e.text());
    }
    return false;
}

SeriesFile::WriteResult LiveLog::write()
{
    // One decimal, as the measurement window saves its readings.
    const SeriesFile::WriteResult written =
        SeriesFile::write(m_options.file, m_options.format, meaData(), LogValueText::OneDecimal);
    m_savedRows = meaData().recordCount();
    return written;
}

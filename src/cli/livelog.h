#pragma once

#include "cli/seriesfile.h"
#include "devicelink/componenttimer.h"
#include "measure/logic/liverun.h"
#include "shell/signalwatcher.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <optional>

class MeasureTable;
class TForm6;

// One live run on the command line. It takes the readings as the measurement
// window does: it is the window that the device link hands each parsed
// reading to, its poll sends "ATA" and "ATR" by the same rules, and each
// reading becomes the same row, appended to MeaData of the link's database.
// Each reading is printed on stdout as "TIMESTAMP,VALUE,UNIT,EMISSIVITY".
class LiveLog : public QObject {
public:
    struct Options {
        QString port; // for the notes on stderr
        int rate = 1;
        bool celsius = true;
        std::optional<qint64> durationMs; // none: until a signal
        QString file;                     // empty: no file
        SeriesFile::Format format = SeriesFile::Format::Log;
        // How often a .klg file is rewritten during the run (at least hourly).
        qint64 saveEveryMs = 60 * 1000;
    };

    // link: connected to the thermometer, its tables open.
    LiveLog(TForm6 &link, const Options &options);

    // Runs until the duration is over, SIGINT or SIGTERM arrives, stdout is
    // closed or a reading cannot be stored; then writes the file. Returns
    // the exit code.
    int exec();

protected:
    bool event(QEvent *event) override;

private:
    MeasureTable &meaData();
    void takeReading();
    void notePortLost();
    void note(const QString &text);
    void armEnd();
    void end(const QString &error = QString());
    void saveDuringRun();
    bool saveFile();
    SeriesFile::WriteResult write();

    TForm6 &m_link;
    const Options m_options;
    LiveRun m_run;
    ComponentTimer m_poll;
    QTimer m_endTimer;
    QDeadlineTimer m_deadline;
    QTimer m_saveTimer;
    QEventLoop m_loop;
    SignalWatcher m_signals;
    int m_savedRows = -1;
    bool m_portLost = false;
    QString m_error;
};

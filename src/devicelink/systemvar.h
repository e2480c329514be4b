#pragma once

#include "componenttimer.h"
#include "serialcontrol.h"
#include "store/kelvoradatabase.h"
#include "store/measuretable.h"
#include "store/sqlstatement.h"
#include "systemvars.h"

#include <QObject>
#include <QString>

// The device-link module: never shown, created right after the main window
// and alive until the program ends. It owns the serial port, the poll and
// frame timers, the database with the three measurement tables, and the
// shared state SystemVars.
class TForm6 : public QObject {
    Q_OBJECT
public:
    static constexpr const char *ReportFileName = "Kelvora_en.rav";
    static constexpr int PollIntervalMs = 1000;
    static constexpr int FrameIntervalMs = 50;
    static constexpr int DownloadQuietMs = 1500;
    static constexpr int LinkTicks = 3;
    // More than the longest reply the program understands ("ATP", 30003 bytes).
    static constexpr int MaxReceiveBytes = 64 * 1024;

    explicit TForm6(QObject *parent = nullptr);
    ~TForm6() override;

    // Creation: empties the tables, checks the report layout, reads the
    // settings and enables the device commands. Database failures throw.
    void FormCreate();
    // Closing: port off, settings written. Runs once; later calls do nothing.
    void FormClose();
    // The program is ending: a window that waits for the thermometer stops.
    bool isClosed() const { return m_closed; }

    // For a caller that sets SystemVars itself instead of creating the module
    // from the settings file (the command line): the poll may then reopen a
    // port that was lost, as it does after FormCreate.
    void useGivenSettings() { m_settings = SettingsState::Loaded; }

    // Opens the port of SystemVars.serialPort and asks for the thermometer's
    // settings. Throws SerialPortError when the port cannot be opened.
    void OpenPort();

    // Writes a command for a window that drives the thermometer. While the
    // port is closed (the device went away) nothing is written: the poll is
    // already reopening the port and has told the user once.
    void SendCommand(const QByteArray &command);

    // Handlers, public so that tests can drive them.
    void Timer1Timer();
    void MSComm1Comm(int event);
    // Bytes read from the port: they join the frame that the next tick of
    // Timer2 hands to the parser, and the tick is put off again.
    void Receive(const QByteArray &bytes);
    void Timer2Timer();

    QString reportProjectFile() const { return m_reportProjectFile; }
    QString settingsFilePath() const;

    SerialControl MSComm1;
    ComponentTimer Timer1;
    ComponentTimer Timer2;
    KelvoraDatabase Database1;
    MeasureTable Table1; // MeaData
    MeasureTable Table2; // GetRecorde
    MeasureTable Table3; // LoadData
    SqlStatement Query1;

private:
    // NotRead: creation stopped before the settings (missing report layout).
    enum class SettingsState { NotRead, Unreadable, Loaded };

    // Saves the rows of a run that ended without the program's own close
    // and marks this run as running; false when they could not be saved.
    bool recoverUnsavedRun();
    void saveSettingsAtClose();
    void openPortFromPoll();
    void showPortError(const QString &hint);
    void onPortLost();

    QString m_reportProjectFile;
    SettingsState m_settings = SettingsState::NotRead;
    bool m_closed = false;
    QString m_runFolder; // where this run's marker lies; empty before it exists
};

// The one device-link module of the program, null before it exists.
extern TForm6 *Form6;

#pragma once

#include <QByteArray>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QString>

#include <array>

// Window messages between the program's windows. Both are delivered
// synchronously with QCoreApplication::sendEvent; a null window receives nothing.
constexpr QEvent::Type WM_NEWREADING = static_cast<QEvent::Type>(1024 + 100);
constexpr QEvent::Type WM_CHANGEUNIT = static_cast<QEvent::Type>(1024 + 101);

// Sends a window message to a window that may be gone (or never opened).
void sendWindowMessage(const QPointer<QObject> &window, QEvent::Type message);

// Which operation holds the thermometer (TSystemVars::commState).
enum CommStateValue : qint16 { CommIdle = 0, CommMeasuring = 10, CommDownloading = 11 };

constexpr int MaxLogRecords = 5000;

// The one record of state that all windows of the program share. Every field
// starts zero, false or empty; the device-link module's creation sets the rest.
// Read and written on the GUI thread only.
struct TSystemVars {
    // Settings, persisted in the settings file.
    QString companyName;
    QString serialPort;
    qint16 machineMode = 0;
    qint16 measureMode = 0;
    qint32 halValue = 0;
    qint32 lalValue = 0;
    qint32 emsValue = 0;
    qint32 samplePeriod = 0;
    bool unitCelsius = false;
    double systemLal = 0.0;
    double systemHal = 0.0;
    bool alarmOn = false;

    // Thermometer link.
    bool portOpen = false;
    bool connected = false;
    qint16 linkCountdown = 0;
    bool awaitingReply = false;
    qint16 replyCountdown = 0;
    qint16 commState = CommIdle;
    bool portErrorShown = false;
    QByteArray rxBuffer; // bytes received since the last parse; rxCount of them count
    qint32 rxCount = 0;
    qint32 rxIdleCount = 0;
    bool settingsRead = false;
    bool logReceived = false;

    // Parsed replies.
    qint32 lastValue = 0;
    qint16 lastEms = 0;
    std::array<qint32, MaxLogRecords> logValues{};
    std::array<qint16, MaxLogRecords> logEms{};
    qint16 logCount = 0;

    // Windows and their coordination.
    QPointer<QObject> measureWindow;
    QPointer<QObject> importWindow;
    QPointer<QObject> analyzeWindow;
    bool analyzeWindowOpen = false;
    bool measureMenuEnabled = false;
    bool importMenuEnabled = false;
    bool setupMenuEnabled = false;
    bool aboutMenuEnabled = false;
    bool removeMeasureItem = false;
    bool removeImportItem = false;
    bool removeAnalyzeItem = false;
    bool lastShownConnected = false;
    bool measuring = false;
    bool deviceBusy = false;
    bool tableBusy = false;
    qint32 readInterval = 0;
    double readingSum = 0.0;
    qint16 loadedFileCount = 0;

    // The received bytes that the next parse sees.
    QByteArray receivedFrame() const { return rxBuffer.left(rxCount); }
    // Appends received bytes after the rxCount bytes that still count.
    void appendReceived(const QByteArray &bytes);
    // Empties the receive buffer.
    void clearReceived();
};

extern TSystemVars SystemVars;

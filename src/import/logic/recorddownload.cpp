#include "import/logic/recorddownload.h"

#include "devicelink/delay.h"
#include "devicelink/systemvar.h"
#include "devicelink/thermometerprotocol.h"

#include <QScopeGuard>

DownloadHold::DownloadHold()
{
    SystemVars.deviceBusy = true;
}

void DownloadHold::release()
{
    if (m_released)
        return;
    m_released = true;
    SystemVars.deviceBusy = false;
    SystemVars.commState = CommIdle;
    SystemVars.tableBusy = false;
}

bool RecordDownload::linkClosing() const
{
    return m_link.isClosed();
}

bool RecordDownload::abandoned() const
{
    return linkClosing() || (m_abandoned && m_abandoned());
}

void RecordDownload::report(const Progress &progress) const
{
    if (m_progress)
        m_progress(progress);
}

RecordDownload::Result RecordDownload::run()
{
    TSystemVars &v = SystemVars;
    v.logReceived = false;
    // Every wait below lets the rest of the program run: the caller may
    // give up, or the program may end, meanwhile.
    if (!v.settingsRead) {
        const bool wasOpen = v.portOpen;
        m_link.OpenPort();
        if (abandoned())
            return {Outcome::Abandoned};
        // A port that was open already gets no request from OpenPort: a
        // thermometer switched on just now has not been asked yet.
        if (wasOpen) {
            v.awaitingReply = true;
            v.replyCountdown = 1;
            m_link.SendCommand(QByteArrayLiteral("ATA"));
        }
        delay(200);
        if (abandoned())
            return {Outcome::Abandoned};
    }
    if (!v.settingsRead)
        return {Outcome::NotConnected};
    for (int i = 0; i < PendingSlices && v.awaitingReply; ++i) {
        delay(PendingSliceMs);
        if (abandoned())
            return {Outcome::Abandoned};
    }

    // From here the link waits for the quiet that ends the long reply before
    // it parses; set earlier, the settings reply above would wait as long.
    v.commState = CommDownloading;
    // Bytes of an earlier answer belong to no reply of this download.
    v.clearReceived();
    v.logCount = 0;
    // A thermometer unplugged while it sends its records leaves a download
    // that looks whole; the lost port is what tells the two apart.
    Result result;
    const QMetaObject::Connection lostWatch = QObject::connect(
        &m_link.MSComm1, &SerialControl::portLost, &m_link, [&result] { result.portLost = true; });
    const auto unwatch = qScopeGuard([lostWatch] { QObject::disconnect(lostWatch); });
    m_link.SendCommand(QByteArrayLiteral("ATP"));

    const bool received = waitForRecords();
    if (abandoned())
        return {Outcome::Abandoned, result.portLost};
    result.outcome = received && v.logCount != 0 ? Outcome::Received : Outcome::NoRecords;
    return result;
}

bool RecordDownload::waitForRecords()
{
    TSystemVars &v = SystemVars;
    v.rxIdleCount = 0;
    report({});
    Progress progress;
    while (!v.logReceived && !linkClosing()) {
        // A round ends early once the reply has been parsed, so the rows
        // show as soon as they can.
        for (int slice = 0; slice < 10 && !v.logReceived && !linkClosing(); ++slice)
            delay(RoundMs / 10 - 1);
        ++v.rxIdleCount;
        ++progress.round;
        progress.step = progress.step % 8 + 1;
        progress.records = ThermometerProtocol::logRecordCount(v.receivedFrame());
        report(progress);
        if (v.rxIdleCount > IdleRoundLimit || progress.round > TotalRoundLimit)
            break;
    }
    progress.finished = true;
    progress.records = v.logReceived ? v.logCount : 0;
    report(progress);
    return v.logReceived;
}

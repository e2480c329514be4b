#include "measure/logic/liverun.h"

#include "devicelink/systemvar.h"
#include "measure/logic/readingtext.h"

namespace {
void send(const char *command)
{
    if (Form6)
        Form6->SendCommand(QByteArray(command));
}
} // namespace

void LiveRun::claim(int rate)
{
    TSystemVars &v = SystemVars;
    v.readInterval = rate;
    v.samplePeriod = rate;
    v.commState = CommMeasuring;
    v.deviceBusy = true;
    m_tickCount = 0;
    m_awaitingReading = false;
    m_missedPeriods = 0;
}

void LiveRun::begin()
{
    SystemVars.rxCount = 0;
    send("ATQ");
    SystemVars.measuring = true;
}

void LiveRun::release()
{
    TSystemVars &v = SystemVars;
    v.measuring = false;
    v.readInterval = 0;
    v.deviceBusy = false;
    v.commState = CommIdle;
}

void LiveRun::stop()
{
    TSystemVars &v = SystemVars;
    v.measuring = false;
    v.deviceBusy = false;
    // The device link's poll waits for the reply to "ATU" before it asks
    // for the settings again.
    v.awaitingReply = true;
    v.replyCountdown = 2;
    send("ATU");
    v.commState = CommIdle;
}

void LiveRun::tick()
{
    ++m_tickCount;
    if (m_tickCount < SystemVars.readInterval) {
        send("ATA");
        return;
    }
    m_tickCount = 0;
    if (m_awaitingReading)
        ++m_missedPeriods;
    m_awaitingReading = true;
    send("ATR");
}

LiveReading liveReading(qint32 tenthsCelsius, qint16 emsHundredths, bool celsius, qint64 recno,
                        const RecordStamp &stamp)
{
    LiveReading reading;
    reading.value = ReadingText::valueText(tenthsCelsius, celsius);
    MeasureRecord &record = reading.record;
    record.recno = recno;
    record.date = stamp.date;
    record.time = stamp.time;
    record.ems = ReadingText::emissivityText(emsHundredths).toDouble();
    record.meavalue = reading.value.toDouble();
    record.unit = ReadingText::unitLetter(celsius);
    return reading;
}

#pragma once

#include "store/measurerecord.h"
#include "store/recordclock.h"

#include <QString>

// The device side of a live measurement run, shared by the measurement
// window and the command line: how a run claims and gives back the
// thermometer, what each poll tick sends, and the row a reading becomes.
// Commands go out through the device-link module.
class LiveRun {
public:
    // The run takes the thermometer, reading every rate poll ticks. The
    // rate becomes the sample period that the settings file keeps.
    void claim(int rate);
    // The thermometer has answered the connect: ask it to measure; the poll
    // ticks may begin.
    void begin();
    // A start that got no answer gives the thermometer back.
    void release();
    // Stop: the thermometer is told to stop measuring and is free again.
    void stop();
    // One poll tick: "ATR" on every rate-th tick since the claim, "ATA" on
    // the ticks between. An "ATR" while the one before got no reading
    // counts that sample period as missed.
    void tick();
    // A reading came in answer to the last "ATR".
    void readingArrived() { m_awaitingReading = false; }
    // Sample periods of this run (since the claim) that got no reading.
    int missedPeriods() const { return m_missedPeriods; }

private:
    int m_tickCount = 0;
    bool m_awaitingReading = false;
    int m_missedPeriods = 0;
};

// One reading (tenths of a degree Celsius, emissivity in hundredths) as a
// row of the unit's table: the value with one decimal as the window shows
// it, the stamp's date and time.
struct LiveReading {
    QString value;
    MeasureRecord record;
};
LiveReading liveReading(qint32 tenthsCelsius, qint16 emsHundredths, bool celsius, qint64 recno,
                        const RecordStamp &stamp);

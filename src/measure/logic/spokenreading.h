#pragma once

#include <QString>
#include <QtGlobal>

// What a screen reader is told about a reading beyond its digits: the unit
// and whether the reading is outside the alarm limits of the PC side.
namespace SpokenReading {

// "°C" or "°F".
QString unit(bool celsius);

// The limits a reading lies outside. A low limit above the high one can
// put a reading outside both.
struct Alarm {
    bool high = false;
    bool low = false;
    bool operator==(const Alarm &other) const { return high == other.high && low == other.low; }
};

// The reading in tenths of a degree Celsius against the limits in degrees
// Celsius, as the settings hold them; a reading on a limit is inside, and
// with the alarm off no reading is outside.
Alarm alarmFor(qint32 tenthsCelsius, bool alarmOn, double lowLimit, double highLimit);

// The alarm in words, the limits in the window's unit with one decimal:
// "High alarm: above 40.0 °C", "Low alarm: below -5.5 °C", both joined by
// ". ", empty without an alarm.
QString alarmText(const Alarm &alarm, double lowLimit, double highLimit, bool celsius);

} // namespace SpokenReading

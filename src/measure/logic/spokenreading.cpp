#include "measure/logic/spokenreading.h"

#include "measure/logic/readingtext.h"

#include <QStringList>

#include <cmath>

namespace SpokenReading {

namespace {

QString limitText(double degreesCelsius, bool celsius)
{
    return ReadingText::valueText(qint32(std::lround(degreesCelsius * 10)), celsius) + QLatin1Char(' ') +
           unit(celsius);
}

} // namespace

QString unit(bool celsius)
{
    return QChar(0x00B0) + ReadingText::unitLetter(celsius);
}

Alarm alarmFor(qint32 tenthsCelsius, bool alarmOn, double lowLimit, double highLimit)
{
    if (!alarmOn)
        return {};
    return {tenthsCelsius > highLimit * 10, tenthsCelsius < lowLimit * 10};
}

QString alarmText(const Alarm &alarm, double lowLimit, double highLimit, bool celsius)
{
    QStringList parts;
    if (alarm.high)
        parts << QStringLiteral("High alarm: above ") + limitText(highLimit, celsius);
    if (alarm.low)
        parts << QStringLiteral("Low alarm: below ") + limitText(lowLimit, celsius);
    return parts.join(QStringLiteral(". "));
}

} // namespace SpokenReading

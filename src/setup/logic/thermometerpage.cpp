#include "setup/logic/thermometerpage.h"

#include "store/decimalformat.h"

#include <algorithm>

namespace ThermometerPage {

const QStringList &workModes()
{
    static const QStringList modes = {QStringLiteral("EMS"), QStringLiteral("MAX"), QStringLiteral("MIN"),
                                      QStringLiteral("DIF"), QStringLiteral("AVG"), QStringLiteral("HAL"),
                                      QStringLiteral("LAL"), QStringLiteral("STO")};
    return modes;
}

qint16 clampedWorkMode(qint16 measureMode)
{
    return std::clamp<qint16>(measureMode, 0, 7);
}

qint32 clampedEmissivity(qint32 emsValue)
{
    return std::clamp<qint32>(emsValue, 10, 100);
}

QString alarmText(qint32 tenths)
{
    return formatShortest(tenths / 10.0);
}

QString emissivityText(qint32 hundredths)
{
    return formatShortest(hundredths / 100.0);
}

} // namespace ThermometerPage

#pragma once

#include <QString>
#include <QStringList>

// What the thermometer settings page shows of the values the thermometer
// last reported: the work mode by name, alarms in degrees and the
// emissivity as a fraction, each brought into its range first.
namespace ThermometerPage {

// The work modes in the order of their index.
const QStringList &workModes();

// A work mode index brought into 0 to 7.
qint16 clampedWorkMode(qint16 measureMode);
// An emissivity in hundredths brought into 10 to 100.
qint32 clampedEmissivity(qint32 emsValue);

// Tenths of a degree as degrees in the general format (-200 shows "-20").
QString alarmText(qint32 tenths);
// Hundredths as a fraction in the general format (95 shows "0.95", 100 "1").
QString emissivityText(qint32 hundredths);

} // namespace ThermometerPage

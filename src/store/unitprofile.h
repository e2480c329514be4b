#pragma once

#include <QString>

// Vertical axis range of the data windows' charts, at creation and as the
// floor of the range after a unit change. 200 C and 500 C are 392 F and 932 F.
namespace TemperatureAxis {
constexpr double CelsiusMin = 200.0;
constexpr double CelsiusMax = 500.0;
constexpr double FahrenheitMin = 392.0;
constexpr double FahrenheitMax = 932.0;

constexpr double defaultMin(bool celsius)
{
    return celsius ? CelsiusMin : FahrenheitMin;
}
constexpr double defaultMax(bool celsius)
{
    return celsius ? CelsiusMax : FahrenheitMax;
}
} // namespace TemperatureAxis

// What a unit change needs to know about one data window: the fixed
// statements that convert its table in place, and the vertical axis titles
// the window shows after the change.
struct UnitProfile {
    const char *celsiusToFahrenheit;
    const char *fahrenheitToCelsius;
    const char *unitStatementPrefix; // followed by the unit letter as a string literal
    const char *axisTitleCelsius;
    const char *axisTitleFahrenheit;

    // The value statement that converts a table now holding Celsius
    // (fromCelsius) or Fahrenheit values.
    QString valueStatement(bool fromCelsius) const;
    // The statement that sets every row's unit to letter, e.g. "... Unit='F'".
    QString unitStatement(const QString &letter) const;
    QString axisTitle(bool celsius) const;
};

extern const UnitProfile ImportUnits;   // import window, GetRecorde
extern const UnitProfile MeasureUnits;  // measurement window, MeaData
extern const UnitProfile DataViewUnits; // data view window, LoadData

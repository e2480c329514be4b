#include "store/unitprofile.h"

const UnitProfile ImportUnits{
    "update GetRecorde set meavalue=round((meavalue*1.8+32)*10)/10",
    "update GetRecorde set meavalue=round((meavalue-32)/1.8*10)/10",
    "update GetRecorde set Unit=",
    "Temperature         (Unit: C)",
    "Temperature         (Unit:  F)",
};

const UnitProfile MeasureUnits{
    "update meadata set meavalue=round((meavalue*1.8+32)*10)/10",
    "update meadata set meavalue=round((meavalue-32)/1.8*10)/10",
    "update meadata set Unit=",
    "Temperature     (Unit:  C)",
    "Temperature     (Unit:  F)",
};

const UnitProfile DataViewUnits{
    "update loaddata set meavalue=round((meavalue*1.8+32)*10)/10",
    "update loaddata set meavalue=round((meavalue-32)/1.8*10)/10",
    "update loaddata set Unit=",
    "Temperature       (Unit:  C)",
    "Temperature        (Unit:  F)",
};

QString UnitProfile::valueStatement(bool fromCelsius) const
{
    return QString::fromLatin1(fromCelsius ? celsiusToFahrenheit : fahrenheitToCelsius);
}

QString UnitProfile::unitStatement(const QString &letter) const
{
    QString literal = letter;
    literal.replace(QLatin1Char('\''), QLatin1String("''"));
    return QString::fromLatin1(unitStatementPrefix) + QLatin1Char('\'') + literal + QLatin1Char('\'');
}

QString UnitProfile::axisTitle(bool celsius) const
{
    return QString::fromLatin1(celsius ? axisTitleCelsius : axisTitleFahrenheit);
}

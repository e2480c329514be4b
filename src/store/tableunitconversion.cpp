#include "store/tableunitconversion.h"

#include "common/kelvoraerror.h"
#include "store/kelvoradatabase.h"
#include "store/measuretable.h"
#include "store/sqlstatement.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {

void execute(SqlStatement &query, const QString &text)
{
    query.close();
    query.clear();
    query.setText(text);
    query.execSQL();
}

// A value too large for the other unit turns infinite there, and an
// infinite reading would stand in the table, its grid and its statistics.
// Throws while the conversion's transaction is open, so it is rolled back.
void refuseInfiniteValues(KelvoraDatabase &database, const QString &tableName)
{
    QSqlQuery check(database.connection());
    // The largest double: only an infinite value lies beyond it.
    if (!check.exec(QStringLiteral("SELECT count(*) FROM %1 WHERE abs(meavalue) > 1.7976931348623157e308")
                        .arg(tableName)) ||
        !check.next())
        database.raise(QStringLiteral("Cannot check the converted values of %1").arg(tableName),
                       check.lastError());
    if (check.value(0).toLongLong() > 0)
        throw ConversionError(QStringLiteral("%1 holds a value too large to convert to the other unit; "
                                             "nothing was converted")
                                  .arg(tableName));
}

// Values and unit letters change together or not at all: a table whose
// values were converted but whose letters were not would be converted a
// second time by the next change.
void convertRows(SqlStatement &query, const UnitProfile &profile, const QString &tableName, bool fromCelsius)
{
    query.database().inBulk([&] {
        execute(query, profile.valueStatement(fromCelsius));
        refuseInfiniteValues(query.database(), tableName);
        execute(query, profile.unitStatement(fromCelsius ? QStringLiteral("F") : QStringLiteral("C")));
        query.close();
    });
}

} // namespace

void UnitConversionResult::takeExtremes(double &maxReading, double &minReading) const
{
    if (!hasReadings())
        return;
    maxReading = this->maxReading;
    minReading = this->minReading;
}

UnitConversionResult convertTableUnit(MeasureTable &table, SqlStatement &query, const UnitProfile &profile,
                                      bool windowCelsius, bool unitCelsius, ConversionSink &sink)
{
    UnitConversionResult result;
    result.windowCelsius = unitCelsius;
    result.axisMin = TemperatureAxis::defaultMin(unitCelsius);
    result.axisMax = TemperatureAxis::defaultMax(unitCelsius);
    result.axisTitle = profile.axisTitle(unitCelsius);
    if (table.isEmpty()) {
        table.refresh();
        return result;
    }

    if (windowCelsius != unitCelsius)
        convertRows(query, profile, table.tableName(), windowCelsius);
    // On the last row before the refresh, so a bound grid shows that row.
    table.last();
    table.refresh();
    sink.clearSeries();

    // One pass over the row cache that the refresh has just filled.
    const QVector<MeasureRecord> &rows = table.rows();
    double sum = 0.0;
    for (int row = 0; row < rows.size(); ++row) {
        const double x = rows.at(row).meavalue;
        sink.addPoint(row, x);
        sum += x;
        if (row == 0 || x < result.minReading)
            result.minReading = x;
        if (row == 0 || x > result.maxReading)
            result.maxReading = x;
        if (x > result.axisMax)
            result.axisMax = x;
    }
    result.rows = static_cast<int>(rows.size());
    result.average = result.rows > 0 ? sum / result.rows : 0.0;
    return result;
}

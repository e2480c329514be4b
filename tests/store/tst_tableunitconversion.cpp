// Unit change of a data window's table on a real database: values and unit
// letters converted in place, statistics and axis from one scan, file
// colours kept, nothing half-converted on failure.
#include "enginefailure.h"
#include "storetestsupport.h"

#include "common/kelvoraerror.h"
#include "store/gridcolouring.h"
#include "store/kelvoradatabase.h"
#include "store/measuretable.h"
#include "store/sqlstatement.h"
#include "store/tableunitconversion.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(const UnitProfile *)

namespace {

// The chart as the conversion fills it; "clear" is logged among the points.
class RecordingChart : public ConversionSink {
public:
    void clearSeries() override { log << QStringLiteral("clear"); }
    void addPoint(int row, double value) override
    {
        log << QStringLiteral("%1:%2").arg(row).arg(value, 0, 'g', 15);
    }
    QStringList log;
};

} // namespace

class TestTableUnitConversion : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void roundTripRestoresValues_data();
    void roundTripRestoresValues();
    void statisticsAndAxisFromConvertedRows_data();
    void statisticsAndAxisFromConvertedRows();
    void noStatementWithoutWork_data();
    void noStatementWithoutWork();
    void filesKeepTheirRowsAndColours();
    void failedUnitStatementConvertsNothing_data();
    void failedUnitStatementConvertsNothing();
    void valueTooLargeConvertsNothing_data();
    void valueTooLargeConvertsNothing();

private:
    MeasureTable &openTable(const QString &name);
    void fill(MeasureTable &table, const QList<double> &values, const QString &unit);

    QTemporaryDir m_dir;
    std::unique_ptr<KelvoraDatabase> m_db;
    std::unique_ptr<SqlStatement> m_query;
    std::unique_ptr<MeasureTable> m_table;
};

void TestTableUnitConversion::init()
{
    QVERIFY(m_dir.isValid());
    const QString file = QDir(m_dir.path()).filePath(QStringLiteral("conversion.mdb"));
    QFile::remove(file);
    m_db = std::make_unique<KelvoraDatabase>();
    m_db->open(file);
    m_query = std::make_unique<SqlStatement>(*m_db);
}

void TestTableUnitConversion::cleanup()
{
    m_table.reset();
    m_query.reset();
    m_db.reset();
}

MeasureTable &TestTableUnitConversion::openTable(const QString &name)
{
    m_table = std::make_unique<MeasureTable>(*m_db, name);
    m_table->open();
    return *m_table;
}

void TestTableUnitConversion::fill(MeasureTable &table, const QList<double> &values, const QString &unit)
{
    for (int i = 0; i < values.size(); ++i)
        table.append(measureRecord(i + 1, values[i], unit));
}

void TestTableUnitConversion::roundTripRestoresValues_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<const UnitProfile *>("profile");
    QTest::addColumn<double>("celsius");
    QTest::addColumn<double>("fahrenheit");
    QTest::addColumn<QString>("titleC");
    QTest::addColumn<QString>("titleF");

    QTest::newRow("MeaData 36.6") << "MeaData" << &MeasureUnits << 36.6 << 97.9
                                  << "Temperature     (Unit:  C)"
                                  << "Temperature     (Unit:  F)";
    QTest::newRow("GetRecorde -10.5")
        << "GetRecorde" << &ImportUnits << -10.5 << 13.1 << "Temperature         (Unit: C)"
        << "Temperature         (Unit:  F)";
    QTest::newRow("LoadData 25.3") << "LoadData" << &DataViewUnits << 25.3 << 77.5
                                   << "Temperature       (Unit:  C)"
                                   << "Temperature        (Unit:  F)";
}

void TestTableUnitConversion::roundTripRestoresValues()
{
    QFETCH(QString, table);
    QFETCH(const UnitProfile *, profile);
    QFETCH(double, celsius);
    QFETCH(double, fahrenheit);
    QFETCH(QString, titleC);
    QFETCH(QString, titleF);

    MeasureTable &t = openTable(table);
    fill(t, {celsius}, QStringLiteral("C"));
    RecordingChart chart;

    UnitConversionResult toF = convertTableUnit(t, *m_query, *profile, true, false, chart);
    QCOMPARE(meaValues(t), QList<double>{fahrenheit});
    QCOMPARE(t.rows().first().unit, QStringLiteral("F"));
    QCOMPARE(m_query->text(), QStringLiteral("update %1 set Unit='F'")
                                  .arg(table == QLatin1String("GetRecorde") ? table : table.toLower()));
    QCOMPARE(toF.windowCelsius, false);
    QCOMPARE(toF.axisTitle, titleF);

    UnitConversionResult toC = convertTableUnit(t, *m_query, *profile, false, true, chart);
    QCOMPARE(meaValues(t), QList<double>{celsius});
    QCOMPARE(t.rows().first().unit, QStringLiteral("C"));
    QCOMPARE(toC.windowCelsius, true);
    QCOMPARE(toC.axisTitle, titleC);
}

void TestTableUnitConversion::statisticsAndAxisFromConvertedRows_data()
{
    QTest::addColumn<QList<double>>("stored");
    QTest::addColumn<bool>("windowCelsius");
    QTest::addColumn<QList<double>>("converted");
    QTest::addColumn<double>("maxReading");
    QTest::addColumn<double>("minReading");
    QTest::addColumn<double>("average");
    QTest::addColumn<double>("axisMin");
    QTest::addColumn<double>("axisMax");

    QTest::newRow("one row: max == min")
        << QList<double>{36.6} << true << QList<double>{97.9} << 97.9 << 97.9 << 97.9 << 392.0 << 932.0;
    QTest::newRow("600 C raises the axis, in F too")
        << QList<double>{20.0, 600.0, 30.0} << true << QList<double>{68.0, 1112.0, 86.0} << 1112.0 << 68.0
        << 422.0 << 392.0 << 1112.0;
    QTest::newRow("back to C: 600") << QList<double>{68.0, 1112.0} << false << QList<double>{20.0, 600.0}
                                    << 600.0 << 20.0 << 310.0 << 200.0 << 600.0;
    QTest::newRow("below the default range")
        << QList<double>{212.0, 32.0, 50.0} << false << QList<double>{100.0, 0.0, 10.0} << 100.0 << 0.0
        << 110.0 / 3 << 200.0 << 500.0;
}

void TestTableUnitConversion::statisticsAndAxisFromConvertedRows()
{
    QFETCH(QList<double>, stored);
    QFETCH(bool, windowCelsius);
    QFETCH(QList<double>, converted);

    MeasureTable &t = openTable(QStringLiteral("MeaData"));
    fill(t, stored, windowCelsius ? QStringLiteral("C") : QStringLiteral("F"));
    RecordingChart chart;
    const UnitConversionResult result =
        convertTableUnit(t, *m_query, MeasureUnits, windowCelsius, !windowCelsius, chart);

    QCOMPARE(meaValues(t), converted);
    QStringList expectedChart{QStringLiteral("clear")};
    for (int i = 0; i < converted.size(); ++i)
        expectedChart << QStringLiteral("%1:%2").arg(i).arg(converted[i], 0, 'g', 15);
    QCOMPARE(chart.log, expectedChart);

    QCOMPARE(result.rows, converted.size());
    QTEST(result.maxReading, "maxReading");
    QTEST(result.minReading, "minReading");
    QTEST(result.average, "average");
    QTEST(result.axisMin, "axisMin");
    QTEST(result.axisMax, "axisMax");
    double max = -1.0, min = -1.0;
    result.takeExtremes(max, min);
    QTEST(max, "maxReading");
    QTEST(min, "minReading");
    // The scan leaves the table on its last row.
    QCOMPARE(t.cursor(), converted.size() - 1);
}

void TestTableUnitConversion::noStatementWithoutWork_data()
{
    QTest::addColumn<QList<double>>("stored");
    QTest::addColumn<bool>("windowCelsius");
    QTest::addColumn<bool>("unitCelsius");
    QTest::addColumn<double>("axisMin");
    QTest::addColumn<double>("axisMax");

    QTest::newRow("empty, to F") << QList<double>{} << true << false << 392.0 << 932.0;
    QTest::newRow("empty, to C") << QList<double>{} << false << true << 200.0 << 500.0;
    // A repeated change message must not convert the table a second time.
    QTest::newRow("units already agree") << QList<double>{36.6, 520.0} << true << true << 200.0 << 520.0;
}

void TestTableUnitConversion::noStatementWithoutWork()
{
    QFETCH(QList<double>, stored);
    QFETCH(bool, windowCelsius);
    QFETCH(bool, unitCelsius);

    MeasureTable &t = openTable(QStringLiteral("GetRecorde"));
    fill(t, stored, QStringLiteral("C"));
    RecordingChart chart;
    const UnitConversionResult result =
        convertTableUnit(t, *m_query, ImportUnits, windowCelsius, unitCelsius, chart);

    QVERIFY(m_query->text().isEmpty());
    QCOMPARE(meaValues(t), stored);
    QCOMPARE(result.windowCelsius, unitCelsius);
    QTEST(result.axisMin, "axisMin");
    QTEST(result.axisMax, "axisMax");
    QCOMPARE(result.rows, stored.size());
    QCOMPARE(chart.log.isEmpty(), stored.isEmpty());

    // Without rows the window keeps its extremes and shows an average of 0.
    double max = 41.0, min = 12.0;
    result.takeExtremes(max, min);
    if (stored.isEmpty()) {
        QCOMPARE(max, 41.0);
        QCOMPARE(min, 12.0);
        QCOMPARE(result.average, 0.0);
    } else {
        QCOMPARE(max, 520.0);
        QCOMPARE(min, 36.6);
    }
}

void TestTableUnitConversion::filesKeepTheirRowsAndColours()
{
    // Three files of 3, 4 and 2 rows, numbered on across files.
    const FileBounds bounds{4, 8, 10, 0, 0, 0, 0, 0, 0, 0};
    MeasureTable &t = openTable(QStringLiteral("LoadData"));
    fill(t, {20.1, 20.2, 20.3, 30.1, 30.2, 30.3, 30.4, 40.1, 40.2}, QStringLiteral("C"));
    auto colours = [&] {
        QList<CellColour> out;
        for (const MeasureRecord &r : t.rows())
            out << filesColour(r.recno, bounds, false, t.isEmpty());
        return out;
    };
    auto recnos = [&] {
        QList<qint64> out;
        for (const MeasureRecord &r : t.rows())
            out << r.recno;
        return out;
    };
    const QList<CellColour> before = colours();
    QCOMPARE(before, (QList<CellColour>{CellColour::Blue, CellColour::Blue, CellColour::Blue,
                                        CellColour::Green, CellColour::Green, CellColour::Green,
                                        CellColour::Green, CellColour::Navy, CellColour::Navy}));
    const QList<qint64> order = recnos();

    RecordingChart chart;
    convertTableUnit(t, *m_query, DataViewUnits, true, false, chart);
    QCOMPARE(recnos(), order);
    QCOMPARE(colours(), before);
    QCOMPARE(meaValues(t), (QList<double>{68.2, 68.4, 68.5, 86.2, 86.4, 86.5, 86.7, 104.2, 104.4}));
    // Points arrive by row position, from which the window picks the series.
    QCOMPARE(chart.log.mid(1, 3), (QStringList{"0:68.2", "1:68.4", "2:68.5"}));
    QCOMPARE(chart.log.last(), QStringLiteral("8:104.4"));
}

void TestTableUnitConversion::failedUnitStatementConvertsNothing_data()
{
    EngineFailure::addRows({EngineFailure::AbortingTrigger, EngineFailure::RollingBackTrigger,
                            EngineFailure::CommitRefused, EngineFailure::CommitCannotWrite});
}

// The unit statement fails after the value statement has run (or the commit
// fails after both): the engine's own reason is reported, and table and
// chart stay as they were.
void TestTableUnitConversion::failedUnitStatementConvertsNothing()
{
    QFETCH(EngineFailure::Kind, failure);
    MeasureTable &t = openTable(QStringLiteral("MeaData"));
    fill(t, {36.6, 40.0}, QStringLiteral("C"));

    RecordingChart chart;
    QString error;
    {
        EngineFailure engine(failure, *m_db, QStringLiteral("UPDATE OF unit ON MeaData"),
                             QStringLiteral("1"));
        QVERIFY(engine.armed());
        error = databaseErrorText([&] { convertTableUnit(t, *m_query, MeasureUnits, true, false, chart); });
        QVERIFY2(error.contains(engine.reason()), qPrintable(error));
    }
    QCOMPARE(meaValues(t), (QList<double>{36.6, 40.0}));
    QCOMPARE(t.rows().first().unit, QStringLiteral("C"));
    OtherConnection other(m_db->filePath());
    QVERIFY(other.exec(QStringLiteral("DROP TRIGGER IF EXISTS refuse")));
    QVERIFY(other.exec(QStringLiteral("DROP TRIGGER IF EXISTS orphan")));
    QCOMPARE(other.rowCount(QStringLiteral("MeaData WHERE unit = 'C' AND meavalue IN (36.6, 40.0)")), 2);
    QVERIFY(chart.log.isEmpty());
    QCOMPARE(m_db->bulkDepth(), 0);

    // Once the obstacle is gone, the same change converts the table once.
    convertTableUnit(t, *m_query, MeasureUnits, true, false, chart);
    QCOMPARE(meaValues(t), (QList<double>{97.9, 104.0}));
}

void TestTableUnitConversion::valueTooLargeConvertsNothing_data()
{
    QTest::addColumn<QString>("unit");
    QTest::addColumn<double>("value");

    // Finite as stored (by another client of the database, say), infinite
    // once converted and rounded.
    QTest::newRow("Celsius to Fahrenheit") << "C" << 1e308;
    QTest::newRow("Fahrenheit to Celsius") << "F" << -1.7e308;
}

void TestTableUnitConversion::valueTooLargeConvertsNothing()
{
    QFETCH(QString, unit);
    QFETCH(double, value);
    const bool celsius = unit == QLatin1String("C");
    MeasureTable &t = openTable(QStringLiteral("LoadData"));
    fill(t, {25.3, value}, unit);

    RecordingChart chart;
    QString error;
    try {
        convertTableUnit(t, *m_query, DataViewUnits, celsius, !celsius, chart);
    } catch (const ConversionError &e) {
        error = e.text();
    }
    QCOMPARE(error, QStringLiteral("LoadData holds a value too large to convert to the other unit; "
                                   "nothing was converted"));
    QCOMPARE(meaValues(t), (QList<double>{25.3, value}));
    QCOMPARE(t.rows().last().unit, unit);
    OtherConnection other(m_db->filePath());
    QCOMPARE(other.rowCount(QStringLiteral("LoadData WHERE unit = '%1' AND meavalue = 25.3").arg(unit)), 1);
    QVERIFY(chart.log.isEmpty());
    QCOMPARE(m_db->bulkDepth(), 0);
}

QTEST_GUILESS_MAIN(TestTableUnitConversion)
#include "tst_tableunitconversion.moc"

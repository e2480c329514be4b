// What the data view window keeps of its loaded files: the bounds each file
// leaves, the extremes over all rows, which series a table row belongs to
// after a unit change, and the axis maximum.
#include "analysis/logic/loadedfiles.h"

#include <QtTest>

Q_DECLARE_METATYPE(FileBounds)

class TestLoadedFiles : public QObject {
    Q_OBJECT
private slots:
    void boundsAndExtremesRunOnAcrossFiles();
    void seriesOfRow_data();
    void seriesOfRow();
    void splitKeepsScanOrderPerSeries();
    void axisMaximumNeverBelowTheDefault_data();
    void axisMaximumNeverBelowTheDefault();
};

void TestLoadedFiles::boundsAndExtremesRunOnAcrossFiles()
{
    LoadedFiles files;
    files.addFile(1, {}); // an empty body: bound 1, extremes untouched
    QCOMPARE(files.bounds()[0], 1);
    files.addFile(1, {300.0, 250.0, 320.0});
    files.addFile(4, {240.0, 400.0});
    QCOMPARE(files.appendedFiles(), 3);
    QCOMPARE(files.bounds(), (FileBounds{1, 4, 6, 0, 0, 0, 0, 0, 0, 0}));
    QCOMPARE(files.minReading(), 240.0);
    QCOMPARE(files.maxReading(), 400.0);

    // The row numbered 1 sets both extremes, whatever they held before.
    LoadedFiles fresh;
    fresh.setExtremes(900.0, -50.0);
    fresh.addFile(1, {300.0});
    QCOMPARE(fresh.minReading(), 300.0);
    QCOMPARE(fresh.maxReading(), 300.0);

    // Bounds stop at ten files.
    for (int i = 0; i < 12; ++i)
        files.addFile(6 + i, {1.0});
    QCOMPARE(files.appendedFiles(), LoadedFiles::MaxFiles);
    QCOMPARE(files.bounds()[9], 13);
}

void TestLoadedFiles::seriesOfRow_data()
{
    QTest::addColumn<FileBounds>("bounds");
    QTest::addColumn<qint64>("position");
    QTest::addColumn<int>("series");
    const FileBounds two{6, 9, 0, 0, 0, 0, 0, 0, 0, 0};
    QTest::newRow("first row of file 1") << two << qint64(0) << 0;
    QTest::newRow("last row of file 1") << two << qint64(4) << 0;
    QTest::newRow("first row of file 2") << two << qint64(5) << 1;
    QTest::newRow("last row of file 2") << two << qint64(7) << 1;
    QTest::newRow("beyond the files") << two << qint64(8) << -1;
    QTest::newRow("nothing loaded") << FileBounds{} << qint64(0) << -1;
    const FileBounds emptyFirst{1, 3, 0, 0, 0, 0, 0, 0, 0, 0};
    QTest::newRow("empty first file: rows go to file 2") << emptyFirst << qint64(0) << 1;
    const FileBounds ten{2, 3, 4, 5, 6, 7, 8, 9, 10, 12};
    QTest::newRow("ten files: file 9") << ten << qint64(8) << 8;
    QTest::newRow("ten files: file 10") << ten << qint64(9) << 9;
    QTest::newRow("ten files: end of file 10") << ten << qint64(10) << 9;
    const FileBounds nine{2, 3, 4, 5, 6, 7, 8, 9, 10, 0};
    QTest::newRow("nine files: last row of file 9") << nine << qint64(8) << 8;
}

void TestLoadedFiles::seriesOfRow()
{
    QFETCH(FileBounds, bounds);
    QFETCH(qint64, position);
    QFETCH(int, series);
    QCOMPARE(LoadedFiles::seriesOfRow(position, bounds), series);
}

void TestLoadedFiles::splitKeepsScanOrderPerSeries()
{
    LoadedFiles files;
    files.addFile(1, {1.0, 2.0});
    files.addFile(3, {});
    files.addFile(3, {3.0, 4.0, 5.0});
    const LoadedFiles::SeriesValues series = files.splitIntoSeries({10.0, 20.0, 30.0, 40.0, 50.0});
    QCOMPARE(series[0], (QVector<double>{10.0, 20.0}));
    QVERIFY(series[1].isEmpty());
    QCOMPARE(series[2], (QVector<double>{30.0, 40.0, 50.0}));
    for (std::size_t k = 3; k < series.size(); ++k)
        QVERIFY(series[k].isEmpty());
}

void TestLoadedFiles::axisMaximumNeverBelowTheDefault_data()
{
    QTest::addColumn<double>("maxReading");
    QTest::addColumn<bool>("celsius");
    QTest::addColumn<double>("axisMax");
    QTest::newRow("below 500 C") << 420.0 << true << 500.0;
    QTest::newRow("above 500 C") << 612.5 << true << 612.5;
    QTest::newRow("below 932 F") << 500.0 << false << 932.0;
    QTest::newRow("above 932 F") << 1112.0 << false << 1112.0;
}

void TestLoadedFiles::axisMaximumNeverBelowTheDefault()
{
    QFETCH(double, maxReading);
    QFETCH(bool, celsius);
    QFETCH(double, axisMax);
    QCOMPARE(LoadedFiles::axisMaximum(maxReading, celsius), axisMax);
}

QTEST_APPLESS_MAIN(TestLoadedFiles)
#include "tst_loadedfiles.moc"

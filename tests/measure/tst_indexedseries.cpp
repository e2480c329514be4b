// The extremes index of a chart series: every range finds what a scan of its
// values finds (ties to the lowest index), while the series grows one value
// at a time and after it is given all values at once.
#include "measure/logic/indexedseries.h"
#include "measure/logic/seriesdecimation.h"

#include <QtTest>

namespace {

// A plain scan: the first smallest and the first largest value.
IndexedSeries::Extremes scanned(const QVector<double> &ys, qsizetype first, qsizetype last)
{
    IndexedSeries::Extremes e{first, first};
    for (qsizetype i = first + 1; i <= last; ++i) {
        if (ys[i] < ys[e.lowest])
            e.lowest = i;
        if (ys[i] > ys[e.highest])
            e.highest = i;
    }
    return e;
}

// Readings of one decimal on a few levels, so that equal values abound.
QVector<double> plateaus(int n)
{
    QVector<double> ys(n);
    for (int i = 0; i < n; ++i)
        ys[i] = ((qint64(i) * 7919) % 23) / 10.0 + (i / 97) % 3;
    return ys;
}

void compareWithScan(const IndexedSeries &series, const QVector<double> &ys, qsizetype first, qsizetype last)
{
    const IndexedSeries::Extremes found = series.extremes(first, last);
    const IndexedSeries::Extremes expected = scanned(ys, first, last);
    QVERIFY2(found.lowest == expected.lowest && found.highest == expected.highest,
             qPrintable(QStringLiteral("range %1-%2 of %3: found %4/%5, scan %6/%7")
                            .arg(first)
                            .arg(last)
                            .arg(ys.size())
                            .arg(found.lowest)
                            .arg(found.highest)
                            .arg(expected.lowest)
                            .arg(expected.highest)));
}

} // namespace

class TestIndexedSeries : public QObject {
    Q_OBJECT
private slots:
    void findsWhatAScanFinds_data();
    void findsWhatAScanFinds();
    void growingSeriesStaysRight();
    void decimatesAsThePlainSeries_data();
    void decimatesAsThePlainSeries();
};

void TestIndexedSeries::findsWhatAScanFinds_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("grown"); // one append at a time, else assigned

    for (int size : {1, 15, 16, 17, 33, 1000, 4099}) {
        QTest::addRow("%d values, appended", size) << size << true;
        QTest::addRow("%d values, assigned", size) << size << false;
    }
}

void TestIndexedSeries::findsWhatAScanFinds()
{
    QFETCH(int, size);
    QFETCH(bool, grown);

    const QVector<double> ys = plateaus(size);
    IndexedSeries series;
    if (grown) {
        for (double y : ys)
            series.append(y);
    } else {
        series.assign(ys);
    }
    QCOMPARE(series.values(), ys);
    // Ranges of every length from every start near block edges, and some
    // spread over the whole series.
    const QVector<qsizetype> starts = {
        0, 1, 15, 16, 17, 31, 32, 47, qsizetype(size / 2), qsizetype(size - 1)};
    for (qsizetype first : starts) {
        if (first < 0 || first >= size)
            continue;
        for (qsizetype last = first; last < size; last += 1 + (last - first) / 8)
            compareWithScan(series, ys, first, last);
        compareWithScan(series, ys, first, size - 1);
    }
}

void TestIndexedSeries::growingSeriesStaysRight()
{
    // After each append the whole series and its last block are found
    // right, also when the new value is a new extreme or ties with one.
    const QVector<double> ys = {5,  5,  9, 1, 9, 1, 0, 10, 10, 0, 3, 3, 3, 3, 3,  3,  3,  3,  11, -1,
                                11, -1, 4, 4, 4, 4, 4, 4,  4,  4, 4, 4, 4, 4, 12, 12, -2, -2, 6};
    IndexedSeries series;
    QVector<double> sofar;
    for (double y : ys) {
        series.append(y);
        sofar.append(y);
        const qsizetype last = sofar.size() - 1;
        compareWithScan(series, sofar, 0, last);
        compareWithScan(series, sofar, std::max<qsizetype>(0, last - 20), last);
    }
    // Cleared, it starts afresh.
    series.clear();
    QVERIFY(series.isEmpty());
    series.append(7.0);
    QCOMPARE(series.extremes(0, 0).lowest, 0);
    QCOMPARE(series.extremes(0, 0).highest, 0);
}

void TestIndexedSeries::decimatesAsThePlainSeries_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<int>("buckets");

    QTest::newRow("a week, whole") << 604800 << 0.0 << 604799.0 << 1000;
    QTest::newRow("a week, middle part") << 604800 << 100000.5 << 400000.25 << 733;
    QTest::newRow("a day, one column") << 86400 << 0.0 << 86399.0 << 1;
    QTest::newRow("zoomed in, every point") << 86400 << 5000.0 << 5100.0 << 800;
}

void TestIndexedSeries::decimatesAsThePlainSeries()
{
    QFETCH(int, size);
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(int, buckets);

    const QVector<double> ys = plateaus(size);
    IndexedSeries series;
    for (double y : ys)
        series.append(y);
    QCOMPARE(decimateMinMax(series, 0, size - 1, from, to, buckets), decimateMinMax(ys, from, to, buckets));
    // One segment of the line alone.
    QCOMPARE(decimateMinMax(series, size / 3, size / 2, from, to, buckets),
             decimateMinMax(ys, size / 3, size / 2, from, to, buckets));
}

QTEST_APPLESS_MAIN(TestIndexedSeries)
#include "tst_indexedseries.moc"

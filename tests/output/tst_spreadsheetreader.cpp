// An exported sheet as the office suite reads it: LibreOffice Calc converts
// it to CSV headless, and every cell is compared with the table.
#include "officeconversion.h"
#include "output/logic/worksheetwriter.h"
#include "storetestsupport.h"
#include "store/kelvoradatabase.h"
#include "store/measuretable.h"

#include <QTemporaryDir>
#include <QtTest>

class TestSpreadsheetReader : public QObject {
    Q_OBJECT
private slots:
    void calcReadsEveryCell();
};

void TestSpreadsheetReader::calcReadsEveryCell()
{
    QTemporaryDir dir;
    KelvoraDatabase db;
    db.open(dir.filePath(QStringLiteral("store.mdb")));
    MeasureTable table(db, QStringLiteral("GetRecorde"));
    table.open();
    QVector<MeasureRecord> rows;
    for (int i = 1; i <= 300; ++i) {
        MeasureRecord r = measureRecord(i, (i % 2 ? -1 : 1) * (i * 7.3 - 0.1 * (i % 10)));
        r.ems = (10 + i % 91) / 100.0;
        r.unit = i % 3 ? QStringLiteral("C") : QStringLiteral("F");
        rows.append(r);
    }
    rows[4].unit = QStringLiteral("€Ü");
    db.inBulk([&] { table.appendAll(rows); });

    QVector<GridColumn> columns;
    for (const char *name : {"RecNo", "MeaValue", "Unit", "Ems", "Time", "Date"})
        columns.append({QLatin1String(name), QLatin1String(name), true});
    ApplyGridLayout(table.fields(), columns);
    const QString sheet = dir.filePath(QStringLiteral("sheet.xls"));
    WriteWorkbookFile(sheet, table, columns, QString());

    const OfficeConversion csv = convertWithOffice(sheet, officeCsvFormat(), dir.path());
    QVERIFY2(!csv.output.isEmpty(), qPrintable(csv.log));
    QFile file(csv.output);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);

    QStringList expected{QStringLiteral(",,,,,"), QStringLiteral("RecNo,MeaValue,Unit,Ems,Time,Date")};
    for (const MeasureRecord &r : rows)
        expected << QStringList{QString::number(r.recno),
                                QString::number(r.meavalue, 'g', 15),
                                r.unit,
                                QString::number(r.ems, 'g', 15),
                                r.time,
                                r.date}
                        .join(QLatin1Char(','));
    QCOMPARE(lines.size(), expected.size());
    for (int i = 0; i < lines.size(); ++i)
        QCOMPARE(lines.at(i).trimmed(), expected.at(i));
}

QTEST_GUILESS_MAIN(TestSpreadsheetReader)
#include "tst_spreadsheetreader.moc"

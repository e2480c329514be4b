// An exported sheet as the office suite reads it: LibreOffice Calc converts
// it headless, and every cell is compared with the table.
#include "officeconversion.h"
#include "output/logic/worksheetwriter.h"
#include "output/logic/xlsxsheetwriter.h"
#include "storetestsupport.h"
#include "store/kelvoradatabase.h"
#include "store/measuretable.h"
#include "zipmember.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QVector<GridColumn> columnsNamed(std::initializer_list<const char *> names)
{
    QVector<GridColumn> columns;
    for (const char *name : names)
        columns.append({QLatin1String(name), QLatin1String(name), true});
    return columns;
}

QStringList lines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList captures(const QString &text, const QString &pattern)
{
    QStringList out;
    for (const QRegularExpressionMatch &m : QRegularExpression(pattern).globalMatch(text))
        out << m.captured(1);
    return out;
}

} // namespace

class TestSpreadsheetReader : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void calcReadsEveryCell();
    void calcReadsTheWorkbook();

private:
    QTemporaryDir m_dir;
    KelvoraDatabase m_db;
    QVector<MeasureRecord> m_rows;
};

void TestSpreadsheetReader::initTestCase()
{
    m_db.open(m_dir.filePath(QStringLiteral("store.mdb")));
    for (int i = 1; i <= 300; ++i) {
        MeasureRecord r = measureRecord(i, (i % 2 ? -1 : 1) * (i * 7.3 - 0.1 * (i % 10)));
        r.ems = (10 + i % 91) / 100.0;
        r.unit = i % 3 ? QStringLiteral("C") : QStringLiteral("F");
        r.date = QDate(2023, 12, 30).addDays(i / 100).toString(QStringLiteral("yyyy-MM-dd"));
        r.time = QTime(i % 24, i % 60, (i * 7) % 60).toString(QStringLiteral("HH:mm:ss"));
        m_rows.append(r);
    }
    m_rows[4].unit = QStringLiteral("€Ü");
}

void TestSpreadsheetReader::calcReadsEveryCell()
{
    MeasureTable table(m_db, QStringLiteral("GetRecorde"));
    table.open();
    m_db.inBulk([&] { table.appendAll(m_rows); });

    const QVector<GridColumn> columns = columnsNamed({"RecNo", "MeaValue", "Unit", "Ems", "Time", "Date"});
    ApplyGridLayout(table.fields(), columns);
    const QString sheet = m_dir.filePath(QStringLiteral("sheet.xls"));
    WriteWorkbookFile(sheet, table, columns, QString());

    const OfficeConversion csv = convertWithOffice(sheet, officeCsvFormat(), m_dir.path());
    QVERIFY2(!csv.output.isEmpty(), qPrintable(csv.log));
    const QStringList read = lines(csv.output);

    QStringList expected{QStringLiteral(",,,,,"), QStringLiteral("RecNo,MeaValue,Unit,Ems,Time,Date")};
    for (const MeasureRecord &r : m_rows)
        expected << QStringList{QString::number(r.recno),
                                QString::number(r.meavalue, 'g', 15),
                                r.unit,
                                QString::number(r.ems, 'g', 15),
                                r.time,
                                r.date}
                        .join(QLatin1Char(','));
    QCOMPARE(read.size(), expected.size());
    for (int i = 0; i < read.size(); ++i)
        QCOMPARE(read.at(i).trimmed(), expected.at(i));
}

// The workbook in the grid's order with one column hidden: Calc shows the
// same text in every cell, holds numbers as numbers and dates and times as
// date and time values (text that is no date or time stays text) and the
// hidden column hidden; the title row is frozen.
void TestSpreadsheetReader::calcReadsTheWorkbook()
{
    QVector<MeasureRecord> rows = m_rows;
    rows[7].date = QStringLiteral("2024-02-30");
    rows[8].time = QStringLiteral("24:00:00");
    MeasureTable table(m_db, QStringLiteral("LoadData"));
    table.open();
    m_db.inBulk([&] { table.appendAll(rows); });

    QVector<GridColumn> columns = columnsNamed({"Date", "RecNo", "MeaValue", "Unit", "Ems", "Time"});
    columns[4].visible = false;
    ApplyGridLayout(table.fields(), columns);
    const QString book = m_dir.filePath(QStringLiteral("book.xlsx"));
    const WorkbookResult written = XlsxSheet::writeFile(book, table, columns);
    QCOMPARE(written.rowsWritten, rows.size());

    const OfficeConversion csv = convertWithOffice(book, officeCsvFormat(), m_dir.path());
    QVERIFY2(!csv.output.isEmpty(), qPrintable(csv.log));
    const QStringList read = lines(csv.output);
    QStringList expected{QStringLiteral("Date,RecNo,MeaValue,Unit,,Time")};
    QStringList dates;
    QStringList times;
    for (const MeasureRecord &r : rows) {
        expected << QStringList{r.date,
                                QString::number(r.recno),
                                QString::number(r.meavalue, 'g', 15),
                                r.unit,
                                QString(),
                                r.time}
                        .join(QLatin1Char(','));
        if (r.date != QLatin1String("2024-02-30"))
            dates << r.date;
        if (r.time != QLatin1String("24:00:00"))
            times << QStringLiteral("PT%1H%2M%3S").arg(r.time.left(2), r.time.mid(3, 2), r.time.right(2));
    }
    QCOMPARE(read.size(), expected.size());
    for (int i = 0; i < read.size(); ++i)
        QCOMPARE(read.at(i).trimmed(), expected.at(i));

    const OfficeConversion flat = convertWithOffice(book, QStringLiteral("fods"), m_dir.path());
    QVERIFY2(!flat.output.isEmpty(), qPrintable(flat.log));
    QFile file(flat.output);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString xml = QString::fromUtf8(file.readAll());
    QCOMPARE(captures(xml, QStringLiteral("office:date-value=\"([^\"]*)\"")), dates);
    QCOMPARE(captures(xml, QStringLiteral("office:time-value=\"([^\"]*)\"")), times);
    QCOMPARE(captures(xml, QStringLiteral("office:value-type=\"(float)\"")).size(), 2 * rows.size());
    QVERIFY(xml.contains(QStringLiteral("<text:p>2024-02-30</text:p>")));
    QCOMPARE(captures(xml, QStringLiteral("<table:table-column [^>]*table:visibility=\"(collapse)\"")).size(),
             1);
    // Calc headless keeps no view, so the frozen title row is read in the sheet itself.
    QVERIFY(
        zipMember(book, "xl/worksheets/sheet1.xml")
            .contains("<pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" state=\"frozen\"/>"));
}

QTEST_GUILESS_MAIN(TestSpreadsheetReader)
#include "tst_spreadsheetreader.moc"

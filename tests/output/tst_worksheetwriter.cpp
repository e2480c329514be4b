// The spreadsheet writer on bytes: the sheet of a table laid out by its
// grid's columns, the cell of each kind of value, hidden columns, the 16-bit
// row limit, and files that cannot be written.
#include "biff5records.h"
#include "common/kelvoraerror.h"
#include "filesizelimit.h"
#include "output/logic/worksheetwriter.h"
#include "storetestsupport.h"
#include "store/kelvoradatabase.h"
#include "store/measuretable.h"

#include <QBuffer>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace ExpectedBiff5;

namespace {

// The data windows' grid: RecNo, MeaValue, Unit, Ems, Time, Date.
QVector<GridColumn> gridColumns(const QString &hidden = QString())
{
    QVector<GridColumn> columns;
    for (const char *name : {"RecNo", "MeaValue", "Unit", "Ems", "Time", "Date"})
        columns.append({QLatin1String(name), QLatin1String(name), QLatin1String(name) != hidden});
    return columns;
}

QStringList fieldNames(const TableFields &fields)
{
    QStringList names;
    for (int i = 0; i < fields.count(); ++i)
        names << fields.at(i).name;
    return names;
}

} // namespace

class TestWorksheetWriter : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void threeRowsByteForByte();
    void cellOfEachValue_data();
    void cellOfEachValue();
    void hiddenColumnKeepsItsPlace();
    void rowsPastTheLastSheetRowAreLeftOut();
    void failedWriteLeavesNoFile_data();
    void failedWriteLeavesNoFile();

private:
    QByteArray sheetOf(MeasureTable &table, const QVector<GridColumn> &columns,
                       WorkbookResult *result = nullptr);

    QTemporaryDir m_dir;
    std::unique_ptr<KelvoraDatabase> m_db;
    std::unique_ptr<MeasureTable> m_table;
};

void TestWorksheetWriter::init()
{
    QVERIFY(m_dir.isValid());
    QFile::remove(m_dir.filePath(QStringLiteral("store.mdb")));
    m_db = std::make_unique<KelvoraDatabase>();
    m_db->open(m_dir.filePath(QStringLiteral("store.mdb")));
    m_table = std::make_unique<MeasureTable>(*m_db, QStringLiteral("LoadData"));
    m_table->open();
}

void TestWorksheetWriter::cleanup()
{
    m_table.reset();
    m_db.reset();
}

QByteArray TestWorksheetWriter::sheetOf(MeasureTable &table, const QVector<GridColumn> &columns,
                                        WorkbookResult *result)
{
    ApplyGridLayout(table.fields(), columns);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const WorkbookResult r = WriteWorkbook(buffer, table, columns, QString());
    if (result)
        *result = r;
    return buffer.data();
}

// Three rows under the six grid columns: BOF, the empty title at row 0,
// column 3, six titles, three rows of six cells (integers as RK, decimals as
// NUMBER, texts as LABEL), EOF. The fields stay in the grid's order, the
// table back on its row, and the grid is told nothing of the walk.
void TestWorksheetWriter::threeRowsByteForByte()
{
    for (int i = 1; i <= 3; ++i)
        m_table->append(measureRecord(i, 20.0 + i + 0.5));
    m_table->first();
    m_table->next();
    QSignalSpy resets(m_table.get(), &MeasureTable::rowsReset);
    QSignalSpy changes(m_table.get(), &MeasureTable::rowChanged);

    WorkbookResult result;
    const QByteArray sheet = sheetOf(*m_table, gridColumns(), &result);

    QByteArray expected = bof() + label(0, 3, "");
    const QByteArrayList titles{"RecNo", "MeaValue", "Unit", "Ems", "Time", "Date"};
    for (int c = 0; c < titles.size(); ++c)
        expected += label(1, c, titles[c]);
    for (int i = 1; i <= 3; ++i) {
        const int row = i + 1;
        expected += rk(row, 0, i) + number(row, 1, 20.0 + i + 0.5) + label(row, 2, "C") +
                    number(row, 3, 0.95) + label(row, 4, "10:00:0" + QByteArray::number(i)) +
                    label(row, 5, "2024-05-01");
    }
    expected += eof();
    QCOMPARE(sheet.toHex(' '), expected.toHex(' '));

    QCOMPARE(result.rowsWritten, 3);
    QCOMPARE(result.rowCount, 3);
    QCOMPARE(fieldNames(m_table->fields()),
             (QStringList{"recno", "meavalue", "unit", "ems", "time", "date"}));
    QCOMPARE(m_table->cursor(), 1);
    QCOMPARE(resets.count(), 0);
    QCOMPARE(changes.count(), 0);
}

void TestWorksheetWriter::cellOfEachValue_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<QByteArray>("cell");
    const int r = 7, c = 4;
    QTest::newRow("null number") << QVariant(QMetaType::fromType<double>()) << true << blank(r, c);
    QTest::newRow("null text") << QVariant(QMetaType::fromType<QString>()) << true << blank(r, c);
    QTest::newRow("hidden") << QVariant(qint64(5)) << false << blank(r, c);
    QTest::newRow("integer") << QVariant(qint64(25)) << true << rk(r, c, 25);
    QTest::newRow("negative integer") << QVariant(-7) << true << rk(r, c, -7);
    QTest::newRow("largest RK") << QVariant(WorksheetWriter::RkMax) << true << rk(r, c, (1 << 29) - 1);
    QTest::newRow("smallest RK") << QVariant(WorksheetWriter::RkMin) << true << rk(r, c, -(1 << 29));
    QTest::newRow("integer past RK") << QVariant(WorksheetWriter::RkMax + 1) << true
                                     << number(r, c, double(1 << 29));
    QTest::newRow("decimal") << QVariant(25.5) << true << number(r, c, 25.5);
    QTest::newRow("text") << QVariant(QStringLiteral("F")) << true << label(r, c, "F");
    QTest::newRow("empty text") << QVariant(QStringLiteral("")) << true << label(r, c, "");
    QTest::newRow("Windows-1252 letters")
        << QVariant(QStringLiteral("€ 5 – Ü")) << true << label(r, c, "\x80 5 \x96 \xDC");
    QTest::newRow("characters outside the code page")
        << QVariant(QStringLiteral("中文 \U0001F321 \u0081")) << true << label(r, c, "?? ? ?");
    QTest::newRow("long text cut") << QVariant(QString(300, QLatin1Char('x'))) << true
                                   << label(r, c, QByteArray(255, 'x'));
    QTest::newRow("bytes") << QVariant(QByteArray("\x01\x02")) << true << label(r, c, "");
}

void TestWorksheetWriter::cellOfEachValue()
{
    QFETCH(QVariant, value);
    QFETCH(bool, visible);
    QFETCH(QByteArray, cell);

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    WorksheetWriter writer(buffer, 6);
    writer.curRow = 7;
    writer.curCol = 4;
    writer.PutField(value, visible);
    writer.flush();
    QCOMPARE(buffer.data().toHex(' '), cell.toHex(' '));
    // PutField leaves the advance to its caller; NextCell wraps after the last field.
    QCOMPARE(writer.curCol, 4);
    writer.NextCell();
    writer.NextCell();
    QCOMPARE(writer.curRow, 8);
    QCOMPARE(writer.curCol, 0);
}

// A hidden column keeps its place: its field's cells are blank and the
// titles of the visible columns stand above their own fields.
void TestWorksheetWriter::hiddenColumnKeepsItsPlace()
{
    m_table->append(measureRecord(1, 30.0));
    const QList<Biff5Record> records = biff5Records(sheetOf(*m_table, gridColumns(QStringLiteral("Unit"))));
    QCOMPARE(records.size(), 1 + 1 + 5 + 6 + 1);

    QMap<int, QByteArray> titles;
    QMap<int, quint16> cells;
    for (const Biff5Record &r : records) {
        if (r.type == 0x0204 && r.row() == 1)
            titles.insert(r.column(), r.labelText());
        if (r.type != 0x0809 && r.type != 0x000A && r.row() == 2)
            cells.insert(r.column(), r.type);
    }
    QCOMPARE(titles,
             (QMap<int, QByteArray>{{0, "RecNo"}, {1, "MeaValue"}, {3, "Ems"}, {4, "Time"}, {5, "Date"}}));
    QCOMPARE(cells.keys(), (QList<int>{0, 1, 2, 3, 4, 5}));
    QCOMPARE(cells.value(2), quint16(0x0201));
    QVERIFY(!m_table->fields().at(2).visible);
}

// 70,000 rows: rows 2 to 65535 take the first 65,534; no row number wraps
// round onto the title rows or the first rows.
void TestWorksheetWriter::rowsPastTheLastSheetRowAreLeftOut()
{
    QVector<MeasureRecord> rows;
    for (int i = 1; i <= 70000; ++i)
        rows.append(measureRecord(i, 25.0));
    m_db->inBulk([&] { m_table->appendAll(rows); });

    WorkbookResult result;
    const QList<Biff5Record> records = biff5Records(sheetOf(*m_table, gridColumns(), &result));
    QCOMPARE(result.rowsWritten, WorksheetWriter::MaxDataRows);
    QCOMPARE(result.rowsWritten, 65534);
    QCOMPARE(result.rowCount, 70000);

    QCOMPARE(records.size(), 1 + 1 + 6 + 65534 * 6 + 1);
    int recordNumbersInColumn0 = 0;
    for (const Biff5Record &r : records) {
        if (r.type == 0x027E && r.column() == 0) {
            QCOMPARE(r.rkInteger(), r.row() - 1);
            ++recordNumbersInColumn0;
        }
    }
    QCOMPARE(recordNumbersInColumn0, 65534);
    QCOMPARE(records.at(records.size() - 2).row(), 65535);
}

void TestWorksheetWriter::failedWriteLeavesNoFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("rowCount");
    // Bytes the process may write to a file, as on a nearly full disk: 0 for
    // no limit, below 0 that many bytes short of the whole sheet.
    QTest::addColumn<qint64>("sizeLimit");
    QTest::addColumn<QByteArray>("oldContent");
    QTest::newRow("disk full") << "sheet.xls" << 5000 << qint64(16 * 1024) << QByteArray();
    QTest::newRow("disk full, old file kept")
        << "sheet.xls" << 5000 << qint64(16 * 1024) << QByteArray("old sheet");
    // A short sheet is written in one piece when the file is committed.
    QTest::newRow("disk full at the last byte") << "sheet.xls" << 3 << qint64(-1) << QByteArray();
    QTest::newRow("disk full at the last byte, old file kept")
        << "sheet.xls" << 3 << qint64(-1) << QByteArray("old sheet");
    QTest::newRow("missing directory") << "no such dir/sheet.xls" << 5000 << qint64(0) << QByteArray();
}

// A write that fails throws with the file's name and the reason and leaves
// neither a partial file nor a temporary one; an older file stays as it was.
void TestWorksheetWriter::failedWriteLeavesNoFile()
{
    QFETCH(QString, name);
    QFETCH(int, rowCount);
    QFETCH(qint64, sizeLimit);
    QFETCH(QByteArray, oldContent);

    QVector<MeasureRecord> rows;
    for (int i = 1; i <= rowCount; ++i)
        rows.append(measureRecord(i, 25.0));
    m_db->inBulk([&] { m_table->appendAll(rows); });
    if (sizeLimit < 0)
        sizeLimit += sheetOf(*m_table, gridColumns()).size();
    QTemporaryDir out;
    const QString path = QDir(out.path()).filePath(name);
    if (!oldContent.isEmpty()) {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(oldContent);
    }

    QString error;
    {
        std::unique_ptr<FileSizeLimit> limit;
        if (sizeLimit > 0) {
            limit = std::make_unique<FileSizeLimit>(sizeLimit);
            QVERIFY(limit->active());
        }
        try {
            WriteWorkbookFile(path, *m_table, gridColumns(), QString());
        } catch (const KelvoraError &e) {
            error = e.text();
        }
    }
    QVERIFY2(error.startsWith(QStringLiteral("Cannot write file %1: ").arg(QDir::toNativeSeparators(path))),
             qPrintable(error));
    QVERIFY(error.size() > QStringLiteral("Cannot write file %1: ").arg(path).size());
    const QStringList left = QDir(out.path()).entryList(QDir::Files | QDir::Hidden);
    if (oldContent.isEmpty()) {
        QCOMPARE(left, QStringList());
    } else {
        QCOMPARE(left, QStringList{QStringLiteral("sheet.xls")});
        QFile old(path);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), oldContent);
    }
}

QTEST_GUILESS_MAIN(TestWorksheetWriter)
#include "tst_worksheetwriter.moc"

// Edits of a measurement table through its grid model: a typed cell text
// becomes a number or a text of the row, is posted to the database row it
// came from, and is refused with the conversion error when the column
// cannot take it.
#include "scripteddialogs.h"
#include "storetestsupport.h"

#include "store/kelvoradatabase.h"
#include "store/measuretable.h"
#include "store/measuretablemodel.h"

#include <QDir>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestMeasureTableEdit : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void typedTextPostedOrRefused_data();
    void typedTextPostedOrRefused();
    void postFindsItsRowAfterOthersWereDeleted();
    void readOnlyModelTakesNoEdit();
    void rowGoneFromTheDatabaseIsReported();

private:
    QString stored(int rowid);

    QTemporaryDir m_dir;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<KelvoraDatabase> m_db;
    std::unique_ptr<MeasureTable> m_table;
    std::unique_ptr<MeasureTableModel> m_model;
};

void TestMeasureTableEdit::init()
{
    m_dialogs = std::make_unique<ScriptedDialogs>();
    const QString file = QDir(m_dir.path()).filePath(QStringLiteral("edit.mdb"));
    QFile::remove(file);
    m_db = std::make_unique<KelvoraDatabase>();
    m_db->open(file);
    m_table = std::make_unique<MeasureTable>(*m_db, QStringLiteral("LoadData"));
    m_table->open();
    for (int i = 1; i <= 3; ++i)
        m_table->append(measureRecord(i, 300.0 + i));
    m_model = std::make_unique<MeasureTableModel>(*m_table);
    m_model->setEditable(true);
}

void TestMeasureTableEdit::cleanup()
{
    m_model.reset();
    m_table.reset();
    m_db.reset();
    m_dialogs.reset();
}

// The stored row as "recno|date|time|ems|meavalue|unit".
QString TestMeasureTableEdit::stored(int rowid)
{
    QSqlQuery query(m_db->connection());
    if (!query.exec(
            QStringLiteral("SELECT recno, date, time, ems, meavalue, unit FROM LoadData WHERE rowid = %1")
                .arg(rowid)) ||
        !query.next())
        return QStringLiteral("<none>");
    QStringList fields;
    for (int i = 0; i < 6; ++i)
        fields << query.value(i).toString();
    return fields.join(QLatin1Char('|'));
}

void TestMeasureTableEdit::typedTextPostedOrRefused_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("row"); // row 2 in the database afterwards
    QTest::addColumn<QString>("message");
    const QString unchanged = QStringLiteral("2|2024-05-01|10:00:02|0.95|302|C");
    const int value = MeasureTableModel::MeaValue;
    const int ems = MeasureTableModel::Ems;
    const int recno = MeasureTableModel::RecNo;
    QTest::newRow("value") << value << "-12.5"
                           << "2|2024-05-01|10:00:02|0.95|-12.5|C"
                           << "";
    QTest::newRow("value with blanks around it") << value << " 25 "
                                                 << "2|2024-05-01|10:00:02|0.95|25|C"
                                                 << "";
    QTest::newRow("value not a number")
        << value << "abc" << unchanged << "'abc' is not a valid floating point value";
    QTest::newRow("value with a decimal comma")
        << value << "25,3" << unchanged << "'25,3' is not a valid floating point value";
    QTest::newRow("value infinite") << value << "inf" << unchanged
                                    << "'inf' is not a valid floating point value";
    QTest::newRow("value empty") << value << "" << unchanged << "'' is not a valid floating point value";
    // An exponent would put a value such as 1e300 on the chart's axis.
    QTest::newRow("value with an exponent")
        << value << "1e300" << unchanged << "'1e300' is not a valid floating point value";
    QTest::newRow("value of 300 digits")
        << value << QString(300, QLatin1Char('9')) << unchanged
        << QStringLiteral("'%1' is not a valid floating point value").arg(QString(300, QLatin1Char('9')));
    QTest::newRow("emissivity") << ems << "0.9"
                                << "2|2024-05-01|10:00:02|0.9|302|C"
                                << "";
    QTest::newRow("emissivity not a number")
        << ems << "x" << unchanged << "'x' is not a valid floating point value";
    QTest::newRow("emissivity with an exponent")
        << ems << "9.5E-1" << unchanged << "'9.5E-1' is not a valid floating point value";
    QTest::newRow("record number") << recno << "17"
                                   << "17|2024-05-01|10:00:02|0.95|302|C"
                                   << "";
    QTest::newRow("record number with a decimal")
        << recno << "2.0" << unchanged << "'2.0' is not a valid integer value";
    QTest::newRow("record number too large") << recno << "99999999999999999999" << unchanged
                                             << "'99999999999999999999' is not a valid integer value";
    QTest::newRow("date") << int(MeasureTableModel::Date) << "2024-6-1"
                          << "2|2024-6-1|10:00:02|0.95|302|C"
                          << "";
    QTest::newRow("time") << int(MeasureTableModel::Time) << ""
                          << "2|2024-05-01||0.95|302|C"
                          << "";
    QTest::newRow("unit") << int(MeasureTableModel::Unit) << "F"
                          << "2|2024-05-01|10:00:02|0.95|302|F"
                          << "";
}

void TestMeasureTableEdit::typedTextPostedOrRefused()
{
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, row);
    QFETCH(QString, message);
    QSignalSpy changed(m_model.get(), &QAbstractItemModel::dataChanged);
    const QModelIndex cell = m_model->index(1, column);
    QVERIFY(m_model->flags(cell) & Qt::ItemIsEditable);

    QCOMPARE(m_model->setData(cell, typed), message.isEmpty());
    QCOMPARE(stored(2), row);
    QCOMPARE(m_dialogs->texts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(changed.count(), message.isEmpty() ? 1 : 0);
    // The row cache and so the grid show what the database holds.
    const MeasureRecord &r = m_table->rows().at(1);
    QCOMPARE(QStringList({QString::number(r.recno), r.date, r.time, QString::number(r.ems),
                          QString::number(r.meavalue), r.unit})
                 .join(QLatin1Char('|')),
             row);
    QCOMPARE(stored(1), QStringLiteral("1|2024-05-01|10:00:01|0.95|301|C"));
}

// Rows are found by their place in the database, not by their record
// number, which the user may have changed or duplicated.
void TestMeasureTableEdit::postFindsItsRowAfterOthersWereDeleted()
{
    QSqlQuery(m_db->connection()).exec(QStringLiteral("DELETE FROM LoadData WHERE rowid = 1"));
    m_table->refresh();
    m_table->append(measureRecord(2, 310.0)); // a second row numbered 2
    QVERIFY(m_model->setData(m_model->index(2, MeasureTableModel::MeaValue), QStringLiteral("999")));
    QCOMPARE(stored(4), QStringLiteral("2|2024-05-01|10:00:02|0.95|999|C"));
    QCOMPARE(stored(2), QStringLiteral("2|2024-05-01|10:00:02|0.95|302|C"));
    m_table->refresh();
    QCOMPARE(m_table->rows().at(2).meavalue, 999.0);
}

void TestMeasureTableEdit::readOnlyModelTakesNoEdit()
{
    m_model->setEditable(false);
    const QModelIndex cell = m_model->index(0, MeasureTableModel::MeaValue);
    QVERIFY(!(m_model->flags(cell) & Qt::ItemIsEditable));
    QVERIFY(!m_model->setData(cell, QStringLiteral("1")));
    QCOMPARE(stored(1), QStringLiteral("1|2024-05-01|10:00:01|0.95|301|C"));
}

void TestMeasureTableEdit::rowGoneFromTheDatabaseIsReported()
{
    OtherConnection other(m_db->filePath());
    QVERIFY(other.exec(QStringLiteral("DELETE FROM LoadData WHERE rowid = 3")));
    QVERIFY(!m_model->setData(m_model->index(2, MeasureTableModel::MeaValue), QStringLiteral("1")));
    QCOMPARE(m_dialogs->texts(),
             QStringList{QStringLiteral("Cannot post to table LoadData: row 3 is no longer there")});
    QCOMPARE(m_table->rows().at(2).meavalue, 303.0);
}

QTEST_MAIN(TestMeasureTableEdit)
#include "tst_measuretableedit.moc"

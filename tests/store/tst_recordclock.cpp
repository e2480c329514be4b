// The date and time of a new row keep the log file's fixed forms under any
// locale.
#include "store/recordclock.h"

#include <QLocale>
#include <QRegularExpression>
#include <QtTest>

class TestRecordClock : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void fixedForms_data();
    void fixedForms();
    void currentStampHasTheSameForms();
};

void TestRecordClock::fixedForms_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");

    const QDateTime morning(QDate(2006, 5, 2), QTime(9, 5, 7));
    const QDateTime evening(QDate(2024, 12, 31), QTime(23, 59, 59));
    QTest::newRow("English, morning") << "en_US" << morning << "2006-05-02" << "09:05:07";
    QTest::newRow("English, 12-hour locale evening") << "en_US" << evening << "2024-12-31" << "23:59:59";
    QTest::newRow("German") << "de_DE" << morning << "2006-05-02" << "09:05:07";
    QTest::newRow("Arabic digits locale") << "ar_EG" << evening << "2024-12-31" << "23:59:59";
    QTest::newRow("Chinese") << "zh_CN" << evening << "2024-12-31" << "23:59:59";
}

void TestRecordClock::fixedForms()
{
    QFETCH(QString, locale);
    QFETCH(QDateTime, moment);

    QLocale::setDefault(QLocale(locale));
    const RecordStamp stamp = recordStamp(moment);
    QTEST(stamp.date, "date");
    QTEST(stamp.time, "time");
}

void TestRecordClock::currentStampHasTheSameForms()
{
    QLocale::setDefault(QLocale(QStringLiteral("ar_EG")));
    const RecordStamp stamp = currentRecordStamp();
    QVERIFY2(QRegularExpression(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}$")).match(stamp.date).hasMatch(),
             qPrintable(stamp.date));
    QVERIFY2(QRegularExpression(QStringLiteral("^[0-9]{2}:[0-9]{2}:[0-9]{2}$")).match(stamp.time).hasMatch(),
             qPrintable(stamp.time));
}

QTEST_GUILESS_MAIN(TestRecordClock)
#include "tst_recordclock.moc"

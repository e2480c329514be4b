#include "devicelink/thermometerprotocol.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace ThermometerProtocol;
Q_DECLARE_METATYPE(ThermometerProtocol::ReplyKind)

namespace {

QByteArray bytes(std::initializer_list<int> codes)
{
    QByteArray out;
    for (int c : codes)
        out.append(static_cast<char>(c));
    return out;
}

QByteArray logRecord(const char *field, int emsByte)
{
    return QByteArray(field, 5) + bytes({emsByte});
}

} // namespace

class TestThermometerProtocol : public QObject {
    Q_OBJECT
private slots:
    void valueField_data();
    void valueField();
    void settingsReply_data();
    void settingsReply();
    void readingReply_data();
    void readingReply();
    void logReply_data();
    void logReply();
    void recordsOfAnArrivingLog_data();
    void recordsOfAnArrivingLog();
    void otherFrames_data();
    void otherFrames();
    void truncatedRepliesChangeNothing();
    void randomBytesNeverReadPastTheFrame();
};

void TestThermometerProtocol::valueField_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<int>("value");
    QTest::newRow("positive") << QByteArray("00365") << 365;
    QTest::newRow("colon makes negative") << QByteArray(":0200") << -200;
    QTest::newRow("largest") << QByteArray("99999") << 99999;
    QTest::newRow("most negative") << QByteArray(":9999") << -9999;
    QTest::newRow("colon only first") << QByteArray("0:000") << 10000; // ':' is 10 elsewhere
    QTest::newRow("below '0' wraps modulo 256") << QByteArray("0000/") << 255;
    QTest::newRow("high byte") << bytes({'0', '0', '0', '0', 0xFF}) << 207;
}

void TestThermometerProtocol::valueField()
{
    QFETCH(QByteArray, field);
    QFETCH(int, value);
    QCOMPARE(decodeValueField(field.constData()), value);
}

void TestThermometerProtocol::settingsReply_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("machineMode");
    QTest::addColumn<int>("measureMode");
    QTest::addColumn<int>("halValue");
    QTest::addColumn<int>("lalValue");
    QTest::addColumn<int>("emsValue");
    QTest::newRow("typical") << QByteArray("ATA4000365:0200") + bytes({95}) << 4 << 0 << 365 << -200 << 95;
    QTest::newRow("model 7 becomes 0, mode 9 becomes 7")
        << QByteArray("ATA790036500300") + bytes({195}) << 0 << 7 << 365 << 300 << 95;
    QTest::newRow("ems 250 kept unchecked") << QByteArray("ATA310000000000") + bytes({250}) << 3 << 1 << 0 << 0 << 150;
    QTest::newRow("digit below '0' is negative") << QByteArray("ATA/00000000000") + bytes({0}) << -1 << 0 << 0 << 0 << 0;
    QTest::newRow("longer frame: extra ignored") << QByteArray("ATA200010000020") + bytes({100}) + "ATR00250" << 2 << 0 << 100 << 20 << 100;
}

void TestThermometerProtocol::settingsReply()
{
    QFETCH(QByteArray, frame);
    TSystemVars vars;
    vars.awaitingReply = true;
    QCOMPARE(parseReply(frame, vars), ReplyKind::Settings);
    QTEST(int(vars.machineMode), "machineMode");
    QTEST(int(vars.measureMode), "measureMode");
    QTEST(int(vars.halValue), "halValue");
    QTEST(int(vars.lalValue), "lalValue");
    QTEST(int(vars.emsValue), "emsValue");
    QVERIFY(vars.settingsRead);
    QVERIFY(!vars.awaitingReply);
}

void TestThermometerProtocol::readingReply_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("lastValue");
    QTest::addColumn<int>("lastEms");
    // lastEms starts at 80 in every row.
    QTest::newRow("ems 195 means 95") << QByteArray("ATR00256") + bytes({195}) << 256 << 95;
    QTest::newRow("negative, ems 5 kept old") << QByteArray("ATR:0050") + bytes({5}) << -50 << 80;
    QTest::newRow("ems 10 lowest accepted") << QByteArray("ATR00000") + bytes({10}) << 0 << 10;
    QTest::newRow("ems 100 highest accepted") << QByteArray("ATR00001") + bytes({100}) << 1 << 100;
    QTest::newRow("ems 109 is 9: kept old") << QByteArray("ATR00001") + bytes({109}) << 1 << 80;
    QTest::newRow("ems 201 is 101: kept old") << QByteArray("ATR00001") + bytes({201}) << 1 << 80;
}

void TestThermometerProtocol::readingReply()
{
    QFETCH(QByteArray, frame);
    TSystemVars vars;
    vars.lastEms = 80;
    vars.awaitingReply = true;
    QCOMPARE(parseReply(frame, vars), ReplyKind::Reading);
    QTEST(int(vars.lastValue), "lastValue");
    QTEST(int(vars.lastEms), "lastEms");
    QVERIFY(!vars.awaitingReply);
}

void TestThermometerProtocol::logReply_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<QList<int>>("ems");
    // lastEms starts at 70 in every row.
    QTest::newRow("header only") << QByteArray("ATP") << 0 << QList<int>{} << QList<int>{};
    QTest::newRow("two records and a partial one")
        << QByteArray("ATP") + logRecord("00250", 95) + logRecord(":0100", 185) + "0012"
        << 2 << QList<int>{250, -100} << QList<int>{95, 85};
    QTest::newRow("out-of-range ems carries the one before")
        << QByteArray("ATP") + logRecord("00001", 3) + logRecord("00002", 90) + logRecord("00003", 250)
        << 3 << QList<int>{1, 2, 3} << QList<int>{70, 90, 90};
}

void TestThermometerProtocol::logReply()
{
    QFETCH(QByteArray, frame);
    QFETCH(int, count);
    QFETCH(QList<int>, values);
    QFETCH(QList<int>, ems);
    TSystemVars vars;
    vars.lastEms = 70;
    vars.awaitingReply = true;
    QCOMPARE(parseReply(frame, vars), ReplyKind::Log);
    QVERIFY(vars.logReceived);
    QVERIFY(!vars.awaitingReply);
    QCOMPARE(int(vars.logCount), count);
    for (int k = 0; k < count; ++k) {
        QCOMPARE(int(vars.logValues[k]), values[k]);
        QCOMPARE(int(vars.logEms[k]), ems[k]);
    }
}

void TestThermometerProtocol::recordsOfAnArrivingLog_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("count");
    const QByteArray one = logRecord("00250", 95);
    QTest::newRow("nothing yet") << QByteArray() << 0;
    QTest::newRow("part of the header") << QByteArray("AT") << 0;
    QTest::newRow("header only") << QByteArray("ATP") << 0;
    QTest::newRow("part of the first record") << QByteArray("ATP") + one.left(5) << 0;
    QTest::newRow("one record") << QByteArray("ATP") + one << 1;
    QTest::newRow("two and a part") << QByteArray("ATP") + one + one + one.left(1) << 2;
    QTest::newRow("another reply") << QByteArray("ATA") + one + one << 0;
    QTest::newRow("more than the memory holds")
        << QByteArray("ATP") + one.repeated(MaxLogRecords + 2) << MaxLogRecords;
}

// The count shown while a log reply arrives: whole records only.
void TestThermometerProtocol::recordsOfAnArrivingLog()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, count);
    QCOMPARE(logRecordCount(reply), count);
}

void TestThermometerProtocol::otherFrames_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<ReplyKind>("kind");
    QTest::addColumn<bool>("awaitingReply");
    QTest::newRow("empty") << QByteArray() << ReplyKind::TooShort << true;
    QTest::newRow("two bytes AT") << QByteArray("AT") << ReplyKind::TooShort << true;
    QTest::newRow("status with tail") << QByteArray("ATSxyz") << ReplyKind::Status << false;
    QTest::newRow("lower case") << QByteArray("ata4000365003009") << ReplyKind::Unknown << true;
    QTest::newRow("unknown letters") << QByteArray("XYZ") << ReplyKind::Unknown << true;
    QTest::newRow("garbage before reply") << QByteArray("\x01" "ATR00250_") << ReplyKind::Unknown << true;
}

void TestThermometerProtocol::otherFrames()
{
    QFETCH(QByteArray, frame);
    TSystemVars vars;
    vars.awaitingReply = true;
    QTEST(parseReply(frame, vars), "kind");
    QTEST(vars.awaitingReply, "awaitingReply");
    QVERIFY(!vars.settingsRead);
    QVERIFY(!vars.logReceived);
    QCOMPARE(vars.lastValue, 0);
}

void TestThermometerProtocol::truncatedRepliesChangeNothing()
{
    // Every prefix of a valid reply shorter than its layout is dropped whole;
    // copies on the heap let the sanitizers catch any read past the end.
    const QList<QByteArray> replies = {QByteArray("ATA4000365:0200") + bytes({95}),
                                       QByteArray("ATR00256") + bytes({195})};
    for (const QByteArray &reply : replies) {
        for (int length = 3; length < reply.size(); ++length) {
            const QByteArray prefix(reply.constData(), length);
            TSystemVars vars;
            vars.awaitingReply = true;
            QCOMPARE(parseReply(prefix, vars), ReplyKind::Truncated);
            QVERIFY(vars.awaitingReply);
            QVERIFY(!vars.settingsRead);
            QCOMPARE(vars.halValue, 0);
            QCOMPARE(vars.lastValue, 0);
        }
    }
    // A log reply cut anywhere keeps its whole records only.
    QByteArray log("ATP");
    for (int k = 0; k < 4; ++k)
        log += logRecord("00123", 95);
    for (int length = 3; length <= log.size(); ++length) {
        TSystemVars vars;
        QCOMPARE(parseReply(log.left(length), vars), ReplyKind::Log);
        QCOMPARE(int(vars.logCount), (length - 3) / 6);
    }
}

void TestThermometerProtocol::randomBytesNeverReadPastTheFrame()
{
    QRandomGenerator random(20261210);
    const QByteArray prefixes[] = {"ATA", "ATR", "ATS", "ATP", ""};
    for (int i = 0; i < 5000; ++i) {
        QByteArray frame = prefixes[i % 5];
        const int extra = random.bounded(40);
        for (int j = 0; j < extra; ++j)
            frame.append(static_cast<char>(random.bounded(256)));
        TSystemVars vars;
        parseReply(frame, vars);
        QVERIFY(vars.logCount >= 0 && vars.logCount <= 6);
    }
    // A log reply longer than the arrays hold keeps the first records.
    QByteArray huge("ATP");
    for (int k = 0; k < MaxLogRecords + 7; ++k)
        huge += logRecord(k == 0 ? "00042" : "00007", 95);
    TSystemVars vars;
    parseReply(huge, vars);
    QCOMPARE(int(vars.logCount), MaxLogRecords);
    QCOMPARE(vars.logValues[0], 42);
}

QTEST_GUILESS_MAIN(TestThermometerProtocol)
#include "tst_thermometerprotocol.moc"

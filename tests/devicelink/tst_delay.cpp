// The wait that keeps the program responsive: it dispatches events and ends
// by its deadline whatever runs inside it.
#include "devicelink/delay.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QtTest>

namespace {

// Runs a nested event loop for ms, as a message box or another wait does.
void nestedLoop(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

class TestDelay : public QObject {
    Q_OBJECT
private slots:
    void waitsAndDispatches_data();
    void waitsAndDispatches();
    void endsAfterANestedLoopLongerThanTheWait_data();
    void endsAfterANestedLoopLongerThanTheWait();
};

void TestDelay::waitsAndDispatches_data()
{
    QTest::addColumn<int>("ms");
    QTest::newRow("zero still dispatches") << 0;
    QTest::newRow("200 ms") << 200;
}

void TestDelay::waitsAndDispatches()
{
    QFETCH(int, ms);
    bool dispatched = false;
    QTimer::singleShot(0, [&] { dispatched = true; });
    QElapsedTimer clock;
    clock.start();
    delay(ms);
    QVERIFY(dispatched);
    QVERIFY2(clock.elapsed() > ms, qPrintable(QString::number(clock.elapsed())));
}

// Whether the long handler is already queued when the wait starts (run by the
// first dispatch) or arrives during the wait (run inside the wait's own loop),
// the wait must come back once the handler is done.
void TestDelay::endsAfterANestedLoopLongerThanTheWait_data()
{
    QTest::addColumn<int>("startsAfterMs");
    QTest::newRow("queued before the wait") << 0;
    QTest::newRow("arriving during the wait") << 50;
}

void TestDelay::endsAfterANestedLoopLongerThanTheWait()
{
    QFETCH(int, startsAfterMs);
    constexpr int WaitMs = 100;
    constexpr int NestedMs = 400;
    // A wait that never returns cannot fail a check: end the run instead.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, [] { qFatal("delay did not return after its nested loop"); });
    watchdog.start(30000);

    QTimer::singleShot(startsAfterMs, [] { nestedLoop(NestedMs); });
    QElapsedTimer clock;
    clock.start();
    delay(WaitMs);
    watchdog.stop();
    QVERIFY2(clock.elapsed() >= NestedMs, qPrintable(QString::number(clock.elapsed())));
}

QTEST_GUILESS_MAIN(TestDelay)
#include "tst_delay.moc"

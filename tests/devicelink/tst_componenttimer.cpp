#include "devicelink/componenttimer.h"

#include <QSignalSpy>
#include <QtTest>

// The frame timer relies on these rules: re-assigning the interval a running
// timer already has must not hold it off, while a changed interval restarts it.
class TestComponentTimer : public QObject {
    Q_OBJECT
private slots:
    void sameIntervalDoesNotRestart()
    {
        ComponentTimer timer;
        timer.setInterval(100);
        QSignalSpy fired(&timer, &ComponentTimer::timeout);
        timer.setEnabled(true);
        for (int i = 0; i < 15; ++i) { // 300 ms of "received bytes"
            QTest::qWait(20);
            timer.setInterval(100);
            timer.setEnabled(true);
        }
        QVERIFY(fired.count() >= 1);
    }

    void changedIntervalRestarts()
    {
        ComponentTimer timer;
        timer.setInterval(300);
        QSignalSpy fired(&timer, &ComponentTimer::timeout);
        timer.setEnabled(true);
        for (int i = 0; i < 10; ++i) { // 50 then 300 again, every 100 ms
            QTest::qWait(100);
            timer.setInterval(50);
            timer.setInterval(300);
        }
        QCOMPARE(fired.count(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(fired.count(), 1, 1000);
    }

    void zeroOrDisabledNeverFires()
    {
        ComponentTimer timer;
        QSignalSpy fired(&timer, &ComponentTimer::timeout);
        timer.setInterval(0);
        timer.setEnabled(true);
        QTest::qWait(100);
        timer.setInterval(20);
        timer.setEnabled(false);
        QTest::qWait(100);
        QCOMPARE(fired.count(), 0);
    }
};

QTEST_GUILESS_MAIN(TestComponentTimer)
#include "tst_componenttimer.moc"

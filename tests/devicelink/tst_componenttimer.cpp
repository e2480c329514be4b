#include "devicelink/componenttimer.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

// The frame timer relies on these rules: re-assigning the interval a running
// timer already has must not hold it off, while a changed interval restarts it.
class TestComponentTimer : public QObject {
    Q_OBJECT
private slots:
    // Both checks look at the time between the last re-assignment and the
    // firing, so a loaded machine that delays a wait cannot fail them: a
    // timer never fires early, and one that was not restarted fires on its
    // first period whatever happened in between.
    void sameIntervalDoesNotRestart()
    {
        constexpr int Interval = 1000;
        ComponentTimer timer;
        timer.setInterval(Interval);
        QElapsedTimer sinceReassigned;
        qint64 gapAtFiring = -1;
        QObject context;
        connect(&timer, &ComponentTimer::timeout, &context, [&] {
            if (gapAtFiring < 0)
                gapAtFiring = sinceReassigned.elapsed();
        });
        timer.setEnabled(true);
        QElapsedTimer clock;
        clock.start();
        // "Received bytes" every 10 ms until it fires.
        while (gapAtFiring < 0 && clock.elapsed() < 10 * Interval) {
            timer.setInterval(Interval);
            timer.setEnabled(true);
            sinceReassigned.start();
            QTest::qWait(10);
        }
        QVERIFY(gapAtFiring >= 0);
        // Restarted by each re-assignment, it could fire only after a whole
        // period without one.
        QVERIFY2(gapAtFiring < Interval, qPrintable(QString::number(gapAtFiring)));
    }

    void changedIntervalRestarts()
    {
        constexpr int Interval = 300;
        ComponentTimer timer;
        timer.setInterval(Interval);
        QElapsedTimer sinceChanged;
        qint64 gapAtFiring = -1;
        QObject context;
        connect(&timer, &ComponentTimer::timeout, &context, [&] {
            if (gapAtFiring < 0)
                gapAtFiring = sinceChanged.elapsed();
        });
        timer.setEnabled(true);
        sinceChanged.start();
        for (int i = 0; i < 10; ++i) { // 50 then 300 again, every 100 ms
            QTest::qWait(100);
            timer.setInterval(50);
            timer.setInterval(Interval);
            sinceChanged.start();
        }
        QTRY_VERIFY_WITH_TIMEOUT(gapAtFiring >= 0, 5000);
        // Never sooner than a whole period after the last change.
        QVERIFY2(gapAtFiring >= Interval - 2, qPrintable(QString::number(gapAtFiring)));
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

// When a changing display is spoken: at most once per interval with the
// latest value, and at once when an alarm starts. Time is passed in.
#include "measure/logic/announcethrottle.h"

#include <QtTest>

class TestAnnounceThrottle : public QObject {
    Q_OBJECT
private slots:
    void schedule_data();
    void schedule();
};

void TestAnnounceThrottle::schedule_data()
{
    // Steps: "v<ms>" a new value, "a<ms>" an alarm starts, "t<ms>" the
    // timer asks whether a value is due. dues: what each v and a step
    // answered; spoken: the t steps that spoke.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QList<qint64>>("dues");
    QTest::addColumn<QList<qint64>>("spoken");
    QTest::newRow("first value at once") << "v0 t0" << QList<qint64>{0} << QList<qint64>{0};
    QTest::newRow("burst: one now, the rest when the interval ends")
        << "v0 t0 v1000 t1000 v2000 v4000 t4999 t5000 t6000" << QList<qint64>{0, 5000, 5000, 5000}
        << QList<qint64>{0, 5000};
    QTest::newRow("value after a quiet interval at once")
        << "v0 t0 v7000 t7000" << QList<qint64>{0, 7000} << QList<qint64>{0, 7000};
    QTest::newRow("interval counts from the last spoken, not the last value")
        << "v0 t0 v4000 t5000 v6000 t9999 t10000" << QList<qint64>{0, 5000, 10000}
        << QList<qint64>{0, 5000, 10000};
    QTest::newRow("alarm at once within the interval, which starts again")
        << "v0 t0 v1000 a2000 t2000 v3000 t5000 t7000" << QList<qint64>{0, 5000, 2000, 7000}
        << QList<qint64>{0, 2000, 7000};
    QTest::newRow("value and alarm of one reading spoken once")
        << "v0 t0 v6000 a6000 t6000 t6000" << QList<qint64>{0, 6000, 6000} << QList<qint64>{0, 6000};
    QTest::newRow("nothing waits, nothing spoken") << "t0 t10000" << QList<qint64>{} << QList<qint64>{};
}

void TestAnnounceThrottle::schedule()
{
    QFETCH(QString, steps);
    QFETCH(QList<qint64>, dues);
    QFETCH(QList<qint64>, spoken);

    AnnounceThrottle throttle(5000);
    QList<qint64> gotDues;
    QList<qint64> gotSpoken;
    for (const QString &step : steps.split(QLatin1Char(' '))) {
        const qint64 at = step.mid(1).toLongLong();
        switch (step.at(0).toLatin1()) {
        case 'v': gotDues << throttle.valueChanged(at); break;
        case 'a': gotDues << throttle.alarmStarted(at); break;
        default:
            if (throttle.takeDue(at))
                gotSpoken << at;
        }
    }
    QCOMPARE(gotDues, dues);
    QCOMPARE(gotSpoken, spoken);
    QVERIFY(!throttle.due());
}

QTEST_APPLESS_MAIN(TestAnnounceThrottle)
#include "tst_announcethrottle.moc"

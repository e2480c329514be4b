// A live run survives the thermometer going away: the simulator behind the
// port ends in the middle of a run and comes back at the same path a few
// seconds later, while the port message is still open and nobody clicks.
#include "devicelink/systemvar.h"
#include "linkfixture.h"
#include "measure/Measuring.h"
#include "recordingsound.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class TestMeasureRunUnplug : public QObject {
    Q_OBJECT
private slots:
    void runGoesOnWhenTheDeviceIsBack();
};

void TestMeasureRunUnplug::runGoesOnWhenTheDeviceIsBack()
{
    ProgramEnv env;
    RecordingSound sound;
    const QString path = env.dir.path("thermometer");
    const QStringList ramp{QStringLiteral("--profile"), QStringLiteral("ramp:200:15")};
    auto sim = std::make_unique<Simulator>(path, env.dir.path("before.log"), ramp);
    QVERIFY(sim->running());
    env.dir.writeSettings(path);
    TForm6 link;
    link.FormCreate();
    TickWatch watch(link);
    const MeasureTable &rows = link.Table1;

    SystemVars.unitCelsius = true;
    QPointer<TForm5> window = new TForm5;
    SystemVars.measureWindow = window.data();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.settingsRead, 5000);
    window->Edit2->setText(QStringLiteral("1"));
    QTest::mouseClick(window->BitBtn1, Qt::LeftButton);
    QVERIFY(SystemVars.measuring);
    QTRY_VERIFY_WITH_TIMEOUT(rows.recordCount() >= 2, 8000);

    // The port message stays open, as a real box does with nobody at the
    // desk. Once the link shows the thermometer gone, it comes back, and the
    // box is answered only when readings have resumed.
    bool fellWhileOpen = false;
    int fellAtTick = -1;
    int rowsAtFall = -1;
    bool resumedWhileOpen = false;
    QObject context;
    env.dialogs.holdOpen(30000, [&] {
        if (!fellWhileOpen && !SystemVars.connected) {
            fellWhileOpen = true;
            fellAtTick = watch.fellAtTick;
            rowsAtFall = rows.recordCount();
            // Away for a few seconds in all.
            QTimer::singleShot(2000, &context, [&] {
                sim = std::make_unique<Simulator>(path, env.dir.path("after.log"), ramp);
            });
        }
        resumedWhileOpen = fellWhileOpen && rows.recordCount() > rowsAtFall;
        return resumedWhileOpen;
    });
    sim.reset(); // unplugged
    QTRY_VERIFY_WITH_TIMEOUT(!SystemVars.portOpen, 3000);
    QTRY_COMPARE_WITH_TIMEOUT(env.dialogs.shown.size(), 1, 3000);
    QTRY_VERIFY_WITH_TIMEOUT(!env.dialogs.isOpen(), 40000);
    QVERIFY(fellWhileOpen);
    QCOMPARE(fellAtTick, 4);
    QVERIFY(resumedWhileOpen);
    QVERIFY(sim && sim->running());
    QCOMPARE(env.dialogs.shown[0].caption, QStringLiteral("Serial Port Error"));

    // Still the same run; a few more readings, then Stop.
    QVERIFY(SystemVars.measuring);
    QCOMPARE(SystemVars.commState, qint16(CommMeasuring));
    QTRY_VERIFY_WITH_TIMEOUT(rows.recordCount() >= rowsAtFall + 2, 8000);
    QTest::mouseClick(window->BitBtn8, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(sim->commands().contains(QStringLiteral("ATU")), 5000);

    // Every reading the thermometer gave after coming back is stored once:
    // the rows hold the first ramp up to the unplug, then the second ramp
    // from its start, numbered on without a gap.
    const int afterReads = int(sim->commands().count(QStringLiteral("ATR")));
    QTRY_COMPARE_WITH_TIMEOUT(rows.recordCount(), rowsAtFall + afterReads, 5000);
    for (int i = 0; i < rows.recordCount(); ++i) {
        const MeasureRecord &row = rows.rows().at(i);
        const int step = i < rowsAtFall ? i : i - rowsAtFall;
        QCOMPARE(row.recno, qint64(i + 1));
        QCOMPARE(row.meavalue, 20.0 + 1.5 * step);
    }
    QCOMPARE(env.dialogs.shown.size(), 1);

    delete window;
}

QTEST_MAIN(TestMeasureRunUnplug)
#include "tst_measurerununplug.moc"

// A live run through a stretch in which the thermometer does not answer: the
// chart's line breaks there, and the window counts the sample periods that
// got no reading, as the thermometer's own logs tell them.
#include "devicelink/systemvar.h"
#include "linkfixture.h"
#include "measure/Measuring.h"
#include "measure/datachart.h"
#include "recordingsound.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class TestMeasureGaps : public QObject {
    Q_OBJECT
private slots:
    void silentStretchBreaksTheLineAndIsCounted();
};

void TestMeasureGaps::silentStretchBreaksTheLineAndIsCounted()
{
    ProgramEnv env;
    RecordingSound sound;
    const QString path = env.dir.path("thermometer");
    const QString answerLog = env.dir.path("answers.log");
    Simulator sim(path, env.dir.path("commands.log"),
                  {QStringLiteral("--profile"), QStringLiteral("ramp:200:15"), QStringLiteral("--answer-log"),
                   answerLog});
    QVERIFY(sim.running());
    env.dir.writeSettings(path);
    TForm6 link;
    link.FormCreate();
    const MeasureTable &rows = link.Table1;

    SystemVars.unitCelsius = true;
    QPointer<TForm5> window = new TForm5;
    SystemVars.measureWindow = window.data();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.settingsRead, 5000);

    // The field is found by its label.
    auto *label = window->findChild<QLabel *>(QStringLiteral("Label4"));
    QVERIFY(label);
    QCOMPARE(label->buddy(), window->Edit3);
    QCOMPARE(window->Edit3->accessibleName(), label->text());

    window->Edit2->setText(QStringLiteral("2"));
    QTest::mouseClick(window->BitBtn1, Qt::LeftButton);
    QVERIFY(SystemVars.measuring);
    QCOMPARE(window->Edit3->text(), QStringLiteral("0"));
    QTRY_VERIFY_WITH_TIMEOUT(rows.recordCount() >= 2, 10000);

    // Silent right after a reading, for at least three sample periods.
    const int before = rows.recordCount();
    QTRY_VERIFY_WITH_TIMEOUT(rows.recordCount() > before, 5000);
    sim.toggleSilence();
    const int rowsBeforeGap = rows.recordCount();
    QTRY_VERIFY_WITH_TIMEOUT(window->Edit3->text().toInt() >= 2, 15000);
    sim.toggleSilence();
    QTRY_VERIFY_WITH_TIMEOUT(rows.recordCount() >= rowsBeforeGap + 2, 10000);
    // Stopped just after a reading, so that no request is left open.
    const int after = rows.recordCount();
    QTRY_VERIFY_WITH_TIMEOUT(rows.recordCount() > after, 5000);
    QTest::mouseClick(window->BitBtn8, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(sim.commands().contains(QStringLiteral("ATU")), 5000);

    // Every request that got no answer is a sample period missed.
    const QStringList answers = Simulator::commandsIn(answerLog);
    const int requests = int(sim.commands().count(QStringLiteral("ATR")));
    const int answered = int(answers.count(QStringLiteral("ATR")));
    QCOMPARE(rows.recordCount(), answered);
    QVERIFY(requests - answered >= 2);
    QCOMPARE(window->Edit3->text(), QString::number(requests - answered));

    // Two segments: the readings before the silence and those after it.
    const QList<QList<QPointF>> segments = window->Chart1->drawnSegments(0);
    QCOMPARE(segments.size(), 2);
    QCOMPARE(segments[0].size(), rowsBeforeGap);
    QCOMPARE(segments[0].last().x(), double(rowsBeforeGap - 1));
    QCOMPARE(segments[1].first().x(), double(rowsBeforeGap));
    QCOMPARE(segments[1].last().x(), double(rows.recordCount() - 1));

    // The next run counts afresh.
    QTest::mouseClick(window->BitBtn1, Qt::LeftButton);
    QCOMPARE(window->Edit3->text(), QStringLiteral("0"));
    QTest::mouseClick(window->BitBtn8, Qt::LeftButton);

    delete window;
}

QTEST_MAIN(TestMeasureGaps)
#include "tst_measuregaps.moc"

// "--measure": the program opens the measurement window by itself and starts
// the run once the thermometer has answered, whether it is there from the
// start or plugged in later; without readable settings nothing opens.
#include "devicelink/systemvar.h"
#include "linkfixture.h"
#include "measure/Measuring.h"
#include "recordingsound.h"
#include "shell/MAIN.h"
#include "shell/automeasure.h"

#include <QPushButton>
#include <QtTest>

class TestAutoMeasure : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void runStartsOnceTheThermometerAnswers_data();
    void runStartsOnceTheThermometerAnswers();
    void nothingOpensWithoutSettings();

private:
    QString port() const { return m_env->dir.path(QStringLiteral("thermometer")); }
    void plugIn()
    {
        m_sim = std::make_unique<Simulator>(port(), m_env->dir.path(QStringLiteral("commands.log")));
        QVERIFY(m_sim->running());
    }
    void startProgram()
    {
        m_main = std::make_unique<TForm1>();
        m_link = std::make_unique<TForm6>();
        m_link->FormCreate();
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
        m_auto = std::make_unique<AutoMeasure>(*m_main);
    }

    std::unique_ptr<ProgramEnv> m_env;
    std::unique_ptr<RecordingSound> m_sound;
    std::unique_ptr<Simulator> m_sim;
    std::unique_ptr<TForm1> m_main;
    std::unique_ptr<TForm6> m_link;
    std::unique_ptr<AutoMeasure> m_auto;
};

void TestAutoMeasure::init()
{
    m_env = std::make_unique<ProgramEnv>();
    m_sound = std::make_unique<RecordingSound>();
}

void TestAutoMeasure::cleanup()
{
    m_auto.reset();
    m_main.reset();
    m_link.reset();
    m_sim.reset();
    m_sound.reset();
    m_env.reset();
}

void TestAutoMeasure::runStartsOnceTheThermometerAnswers_data()
{
    QTest::addColumn<bool>("pluggedInLater");
    QTest::newRow("thermometer there from the start") << false;
    // Pressing Start before the thermometer answers would end in the
    // connect error and leave the window idle.
    QTest::newRow("thermometer plugged in later") << true;
}

void TestAutoMeasure::runStartsOnceTheThermometerAnswers()
{
    QFETCH(bool, pluggedInLater);
    // One reading a second, as the settings file asks.
    m_env->dir.writeFile(QStringLiteral("KELVORA.INI"),
                         "[Kelvora OPTIONS]\nSEARIAL_PORT=" + port().toUtf8() + "\nSAMPLE_PERIOD=1\n");
    if (!pluggedInLater)
        plugIn();
    startProgram();
    m_auto->begin();
    QPointer<TForm5> window = qobject_cast<TForm5 *>(SystemVars.measureWindow.data());
    QVERIFY(window);
    if (pluggedInLater) {
        QTest::qWait(2500);
        QVERIFY(!SystemVars.measuring);
        plugIn();
    }

    QTRY_VERIFY_WITH_TIMEOUT(m_link->Table1.recordCount() >= 2, 15000);
    QVERIFY(SystemVars.measuring);
    QVERIFY(window && !window->BitBtn1->isVisibleTo(window) && window->BitBtn8->isVisibleTo(window));
    QVERIFY(m_sim->commands().contains(QStringLiteral("ATR")));
    for (const auto &shown : m_env->dialogs.shown)
        QVERIFY2(shown.caption != QLatin1String("Error Information"), qPrintable(shown.text));
}

void TestAutoMeasure::nothingOpensWithoutSettings()
{
    // A settings file that cannot be read leaves the device commands disabled.
    QVERIFY(QDir().mkpath(m_env->dir.path(QStringLiteral("KELVORA.INI"))));
    plugIn();
    startProgram();
    QVERIFY(!SystemVars.measureMenuEnabled);
    m_auto->begin();
    QVERIFY(!SystemVars.measureWindow);
    QTest::qWait(1500);
    QVERIFY(!m_sim->commands().contains(QStringLiteral("ATR")));
}

QTEST_MAIN(TestAutoMeasure)
#include "tst_automeasure.moc"

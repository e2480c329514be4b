// The main window: commands of the tool bar and menus, which of them may be
// used with which child window in front, the Window-menu entries of the data
// windows, arranging, the exit question with the data windows' own questions
// and the status bar.
#include "devicelink/systemvar.h"
#include "import/GetRecorde.h"
#include "linkfixture.h"
#include "measure/Measuring.h"
#include "shell/MAIN.h"
#include "shell/statuspanels.h"

#include <QAccessible>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <functional>

namespace {

const QString ExitQuestion = QStringLiteral("Are You Sure to Exit This Program?");
const QString MeasureQuestion = QStringLiteral("Measured data has not save yet.\rDo you want to save data?");
const QString ImportQuestion = QStringLiteral("Up-load data have not save yet!\rDo you want to save data?");

// A child window as the main window sees one: a component name, the buttons
// it looks at, and what the window does to the shared flags when it closes.
class StandIn final : public QWidget {
public:
    explicit StandIn(const char *name, std::function<void()> onClose = {})
        : m_onClose(std::move(onClose))
    {
        setObjectName(QLatin1String(name));
    }
    QPushButton *addButton(const char *name)
    {
        auto *b = new QPushButton(QLatin1String(name), this);
        b->setObjectName(QLatin1String(name));
        return b;
    }
    QPushButton *button(const char *name) const { return findChild<QPushButton *>(QLatin1String(name)); }

protected:
    void closeEvent(QCloseEvent *event) override
    {
        if (m_onClose)
            m_onClose();
        QWidget::closeEvent(event);
    }

private:
    std::function<void()> m_onClose;
};

StandIn *measureWindow()
{
    auto *w = new StandIn("Form5", [] {
        SystemVars.measureMenuEnabled = true;
        SystemVars.measureWindow = nullptr;
        SystemVars.removeMeasureItem = true;
    });
    w->addButton("BitBtn1");
    w->addButton("BitBtn7");
    return w;
}

StandIn *importWindow()
{
    auto *w = new StandIn("Form4", [] {
        SystemVars.importMenuEnabled = true;
        SystemVars.importWindow = nullptr;
        SystemVars.removeImportItem = true;
    });
    w->addButton("BitBtn5");
    return w;
}

StandIn *analyzeWindow()
{
    return new StandIn("Form7", [] {
        SystemVars.removeAnalyzeItem = true;
        SystemVars.analyzeWindowOpen = false;
        SystemVars.analyzeWindow = nullptr;
    });
}

QMdiSubWindow *frameOf(QWidget *window)
{
    return qobject_cast<QMdiSubWindow *>(window->parentWidget());
}

QString accessibleName(QObject *object)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(QAccessible::Name) : QStringLiteral("<not accessible>");
}

// The names under which assistive technology lists a menu's items.
QStringList accessibleItems(QMenu *menu)
{
    QStringList names;
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(menu);
    for (int i = 0; iface && i < iface->childCount(); ++i)
        names << iface->child(i)->text(QAccessible::Name);
    return names;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void placedOnTheScreenWithItsFrame();

    void toolButtonsCarryTheirCommands_data();
    void toolButtonsCarryTheirCommands();
    void toolBarOrder();
    void commandKeys_data();
    void commandKeys();
    void keysTriggerTheirCommands();
    void languageMenu();
    void exportPrintSaveFollowActiveChild_data();
    void exportPrintSaveFollowActiveChild();
    void exportPrintSaveFollowTheMeasurementWindow();
    void disabledSaveDoesNothingFromItsButton();
    void windowEntryFollowsDataWindow_data();
    void windowEntryFollowsDataWindow();
    void entryBringsItsWindowToFront();
    void dataViewWindowOpensOnce();
    void fixedWindowsOpenCentred_data();
    void fixedWindowsOpenCentred();
    void arranging();
    void exitQuestion_data();
    void exitQuestion();
    void savingOneWindowLeavesTheOtherUnsaved_data();
    void savingOneWindowLeavesTheOtherUnsaved();
    void exitAsksForEachUnsavedWindow_data();
    void exitAsksForEachUnsavedWindow();
    void statusTexts_data();
    void statusTexts();
    void linkPictureFollowsConnection();

private:
    QAction *action(const char *name) const { return m_form->findChild<QAction *>(QLatin1String(name)); }
    // Opens through the main window a measurement window with one reading of
    // 25.0 and an import window with the simulator's two records, neither
    // of them saved.
    void openUnsavedDataWindows();

    std::unique_ptr<ProgramDir> m_dir;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<TForm1> m_form;
    std::unique_ptr<Simulator> m_sim;
    std::unique_ptr<TForm6> m_link;
    QPointer<TForm5> m_measure;
    QPointer<TForm4> m_import;
};

void TestMainWindow::init()
{
    m_dir = std::make_unique<ProgramDir>();
    qputenv("ODBCINI", m_dir->path(QStringLiteral("odbc.ini")).toUtf8());
    m_dialogs = std::make_unique<ScriptedDialogs>();
    // As the device-link module leaves them after its creation.
    SystemVars.measureMenuEnabled = SystemVars.importMenuEnabled = SystemVars.setupMenuEnabled = true;
    m_form = std::make_unique<TForm1>();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestMainWindow::cleanup()
{
    m_form.reset();
    m_link.reset();
    m_sim.reset();
    m_dialogs.reset();
    m_dir.reset();
    qunsetenv("ODBCINI");
}
// The window with its frame takes the screen's full width and its height less
// 20 pixels, at its top left corner: no border lies off screen.
void TestMainWindow::placedOnTheScreenWithItsFrame()
{
    const QRect screen = m_form->screen()->geometry();
    QCOMPARE(m_form->frameGeometry(), QRect(screen.topLeft(), QSize(screen.width(), screen.height() - 20)));
    // The offscreen platform gives windows a frame, so the check above tells
    // the frame from the inside there.
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        QVERIFY(m_form->geometry() != m_form->frameGeometry());
}


void TestMainWindow::toolButtonsCarryTheirCommands_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("hint");
    QTest::newRow("1") << "ToolButton1" << "N3" << "&Real Time Measure" << "Real Time Measure";
    QTest::newRow("2") << "ToolButton2" << "N16" << "&Import Data" << "Import Data";
    QTest::newRow("3") << "ToolButton3" << "N6" << "&Open" << "Open";
    QTest::newRow("4") << "ToolButton4" << "N15" << "&Save" << "Save";
    QTest::newRow("5") << "ToolButton5" << "N7" << "&Export to Excel" << "Export to Excel";
    QTest::newRow("6") << "ToolButton6" << "N8" << "Print &Data Sheet" << "Print Data Sheet";
    QTest::newRow("7") << "ToolButton7" << "N5" << "S&ystem Setup" << "System Option";
    QTest::newRow("11") << "ToolButton11" << "K1" << "Kelvora Help" << "Help";
    QTest::newRow("10") << "ToolButton10" << "A1" << "&About" << "About...";
    QTest::newRow("9") << "ToolButton9" << "N9" << "E&xit" << "Exit";
}

void TestMainWindow::toolButtonsCarryTheirCommands()
{
    QFETCH(QString, button);
    QFETCH(QString, command);
    QFETCH(QString, caption);
    QFETCH(QString, hint);
    auto *b = m_form->findChild<QToolButton *>(button);
    QVERIFY(b);
    QAction *a = action(command.toLatin1());
    QVERIFY(a);
    QCOMPARE(b->defaultAction(), a);
    QCOMPARE(a->text(), caption);
    QCOMPARE(b->toolTip(), hint);
    QCOMPARE(a->statusTip(), hint);
    QCOMPARE(b->size(), QSize(39, 38));
    QCOMPARE(b->iconSize(), QSize(32, 32));
    QVERIFY(!b->icon().isNull());

    const QString plain = QString(caption).remove(QLatin1Char('&'));
    QCOMPARE(accessibleName(b), plain);
    // The same command in its menu, where assistive technology finds it too.
    QMenu *menu = nullptr;
    for (QObject *o : a->associatedObjects())
        menu = menu ? menu : qobject_cast<QMenu *>(o);
    QVERIFY(menu);
    QVERIFY2(accessibleItems(menu).contains(plain), qPrintable(accessibleItems(menu).join(", ")));
}

void TestMainWindow::toolBarOrder()
{
    const QStringList expected = {"ToolButton1", "ToolButton2", "ToolButton3", "ToolButton4", "ToolButton12",
                                  "ToolButton5", "ToolButton6", "ToolButton7", "ToolButton8", "ToolButton11",
                                  "ToolButton10", "ToolButton13", "ToolButton9"};
    QStringList found;
    for (QAction *a : m_form->ToolBar1->actions())
        found << m_form->ToolBar1->widgetForAction(a)->objectName();
    QCOMPARE(found, expected);
    for (const auto &[name, width] : {std::pair{"ToolButton12", 13}, {"ToolButton8", 8}, {"ToolButton13", 21}})
        QCOMPARE(m_form->ToolBar1->findChild<QWidget *>(QLatin1String(name))->width(), width);
}

void TestMainWindow::languageMenu()
{
    QAction *chinese = action("N18");
    QAction *english = action("N19");
    QVERIFY(!chinese->isEnabled());
    english->trigger();
    QVERIFY(english->isChecked());
    QVERIFY(!chinese->isChecked());
}

void TestMainWindow::exportPrintSaveFollowActiveChild_data()
{
    QTest::addColumn<QString>("active");
    QTest::addColumn<bool>("measuring");
    QTest::addColumn<QString>("enabled");
    QTest::newRow("measurement stopped") << "Form5" << false << "N7 N8 N15";
    QTest::newRow("measurement running") << "Form5" << true << "";
    QTest::newRow("import, nothing downloaded") << "Form4" << false << "N15";
    QTest::newRow("data view") << "Form7" << false << "N7 N8";
    QTest::newRow("About") << "Form3" << false << "";
}

void TestMainWindow::exportPrintSaveFollowActiveChild()
{
    QFETCH(QString, active);
    QFETCH(bool, measuring);
    QFETCH(QString, enabled);

    TForm6 link;
    link.FormCreate();
    link.Table1.append(MeasureRecord{1, "2026-12-10", "10:00:00", 0.95, 25.0, "C"});

    StandIn *measure = measureWindow();
    measure->button("BitBtn1")->setVisible(!measuring);
    m_form->openMeasureWindow([&] { return measure; });
    m_form->openImportWindow(importWindow);
    m_form->openAnalyzeWindow(analyzeWindow);
    m_form->openAboutWindow([] { return new StandIn("Form3"); });

    for (QMdiSubWindow *frame : m_form->ClientArea->subWindowList())
        if (frame->widget()->objectName() == active)
            m_form->ClientArea->setActiveSubWindow(frame);
    QCOMPARE(m_form->activeChild()->objectName(), active);
    m_form->FormPaint();

    QStringList found;
    for (const char *name : {"N7", "N8", "N15"})
        if (action(name)->isEnabled())
            found << QLatin1String(name);
    QCOMPARE(found.join(QLatin1Char(' ')), enabled);
}

// The real measurement window in front, through a series: idle with
// readings, running, stopped, saved from the main window, cleared.
void TestMainWindow::exportPrintSaveFollowTheMeasurementWindow()
{
    TForm6 link;
    link.FormCreate();
    m_form->N3Click();
    auto *window = qobject_cast<TForm5 *>(SystemVars.measureWindow.data());
    QVERIFY(window);
    const auto enabled = [this] {
        m_form->FormPaint();
        QStringList found;
        for (const char *name : {"N7", "N8", "N15"})
            if (action(name)->isEnabled())
                found << QLatin1String(name);
        return found.join(QLatin1Char(' '));
    };
    QCOMPARE(enabled(), QString());

    SystemVars.lastValue = 250;
    sendWindowMessage(SystemVars.measureWindow, WM_NEWREADING);
    QCOMPARE(enabled(), QStringLiteral("N7 N8")); // Save comes with Stop

    SystemVars.settingsRead = true; // the thermometer has answered
    window->BitBtn1->click();
    QVERIFY(SystemVars.measuring);
    QCOMPARE(enabled(), QString());

    window->BitBtn8->click();
    QCOMPARE(enabled(), QStringLiteral("N7 N8 N15"));

    const QString file = m_dir->path(QStringLiteral("series.klg"));
    m_dialogs->fileAnswers << file;
    action("N15")->trigger();
    QVERIFY(QFile::exists(file));
    QCOMPARE(window->Edit1->text(), file);
    QCOMPARE(enabled(), QStringLiteral("N7 N8"));

    window->BitBtn2->click();
    QCOMPARE(enabled(), QString());
}

void TestMainWindow::disabledSaveDoesNothingFromItsButton()
{
    StandIn *measure = measureWindow();
    QSignalSpy saved(measure->button("BitBtn7"), &QPushButton::clicked);
    m_form->openMeasureWindow([&] { return measure; });
    auto *saveButton = m_form->findChild<QToolButton *>(QStringLiteral("ToolButton4"));

    measure->button("BitBtn1")->hide(); // a run in progress
    m_form->FormPaint();
    QTest::mouseClick(saveButton, Qt::LeftButton);
    action("N15")->trigger();
    QCOMPARE(saved.count(), 0);

    measure->button("BitBtn1")->show();
    m_form->FormPaint();
    QTest::mouseClick(saveButton, Qt::LeftButton);
    QCOMPARE(saved.count(), 1);

    StandIn *import = importWindow();
    QSignalSpy importSaved(import->button("BitBtn5"), &QPushButton::clicked);
    m_form->openImportWindow([&] { return import; });
    m_form->FormPaint();
    action("N15")->trigger();
    QCOMPARE(importSaved.count(), 1);
    QCOMPARE(saved.count(), 1);
}

void TestMainWindow::windowEntryFollowsDataWindow_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("closesItself");
    QTest::newRow("measurement") << "menumeasure" << "Real Time Measure  Window" << "N3" << false;
    QTest::newRow("import, closing itself") << "importdata" << "Data Import Window" << "N16" << true;
    QTest::newRow("data view") << "menuanalyze" << "Reprot Analyzing Window" << "" << false;
}

void TestMainWindow::windowEntryFollowsDataWindow()
{
    QFETCH(QString, entry);
    QFETCH(QString, caption);
    QFETCH(QString, command);
    QFETCH(bool, closesItself);

    QWidget *window = nullptr;
    if (entry == QLatin1String("menumeasure"))
        m_form->openMeasureWindow([&] { return window = measureWindow(); });
    else if (entry == QLatin1String("importdata"))
        m_form->openImportWindow([&] { return window = importWindow(); });
    else
        window = m_form->openAnalyzeWindow(analyzeWindow);
    QVERIFY(window);
    QPointer<QWidget> guard(window);
    QVERIFY(frameOf(window)->isMaximized());

    QAction *item = action(entry.toLatin1());
    QAction *opener = command.isEmpty() ? nullptr : action(command.toLatin1());
    m_form->FormPaint();
    const QList<QAction *> windowMenu = m_form->N20->actions();
    QCOMPARE(windowMenu.indexOf(item), windowMenu.indexOf(action("N21")) + 1);
    QCOMPARE(item->text(), caption);
    QVERIFY(item->isChecked());
    if (opener)
        QVERIFY(!opener->isEnabled());

    if (closesItself) {
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->close();
    } else {
        frameOf(window)->close();
    }
    // Gone with the next tick of the refresh timer.
    QTRY_VERIFY_WITH_TIMEOUT(!m_form->N20->actions().contains(item), 2 * TForm1::RefreshIntervalMs);
    QTRY_VERIFY(guard.isNull());
    QTRY_VERIFY(m_form->ClientArea->subWindowList().isEmpty());
    if (opener)
        QVERIFY(opener->isEnabled());
    QVERIFY(!SystemVars.removeMeasureItem && !SystemVars.removeImportItem && !SystemVars.removeAnalyzeItem);
}

void TestMainWindow::entryBringsItsWindowToFront()
{
    QWidget *measure = nullptr;
    m_form->openMeasureWindow([&] { return measure = measureWindow(); });
    m_form->openImportWindow(importWindow);
    m_form->FormPaint();
    QCOMPARE(m_form->activeChild()->objectName(), QStringLiteral("Form4"));
    QVERIFY(!action("menumeasure")->isChecked());
    QVERIFY(action("importdata")->isChecked());

    action("menumeasure")->trigger();
    QCOMPARE(m_form->activeChild(), measure);
    QVERIFY(action("menumeasure")->isChecked());
    QVERIFY(!action("importdata")->isChecked());
}

void TestMainWindow::dataViewWindowOpensOnce()
{
    int made = 0;
    const auto make = [&] {
        ++made;
        return analyzeWindow();
    };
    QWidget *first = m_form->openAnalyzeWindow(make);
    QCOMPARE(m_form->openAnalyzeWindow(make), first);
    QCOMPARE(made, 1);
    QCOMPARE(m_form->N20->actions().count(action("menuanalyze")), 1);
    QVERIFY(SystemVars.analyzeWindowOpen);

    // Closed and opened again within one refresh: the new window keeps its entry.
    frameOf(first)->close();
    QWidget *second = m_form->openAnalyzeWindow(make);
    m_form->FormPaint();
    QCOMPARE(made, 2);
    QCOMPARE(SystemVars.analyzeWindow.data(), second);
    QVERIFY(m_form->N20->actions().contains(action("menuanalyze")));
}

void TestMainWindow::fixedWindowsOpenCentred_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("command");
    QTest::newRow("setup") << "Form8" << QSize(638, 428) << "N5";
    QTest::newRow("About") << "Form3" << QSize(539, 324) << "A1";
}

void TestMainWindow::fixedWindowsOpenCentred()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(QString, command);

    m_form->openMeasureWindow(measureWindow); // maximised, behind the new window
    const QByteArray componentName = name.toLatin1();
    const auto make = [&] { return new StandIn(componentName.constData()); };
    if (command == QLatin1String("N5"))
        m_form->openSetupWindow(make);
    else
        m_form->openAboutWindow(make);
    m_form->FormPaint();

    QMdiSubWindow *frame = frameOf(m_form->activeChild());
    QCOMPARE(frame->widget()->objectName(), name);
    const QSize main = m_form->size();
    QCOMPARE(frame->geometry(), QRect(QPoint((main.width() - size.width()) / 2, (main.height() - size.height()) / 4), size));
    QVERIFY(!frame->isMaximized());
    QVERIFY(!action(command.toLatin1())->isEnabled());
    QCOMPARE(m_form->N20->actions().last(), action("menumeasure"));
}

void TestMainWindow::arranging()
{
    m_form->openMeasureWindow(measureWindow);
    m_form->openImportWindow(importWindow);
    const auto checks = [this] {
        QString marks;
        for (const char *name : {"C1", "H2", "V1"})
            marks += action(name)->isChecked() ? QLatin1Char('x') : QLatin1Char('-');
        return marks;
    };
    const QRect area = m_form->ClientArea->viewport()->rect();
    QMdiSubWindow *front = m_form->ClientArea->currentSubWindow();
    const auto frames = m_form->ClientArea->subWindowList();
    QMdiSubWindow *back = frames[0] == front ? frames[1] : frames[0];

    action("H2")->trigger();
    QCOMPARE(checks(), QStringLiteral("-x-"));
    QCOMPARE(front->geometry(), QRect(0, 0, area.width(), area.height() / 2));
    QCOMPARE(back->geometry(), QRect(0, area.height() / 2, area.width(), area.height() - area.height() / 2));

    action("V1")->trigger();
    QCOMPARE(checks(), QStringLiteral("--x"));
    QCOMPARE(front->geometry(), QRect(0, 0, area.width() / 2, area.height()));
    QCOMPARE(back->geometry().left(), area.width() / 2);

    action("C1")->trigger();
    QCOMPARE(checks(), QStringLiteral("x--"));
    QVERIFY(!front->isMaximized() && !back->isMaximized());
    QVERIFY(front->pos() != back->pos());
}

void TestMainWindow::commandKeys_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QKeySequence>("key");
    QTest::newRow("Help") << "K1" << QKeySequence(Qt::Key_F1);
    QTest::newRow("Open") << "N6" << QKeySequence(Qt::CTRL | Qt::Key_O);
    QTest::newRow("Save") << "N15" << QKeySequence(Qt::CTRL | Qt::Key_S);
    QTest::newRow("Print Data Sheet") << "N8" << QKeySequence(Qt::CTRL | Qt::Key_P);
    QTest::newRow("Export") << "N7" << QKeySequence(Qt::CTRL | Qt::Key_E);
    QTest::newRow("Exit") << "N9" << QKeySequence(Qt::CTRL | Qt::Key_Q);
}

// Each command has its key, and no other command of the main window shares it.
void TestMainWindow::commandKeys()
{
    QFETCH(QString, command);
    QFETCH(QKeySequence, key);
    const QAction *a = action(qPrintable(command));
    QVERIFY(a);
    QCOMPARE(a->shortcut(), key);
    for (const QAction *other : m_form->findChildren<QAction *>())
        QVERIFY2(other == a || !other->shortcuts().contains(key), qPrintable(other->objectName()));
}

// The keys reach the commands through the window as the user presses them.
void TestMainWindow::keysTriggerTheirCommands()
{
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QSignalSpy help(action("K1"), &QAction::triggered);
    QTest::keyClick(m_form.get(), Qt::Key_F1);
    QCOMPARE(help.size(), 1);
    // There is no help file beside this test: the help command says so.
    QCOMPARE(m_dialogs->shown.size(), 1);
    QVERIFY2(m_dialogs->shown[0].text.contains(QLatin1String("readme_en.chm")), qPrintable(m_dialogs->shown[0].text));

    m_dialogs->answers = {Dialogs::No};
    QTest::keyClick(m_form.get(), Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(m_dialogs->shown.size(), 2);
    QCOMPARE(m_dialogs->shown[1].text, ExitQuestion);
    QVERIFY(m_form->isVisible());
}

void TestMainWindow::exitQuestion_data()
{
    QTest::addColumn<bool>("byFrame");
    QTest::addColumn<Dialogs::Button>("answer");
    QTest::newRow("Exit, No") << false << Dialogs::No;
    QTest::newRow("Exit, Yes") << false << Dialogs::Yes;
    QTest::newRow("frame, No") << true << Dialogs::No;
    QTest::newRow("frame, Yes") << true << Dialogs::Yes;
}

void TestMainWindow::exitQuestion()
{
    QFETCH(bool, byFrame);
    QFETCH(Dialogs::Button, answer);

    TForm6 link;
    link.FormCreate();
    m_dialogs->answers = {answer};
    if (byFrame)
        m_form->close();
    else
        action("N9")->trigger();

    QCOMPARE(m_dialogs->shown.size(), 1);
    const ScriptedDialogs::Shown &box = m_dialogs->shown[0];
    QCOMPARE(box.text, QStringLiteral("Are You Sure to Exit This Program?"));
    QCOMPARE(box.caption, QStringLiteral("System Exit Query"));
    QCOMPARE(box.icon, Dialogs::Icon::Question);
    QCOMPARE(box.buttons, Dialogs::Yes | Dialogs::No);

    const bool exits = answer == Dialogs::Yes;
    QCOMPARE(m_form->isVisible(), !exits);
    QCOMPARE(link.Timer1.enabled(), !exits); // the device link polls until closed
    QCOMPARE(QFile::exists(m_dir->path(QStringLiteral("KELVORA.INI"))), exits);
}

void TestMainWindow::openUnsavedDataWindows()
{
    m_sim = std::make_unique<Simulator>(m_dir->path(QStringLiteral("thermometer")),
                                        m_dir->path(QStringLiteral("sim.log")), QStringList{"--records", "2"});
    QVERIFY(m_sim->running());
    m_dir->writeSettings(m_dir->path(QStringLiteral("thermometer")));
    m_link = std::make_unique<TForm6>();
    m_link->FormCreate();

    m_form->N3Click();
    m_measure = qobject_cast<TForm5 *>(SystemVars.measureWindow.data());
    QVERIFY(m_measure);
    SystemVars.lastValue = 250;
    sendWindowMessage(SystemVars.measureWindow, WM_NEWREADING);

    m_form->N16Click();
    m_import = qobject_cast<TForm4 *>(SystemVars.importWindow.data());
    QVERIFY(m_import);
    QTRY_VERIFY_WITH_TIMEOUT(SystemVars.settingsRead, 5000);
    m_import->BitBtn1->click();
    QCOMPARE(m_link->Table1.recordCount(), 1);
    QCOMPARE(m_link->Table2.recordCount(), 2);
    QVERIFY(m_dialogs->shown.isEmpty());
}

void TestMainWindow::savingOneWindowLeavesTheOtherUnsaved_data()
{
    QTest::addColumn<bool>("saveImport"); // else the measurement window is saved
    QTest::newRow("import saved, measurement closed") << true;
    QTest::newRow("measurement saved, import closed") << false;
}

// Saving one window's rows is no save of the other's: closing the other
// still asks its question, and Cancel keeps it with its rows.
void TestMainWindow::savingOneWindowLeavesTheOtherUnsaved()
{
    QFETCH(bool, saveImport);
    openUnsavedDataWindows();
    if (QTest::currentTestFailed())
        return;
    const QString file = m_dir->path(QStringLiteral("saved.klg"));
    m_dialogs->fileAnswers << file;
    if (saveImport)
        m_import->BitBtn5Click();
    else
        m_measure->BitBtn7Click();
    QVERIFY(QFile::exists(file));
    QVERIFY(m_dialogs->shown.isEmpty());

    QPointer<QWidget> other = saveImport ? static_cast<QWidget *>(m_measure) : m_import;
    m_dialogs->answers << Dialogs::Cancel;
    QVERIFY(!frameOf(other)->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(m_dialogs->texts(), QStringList{saveImport ? MeasureQuestion : ImportQuestion});
    QVERIFY(other);
    QCOMPARE(m_link->Table1.recordCount(), 1);
    QCOMPARE(m_link->Table2.recordCount(), 2);

    // And the window asks again, as long as its rows stay unsaved.
    m_dialogs->answers << Dialogs::No;
    QVERIFY(frameOf(other)->close());
    QCOMPARE(m_dialogs->texts().size(), 2);
    QCOMPARE(m_dialogs->texts().last(), m_dialogs->texts().first());
}

void TestMainWindow::exitAsksForEachUnsavedWindow_data()
{
    QTest::addColumn<QString>("way"); // "Exit", "frame" (the close box) or "signal"
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<bool>("saveFiles"); // the save dialogs choose files
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<bool>("exits");
    QTest::addColumn<bool>("measureOpen");
    QTest::addColumn<bool>("importOpen");
    const QStringList all{ExitQuestion, MeasureQuestion, ImportQuestion};
    QTest::newRow("Exit, No to both windows")
        << "Exit" << QList<int>{Dialogs::Yes, Dialogs::No, Dialogs::No} << false << all << true << false << false;
    QTest::newRow("close box, Yes saves both")
        << "frame" << QList<int>{Dialogs::Yes, Dialogs::Yes, Dialogs::Yes} << true << all << true << false
        << false;
    QTest::newRow("Exit, Cancel at the measurement window")
        << "Exit" << QList<int>{Dialogs::Yes, Dialogs::Cancel} << false
        << QStringList{ExitQuestion, MeasureQuestion} << false << true << true;
    QTest::newRow("close box, No, then Cancel at the import window")
        << "frame" << QList<int>{Dialogs::Yes, Dialogs::No, Dialogs::Cancel} << false << all << false << false
        << true;
    QTest::newRow("Exit, Yes and the save dialog cancelled")
        << "Exit" << QList<int>{Dialogs::Yes, Dialogs::Yes} << false
        << QStringList{ExitQuestion, MeasureQuestion} << false << true << true;
    QTest::newRow("Exit, No to the exit question")
        << "Exit" << QList<int>{Dialogs::No} << false << QStringList{ExitQuestion} << false << true << true;
    QTest::newRow("signal: no question") << "signal" << QList<int>{} << false << QStringList{} << true << true
                                         << true;
}

// Exit and the close box ask, after the exit question, each data window with
// unsaved rows as its own close does; a window that stays keeps the program
// running. A signal cannot ask.
void TestMainWindow::exitAsksForEachUnsavedWindow()
{
    QFETCH(QString, way);
    QFETCH(QList<int>, answers);
    QFETCH(bool, saveFiles);
    QFETCH(QStringList, asked);
    QFETCH(bool, exits);
    QFETCH(bool, measureOpen);
    QFETCH(bool, importOpen);

    openUnsavedDataWindows();
    if (QTest::currentTestFailed())
        return;
    for (int a : answers)
        m_dialogs->answers << Dialogs::Button(a);
    const QString measureFile = m_dir->path(QStringLiteral("measure.klg"));
    const QString importFile = m_dir->path(QStringLiteral("import.klg"));
    if (saveFiles)
        m_dialogs->fileAnswers << measureFile << importFile;

    if (way == QLatin1String("Exit"))
        action("N9")->trigger();
    else if (way == QLatin1String("frame"))
        m_form->close();
    else
        m_form->closeProgram();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QCOMPARE(m_dialogs->texts(), asked);
    QCOMPARE(m_form->isVisible(), !exits);
    QCOMPARE(m_link->Timer1.enabled(), !exits);
    QCOMPARE(!m_measure.isNull(), measureOpen);
    QCOMPARE(!m_import.isNull(), importOpen);
    // A window that stays is still registered, with all its rows.
    if (!exits) {
        QCOMPARE(!SystemVars.measureWindow.isNull(), measureOpen);
        QCOMPARE(!SystemVars.importWindow.isNull(), importOpen);
    }
    QCOMPARE(m_link->Table1.recordCount(), 1);
    QCOMPARE(m_link->Table2.recordCount(), 2);
    if (saveFiles) {
        const QStringList measured = QString::fromLatin1(m_dir->readFile(QStringLiteral("measure.klg")))
                                         .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(measured.value(1), QStringLiteral("Total:1"));
        QVERIFY2(measured.value(2).contains(QLatin1String(",25.0")), qPrintable(measured.value(2)));
        QCOMPARE(QString::fromLatin1(m_dir->readFile(QStringLiteral("import.klg")))
                     .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)
                     .size(),
                 2 + 2);
    }
}

void TestMainWindow::statusTexts_data()
{
    QTest::addColumn<bool>("connected");
    QTest::addColumn<bool>("celsius");
    QTest::addColumn<QString>("company");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("connected, Celsius") << true << true << "Acme Instruments"
                                        << QStringList{"Connect OK!", "Unit C", "Acme Instruments"};
    QTest::newRow("disconnected, Fahrenheit") << false << false << ""
                                              << QStringList{"Disconnect!", "Unit F", ""};
}

void TestMainWindow::statusTexts()
{
    QFETCH(bool, connected);
    QFETCH(bool, celsius);
    QFETCH(QString, company);
    QFETCH(QStringList, texts);

    m_form->StatusBar1->setPanelText(3, QStringLiteral("earlier name"));
    SystemVars.connected = connected;
    SystemVars.unitCelsius = celsius;
    SystemVars.companyName = company;
    QTRY_COMPARE_WITH_TIMEOUT(m_form->StatusBar1->panelText(3), company, 2 * TForm1::RefreshIntervalMs);
    for (int i = 1; i < StatusPanels::PanelCount; ++i) {
        QCOMPARE(m_form->StatusBar1->panelText(i), texts[i - 1]);
        QCOMPARE(accessibleName(m_form->StatusBar1->panel(i)), texts[i - 1]);
    }
    QCOMPARE(m_form->StatusBar1->height(), StatusPanels::BarHeight);
}

void TestMainWindow::linkPictureFollowsConnection()
{
    QWidget *panel = m_form->StatusBar1->panel(0);
    QCOMPARE(panel->width(), 80);
    const auto picture = [panel] { return panel->grab().toImage(); };
    const auto rightPart = [](const QImage &image) { return image.copy(image.width() - 22, 0, 22, image.height()); };
    const auto leftPart = [](const QImage &image) { return image.copy(0, 0, 20, image.height()); };

    SystemVars.connected = false;
    m_form->Timer1Timer();
    const QImage apart = picture();
    QCOMPARE(accessibleName(panel), QStringLiteral("Computer"));

    SystemVars.connected = true;
    m_form->Timer1Timer();
    const QImage linked = picture();
    QVERIFY(SystemVars.lastShownConnected);
    QCOMPARE(accessibleName(panel), QStringLiteral("Computer and thermometer"));
    QCOMPARE(leftPart(linked), leftPart(apart));
    QVERIFY(rightPart(linked) != rightPart(apart));

    SystemVars.connected = false;
    m_form->Timer1Timer();
    QCOMPARE(picture(), apart);
    QVERIFY(!SystemVars.lastShownConnected);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"

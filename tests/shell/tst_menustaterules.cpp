// Which commands of the main window may be used in which situation, and when
// the Window-menu entries of closed windows go.
#include "shell/logic/menustaterules.h"

#include <QtTest>

using MenuStateRules::Decision;
using MenuStateRules::Situation;

Q_DECLARE_METATYPE(Situation)

namespace {

// The enabled commands by component name, then the entries to remove.
QString describe(const Decision &d)
{
    QStringList out;
    const std::pair<bool, const char *> parts[] = {
        {d.realTimeMeasure, "N3"},       {d.importData, "N16"},          {d.systemSetup, "N5"},
        {d.about, "A1"},                 {d.exportToExcel, "N7"},        {d.printDataSheet, "N8"},
        {d.save, "N15"},                 {d.removeMeasureEntry, "-menumeasure"},
        {d.removeImportEntry, "-importdata"}, {d.removeAnalyzeEntry, "-menuanalyze"}};
    for (const auto &[on, name] : parts)
        if (on)
            out << QLatin1String(name);
    return out.join(QLatin1Char(' '));
}

// Nothing open: every window command may be used.
Situation idle()
{
    Situation s;
    s.measureMenuEnabled = s.importMenuEnabled = s.setupMenuEnabled = s.aboutMenuEnabled = true;
    return s;
}

Situation with(Situation s, const std::function<void(Situation &)> &change)
{
    change(s);
    return s;
}

} // namespace

class TestMenuStateRules : public QObject {
    Q_OBJECT
private slots:
    void decide_data();
    void decide();
};

void TestMenuStateRules::decide_data()
{
    QTest::addColumn<Situation>("situation");
    QTest::addColumn<QString>("expected");

    const QString windowCommands = QStringLiteral("N3 N16 N5 A1");
    QTest::newRow("no child window") << idle() << windowCommands;
    QTest::newRow("all window commands in use") << Situation() << QString();

    const auto measure = [](bool startVisible, bool saveEnabled, bool tableEmpty) {
        return with(idle(), [=](Situation &s) {
            s.activeChild = QStringLiteral("Form5");
            s.measureMenuEnabled = false;
            s.startButtonVisible = startVisible;
            s.measureSaveEnabled = saveEnabled;
            s.measureTableEmpty = tableEmpty;
        });
    };
    QTest::newRow("measuring: nothing to export or save") << measure(false, true, false) << "N16 N5 A1";
    QTest::newRow("stopped with readings") << measure(true, false, false) << "N16 N5 A1 N7 N8";
    QTest::newRow("stopped with unsaved readings") << measure(true, true, false) << "N16 N5 A1 N7 N8 N15";
    QTest::newRow("stopped, no readings yet") << measure(true, false, true) << "N16 N5 A1";
    QTest::newRow("stopped, empty table, save enabled") << measure(true, true, true) << "N16 N5 A1 N15";

    const auto import = [](bool saveEnabled, bool tableEmpty) {
        return with(idle(), [=](Situation &s) {
            s.activeChild = QStringLiteral("Form4");
            s.importMenuEnabled = false;
            s.importSaveEnabled = saveEnabled;
            s.downloadTableEmpty = tableEmpty;
            s.startButtonVisible = true; // another window's button: no say here
            s.measureSaveEnabled = true;
        });
    };
    QTest::newRow("import, nothing downloaded") << import(false, true) << "N3 N5 A1";
    QTest::newRow("import, downloaded") << import(false, false) << "N3 N5 A1 N7 N8";
    QTest::newRow("import, downloaded, unsaved") << import(true, false) << "N3 N5 A1 N7 N8 N15";

    QTest::newRow("data view, even with no rows")
        << with(idle(), [](Situation &s) { s.activeChild = QStringLiteral("Form7"); }) << "N3 N16 N5 A1 N7 N8";
    QTest::newRow("About window in front of a stopped measurement")
        << with(measure(true, true, false), [](Situation &s) {
               s.activeChild = QStringLiteral("Form3");
               s.aboutMenuEnabled = false;
           })
        << "N16 N5";
    QTest::newRow("setup window")
        << with(idle(), [](Situation &s) {
               s.activeChild = QStringLiteral("Form8");
               s.setupMenuEnabled = false;
               s.downloadTableEmpty = s.measureTableEmpty = false;
           })
        << "N3 N16 A1";

    QTest::newRow("closed windows: entries go")
        << with(idle(), [](Situation &s) { s.removeMeasureItem = s.removeImportItem = s.removeAnalyzeItem = true; })
        << windowCommands + " -menumeasure -importdata -menuanalyze";
    QTest::newRow("measurement window refused to close: entry stays")
        << with(idle(), [](Situation &s) {
               s.measureMenuEnabled = false;
               s.removeMeasureItem = true;
           })
        << "N16 N5 A1";
}

void TestMenuStateRules::decide()
{
    QFETCH(Situation, situation);
    QFETCH(QString, expected);
    QCOMPARE(describe(MenuStateRules::decide(situation)), expected);
}

QTEST_APPLESS_MAIN(TestMenuStateRules)
#include "tst_menustaterules.moc"

// The chart navigation bar of the three data windows: its buttons and their
// enabling per window, zooming, scrolling and reset through the buttons, and
// "Print Graph" on the selected printer or, with none installed, into a PDF
// file the user names.
#include "pdfinspection.h"
#include "scripteddialogs.h"

#include "measure/chartnavigationbar.h"
#include "measure/datachart.h"
#include "output/selectedprinter.h"

#include <QAccessible>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QValueAxis>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(AxisRange)

namespace {

ChartNavigationConfig configFor(const QString &window)
{
    if (window == QLatin1String("import"))
        return ChartNavigationConfig::importWindow();
    if (window == QLatin1String("measurement"))
        return ChartNavigationConfig::measurementWindow();
    return ChartNavigationConfig::dataViewWindow();
}

// A window's chart with its bar under it: vertical axes at 200..500 and
// 100 points on the automatic horizontal axes (top follows bottom).
struct ChartWindow {
    explicit ChartWindow(const QString &window)
    {
        auto *layout = new QVBoxLayout(&widget);
        chart = new DataChart;
        chart->addSeries(QStringLiteral("Series1"), Qt::red);
        chart->setTitle(QStringLiteral("Temp. Graph Analyzing"));
        chart->setAxisRange(ChartAxis::Left, 200.0, 500.0);
        chart->setAxisRange(ChartAxis::Right, 200.0, 500.0);
        chart->setAxisRange(ChartAxis::Top, 0.0, 99.0);
        for (int i = 0; i < 100; ++i)
            chart->appendPoint(0, 300.0 + i);
        chart->setFooter({QStringLiteral("          MAX:     399.0"),
                          QStringLiteral("          Date:     2024-05-01")});
        bar = new ChartNavigationBar(chart, configFor(window));
        layout->addWidget(chart);
        layout->addWidget(bar);
        widget.resize(900, 650);
        widget.show();
    }

    QPushButton *button(const QString &name) const
    {
        return widget.findChild<QPushButton *>(name);
    }
    void click(const QString &name) const
    {
        QAbstractButton *b = widget.findChild<QAbstractButton *>(name);
        QVERIFY2(b, qPrintable(name));
        QVERIFY2(b->isEnabled(), qPrintable(name));
        QTest::mouseClick(b, Qt::LeftButton);
    }

    QWidget widget;
    DataChart *chart;
    ChartNavigationBar *bar;
};

QString accessibleName(QWidget *w)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(QAccessible::Name) : QString();
}

} // namespace

class TestChartNavigation : public QObject {
    Q_OBJECT
private slots:
    void buttonsPerWindow_data();
    void buttonsPerWindow();
    void arrowButtons();
    void clicks_data();
    void clicks();
    void printGraphIntoANamedPdf();
    void printGraphCancelled();
    void printGraphFailureIsReported();
};

void TestChartNavigation::buttonsPerWindow_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("buttons"); // name=caption, left to right
    QTest::addColumn<bool>("resetEnabled");
    QTest::addColumn<bool>("printEnabled");

    QTest::newRow("import")
        << QStringLiteral("import")
        << QStringList{QStringLiteral("BitBtn6=Print Graph"), QStringLiteral("BitBtn2=Zoom In"),
                       QStringLiteral("BitBtn3=Zoom Out"), QStringLiteral("BitBtn4=ResetZoom")}
        << false << false;
    QTest::newRow("measurement")
        << QStringLiteral("measurement")
        << QStringList{QStringLiteral("BitBtn6=Print Graph"), QStringLiteral("BitBtn3=Zoom In"),
                       QStringLiteral("BitBtn4=Zoom Out"), QStringLiteral("BitBtn5=ResetZoom")}
        << false << false;
    QTest::newRow("data view")
        << QStringLiteral("data view")
        << QStringList{QStringLiteral("BitBtn1=Print Graph"), QStringLiteral("BitBtn2=Zoom In"),
                       QStringLiteral("BitBtn3=Zoom Out"), QStringLiteral("BitBtn4=Reset Zoom")}
        << true << true;
}

void TestChartNavigation::buttonsPerWindow()
{
    QFETCH(QString, window);
    QFETCH(QStringList, buttons);
    QFETCH(bool, resetEnabled);
    QFETCH(bool, printEnabled);

    ChartWindow w(window);
    QVERIFY(QTest::qWaitForWindowExposed(&w.widget));
    int previousRight = -1;
    for (const QString &entry : buttons) {
        const QString name = entry.section(QLatin1Char('='), 0, 0);
        const QString caption = entry.section(QLatin1Char('='), 1);
        QPushButton *b = w.button(name);
        QVERIFY2(b, qPrintable(name));
        QCOMPARE(b->text(), caption);
        // Reachable by its caption.
        QCOMPARE(accessibleName(b), caption);
        QVERIFY(b->geometry().left() > previousRight);
        previousRight = b->geometry().right();
    }
    QCOMPARE(w.bar->printButton()->objectName(), buttons[0].section(QLatin1Char('='), 0, 0));
    QCOMPARE(w.bar->resetButton()->isEnabled(), resetEnabled);
    QCOMPARE(w.bar->printButton()->isEnabled(), printEnabled);
    QVERIFY(w.bar->zoomInButton()->isEnabled());
    QVERIFY(w.bar->zoomOutButton()->isEnabled());
    // The arrows follow the reset button.
    QVERIFY(w.bar->speedButton(1)->geometry().left() > previousRight);
}

void TestChartNavigation::arrowButtons()
{
    ChartWindow w(QStringLiteral("measurement"));
    const struct {
        const char *name;
        Qt::ArrowType arrow;
        const char *accessible;
    } expected[] = {{"SpeedButton1", Qt::LeftArrow, "Left"},
                    {"SpeedButton2", Qt::DownArrow, "Down"},
                    {"SpeedButton3", Qt::UpArrow, "Up"},
                    {"SpeedButton4", Qt::RightArrow, "Right"}};
    int previousRight = -1;
    for (const auto &e : expected) {
        auto *b = w.widget.findChild<QToolButton *>(QLatin1String(e.name));
        QVERIFY2(b, e.name);
        QCOMPARE(b->arrowType(), e.arrow);
        QVERIFY(b->text().isEmpty()); // the glyph only
        QCOMPARE(accessibleName(b), QLatin1String(e.accessible));
        QVERIFY(b->geometry().left() > previousRight);
        previousRight = b->geometry().right();
    }
}

void TestChartNavigation::clicks_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<AxisRange>("left");
    QTest::addColumn<AxisRange>("bottom");
    QTest::addColumn<bool>("resetEnabled");

    const AxisRange openLeft{200.0, 500.0};
    const AxisRange openBottom{0.0, 99.0};
    QTest::newRow("data view: reset right after opening")
        << QStringLiteral("data view") << QStringList{QStringLiteral("BitBtn4")} << openLeft
        << openBottom << false;
    QTest::newRow("measurement: zoom in")
        << QStringLiteral("measurement") << QStringList{QStringLiteral("BitBtn3")}
        << AxisRange{260.0, 440.0} << AxisRange{19.8, 79.2} << true;
    QTest::newRow("measurement: zoom out")
        << QStringLiteral("measurement") << QStringList{QStringLiteral("BitBtn4")}
        << AxisRange{140.0, 560.0} << AxisRange{-19.8, 118.8} << true;
    QTest::newRow("measurement: zoom in, scroll left, reset")
        << QStringLiteral("measurement")
        << QStringList{QStringLiteral("BitBtn3"), QStringLiteral("SpeedButton1"), QStringLiteral("BitBtn5")}
        << openLeft << openBottom << false;
    QTest::newRow("import: scroll up twice enables reset")
        << QStringLiteral("import")
        << QStringList{QStringLiteral("SpeedButton3"), QStringLiteral("SpeedButton3")}
        << AxisRange{140.0, 440.0} << openBottom << true;
    QTest::newRow("import: scroll up twice, reset stays scrolled")
        << QStringLiteral("import")
        << QStringList{QStringLiteral("SpeedButton3"), QStringLiteral("SpeedButton3"), QStringLiteral("BitBtn4")}
        << AxisRange{140.0, 440.0} << openBottom << false;
    QTest::newRow("data view: scrolling leaves reset disabled")
        << QStringLiteral("data view")
        << QStringList{QStringLiteral("BitBtn4"), QStringLiteral("SpeedButton2"), QStringLiteral("SpeedButton4")}
        << AxisRange{230.0, 530.0} << AxisRange{9.9, 108.9} << false;
    QTest::newRow("data view: zoom in, reset, zoom out, reset")
        << QStringLiteral("data view")
        << QStringList{QStringLiteral("BitBtn2"), QStringLiteral("BitBtn4"), QStringLiteral("BitBtn3"),
                       QStringLiteral("BitBtn4")}
        << openLeft << openBottom << false;
}

void TestChartNavigation::clicks()
{
    QFETCH(QString, window);
    QFETCH(QStringList, clicks);
    QFETCH(AxisRange, left);
    QFETCH(AxisRange, bottom);
    QFETCH(bool, resetEnabled);

    ChartWindow w(window);
    for (const QString &name : clicks) {
        w.click(name);
        if (QTest::currentTestFailed())
            return;
    }

    for (ChartAxis axis : {ChartAxis::Left, ChartAxis::Right}) {
        QCOMPARE(w.chart->axisRange(axis).minimum, left.minimum);
        QCOMPARE(w.chart->axisRange(axis).maximum, left.maximum);
    }
    for (ChartAxis axis : {ChartAxis::Bottom, ChartAxis::Top}) {
        QCOMPARE(w.chart->axisRange(axis).minimum, bottom.minimum);
        QCOMPARE(w.chart->axisRange(axis).maximum, bottom.maximum);
    }
    QCOMPARE(w.bar->resetButton()->isEnabled(), resetEnabled);
    // The chart draws what the navigation set.
    QTRY_COMPARE(w.chart->axis(ChartAxis::Left)->min(), left.minimum);
    QCOMPARE(w.chart->axis(ChartAxis::Bottom)->max(), bottom.maximum);
}

void TestChartNavigation::printGraphIntoANamedPdf()
{
    if (SelectedPrinter::systemHasPrinter())
        QSKIP("a printer is installed: the job would go there");
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("graph.pdf"));
    ScriptedDialogs dialogs;
    dialogs.fileAnswers << file;
    ChartWindow w(QStringLiteral("data view"));
    SelectedPrinter::printer().setPageOrientation(QPageLayout::Portrait);

    w.click(QStringLiteral("BitBtn1"));

    QVERIFY2(dialogs.shown.isEmpty(), qPrintable(dialogs.texts().join(QLatin1Char('\n'))));
    QVERIFY(QFile::exists(file));
    QCOMPARE(pdfPageCount(file), 1);
    const QSizeF page = pdfPageSize(file);
    QVERIFY(page.width() > page.height());
    QCOMPARE(pdfInfoField(file, QStringLiteral("Title")), QStringLiteral("Chart1"));
    const QString text = pdfText(file);
    QVERIFY2(text.contains(QLatin1String("Temp. Graph Analyzing")), qPrintable(text));
    QVERIFY(pdfHasLine(text, QStringLiteral("MAX:\\s+399\\.0")));
    QVERIFY(pdfHasLine(text, QStringLiteral("Date:\\s+2024-05-01")));
    QCOMPARE(SelectedPrinter::printer().pageLayout().orientation(), QPageLayout::Portrait);
    const PrintMargins margins = w.chart->printMargins();
    QCOMPARE(QList<int>({margins.left, margins.top, margins.right, margins.bottom}),
             QList<int>({5, 4, 4, 5}));
    QVERIFY(!w.chart->printProportional());
}

void TestChartNavigation::printGraphCancelled()
{
    if (SelectedPrinter::systemHasPrinter())
        QSKIP("a printer is installed: no file is asked for");
    QTemporaryDir dir;
    // The printer still names the file of an earlier job: a cancelled
    // dialog must not print into it.
    QPrinter &printer = SelectedPrinter::printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("earlier.pdf")));
    ScriptedDialogs dialogs; // no file answer: the dialog is cancelled
    ChartWindow w(QStringLiteral("data view"));

    w.click(QStringLiteral("BitBtn1"));

    QVERIFY(dialogs.shown.isEmpty());
    QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

void TestChartNavigation::printGraphFailureIsReported()
{
    if (SelectedPrinter::systemHasPrinter())
        QSKIP("a printer is installed: no file is asked for");
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    dialogs.fileAnswers << dir.filePath(QStringLiteral("no/such/folder/graph.pdf"));
    ChartWindow w(QStringLiteral("data view"));
    SelectedPrinter::printer().setPageOrientation(QPageLayout::Portrait);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(".*")));

    w.click(QStringLiteral("BitBtn1"));

    QCOMPARE(dialogs.shown.size(), 1);
    QCOMPARE(dialogs.shown[0].icon, Dialogs::Icon::Error);
    QVERIFY2(dialogs.shown[0].text.contains(QLatin1String("graph.pdf")), qPrintable(dialogs.shown[0].text));
    QCOMPARE(SelectedPrinter::printer().pageLayout().orientation(), QPageLayout::Portrait);
}

QTEST_MAIN(TestChartNavigation)
#include "tst_chartnavigation.moc"

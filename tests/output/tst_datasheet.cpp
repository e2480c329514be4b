// Data sheet printing: the empty-table message, every row of a long table
// on numbered pages in a PDF, the preview of the command, a layout file
// replaced while the program runs, a missing or broken layout, and the
// printer set-up.
#include "analysis/klgload.h"
#include "devicelink/systemvar.h"
#include "import/GetRecorde.h"
#include "linkfixture.h"
#include "measure/Measuring.h"
#include "modaluser.h"
#include "output/datasheetcommand.h"
#include "output/reportengine.h"
#include "output/selectedprinter.h"
#include "pdfinspection.h"
#include "shell/MAIN.h"
#include "storetestsupport.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QtTest>

namespace {

const QString NoData = QStringLiteral("Have No Data in Database,Can not to Print!");
const QString PrintError = QStringLiteral("Print Error");

QByteArray shippedLayout()
{
    QFile f(QFileInfo(QStringLiteral(KELVORA_PROGRAM_PATH)).dir().filePath(QStringLiteral("Kelvora_en.rav")));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// What a preview showed before it was closed.
struct PreviewSeen {
    bool shown = false;
    int pages = 0;
    QPageLayout::Orientation orientation = QPageLayout::Landscape; // of the selected printer
    QString pdfText; // the sheet as the open project prints it meanwhile
};

} // namespace

class TestDataSheet : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void emptyTablePrintsNothing_data();
    void emptyTablePrintsNothing();
    void everyRowOnNumberedPages();
    void pageRangeChosenInThePrintDialog();
    void commandShowsThePreview();
    void layoutReplacedWhileRunning();
    void missingOrBrokenLayout_data();
    void missingOrBrokenLayout();
    void printerSetupUsesTheSharedPrinter();

private:
    void activate(const QString &name);
    void fill(MeasureTable &table, int rows);
    // Runs "Print Data Sheet" and closes the preview it shows.
    PreviewSeen printThroughCommand();
    QString printToPdf(const QString &name);

    std::unique_ptr<ProgramEnv> m_env;
    std::unique_ptr<TForm6> m_link;
    std::unique_ptr<TForm1> m_form;
};

void TestDataSheet::init()
{
    m_env = std::make_unique<ProgramEnv>();
    m_env->dir.writeFile(QStringLiteral("Kelvora_en.rav"), shippedLayout());
    qputenv("ODBCINI", m_env->dir.path(QStringLiteral("odbc.ini")).toUtf8());
    m_link = std::make_unique<TForm6>();
    m_link->FormCreate();
    SystemVars.companyName = QStringLiteral("Northwind Kilns Ltd");
    m_form = std::make_unique<TForm1>();
    m_form->show();
    m_form->openMeasureWindow([this] { return new TForm5(m_form.get()); });
    m_form->openImportWindow([this] { return new TForm4(m_form.get()); });
    m_form->openAnalyzeWindow([this] { return new TForm7(m_form.get()); });
    // Pages of a known size, whatever the system's default printer.
    SelectedPrinter::printer().setOutputFormat(QPrinter::PdfFormat);
    SelectedPrinter::printer().setPageSize(QPageSize(QPageSize::A4));
}

void TestDataSheet::cleanup()
{
    m_form.reset();
    m_link.reset();
    m_env.reset();
    qunsetenv("ODBCINI");
}

void TestDataSheet::activate(const QString &name)
{
    for (QMdiSubWindow *frame : m_form->ClientArea->subWindowList())
        if (frame->widget()->objectName() == name)
            m_form->ClientArea->setActiveSubWindow(frame);
    QCOMPARE(m_form->activeChild()->objectName(), name);
}

void TestDataSheet::fill(MeasureTable &table, int rows)
{
    QVector<MeasureRecord> records;
    for (int i = 1; i <= rows; ++i)
        records.append(measureRecord(i, 100.0 + i / 10.0));
    m_link->Database1.inBulk([&] { table.appendAll(records); });
}

QString TestDataSheet::printToPdf(const QString &name)
{
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setOutputFileName(m_env->dir.path(name));
    DataSheetComponents::RvProject1().Print(pdf);
    return pdf.outputFileName();
}

PreviewSeen TestDataSheet::printThroughCommand()
{
    PreviewSeen seen;
    ModalUser user([&] {
        auto *preview = shownDialog<QPrintPreviewDialog>();
        if (!preview)
            return false;
        seen.shown = true;
        seen.orientation = SelectedPrinter::printer().pageLayout().orientation();
        if (auto *widget = preview->findChild<QPrintPreviewWidget *>())
            seen.pages = widget->pageCount();
        seen.pdfText = pdfText(printToPdf(QStringLiteral("during-preview.pdf")));
        preview->reject();
        return true;
    });
    m_form->N8Click();
    return seen;
}

void TestDataSheet::emptyTablePrintsNothing_data()
{
    QTest::addColumn<QString>("window");
    QTest::newRow("measurement") << "Form5";
    QTest::newRow("import") << "Form4";
    QTest::newRow("data view") << "Form7";
}

// An empty table: the message, no preview, and the project closed.
void TestDataSheet::emptyTablePrintsNothing()
{
    QFETCH(QString, window);
    fill(m_link->Table1, 0);
    activate(window);
    const PreviewSeen seen = printThroughCommand();
    QVERIFY(!seen.shown);
    QCOMPARE(m_env->dialogs.texts(), QStringList{NoData});
    QCOMPARE(m_env->dialogs.shown.first().caption, PrintError);
    QCOMPARE(m_env->dialogs.shown.first().icon, Dialogs::Icon::Error);
    QVERIFY(!DataSheetComponents::RvProject1().isOpen());
}

// 1,000 rows: every row once, the column titles and the company name on
// every page, and "Page i of n" on each of the n pages.
void TestDataSheet::everyRowOnNumberedPages()
{
    fill(m_link->Table3, 1000);
    TRvProject &project = DataSheetComponents::RvProject1();
    project.setProjectFile(m_env->dir.path(QStringLiteral("Kelvora_en.rav")));
    project.Open();
    DataSheetComponents::RvDataSetConnection1().setDataSet(&m_link->Table3);
    const QString pdf = printToPdf(QStringLiteral("sheet.pdf"));
    project.Close();

    const int pages = pdfPageCount(pdf);
    QVERIFY2(pages > 10 && pages < 40, qPrintable(QString::number(pages)));
    const QStringList pageTexts = pdfText(pdf).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    QCOMPARE(pageTexts.size(), pages);
    QList<int> recnos;
    for (int p = 0; p < pages; ++p) {
        const QString &text = pageTexts.at(p);
        QVERIFY(pdfHasLine(text, QStringLiteral("Page %1 of %2").arg(p + 1).arg(pages)));
        QVERIFY(pdfHasLine(text, QStringLiteral("Northwind Kilns Ltd")));
        QVERIFY(pdfHasLine(text, QStringLiteral("No\\.\\s+Date\\s+Time\\s+Value\\s+Unit\\s+Ems")));
        const QRegularExpression row(
            QStringLiteral("^\\s*(\\d+)\\s+2024-05-01\\s+10:00:\\d\\d\\s+([0-9.]+)\\s+C\\s+0\\.95\\s*$"),
            QRegularExpression::MultilineOption);
        for (auto it = row.globalMatch(text); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            const int recno = m.captured(1).toInt();
            QCOMPARE(m.captured(2).toDouble(), 100.0 + recno / 10.0);
            recnos << recno;
        }
    }
    QList<int> all;
    for (int i = 1; i <= 1000; ++i)
        all << i;
    QCOMPARE(recnos, all);
}

// Pages 2 and 3 chosen in the print dialog: those two pages, numbered as
// in the whole sheet.
void TestDataSheet::pageRangeChosenInThePrintDialog()
{
    fill(m_link->Table3, 300);
    TRvProject &project = DataSheetComponents::RvProject1();
    project.setProjectFile(m_env->dir.path(QStringLiteral("Kelvora_en.rav")));
    project.Open();
    DataSheetComponents::RvDataSetConnection1().setDataSet(&m_link->Table3);
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setOutputFileName(m_env->dir.path(QStringLiteral("range.pdf")));
    pdf.setPrintRange(QPrinter::PageRange);
    pdf.setFromTo(2, 3);
    project.Print(pdf);
    project.Close();

    QCOMPARE(pdfPageCount(pdf.outputFileName()), 2);
    const QStringList pages = pdfText(pdf.outputFileName()).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    QCOMPARE(pages.size(), 2);
    QVERIFY(pdfHasLine(pages.at(0), QStringLiteral("Page 2 of \\d+")));
    QVERIFY(pdfHasLine(pages.at(1), QStringLiteral("Page 3 of \\d+")));
    QVERIFY(!pdfHasLine(pages.at(0), QStringLiteral("1\\s+2024-05-01.*")));
}

// The command previews the active window's table on the selected printer,
// with the layout's page, and closes the project afterwards; the printer
// keeps its own page for "Print Graph".
void TestDataSheet::commandShowsThePreview()
{
    SelectedPrinter::printer().setPageOrientation(QPageLayout::Landscape);
    fill(m_link->Table2, 120);
    fill(m_link->Table3, 5);
    activate(QStringLiteral("Form4"));
    const PreviewSeen seen = printThroughCommand();
    QVERIFY(seen.shown);
    QCOMPARE(seen.orientation, QPageLayout::Portrait);
    QCOMPARE(SelectedPrinter::printer().pageLayout().orientation(), QPageLayout::Landscape);
    QVERIFY(seen.pages >= 2);
    QVERIFY(seen.pdfText.contains(QStringLiteral("Page 1 of %1").arg(seen.pages)));
    QVERIFY(pdfHasLine(seen.pdfText, QStringLiteral("120\\s+2024-05-01.*")));
    QCOMPARE(DataSheetComponents::RvDataSetConnection1().dataSet(), &m_link->Table2);
    QVERIFY(!DataSheetComponents::RvProject1().isOpen());
    QCOMPARE(m_env->dialogs.shown.size(), 0);
}

// The layout is read at every print: a file replaced meanwhile is used by
// the next print.
void TestDataSheet::layoutReplacedWhileRunning()
{
    fill(m_link->Table3, 3);
    activate(QStringLiteral("Form7"));
    QVERIFY(pdfHasLine(printThroughCommand().pdfText, QStringLiteral("Temperature Data Sheet")));

    QByteArray replaced = shippedLayout();
    replaced.replace("Text=Temperature Data Sheet", "Text=Kiln 4 Readings");
    replaced.replace("Value,24", "Reading,24");
    m_env->dir.writeFile(QStringLiteral("Kelvora_en.rav"), replaced);
    const QString text = printThroughCommand().pdfText;
    QVERIFY(pdfHasLine(text, QStringLiteral("Kiln 4 Readings")));
    QVERIFY(text.contains(QStringLiteral("Reading")));
    QVERIFY(!text.contains(QStringLiteral("Temperature Data Sheet")));
}

void TestDataSheet::missingOrBrokenLayout_data()
{
    QTest::addColumn<QByteArray>("layout"); // empty: no file
    QTest::addColumn<QString>("message");   // after "<path>"; "..." at its end: it goes on
    QTest::newRow("missing") << QByteArray() << ": No such file or directory";
    QTest::newRow("broken") << QByteArray("[Page]\nOrientation=Portrait\n[Colums]\n")
                            << ", line 3: unknown section [Colums]";
    QTest::newRow("font size not finite")
        << QByteArray("[Page]\nFontPointSize=nan\n[Columns]\nRecNo=No.,20\n")
        << ", line 2: \"nan\" is not a number from 4 to 72";
    // Each setting is within its bounds, but together they leave no room
    // for a row: printed anyway, the rows ran over the footer.
    QTest::newRow("no room for a row")
        << QByteArray(
               "[Page]\nMarginsMm=15,90,15,90\nFontPointSize=48\n[Title]\nText=Sheet\nFontPointSize=72\n"
               "[Header]\nFields=CompanyName,PrintDate\n[Columns]\nRecNo=No.,20\n[Footer]\nText=Page "
               "{page}\n")
        << ", lines 2, 3, 5, 6, 8, 12: the title, header lines, column titles, one row and the footer need "
           "...";
}

// A layout that cannot be loaded: its message names the file (and line);
// no preview, even with rows to print.
void TestDataSheet::missingOrBrokenLayout()
{
    QFETCH(QByteArray, layout);
    QFETCH(QString, message);
    const QString path = m_env->dir.path(QStringLiteral("Kelvora_en.rav"));
    if (layout.isEmpty())
        QFile::remove(path);
    else
        m_env->dir.writeFile(QStringLiteral("Kelvora_en.rav"), layout);
    fill(m_link->Table3, 3);
    activate(QStringLiteral("Form7"));

    const PreviewSeen seen = printThroughCommand();
    QVERIFY(!seen.shown);
    QCOMPARE(m_env->dialogs.shown.size(), 1);
    const QString expected =
        (layout.isEmpty() ? QStringLiteral("Cannot load report layout ") : QStringLiteral("Report layout ")) +
        path + message;
    const QString shown = m_env->dialogs.shown.first().text;
    if (expected.endsWith(QLatin1String("...")))
        QVERIFY2(shown.startsWith(expected.chopped(3)) &&
                     shown.endsWith(QLatin1String(" mm between its margins")),
                 qPrintable(shown));
    else
        QCOMPARE(shown, expected);
    QCOMPARE(m_env->dialogs.shown.first().caption, PrintError);
    QVERIFY(!DataSheetComponents::RvProject1().isOpen());
}

// "Printer Se&tup" shows the printer dialog for the printer the data sheet
// and "Print Graph" share; cancelling it changes nothing.
void TestDataSheet::printerSetupUsesTheSharedPrinter()
{
    SelectedPrinter::printer().setPageOrientation(QPageLayout::Landscape);
    QPrinter *seen = nullptr;
    QString title;
    ModalUser user([&] {
        auto *dialog = shownDialog<QPrintDialog>();
        if (!dialog)
            return false;
        seen = dialog->printer();
        title = dialog->windowTitle();
        dialog->reject();
        return true;
    });
    m_form->N13->trigger();
    QCOMPARE(seen, &SelectedPrinter::printer());
    QCOMPARE(title, QStringLiteral("Printer Setup"));
    QCOMPARE(SelectedPrinter::printer().pageLayout().orientation(), QPageLayout::Landscape);
}

QTEST_MAIN(TestDataSheet)
#include "tst_datasheet.moc"

// kelvora-cli sheet: the data sheet of a log file as a PDF, the same sheet
// the program's report engine prints for the file, and no PDF when the file
// cannot be read.
#include "cliprocess.h"
#include "devicelink/systemvar.h"
#include "linkfixture.h"
#include "output/reportengine.h"
#include "pdfinspection.h"
#include "store/logfilereader.h"
#include "store/logfilewriter.h"
#include "storetestsupport.h"

#include <QFileInfo>
#include <QPrinter>
#include <QtTest>

#include <memory>

namespace {

// The lines of a sheet's text that carry its data: the rows and the page footers.
QStringList dataLines(const QString &text)
{
    static const QRegularExpression data(
        QStringLiteral("^\\s*(\\d+\\s+\\d{4}-\\d\\d-\\d\\d\\s.*|Page \\d+ of \\d+)$"));
    QStringList out;
    for (const QString &line : text.split(QLatin1Char('\n')))
        if (data.match(line).hasMatch())
            out << line.simplified();
    return out;
}

} // namespace

class TestCliSheet : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void sheetIsTheProgramsSheet_data();
    void sheetIsTheProgramsSheet();
    void failedSheetLeavesNoPdf_data();
    void failedSheetLeavesNoPdf();

private:
    QString path(const QString &name) const { return m_env->dir.path(name); }
    // Loads the file into LoadData as the data view does; the reader's error text, if any.
    QString load(const QString &file, bool celsius);

    std::unique_ptr<ProgramEnv> m_env;
    std::unique_ptr<TForm6> m_link;
};

void TestCliSheet::init()
{
    m_env = std::make_unique<ProgramEnv>();
    m_link = std::make_unique<TForm6>();
    m_link->Database1.open();
    for (MeasureTable *table : {&m_link->Table1, &m_link->Table3})
        table->open();
}

void TestCliSheet::cleanup()
{
    m_link.reset();
    m_env.reset();
}

QString TestCliSheet::load(const QString &file, bool celsius)
{
    try {
        loadLogFile(file, m_link->Database1, m_link->Table3, 1, celsius);
    } catch (const KelvoraError &e) {
        return e.text();
    }
    return QString();
}

void TestCliSheet::sheetIsTheProgramsSheet_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("celsius");
    QTest::addColumn<QString>("firstRow");
    QTest::newRow("unit of the file")
        << QStringList() << true << QStringLiteral("1 2024-05-01 10:00:01 100.1 C 0.95");
    QTest::newRow("Fahrenheit") << QStringList{QStringLiteral("--unit"), QStringLiteral("F")} << false
                                << QStringLiteral("1 2024-05-01 10:00:01 212.2 F 0.95");
}

void TestCliSheet::sheetIsTheProgramsSheet()
{
    QFETCH(QStringList, options);
    QFETCH(bool, celsius);
    QFETCH(QString, firstRow);
    // Enough rows for more than one page.
    QVector<MeasureRecord> records;
    for (int i = 1; i <= 150; ++i)
        records << measureRecord(i, 100.0 + i / 10.0);
    m_link->Database1.inBulk([&] { m_link->Table1.appendAll(records); });
    const QString file = path(QStringLiteral("run.klg"));
    writeLogFile(file, m_link->Table1, LogValueText::OneDecimal);

    const QString pdf = path(QStringLiteral("sheet.pdf"));
    CliProcess cli(path(QString()));
    QVERIFY(cli.run(QStringList{QStringLiteral("sheet"), file, QStringLiteral("-o"), pdf} + options));
    QVERIFY2(cli.endedNormally() && cli.exitCode() == 0, qPrintable(cli.errorText()));
    const QStringList sheet = dataLines(pdfText(pdf));
    QVERIFY(pdfPageCount(pdf) > 1);
    QCOMPARE(sheet.value(0), firstRow);

    // The program's report engine with the same layout on the same rows.
    QCOMPARE(load(file, celsius), QString());
    TRvDataSetConnection connection;
    connection.setDataSet(&m_link->Table3);
    TRvProject project;
    project.setConnection(&connection);
    project.setProjectFile(
        QFileInfo(QStringLiteral(KELVORA_CLI_PATH)).dir().filePath(TForm6::ReportFileName));
    project.Open();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path(QStringLiteral("program.pdf")));
    project.Print(printer);
    QCOMPARE(pdfPageCount(pdf), pdfPageCount(printer.outputFileName()));
    QCOMPARE(sheet, dataLines(pdfText(printer.outputFileName())));
}

void TestCliSheet::failedSheetLeavesNoPdf_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file at all
    QTest::addColumn<QString>("message");    // when the reader itself reports nothing
    const QByteArray header = "@Quellmarkon KLG File\r\n";
    QTest::newRow("missing file") << QByteArray() << QString();
    QTest::newRow("no log file") << QByteArray("garbage\r\n") << QStringLiteral("is no log file");
    QTest::newRow("bad value") << header + "Total:1\r\n2024-05-01,10:00:01,2x.0  ,0.95,C\r\n" << QString();
    QTest::newRow("bad count") << header + "Total:x\r\n" << QString();
    QTest::newRow("no readings") << header + "Total:0\r\n" << QStringLiteral("holds no readings");
}

void TestCliSheet::failedSheetLeavesNoPdf()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    const QString file = path(QStringLiteral("in.klg"));
    if (!content.isEmpty())
        m_env->dir.writeFile(QStringLiteral("in.klg"), content);
    const QString readerError = load(file, true);
    QVERIFY(message.isEmpty() != readerError.isEmpty());

    const QString pdf = path(QStringLiteral("sheet.pdf"));
    CliProcess cli(path(QString()));
    QVERIFY(cli.run({QStringLiteral("sheet"), file, QStringLiteral("-o"), pdf}));
    QVERIFY(cli.endedNormally());
    QCOMPARE(cli.exitCode(), 1);
    const QString expected = readerError.isEmpty() ? message : readerError;
    QVERIFY2(cli.errorText().contains(expected),
             qPrintable(cli.errorText() + QStringLiteral(" / ") + expected));
    QVERIFY(!QFile::exists(pdf));
    QCOMPARE(QDir(path(QString())).entryList({QStringLiteral("*.pdf")}), QStringList());
}

QTEST_MAIN(TestCliSheet)
#include "tst_clisheet.moc"

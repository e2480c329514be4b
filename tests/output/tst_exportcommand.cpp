// The "&Export to Excel" command: the file it writes for each data window,
// the format chosen in the save dialog, its questions before replacing a
// file, a file that cannot be written, tables longer than a sheet, the
// grid's own layout and the real save dialog.
#include "analysis/klgload.h"
#include "biff5records.h"
#include "common/savesuggestion.h"
#include "devicelink/systemvar.h"
#include "filesizelimit.h"
#include "import/GetRecorde.h"
#include "linkfixture.h"
#include "measure/Measuring.h"
#include "measure/measuregrid.h"
#include "modaluser.h"
#include "shell/MAIN.h"
#include "shell/qtdialogs.h"
#include "storetestsupport.h"
#include "store/measuretablemodel.h"
#include "zipmember.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

namespace {

const QString Query = QStringLiteral("Query  Information");
const QString Note = QStringLiteral("提示");
const QString ExportCaption = QStringLiteral("Export Data");
const QString ExportFilters =
    QStringLiteral("*.XLS (*.XLS);;*.xls (*.xls);;Excel workbook (*.xlsx);;CSV (*.csv)");

QByteArray fileContent(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The format of a written file by its content: "xls", "xlsx", "csv" or "?".
QString formatOfContent(const QByteArray &content)
{
    if (content.startsWith("PK\x03\x04"))
        return QStringLiteral("xlsx");
    if (content.startsWith("recno,date,time,value,ems,unit\n"))
        return QStringLiteral("csv");
    const QList<Biff5Record> records = biff5Records(content);
    return !records.isEmpty() && records.first().type == 0x0809 ? QStringLiteral("xls") : QStringLiteral("?");
}

QStringList captions(const ScriptedDialogs &dialogs)
{
    QStringList out;
    for (const ScriptedDialogs::Shown &s : dialogs.shown)
        out << s.caption;
    return out;
}

// Texts of the LABELs of one sheet row, by column.
QMap<int, QByteArray> labelsInRow(const QByteArray &sheet, int row)
{
    QMap<int, QByteArray> labels;
    for (const Biff5Record &r : biff5Records(sheet))
        if (r.type == 0x0204 && r.row() == row)
            labels.insert(r.column(), r.labelText());
    return labels;
}

} // namespace

class TestExportCommand : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void exportsTheActiveWindow_data();
    void exportsTheActiveWindow();
    void choosesTheFormat_data();
    void choosesTheFormat();
    void replacingAFile_data();
    void replacingAFile();
    void emptyTableWritesNothing_data();
    void emptyTableWritesNothing();
    void fullDiskIsReportedAndLeavesTheOldFile_data();
    void fullDiskIsReportedAndLeavesTheOldFile();
    void workbookCutWhileAssembledIsReported();
    void longTableIsCutAtTheSheetEnd_data();
    void longTableIsCutAtTheSheetEnd();
    void followsTheGridsLayout();
    void realSaveDialog_data();
    void realSaveDialog();

private:
    void openWindows();
    void activate(const QString &name);
    void fill(MeasureTable &table, int rows);
    QString path(const QString &name) const { return m_env->dir.path(name); }

    std::unique_ptr<ProgramEnv> m_env;
    std::unique_ptr<TForm6> m_link;
    std::unique_ptr<TForm1> m_form;
};

void TestExportCommand::init()
{
    m_env = std::make_unique<ProgramEnv>();
    qputenv("ODBCINI", m_env->dir.path(QStringLiteral("odbc.ini")).toUtf8());
    m_link = std::make_unique<TForm6>();
    m_link->FormCreate();
    m_form = std::make_unique<TForm1>();
    m_form->show();
    openWindows();
}

void TestExportCommand::cleanup()
{
    m_form.reset();
    m_link.reset();
    m_env.reset();
    qunsetenv("ODBCINI");
}

void TestExportCommand::openWindows()
{
    m_form->openMeasureWindow([this] { return new TForm5(m_form.get()); });
    m_form->openImportWindow([this] { return new TForm4(m_form.get()); });
    m_form->openAnalyzeWindow([this] { return new TForm7(m_form.get()); });
}

void TestExportCommand::activate(const QString &name)
{
    for (QMdiSubWindow *frame : m_form->ClientArea->subWindowList())
        if (frame->widget()->objectName() == name)
            m_form->ClientArea->setActiveSubWindow(frame);
    QCOMPARE(m_form->activeChild()->objectName(), name);
}

void TestExportCommand::fill(MeasureTable &table, int rows)
{
    QVector<MeasureRecord> records;
    for (int i = 1; i <= rows; ++i)
        records.append(measureRecord(i, 20.0 + i / 10.0));
    m_link->Database1.inBulk([&] { table.appendAll(records); });
}

void TestExportCommand::exportsTheActiveWindow_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("table");       // 1 MeaData, 2 GetRecorde, 3 LoadData
    QTest::addColumn<QString>("subject"); // of the suggested file name
    QTest::newRow("measurement") << "Form5" << 1 << "Measure";
    QTest::newRow("import") << "Form4" << 2 << "Import";
    QTest::newRow("data view") << "Form7" << 3 << "Data View";
}

// The file of the window in front holds its table's rows; the name gets
// ".XLS" when it has no extension; the message counts the rows. The dialog
// suggests the window's name and the moment, the extension left to the filter.
void TestExportCommand::exportsTheActiveWindow()
{
    QFETCH(QString, window);
    QFETCH(int, table);
    QFETCH(QString, subject);

    MeasureTable *tables[] = {&m_link->Table1, &m_link->Table2, &m_link->Table3};
    for (int t = 1; t <= 3; ++t)
        fill(*tables[t - 1], t == table ? 4 : 1);
    activate(window);
    m_env->dialogs.fileAnswers << path(QStringLiteral("run"));

    const QDateTime before = QDateTime::currentDateTime();
    m_form->N7->trigger();
    const QDateTime after = QDateTime::currentDateTime();

    const QString written = path(QStringLiteral("run.XLS"));
    QCOMPARE(m_env->dialogs.saveDialogs.size(), 1);
    const QString suggested = m_env->dialogs.suggestedNames.value(0);
    QVERIFY2(suggested == SaveSuggestion::fileName(subject, before, QString()) ||
                 suggested == SaveSuggestion::fileName(subject, after, QString()),
             qPrintable(suggested));
    QCOMPARE(m_env->dialogs.saveDialogs.first().second, ExportFilters);
    QCOMPARE(m_env->dialogs.shown.size(), 1);
    const ScriptedDialogs::Shown &done = m_env->dialogs.shown.first();
    QCOMPARE(done.text, QStringLiteral("Exported  4  records total. \r") + written);
    QCOMPARE(done.caption, ExportCaption);
    QCOMPARE(done.icon, Dialogs::Icon::Information);

    const QList<Biff5Record> records = biff5Records(fileContent(written));
    QCOMPARE(records.size(), 1 + 1 + 6 + 4 * 6 + 1);
    QList<int> recnos;
    for (const Biff5Record &r : records)
        if (r.type == 0x027E)
            recnos << r.rkInteger();
    QCOMPARE(recnos, (QList<int>{1, 2, 3, 4}));
    QVERIFY(!QApplication::overrideCursor());
}

void TestExportCommand::choosesTheFormat_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("format");
    const QString xlsUpper = QStringLiteral("*.XLS (*.XLS)");
    const QString xlsLower = QStringLiteral("*.xls (*.xls)");
    const QString xlsx = QStringLiteral("Excel workbook (*.xlsx)");
    const QString csv = QStringLiteral("CSV (*.csv)");
    QTest::newRow("no extension, XLS") << "run" << xlsUpper << "run.XLS"
                                       << "xls";
    QTest::newRow("no extension, xls") << "run" << xlsLower << "run.xls"
                                       << "xls";
    QTest::newRow("no extension, workbook") << "run" << xlsx << "run.xlsx"
                                            << "xlsx";
    QTest::newRow("no extension, CSV") << "run" << csv << "run.csv"
                                       << "csv";
    QTest::newRow(".xlsx typed, XLS") << "run.xlsx" << xlsUpper << "run.xlsx"
                                      << "xlsx";
    QTest::newRow(".XLSX typed, CSV") << "run.XLSX" << csv << "run.XLSX"
                                      << "xlsx";
    QTest::newRow(".CSV typed, workbook") << "run.CSV" << xlsx << "run.CSV"
                                          << "csv";
    QTest::newRow(".xls typed, workbook") << "run.xls" << xlsx << "run.xls"
                                          << "xls";
    QTest::newRow("other extension, workbook") << "run.2024" << xlsx << "run.2024"
                                               << "xlsx";
    QTest::newRow("other extension, XLS") << "run.2024" << xlsUpper << "run.2024"
                                          << "xls";
}

// An extension typed chooses the format, else the filter selected, whose
// extension a name without one gets. The .csv reads as the measurement
// window's log file: one decimal.
void TestExportCommand::choosesTheFormat()
{
    QFETCH(QString, typed);
    QFETCH(QString, filter);
    QFETCH(QString, written);
    QFETCH(QString, format);

    fill(m_link->Table1, 10);
    activate(QStringLiteral("Form5"));
    m_env->dialogs.fileAnswers << path(typed);
    m_env->dialogs.filterAnswers << filter;

    m_form->N7Click();

    const QString file = path(written);
    QCOMPARE(m_env->dialogs.texts(), QStringList{QStringLiteral("Exported  10  records total. \r") + file});
    QCOMPARE(QDir(m_env->dir.path(QString())).entryList({QStringLiteral("run*")}, QDir::Files),
             QStringList{written});
    const QByteArray content = fileContent(file);
    QCOMPARE(formatOfContent(content), format);
    if (format == QLatin1String("csv"))
        QVERIFY2(content.contains("\n10,2024-05-01,10:00:10,21.0,0.95,C\n"), content.constData());
}

void TestExportCommand::replacingAFile_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<bool>("undeletable"); // a directory of that name
    QTest::addColumn<QList<Dialogs::Button>>("answers");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<bool>("written");
    using B = QList<Dialogs::Button>;
    QTest::newRow("new file") << false << false << B{} << QStringList{ExportCaption} << true;
    QTest::newRow("No to the command") << true << false << B{Dialogs::No} << QStringList{Query} << false;
    QTest::newRow("Yes to the command")
        << true << false << B{Dialogs::Yes} << QStringList{Query, ExportCaption} << true;
    QTest::newRow("still there, No") << true << true << B{Dialogs::Yes, Dialogs::No}
                                     << QStringList{Query, Note} << false;
    QTest::newRow("still there, Yes, cannot write")
        << true << true << B{Dialogs::Yes, Dialogs::Yes} << QStringList{Query, Note, ExportCaption} << false;
}

// The command asks before replacing a file; the component asks again, No
// being its default, only when what is there is no file that the new one
// can replace. A No writes nothing and reports nothing.
void TestExportCommand::replacingAFile()
{
    QFETCH(bool, exists);
    QFETCH(bool, undeletable);
    QFETCH(QList<Dialogs::Button>, answers);
    QFETCH(QStringList, boxes);
    QFETCH(bool, written);

    fill(m_link->Table3, 3);
    activate(QStringLiteral("Form7"));
    const QString file = path(QStringLiteral("sheet.xls"));
    if (undeletable)
        QVERIFY(QDir(m_env->dir.path(QString())).mkdir(QStringLiteral("sheet.xls")));
    else if (exists)
        m_env->dir.writeFile(QStringLiteral("sheet.xls"), "old");
    m_env->dialogs.fileAnswers << file;
    m_env->dialogs.answers = answers;
    QList<bool> hourglass;
    m_env->dialogs.holdOpen(2000, [&] {
        hourglass << (QApplication::overrideCursor() &&
                      QApplication::overrideCursor()->shape() == Qt::WaitCursor);
        return true;
    });

    m_form->N7Click();

    QCOMPARE(captions(m_env->dialogs), boxes);
    const QList<ScriptedDialogs::Shown> &shown = m_env->dialogs.shown;
    if (exists)
        QCOMPARE(shown.at(0).text, file + QStringLiteral("  already exists!\rDo you want to replace it?"));
    if (boxes.contains(Note)) {
        const ScriptedDialogs::Shown &note = shown.at(1);
        QCOMPARE(note.text, QStringLiteral("已存在文件（%1），是否覆盖？").arg(file));
        QCOMPARE(note.icon, Dialogs::Icon::Question);
        QCOMPARE(note.defaultButton, Dialogs::No);
        QVERIFY(hourglass.value(1));
    }
    if (undeletable && boxes.last() == ExportCaption) {
        QCOMPARE(shown.last().icon, Dialogs::Icon::Error);
        QVERIFY2(shown.last().text.startsWith(QStringLiteral("Cannot write file ") + file),
                 qPrintable(shown.last().text));
    }
    if (written)
        QCOMPARE(biff5Records(fileContent(file)).size(), 1 + 1 + 6 + 3 * 6 + 1);
    else if (exists && !undeletable)
        QCOMPARE(fileContent(file), QByteArray("old"));
    QVERIFY(!QApplication::overrideCursor());
}

void TestExportCommand::emptyTableWritesNothing_data()
{
    QTest::addColumn<QByteArray>("oldFile"); // null: none

    QTest::newRow("no file of that name") << QByteArray();
    QTest::newRow("an earlier export") << QByteArray("earlier sheet");
}

// An empty table gives no file: the command says so at once, asks for no
// name, and an earlier export of the name stays as it was.
void TestExportCommand::emptyTableWritesNothing()
{
    QFETCH(QByteArray, oldFile);
    activate(QStringLiteral("Form7"));
    const QString file = path(QStringLiteral("empty.xls"));
    if (!oldFile.isNull())
        m_env->dir.writeFile(QStringLiteral("empty.xls"), oldFile);
    m_env->dialogs.fileAnswers << file;
    m_env->dialogs.answers = {Dialogs::Yes};

    m_form->N7Click();

    QCOMPARE(m_env->dialogs.texts(), QStringList{QStringLiteral("There are no records to export.")});
    QCOMPARE(m_env->dialogs.shown.first().icon, Dialogs::Icon::Information);
    QCOMPARE(m_env->dialogs.shown.first().caption, ExportCaption);
    QCOMPARE(m_env->dialogs.fileAnswers, QStringList{file});
    if (oldFile.isNull())
        QVERIFY(!QFileInfo::exists(file));
    else
        QCOMPARE(fileContent(file), oldFile);
    QVERIFY(!QApplication::overrideCursor());
}

void TestExportCommand::fullDiskIsReportedAndLeavesTheOldFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("oldFile"); // empty: none
    for (const char *name : {"big.xls", "big.xlsx", "big.csv"}) {
        QTest::addRow("%s, new file", name) << name << QByteArray();
        QTest::addRow("%s, Yes to replacing", name) << name << QByteArrayLiteral("old sheet");
    }
}

// A disk that fills up during the export: the reason is shown, no
// "Exported" message follows, no temporary file is left, and a file the
// user agreed to replace is still there as it was.
void TestExportCommand::fullDiskIsReportedAndLeavesTheOldFile()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, oldFile);
    fill(m_link->Table2, 5000);
    activate(QStringLiteral("Form4"));
    QTemporaryDir out;
    const QString file = QDir(out.path()).filePath(name);
    QStringList files;
    if (!oldFile.isEmpty()) {
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write(oldFile) == oldFile.size());
        old.close();
        files << name;
        m_env->dialogs.answers << Dialogs::Yes;
    }
    m_env->dialogs.fileAnswers << file;
    {
        FileSizeLimit limit(16 * 1024);
        QVERIFY(limit.active());
        m_form->N7Click();
    }
    QCOMPARE(m_env->dialogs.shown.size(), files.size() + 1);
    const ScriptedDialogs::Shown &error = m_env->dialogs.shown.last();
    QCOMPARE(error.caption, ExportCaption);
    QCOMPARE(error.icon, Dialogs::Icon::Error);
    QVERIFY2(error.text.contains(QStringLiteral("File too large")), qPrintable(error.text));
    QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), files);
    if (!oldFile.isEmpty())
        QCOMPARE(fileContent(file), oldFile);
}

// The library puts the sheet together from its rows in a temporary file at
// the end: a disk that fills up just then, when the rows fitted, leaves a
// sheet without its last bytes, which the export must not call written.
void TestExportCommand::workbookCutWhileAssembledIsReported()
{
    fill(m_link->Table2, 5000);
    activate(QStringLiteral("Form4"));
    QTemporaryDir out;
    const QString whole = QDir(out.path()).filePath(QStringLiteral("whole.xlsx"));
    m_env->dialogs.fileAnswers << whole;
    m_form->N7Click();
    const qint64 sheetSize = zipMember(whole, "xl/worksheets/sheet1.xml").size();
    QVERIFY(sheetSize > 16 * 1024);
    QVERIFY(QFile::remove(whole));
    m_env->dialogs.shown.clear();

    const QString file = QDir(out.path()).filePath(QStringLiteral("cut.xlsx"));
    m_env->dialogs.fileAnswers << file;
    {
        FileSizeLimit limit(sheetSize - 20);
        QVERIFY(limit.active());
        m_form->N7Click();
    }
    QCOMPARE(m_env->dialogs.texts(),
             QStringList{
                 QStringLiteral("Cannot write file %1: the workbook was not written completely").arg(file)});
    QCOMPARE(m_env->dialogs.shown.first().icon, Dialogs::Icon::Error);
    QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestExportCommand::longTableIsCutAtTheSheetEnd_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("xls")
        << "long.xls"
        << "Exported  65534 of 70000  records total. \rA sheet holds no more than 65534 rows.\r";
    QTest::newRow("xlsx") << "long.xlsx"
                          << "Exported  70000  records total. \r";
}

// 70,000 rows: the .xls takes 65,534 and the message says how many of how
// many; the workbook takes them all.
void TestExportCommand::longTableIsCutAtTheSheetEnd()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    fill(m_link->Table3, 70000);
    activate(QStringLiteral("Form7"));
    const QString file = path(name);
    m_env->dialogs.fileAnswers << file;

    m_form->N7Click();

    QCOMPARE(m_env->dialogs.texts(), QStringList{message + file});
    if (name.endsWith(QLatin1String(".xls"))) {
        QCOMPARE(biff5Records(fileContent(file)).size(), 1 + 1 + 6 + 65534 * 6 + 1);
    } else {
        const QByteArray xml = zipMember(file, "xl/worksheets/sheet1.xml");
        QVERIFY(xml.contains("<row r=\"70001\""));
        QVERIFY(!xml.contains("<row r=\"70002\""));
    }
}

// A column moved and one hidden in the window's grid: the titles follow the
// grid's order, and the table's fields keep that order afterwards.
void TestExportCommand::followsTheGridsLayout()
{
    fill(m_link->Table3, 2);
    activate(QStringLiteral("Form7"));
    auto *grid = m_form->activeChild()->findChild<MeasureGrid *>(QStringLiteral("DBGridEh1"));
    QVERIFY(grid);
    grid->horizontalHeader()->moveSection(MeasureTableModel::Date, 0);
    grid->setColumnHidden(MeasureTableModel::Ems, true);
    const QString file = path(QStringLiteral("layout.xls"));
    m_env->dialogs.fileAnswers << file;

    m_form->N7Click();

    QCOMPARE(labelsInRow(fileContent(file), 1),
             (QMap<int, QByteArray>{{0, "Date"}, {1, "RecNo"}, {2, "MeaValue"}, {3, "Unit"}, {5, "Time"}}));
    QCOMPARE(labelsInRow(fileContent(file), 2).value(0), QByteArray("2024-05-01"));
    const TableFields &fields = m_link->Table3.fields();
    QCOMPARE(fields.at(0).name, QStringLiteral("date"));
    QVERIFY(!fields.at(fields.indexOf(QStringLiteral("ems"))).visible);
}

void TestExportCommand::realSaveDialog_data()
{
    QTest::addColumn<QString>("filter"); // empty: the one the dialog opens with
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("format");
    QTest::newRow("first filter, replacing") << ""
                                             << "typed"
                                             << "typed.XLS"
                                             << "xls";
    QTest::newRow("workbook filter") << "Excel workbook (*.xlsx)"
                                     << "typed"
                                     << "typed.xlsx"
                                     << "xlsx";
    QTest::newRow("CSV filter, .xls typed") << "CSV (*.csv)"
                                            << "typed.xls"
                                            << "typed.xls"
                                            << "xls";
}

// The product's save dialog: every filter offered, no question or extension
// of its own (the command asks and adds the one of the filter selected).
void TestExportCommand::realSaveDialog()
{
    QFETCH(QString, filter);
    QFETCH(QString, name);
    QFETCH(QString, written);
    QFETCH(QString, format);
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    fill(m_link->Table3, 2);
    activate(QStringLiteral("Form7"));
    m_env->dir.writeFile(QStringLiteral("typed.XLS"), "old");
    QtDialogs real;
    Dialogs::install(&real);

    QStringList filters;
    QString suffix = QStringLiteral("<not seen>");
    QFileDialog::Options options;
    bool typed = false;
    ModalUser user([&] {
        // The command's own question: Yes.
        if (QMessageBox *box = shownDialog<QMessageBox>()) {
            if (box->windowTitle() == Query) {
                box->button(QMessageBox::Yes)->click();
                return false;
            }
            box->button(QMessageBox::Ok)->click();
            return true;
        }
        QFileDialog *dialog = shownDialog<QFileDialog>();
        if (!dialog || typed)
            return false;
        filters = dialog->nameFilters();
        suffix = dialog->defaultSuffix();
        options = dialog->options();
        auto *nameBox = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (!nameBox)
            return false;
        if (!filter.isEmpty())
            dialog->selectNameFilter(filter);
        nameBox->setText(path(name));
        typed = true;
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        return false;
    });

    m_form->N7Click();
    Dialogs::install(&m_env->dialogs);

    QCOMPARE(filters, ExportFilters.split(QStringLiteral(";;")));
    QCOMPARE(suffix, QString());
    QVERIFY(options.testFlag(QFileDialog::DontConfirmOverwrite));
    QCOMPARE(formatOfContent(fileContent(path(written))), format);
    if (written != QLatin1String("typed.XLS"))
        QCOMPARE(fileContent(path(QStringLiteral("typed.XLS"))), QByteArray("old"));
    else
        QCOMPARE(biff5Records(fileContent(path(written))).size(), 1 + 1 + 6 + 2 * 6 + 1);
}

QTEST_MAIN(TestExportCommand)
#include "tst_exportcommand.moc"

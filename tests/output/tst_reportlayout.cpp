// The report layout file: the program's own layout, and the file and line
// named for each kind of mistake.
#include "output/logic/reportlayout.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

class TestReportLayout : public QObject {
    Q_OBJECT
private slots:
    void shippedLayout();
    void mistakesNameTheirLine_data();
    void mistakesNameTheirLine();
    void unreadableFile_data();
    void unreadableFile();
};

// The layout beside the program: title, company name and print date, the
// six columns and page numbers.
void TestReportLayout::shippedLayout()
{
    const QString path =
        QFileInfo(QStringLiteral(KELVORA_PROGRAM_PATH)).dir().filePath(QStringLiteral("Kelvora_en.rav"));
    const ReportLayout layout = ReportLayout::load(path);
    QVERIFY(!layout.title.isEmpty());
    QCOMPARE(layout.header, (QVector<ReportLayout::HeaderField>{ReportLayout::HeaderField::CompanyName,
                                                                ReportLayout::HeaderField::PrintDate}));
    QStringList fields;
    for (const ReportLayout::Column &c : layout.columns)
        fields << c.field;
    QCOMPARE(fields, (QStringList{"RecNo", "Date", "Time", "MeaValue", "Unit", "Ems"}));
    QCOMPARE(layout.footerText(2, 7), QStringLiteral("Page 2 of 7"));
}

void TestReportLayout::mistakesNameTheirLine_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("error");
    const QByteArray columns = "[Columns]\nRecNo=No.,20\n";
    QTest::newRow("unknown section") << QByteArray("# c\n[Pages]\n") + columns
                                     << "line 2: unknown section [Pages]";
    QTest::newRow("unclosed section")
        << QByteArray("[Page\n") + columns << "line 1: \"[Page\" lacks its closing \"]\"";
    QTest::newRow("no equals sign") << columns + "Date Date 20\n"
                                    << "line 3: \"Date Date 20\" is neither a [Section] nor a Key=Value line";
    QTest::newRow("key before a section")
        << QByteArray("Text=x\n") + columns << "line 1: \"Text\" stands before any [Section]";
    QTest::newRow("unknown key") << QByteArray("[Title]\nColour=red\n") + columns
                                 << "line 2: unknown key \"Colour\" in [title]";
    QTest::newRow("orientation") << QByteArray("[Page]\nOrientation=Sideways\n") + columns
                                 << "line 2: Orientation must be Portrait or Landscape, not \"Sideways\"";
    QTest::newRow("margins") << QByteArray("[Page]\nMarginsMm=10,10\n") + columns
                             << "line 2: MarginsMm needs four numbers: left,top,right,bottom";
    QTest::newRow("size not a number") << QByteArray("[Title]\nFontPointSize=big\n") + columns
                                       << "line 2: \"big\" is not a number from 4 to 72";
    // "nan" compares false with both bounds; as a font height it drew the
    // rows off the page.
    QTest::newRow("size not finite") << QByteArray("[Page]\nFontPointSize=nan\n") + columns
                                     << "line 2: \"nan\" is not a number from 4 to 72";
    QTest::newRow("margin not finite") << QByteArray("[Page]\nMarginsMm=10,NaN,10,10\n") + columns
                                       << "line 2: \"NaN\" is not a number from 0 to 100";
    QTest::newRow("unknown field")
        << columns + "Colour=Colour,20\n"
        << "line 3: unknown field \"Colour\" (RecNo, Date, Time, MeaValue, Unit, Ems)";
    QTest::newRow("column without width")
        << QByteArray("[Columns]\nRecNo=No.\n")
        << "line 2: column RecNo needs a title and a width: <title>,<width in mm>";
    QTest::newRow("header field") << QByteArray("[Header]\nFields=CompanyName,Weather\n") + columns
                                  << "line 2: unknown header field \"Weather\" (CompanyName or PrintDate)";
    QTest::newRow("no columns") << QByteArray("[Title]\nText=Sheet\n")
                                << "no columns: the [Columns] section names none";
    QTest::newRow("not a layout") << QByteArray("layout\n")
                                  << "line 1: \"layout\" is neither a [Section] nor a Key=Value line";
}

void TestReportLayout::mistakesNameTheirLine()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, error);
    QString got;
    try {
        ReportLayout::parse(text, QStringLiteral("/opt/k/Kelvora_en.rav"));
    } catch (const ReportLayoutError &e) {
        got = e.text();
    }
    const QString prefix = error.startsWith(QLatin1String("line"))
                               ? QStringLiteral("Report layout /opt/k/Kelvora_en.rav, ")
                               : QStringLiteral("Report layout /opt/k/Kelvora_en.rav: ");
    QCOMPARE(got, prefix + error);
}

void TestReportLayout::unreadableFile_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << false << "No such file or directory";
    // Opens, but every read fails with an I/O error, for root too.
    QTest::newRow("reading fails") << true << "";
}

// The file's name and the reason, never a layout made of what could be read.
void TestReportLayout::unreadableFile()
{
    QFETCH(bool, exists);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Kelvora_en.rav"));
    if (exists)
        QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), path));
    QString got;
    try {
        ReportLayout::load(path);
    } catch (const ReportLayoutError &e) {
        got = e.text();
    }
    const QString prefix = QStringLiteral("Cannot load report layout %1: ").arg(path);
    QVERIFY2(got.startsWith(prefix) && got.size() > prefix.size(), qPrintable(got));
    if (!reason.isEmpty())
        QCOMPARE(got, prefix + reason);
}

QTEST_GUILESS_MAIN(TestReportLayout)
#include "tst_reportlayout.moc"

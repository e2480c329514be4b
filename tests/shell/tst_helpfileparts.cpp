// Reading the parts of a compiled help file: where a help command points,
// the contents file and the compiler's "#SYSTEM" records.
#include "shell/logic/helplocation.h"
#include "shell/logic/helpsitemap.h"

#include <QtTest>

Q_DECLARE_METATYPE(QVector<HelpContentsEntry>)

namespace {

QByteArray record(quint16 code, const QByteArray &data)
{
    QByteArray r;
    r.append(char(code & 0xff)).append(char(code >> 8));
    r.append(char(data.size() & 0xff)).append(char(data.size() >> 8));
    return r + data;
}

} // namespace

class TestHelpFileParts : public QObject {
    Q_OBJECT
private slots:
    void location_data();
    void location();
    void pageUrls();
    void contents_data();
    void contents();
    void contentsCount();
    void systemInfo();
};

void TestHelpFileParts::location_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("page");
    QTest::newRow("backslash in the page") << "/opt/k/readme_en.chm::/readme\\welcome.doc"
                                           << "/opt/k/readme_en.chm"
                                           << "readme/welcome.doc";
    QTest::newRow("slashes") << "a.chm::/x/y.htm"
                             << "a.chm"
                             << "x/y.htm";
    QTest::newRow("no page") << "/opt/k/readme_en.chm"
                             << "/opt/k/readme_en.chm"
                             << "";
    QTest::newRow("empty page") << "a.chm::"
                                << "a.chm"
                                << "";
    QTest::newRow("page with fragment") << "a.chm::/x.htm#alarm"
                                        << "a.chm"
                                        << "x.htm#alarm";
}

void TestHelpFileParts::location()
{
    QFETCH(QString, text);
    QFETCH(QString, file);
    QFETCH(QString, page);
    const HelpLocation parsed = HelpLocation::parse(text);
    QCOMPARE(parsed.file, file);
    QCOMPARE(parsed.page, page);
}

// Links between pages resolve like paths inside the file.
void TestHelpFileParts::pageUrls()
{
    const QUrl welcome = HelpUrl::forPage(QStringLiteral("readme\\welcome.doc"));
    QVERIFY(HelpUrl::isPage(welcome));
    QCOMPARE(HelpUrl::page(welcome), QStringLiteral("readme/welcome.doc"));
    QCOMPARE(HelpUrl::page(welcome.resolved(QUrl(QStringLiteral("setup.htm")))),
             QStringLiteral("readme/setup.htm"));
    QCOMPARE(HelpUrl::page(welcome.resolved(QUrl(QStringLiteral("../top.htm")))), QStringLiteral("top.htm"));
    const QUrl alarm = welcome.resolved(QUrl(QStringLiteral("measuring.htm#alarm")));
    QCOMPARE(HelpUrl::page(alarm), QStringLiteral("readme/measuring.htm"));
    QCOMPARE(alarm.fragment(), QStringLiteral("alarm"));
    QCOMPARE(HelpUrl::forPage(QStringLiteral("readme/measuring.htm#alarm")), alarm);
    QVERIFY(!HelpUrl::isPage(QUrl(QStringLiteral("https://example.org/"))));

    // Only web pages and mail are handed to the desktop.
    for (const char *outside : {"http://example.org/", "HTTPS://example.org/a", "mailto:help@example.org"})
        QVERIFY2(HelpUrl::opensOutside(QUrl(QString::fromLatin1(outside))), outside);
    for (const char *kept : {"file:///etc/passwd", "chm:/readme/x.htm", "smb://host/run.exe",
                             "javascript:x()", "readme.htm", "/etc/passwd", "ftp://example.org/"})
        QVERIFY2(!HelpUrl::opensOutside(QUrl(QString::fromLatin1(kept))), kept);
}

void TestHelpFileParts::contents_data()
{
    QTest::addColumn<QString>("sitemap");
    QTest::addColumn<QVector<HelpContentsEntry>>("entries");

    QTest::newRow("nested lists")
        << "<ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"Welcome\">"
           "<param name=\"Local\" value=\"readme/welcome.doc\"></object>"
           "<li><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"Setting up\"></OBJECT>"
           "<UL><li><object type=\"text/sitemap\"><param name=\"Local\" value=\"readme/setup.htm\">"
           "<param name=\"Name\" value=\"Setup\"></object></UL>"
           "<li><object type=\"text/sitemap\"><param name=\"Name\" value=\"Messages\">"
           "<param name=\"Local\" value=\"readme/messages.htm\"></object></ul>"
        << QVector<HelpContentsEntry>{{"Welcome", "readme/welcome.doc", 0},
                                      {"Setting up", "", 0},
                                      {"Setup", "readme/setup.htm", 1},
                                      {"Messages", "readme/messages.htm", 0}};
    QTest::newRow("site properties and unquoted or single-quoted values")
        << "<object type=\"text/site properties\"><param name=\"Window Styles\" value=\"0x800025\"></object>"
           "<ul><li><object type='text/sitemap'><param name=Name value='A &amp; B &#176;'>"
           "<param name=Local value=a.htm></object></ul>"
        << QVector<HelpContentsEntry>{{QStringLiteral("A & B \u00b0"), "a.htm", 0}};
    QTest::newRow("entry without a name left out")
        << "<ul><li><object type=\"text/sitemap\"><param name=\"Local\" value=\"a.htm\"></object></ul>"
        << QVector<HelpContentsEntry>{};
    QString deep;
    QVector<HelpContentsEntry> capped;
    for (int level = 0; level < 40; ++level) {
        deep += QStringLiteral("<ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"L%1\">"
                               "</object>")
                    .arg(level);
        capped.append({QStringLiteral("L%1").arg(level), "", qMin(level, MaxContentsDepth)});
    }
    QTest::newRow("lists nested 40 deep") << deep << capped;
    QTest::newRow("unbalanced closing lists")
        << "</ul></ul><ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"A\"></object>"
        << QVector<HelpContentsEntry>{{"A", "", 0}};
}

void TestHelpFileParts::contents()
{
    QFETCH(QString, sitemap);
    QFETCH(QVector<HelpContentsEntry>, entries);
    QCOMPARE(parseHelpContents(sitemap), entries);
}

void TestHelpFileParts::contentsCount()
{
    const QString one =
        QStringLiteral("<li><object type=\"text/sitemap\"><param name=\"Name\" value=\"E\"></object>");
    QCOMPARE(parseHelpContents(QStringLiteral("<ul>") + one.repeated(MaxContentsEntries + 50)).size(),
             MaxContentsEntries);
}

void TestHelpFileParts::systemInfo()
{
    const QByteArray version("\x03\x00\x00\x00", 4);
    const QByteArray records = record(9, QByteArray("compiler\0", 9)) +
                               record(2, QByteArray("readme/welcome.doc\0", 19)) +
                               record(3, QByteArray("Kelvora Help\0", 13)) + record(0, "readme_en.hhc");
    const HelpSystemInfo info = parseHelpSystemInfo(version + records);
    QCOMPARE(info.title, QStringLiteral("Kelvora Help"));
    QCOMPARE(info.defaultPage, QStringLiteral("readme/welcome.doc"));
    QCOMPARE(info.contentsFile, QStringLiteral("readme_en.hhc"));

    // A record running past the end stops the reading; what came before stays.
    const QByteArray cut = version + record(3, QByteArray("Title\0", 6)) + record(0, "contents.hhc").left(8);
    const HelpSystemInfo partial = parseHelpSystemInfo(cut);
    QCOMPARE(partial.title, QStringLiteral("Title"));
    QVERIFY(partial.contentsFile.isEmpty());
    QCOMPARE(parseHelpSystemInfo(QByteArray()).title, QString());
}

QTEST_GUILESS_MAIN(TestHelpFileParts)
#include "tst_helpfileparts.moc"

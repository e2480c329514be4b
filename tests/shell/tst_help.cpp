// Help: the loader that binds the viewer once, and the program's help
// window on the built help file: its first page, contents, links and
// history, reuse by a second command, closing with the main window, and
// missing or damaged help files.
#include "common/kelvoraerror.h"
#include "craftedhelpfile.h"
#include "linkfixture.h"
#include "shell/HTMLHelp_Decl.h"
#include "shell/MAIN.h"
#include "shell/chmarchive.h"
#include "shell/helpbrowser.h"
#include "shell/helpviewer.h"
#include "shell/helpwindow.h"
#include "shell/logic/helplocation.h"

#include <QAction>
#include <QDesktopServices>
#include <QTextBlock>
#include <QTreeWidget>
#include <QtTest>

#include <tuple>

namespace {

const QString BuiltHelpFile =
    QFileInfo(QStringLiteral(KELVORA_PROGRAM_PATH)).dir().filePath(QStringLiteral("readme_en.chm"));

// A viewer library of the test's own: it may be missing, or lack its entry.
class FakeLibrary final : public HelpLibrary {
public:
    using Call = std::tuple<QWidget *, QString, unsigned, quintptr>;
    bool available = true;
    bool hasEntry = true;
    int loads = 0;
    QList<Call> calls;
    QWidget window;

    bool load() override
    {
        ++loads;
        return available;
    }
    HtmlHelpFunction resolve(const char *name) override
    {
        if (!hasEntry || qstrcmp(name, "HtmlHelpA") != 0)
            return {};
        return [this](QWidget *caller, const QString &file, unsigned command, quintptr data) -> QWidget * {
            calls.append({caller, file, command, data});
            return command == HH_DISPLAY_TOPIC ? &window : nullptr;
        };
    }
};

// The program's viewer, counting how often it is loaded and initialised.
class CountingLibrary final : public HelpLibrary {
public:
    int loads = 0;
    int initialisations = 0;

    bool load() override
    {
        ++loads;
        return programHelpLibrary().load();
    }
    HtmlHelpFunction resolve(const char *name) override
    {
        HtmlHelpFunction entry = programHelpLibrary().resolve(name);
        return [this, entry](QWidget *caller, const QString &file, unsigned command, quintptr data) {
            initialisations += command == HH_INITIALIZE;
            return entry(caller, file, command, data);
        };
    }
};

// Where a link of the page shown lies in the browser's viewport.
QPoint linkPosition(QTextBrowser *browser, const QString &href)
{
    QTextDocument *document = browser->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().anchorHref() == href) {
                QTextCursor cursor(document);
                cursor.setPosition(fragment.position() + fragment.length() / 2);
                return browser->cursorRect(cursor).center();
            }
        }
    return QPoint(-1, -1);
}

// Records the links the desktop was asked to open, by scheme.
class DesktopLinks : public QObject {
    Q_OBJECT
public:
    explicit DesktopLinks(const QStringList &schemes) : m_schemes(schemes)
    {
        for (const QString &scheme : m_schemes)
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~DesktopLinks() override
    {
        for (const QString &scheme : m_schemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened.append(url); }

private:
    QStringList m_schemes;
};

QString pageShown(const HelpWindow *window)
{
    return HelpUrl::page(window->Browser->source());
}

} // namespace

class TestHelp : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void loaderBindsOnce();
    void viewerThatCannotBeBound_data();
    void viewerThatCannotBeBound();
    void bindingRetriedAfterMissingEntry();

    void helpShowsItsFirstPage();
    void secondHelpCommandReusesTheWindow();
    void linksAndHistory();
    void missingPageInsideTheFile();
    void closingTheMainWindowClosesHelp();
    void closingWithoutHelpBindsNothing();
    void brokenHelpFile_data();
    void brokenHelpFile();
    void missingTopic();
    void nothingIsReadBesideTheHelpFile_data();
    void nothingIsReadBesideTheHelpFile();
    void onlyWebAndMailLinksLeave_data();
    void onlyWebAndMailLinksLeave();

private:
    QList<HelpWindow *> helpWindows() const { return m_form->findChildren<HelpWindow *>(); }
    HelpWindow *showHelp();

    std::unique_ptr<ProgramDir> m_dir;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<CountingLibrary> m_library;
    std::unique_ptr<TForm1> m_form;
};

void TestHelp::init()
{
    QVERIFY2(QFile::exists(BuiltHelpFile), qPrintable(BuiltHelpFile));
    m_dir = std::make_unique<ProgramDir>();
    QVERIFY(QFile::copy(BuiltHelpFile, m_dir->path(QStringLiteral("readme_en.chm"))));
    qputenv("ODBCINI", m_dir->path(QStringLiteral("odbc.ini")).toUtf8());
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_library = std::make_unique<CountingLibrary>();
    HtmlHelpUseLibrary(m_library.get());
    m_form = std::make_unique<TForm1>();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestHelp::cleanup()
{
    m_form.reset();
    HtmlHelpUseLibrary(nullptr);
    m_library.reset();
    m_dialogs.reset();
    m_dir.reset();
    qunsetenv("ODBCINI");
}

HelpWindow *TestHelp::showHelp()
{
    m_form->K1->trigger();
    const QList<HelpWindow *> windows = helpWindows();
    return windows.size() == 1 ? windows.first() : nullptr;
}

// Bound and initialised on the first call; every call passes its
// arguments unchanged and returns the viewer's result.
void TestHelp::loaderBindsOnce()
{
    FakeLibrary library;
    HtmlHelpUseLibrary(&library);
    QVERIFY(!HtmlHelpBound());
    QWidget caller;
    QCOMPARE(HtmlHelp(&caller, QStringLiteral("a.chm::/x.htm"), HH_DISPLAY_TOPIC, 5), &library.window);
    QVERIFY(HtmlHelpBound());
    QCOMPARE(HtmlHelp(nullptr, QString(), HH_CLOSE_ALL, 0), nullptr);

    QCOMPARE(library.loads, 1);
    QCOMPARE(library.calls.size(), 3);
    const auto &[initCaller, initFile, initCommand, cookie] = library.calls[0];
    QCOMPARE(initCaller, nullptr);
    QVERIFY(initFile.isEmpty());
    QCOMPARE(initCommand, HH_INITIALIZE);
    QVERIFY(cookie != 0);
    QCOMPARE(library.calls[1],
             FakeLibrary::Call(&caller, QStringLiteral("a.chm::/x.htm"), HH_DISPLAY_TOPIC, 5));
    QCOMPARE(library.calls[2], FakeLibrary::Call(nullptr, QString(), HH_CLOSE_ALL, 0));
}

void TestHelp::viewerThatCannotBeBound_data()
{
    QTest::addColumn<bool>("available");
    QTest::addColumn<QString>("text");
    QTest::newRow("viewer missing") << false << "HHCtrl.OCX not installed!\r HTMLHELP cannot displayed!";
    QTest::newRow("entry missing") << true << "Function HTMLHELP cannot loaded!";
}

// "Kelvora Help" reports the failure in an error box; the program goes on.
void TestHelp::viewerThatCannotBeBound()
{
    QFETCH(bool, available);
    QFETCH(QString, text);
    FakeLibrary library;
    library.available = available;
    library.hasEntry = false;
    HtmlHelpUseLibrary(&library);

    m_form->K1->trigger();
    QCOMPARE(m_dialogs->texts(), QStringList{text});
    QCOMPARE(m_dialogs->shown.first().icon, Dialogs::Icon::Error);
    QVERIFY(library.calls.isEmpty());
    QVERIFY(!HtmlHelpBound());
    QVERIFY(m_form->isVisible());
}

void TestHelp::bindingRetriedAfterMissingEntry()
{
    FakeLibrary library;
    library.hasEntry = false;
    HtmlHelpUseLibrary(&library);
    QVERIFY_THROWS_EXCEPTION(KelvoraError, HtmlHelp(nullptr, QStringLiteral("a.chm"), HH_DISPLAY_TOPIC, 0));
    library.hasEntry = true;
    QCOMPARE(HtmlHelp(nullptr, QStringLiteral("a.chm"), HH_DISPLAY_TOPIC, 0), &library.window);
    QCOMPARE(library.loads, 1);
    QCOMPARE(library.calls.size(), 2);
    QCOMPARE(std::get<2>(library.calls[0]), HH_INITIALIZE);
}

void TestHelp::helpShowsItsFirstPage()
{
    HelpWindow *window = showHelp();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QVERIFY(m_dialogs->shown.isEmpty());
    QCOMPARE(window->windowTitle(), QStringLiteral("Kelvora Help"));
    QCOMPARE(window->Browser->source(), QUrl(QStringLiteral("chm:/readme/welcome.doc")));
    const QString text = window->Browser->toPlainText();
    QVERIFY2(text.contains(QLatin1String("Welcome to Kelvora")), qPrintable(text.left(200)));
    QVERIFY(text.contains(QLatin1String("Start to Measure")));

    // The contents of the file, with the page shown as the current entry.
    QStringList topLevel;
    for (int i = 0; i < window->Contents->topLevelItemCount(); ++i)
        topLevel << window->Contents->topLevelItem(i)->text(0);
    QCOMPARE(topLevel, (QStringList{"Welcome to Kelvora", "Contents", "Getting started", "Your data",
                                    "Setting up", "Messages and what to do"}));
    QCOMPARE(window->Contents->currentItem()->text(0), QStringLiteral("Welcome to Kelvora"));
    QCOMPARE(m_library->loads, 1);
    QCOMPARE(m_library->initialisations, 1);
}

void TestHelp::secondHelpCommandReusesTheWindow()
{
    HelpWindow *window = showHelp();
    QVERIFY(window);
    QTreeWidgetItem *setup =
        window->Contents->findItems(QStringLiteral("The setup window"), Qt::MatchExactly | Qt::MatchRecursive)
            .value(0);
    QVERIFY(setup);
    window->Contents->setCurrentItem(setup);
    QCOMPARE(pageShown(window), QStringLiteral("readme/setup.htm"));
    window->hide();

    QCOMPARE(showHelp(), window);
    QVERIFY(window->isVisible());
    QCOMPARE(pageShown(window), QStringLiteral("readme/welcome.doc"));
    QCOMPARE(m_library->loads, 1);
    QCOMPARE(m_library->initialisations, 1);
}

void TestHelp::linksAndHistory()
{
    HelpWindow *window = showHelp();
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QVERIFY(!window->Back->isEnabled());

    const QPoint link = linkPosition(window->Browser, QStringLiteral("measuring.htm"));
    QVERIFY(window->Browser->viewport()->rect().contains(link));
    QTest::mouseClick(window->Browser->viewport(), Qt::LeftButton, {}, link);
    QCOMPARE(pageShown(window), QStringLiteral("readme/measuring.htm"));
    QVERIFY(window->Browser->toPlainText().contains(QLatin1String("highalarm.wav")));
    QCOMPARE(window->Contents->currentItem()->text(0), QStringLiteral("Live measurement and the alarm"));

    QVERIFY(window->Back->isEnabled());
    window->Back->trigger();
    QCOMPARE(pageShown(window), QStringLiteral("readme/welcome.doc"));
    QVERIFY(window->Forward->isEnabled());
    window->Forward->trigger();
    QCOMPARE(pageShown(window), QStringLiteral("readme/measuring.htm"));
    window->Home->trigger();
    QCOMPARE(pageShown(window), QStringLiteral("readme/welcome.doc"));
}

// Every page the contents name is in the file; a link to a page that is not
// says so in the window.
void TestHelp::missingPageInsideTheFile()
{
    HelpWindow *window = showHelp();
    QVERIFY(window);
    for (QTreeWidgetItemIterator it(window->Contents); *it; ++it) {
        const QString page = (*it)->data(0, Qt::UserRole).toString();
        if (!page.isEmpty())
            QVERIFY2(window->archive().read(QLatin1Char('/') + page), qPrintable(page));
    }
    window->showPage(QStringLiteral("readme/nowhere.htm"));
    QVERIFY(window->Browser->toPlainText().contains(QLatin1String("has no page \"readme/nowhere.htm\"")));
}

void TestHelp::closingTheMainWindowClosesHelp()
{
    QPointer<HelpWindow> window = showHelp();
    QVERIFY(window);
    // A help window without an owner, of another file, closes too.
    const QString other = m_dir->path(QStringLiteral("other.chm"));
    QVERIFY(QFile::copy(BuiltHelpFile, other));
    QPointer<QWidget> ownerless =
        HtmlHelp(nullptr, other + QStringLiteral("::/readme/units.htm"), HH_DISPLAY_TOPIC, 0);
    QVERIFY(ownerless && ownerless != window);
    m_form->closeProgram();
    QTRY_VERIFY(!window);
    QTRY_VERIFY(!ownerless);
    QCOMPARE(m_library->initialisations, 1);
}

void TestHelp::closingWithoutHelpBindsNothing()
{
    m_form->closeProgram();
    QCOMPARE(m_library->loads, 0);
    QVERIFY(m_dialogs->shown.isEmpty());
}

void TestHelp::brokenHelpFile_data()
{
    QFile built(BuiltHelpFile);
    QVERIFY(built.open(QIODevice::ReadOnly));
    const QByteArray whole = built.readAll();
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("says");
    QTest::newRow("missing") << false << QByteArray() << "does not exist";
    QTest::newRow("empty") << true << QByteArray() << "damaged";
    QTest::newRow("not a help file") << true << QByteArray("<html>not compiled</html>") << "damaged";
    QTest::newRow("cut to a tenth") << true << whole.left(whole.size() / 10) << "damaged";
    QTest::newRow("cut in half") << true << whole.left(whole.size() / 2) << "damaged";
    // Files on which the help library would read for ever.
    // The built file's only listing chunk is chunk 0: its "next" link made 0.
    QByteArray selfLinked = whole;
    selfLinked.replace(whole.indexOf("PMGL") + 0x10, 4, CraftedHelpFile::le(0, 4));
    QTest::newRow("listing chunk linking to itself") << true << selfLinked << "damaged";
    using namespace CraftedHelpFile;
    Directory selfIndexed;
    selfIndexed.depth = 2;
    selfIndexed.root = 1;
    selfIndexed.chunks = {listingChunk(listingEntry("/#SYSTEM", 0, 0, 4), -1),
                          indexChunk(indexEntry("/", 1))};
    selfIndexed.content = QByteArray(4, '\0');
    QTest::newRow("index chunk pointing at itself") << true << archive(selfIndexed) << "damaged";
}

void TestHelp::brokenHelpFile()
{
    QFETCH(bool, present);
    QFETCH(QByteArray, content);
    QFETCH(QString, says);
    const QString file = m_dir->path(QStringLiteral("readme_en.chm"));
    QVERIFY(QFile::remove(file));
    if (present)
        m_dir->writeFile(QStringLiteral("readme_en.chm"), content);

    m_form->K1->trigger();
    QCOMPARE(m_dialogs->shown.size(), 1);
    const QString text = m_dialogs->shown.first().text;
    QVERIFY2(text.contains(QLatin1Char('"') + file + QLatin1Char('"')) && text.contains(says),
             qPrintable(text));
    QCOMPARE(m_dialogs->shown.first().icon, Dialogs::Icon::Error);
    QVERIFY(helpWindows().isEmpty());
}

void TestHelp::missingTopic()
{
    const QString file = m_dir->path(QStringLiteral("readme_en.chm"));
    QCOMPARE(HtmlHelp(m_form.get(), file + QStringLiteral("::/readme\\nothing.htm"), HH_DISPLAY_TOPIC, 0),
             nullptr);
    QCOMPARE(
        m_dialogs->texts(),
        QStringList{QStringLiteral("The help file \"%1\" has no page \"readme/nothing.htm\".").arg(file)});
    QVERIFY(helpWindows().isEmpty());
}

void TestHelp::nothingIsReadBesideTheHelpFile_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("absolute"); // a file: URL, else a path relative to the page
    QTest::newRow("picture by file: URL") << int(QTextDocument::ImageResource) << true;
    QTest::newRow("style sheet by file: URL") << int(QTextDocument::StyleSheetResource) << true;
    QTest::newRow("page by file: URL") << int(QTextDocument::HtmlResource) << true;
    QTest::newRow("picture by a path up and out") << int(QTextDocument::ImageResource) << false;
}

// A page that names a local file gets nothing of it, as it gets nothing of
// a device or pipe that would never answer.
void TestHelp::nothingIsReadBesideTheHelpFile()
{
    QFETCH(int, type);
    QFETCH(bool, absolute);
    HelpWindow *window = showHelp();
    QVERIFY(window);
    const QString secret = m_dir->path(QStringLiteral("secret.png"));
    m_dir->writeFile(QStringLiteral("secret.png"), "not for the help window");
    const QUrl source = window->Browser->source();
    const QUrl url = absolute ? QUrl::fromLocalFile(secret)
                              : source.resolved(QUrl(QStringLiteral("../../../../..") + secret));
    QVERIFY(window->Browser->loadResource(type, url).toByteArray().isEmpty());

    // Also when a page of the file shows it.
    window->Browser->setHtml(QStringLiteral("<p>x</p><img src=\"%1\">").arg(url.toString()));
    QVERIFY(window->Browser->document()->resource(type, url).toByteArray().isEmpty());
}

void TestHelp::onlyWebAndMailLinksLeave_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("leaves");
    QTest::newRow("https") << "https://example.org/kelvora" << true;
    QTest::newRow("http") << "http://example.org/" << true;
    QTest::newRow("mailto") << "mailto:help@example.org" << true;
    QTest::newRow("file") << "file:///etc/passwd" << false;
    QTest::newRow("FILE in capitals") << "FILE:///bin/sh" << false;
    QTest::newRow("another scheme") << "smb://host/share/run.exe" << false;
}

void TestHelp::onlyWebAndMailLinksLeave()
{
    QFETCH(QString, link);
    QFETCH(bool, leaves);
    DesktopLinks desktop({"http", "https", "mailto", "file", "smb"});
    HelpWindow *window = showHelp();
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->Browser->setHtml(QStringLiteral("<p><a href=\"%1\">the link</a></p>").arg(link));
    const QPoint at = linkPosition(window->Browser, link);
    QVERIFY(window->Browser->viewport()->rect().contains(at));
    QTest::mouseClick(window->Browser->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(desktop.opened, leaves ? QList<QUrl>{QUrl(link)} : QList<QUrl>{});
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"

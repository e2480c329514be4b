#include "MAIN.h"

#include "common/dialogs.h"
#include "common/kelvoraerror.h"
#include "common/apppaths.h"
#include "devicelink/systemvar.h"
#include "HTMLHelp_Decl.h"
#include "pictures.h"
#include "statuspanels.h"

#include <QAbstractButton>
#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QWindow>

namespace {

const QString ConnectedText = QStringLiteral("Connect OK!");
const QString DisconnectedText = QStringLiteral("Disconnect!");

// A button of a child window by its component name.
QAbstractButton *button(const QWidget *window, const char *name)
{
    return window->findChild<QAbstractButton *>(QLatin1String(name));
}

bool visibleButton(const QWidget *window, const char *name)
{
    const QAbstractButton *b = button(window, name);
    return b && b->isVisibleTo(window);
}

bool enabledButton(const QWidget *window, const char *name)
{
    const QAbstractButton *b = button(window, name);
    return b && b->isEnabled();
}

} // namespace

TForm1::TForm1(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Kelvora 1.02"));
    setWindowIcon(programIcon());

    ClientArea = new QMdiArea(this);
    ClientArea->setObjectName(QStringLiteral("ClientArea"));
    // The setup and About windows keep their size in front of a maximised data window.
    ClientArea->setOption(QMdiArea::DontMaximizeSubWindowOnActivation);
    setCentralWidget(ClientArea);
    // A newly active child changes which commands apply at once, not a second later.
    connect(ClientArea, &QMdiArea::subWindowActivated, this,
            [this] { guardedHandler([this] { FormPaint(); }); });

    createMenus();
    createToolBar();
    createStatusBar();

    Timer1.setObjectName(QStringLiteral("Timer1"));
    connect(&Timer1, &ComponentTimer::timeout, this, [this] { guardedHandler([this] { Timer1Timer(); }); });
    Timer1.setInterval(RefreshIntervalMs);
    Timer1.setEnabled(true);

    FormCreate();
}

TForm1::~TForm1()
{
    // The child windows go after this destructor: their activation changes
    // must not reach a half-destroyed window.
    disconnect(ClientArea, nullptr, this, nullptr);
}

void TForm1::FormCreate()
{
    placeOnScreen();

    SystemVars.aboutMenuEnabled = true;
    createWindowEntries();
}

// The window, its frame included, takes the full width of the screen and its
// height less 20 pixels, from the screen's top left corner, so that no border
// lies off screen. The frame's size is known only once the platform window
// exists, so the first showing places the window again.
void TForm1::placeOnScreen()
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect frame(screen.topLeft(), QSize(screen.width(), screen.height() - 20));
    const QWindow *window = windowHandle();
    setGeometry(frame.marginsRemoved(window ? window->frameMargins() : QMargins()));
}

void TForm1::FormPaint()
{
    TSystemVars &v = SystemVars;
    N19->setChecked(true);
    N18->setChecked(false);

    menumeasure->setText(QStringLiteral("Real Time Measure  Window"));
    menuanalyze->setText(QStringLiteral("Reprot Analyzing Window"));
    importdata->setText(QStringLiteral("Data Import Window"));

    StatusBar1->setPanelText(1, v.connected ? ConnectedText : DisconnectedText);

    const QWidget *active = activeChild();
    for (const auto &[window, entry] :
         {std::pair{v.measureWindow, menumeasure}, std::pair{v.importWindow, importdata},
          std::pair{v.analyzeWindow, menuanalyze}})
        if (window)
            entry->setChecked(window == active);

    applyMenuState(MenuStateRules::decide(situation()));
}

MenuStateRules::Situation TForm1::situation() const
{
    const TSystemVars &v = SystemVars;
    MenuStateRules::Situation s;
    if (const QWidget *child = activeChild()) {
        s.activeChild = child->objectName();
        s.startButtonVisible = visibleButton(child, "BitBtn1");
        s.measureSaveEnabled = enabledButton(child, "BitBtn7");
        s.importSaveEnabled = enabledButton(child, "BitBtn5");
    }
    s.measureTableEmpty = !Form6 || Form6->Table1.isEmpty();
    s.downloadTableEmpty = !Form6 || Form6->Table2.isEmpty();
    s.measureMenuEnabled = v.measureMenuEnabled;
    s.importMenuEnabled = v.importMenuEnabled;
    s.setupMenuEnabled = v.setupMenuEnabled;
    s.aboutMenuEnabled = v.aboutMenuEnabled;
    s.removeMeasureItem = v.removeMeasureItem;
    s.removeImportItem = v.removeImportItem;
    s.removeAnalyzeItem = v.removeAnalyzeItem;
    return s;
}

void TForm1::applyMenuState(const MenuStateRules::Decision &d)
{
    TSystemVars &v = SystemVars;
    for (const auto &[remove, flag, entry] :
         {std::tuple{d.removeImportEntry, &v.removeImportItem, importdata},
          std::tuple{d.removeAnalyzeEntry, &v.removeAnalyzeItem, menuanalyze},
          std::tuple{d.removeMeasureEntry, &v.removeMeasureItem, menumeasure}}) {
        if (remove) {
            *flag = false;
            N20->removeAction(entry);
        }
    }
    A1->setEnabled(d.about);
    N3->setEnabled(d.realTimeMeasure);
    N5->setEnabled(d.systemSetup);
    N16->setEnabled(d.importData);
    N7->setEnabled(d.exportToExcel);
    N8->setEnabled(d.printDataSheet);
    N15->setEnabled(d.save);
}

void TForm1::Timer1Timer()
{
    TSystemVars &v = SystemVars;
    FormPaint();
    StatusBar1->setPanelText(2, v.unitCelsius ? QStringLiteral("Unit C") : QStringLiteral("Unit F"));
    if (StatusBar1->panelText(3) != v.companyName) {
        StatusBar1->setPanelText(3, v.companyName);
        StatusBar1->redraw();
    }
    if (v.connected != v.lastShownConnected) {
        showLinkState();
        v.lastShownConnected = v.connected;
    }
}

void TForm1::showLinkState()
{
    StatusBar1->setPictureDescription(SystemVars.connected ? QStringLiteral("Computer and thermometer")
                                                           : QStringLiteral("Computer"));
    StatusBar1->redraw();
}

void TForm1::StatusBar1DrawPanel(QPainter &painter, const QRect &rect)
{
    const QSize size(StatusPictureSize, StatusPictureSize);
    statusPicture(StatusPicture::Computer).paint(&painter, QRect(rect.topLeft(), size));
    if (SystemVars.connected)
        statusPicture(StatusPicture::Thermometer)
            .paint(&painter, QRect(QPoint(rect.right() + 1 - 20, rect.top()), size));
}

void TForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shownBefore) {
        m_shownBefore = true;
        placeOnScreen();
    }
    // The status bar shows the state of the moment the window appears.
    guardedHandler([this] { Timer1Timer(); });
}

void TForm1::paintEvent(QPaintEvent *event)
{
    QMainWindow::paintEvent(event);
    guardedHandler([this] { FormPaint(); });
}

QWidget *TForm1::activeChild() const
{
    const QMdiSubWindow *sub = ClientArea->currentSubWindow();
    return sub ? sub->widget() : nullptr;
}

void TForm1::N15Click()
{
    QWidget *child = activeChild();
    if (!child)
        return;
    const char *save = child->objectName() == QLatin1String("Form5")   ? "BitBtn7"
                       : child->objectName() == QLatin1String("Form4") ? "BitBtn5"
                                                                       : nullptr;
    if (QAbstractButton *b = save ? button(child, save) : nullptr)
        b->click();
}

void TForm1::N9Click()
{
    if (FormCloseQuery() && closeUnsavedDataWindows())
        closeProgram();
}

bool TForm1::FormCloseQuery()
{
    return Dialogs::instance().message(QStringLiteral("Are You Sure to Exit This Program?"),
                                       QStringLiteral("System Exit Query"), Dialogs::Icon::Question,
                                       Dialogs::Yes | Dialogs::No) == Dialogs::Yes;
}

void TForm1::closeProgram()
{
    m_exitConfirmed = true;
    close();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    // A signal (m_exitConfirmed without a question) ends the program without
    // asking: the crash recovery keeps the live readings.
    bool mayClose = m_exitConfirmed;
    guardedHandler([&] { mayClose = mayClose || (FormCloseQuery() && closeUnsavedDataWindows()); });
    if (!mayClose) {
        event->ignore();
        return;
    }
    guardedHandler([this] { FormClose(); });
    event->accept();
}

void TForm1::K1Click()
{
    HtmlHelp(this,
             AppPaths::besideExecutable(QStringLiteral("readme_en.chm")) +
                 QStringLiteral("::/readme\\welcome.doc"),
             HH_DISPLAY_TOPIC, 0);
}

void TForm1::FormClose()
{
    Timer1.setEnabled(false);
    // Closing help binds no viewer when help was never shown.
    if (HtmlHelpBound())
        HtmlHelp(nullptr, QString(), HH_CLOSE_ALL, 0);
    if (Form6)
        Form6->FormClose();
    QCoreApplication::quit();
}

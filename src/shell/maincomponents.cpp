// The main window's components: menus, tool bar and status bar.
#include "MAIN.h"

#include "common/kelvoraerror.h"
#include "pictures.h"
#include "statuspanels.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStyleOption>
#include <QToolBar>
#include <QToolButton>

namespace {

constexpr QSize ToolButtonSize(39, 38);

// A gap of a given width between groups of tool buttons, with a groove in its middle.
class ToolSeparator final : public QWidget {
public:
    ToolSeparator(const char *name, int width, QWidget *parent) : QWidget(parent)
    {
        setObjectName(QLatin1String(name));
        setFixedSize(width, ToolButtonSize.height());
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        QStyleOption option;
        option.initFrom(this);
        option.rect = QRect(width() / 2 - 3, 4, 6, height() - 8);
        option.state |= QStyle::State_Horizontal;
        style()->drawPrimitive(QStyle::PE_IndicatorToolBarSeparator, &option, &painter, this);
    }
};

QString withoutAccessKey(QString caption)
{
    return caption.remove(QLatin1Char('&'));
}

} // namespace

void TForm1::connectHandler(QAction *action, Handler handler)
{
    connect(action, &QAction::triggered, this,
            [this, handler] { guardedHandler([this, handler] { (this->*handler)(); }); });
}

QAction *TForm1::addCommand(QMenu *menu, const char *name, const QString &caption, const QString &hint,
                            Handler handler)
{
    auto *action = new QAction(caption, this);
    action->setObjectName(QLatin1String(name));
    if (!hint.isEmpty()) {
        action->setToolTip(hint);
        action->setStatusTip(hint);
    }
    if (handler)
        connectHandler(action, handler);
    menu->addAction(action);
    return action;
}

QAction *TForm1::addSeparator(QMenu *menu, const char *name)
{
    QAction *separator = menu->addSeparator();
    separator->setObjectName(QLatin1String(name));
    return separator;
}

void TForm1::createMenus()
{
    const auto addMenu = [this](QMenu *parent, const char *name, const QString &caption) {
        QMenu *menu = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
        menu->setObjectName(QLatin1String(name));
        return menu;
    };

    F1 = addMenu(nullptr, "F1", QStringLiteral("&File"));
    N3 = addCommand(F1, "N3", QStringLiteral("&Real Time Measure"), QStringLiteral("Real Time Measure"),
                    &TForm1::N3Click);
    N6 = addCommand(F1, "N6", QStringLiteral("&Open"), QStringLiteral("Open"), &TForm1::N6Click);
    N15 = addCommand(F1, "N15", QStringLiteral("&Save"), QStringLiteral("Save"), &TForm1::N15Click);
    N11 = addSeparator(F1, "N11");
    N16 = addCommand(F1, "N16", QStringLiteral("&Import Data"), QStringLiteral("Import Data"),
                     &TForm1::N16Click);
    N7 = addCommand(F1, "N7", QStringLiteral("&Export to Excel"), QStringLiteral("Export to Excel"),
                    &TForm1::N7Click);
    N4 = addSeparator(F1, "N4");
    N13 = addCommand(F1, "N13", QStringLiteral("Printer Se&tup"), QString(), &TForm1::N13Click);
    N8 = addCommand(F1, "N8", QStringLiteral("Print &Data Sheet"), QStringLiteral("Print Data Sheet"),
                    &TForm1::N8Click);
    N10 = addSeparator(F1, "N10");
    N9 = addCommand(F1, "N9", QStringLiteral("E&xit"), QStringLiteral("Exit"), &TForm1::N9Click);

    N14 = addMenu(nullptr, "N14", QStringLiteral("&Option"));
    N5 = addCommand(N14, "N5", QStringLiteral("S&ystem Setup"), QStringLiteral("System Option"),
                    &TForm1::N5Click);
    N12 = addSeparator(N14, "N12");
    N17 = addMenu(N14, "N17", QStringLiteral("&Language"));
    N18 = addCommand(N17, "N18", QStringLiteral("&Chinese"), QString(), nullptr);
    N18->setCheckable(true);
    N18->setEnabled(false);
    // The one language there is: choosing it keeps it chosen.
    N19 = addCommand(N17, "N19", QStringLiteral("&English"), QString(), &TForm1::FormPaint);
    N19->setCheckable(true);
    N19->setChecked(true);

    N20 = addMenu(nullptr, "N20", QStringLiteral("&Window"));
    C1 = addCommand(N20, "C1", QStringLiteral("&Cascade"), QString(), &TForm1::C1Click);
    H2 = addCommand(N20, "H2", QStringLiteral("&Horizontally"), QString(), &TForm1::H2Click);
    V1 = addCommand(N20, "V1", QStringLiteral("&Vertically"), QString(), &TForm1::V1Click);
    for (QAction *arrangement : {C1, H2, V1})
        arrangement->setCheckable(true);
    N21 = addSeparator(N20, "N21");

    H1 = addMenu(nullptr, "H1", QStringLiteral("&Help"));
    K1 = addCommand(H1, "K1", QStringLiteral("Kelvora Help"), QStringLiteral("Help"), &TForm1::K1Click);
    N1 = addCommand(H1, "N1", QStringLiteral("Our &Web-Site"), QString(), &TForm1::N1Click);
    N2 = addSeparator(H1, "N2");
    A1 = addCommand(H1, "A1", QStringLiteral("&About"), QStringLiteral("About..."), &TForm1::A1Click);

    // The usual keys of these commands; each menu shows its key beside the caption.
    // A key works only while its command is enabled, as in the menu.
    K1->setShortcut(QKeySequence(Qt::Key_F1));
    N6->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    N15->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    N8->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    N7->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    N9->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    // Opening a menu shows the commands' states of this moment.
    for (QMenu *menu : {F1, N14, N20, H1})
        connect(menu, &QMenu::aboutToShow, this, [this] { guardedHandler([this] { FormPaint(); }); });
}

void TForm1::createWindowEntries()
{
    const auto entry = [this](const char *name, Handler handler) {
        auto *action = new QAction(this);
        action->setObjectName(QLatin1String(name));
        action->setCheckable(true);
        connectHandler(action, handler);
        return action;
    };
    menumeasure = entry("menumeasure", &TForm1::MenuMeasureClick);
    menuanalyze = entry("menuanalyze", &TForm1::MenuOpenClick);
    importdata = entry("importdata", &TForm1::MenuImportClick);
}

void TForm1::createToolBar()
{
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setWindowTitle(QStringLiteral("Tool Bar"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(ToolPictureSize, ToolPictureSize));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    addToolBar(Qt::TopToolBarArea, ToolBar1);

    const auto button = [this](const char *name, QAction *command, ToolPicture picture) {
        command->setIcon(toolPicture(picture));
        ToolBar1->addAction(command);
        QWidget *b = ToolBar1->widgetForAction(command);
        b->setObjectName(QLatin1String(name));
        b->setFixedSize(ToolButtonSize);
        b->setAccessibleName(withoutAccessKey(command->text()));
    };
    const auto separator = [this](const char *name, int width) {
        ToolBar1->addWidget(new ToolSeparator(name, width, ToolBar1));
    };

    button("ToolButton1", N3, ToolPicture::Measure);
    button("ToolButton2", N16, ToolPicture::FilmReel);
    button("ToolButton3", N6, ToolPicture::OpenFolder);
    button("ToolButton4", N15, ToolPicture::Diskette);
    separator("ToolButton12", 13);
    button("ToolButton5", N7, ToolPicture::Spreadsheet);
    button("ToolButton6", N8, ToolPicture::Printer);
    button("ToolButton7", N5, ToolPicture::ControlPanel);
    separator("ToolButton8", 8);
    button("ToolButton11", K1, ToolPicture::HelpDocument);
    button("ToolButton10", A1, ToolPicture::AboutComputer);
    separator("ToolButton13", 21);
    button("ToolButton9", N9, ToolPicture::PowerSwitch);
}

void TForm1::createStatusBar()
{
    StatusBar1 = new StatusPanels(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setDrawPanel(
        [this](QPainter &painter, const QRect &rect) { StatusBar1DrawPanel(painter, rect); });
    setStatusBar(StatusBar1);
    showLinkState();
}

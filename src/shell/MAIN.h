#pragma once

#include "devicelink/componenttimer.h"
#include "shell/logic/childplacement.h"
#include "shell/logic/menustaterules.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class StatusPanels;

// The main window: the frame whose child windows are the data windows
// (measurement "Form5", import "Form4", data view "Form7") and the setup and
// About windows. It carries the menus and the tool bar that open them, a
// Window menu with an entry per open data window, and the status bar. What is
// open and what may be used it reads from SystemVars, which the child windows
// update as they open and close; a refresh once a second acts on it.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int RefreshIntervalMs = 1000;
    static constexpr QSize SetupWindowSize{638, 428};
    static constexpr QSize AboutWindowSize{539, 324};

    // Builds the window and runs FormCreate.
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    // Makes a child window; the command that opens it passes its constructor.
    using WindowFactory = std::function<QWidget *()>;

    // The data windows open maximised with their Window-menu entry, their
    // handle in SystemVars and their command disabled until they close.
    void openMeasureWindow(const WindowFactory &create);
    void openImportWindow(const WindowFactory &create);
    // There is at most one data view window: made when none is open. Returns it.
    QWidget *openAnalyzeWindow(const WindowFactory &create);
    // The setup and About windows open at their fixed size, centred across
    // and a quarter of the spare height from the top, without an entry.
    void openSetupWindow(const WindowFactory &create);
    void openAboutWindow(const WindowFactory &create);

    // The child window in front (the last active one while the program is in
    // the background); null without children.
    QWidget *activeChild() const;

    // Ends the program as "E&xit" does after a Yes: device link closed,
    // settings written, no question.
    void closeProgram();

    // Handlers, public so that tests can drive them.
    void FormPaint();
    void Timer1Timer();
    void StatusBar1DrawPanel(QPainter &painter, const QRect &rect);
    bool FormCloseQuery();
    void FormClose();
    void N15Click();
    void N9Click();
    void C1Click();
    void H2Click();
    void V1Click();
    void MenuMeasureClick();
    void MenuImportClick();
    void MenuOpenClick();
    void N3Click();
    void N6Click();
    void N16Click();
    void K1Click();
    void A1Click();
    void N5Click();
    void N7Click();
    void N13Click();
    void N8Click();
    // "Our Web-Site" has no site to open: it does nothing.
    void N1Click() {}

    QMenu *F1, *N14, *N17, *N20, *H1;
    QAction *N3, *N6, *N15, *N11, *N16, *N7, *N4, *N13, *N8, *N10, *N9;
    QAction *N5, *N12, *N18, *N19;
    QAction *C1, *H2, *V1, *N21;
    QAction *K1, *N1, *N2, *A1;
    // Window-menu entries of the data windows, made by FormCreate.
    QAction *menumeasure = nullptr;
    QAction *menuanalyze = nullptr;
    QAction *importdata = nullptr;
    QToolBar *ToolBar1;
    StatusPanels *StatusBar1;
    QMdiArea *ClientArea;
    ComponentTimer Timer1;

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    using Handler = void (TForm1::*)();

    void FormCreate();
    void placeOnScreen();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void createWindowEntries();
    QAction *addCommand(QMenu *menu, const char *name, const QString &caption, const QString &hint,
                        Handler handler);
    QAction *addSeparator(QMenu *menu, const char *name);
    void connectHandler(QAction *action, Handler handler);

    MenuStateRules::Situation situation() const;
    void applyMenuState(const MenuStateRules::Decision &decision);
    void showLinkState();

    // Closes each data window that holds unsaved rows, so that it asks its own
    // question; false when one of them stays open (the program goes on).
    bool closeUnsavedDataWindows();
    QMdiSubWindow *addChild(QWidget *window);
    void showDataWindow(QWidget *window, QAction *entry, QPointer<QObject> &handle);
    void showFixedWindow(QWidget *window, QSize size);
    void bringToFront(QObject *window);
    void arrange(QAction *mark);
    void tile(ChildPlacement::Tiling tiling);

    bool m_exitConfirmed = false;
    bool m_shownBefore = false;
};

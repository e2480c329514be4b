// Opening, finding and arranging the main window's child windows.
#include "MAIN.h"

#include "about.h"
#include "analysis/klgload.h"
#include "devicelink/systemvars.h"
#include "import/GetRecorde.h"
#include "measure/Measuring.h"
#include "measure/datawindowclose.h"
#include "setup/Option.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

#include <algorithm>

QMdiSubWindow *TForm1::addChild(QWidget *window)
{
    QMdiSubWindow *frame = ClientArea->addSubWindow(window);
    // A window that deletes itself takes its frame along.
    connect(window, &QObject::destroyed, frame, &QObject::deleteLater);
    return frame;
}

bool TForm1::closeUnsavedDataWindows()
{
    const TSystemVars &v = SystemVars;
    const QList<QPointer<QObject>> windows{v.measureWindow, v.importWindow, v.analyzeWindow};
    for (const QPointer<QObject> &window : windows) {
        // Each question waits for the user: a window may have closed or been
        // saved meanwhile, and a signal may have ended the program.
        if (m_exitConfirmed)
            return false;
        const auto *rows = dynamic_cast<const UnsavedRows *>(window.data());
        if (rows && rows->hasUnsavedRows() && !qobject_cast<QWidget *>(window)->close())
            return false;
    }
    return !m_exitConfirmed;
}

void TForm1::showDataWindow(QWidget *window, QAction *entry, QPointer<QObject> &handle)
{
    N20->addAction(entry);
    handle = window;
    addChild(window)->showMaximized();
}

void TForm1::showFixedWindow(QWidget *window, QSize size)
{
    QMdiSubWindow *frame = addChild(window);
    // A window that chose the buttons of its title bar keeps them in its frame.
    if (window->windowFlags() & Qt::CustomizeWindowHint)
        frame->setWindowFlags(Qt::SubWindow | (window->windowFlags() & ~Qt::WindowType_Mask));
    frame->setGeometry(QRect(ChildPlacement::dialogPosition(this->size(), size), size));
    frame->show();
}

void TForm1::openMeasureWindow(const WindowFactory &create)
{
    TSystemVars &v = SystemVars;
    v.measureMenuEnabled = false;
    v.removeMeasureItem = false;
    showDataWindow(create(), menumeasure, v.measureWindow);
}

void TForm1::N3Click()
{
    openMeasureWindow([this] { return new TForm5(this); });
}

void TForm1::openImportWindow(const WindowFactory &create)
{
    TSystemVars &v = SystemVars;
    v.importMenuEnabled = false;
    v.removeImportItem = false;
    showDataWindow(create(), importdata, v.importWindow);
}

void TForm1::N16Click()
{
    openImportWindow([this] { return new TForm4(this); });
}

QWidget *TForm1::openAnalyzeWindow(const WindowFactory &create)
{
    TSystemVars &v = SystemVars;
    if (!v.analyzeWindowOpen) {
        // Cleared before the entry is added: a window closed within the last
        // second must not take the new window's entry with it.
        v.removeAnalyzeItem = false;
        showDataWindow(create(), menuanalyze, v.analyzeWindow);
        v.analyzeWindowOpen = true;
    }
    return qobject_cast<QWidget *>(v.analyzeWindow.data());
}

void TForm1::N6Click()
{
    const bool creating = !SystemVars.analyzeWindowOpen;
    const QPointer<TForm7> window =
        qobject_cast<TForm7 *>(openAnalyzeWindow([this] { return new TForm7(this); }));
    if (!window)
        return;
    if (creating)
        TForm7::emptyLoadData();
    bringToFront(window);
    window->LoadData();
}

void TForm1::openSetupWindow(const WindowFactory &create)
{
    SystemVars.setupMenuEnabled = false;
    showFixedWindow(create(), SetupWindowSize);
}

void TForm1::N5Click()
{
    // One setup window at a time, even when the command comes before the refresh disables it.
    if (SystemVars.setupMenuEnabled)
        openSetupWindow([this] { return new TForm8(this); });
}

void TForm1::openAboutWindow(const WindowFactory &create)
{
    SystemVars.aboutMenuEnabled = false;
    showFixedWindow(create(), AboutWindowSize);
}

void TForm1::A1Click()
{
    // At most one About window, even when the command comes before the refresh disables it.
    if (SystemVars.aboutMenuEnabled)
        openAboutWindow([this] { return new TForm3(this); });
}

void TForm1::bringToFront(QObject *window)
{
    auto *widget = qobject_cast<QWidget *>(window);
    if (auto *frame = widget ? qobject_cast<QMdiSubWindow *>(widget->parentWidget()) : nullptr) {
        frame->show();
        ClientArea->setActiveSubWindow(frame);
    }
    FormPaint();
}

void TForm1::MenuMeasureClick()
{
    bringToFront(SystemVars.measureWindow);
}

void TForm1::MenuImportClick()
{
    bringToFront(SystemVars.importWindow);
}

void TForm1::MenuOpenClick()
{
    bringToFront(SystemVars.analyzeWindow);
}

void TForm1::arrange(QAction *mark)
{
    for (QAction *arrangement : {C1, H2, V1})
        arrangement->setChecked(arrangement == mark);
}

void TForm1::C1Click()
{
    arrange(C1);
    ClientArea->cascadeSubWindows();
}

void TForm1::H2Click()
{
    arrange(H2);
    tile(ChildPlacement::Tiling::OneAboveTheOther);
}

void TForm1::V1Click()
{
    arrange(V1);
    tile(ChildPlacement::Tiling::SideBySide);
}

void TForm1::tile(ChildPlacement::Tiling tiling)
{
    // The most recently active window first; minimised ones keep their place.
    QList<QMdiSubWindow *> frames = ClientArea->subWindowList(QMdiArea::ActivationHistoryOrder);
    std::reverse(frames.begin(), frames.end());
    frames.erase(std::remove_if(frames.begin(), frames.end(),
                                [](const QMdiSubWindow *f) { return f->isHidden() || f->isMinimized(); }),
                 frames.end());
    const QVector<QRect> places =
        ChildPlacement::tile(ClientArea->viewport()->rect(), static_cast<int>(frames.size()), tiling);
    for (int i = 0; i < frames.size(); ++i) {
        frames[i]->showNormal();
        frames[i]->setGeometry(places[i]);
    }
    // Restoring a window activates it: the window in front stays in front.
    if (!frames.isEmpty())
        ClientArea->setActiveSubWindow(frames.first());
}

// The yardstick of bench_startup: a bare MDI main window with menus, a tool
// bar and a status bar, of the program's size on screen, built with Qt alone.
// It shares the program's start-up probe and closes its window the same way.
#include "shell/startupprobe.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.setCentralWidget(new QMdiArea(&window));

    QToolBar *tools = window.addToolBar(QStringLiteral("Tools"));
    const QStyle::StandardPixmap icons[] = {QStyle::SP_FileIcon,         QStyle::SP_DialogOpenButton,
                                            QStyle::SP_DialogSaveButton, QStyle::SP_FileDialogDetailedView,
                                            QStyle::SP_ComputerIcon,     QStyle::SP_DialogHelpButton};
    for (const char *menuName : {"&File", "&Option", "&Window", "&Help"}) {
        QMenu *menu = window.menuBar()->addMenu(QString::fromLatin1(menuName));
        for (int i = 0; i < 5; ++i) {
            QAction *action = menu->addAction(QStringLiteral("Command %1").arg(i + 1));
            if (i < 2)
                tools->addAction(window.style()->standardIcon(icons[(menu->actions().size() + i) % 6]),
                                 action->text());
        }
    }
    for (const char *panel : {"Computer", "Disconnect!", "Unit C", ""})
        window.statusBar()->addWidget(new QLabel(QString::fromLatin1(panel)), 1);

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    window.setGeometry(QRect(screen.topLeft(), QSize(screen.width(), screen.height() - 20)));
    StartupProbe::exitWhenShown(&window, [&window] { window.close(); });
    window.show();
    return QApplication::exec();
}

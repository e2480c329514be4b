#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class QWidget;
class TForm1;

// A live run started without a hand on the mouse, for a station that logs
// from the moment the program starts ("--measure" on the command line): the
// measurement window opens as "Real Time Measure" opens it, and its Start is
// pressed once the thermometer has answered, however long that takes. It
// gives up when the window closes or a run was started by hand meanwhile.
class AutoMeasure final : public QObject {
public:
    static constexpr const char *Option = "--measure";
    static constexpr int CheckIntervalMs = 200;

    explicit AutoMeasure(TForm1 &mainWindow);

    // After the device link's creation: without readable settings the
    // measurement command is disabled, and nothing opens.
    void begin();

private:
    void check();

    TForm1 &m_main;
    QPointer<QWidget> m_window;
    QTimer m_timer;
};

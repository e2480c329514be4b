#pragma once

#include <QMainWindow>
#include <QTimer>

class QLabel;

// The program's window until the full main window exists: shows whether the
// thermometer answers, refreshed once a second from the shared state.
class LinkStatusWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit LinkStatusWindow(QWidget *parent = nullptr);

    void refresh();

signals:
    void closing();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QLabel *m_linkLabel;
    QLabel *m_portLabel;
    QTimer m_refresh;
};

#include "linkstatuswindow.h"

#include "devicelink/systemvars.h"

#include <QLabel>
#include <QStatusBar>
#include <QVBoxLayout>

LinkStatusWindow::LinkStatusWindow(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Kelvora 1.02"));

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    m_linkLabel = new QLabel(central);
    m_linkLabel->setObjectName(QStringLiteral("LinkState"));
    m_linkLabel->setAlignment(Qt::AlignCenter);
    QFont big = m_linkLabel->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    m_linkLabel->setFont(big);
    m_portLabel = new QLabel(central);
    m_portLabel->setAlignment(Qt::AlignCenter);
    layout->addStretch();
    layout->addWidget(m_linkLabel);
    layout->addWidget(m_portLabel);
    layout->addStretch();
    setCentralWidget(central);
    resize(480, 240);

    m_refresh.setInterval(1000);
    connect(&m_refresh, &QTimer::timeout, this, &LinkStatusWindow::refresh);
    m_refresh.start();
    refresh();
}

void LinkStatusWindow::refresh()
{
    const QString state = SystemVars.connected ? QStringLiteral("Connect OK!")
                                               : QStringLiteral("Disconnect!");
    m_linkLabel->setText(state);
    m_linkLabel->setAccessibleName(state);
    m_portLabel->setText(SystemVars.serialPort.isEmpty()
                             ? QStringLiteral("No serial port configured")
                             : QStringLiteral("Serial port: %1").arg(SystemVars.serialPort));
    statusBar()->showMessage(state);
}

void LinkStatusWindow::closeEvent(QCloseEvent *event)
{
    emit closing();
    QMainWindow::closeEvent(event);
}

#pragma once

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>

// The serial control behind the device link: 19200 baud, 8 data bits, no
// parity, 1 stop bit, raw bytes both ways. Every arrival of bytes is
// announced with comm(ReceiveEvent).
class SerialControl : public QObject {
    Q_OBJECT
public:
    enum CommEvent { NoEvent = 0, ReceiveEvent = 2, LostEvent = 1010 };

    explicit SerialControl(QObject *parent = nullptr);

    // The configured name ("COM3", "/dev/ttyUSB0", "ttyS0"); see resolvePortName.
    void setPortName(const QString &configured);
    QString deviceName() const { return m_device; }

    // Opens the port; throws SerialPortError when it is missing, in use or
    // the name addresses no port.
    void open();
    // Closes the port; closing a closed port does nothing.
    void close();
    bool isOpen() const { return m_port.isOpen(); }

    // Writes the bytes in one write, nothing added.
    void output(const QByteArray &bytes);
    // Reads and removes every waiting byte.
    QByteArray input();

    int commEvent() const { return m_lastEvent; }

signals:
    // Delivered on the GUI thread for every event of the port.
    void comm(int event);
    // The device went away while open (unplugged, other end closed). The
    // port has been closed so that the poll can reopen it.
    void portLost();

private:
    void onReadyRead();
    void onError(QSerialPort::SerialPortError error);

    QSerialPort m_port;
    QString m_device;
    int m_lastEvent = NoEvent;
};

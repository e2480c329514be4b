#include "serialcontrol.h"

#include "common/kelvoraerror.h"
#include "portaccess.h"
#include "portname.h"

SerialControl::SerialControl(QObject *parent) : QObject(parent)
{
    connect(&m_port, &QSerialPort::readyRead, this, &SerialControl::onReadyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialControl::onError);
}

void SerialControl::setPortName(const QString &configured)
{
    m_device = resolvePortName(configured);
}

void SerialControl::open()
{
    if (m_port.isOpen())
        return;
    if (m_device.isEmpty())
        throw SerialPortError(QStringLiteral("Invalid port number"));
    m_port.setPortName(m_device);
    m_port.setBaudRate(QSerialPort::Baud19200);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port.open(QIODevice::ReadWrite)) {
        const QString reason = m_port.errorString();
        const bool denied = m_port.error() == QSerialPort::PermissionError;
        m_port.clearError();
        throw SerialPortError(QStringLiteral("Port %1 cannot be opened: %2").arg(m_device, reason),
                              denied ? portAccessHint(m_device) : QString());
    }
    // Modem control lines are not needed by the thermometer, and setting
    // them fails on pseudo-terminals, so they are left as the driver has them.
}

void SerialControl::close()
{
    if (m_port.isOpen())
        m_port.close();
    m_port.clearError();
}

void SerialControl::output(const QByteArray &bytes)
{
    if (!m_port.isOpen())
        throw SerialPortError(QStringLiteral("Operation valid only when the port is open"));
    m_port.write(bytes);
}

QByteArray SerialControl::input()
{
    return m_port.isOpen() ? m_port.readAll() : QByteArray();
}

void SerialControl::onReadyRead()
{
    m_lastEvent = ReceiveEvent;
    emit comm(ReceiveEvent);
}

void SerialControl::onError(QSerialPort::SerialPortError error)
{
    // An error while the port is not open is a failed open(): open() reports
    // it with its reason, which closing here would clear ("No error").
    if (!m_port.isOpen())
        return;
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError)
        return;
    // The device is gone; left open, the port would report this error
    // hundreds of thousands of times a second.
    close();
    m_lastEvent = LostEvent;
    emit comm(LostEvent);
    emit portLost();
}

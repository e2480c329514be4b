#pragma once

#include <QStringView>
#include <QtGlobal>

#include <vector>

class QIODevice;

// Writes BIFF5 worksheet records (little-endian: a 16-bit type, a 16-bit
// data length, the data) onto a device, through a buffer so that a cell
// costs no system call of its own. A write the device refuses throws
// KelvoraError with the device's reason.
class Biff5Stream {
public:
    static constexpr quint16 BlankFormat = 0x0017;
    // The longest text a LABEL holds.
    static constexpr int MaxLabelBytes = 255;

    explicit Biff5Stream(QIODevice &device);
    ~Biff5Stream();
    Biff5Stream(const Biff5Stream &) = delete;
    Biff5Stream &operator=(const Biff5Stream &) = delete;

    // Beginning of a worksheet: version 0, type 0x0010, build and year 0.
    void bof();
    // Text in Windows-1252, cut to MaxLabelBytes.
    void label(quint16 row, quint16 column, QStringView text);
    void number(quint16 row, quint16 column, double value);
    // An integer from -2^29 to 2^29 - 1 (bits 1 and 0 of the RK value say
    // "integer", "not divided by 100").
    void rk(quint16 row, quint16 column, qint32 value);
    void blank(quint16 row, quint16 column);
    void eof();
    // Hands the buffered records to the device.
    void flush();

private:
    void header(quint16 type, quint16 length);
    void word(quint16 value);
    void bytes(const void *data, int size);
    void cellStart(quint16 type, quint16 length, quint16 row, quint16 column, quint16 format);
    void flushWhenFull();

    QIODevice &m_device;
    // Filled up to m_used; records are written in place, not appended one
    // field at a time to a growing array.
    std::vector<char> m_buffer;
    qsizetype m_used = 0;
};

#pragma once

// Reading and spelling out BIFF5 worksheet records in tests, written here
// from the record layouts rather than taken from the program's writer.

#include <QByteArray>
#include <QList>
#include <QtEndian>

#include <cstring>
#include <initializer_list>

struct Biff5Record {
    quint16 type = 0;
    QByteArray data;

    quint16 word(int offset) const { return qFromLittleEndian<quint16>(data.constData() + offset); }
    int row() const { return word(0); }
    int column() const { return word(2); }
    int format() const { return word(4); }
    QByteArray labelText() const { return data.mid(8, word(6)); }
    double number() const
    {
        double v;
        const quint64 bits = qFromLittleEndian<quint64>(data.constData() + 6);
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    qint32 rkInteger() const { return qint32(qFromLittleEndian<quint32>(data.constData() + 6)) >> 2; }
};

// The records of a stream; an empty list when the stream does not end
// exactly at a record's end.
inline QList<Biff5Record> biff5Records(const QByteArray &bytes)
{
    QList<Biff5Record> records;
    int at = 0;
    while (at + 4 <= bytes.size()) {
        Biff5Record r;
        r.type = qFromLittleEndian<quint16>(bytes.constData() + at);
        const int length = qFromLittleEndian<quint16>(bytes.constData() + at + 2);
        if (at + 4 + length > bytes.size())
            return {};
        r.data = bytes.mid(at + 4, length);
        records.append(r);
        at += 4 + length;
    }
    return at == bytes.size() ? records : QList<Biff5Record>();
}

// Little-endian 16-bit words, as the record layouts list them.
inline QByteArray words(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values) {
        out.append(char(v & 0xFF));
        out.append(char((v >> 8) & 0xFF));
    }
    return out;
}

namespace ExpectedBiff5 {
inline QByteArray bof()
{
    return words({0x0809, 8, 0, 0x0010, 0, 0});
}
inline QByteArray eof()
{
    return words({0x000A, 0});
}
inline QByteArray label(int row, int column, const QByteArray &text)
{
    return words({0x0204, 8 + int(text.size()), row, column, 0, int(text.size())}) + text;
}
inline QByteArray blank(int row, int column)
{
    return words({0x0201, 6, row, column, 0x0017});
}
inline QByteArray rk(int row, int column, qint32 value)
{
    const quint32 rk = quint32(value) << 2 | 2u;
    return words({0x027E, 10, row, column, 0, int(rk & 0xFFFF), int(rk >> 16)});
}
inline QByteArray number(int row, int column, double value)
{
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    QByteArray out = words({0x0203, 14, row, column, 0});
    for (int i = 0; i < 8; ++i)
        out.append(char((bits >> (8 * i)) & 0xFF));
    return out;
}
} // namespace ExpectedBiff5

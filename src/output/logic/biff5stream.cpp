#include "output/logic/biff5stream.h"

#include "common/kelvoraerror.h"
#include "output/logic/windows1252.h"

#include <QIODevice>
#include <QtEndian>

#include <cstring>

namespace {

constexpr quint16 BofType = 0x0809;
constexpr quint16 LabelType = 0x0204;
constexpr quint16 NumberType = 0x0203;
constexpr quint16 RkType = 0x027E;
constexpr quint16 BlankType = 0x0201;
constexpr quint16 EofType = 0x000A;
constexpr quint16 WorksheetDocument = 0x0010;
constexpr int BufferBytes = 64 * 1024;
// Room for the longest record beyond a full buffer.
constexpr int LongestRecord = 4 + 8 + Biff5Stream::MaxLabelBytes;

} // namespace

Biff5Stream::Biff5Stream(QIODevice &device) : m_device(device), m_buffer(BufferBytes + LongestRecord)
{
}

Biff5Stream::~Biff5Stream() = default;

void Biff5Stream::bytes(const void *data, int size)
{
    std::memcpy(m_buffer.data() + m_used, data, size_t(size));
    m_used += size;
}

void Biff5Stream::word(quint16 value)
{
    const quint16 le = qToLittleEndian(value);
    bytes(&le, sizeof le);
}

void Biff5Stream::header(quint16 type, quint16 length)
{
    word(type);
    word(length);
}

void Biff5Stream::cellStart(quint16 type, quint16 length, quint16 row, quint16 column, quint16 format)
{
    header(type, length);
    word(row);
    word(column);
    word(format);
}

void Biff5Stream::bof()
{
    header(BofType, 8);
    word(0);
    word(WorksheetDocument);
    word(0);
    word(0);
}

void Biff5Stream::label(quint16 row, quint16 column, QStringView text)
{
    // The text goes in first, behind room for the record's start, whose
    // lengths depend on it.
    const qsizetype start = m_used;
    const qsizetype n = toWindows1252(text, m_buffer.data() + start + 12, MaxLabelBytes);
    cellStart(LabelType, quint16(8 + n), row, column, 0);
    word(quint16(n));
    m_used += n;
    flushWhenFull();
}

void Biff5Stream::number(quint16 row, quint16 column, double value)
{
    cellStart(NumberType, 14, row, column, 0);
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    const quint64 le = qToLittleEndian(bits);
    bytes(&le, sizeof le);
    flushWhenFull();
}

void Biff5Stream::rk(quint16 row, quint16 column, qint32 value)
{
    cellStart(RkType, 10, row, column, 0);
    const quint32 le = qToLittleEndian(quint32(value) << 2 | 2u);
    bytes(&le, sizeof le);
    flushWhenFull();
}

void Biff5Stream::blank(quint16 row, quint16 column)
{
    cellStart(BlankType, 6, row, column, BlankFormat);
    flushWhenFull();
}

void Biff5Stream::eof()
{
    header(EofType, 0);
}

void Biff5Stream::flushWhenFull()
{
    if (m_used >= BufferBytes)
        flush();
}

void Biff5Stream::flush()
{
    // A short write is retried: the device tells its reason only when a
    // write of its own fails.
    for (qsizetype done = 0; done < m_used;) {
        const qint64 written = m_device.write(m_buffer.data() + done, m_used - done);
        if (written <= 0)
            throw KelvoraError(m_device.errorString());
        done += written;
    }
    m_used = 0;
}

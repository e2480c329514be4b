#include "output/logic/zipmembertail.h"

#include <QFile>
#include <QtEndian>

#include <zlib.h>

namespace {

constexpr quint32 EndOfDirectory = 0x06054b50;
constexpr quint32 DirectoryEntry = 0x02014b50;
constexpr quint32 LocalHeader = 0x04034b50;
constexpr int EndOfDirectorySize = 22;

quint16 u16(const QByteArray &bytes, qint64 at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

quint32 u32(const QByteArray &bytes, qint64 at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

bool fits(const QByteArray &bytes, qint64 at, qint64 size)
{
    return at >= 0 && size >= 0 && at + size <= bytes.size();
}

// Inflates raw deflate data, keeping the last tailSize bytes; checks the
// length against the expected one.
std::optional<QByteArray> inflatedTail(const char *data, qint64 size, qint64 expected, int tailSize)
{
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return std::nullopt;
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data));
    stream.avail_in = uInt(size);
    QByteArray out(1 << 16, Qt::Uninitialized);
    QByteArray tail;
    qint64 total = 0;
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef *>(out.data());
        stream.avail_out = uInt(out.size());
        status = inflate(&stream, Z_NO_FLUSH);
        const qint64 produced = out.size() - stream.avail_out;
        total += produced;
        tail = (tail + out.left(produced)).right(tailSize);
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END || total != expected)
        return std::nullopt;
    return tail;
}

} // namespace

std::optional<QByteArray> zipMemberTail(const QString &zipPath, const QByteArray &member, int tailSize)
{
    QFile file(zipPath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray zip = file.readAll();
    // The end record lies at the end, before a comment of at most 64 KiB.
    qint64 end = zip.size() - EndOfDirectorySize;
    const qint64 lowest = qMax<qint64>(0, end - 0xFFFF);
    while (end >= lowest && !(end >= 0 && u32(zip, end) == EndOfDirectory))
        --end;
    if (end < lowest)
        return std::nullopt;
    qint64 entry = u32(zip, end + 16);
    for (int n = u16(zip, end + 10); n > 0; --n) {
        if (!fits(zip, entry, 46) || u32(zip, entry) != DirectoryEntry)
            return std::nullopt;
        const quint16 method = u16(zip, entry + 10);
        const qint64 packed = u32(zip, entry + 20);
        const qint64 size = u32(zip, entry + 24);
        const int nameLength = u16(zip, entry + 28);
        const qint64 local = u32(zip, entry + 42);
        const qint64 next = entry + 46 + nameLength + u16(zip, entry + 30) + u16(zip, entry + 32);
        if (!fits(zip, entry + 46, nameLength))
            return std::nullopt;
        if (zip.mid(entry + 46, nameLength) == member) {
            if (!fits(zip, local, 30) || u32(zip, local) != LocalHeader)
                return std::nullopt;
            const qint64 data = local + 30 + u16(zip, local + 26) + u16(zip, local + 28);
            if (!fits(zip, data, packed))
                return std::nullopt;
            if (method == 0)
                return packed == size
                           ? std::optional<QByteArray>(zip.mid(data + qMax<qint64>(0, size - tailSize),
                                                               qMin<qint64>(size, tailSize)))
                           : std::nullopt;
            if (method != Z_DEFLATED)
                return std::nullopt;
            return inflatedTail(zip.constData() + data, packed, size, tailSize);
        }
        entry = next;
    }
    return std::nullopt;
}

#include "output/logic/zipmembertail.h"

#include <QFile>
#include <QtEndian>

#include <zlib.h>

namespace {

constexpr quint32 EndOfDirectory = 0x06054b50;
constexpr quint32 DirectoryEntry = 0x02014b50;
constexpr quint32 LocalHeader = 0x04034b50;
constexpr int EndOfDirectorySize = 22;
constexpr int LocalHeaderSize = 30;
constexpr int EntrySize = 46;
constexpr qint64 Chunk = 1 << 20;

quint16 u16(const QByteArray &bytes, qint64 at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

quint32 u32(const QByteArray &bytes, qint64 at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

// Exactly size bytes of file from at, or an empty array.
QByteArray readAt(QFile &file, qint64 at, qint64 size)
{
    if (size <= 0 || at < 0 || at + size > file.size() || !file.seek(at))
        return QByteArray();
    QByteArray bytes = file.read(size);
    return bytes.size() == size ? bytes : QByteArray();
}

// Inflates the raw deflate data of packed bytes at the file's position,
// keeping the last tailSize bytes; checks the length against size.
std::optional<QByteArray> inflatedTail(QFile &file, qint64 packed, qint64 size, int tailSize)
{
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return std::nullopt;
    QByteArray out(1 << 16, Qt::Uninitialized);
    QByteArray tail;
    qint64 total = 0;
    int status = Z_OK;
    while (status == Z_OK && packed > 0) {
        QByteArray in = file.read(qMin(packed, Chunk));
        if (in.isEmpty())
            break;
        packed -= in.size();
        stream.next_in = reinterpret_cast<Bytef *>(in.data());
        stream.avail_in = uInt(in.size());
        do {
            stream.next_out = reinterpret_cast<Bytef *>(out.data());
            stream.avail_out = uInt(out.size());
            status = inflate(&stream, Z_NO_FLUSH);
            const qint64 produced = out.size() - stream.avail_out;
            total += produced;
            tail = (tail + out.left(produced)).right(tailSize);
            // No progress without more input: the next piece.
            if (status == Z_BUF_ERROR && stream.avail_in == 0)
                status = Z_OK;
        } while (status == Z_OK && (stream.avail_in > 0 || stream.avail_out == 0));
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END || total != size)
        return std::nullopt;
    return tail;
}

} // namespace

std::optional<QByteArray> zipMemberTail(const QString &zipPath, const QByteArray &member, int tailSize)
{
    QFile file(zipPath);
    if (!file.open(QIODevice::ReadOnly) || file.size() < EndOfDirectorySize)
        return std::nullopt;
    // The end record lies at the end, before a comment of at most 64 KiB.
    const qint64 tailStart = qMax<qint64>(0, file.size() - EndOfDirectorySize - 0xFFFF);
    const QByteArray end = readAt(file, tailStart, file.size() - tailStart);
    qint64 at = end.size() - EndOfDirectorySize;
    while (at >= 0 && u32(end, at) != EndOfDirectory)
        --at;
    if (at < 0)
        return std::nullopt;
    const QByteArray directory = readAt(file, u32(end, at + 16), u32(end, at + 12));
    qint64 entry = 0;
    for (int n = u16(end, at + 10); n > 0; --n) {
        if (entry + EntrySize > directory.size() || u32(directory, entry) != DirectoryEntry)
            return std::nullopt;
        const int nameLength = u16(directory, entry + 28);
        if (entry + EntrySize + nameLength > directory.size())
            return std::nullopt;
        if (directory.mid(entry + EntrySize, nameLength) == member) {
            const quint16 method = u16(directory, entry + 10);
            const qint64 packed = u32(directory, entry + 20);
            const qint64 size = u32(directory, entry + 24);
            const qint64 local = u32(directory, entry + 42);
            const QByteArray header = readAt(file, local, LocalHeaderSize);
            if (header.isEmpty() || u32(header, 0) != LocalHeader || method != Z_DEFLATED ||
                !file.seek(local + LocalHeaderSize + u16(header, 26) + u16(header, 28)))
                return std::nullopt;
            return inflatedTail(file, packed, size, tailSize);
        }
        entry += EntrySize + nameLength + u16(directory, entry + 30) + u16(directory, entry + 32);
    }
    return std::nullopt;
}

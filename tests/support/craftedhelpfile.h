#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

// Small compiled help files (ITSF archives) built byte by byte, with the
// directory links a test wants: listing chunks ("PMGL") with their "next"
// link, index chunks ("PMGI") with the chunks their entries lead to.
namespace CraftedHelpFile {

inline QByteArray le(quint64 v, int size)
{
    QByteArray b;
    for (int i = 0; i < size; ++i)
        b.append(char((v >> (8 * i)) & 0xff));
    return b;
}

// A 7-bit encoded number, most significant group first.
inline QByteArray encint(quint64 v)
{
    QByteArray b(1, char(v & 0x7f));
    while (v >>= 7)
        b.prepend(char(0x80 | (v & 0x7f)));
    return b;
}

inline QByteArray name(const QByteArray &n)
{
    return encint(quint64(n.size())) + n;
}

inline QByteArray listingEntry(const QByteArray &n, quint64 section, quint64 offset, quint64 length)
{
    return name(n) + encint(section) + encint(offset) + encint(length);
}

inline QByteArray indexEntry(const QByteArray &n, quint64 chunk)
{
    return name(n) + encint(chunk);
}

constexpr int ChunkSize = 0x1000;

// A chunk of ChunkSize bytes: header, entries, free space to the end.
inline QByteArray listingChunk(const QByteArray &entries, qint32 next, qint32 previous = -1)
{
    QByteArray c = "PMGL" + le(quint64(ChunkSize - 0x14 - entries.size()), 4) + le(0, 4) +
                   le(quint32(previous), 4) + le(quint32(next), 4) + entries;
    return c.leftJustified(ChunkSize, '\0', true);
}

inline QByteArray indexChunk(const QByteArray &entries)
{
    QByteArray c = "PMGI" + le(quint64(ChunkSize - 0x08 - entries.size()), 4) + entries;
    return c.leftJustified(ChunkSize, '\0', true);
}

struct Directory {
    qint32 depth = 1;
    qint32 root = -1;
    qint32 head = 0;
    quint32 chunkSize = ChunkSize;
    QList<QByteArray> chunks;
    QByteArray content; // the uncompressed section that follows the directory
};

// Version 3 ITSF header, ITSP header, the chunks, then the content.
inline QByteArray archive(const Directory &d)
{
    QByteArray chunks;
    for (const QByteArray &c : d.chunks)
        chunks += c;
    const quint64 dirOffset = 0x60 + 0x18; // the header, then a section table the check does not read
    const quint64 dirLength = 0x54 + quint64(chunks.size());
    QByteArray itsf = "ITSF" + le(3, 4) + le(0x60, 4) + le(1, 4) + le(0, 4) + le(0x409, 4) +
                      QByteArray(32, '\0') + le(0x60, 8) + le(0x18, 8) + le(dirOffset, 8) + le(dirLength, 8) +
                      le(dirOffset + dirLength, 8);
    const QByteArray itsp = "ITSP" + le(1, 4) + le(0x54, 4) + le(10, 4) + le(d.chunkSize, 4) + le(2, 4) +
                            le(quint32(d.depth), 4) + le(quint32(d.root), 4) + le(quint32(d.head), 4) +
                            le(quint32(d.head), 4) + le(0xffffffff, 4) + le(quint32(d.chunks.size()), 4) +
                            le(0x409, 4) + QByteArray(16, '\0') + le(0x54, 4) + QByteArray(12, '\xff');
    return itsf + QByteArray(0x18, '\0') + itsp + chunks + d.content;
}

} // namespace CraftedHelpFile

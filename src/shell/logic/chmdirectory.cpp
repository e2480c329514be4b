#include "chmdirectory.h"

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QSet>

#include <optional>

namespace {

using namespace ChmLayout;

quint32 u32(const QByteArray &b, int at)
{
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 | quint32(quint8(b[at + 2])) << 16 |
           quint32(quint8(b[at + 3])) << 24;
}

qint32 i32(const QByteArray &b, int at)
{
    return qint32(u32(b, at));
}

quint64 u64(const QByteArray &b, int at)
{
    return quint64(u32(b, at)) | quint64(u32(b, at + 4)) << 32;
}

// The library compares part names case-insensitively as C strings.
bool isPart(const QByteArray &name, const char *part)
{
    const qsizetype nul = name.indexOf('\0');
    return (nul < 0 ? name : name.left(nul)).compare(part, Qt::CaseInsensitive) == 0;
}

// The LZX settings as the library uses them: it divides by half the
// window size and by the number of frames between resets (computed from
// these values even when it rejects them), and decompresses 32 KiB frames
// into a window of 2^15 to 2^21 bytes.
bool lzxSettingsUsable(const QByteArray &resetTable, const QByteArray &controlData)
{
    if (u32(resetTable, 0) != 2 || u64(resetTable, 0x20) != LzxFrameSize)
        return false;
    if (controlData.mid(4, 4) != "LZXC")
        return false;
    quint32 resetInterval = u32(controlData, 0x0c);
    quint32 windowSize = u32(controlData, 0x10);
    const quint32 windowsPerReset = u32(controlData, 0x14);
    if (u32(controlData, 8) == 2) { // sizes in frames, wrapping as the library's do
        resetInterval *= LzxFrameSize;
        windowSize *= LzxFrameSize;
    }
    if (windowSize < MinLzxWindow || windowSize > MaxLzxWindow || (windowSize & (windowSize - 1)) != 0)
        return false;
    const quint32 halfWindow = windowSize / 2;
    if (resetInterval == 0 || resetInterval % halfWindow != 0)
        return false;
    return resetInterval / halfWindow * windowsPerReset != 0;
}

// A chunk's entries: each a 7-bit encoded name length, the name, then
// (listing) section, offset and length or (index) a chunk number, all 7-bit
// encoded numbers. They fill the chunk up to its free space at the end.
class EntryReader {
public:
    EntryReader(const QByteArray &chunk, int from, int end) : m_chunk(chunk), m_at(from), m_end(end) {}

    bool atEnd() const { return m_at >= m_end; }
    std::optional<quint64> number()
    {
        quint64 value = 0;
        for (int bytes = 0; m_at < m_end && bytes < 10; ++bytes) {
            const quint8 b = quint8(m_chunk[m_at++]);
            value = value << 7 | (b & 0x7f);
            if (b < 0x80)
                return value;
        }
        return std::nullopt;
    }
    std::optional<QByteArray> name()
    {
        const std::optional<quint64> length = number();
        if (!length || *length == 0 || *length > quint64(MaxNameLength) || *length > quint64(m_end - m_at))
            return std::nullopt;
        const QByteArray n = m_chunk.mid(m_at, int(*length));
        m_at += int(*length);
        return n;
    }

private:
    const QByteArray &m_chunk;
    int m_at;
    int m_end;
};

class DirectoryCheck {
public:
    explicit DirectoryCheck(QIODevice &file) : m_file(file) {}

    ChmDirectoryFault run()
    {
        const qint64 size = m_file.size();
        const QByteArray itsf = read(0, ItsfV3Size);
        // The library always reads a version 3 header's length.
        if (itsf.size() != ItsfV3Size || !itsf.startsWith("ITSF"))
            return ChmDirectoryFault::Header;
        const qint32 version = i32(itsf, 4);
        const qint32 headerSize = i32(itsf, 8);
        if ((version != 2 && version != 3) || headerSize < (version == 3 ? 0x60 : 0x58))
            return ChmDirectoryFault::Header;
        const quint64 dirOffset = u64(itsf, 0x48);
        const quint64 dirLength = u64(itsf, 0x50);
        if (dirOffset > quint64(size) || dirLength > quint64(size) - dirOffset ||
            dirLength < quint64(ItspSize))
            return ChmDirectoryFault::Outside;
        const QByteArray itsp = read(qint64(dirOffset), ItspSize);
        if (itsp.size() != ItspSize || !itsp.startsWith("ITSP") || i32(itsp, 4) != 1 ||
            i32(itsp, 8) != ItspSize)
            return ChmDirectoryFault::Header;

        m_chunkSize = u32(itsp, 0x10);
        if (m_chunkSize < MinChunkSize || m_chunkSize > MaxChunkSize)
            return ChmDirectoryFault::ChunkSize;
        const qint32 depth = i32(itsp, 0x18);
        qint32 root = i32(itsp, 0x1c);
        const qint32 head = i32(itsp, 0x20);
        m_chunkCount = u32(itsp, 0x2c);
        if (depth < 1 || depth > MaxIndexDepth)
            return ChmDirectoryFault::TooDeep;
        m_chunksAt = qint64(dirOffset) + ItspSize;
        m_dataOffset = version == 3 ? u64(itsf, 0x58) : dirOffset + dirLength;
        if (m_chunkCount == 0 || quint64(m_chunkCount) * m_chunkSize > dirLength - ItspSize)
            return ChmDirectoryFault::Outside;

        // The library lists the parts along the "next" links from the first
        // listing chunk, and finds a part by descending from the root.
        if (const ChmDirectoryFault f = checkListing(head); f != ChmDirectoryFault::None)
            return f;
        if (root <= -1)
            root = head;
        if (const ChmDirectoryFault f = checkIndex(root, depth); f != ChmDirectoryFault::None)
            return f;
        return checkCompression();
    }

private:
    struct Part {
        quint64 section;
        quint64 offset;
        quint64 length;
    };

    QByteArray read(qint64 at, qint64 length)
    {
        if (!m_file.seek(at))
            return QByteArray();
        return m_file.read(length);
    }

    bool inDirectory(qint64 index) const { return index >= 0 && index < qint64(m_chunkCount); }

    std::optional<QByteArray> chunk(qint64 index)
    {
        const QByteArray bytes = read(m_chunksAt + index * m_chunkSize, m_chunkSize);
        if (bytes.size() != qsizetype(m_chunkSize))
            return std::nullopt;
        return bytes;
    }

    // Where a chunk's entries end, or nothing when its free space leaves
    // no room for its header.
    std::optional<int> entriesEnd(const QByteArray &chunk, int headerSize) const
    {
        const quint32 free = u32(chunk, 4);
        if (free > m_chunkSize - quint32(headerSize))
            return std::nullopt;
        return int(m_chunkSize - free);
    }

    // Reads a listing chunk's entries and keeps where the compression
    // settings lie. Only sections 0 (stored) and 1 (compressed) exist; the
    // library decompresses any other number.
    bool readListing(const QByteArray &chunk)
    {
        const std::optional<int> end = entriesEnd(chunk, ListingHeaderSize);
        if (!end)
            return false;
        EntryReader entries(chunk, ListingHeaderSize, *end);
        while (!entries.atEnd()) {
            const std::optional<QByteArray> name = entries.name();
            const std::optional<quint64> section = entries.number();
            const std::optional<quint64> offset = entries.number();
            const std::optional<quint64> length = entries.number();
            if (!name || !section || !offset || !length || *section > 1)
                return false;
            const Part part{*section, *offset, *length};
            if (isPart(*name, ResetTablePart))
                m_resetTables.append(part);
            else if (isPart(*name, ControlDataPart))
                m_controlData.append(part);
        }
        return true;
    }

    // The first bytes of a part stored whole within the file, or nothing.
    std::optional<QByteArray> storedStart(const Part &part, quint64 minLength, quint64 length)
    {
        const quint64 size = quint64(m_file.size());
        if (part.section != 0 || part.length < minLength || m_dataOffset > size ||
            part.offset > size - m_dataOffset || part.length > size - m_dataOffset - part.offset)
            return std::nullopt;
        return read(qint64(m_dataOffset + part.offset), qint64(qMin(part.length, length)));
    }

    // Every reset table and control data entry the walks met (a sound file
    // has one of each) must hold settings the library can divide by. It
    // reads the reset table's header and the control data whole.
    ChmDirectoryFault checkCompression()
    {
        for (const Part &table : std::as_const(m_resetTables)) {
            const std::optional<QByteArray> header = storedStart(table, ResetTableSize, ResetTableSize);
            if (!header)
                return ChmDirectoryFault::Compression;
            for (const Part &control : std::as_const(m_controlData)) {
                const std::optional<QByteArray> settings =
                    storedStart(control, MinControlDataSize, MaxControlDataSize);
                if (!settings || control.length > MaxControlDataSize ||
                    !lzxSettingsUsable(*header, *settings))
                    return ChmDirectoryFault::Compression;
            }
        }
        return ChmDirectoryFault::None;
    }

    ChmDirectoryFault checkListing(qint64 index)
    {
        QSet<qint64> visited;
        do {
            if (!inDirectory(index))
                return ChmDirectoryFault::ChunkIndex;
            if (visited.contains(index))
                return ChmDirectoryFault::Loop;
            visited.insert(index);
            const std::optional<QByteArray> bytes = chunk(index);
            if (!bytes)
                return ChmDirectoryFault::Outside;
            if (!bytes->startsWith("PMGL") || !readListing(*bytes))
                return ChmDirectoryFault::Chunk;
            m_listingsChecked.insert(index);
            index = i32(*bytes, 0x10);
        } while (index != -1);
        return ChmDirectoryFault::None;
    }

    // An index chunk's entries lead one level down; a listing chunk ends
    // the descent, which passes at most depth - 1 index chunks. Each chunk
    // is read once, however many entries lead to it.
    ChmDirectoryFault checkIndex(qint64 index, int levelsLeft)
    {
        if (!inDirectory(index))
            return ChmDirectoryFault::ChunkIndex;
        if (m_listingsChecked.contains(index))
            return ChmDirectoryFault::None;
        if (m_indexesVisited.contains(index))
            return ChmDirectoryFault::Loop;
        const std::optional<QByteArray> bytes = chunk(index);
        if (!bytes)
            return ChmDirectoryFault::Outside;
        if (bytes->startsWith("PMGL")) {
            if (!readListing(*bytes))
                return ChmDirectoryFault::Chunk;
            m_listingsChecked.insert(index);
            return ChmDirectoryFault::None;
        }
        if (!bytes->startsWith("PMGI"))
            return ChmDirectoryFault::Chunk;
        m_indexesVisited.insert(index);
        if (levelsLeft <= 1)
            return ChmDirectoryFault::TooDeep;
        const std::optional<int> end = entriesEnd(*bytes, IndexHeaderSize);
        if (!end)
            return ChmDirectoryFault::Chunk;
        EntryReader entries(*bytes, IndexHeaderSize, *end);
        while (!entries.atEnd()) {
            std::optional<quint64> child;
            if (!entries.name() || !(child = entries.number()))
                return ChmDirectoryFault::Chunk;
            if (*child >= m_chunkCount)
                return ChmDirectoryFault::ChunkIndex;
            if (const ChmDirectoryFault f = checkIndex(qint64(*child), levelsLeft - 1);
                f != ChmDirectoryFault::None)
                return f;
        }
        return ChmDirectoryFault::None;
    }

    QIODevice &m_file;
    quint64 m_dataOffset = 0;
    QList<Part> m_resetTables;
    QList<Part> m_controlData;
    quint32 m_chunkSize = 0;
    quint32 m_chunkCount = 0;
    qint64 m_chunksAt = 0;
    QSet<qint64> m_listingsChecked;
    QSet<qint64> m_indexesVisited;
};

} // namespace

ChmDirectoryFault checkChmDirectory(QIODevice &file)
{
    return DirectoryCheck(file).run();
}

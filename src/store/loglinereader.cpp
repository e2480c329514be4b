#include "store/loglinereader.h"

#include "common/kelvoraerror.h"
#include "store/fileerror.h"

#include <QDir>
#include <QStringDecoder>

LogLineReader::LogLineReader(const QString &path, qsizetype blockSize) : m_file(path), m_blockSize(blockSize)
{
    // Unbuffered: the blocks go straight into m_buffer.
    if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throwFileError(QStringLiteral("open"), m_file);
}

bool LogLineReader::atEnd()
{
    return m_lineStart == m_buffer.size() && !readBlock();
}

QStringView LogLineReader::next()
{
    return decode(nextBytes());
}

QByteArrayView LogLineReader::nextBytes()
{
    if (atEnd())
        return QByteArrayView();
    ++m_lineNumber;
    qsizetype lineFeed = m_buffer.indexOf('\n', m_lineStart + m_scanned);
    while (lineFeed < 0) {
        m_scanned = m_buffer.size() - m_lineStart;
        // Checked before each block, so at most one block more is held.
        if (m_scanned > MaxLineLength + 1)
            refuseLongLine();
        if (!readBlock())
            break;
        lineFeed = m_buffer.indexOf('\n', m_lineStart + m_scanned);
    }
    // A line without a line feed is the last one of the file.
    const qsizetype end = lineFeed < 0 ? m_buffer.size() : lineFeed;
    QByteArrayView line(m_buffer.constData() + m_lineStart, end - m_lineStart);
    m_lineStart = lineFeed < 0 ? end : end + 1;
    m_scanned = 0;
    line = line.endsWith('\r') ? line.chopped(1) : line;
    if (line.size() > MaxLineLength)
        refuseLongLine();
    return line;
}

void LogLineReader::refuseLongLine() const
{
    throw KelvoraError(
        QStringLiteral("Cannot read file %1: line %2 is longer than %3 bytes, so it is no log file")
            .arg(QDir::toNativeSeparators(m_file.fileName()))
            .arg(m_lineNumber)
            .arg(MaxLineLength));
}

bool LogLineReader::readBlock()
{
    if (m_fileEnded)
        return false;
    // The unread bytes, a part of a line, move to the front.
    m_buffer.remove(0, m_lineStart);
    m_lineStart = 0;
    const qsizetype kept = m_buffer.size();
    m_buffer.resize(kept + m_blockSize);
    const qint64 read = m_file.read(m_buffer.data() + kept, m_blockSize);
    if (read < 0)
        throwFileError(QStringLiteral("read"), m_file);
    m_buffer.resize(kept + read);
    m_fileEnded = read == 0;
    return !m_fileEnded;
}

QStringView LogLineReader::decode(QByteArrayView bytes)
{
    // Log files are mostly plain ASCII, which reads the same either way and
    // is widened into the storage of the line before.
    m_line.resize(bytes.size());
    char16_t *out = reinterpret_cast<char16_t *>(m_line.data());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte >= 0x80) {
            QStringDecoder utf8(QStringDecoder::Utf8);
            m_line = utf8.decode(bytes);
            if (utf8.hasError())
                m_line = QString::fromLatin1(bytes);
            break;
        }
        out[i] = byte;
    }
    return m_line;
}

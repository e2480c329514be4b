#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringView>

// The lines of a log file without their line ends (CR LF, or LF alone),
// read in large blocks. Each line is read as UTF-8, or as Latin-1 when it is
// not valid UTF-8. Throws KelvoraError naming the file when it cannot be
// opened or read, and when a line runs on past MaxLineLength bytes: a file
// without line ends (or a device that never ends) is refused before much of
// it is held in memory.
class LogLineReader {
public:
    static constexpr qsizetype DefaultBlockSize = 256 * 1024;
    // Far more than any line the program writes (33 characters).
    static constexpr qsizetype MaxLineLength = 1024;

    explicit LogLineReader(const QString &path, qsizetype blockSize = DefaultBlockSize);

    bool atEnd();
    // The next line, valid until the next call; empty past the end of the file.
    QStringView next();

private:
    QByteArrayView nextBytes();
    // Appends the next block to the unread bytes: false at the end of the file.
    bool readBlock();
    QStringView decode(QByteArrayView bytes);
    [[noreturn]] void refuseLongLine() const;

    QFile m_file;
    const qsizetype m_blockSize;
    QByteArray m_buffer;
    qsizetype m_lineStart = 0; // the first unread byte of m_buffer
    qsizetype m_scanned = 0;   // bytes from m_lineStart on known to hold no line feed
    bool m_fileEnded = false;
    qint64 m_lineNumber = 0; // of the line read last, from 1
    QString m_line;          // the last line read; its storage serves every ASCII line
};

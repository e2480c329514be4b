#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// An initialisation file edited line by line: "[section]" headers and
// "key=value" lines. Reading matches section and key names case-insensitively
// and skips anything unparseable. Writing changes only the keys it is given;
// every other line keeps its bytes and its line ending.
class IniDocument {
public:
    enum class LoadResult {
        Loaded,    // file read
        Missing,   // no file: the document is empty
        Unreadable // file exists but could not be read (no permission, a directory)
    };

    struct Entry {
        QString key;
        QString value;
    };

    // The document held by data; any bytes parse.
    static IniDocument fromBytes(const QByteArray &data);
    QByteArray toBytes() const;

    // Replaces the document with the file at path. When the file is missing or
    // unreadable the document is empty; an unreadable file must not be saved
    // over, since its other lines would be lost.
    LoadResult load(const QString &path);

    // Value of key in every section named section, in file order: the first
    // one wins. Values are trimmed.
    std::optional<QString> value(const QString &section, const QString &key) const;

    // Writes entries, in their order, right below the header of the first
    // section named section, dropping that section's earlier lines for these
    // keys and keeping its other lines. A missing section is appended, set
    // apart by a blank line. Line breaks in a value become blanks.
    void setSection(const QString &section, const QList<Entry> &entries);

    // Replaces the file at path atomically (temporary file + rename); on
    // failure the old file stays as it was.
    bool save(const QString &path) const;

private:
    // One line without its break, and the break itself ("\r\n", "\n", or
    // empty for a last line without one).
    struct Line {
        QByteArray text;
        QByteArray eol;
    };

    // The break of the first line that has one, else the platform's.
    QByteArray lineEnding() const;
    // A value written by an older installation in an 8-bit code page is not
    // UTF-8 and reads with replacement characters. While the entry still
    // holds what was read, the value's bytes in the file are returned so that
    // they are written back unchanged; otherwise a null array.
    QByteArray undecodedValue(const QString &section, const Entry &entry) const;

    QList<Line> m_lines;
};

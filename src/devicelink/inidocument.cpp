#include "inidocument.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// What a line means.
struct Parsed {
    enum Kind { Other, Header, KeyValue } kind = Other;
    QString name; // section name or key
    QString value;
};

Parsed parseLine(const QByteArray &line)
{
    // fromUtf8 drops a leading byte order mark.
    const QString text = QString::fromUtf8(line).trimmed();
    Parsed parsed;
    if (text.size() >= 2 && text.startsWith(u'[') && text.endsWith(u']')) {
        parsed.kind = Parsed::Header;
        parsed.name = text.mid(1, text.size() - 2).trimmed();
        return parsed;
    }
    if (text.startsWith(u';') || text.startsWith(u'#'))
        return parsed;
    const qsizetype eq = text.indexOf(u'=');
    if (eq <= 0)
        return parsed;
    parsed.name = text.left(eq).trimmed();
    if (parsed.name.isEmpty())
        return parsed;
    parsed.kind = Parsed::KeyValue;
    parsed.value = text.mid(eq + 1).trimmed();
    return parsed;
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool isHeaderOf(const Parsed &parsed, const QString &section)
{
    return parsed.kind == Parsed::Header && sameName(parsed.name, section);
}

bool isOneOfKeys(const Parsed &parsed, const QList<IniDocument::Entry> &entries)
{
    if (parsed.kind != Parsed::KeyValue)
        return false;
    for (const IniDocument::Entry &entry : entries) {
        if (sameName(parsed.name, entry.key))
            return true;
    }
    return false;
}

// A line break inside a value would split the line. keptBytes, when not
// null, are written as the value instead of the entry's text.
QByteArray entryLine(const IniDocument::Entry &entry, const QByteArray &keptBytes)
{
    if (!keptBytes.isNull())
        return entry.key.toUtf8() + '=' + keptBytes;
    QString value = entry.value;
    value.replace(u'\r', u' ').replace(u'\n', u' ');
    return entry.key.toUtf8() + '=' + value.toUtf8();
}

// The bytes after the '=' of a key=value line, blanks around them trimmed.
QByteArray valueBytes(const QByteArray &line)
{
    return line.mid(line.indexOf('=') + 1).trimmed();
}

bool isUtf8(const QByteArray &bytes)
{
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

QByteArray platformEol()
{
#ifdef Q_OS_WIN
    return QByteArrayLiteral("\r\n");
#else
    return QByteArrayLiteral("\n");
#endif
}

} // namespace

IniDocument IniDocument::fromBytes(const QByteArray &data)
{
    IniDocument doc;
    qsizetype start = 0;
    while (start < data.size()) {
        const qsizetype nl = data.indexOf('\n', start);
        if (nl < 0) {
            doc.m_lines.append({data.mid(start), QByteArray()});
            break;
        }
        const bool crlf = nl > start && data.at(nl - 1) == '\r';
        const qsizetype end = crlf ? nl - 1 : nl;
        doc.m_lines.append({data.mid(start, end - start), crlf ? QByteArray("\r\n") : QByteArray("\n")});
        start = nl + 1;
    }
    return doc;
}

QByteArray IniDocument::toBytes() const
{
    const QByteArray eol = lineEnding();
    QByteArray data;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        data += m_lines.at(i).text;
        // Only the very last line may lack a line break.
        data += (m_lines.at(i).eol.isEmpty() && i + 1 < m_lines.size()) ? eol : m_lines.at(i).eol;
    }
    return data;
}

IniDocument::LoadResult IniDocument::load(const QString &path)
{
    m_lines.clear();
    const QFileInfo info(path);
    if (!info.exists())
        return LoadResult::Missing;
    if (info.isDir())
        return LoadResult::Unreadable;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return LoadResult::Unreadable;
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return LoadResult::Unreadable;
    *this = fromBytes(data);
    return LoadResult::Loaded;
}

std::optional<QString> IniDocument::value(const QString &section, const QString &key) const
{
    bool inSection = false;
    for (const Line &line : m_lines) {
        const Parsed parsed = parseLine(line.text);
        if (parsed.kind == Parsed::Header)
            inSection = sameName(parsed.name, section);
        else if (inSection && parsed.kind == Parsed::KeyValue && sameName(parsed.name, key))
            return parsed.value;
    }
    return std::nullopt;
}

void IniDocument::setSection(const QString &section, const QList<Entry> &entries)
{
    const QByteArray eol = lineEnding();
    QList<Line> written;
    for (const Entry &entry : entries)
        written.append({entryLine(entry, undecodedValue(section, entry)), eol});

    // The section runs from its first header to the next header; later
    // headers of the same name are left alone.
    qsizetype header = -1;
    qsizetype sectionEnd = m_lines.size();
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const Parsed parsed = parseLine(m_lines.at(i).text);
        if (parsed.kind != Parsed::Header)
            continue;
        if (header >= 0) {
            sectionEnd = i;
            break;
        }
        if (isHeaderOf(parsed, section))
            header = i;
    }

    if (header < 0) {
        // A blank line sets the new section apart from what precedes it.
        if (!m_lines.isEmpty() && !QString::fromUtf8(m_lines.last().text).trimmed().isEmpty())
            m_lines.append({QByteArray(), eol});
        m_lines.append({'[' + section.toUtf8() + ']', eol});
        m_lines.append(written);
        return;
    }

    QList<Line> out = m_lines.mid(0, header + 1);
    out.append(written);
    for (qsizetype i = header + 1; i < sectionEnd; ++i) {
        if (!isOneOfKeys(parseLine(m_lines.at(i).text), entries))
            out.append(m_lines.at(i));
    }
    out.append(m_lines.mid(sectionEnd));
    m_lines = out;
}

bool IniDocument::save(const QString &path) const
{
    const QByteArray data = toBytes();
    QSaveFile file(path);
    // Unbuffered, so that a short write (disk full, file size limit) shows in
    // write()'s count: through the buffer it is lost and the cut file committed.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QByteArray IniDocument::undecodedValue(const QString &section, const Entry &entry) const
{
    // The line that value() reads: the first for the key in any section of that name.
    bool inSection = false;
    for (const Line &line : m_lines) {
        const Parsed parsed = parseLine(line.text);
        if (parsed.kind == Parsed::Header) {
            inSection = sameName(parsed.name, section);
        } else if (inSection && parsed.kind == Parsed::KeyValue && sameName(parsed.name, entry.key)) {
            const QByteArray bytes = valueBytes(line.text);
            return parsed.value == entry.value && !isUtf8(bytes) ? bytes : QByteArray();
        }
    }
    return QByteArray();
}

QByteArray IniDocument::lineEnding() const
{
    for (const Line &line : m_lines) {
        if (!line.eol.isEmpty())
            return line.eol;
    }
    return platformEol();
}

#include "helpsitemap.h"

#include <QRegularExpression>

namespace {

QString attribute(const QString &tag, const QString &name)
{
    const QRegularExpression pattern(
        QStringLiteral("\\b%1\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s>]+))").arg(name),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = pattern.match(tag);
    if (!m.hasMatch())
        return QString();
    for (int i = 1; i <= 3; ++i)
        if (m.capturedStart(i) >= 0)
            return m.captured(i);
    return QString();
}

// Names may hold character references such as "&amp;" or "&#176;".
QString decoded(const QString &text)
{
    static const QRegularExpression reference(QStringLiteral("&(#x[0-9a-f]+|#[0-9]+|amp|lt|gt|quot|apos);"),
                                              QRegularExpression::CaseInsensitiveOption);
    QString out;
    qsizetype done = 0;
    for (auto it = reference.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += text.mid(done, m.capturedStart() - done);
        done = m.capturedEnd();
        const QString name = m.captured(1).toLower();
        bool ok = false;
        const uint code = name.startsWith(QLatin1String("#x")) ? name.mid(2).toUInt(&ok, 16)
                          : name.startsWith(QLatin1Char('#'))  ? name.mid(1).toUInt(&ok, 10)
                                                               : 0;
        const char32_t character = code;
        if (ok && QChar::isPrint(character))
            out += QString::fromUcs4(&character, 1);
        else if (name == QLatin1String("amp"))
            out += QLatin1Char('&');
        else if (name == QLatin1String("lt"))
            out += QLatin1Char('<');
        else if (name == QLatin1String("gt"))
            out += QLatin1Char('>');
        else if (name == QLatin1String("quot"))
            out += QLatin1Char('"');
        else if (name == QLatin1String("apos"))
            out += QLatin1Char('\'');
        else
            out += m.captured();
    }
    return out + text.mid(done);
}

quint16 word(const QByteArray &data, qsizetype at)
{
    return quint16(quint8(data[at]) | quint8(data[at + 1]) << 8);
}

} // namespace

QVector<HelpContentsEntry> parseHelpContents(const QString &sitemap)
{
    static const QRegularExpression tags(QStringLiteral("<(/?)(ul|object|param)\\b([^>]*)>"),
                                         QRegularExpression::CaseInsensitiveOption);
    QVector<HelpContentsEntry> entries;
    int depth = -1;
    bool inEntry = false;
    HelpContentsEntry entry;
    for (auto it = tags.globalMatch(sitemap); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const bool closing = !m.captured(1).isEmpty();
        const QString tag = m.captured(2).toLower();
        const QString attributes = m.captured(3);
        if (tag == QLatin1String("ul")) {
            depth += closing ? -1 : 1;
        } else if (tag == QLatin1String("object")) {
            if (!closing &&
                attribute(attributes, QStringLiteral("type")).toLower() == QLatin1String("text/sitemap")) {
                inEntry = true;
                entry = HelpContentsEntry{QString(), QString(), qBound(0, depth, MaxContentsDepth)};
            } else if (closing && inEntry) {
                inEntry = false;
                if (!entry.name.isEmpty())
                    entries.append(entry);
                if (entries.size() == MaxContentsEntries)
                    break;
            }
        } else if (inEntry) {
            const QString name = attribute(attributes, QStringLiteral("name")).toLower();
            const QString value = decoded(attribute(attributes, QStringLiteral("value")));
            if (name == QLatin1String("name") && entry.name.isEmpty())
                entry.name = value;
            else if (name == QLatin1String("local"))
                entry.page = value;
        }
    }
    return entries;
}

HelpSystemInfo parseHelpSystemInfo(const QByteArray &system)
{
    enum Code : quint16 { ContentsFile = 0, DefaultTopic = 2, Title = 3 };
    HelpSystemInfo info;
    qsizetype at = 4;
    while (at + 4 <= system.size()) {
        const quint16 code = word(system, at);
        const quint16 length = word(system, at + 2);
        at += 4;
        if (at + length > system.size())
            break;
        // Texts are zero-terminated within their record.
        const QByteArray record = system.mid(at, length);
        const QString text =
            QString::fromLatin1(record.left(record.indexOf('\0') < 0 ? record.size() : record.indexOf('\0')));
        switch (code) {
        case ContentsFile: info.contentsFile = text; break;
        case DefaultTopic: info.defaultPage = text; break;
        case Title: info.title = text; break;
        default: break;
        }
        at += length;
    }
    return info;
}

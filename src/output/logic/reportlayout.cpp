#include "output/logic/reportlayout.h"

#include <QDir>
#include <QFile>

namespace {

const QStringList RowFields{QStringLiteral("RecNo"),    QStringLiteral("Date"), QStringLiteral("Time"),
                            QStringLiteral("MeaValue"), QStringLiteral("Unit"), QStringLiteral("Ems")};

class Parser {
public:
    Parser(const QString &fileName) : m_fileName(QDir::toNativeSeparators(fileName))
    {
        m_layout.fileName = m_fileName;
    }

    ReportLayout parse(const QByteArray &text)
    {
        const QList<QByteArray> lines = text.split('\n');
        for (m_line = 1; m_line <= lines.size(); ++m_line) {
            const QString line = QString::fromUtf8(lines.at(m_line - 1)).trimmed();
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char(';')))
                continue;
            if (line.startsWith(QLatin1Char('['))) {
                section(line);
                continue;
            }
            const int equals = line.indexOf(QLatin1Char('='));
            if (equals <= 0)
                fail(QStringLiteral("\"%1\" is neither a [Section] nor a Key=Value line").arg(line));
            setting(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
        }
        m_line = 0;
        if (m_layout.columns.isEmpty())
            fail(QStringLiteral("no columns: the [Columns] section names none"));
        return m_layout;
    }

private:
    [[noreturn]] void fail(const QString &what) const
    {
        if (m_line > 0)
            throw ReportLayoutError(
                QStringLiteral("Report layout %1, line %2: %3").arg(m_fileName).arg(m_line).arg(what));
        throw ReportLayoutError(QStringLiteral("Report layout %1: %2").arg(m_fileName, what));
    }

    void section(const QString &line)
    {
        static const QStringList Sections{QStringLiteral("Page"), QStringLiteral("Title"),
                                          QStringLiteral("Header"), QStringLiteral("Columns"),
                                          QStringLiteral("Footer")};
        if (!line.endsWith(QLatin1Char(']')))
            fail(QStringLiteral("\"%1\" lacks its closing \"]\"").arg(line));
        const QString name = line.mid(1, line.size() - 2).trimmed();
        if (!Sections.contains(name, Qt::CaseInsensitive))
            fail(QStringLiteral("unknown section [%1]").arg(name));
        m_section = name.toLower();
    }

    double number(const QString &text, double min, double max) const
    {
        bool ok = false;
        const double v = text.toDouble(&ok);
        // Written so that "nan", which compares false with every bound, fails.
        if (!ok || !(v >= min && v <= max))
            fail(QStringLiteral("\"%1\" is not a number from %2 to %3").arg(text).arg(min).arg(max));
        return v;
    }

    void setting(const QString &key, const QString &value)
    {
        const auto is = [&key](const char *name) {
            return key.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
        };
        ReportLayout &l = m_layout;
        const bool takesHeight =
            (m_section == QLatin1String("page") && (is("MarginsMm") || is("FontPointSize"))) ||
            m_section == QLatin1String("title") || m_section == QLatin1String("header") ||
            m_section == QLatin1String("footer");
        if (takesHeight && !l.heightLines.contains(m_line))
            l.heightLines.append(m_line);
        if (m_section == QLatin1String("page") && is("Orientation")) {
            if (value.compare(QLatin1String("Portrait"), Qt::CaseInsensitive) != 0 &&
                value.compare(QLatin1String("Landscape"), Qt::CaseInsensitive) != 0)
                fail(QStringLiteral("Orientation must be Portrait or Landscape, not \"%1\"").arg(value));
            l.landscape = value.compare(QLatin1String("Landscape"), Qt::CaseInsensitive) == 0;
        } else if (m_section == QLatin1String("page") && is("MarginsMm")) {
            const QStringList parts = value.split(QLatin1Char(','));
            if (parts.size() != 4)
                fail(QStringLiteral("MarginsMm needs four numbers: left,top,right,bottom"));
            l.marginsMm = QMarginsF(number(parts[0].trimmed(), 0, 100), number(parts[1].trimmed(), 0, 100),
                                    number(parts[2].trimmed(), 0, 100), number(parts[3].trimmed(), 0, 100));
        } else if (m_section == QLatin1String("page") && is("FontPointSize")) {
            l.fontPointSize = number(value, 4, 72);
        } else if (m_section == QLatin1String("title") && is("Text")) {
            l.title = value;
        } else if (m_section == QLatin1String("title") && is("FontPointSize")) {
            l.titlePointSize = number(value, 4, 72);
        } else if (m_section == QLatin1String("header") && is("Fields")) {
            header(value);
        } else if (m_section == QLatin1String("columns")) {
            column(key, value);
        } else if (m_section == QLatin1String("footer") && is("Text")) {
            l.footer = value;
        } else {
            fail(m_section.isEmpty() ? QStringLiteral("\"%1\" stands before any [Section]").arg(key)
                                     : QStringLiteral("unknown key \"%1\" in [%2]").arg(key, m_section));
        }
    }

    void header(const QString &value)
    {
        m_layout.header.clear();
        for (const QString &part : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const QString name = part.trimmed();
            if (name.compare(QLatin1String("CompanyName"), Qt::CaseInsensitive) == 0)
                m_layout.header.append(ReportLayout::HeaderField::CompanyName);
            else if (name.compare(QLatin1String("PrintDate"), Qt::CaseInsensitive) == 0)
                m_layout.header.append(ReportLayout::HeaderField::PrintDate);
            else
                fail(QStringLiteral("unknown header field \"%1\" (CompanyName or PrintDate)").arg(name));
        }
    }

    void column(const QString &field, const QString &value)
    {
        int known = -1;
        for (int i = 0; i < RowFields.size() && known < 0; ++i)
            if (RowFields.at(i).compare(field, Qt::CaseInsensitive) == 0)
                known = i;
        if (known < 0)
            fail(
                QStringLiteral("unknown field \"%1\" (%2)").arg(field, RowFields.join(QStringLiteral(", "))));
        const int comma = value.lastIndexOf(QLatin1Char(','));
        if (comma < 0)
            fail(QStringLiteral("column %1 needs a title and a width: <title>,<width in mm>").arg(field));
        m_layout.columns.append({RowFields.at(known), value.left(comma).trimmed(),
                                 number(value.mid(comma + 1).trimmed(), 1, 1000)});
    }

    QString m_fileName;
    int m_line = 0;
    QString m_section;
    ReportLayout m_layout;
};

} // namespace

QString ReportLayout::footerText(int page, int pages) const
{
    return QString(footer)
        .replace(QLatin1String("{page}"), QString::number(page))
        .replace(QLatin1String("{pages}"), QString::number(pages));
}

ReportLayoutError ReportLayout::heightError(const QString &what) const
{
    QStringList lines;
    for (int line : heightLines)
        lines << QString::number(line);
    if (lines.isEmpty())
        return ReportLayoutError(QStringLiteral("Report layout %1: %2").arg(fileName, what));
    return ReportLayoutError(QStringLiteral("Report layout %1, %2 %3: %4")
                                 .arg(fileName,
                                      lines.size() == 1 ? QStringLiteral("line") : QStringLiteral("lines"),
                                      lines.join(QStringLiteral(", ")), what));
}

ReportLayout ReportLayout::parse(const QByteArray &text, const QString &fileName)
{
    return Parser(fileName).parse(text);
}

ReportLayout ReportLayout::load(const QString &path)
{
    QFile file(path);
    const auto cannotLoad = [&] {
        return ReportLayoutError(QStringLiteral("Cannot load report layout %1: %2")
                                     .arg(QDir::toNativeSeparators(path), file.errorString()));
    };
    if (!file.open(QIODevice::ReadOnly))
        throw cannotLoad();
    const QByteArray text = file.readAll();
    // A read that failed part-way would print with a layout cut short.
    if (file.error() != QFileDevice::NoError)
        throw cannotLoad();
    return parse(text, path);
}

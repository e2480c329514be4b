#include "helplocation.h"

namespace {

const QString Scheme = QStringLiteral("chm");

QString normalisedPage(QString page)
{
    page.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (page.startsWith(QLatin1Char('/')))
        page.remove(0, 1);
    return page;
}

} // namespace

HelpLocation HelpLocation::parse(const QString &text)
{
    const int separator = text.lastIndexOf(QLatin1String("::"));
    if (separator < 0)
        return {text, QString()};
    return {text.left(separator), normalisedPage(text.mid(separator + 2))};
}

QUrl HelpUrl::forPage(const QString &page)
{
    QUrl url;
    url.setScheme(Scheme);
    const QString normalised = normalisedPage(page);
    const int hash = normalised.indexOf(QLatin1Char('#'));
    url.setPath(QLatin1Char('/') + (hash < 0 ? normalised : normalised.left(hash)));
    if (hash >= 0)
        url.setFragment(normalised.mid(hash + 1));
    return url;
}

bool HelpUrl::isPage(const QUrl &url)
{
    return url.scheme() == Scheme;
}

bool HelpUrl::opensOutside(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
                             scheme == QLatin1String("mailto"));
}

QString HelpUrl::page(const QUrl &url)
{
    return normalisedPage(url.path());
}

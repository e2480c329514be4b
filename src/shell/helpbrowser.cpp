#include "helpbrowser.h"

#include "chmarchive.h"
#include "shell/logic/helplocation.h"

#include <QDesktopServices>
#include <QStringDecoder>

HelpBrowser::HelpBrowser(const ChmArchive &archive, QWidget *parent)
    : QTextBrowser(parent), m_archive(archive)
{
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &HelpBrowser::follow);
}

void HelpBrowser::showPage(const QUrl &url)
{
    setSource(url, QTextDocument::HtmlResource);
}

// Only web pages and mail leave the help file: a page must not have the
// desktop open a local file or start a program by a link.
void HelpBrowser::follow(const QUrl &link)
{
    if (HelpUrl::isPage(link))
        showPage(link);
    else if (HelpUrl::opensOutside(link))
        QDesktopServices::openUrl(link);
}

// Pages, pictures and style sheets come from the help file alone, never from
// a local file or a device that a page names. The answer for another URL is
// empty but valid: on an invalid one the document would read the file itself.
QVariant HelpBrowser::loadResource(int type, const QUrl &name)
{
    if (!HelpUrl::isPage(name))
        return type == QTextDocument::ImageResource ? QVariant(QByteArray()) : QVariant(QString());
    const QString page = HelpUrl::page(name);
    const std::optional<QByteArray> bytes = m_archive.read(QLatin1Char('/') + page);
    switch (type) {
    case QTextDocument::HtmlResource: {
        if (!bytes)
            return QStringLiteral("<h3>Page not found</h3><p>The help file has no page \"%1\".</p>")
                .arg(page.toHtmlEscaped());
        QStringDecoder decoder = QStringDecoder::decoderForHtml(*bytes);
        return QString(decoder.decode(*bytes));
    }
    case QTextDocument::StyleSheetResource: return bytes ? QString::fromUtf8(*bytes) : QString();
    default: return bytes ? QVariant(*bytes) : QVariant();
    }
}

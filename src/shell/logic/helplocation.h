#pragma once

#include <QString>
#include <QUrl>

// Where a help command points: a compiled help file and a page inside it,
// written "file::/page". Pages are named with "/" inside the file; a "\"
// in a page name means the same.
struct HelpLocation {
    QString file;
    QString page; // "readme/welcome.doc"; empty for the file's default page

    static HelpLocation parse(const QString &text);
};

// The help window addresses pages as chm:/<page>, so that relative links
// between pages resolve like paths.
namespace HelpUrl {
QUrl forPage(const QString &page);
bool isPage(const QUrl &url);
// A link that may be handed to the desktop: http, https and mailto only.
bool opensOutside(const QUrl &url);
// The page named by a URL, without fragment: "readme/welcome.doc".
QString page(const QUrl &url);
} // namespace HelpUrl

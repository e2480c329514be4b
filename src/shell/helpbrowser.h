#pragma once

#include <QTextBrowser>

class ChmArchive;

// Shows the pages of a compiled help file, addressed as chm:/<page>: their
// text, pictures and style sheets come from the file and nowhere else. Links
// between pages open in the browser (with its back and forward history),
// http, https and mailto links on the desktop; other links do nothing.
class HelpBrowser final : public QTextBrowser {
    Q_OBJECT
public:
    HelpBrowser(const ChmArchive &archive, QWidget *parent);

    void showPage(const QUrl &url);
    QVariant loadResource(int type, const QUrl &name) override;

private:
    void follow(const QUrl &link);

    const ChmArchive &m_archive;
};

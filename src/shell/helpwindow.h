#pragma once

#include <QHash>
#include <QMainWindow>

#include <memory>

class ChmArchive;
class HelpBrowser;
class QTreeWidget;
class QTreeWidgetItem;

// A help window: the contents of a compiled help file as a tree beside the
// page shown, with back, forward and home. Deletes itself when closed.
class HelpWindow final : public QMainWindow {
    Q_OBJECT
public:
    HelpWindow(std::unique_ptr<ChmArchive> archive, QWidget *owner);
    ~HelpWindow() override;

    QString file() const;
    const ChmArchive &archive() const { return *m_archive; }
    // The page the file opens with, "readme/welcome.doc".
    QString defaultPage() const { return m_defaultPage; }
    void showPage(const QString &page);

    QTreeWidget *Contents;
    HelpBrowser *Browser;
    QAction *Back, *Forward, *Home;

private:
    void fillContents(const QString &contentsFile);
    void markPageInContents(const QUrl &url);

    std::unique_ptr<ChmArchive> m_archive;
    QString m_defaultPage;
    QHash<QString, QTreeWidgetItem *> m_itemOfPage;
};

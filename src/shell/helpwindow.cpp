#include "helpwindow.h"

#include "chmarchive.h"
#include "helpbrowser.h"
#include "shell/logic/helplocation.h"
#include "shell/logic/helpsitemap.h"

#include <QFileInfo>
#include <QSplitter>
#include <QStringDecoder>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>

namespace {

constexpr int PageRole = Qt::UserRole;

} // namespace

HelpWindow::HelpWindow(std::unique_ptr<ChmArchive> archive, QWidget *owner)
    : QMainWindow(owner, Qt::Window), m_archive(std::move(archive))
{
    setObjectName(QStringLiteral("HelpWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(880, 640);

    const HelpSystemInfo info =
        parseHelpSystemInfo(m_archive->read(QStringLiteral("/#SYSTEM")).value_or(QByteArray()));
    m_defaultPage = info.defaultPage;
    setWindowTitle(info.title.isEmpty() ? QFileInfo(file()).fileName() : info.title);

    Contents = new QTreeWidget;
    Contents->setObjectName(QStringLiteral("Contents"));
    Contents->setAccessibleName(QStringLiteral("Contents"));
    Contents->setHeaderHidden(true);
    Browser = new HelpBrowser(*m_archive, this);
    Browser->setObjectName(QStringLiteral("Browser"));
    Browser->setAccessibleName(QStringLiteral("Page"));

    auto *splitter = new QSplitter;
    splitter->addWidget(Contents);
    splitter->addWidget(Browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({270, 610});
    setCentralWidget(splitter);

    QToolBar *bar = addToolBar(QStringLiteral("Navigation"));
    bar->setObjectName(QStringLiteral("HelpToolBar"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    Back = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("&Back"), Browser,
                          &QTextBrowser::backward);
    Forward = bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("&Forward"),
                             Browser, &QTextBrowser::forward);
    Home = bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), QStringLiteral("&Home"), this,
                          [this] { showPage(m_defaultPage); });
    Back->setObjectName(QStringLiteral("Back"));
    Forward->setObjectName(QStringLiteral("Forward"));
    Home->setObjectName(QStringLiteral("Home"));
    Back->setEnabled(false);
    Forward->setEnabled(false);
    Home->setEnabled(!m_defaultPage.isEmpty());
    connect(Browser, &QTextBrowser::backwardAvailable, Back, &QAction::setEnabled);
    connect(Browser, &QTextBrowser::forwardAvailable, Forward, &QAction::setEnabled);

    fillContents(info.contentsFile);
    connect(Contents, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        const QString page = item ? item->data(0, PageRole).toString() : QString();
        if (!page.isEmpty())
            showPage(page);
    });
    connect(Browser, &QTextBrowser::sourceChanged, this, &HelpWindow::markPageInContents);
}

HelpWindow::~HelpWindow() = default;

QString HelpWindow::file() const
{
    return m_archive->path();
}

void HelpWindow::showPage(const QString &page)
{
    Browser->showPage(HelpUrl::forPage(page));
}

void HelpWindow::fillContents(const QString &contentsFile)
{
    if (contentsFile.isEmpty())
        return;
    const QByteArray bytes = m_archive->read(QLatin1Char('/') + contentsFile).value_or(QByteArray());
    QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
    QList<QTreeWidgetItem *> parents;
    for (const HelpContentsEntry &entry : parseHelpContents(decoder.decode(bytes))) {
        const int depth = qMin(entry.depth, int(parents.size()));
        parents.resize(depth);
        auto *item = depth == 0 ? new QTreeWidgetItem(Contents) : new QTreeWidgetItem(parents.last());
        item->setText(0, entry.name);
        const QString page = HelpUrl::page(HelpUrl::forPage(entry.page));
        item->setData(0, PageRole, entry.page.isEmpty() ? QString() : page);
        if (!entry.page.isEmpty() && !m_itemOfPage.contains(page))
            m_itemOfPage.insert(page, item);
        parents.append(item);
    }
    Contents->expandAll();
}

// The entry of the page shown is the current one, without showing it again.
void HelpWindow::markPageInContents(const QUrl &url)
{
    QTreeWidgetItem *item = m_itemOfPage.value(HelpUrl::page(url));
    if (!item)
        return;
    const QSignalBlocker quiet(Contents);
    Contents->setCurrentItem(item);
}

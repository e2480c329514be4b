#include "helpviewer.h"

#include "chmarchive.h"
#include "common/dialogs.h"
#include "helpwindow.h"
#include "shell/logic/helplocation.h"

#include <QApplication>
#include <QFileInfo>
#include <QList>
#include <QPointer>

#include <utility>

namespace {

const QString Caption = QStringLiteral("Help");

QList<QPointer<HelpWindow>> &openWindows()
{
    static QList<QPointer<HelpWindow>> windows;
    return windows;
}

QString absolute(const QString &file)
{
    return QFileInfo(file).absoluteFilePath();
}

HelpWindow *windowFor(const QString &file)
{
    for (const QPointer<HelpWindow> &w : openWindows())
        if (w && absolute(w->file()) == absolute(file))
            return w;
    return nullptr;
}

void report(const QString &text)
{
    Dialogs::instance().message(text, Caption, Dialogs::Icon::Error, Dialogs::Ok);
}

std::unique_ptr<ChmArchive> openArchive(const QString &file)
{
    ChmArchive::OpenError error = ChmArchive::OpenError::None;
    std::unique_ptr<ChmArchive> archive = ChmArchive::open(file, &error);
    if (error == ChmArchive::OpenError::Missing)
        report(QStringLiteral("The help file \"%1\" does not exist.").arg(file));
    else if (error == ChmArchive::OpenError::Damaged)
        report(QStringLiteral("The help file \"%1\" is damaged or is not a compiled help file.").arg(file));
    return archive;
}

QWidget *displayTopic(QWidget *caller, const QString &location)
{
    const HelpLocation where = HelpLocation::parse(location);
    HelpWindow *window = windowFor(where.file);
    std::unique_ptr<HelpWindow> made;
    if (!window) {
        std::unique_ptr<ChmArchive> archive = openArchive(where.file);
        if (!archive)
            return nullptr;
        made = std::make_unique<HelpWindow>(std::move(archive), caller ? caller->window() : nullptr);
        window = made.get();
    }
    const QString page = where.page.isEmpty() ? window->defaultPage() : where.page;
    const QString part = QLatin1Char('/') + page.section(QLatin1Char('#'), 0, 0);
    if (!window->archive().contains(part)) {
        report(QStringLiteral("The help file \"%1\" has no page \"%2\".").arg(where.file, page));
        return nullptr;
    }
    if (!window->archive().read(part)) {
        report(QStringLiteral("The page \"%2\" of the help file \"%1\" is damaged.").arg(where.file, page));
        return nullptr;
    }
    if (made) {
        openWindows().removeAll(nullptr); // windows the user has closed
        openWindows().append(made.release());
    }
    window->showPage(page);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void closeAll()
{
    for (const QPointer<HelpWindow> &w : std::exchange(openWindows(), {}))
        if (w)
            w->close();
}

QWidget *htmlHelp(QWidget *caller, const QString &file, unsigned command, quintptr data)
{
    switch (command) {
    case HH_INITIALIZE:
        if (data)
            *reinterpret_cast<quint32 *>(data) = 1;
        return nullptr;
    case HH_DISPLAY_TOPIC: return displayTopic(caller, file);
    case HH_CLOSE_ALL: closeAll(); return nullptr;
    default: return nullptr;
    }
}

class ProgramHelpLibrary final : public HelpLibrary {
public:
    // Help windows need a widget application.
    bool load() override { return qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr; }
    HtmlHelpFunction resolve(const char *name) override
    {
        return qstrcmp(name, "HtmlHelpA") == 0 ? HtmlHelpFunction(htmlHelp) : HtmlHelpFunction();
    }
};

} // namespace

HelpLibrary &programHelpLibrary()
{
    static ProgramHelpLibrary library;
    return library;
}

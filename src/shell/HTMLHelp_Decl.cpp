#include "HTMLHelp_Decl.h"

#include "common/kelvoraerror.h"
#include "helpviewer.h"

namespace {

struct Binding {
    HelpLibrary *library = nullptr; // null: the program's own viewer
    bool loaded = false;
    HtmlHelpFunction entry;
    quint32 cookie = 0; // filled by the viewer's initialisation, not used afterwards
};

Binding &binding()
{
    static Binding b;
    return b;
}

void bind(Binding &b)
{
    HelpLibrary &library = b.library ? *b.library : programHelpLibrary();
    if (!b.loaded) {
        if (!library.load())
            throw KelvoraError(QStringLiteral("HHCtrl.OCX not installed!\r HTMLHELP cannot displayed!"));
        b.loaded = true;
    }
    // Looked up again on the next call when it is missing, rather than
    // called through an empty entry.
    HtmlHelpFunction entry = library.resolve("HtmlHelpA");
    if (!entry)
        throw KelvoraError(QStringLiteral("Function HTMLHELP cannot loaded!"));
    b.entry = std::move(entry);
    b.entry(nullptr, QString(), HH_INITIALIZE, reinterpret_cast<quintptr>(&b.cookie));
}

} // namespace

QWidget *HtmlHelp(QWidget *caller, const QString &file, unsigned command, quintptr data)
{
    Binding &b = binding();
    if (!b.entry)
        bind(b);
    return b.entry(caller, file, command, data);
}

bool HtmlHelpBound()
{
    return bool(binding().entry);
}

void HtmlHelpUseLibrary(HelpLibrary *library)
{
    binding() = Binding{};
    binding().library = library;
}

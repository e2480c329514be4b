#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

class QWidget;

// Commands of the help viewer.
constexpr unsigned HH_DISPLAY_TOPIC = 0x00; // show "file::/page"
constexpr unsigned HH_CLOSE_ALL = 0x12;     // close every help window
constexpr unsigned HH_INITIALIZE = 0x1C;    // once, before any other command; data points at a quint32

// The viewer's entry point: the calling window, "file::/page", a command
// and its data. Returns the help window shown, or null.
using HtmlHelpFunction =
    std::function<QWidget *(QWidget *caller, const QString &file, unsigned command, quintptr data)>;

// Where the loader finds the viewer.
class HelpLibrary {
public:
    virtual ~HelpLibrary() = default;
    // False when the viewer is not available.
    virtual bool load() = 0;
    // The entry point of that name; empty when the library has none.
    virtual HtmlHelpFunction resolve(const char *name) = 0;
};

// Hands a command to the help viewer. The first call binds the viewer and
// initialises it; the binding stays for the life of the process. Throws
// KelvoraError when the viewer cannot be bound.
QWidget *HtmlHelp(QWidget *caller, const QString &file, unsigned command, quintptr data);

// The viewer has been bound: help has been used in this run.
bool HtmlHelpBound();

// Binds the viewer from another library from the next call on, forgetting
// the binding made so far; null restores the program's own viewer.
void HtmlHelpUseLibrary(HelpLibrary *library);

#pragma once

#include <QString>

// The one way the program talks to the user in modal boxes. The product
// installs an implementation with real message boxes and file dialogs;
// tests install one that scripts the answers and records what was shown.
class Dialogs {
public:
    enum class Icon { None, Information, Warning, Error, Question };
    enum Button { Ok = 0x1, Cancel = 0x2, Yes = 0x4, No = 0x8 };
    using Buttons = int;

    virtual ~Dialogs() = default;

    // Shows a modal message box and returns the button pressed.
    virtual Button message(const QString &text, const QString &caption, Icon icon, Buttons buttons) = 0;
    // As message(), with the button that Enter presses named.
    virtual Button ask(const QString &text, const QString &caption, Icon icon, Buttons buttons,
                       Button defaultButton)
    {
        Q_UNUSED(defaultButton);
        return message(text, caption, icon, buttons);
    }
    // Returns the chosen path, or an empty string when cancelled.
    virtual QString openFileName(const QString &caption, const QString &filter) = 0;
    // As openFileName(); selectedFilter, when given, receives the filter
    // (one ";;"-separated part of filter) selected when the name was chosen.
    virtual QString saveFileName(const QString &caption, const QString &filter, const QString &suggested,
                                 QString *selectedFilter = nullptr) = 0;

    // The installed service; a headless one that writes to stderr until the
    // program installs its own.
    static Dialogs &instance();
    // Installs a service (not owned); nullptr restores the headless one.
    static void install(Dialogs *dialogs);
};

// Shorthand for the usual failure box: error icon and OK.
void showError(const QString &text, const QString &caption = QString());

#include "cli/consoledialogs.h"

#include "cli/cliarguments.h"

Dialogs::Button ConsoleDialogs::message(const QString &text, const QString &caption, Icon, Buttons buttons)
{
    // Message texts break their lines with a carriage return.
    const QString shown = QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    Cli::printError(caption.isEmpty() ? shown : caption + QStringLiteral(": ") + shown);
    for (Button safe : {No, Cancel, Ok})
        if (buttons & safe)
            return safe;
    return Ok;
}

Dialogs::Button ConsoleDialogs::ask(const QString &text, const QString &caption, Icon icon, Buttons buttons,
                                    Button defaultButton)
{
    const Button safe = message(text, caption, icon, buttons);
    return (buttons & defaultButton) ? defaultButton : safe;
}

QString ConsoleDialogs::openFileName(const QString &, const QString &)
{
    return QString();
}

QString ConsoleDialogs::saveFileName(const QString &, const QString &, const QString &, QString *)
{
    return QString();
}

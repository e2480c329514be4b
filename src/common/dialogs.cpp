#include "common/dialogs.h"

#include "common/kelvoraerror.h"

#include <QTextStream>

namespace {

// Used where no window system is there to ask: tells the message on stderr
// and answers with the first button offered, as a box would be closed by default.
class HeadlessDialogs final : public Dialogs {
public:
    Button message(const QString &text, const QString &caption, Icon, Buttons buttons) override
    {
        QTextStream(stderr) << (caption.isEmpty() ? QString() : caption + QStringLiteral(": "))
                            << QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')) << Qt::endl;
        for (Button b : {Ok, Yes, No, Cancel})
            if (buttons & b)
                return b;
        return Ok;
    }
    // A question that names its default is closed with that answer.
    Button ask(const QString &text, const QString &caption, Icon icon, Buttons buttons,
               Button defaultButton) override
    {
        const Button pressed = message(text, caption, icon, buttons);
        return (buttons & defaultButton) ? defaultButton : pressed;
    }
    QString openFileName(const QString &, const QString &) override { return QString(); }
    QString saveFileName(const QString &, const QString &, const QString &, QString *) override
    {
        return QString();
    }
};

HeadlessDialogs headless;
Dialogs *installed = nullptr;

} // namespace

Dialogs &Dialogs::instance()
{
    return installed ? *installed : headless;
}

void Dialogs::install(Dialogs *dialogs)
{
    installed = dialogs;
}

void showError(const QString &text, const QString &caption)
{
    Dialogs::instance().message(text, caption, Dialogs::Icon::Error, Dialogs::Ok);
}

void reportError(const QString &text)
{
    showError(text);
}

#pragma once

#include "devicelink/dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>

// Dialogs for tests: records every message box and answers from a script
// (the default answer is the first button offered).
class ScriptedDialogs final : public Dialogs {
public:
    struct Shown {
        QString text;
        QString caption;
        Icon icon;
        Buttons buttons;
    };

    ScriptedDialogs() { Dialogs::install(this); }
    ~ScriptedDialogs() override { Dialogs::install(nullptr); }

    QList<Shown> shown;
    QList<Button> answers;        // consumed in order by message()
    QStringList fileAnswers;      // consumed in order by the file dialogs

    Button message(const QString &text, const QString &caption, Icon icon,
                   Buttons buttons) override
    {
        shown.append({text, caption, icon, buttons});
        if (!answers.isEmpty())
            return answers.takeFirst();
        for (Button b : {Ok, Yes, No, Cancel})
            if (buttons & b)
                return b;
        return Ok;
    }
    QString openFileName(const QString &, const QString &) override { return nextFile(); }
    QString saveFileName(const QString &, const QString &, const QString &) override
    {
        return nextFile();
    }

    QStringList texts() const
    {
        QStringList out;
        for (const Shown &s : shown)
            out << s.text;
        return out;
    }

private:
    QString nextFile() { return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst(); }
};

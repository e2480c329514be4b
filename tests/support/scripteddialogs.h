#pragma once

#include "common/dialogs.h"

#include <QEventLoop>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <utility>

// Dialogs for tests: records every message box and answers from a script
// (the default answer is the first button offered). By default a box is
// answered at once; holdOpen() makes boxes behave like real modal ones,
// which keep the event loop running (timers, serial events) until answered.
class ScriptedDialogs final : public Dialogs {
public:
    struct Shown {
        QString text;
        QString caption;
        Icon icon;
        Buttons buttons;
        Button defaultButton = Button(0); // as named by ask(); 0 for the box's own
    };

    ScriptedDialogs() { Dialogs::install(this); }
    ~ScriptedDialogs() override { Dialogs::install(nullptr); }

    QList<Shown> shown;
    QList<Button> answers;   // consumed in order by message()
    QStringList fileAnswers; // consumed in order by the file dialogs
    // Filters selected in the save dialogs, consumed in order; without one a
    // save dialog reports its first filter selected, as a file dialog opens.
    QStringList filterAnswers;
    // Caption and filter of each save dialog shown.
    QList<std::pair<QString, QString>> saveDialogs;
    QStringList suggestedNames; // the name each save dialog opened with

    // From now on every box keeps the event loop running until `until` holds
    // (checked every 10 ms) or limitMs have passed, then answers.
    void holdOpen(int limitMs, std::function<bool()> until = {})
    {
        m_holdMs = limitMs;
        m_until = std::move(until);
    }
    // A box is open (held) right now.
    bool isOpen() const { return m_open; }

    Button message(const QString &text, const QString &caption, Icon icon, Buttons buttons) override
    {
        shown.append({text, caption, icon, buttons});
        return answer(buttons);
    }
    Button ask(const QString &text, const QString &caption, Icon icon, Buttons buttons,
               Button defaultButton) override
    {
        shown.append({text, caption, icon, buttons, defaultButton});
        return answer(buttons);
    }
    QString openFileName(const QString &, const QString &) override { return nextFile(); }
    QString saveFileName(const QString &caption, const QString &filter, const QString &suggested,
                         QString *selectedFilter) override
    {
        saveDialogs.append({caption, filter});
        suggestedNames.append(suggested);
        const QString selected =
            filterAnswers.isEmpty() ? filter.section(QStringLiteral(";;"), 0, 0) : filterAnswers.takeFirst();
        if (selectedFilter)
            *selectedFilter = selected;
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
    Button answer(Buttons buttons)
    {
        if (m_holdMs > 0)
            hold();
        if (!answers.isEmpty())
            return answers.takeFirst();
        for (Button b : {Ok, Yes, No, Cancel})
            if (buttons & b)
                return b;
        return Ok;
    }

    void hold()
    {
        QEventLoop loop;
        QTimer limit;
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
        QTimer check;
        QObject::connect(&check, &QTimer::timeout, &loop, [&] {
            if (m_until && m_until())
                loop.quit();
        });
        limit.start(m_holdMs);
        check.start(10);
        m_open = true;
        loop.exec();
        m_open = false;
    }

    QString nextFile() { return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst(); }

    int m_holdMs = 0;
    std::function<bool()> m_until;
    bool m_open = false;
};

#pragma once

#include "common/dialogs.h"

// The command line's dialogs: nobody is there to answer, so every message
// goes to stderr and every question gets the answer that changes nothing
// (the default it names, else No, else Cancel). File dialogs are cancelled.
class ConsoleDialogs final : public Dialogs {
public:
    Button message(const QString &text, const QString &caption, Icon icon, Buttons buttons) override;
    Button ask(const QString &text, const QString &caption, Icon icon, Buttons buttons,
               Button defaultButton) override;
    QString openFileName(const QString &caption, const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &filter, const QString &suggested,
                         QString *selectedFilter) override;
};

#pragma once

#include "common/dialogs.h"

// The product's dialogs: QMessageBox and QFileDialog, parented to the
// active window. Carriage returns in texts are line breaks.
class QtDialogs final : public Dialogs {
public:
    Button message(const QString &text, const QString &caption, Icon icon, Buttons buttons) override;
    Button ask(const QString &text, const QString &caption, Icon icon, Buttons buttons,
               Button defaultButton) override;
    QString openFileName(const QString &caption, const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &filter, const QString &suggested,
                         QString *selectedFilter) override;
};

#include "qtdialogs.h"

#include "common/savesuggestion.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace {

QMessageBox::Icon toQt(Dialogs::Icon icon)
{
    switch (icon) {
    case Dialogs::Icon::Information: return QMessageBox::Information;
    case Dialogs::Icon::Warning: return QMessageBox::Warning;
    case Dialogs::Icon::Error: return QMessageBox::Critical;
    case Dialogs::Icon::Question: return QMessageBox::Question;
    case Dialogs::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

Dialogs::Button QtDialogs::message(const QString &text, const QString &caption, Icon icon, Buttons buttons)
{
    // QMessageBox's own choice of default: its first accepting button.
    return ask(text, caption, icon, buttons, Button(0));
}

Dialogs::Button QtDialogs::ask(const QString &text, const QString &caption, Icon icon, Buttons buttons,
                               Button defaultButton)
{
    QMessageBox box(toQt(icon), caption, QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')),
                    QMessageBox::NoButton, QApplication::activeWindow());
    const std::pair<Button, QMessageBox::StandardButton> pairs[] = {
        {Yes, QMessageBox::Yes}, {No, QMessageBox::No}, {Ok, QMessageBox::Ok}, {Cancel, QMessageBox::Cancel}};
    for (const auto &[ours, theirs] : pairs)
        if (buttons & ours)
            box.addButton(theirs);
    if (box.buttons().isEmpty())
        box.addButton(QMessageBox::Ok);
    for (const auto &[ours, theirs] : pairs)
        if (ours == defaultButton && (buttons & ours))
            box.setDefaultButton(theirs);
    const int pressed = box.exec();
    for (const auto &[ours, theirs] : pairs)
        if (pressed == theirs)
            return ours;
    // Closed by the frame or Escape: the box's escape answer.
    return (buttons & Cancel) ? Cancel : (buttons & No) ? No : Ok;
}

QString QtDialogs::openFileName(const QString &caption, const QString &filter)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), caption, QString(), filter);
}

QString QtDialogs::saveFileName(const QString &caption, const QString &filter, const QString &suggested,
                                QString *selectedFilter)
{
    // A bare suggested name opens in the folder of the last save.
    QFileDialog dialog(QApplication::activeWindow(), caption, SaveSuggestion::inLastFolder(suggested),
                       filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The program asks its own question before replacing a file and adds
    // its own extension, so the dialog does neither.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(QString());
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    if (selectedFilter)
        *selectedFilter = dialog.selectedNameFilter();
    const QString chosen = dialog.selectedFiles().value(0);
    SaveSuggestion::remember(chosen);
    return chosen;
}

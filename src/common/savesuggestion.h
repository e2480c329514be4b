#pragma once

#include <QDateTime>
#include <QString>

// What a save dialog opens with: a name telling what is saved and when,
// in the folder where the user last saved during this session.
namespace SaveSuggestion {

// "<subject> yyyy-MM-dd hhmm<extension>", e.g. "Measure 2026-12-11 0619.klg";
// the extension with its dot, or empty to leave it to the dialog's filter.
QString fileName(const QString &subject, const QDateTime &at, const QString &extension);

// The name in the folder last remembered; the name alone before that.
QString inLastFolder(const QString &name);
// Remembers the folder of a chosen file for the following dialogs.
void remember(const QString &chosenPath);

} // namespace SaveSuggestion

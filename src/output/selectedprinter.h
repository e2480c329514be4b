#pragma once

#include <QString>

class QPrinter;

// The printer the application prints on: the system's default printer at
// first; the printer set-up command changes it in place.
namespace SelectedPrinter {

QPrinter &printer();

// Whether the system has a printer installed.
bool systemHasPrinter();

// Makes printer() ready for one job. With a printer installed the job goes
// there as set up. Without one it would print to nowhere, so the user names
// a PDF file in a save dialog with the given caption and suggested name, and
// the job is written there. False when the user cancelled: print nothing.
bool chooseOutput(const QString &caption, const QString &suggestedFileName);

} // namespace SelectedPrinter

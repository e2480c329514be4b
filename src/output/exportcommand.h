#pragma once

class QWidget;

// The "&Export to Excel" command for the active data window (the
// measurement "Form5", import "Form4" or data view "Form7" window; any other
// window exports nothing): asks for a file (.XLS, .xlsx or .csv, by the
// extension typed or the filter chosen), writes the window's grid into it
// and tells how many rows it holds, or why it could not be written.
void exportToSpreadsheet(QWidget *activeChild);

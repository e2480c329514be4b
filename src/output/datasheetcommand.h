#pragma once

class QWidget;
class TRvDataSetConnection;
class TRvProject;

// The report components of the data sheet, alive as long as the program.
namespace DataSheetComponents {
TRvProject &RvProject1();
TRvDataSetConnection &RvDataSetConnection1();
} // namespace DataSheetComponents

// "Print &Data Sheet" for the active data window (measurement "Form5",
// import "Form4", data view "Form7"): loads the report layout
// "Kelvora_en.rav" beside the executable anew, binds the window's table
// and runs the report, unless the table is empty or the layout cannot be
// loaded, which is told in a message box.
void printDataSheet(QWidget *activeChild);

// "Printer Se&tup": the platform's printer dialog for the printer that the
// data sheet and "Print Graph" use.
void setUpPrinter();

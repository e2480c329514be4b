// The main window's output commands: spreadsheet export and data sheet printing.
#include "MAIN.h"

#include "output/datasheetcommand.h"
#include "output/exportcommand.h"

void TForm1::N7Click()
{
    exportToSpreadsheet(activeChild());
}

void TForm1::N8Click()
{
    printDataSheet(activeChild());
}

void TForm1::N13Click()
{
    setUpPrinter();
}

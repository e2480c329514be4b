#include "selectedprinter.h"

#include "common/dialogs.h"

#include <QCoreApplication>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

QPrinter *current = nullptr;

// The printer belongs to the application: it goes with it.
void destroyPrinter()
{
    delete current;
    current = nullptr;
}

} // namespace

namespace SelectedPrinter {

QPrinter &printer()
{
    if (!current) {
        current = new QPrinter(QPrinter::HighResolution);
        qAddPostRoutine(destroyPrinter);
    }
    return *current;
}

bool systemHasPrinter()
{
    return !QPrinterInfo::availablePrinters().isEmpty();
}

bool chooseOutput(const QString &caption, const QString &suggestedFileName)
{
    if (systemHasPrinter())
        return true;
    const QString file =
        Dialogs::instance().saveFileName(caption, QStringLiteral("PDF files (*.pdf)"), suggestedFileName);
    if (file.isEmpty())
        return false;
    QPrinter &p = printer();
    p.setOutputFormat(QPrinter::PdfFormat);
    p.setOutputFileName(file);
    return true;
}

} // namespace SelectedPrinter

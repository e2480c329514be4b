#include "output/datasheetcommand.h"

#include "common/apppaths.h"
#include "common/dialogs.h"
#include "devicelink/systemvar.h"
#include "output/reportengine.h"
#include "output/selectedprinter.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPrintDialog>
#include <QScopeGuard>
#include <QWidget>

namespace {

struct Components {
    TRvProject project;
    TRvDataSetConnection connection;
};

Components *components = nullptr;

void destroyComponents()
{
    delete components;
    components = nullptr;
}

Components &instance()
{
    if (!components) {
        components = new Components;
        components->project.setConnection(&components->connection);
        // The data view's table until the first print binds another.
        if (Form6)
            components->connection.setDataSet(&Form6->Table3);
        qAddPostRoutine(destroyComponents);
    }
    return *components;
}

// The table of a data window by its component name; null for other windows.
MeasureTable *tableOf(const QWidget *window)
{
    if (!window || !Form6)
        return nullptr;
    const QString name = window->objectName();
    if (name == QLatin1String("Form5"))
        return &Form6->Table1;
    if (name == QLatin1String("Form4"))
        return &Form6->Table2;
    if (name == QLatin1String("Form7"))
        return &Form6->Table3;
    return nullptr;
}

} // namespace

TRvProject &DataSheetComponents::RvProject1()
{
    return instance().project;
}

TRvDataSetConnection &DataSheetComponents::RvDataSetConnection1()
{
    return instance().connection;
}

void printDataSheet(QWidget *activeChild)
{
    const QString noData = QStringLiteral("Have No Data in Database,Can not to Print!");
    const QString caption = QStringLiteral("Print Error");
    TRvProject &project = DataSheetComponents::RvProject1();
    project.setProjectFile(AppPaths::besideExecutable(QString::fromLatin1(TForm6::ReportFileName)));
    try {
        project.Open();
    } catch (const ReportLayoutError &e) {
        showError(e.text(), caption);
        return;
    }
    // Closed however the print ends, so that the next one loads the layout anew.
    const auto closeProject = qScopeGuard([&project] { project.Close(); });
    MeasureTable *table = tableOf(activeChild);
    if (table) {
        DataSheetComponents::RvDataSetConnection1().setDataSet(table);
        if (table->isEmpty()) {
            showError(noData, caption);
            return;
        }
    }
    try {
        project.Execute();
    } catch (const ReportLayoutError &e) {
        showError(e.text(), caption);
    }
}

void setUpPrinter()
{
    QPrintDialog dialog(&SelectedPrinter::printer(), QApplication::activeWindow());
    dialog.setObjectName(QStringLiteral("PrinterSetupDialog1"));
    dialog.setWindowTitle(QStringLiteral("Printer Setup"));
    // A set-up: the printer and its page, no choice of pages or copies.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    dialog.exec();
}

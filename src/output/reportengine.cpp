#include "output/reportengine.h"

#include "devicelink/systemvars.h"
#include "output/datasheetrenderer.h"
#include "output/selectedprinter.h"
#include "store/measuretable.h"

#include <QApplication>
#include <QDate>
#include <QPrintPreviewDialog>
#include <QPrinter>

TRvDataSetConnection::TRvDataSetConnection(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("RvDataSetConnection1"));
}

TRvProject::TRvProject(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("RvProject1"));
}

void TRvProject::Open()
{
    if (!m_layout)
        m_layout = ReportLayout::load(m_projectFile);
}

void TRvProject::Print(QPrinter &printer) const
{
    MeasureTable *table = m_connection ? m_connection->dataSet() : nullptr;
    if (!m_layout || !table)
        return;
    const DataSheetRenderer renderer(*m_layout, *table, SystemVars.companyName, QDate::currentDate());
    renderer.setUpPage(printer);
    renderer.checkPage(printer);
    renderer.render(printer);
}

void TRvProject::render(QPrinter &printer) const
{
    MeasureTable *table = m_connection ? m_connection->dataSet() : nullptr;
    if (!m_layout || !table)
        return;
    DataSheetRenderer(*m_layout, *table, SystemVars.companyName, QDate::currentDate()).render(printer);
}

void TRvProject::Execute()
{
    MeasureTable *table = m_connection ? m_connection->dataSet() : nullptr;
    if (!m_layout || !table)
        return;
    QPrinter &printer = SelectedPrinter::printer();
    const QPageLayout printersOwn = printer.pageLayout();
    const DataSheetRenderer renderer(*m_layout, *table, SystemVars.companyName, QDate::currentDate());
    renderer.setUpPage(printer);
    try {
        renderer.checkPage(printer);
    } catch (...) {
        printer.setPageLayout(printersOwn);
        throw;
    }
    QPrintPreviewDialog preview(&printer, QApplication::activeWindow());
    preview.setObjectName(QStringLiteral("DataSheetPreview"));
    preview.setWindowTitle(QStringLiteral("Print Data Sheet"));
    // Asked for the pages when the preview opens, when the user changes the
    // page in it and when it prints; the layout and table are those of this
    // run, which lasts while it is open.
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter *target) { render(*target); });
    preview.exec();
    printer.setPageLayout(printersOwn);
}

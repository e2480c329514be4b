#include "output/exportcommand.h"

#include "common/dialogs.h"
#include "common/kelvoraerror.h"
#include "common/savesuggestion.h"
#include "measure/measuregrid.h"
#include "output/DBGridEhToExcel.h"
#include "output/logic/exportformat.h"
#include "store/measuretable.h"
#include "store/measuretablemodel.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QWidget>

namespace {

const QString Caption = QStringLiteral("Export Data");
const QString NothingToExport = QStringLiteral("There are no records to export.");

MeasureGrid *exportedGrid(QWidget *window)
{
    static const QStringList DataWindows{QStringLiteral("Form5"), QStringLiteral("Form4"),
                                         QStringLiteral("Form7")};
    if (!window || !DataWindows.contains(window->objectName()))
        return nullptr;
    return window->findChild<MeasureGrid *>(QStringLiteral("DBGridEh1"));
}

// What the suggested file name calls the exported window; the extension is
// left to the filter selected in the dialog.
QString exportSuggestion(const QWidget *window)
{
    const QString name = window ? window->objectName() : QString();
    const QString subject = name == QLatin1String("Form5")   ? QStringLiteral("Measure")
                            : name == QLatin1String("Form4") ? QStringLiteral("Import")
                                                             : QStringLiteral("Data View");
    return SaveSuggestion::fileName(subject, QDateTime::currentDateTime(), QString());
}

QString exportedText(const WorkbookResult &rows, const QString &path, int maxRows)
{
    const QString count = rows.rowsWritten == rows.rowCount
                              ? QString::number(rows.rowCount)
                              : QStringLiteral("%1 of %2").arg(rows.rowsWritten).arg(rows.rowCount);
    QString text = QStringLiteral("Exported  %1  records total. \r").arg(count);
    if (rows.rowsWritten < rows.rowCount)
        text += QStringLiteral("A sheet holds no more than %1 rows.\r").arg(maxRows);
    return text + QDir::toNativeSeparators(path);
}

bool holdsRecords(const MeasureGrid *grid)
{
    const MeasureTable *table = grid ? grid->tableModel()->table() : nullptr;
    return table && table->isActive() && !table->isEmpty();
}

} // namespace

void exportToSpreadsheet(QWidget *activeChild)
{
    Dialogs &dialogs = Dialogs::instance();
    const QPointer<QWidget> window = activeChild;
    // An empty table gives no file: no name is asked for and no file of
    // that name is touched.
    if (MeasureGrid *grid = exportedGrid(window); grid && !holdsRecords(grid)) {
        dialogs.message(NothingToExport, Caption, Dialogs::Icon::Information, Dialogs::Ok);
        return;
    }
    QString filter;
    const QString chosen =
        dialogs.saveFileName(QStringLiteral("Save As"), exportFilter(), exportSuggestion(window), &filter);
    if (chosen.isEmpty())
        return;
    const ExportTarget target = exportTarget(chosen, filter);
    const QString &path = target.path;
    bool replaceAgreed = false;
    if (QFileInfo::exists(path)) {
        if (dialogs.message(QDir::toNativeSeparators(path) +
                                QStringLiteral("  already exists!\rDo you want to replace it?"),
                            QStringLiteral("Query  Information"), Dialogs::Icon::Question,
                            Dialogs::Yes | Dialogs::No) != Dialogs::Yes)
            return;
        // The old file stays until the new one is complete and renamed over
        // it. What no file can replace (a folder) is asked about once more.
        replaceAgreed = QFileInfo(path).isFile();
    }
    // The window may have closed while a dialog was open.
    MeasureGrid *grid = exportedGrid(window);
    if (!grid)
        return;

    TDBGridEhToExcel exporter;
    exporter.SetDBGridEh(grid);
    exporter.SetFileName(path);
    exporter.SetReplaceAgreed(replaceAgreed);
    exporter.SetFormat(target.format);
    // A .csv reads as the window's log file does: one decimal for the measurement window.
    exporter.SetCsvValueText(window->objectName() == QLatin1String("Form5") ? LogValueText::OneDecimal
                                                                            : LogValueText::Shortest);
    TDBGridEhToExcel::Result result;
    try {
        result = exporter.ExportFile();
    } catch (const KelvoraError &e) {
        showError(e.text(), Caption);
        return;
    }
    switch (result.outcome) {
    case TDBGridEhToExcel::Outcome::Written:
        dialogs.message(exportedText(result.rows, path, maxDataRows(target.format)), Caption,
                        Dialogs::Icon::Information, Dialogs::Ok);
        return;
    case TDBGridEhToExcel::Outcome::NothingToWrite:
        // The table was emptied while a dialog was open; the old file stays.
        dialogs.message(NothingToExport, Caption, Dialogs::Icon::Information, Dialogs::Ok);
        return;
    case TDBGridEhToExcel::Outcome::Declined:
        // No to the overwrite question: nothing was exported, so nothing is reported.
        return;
    }
}

// Prints what the output commands cost: exporting 65,534 rows (a full
// sheet) to .xls, side by side with LibreOffice headless converting the same
// rows from CSV to XLS, the tool a user would reach for instead (its start-up,
// timed on a one-row file, apart from the conversion work); exporting 65,534
// and 1,000,000 rows to .xlsx, with the memory the export itself takes; and
// for a 100,000-row data sheet the time until the print preview shows its
// first page and the time to write the whole PDF. Needs soffice on PATH for
// the comparison.

#include "../tests/support/officeconversion.h"
#include "benchsupport.h"
#include "output/datasheetrenderer.h"
#include "output/logic/reportlayout.h"
#include "output/logic/worksheetwriter.h"
#include "output/logic/xlsxsheetwriter.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <vector>

namespace {

constexpr int SheetRows = 65534;
constexpr int DataSheetRows = 100000;
constexpr int LongWorkbookRows = 1000000;
constexpr int ExportRuns = 7;
constexpr int OfficeRuns = 3;

QVector<GridColumn> gridColumns()
{
    QVector<GridColumn> columns;
    for (const char *name : {"RecNo", "MeaValue", "Unit", "Ems", "Time", "Date"})
        columns.append({QLatin1String(name), QLatin1String(name), true});
    return columns;
}

void fill(KelvoraDatabase &db, MeasureTable &table, int rows)
{
    QVector<MeasureRecord> records;
    records.reserve(rows);
    for (int i = 0; i < rows; ++i)
        records.append(benchRecord(i + 1, i, 200.0 + (i % 1500) / 10.0));
    db.inBulk([&] { table.appendAll(records); });
}

void writeCsv(const QString &path, const MeasureTable &table)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("RecNo,MeaValue,Unit,Ems,Time,Date\n");
    for (const MeasureRecord &r : table.rows())
        file.write(QStringLiteral("%1,%2,%3,%4,%5,%6\n")
                       .arg(r.recno)
                       .arg(r.meavalue, 0, 'g', 15)
                       .arg(r.unit)
                       .arg(r.ems, 0, 'g', 15)
                       .arg(r.time, r.date)
                       .toUtf8());
}

double ms(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// The resident memory now, in kB.
long residentMemoryKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

long earlierPeakKb = 0;

// Starts the peak of peakMemoryKb() afresh from the memory resident now
// (Linux: "5" to clear_refs), so that it tells what one step takes;
// wholePeakMemoryKb() still tells the peak of the whole run. Free heap is
// given back first, so that a step cannot hide its memory in it.
void resetPeakMemory()
{
    earlierPeakKb = std::max(earlierPeakKb, peakMemoryKb());
    malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

long wholePeakMemoryKb()
{
    return std::max(earlierPeakKb, peakMemoryKb());
}

// Exports table to an .xlsx file runs times and prints the median time and
// what the export held in memory beyond the table at its peak.
void benchWorkbook(const QString &path, MeasureTable &table, int runs)
{
    std::vector<double> times;
    long extraKb = 0;
    for (int run = 0; run < runs; ++run) {
        resetPeakMemory();
        const long before = residentMemoryKb();
        QElapsedTimer timer;
        timer.start();
        XlsxSheet::writeFile(path, table, gridColumns());
        times.push_back(ms(timer));
        extraKb = std::max(extraKb, peakMemoryKb() - before);
    }
    const double median = Timing::of(times).median;
    std::printf("export of %d rows to .xlsx (%lld bytes): median of %d runs %.0f ms (%.0f rows/s), "
                "peak memory of the export beyond the table %ld kB\n",
                table.recordCount(), QFileInfo(path).size(), runs, median,
                table.recordCount() / median * 1000.0, extraKb);
}

} // namespace

int main(int argc, char **argv)
{
    drawWithoutDisplayUnlessAsked();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QDir here(dir.path());
    KelvoraDatabase db;
    db.open(here.filePath(QStringLiteral("bench.mdb")));

    // Export of a full sheet.
    MeasureTable sheet(db, QStringLiteral("GetRecorde"));
    sheet.open();
    fill(db, sheet, SheetRows);
    ApplyGridLayout(sheet.fields(), gridColumns());
    const QString xls = here.filePath(QStringLiteral("sheet.xls"));
    std::vector<double> exports;
    for (int run = 0; run < ExportRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        WriteWorkbookFile(xls, sheet, gridColumns(), QString());
        exports.push_back(ms(timer));
    }
    const double exportMs = Timing::of(exports).median;
    std::printf("export of %d rows to .xls (%lld bytes): median of %d runs %.1f ms (%.0f rows/s)\n",
                SheetRows, QFileInfo(xls).size(), ExportRuns, exportMs, SheetRows / exportMs * 1000.0);

    benchWorkbook(here.filePath(QStringLiteral("sheet.xlsx")), sheet, ExportRuns);
    {
        MeasureTable longTable(db, QStringLiteral("MeaData"));
        longTable.open();
        fill(db, longTable, LongWorkbookRows);
        ApplyGridLayout(longTable.fields(), gridColumns());
        std::printf("  table of %d rows in memory: %ld kB resident\n", LongWorkbookRows, residentMemoryKb());
        benchWorkbook(here.filePath(QStringLiteral("long.xlsx")), longTable, 1);
        longTable.close();
        longTable.emptyTable();
    }

    const QString csv = here.filePath(QStringLiteral("rows.csv"));
    writeCsv(csv, sheet);
    const QString profile = here.filePath(QStringLiteral("office-profile"));
    const QString officeOut = here.filePath(QStringLiteral("office"));
    QDir().mkpath(officeOut);
    // A one-row file shows what LibreOffice costs before any conversion work:
    // starting, loading its filters and writing a file.
    const QString oneRow = here.filePath(QStringLiteral("one-row.csv"));
    {
        QFile file(oneRow);
        file.open(QIODevice::WriteOnly);
        file.write("RecNo,MeaValue,Unit,Ems,Time,Date\n1,20,C,0.95,10:00:00,2024-05-01\n");
    }
    std::vector<double> conversions;
    std::vector<double> startUps;
    double firstConversion = 0;
    bool converted = true;
    for (int run = 0; run <= OfficeRuns && converted; ++run) {
        for (const QString &source : {csv, oneRow}) {
            QElapsedTimer timer;
            timer.start();
            const OfficeConversion c =
                convertWithOffice(source, QStringLiteral("xls"), officeOut, 300000, profile);
            if (c.output.isEmpty()) {
                std::printf("LibreOffice conversion failed: %s\n", qPrintable(c.log));
                converted = false;
                break;
            }
            const double took = ms(timer);
            // The first run also sets up the user profile.
            if (run > 0)
                (source == csv ? conversions : startUps).push_back(took);
            else if (source == csv)
                firstConversion = took;
        }
    }
    if (converted && !conversions.empty()) {
        const double officeMs = Timing::of(conversions).median;
        const double startUpMs = Timing::of(startUps).median;
        const double workMs = officeMs - startUpMs;
        std::printf("LibreOffice headless CSV -> XLS of the same rows: first run (new profile) %.0f ms, "
                    "median of %d further runs %.0f ms\n",
                    firstConversion, int(conversions.size()), officeMs);
        std::printf(
            "  of which start-up (median of %d one-row conversions) %.0f ms, conversion work %.0f ms\n",
            int(startUps.size()), startUpMs, workMs);
        std::printf("  export is %.0f times faster than the whole run (target: at least 20), %.0f times "
                    "faster than the conversion work alone\n",
                    officeMs / exportMs, workMs / exportMs);
    }

    // The data sheet of 100,000 rows.
    MeasureTable data(db, QStringLiteral("LoadData"));
    data.open();
    fill(db, data, DataSheetRows);
    const QString layoutPath =
        QFileInfo(QCoreApplication::applicationFilePath()).dir().filePath(QStringLiteral("Kelvora_en.rav"));
    const ReportLayout layout = ReportLayout::load(layoutPath);
    const DataSheetRenderer renderer(layout, data, QStringLiteral("Northwind Kilns Ltd"),
                                     QDate::currentDate());

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    renderer.setUpPage(printer);
    {
        QPrintPreviewDialog preview(&printer);
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, [&](QPrinter *target) {
            QElapsedTimer t;
            t.start();
            renderer.render(*target);
            std::printf("  the preview asked for all its pages at once; drawing them took %.0f ms\n", ms(t));
        });
        auto *widget = preview.findChild<QPrintPreviewWidget *>();
        QElapsedTimer timer;
        timer.start();
        preview.show();
        while (widget->pageCount() == 0 && timer.elapsed() < 600000)
            QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        std::printf("data sheet of %d rows: print preview open with its first page after %.0f ms "
                    "(%d pages; target: within 1000 ms)\n",
                    DataSheetRows, ms(timer), widget->pageCount());
    }
    printer.setOutputFileName(here.filePath(QStringLiteral("sheet.pdf")));
    QElapsedTimer timer;
    timer.start();
    renderer.render(printer);
    const double pdfMs = ms(timer);
    std::printf("data sheet of %d rows: whole PDF written in %.0f ms (%lld bytes)\n", DataSheetRows, pdfMs,
                QFileInfo(printer.outputFileName()).size());
    std::printf("peak memory: %ld kB\n", wholePeakMemoryKb());
    return 0;
}

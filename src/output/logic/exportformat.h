#pragma once

#include <QString>

// The file formats of the "Export to Excel" command.
enum class ExportFormat { Xls, Xlsx, Csv };

// The save dialog's filters: the legacy sheet in both cases, the workbook
// and the CSV file.
QString exportFilter();

struct ExportTarget {
    QString path;
    ExportFormat format = ExportFormat::Xls;
};

// The file and format of an export from the name chosen in the save dialog
// and the filter selected there. An extension typed (.xls, .xlsx or .csv,
// either case) chooses the format; otherwise the filter does, and a name
// without an extension gets the filter's. A name with an extension of
// another kind keeps it.
ExportTarget exportTarget(const QString &chosen, const QString &selectedFilter);

// How many table rows a file of the format holds at most.
int maxDataRows(ExportFormat format);

#pragma once

#include "output/logic/exportformat.h"
#include "output/logic/worksheetwriter.h"
#include "store/logrecordline.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>

class MeasureGrid;
class MeasureTable;
class QTableView;

// Exports the table behind a data grid as a spreadsheet file (the legacy
// .xls unless told otherwise): the grid's columns give the titles, their
// order and which fields are shown. A .csv file holds every row and field
// as kelvora-cli writes it. Made, set up and used for one export.
class TDBGridEhToExcel : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        Written,        // the file holds the sheet
        NothingToWrite, // empty or closed table, or no file name: nothing written
        Declined,       // No to the overwrite question: nothing written
    };
    struct Result {
        Outcome outcome = Outcome::NothingToWrite;
        WorkbookResult rows;
    };

    explicit TDBGridEhToExcel(QObject *parent = nullptr);

    void SetDBGridEh(MeasureGrid *grid) { m_grid = grid; }
    MeasureGrid *DBGridEh() const { return m_grid; }
    void SetFileName(const QString &fileName) { m_fileName = fileName; }
    QString FileName() const { return m_fileName; }
    void SetTitleName(const QString &title) { m_titleName = title; }
    QString TitleName() const { return m_titleName; }
    // The user has agreed to replace FileName already: no question then.
    void SetReplaceAgreed(bool agreed) { m_replaceAgreed = agreed; }
    void SetFormat(ExportFormat format) { m_format = format; }
    // How the values of a .csv file read.
    void SetCsvValueText(LogValueText valueText) { m_csvValueText = valueText; }

    // Writes FileName from the grid, with the hourglass cursor. When the
    // file exists the user is asked whether to overwrite it (No is the
    // default). The new file replaces the old one only when complete.
    // Throws KelvoraError when the file cannot be written; no part of it is
    // left then, and the old file is as it was.
    Result ExportFile();

    // A grid's columns in the order shown, with title and visibility.
    static QVector<GridColumn> gridColumns(const QTableView &grid);

private:
    WorkbookResult writeFile(MeasureTable &table, const QVector<GridColumn> &columns) const;

    QPointer<MeasureGrid> m_grid;
    QString m_titleName;
    QString m_fileName;
    bool m_replaceAgreed = false;
    ExportFormat m_format = ExportFormat::Xls;
    LogValueText m_csvValueText = LogValueText::Shortest;
};

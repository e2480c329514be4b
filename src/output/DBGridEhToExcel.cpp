#include "output/DBGridEhToExcel.h"

#include "common/dialogs.h"
#include "measure/measuregrid.h"
#include "output/logic/seriescsv.h"
#include "output/logic/xlsxsheetwriter.h"
#include "store/measuretable.h"
#include "store/measuretablemodel.h"
#include "store/wholefile.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>

namespace {

// The hourglass for as long as it lives.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace

TDBGridEhToExcel::TDBGridEhToExcel(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("DBGridEhToExcel1"));
}

QVector<GridColumn> TDBGridEhToExcel::gridColumns(const QTableView &grid)
{
    QVector<GridColumn> columns;
    const QHeaderView *header = grid.horizontalHeader();
    const QAbstractItemModel *model = grid.model();
    if (!model)
        return columns;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        columns.append({MeasureTableModel::fieldName(logical),
                        model->headerData(logical, Qt::Horizontal).toString(),
                        !grid.isColumnHidden(logical)});
    }
    return columns;
}

TDBGridEhToExcel::Result TDBGridEhToExcel::ExportFile()
{
    MeasureTable *table = m_grid ? m_grid->tableModel()->table() : nullptr;
    if (!table || !table->isActive() || table->isEmpty() || m_fileName.trimmed().isEmpty())
        return {};
    const QVector<GridColumn> columns = gridColumns(*m_grid);
    ApplyGridLayout(table->fields(), columns);

    WaitCursor hourglass;
    if (!m_replaceAgreed && QFileInfo::exists(m_fileName)) {
        const QString question =
            QStringLiteral("已存在文件（%1），是否覆盖？").arg(QDir::toNativeSeparators(m_fileName));
        if (Dialogs::instance().ask(question, QStringLiteral("提示"), Dialogs::Icon::Question,
                                    Dialogs::Yes | Dialogs::No, Dialogs::No) != Dialogs::Yes)
            return {Outcome::Declined, {}};
    }
    // Written beside the old file and renamed over it when complete, so a
    // failed export leaves the old file as it was.
    return {Outcome::Written, writeFile(*table, columns)};
}

WorkbookResult TDBGridEhToExcel::writeFile(MeasureTable &table, const QVector<GridColumn> &columns) const
{
    switch (m_format) {
    case ExportFormat::Xls: break;
    case ExportFormat::Xlsx: return XlsxSheet::writeFile(m_fileName, table, columns);
    case ExportFormat::Csv:
        writeWholeFile(m_fileName, csvBytes(table.rows(), m_csvValueText));
        return {table.recordCount(), table.recordCount()};
    }
    return WriteWorkbookFile(m_fileName, table, columns, m_titleName);
}

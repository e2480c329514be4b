#include "output/logic/xlsxsheetwriter.h"

#include "common/kelvoraerror.h"
#include "output/logic/tablewalk.h"
#include "output/logic/zipmembertail.h"
#include "store/fileerror.h"
#include "store/measuretable.h"
#include "store/measuretablemodel.h"

#include <QDate>
#include <QDir>
#include <QSaveFile>
#include <QTemporaryFile>
#include <QTime>

#include <xlsxwriter.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace XlsxSheet {

namespace {

// The number the digits of text from at to at + count give; -1 when one of
// them is no digit.
int digits(const QString &text, int at, int count)
{
    int value = 0;
    for (const QChar c : QStringView(text).mid(at, count)) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

} // namespace

// Read by hand: QDate::fromString() with a format costs more than the rest of
// a row's cells.
bool dateSerial(const QString &text, double &serial)
{
    static const QDate Epoch(1899, 12, 30);
    static const QDate FirstSerial(1900, 3, 1);
    if (text.size() != 10 || text.at(4) != QLatin1Char('-') || text.at(7) != QLatin1Char('-'))
        return false;
    const int year = digits(text, 0, 4);
    const int month = digits(text, 5, 2);
    const int day = digits(text, 8, 2);
    if (year < 0 || month < 0 || day < 0 || !QDate::isValid(year, month, day))
        return false;
    const QDate date(year, month, day);
    if (date < FirstSerial)
        return false;
    serial = double(Epoch.daysTo(date));
    return true;
}

bool timeSerial(const QString &text, double &serial)
{
    if (text.size() != 8 || text.at(2) != QLatin1Char(':') || text.at(5) != QLatin1Char(':'))
        return false;
    const int hour = digits(text, 0, 2);
    const int minute = digits(text, 3, 2);
    const int second = digits(text, 6, 2);
    if (hour < 0 || minute < 0 || second < 0 || !QTime::isValid(hour, minute, second))
        return false;
    serial = (hour * 3600 + minute * 60 + second) / 86400.0;
    return true;
}

namespace {

const QString Write = QStringLiteral("write");

// One sheet being written with libxlsxwriter to file. Its rows go to a
// temporary file as they are written (constant memory), so they must come in
// order, which is how a table is walked anyway.
class Workbook {
public:
    Workbook(const QString &file, const QString &reportedPath) : m_file(file), m_path(reportedPath)
    {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        m_book = workbook_new_opt(QFile::encodeName(file).constData(), &options);
        m_sheet = m_book ? workbook_add_worksheet(m_book, nullptr) : nullptr;
        if (!m_sheet) {
            if (m_book)
                workbook_close(m_book);
            fail(LXW_ERROR_CREATING_TMPFILE);
        }
        m_date = workbook_add_format(m_book);
        format_set_num_format(m_date, "yyyy-mm-dd");
        m_time = workbook_add_format(m_book);
        format_set_num_format(m_time, "hh:mm:ss");
    }
    ~Workbook()
    {
        // After a failure the half-written file is the caller's temporary one.
        if (m_book)
            workbook_close(m_book);
    }
    Workbook(const Workbook &) = delete;
    Workbook &operator=(const Workbook &) = delete;

    void setUpColumns(const QVector<GridColumn> &columns)
    {
        for (int c = 0; c < columns.size(); ++c) {
            const QString &field = columns.at(c).fieldName;
            const double width = isField(field, MeasureTableModel::Date)   ? 11
                                 : isField(field, MeasureTableModel::Time) ? 9
                                                                           : LXW_DEF_COL_WIDTH;
            lxw_row_col_options hidden{};
            hidden.hidden = columns.at(c).visible ? LXW_FALSE : LXW_TRUE;
            check(worksheet_set_column_opt(m_sheet, lxw_col_t(c), lxw_col_t(c), width, nullptr, &hidden));
        }
        worksheet_freeze_panes(m_sheet, 1, 0);
    }

    void putText(int row, int column, const QString &text)
    {
        if (!text.isEmpty())
            check(worksheet_write_string(m_sheet, lxw_row_t(row), lxw_col_t(column),
                                         text.toUtf8().constData(), nullptr));
    }

    // The value of a visible field: a number cell, a date or time cell, or text.
    void putField(int row, int column, const QString &field, const QVariant &value)
    {
        if (value.isNull())
            return;
        switch (value.metaType().id()) {
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::UChar:
        case QMetaType::SChar:
        case QMetaType::Float:
        case QMetaType::Double: putNumber(row, column, value.toDouble(), nullptr); return;
        case QMetaType::QByteArray: return;
        default: break;
        }
        const QString text = value.toString();
        double serial = 0;
        if (isField(field, MeasureTableModel::Date) && dateSerial(text, serial))
            putNumber(row, column, serial, m_date);
        else if (isField(field, MeasureTableModel::Time) && timeSerial(text, serial))
            putNumber(row, column, serial, m_time);
        else
            putText(row, column, text);
    }

    // Writes the file. The library does not report failed writes of its
    // temporary files: those of the rows are looked for before, a sheet cut
    // short while it was put together afterwards, by the sheet's last tag.
    void close()
    {
        if (FILE *rows = m_sheet->optimize_tmpfile; rows && (std::fflush(rows) != 0 || std::ferror(rows)))
            throwFileError(Write, m_path, QString::fromLocal8Bit(std::strerror(errno)));
        const lxw_error error = workbook_close(m_book);
        m_book = nullptr;
        if (error != LXW_NO_ERROR)
            fail(error);
        static const QByteArray LastTag("</worksheet>");
        if (zipMemberTail(m_file, "xl/worksheets/sheet1.xml", LastTag.size()) != LastTag)
            throwFileError(Write, m_path, QStringLiteral("the workbook was not written completely"));
    }

private:
    static bool isField(const QString &field, int column)
    {
        return field.compare(MeasureTableModel::fieldName(column), Qt::CaseInsensitive) == 0;
    }

    void putNumber(int row, int column, double value, lxw_format *format)
    {
        check(worksheet_write_number(m_sheet, lxw_row_t(row), lxw_col_t(column), value, format));
    }

    void check(lxw_error error)
    {
        if (error != LXW_NO_ERROR)
            fail(error);
    }

    [[noreturn]] void fail(lxw_error error) const
    {
        throwFileError(Write, m_path, QString::fromUtf8(lxw_strerror(error)));
    }

    QString m_file;
    QString m_path;
    lxw_workbook *m_book = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    lxw_format *m_date = nullptr;
    lxw_format *m_time = nullptr;
};

int writeRows(Workbook &book, MeasureTable &table, const QVector<GridColumn> &columns)
{
    for (int c = 0; c < columns.size(); ++c)
        if (columns.at(c).visible)
            book.putText(0, c, columns.at(c).title);
    const TableFields &fields = table.fields();
    TableWalk walk(table);
    int written = 0;
    while (!table.eof() && written < MaxDataRows) {
        ++written;
        for (int i = 0; i < fields.count(); ++i)
            if (fields.at(i).visible)
                book.putField(written, i, fields.at(i).name, table.fieldByName(fields.at(i).name));
        table.next();
    }
    return written;
}

// Copies the whole of source into target. A write that stops short is
// continued, which reports the reason (a full disk).
void copyInto(QFile &source, QSaveFile &target)
{
    if (!source.open(QIODevice::ReadOnly))
        throwFileError(Write, target.fileName(), source.errorString());
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (qint64 n; (n = source.read(chunk.data(), chunk.size())) > 0;) {
        for (qint64 done = 0; done < n;) {
            const qint64 written = target.write(chunk.constData() + done, n - done);
            if (written <= 0)
                throwFileError(Write, target);
            done += written;
        }
    }
    if (source.error() != QFileDevice::NoError)
        throwFileError(Write, target.fileName(), source.errorString());
}

} // namespace

WorkbookResult writeFile(const QString &path, MeasureTable &table, const QVector<GridColumn> &columns)
{
    // The target is opened first, so that a place that cannot be written is
    // told as for the .xls before any work. The library writes a file of its
    // own naming, which is copied in; QSaveFile renames it over path at the
    // end. Unbuffered, as commit() renames even after a failed buffer flush.
    QSaveFile target(path);
    if (!target.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throwFileError(Write, target);
    QTemporaryFile built(QDir(QDir::tempPath()).filePath(QStringLiteral("kelvora-XXXXXX.xlsx")));
    if (!built.open())
        throwFileError(Write, path, built.errorString());
    built.close();

    WorkbookResult result;
    result.rowCount = table.recordCount();
    {
        Workbook book(built.fileName(), path);
        book.setUpColumns(columns);
        result.rowsWritten = writeRows(book, table, columns);
        book.close();
    }
    copyInto(built, target);
    if (!target.commit())
        throwFileError(Write, target);
    return result;
}

} // namespace XlsxSheet

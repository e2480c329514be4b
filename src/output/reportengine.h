#pragma once

#include "output/logic/reportlayout.h"
#include "store/measuretable.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class QPrinter;

// The data connection through which a report reads its rows: a
// measurement table (RecNo, Date, Time, MeaValue, Unit, Ems per row).
class TRvDataSetConnection : public QObject {
    Q_OBJECT
public:
    explicit TRvDataSetConnection(QObject *parent = nullptr);

    void setDataSet(MeasureTable *table) { m_table = table; }
    MeasureTable *dataSet() const { return m_table; }

private:
    QPointer<MeasureTable> m_table;
};

// A report project: the layout file loaded by Open, unloaded by Close, and
// its report run on the rows of a data connection.
class TRvProject : public QObject {
    Q_OBJECT
public:
    explicit TRvProject(QObject *parent = nullptr);

    void setProjectFile(const QString &path) { m_projectFile = path; }
    QString projectFile() const { return m_projectFile; }
    void setConnection(TRvDataSetConnection *connection) { m_connection = connection; }

    // Loads the layout file; nothing when already open. Throws
    // ReportLayoutError naming the file (and the line) when it is missing
    // or wrong; the project stays closed then.
    void Open();
    // Unloads the layout; nothing when not open.
    void Close() { m_layout.reset(); }
    bool isOpen() const { return m_layout.has_value(); }

    // Runs the report: a print preview of the data sheet on the selected
    // printer, from which the user prints it or saves it as a PDF. The
    // printer gets the layout's page for the preview and its own back
    // afterwards, for "Print Graph". Throws ReportLayoutError naming the
    // layout's file and lines when its page cannot hold one row.
    void Execute();
    // Prints the data sheet on printer, given the layout's page. Throws
    // ReportLayoutError as Execute does.
    void Print(QPrinter &printer) const;

private:
    // Draws the pages onto printer as it is set up.
    void render(QPrinter &printer) const;

    QString m_projectFile;
    QPointer<TRvDataSetConnection> m_connection;
    std::optional<ReportLayout> m_layout;
};

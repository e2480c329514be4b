#include "analysis/klgload.h"

#include "common/dialogs.h"
#include "common/kelvoraerror.h"
#include "devicelink/systemvar.h"
#include "measure/cellcolours.h"
#include "measure/chartnavigationbar.h"
#include "measure/datachart.h"
#include "measure/logic/timesegments.h"
#include "measure/measuregrid.h"
#include "store/decimalformat.h"
#include "store/logfilereader.h"
#include "store/measuretable.h"
#include "store/tableunitconversion.h"
#include "store/unitprofile.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

const QString OpenFilter = QStringLiteral("*.KLG (*.KLG);;*.klg (*.klg)");
const QString TooManyFiles =
    QStringLiteral("Sorry, the current version only support to open \r10 reports at the same time.");
const QString CreationAxisCelsius = QStringLiteral("Temperature        (Unit:  C)");
const QString CreationAxisFahrenheit = QStringLiteral("Temperature        (Unit:  F)");

// How often a long load lets events run, and how often the bar moves then.
// A turn of the event loop costs about as much as storing a few dozen rows.
constexpr int EventsEveryMs = 5;
constexpr int ProgressEveryMs = 50;
// Rows further apart than this many typical steps lie on either side of a gap.
constexpr double GapSteps = 5.0;

MeasureTable &loadDataTable()
{
    return Form6->Table3;
}

// Collects the converted rows, which go to the series once the conversion
// has returned.
class RowValues final : public ConversionSink {
public:
    void clearSeries() override { values.clear(); }
    void addPoint(int, double value) override { values.append(value); }
    QVector<double> values;
};

// What a file that does not load must not leave behind on the window.
struct WindowBeforeFile {
    QString countText;
    int progressMinimum = 0;
    int progressMaximum = 0;
    int progressValue = 0;
};

} // namespace

TForm7::TForm7(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("Data View & Analyze"));
    setAttribute(Qt::WA_DeleteOnClose);

    DBGridEh1 = new MeasureGrid(loadDataTable(), this);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    DBGridEh1->setFixedWidth(305);
    DBGridEh1->setColumnWidth(0, 58);
    DBGridEh1->setColumnWidth(1, 56);
    DBGridEh1->setColumnWidth(2, 35);
    DBGridEh1->setColumnWidth(3, 32);
    DBGridEh1->setEditable(true);
    DBGridEh1->setDrawColumnCell([this](const MeasureRecord &row) { return DBGridEh1DrawColumnCell(row); });

    Chart1 = new DataChart(this);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setTitle(QStringLiteral("Data Analyze"));
    for (int k = 0; k < SeriesCount; ++k)
        Chart1->addSeries(QStringLiteral("Series%1").arg(k + 1), Qt::black);
    NavigationBar = new ChartNavigationBar(Chart1, ChartNavigationConfig::dataViewWindow(), this);

    auto *right = new QVBoxLayout;
    right->addWidget(Chart1, 1);
    right->addWidget(NavigationBar);
    right->addWidget(buildStatistics());
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(DBGridEh1);
    layout->addLayout(right, 1);

    guardedHandler([this] { FormCreate(); });
}

TForm7::~TForm7() = default;

QWidget *TForm7::buildStatistics()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    const auto addField = [&](QLabel *&label, const char *labelName, const QString &caption, QLineEdit *&edit,
                              const char *editName) {
        label = new QLabel(caption, row);
        label->setObjectName(QLatin1String(labelName));
        edit = new QLineEdit(row);
        edit->setObjectName(QLatin1String(editName));
        edit->setEnabled(false);
        edit->setFixedWidth(80);
        edit->setAccessibleName(caption);
        label->setBuddy(edit);
        layout->addWidget(label);
        layout->addWidget(edit);
    };
    addField(Label1, "Label1", QStringLiteral("File Numbers"), Edit1, "Edit1");
    addField(Label2, "Label2", QStringLiteral("MIN"), Edit2, "Edit2");
    addField(Label3, "Label3", QStringLiteral("MAX"), Edit3, "Edit3");
    ProgressBar1 = new QProgressBar(row);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setAccessibleName(QStringLiteral("Progress"));
    ProgressBar1->setMinimumWidth(200);
    layout->addWidget(ProgressBar1, 1);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), row);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setEnabled(false);
    connect(CancelButton, &QPushButton::clicked, this, &TForm7::cancelLoad);
    layout->addWidget(CancelButton);
    // Escape anywhere in the window, while a load runs.
    m_cancelKey = new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &TForm7::cancelLoad,
                                Qt::WidgetWithChildrenShortcut);
    m_cancelKey->setEnabled(false);
    return row;
}

void TForm7::FormCreate()
{
    SystemVars.loadedFileCount = 0;
    m_files = LoadedFiles();
    for (int k = 0; k < SeriesCount; ++k)
        Chart1->setSeriesColour(k, toColor(fileColour(k)));
    m_windowCelsius = SystemVars.unitCelsius;
    Chart1->setVerticalAxisTitle(m_windowCelsius ? CreationAxisCelsius : CreationAxisFahrenheit);
    Chart1->setAxisRange(ChartAxis::Left, TemperatureAxis::defaultMin(m_windowCelsius),
                         TemperatureAxis::defaultMax(m_windowCelsius));
}

void TForm7::emptyLoadData()
{
    MeasureTable &table = loadDataTable();
    table.close();
    table.emptyTable();
    table.open();
}

CellColour TForm7::DBGridEh1DrawColumnCell(const MeasureRecord &row) const
{
    return filesColour(row.recno, m_files.bounds(), SystemVars.tableBusy, loadDataTable().isEmpty());
}

void TForm7::LoadData()
{
    // Events run while a file loads: one more Open is refused, not queued,
    // since its dialog would come up over the running load.
    if (m_loading)
        return;
    if (SystemVars.loadedFileCount >= LoadedFiles::MaxFiles) {
        showError(TooManyFiles, QStringLiteral("Error Information"));
        return;
    }
    // The dialog waits for the user; the window may be closed meanwhile.
    const QPointer<TForm7> self(this);
    const QString path = Dialogs::instance().openFileName(QStringLiteral("Open"), OpenFilter);
    if (!self)
        return;
    try {
        if (!path.isEmpty())
            loadFile(path);
    } catch (...) {
        if (self)
            endLoad();
        throw;
    }
    if (self)
        endLoad();
}

void TForm7::cancelLoad()
{
    if (m_loading)
        m_cancelRequested = true;
}

void TForm7::setLoading(bool loading)
{
    m_loading = loading;
    m_cancelRequested = false;
    CancelButton->setEnabled(loading);
    m_cancelKey->setEnabled(loading);
}

void TForm7::loadFile(const QString &path)
{
    MeasureTable &table = loadDataTable();
    const qint64 firstRecno = table.recordCount() + 1;
    const QPointer<TForm7> self(this);
    const WindowBeforeFile before{Edit1->text(), ProgressBar1->minimum(), ProgressBar1->maximum(),
                                  ProgressBar1->value()};
    bool counted = false;
    // Nothing of the file stays when it fails or is cancelled: it is not
    // counted, so the next file takes its number and colour, and the count
    // and the bar show what they showed before it.
    const auto forgetFile = [&] {
        setLoading(false);
        if (!counted)
            return;
        --SystemVars.loadedFileCount;
        Edit1->setText(before.countText);
        ProgressBar1->setRange(before.progressMinimum, before.progressMaximum);
        // A bar that showed nothing yet (below its minimum) is reset to that.
        if (before.progressValue < before.progressMinimum)
            ProgressBar1->reset();
        else
            ProgressBar1->setValue(before.progressValue);
    };
    QElapsedTimer sinceEvents;
    QElapsedTimer sinceProgress;
    sinceEvents.start();
    sinceProgress.start();
    LogLoadResult result;
    setLoading(true);
    try {
        // In the window's own unit: after a unit change that failed, the
        // table still holds that unit, whatever the program's unit is now.
        result = loadLogFile(
            path, Form6->Database1, table, firstRecno, m_windowCelsius,
            [&](int rowsRead, int total) {
                if (!self)
                    return false;
                if (rowsRead == 0) {
                    counted = true;
                    fileAccepted(total);
                } else {
                    if (sinceEvents.elapsed() < EventsEveryMs)
                        return true;
                    // The bar repaints whenever it moves: not on every turn.
                    if (sinceProgress.elapsed() >= ProgressEveryMs) {
                        showProgress(rowsRead);
                        sinceProgress.start();
                    }
                }
                // Clicks and keys too: Cancel, Escape and closing the window
                // end the load. Whatever else they start finds the window
                // loading and the table busy.
                QCoreApplication::processEvents();
                sinceEvents.start();
                return self && !m_cancelRequested;
            },
            &SystemVars.tableBusy);
    } catch (...) {
        if (self)
            forgetFile();
        throw;
    }
    if (!self)
        return;
    if (result.cancelled) {
        forgetFile();
        return;
    }
    if (result.accepted) {
        // The rows are committed: too late to cancel. The chart's share of
        // the work comes in two parts, each after a turn of the event loop.
        CancelButton->setEnabled(false);
        m_cancelKey->setEnabled(false);
        QCoreApplication::processEvents();
        if (!self)
            return;
        // The line breaks where two rows lie more than five typical steps apart.
        const QVector<qsizetype> segmentStarts =
            TimeSegments::segmentStarts(result.times, GapSteps * TimeSegments::medianStep(result.times));
        QCoreApplication::processEvents();
        if (!self)
            return;
        showFile(firstRecno, result, segmentStarts);
    }
    setLoading(false);
}

void TForm7::showFile(qint64 firstRecno, const LogLoadResult &result, const QVector<qsizetype> &segmentStarts)
{
    showProgress(result.rowsAppended());
    const int series = m_files.appendedFiles();
    m_files.addFile(firstRecno, result.values);
    Chart1->setSeriesData(series, result.values);
    Chart1->setSegmentStarts(series, segmentStarts);
    showExtremes(formatShortest(m_files.minReading()), formatShortest(m_files.maxReading()));
    Chart1->setAxisRange(ChartAxis::Left, TemperatureAxis::defaultMin(m_windowCelsius),
                         LoadedFiles::axisMaximum(m_files.maxReading(), m_windowCelsius));
}

void TForm7::fileAccepted(int total)
{
    TSystemVars &v = SystemVars;
    ProgressBar1->setRange(1, total);
    ProgressBar1->setValue(ProgressBar1->minimum());
    ++v.loadedFileCount;
    Edit1->setText(QString::number(v.loadedFileCount));
    // The chart takes no mouse input from now on; the navigation buttons
    // still act on it. It stays as drawn: nothing greys it or redraws it.
    Chart1->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TForm7::showProgress(int rowsRead)
{
    ProgressBar1->setValue(qBound(ProgressBar1->minimum(), rowsRead, ProgressBar1->maximum()));
}

void TForm7::endLoad()
{
    MeasureTable &table = loadDataTable();
    table.open();
    table.last();
    DBGridEh1->viewport()->update();
    if (m_closeAfterLoad) {
        m_closeAfterLoad = false;
        close();
    }
}

void TForm7::showExtremes(const QString &minText, const QString &maxText)
{
    Edit2->setText(minText);
    Edit3->setText(maxText);
}

void TForm7::ChangeUnit_Pro()
{
    const bool celsius = SystemVars.unitCelsius;
    MeasureTable &table = loadDataTable();
    RowValues rows;
    UnitConversionResult result;
    // The grid hears one reset after the conversion, not one per statement.
    table.disableControls();
    try {
        result = convertTableUnit(table, Form6->Query1, DataViewUnits, m_windowCelsius, celsius, rows);
    } catch (...) {
        table.enableControls();
        throw;
    }
    table.enableControls();
    if (result.hasReadings()) {
        const LoadedFiles::SeriesValues series = m_files.splitIntoSeries(rows.values);
        for (int k = 0; k < SeriesCount; ++k)
            Chart1->setSeriesData(k, series[std::size_t(k)]);
        m_files.setExtremes(result.maxReading, result.minReading);
    }
    showExtremes(formatOneDecimal(m_files.minReading()), formatOneDecimal(m_files.maxReading()));
    Chart1->setVerticalAxisTitle(result.axisTitle);
    Chart1->setAxisRange(ChartAxis::Left, result.axisMin, result.axisMax);
    m_windowCelsius = result.windowCelsius;
    DBGridEh1->viewport()->update();
}

void TForm7::FormClose()
{
    TSystemVars &v = SystemVars;
    v.removeAnalyzeItem = true;
    v.analyzeWindowOpen = false;
    v.analyzeWindow = nullptr;
}

void TForm7::closeEvent(QCloseEvent *event)
{
    // A load under way is cancelled first: the window stays until the load
    // has taken its rows back, so nothing opens a new data view meanwhile.
    if (m_loading) {
        m_cancelRequested = true;
        m_closeAfterLoad = true;
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

bool TForm7::event(QEvent *event)
{
    if (event->type() == WM_CHANGEUNIT) {
        guardedHandler([this] { ChangeUnit_Pro(); });
        return true;
    }
    return QWidget::event(event);
}

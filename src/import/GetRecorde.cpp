#include "import/GetRecorde.h"

#include "common/dialogs.h"
#include "common/kelvoraerror.h"
#include "devicelink/systemvar.h"
#include "import/logic/recorddownload.h"
#include "import/logic/recordimport.h"
#include "measure/cellcolours.h"
#include "measure/chartnavigationbar.h"
#include "measure/chartseriesrefill.h"
#include "measure/datachart.h"
#include "measure/datawindowclose.h"
#include "measure/measuregrid.h"
#include "store/decimalformat.h"
#include "store/gridcolouring.h"
#include "store/logfilesave.h"
#include "store/tableunitconversion.h"
#include "store/unitprofile.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString CreationAxisCelsius = QStringLiteral("Temperature             (Unit: C)");
const QString CreationAxisFahrenheit = QStringLiteral("Temperature             (Unit: F)");

MeasureTable &getRecorde()
{
    return Form6->Table2;
}

} // namespace

// Holds the thermometer for an import from its start to every end, also a
// failure or the window closing meanwhile, and keeps the window's buttons
// in step.
class TForm4::LineHold {
public:
    explicit LineHold(TForm4 *window) : m_window(window) { window->m_importing = true; }
    ~LineHold() { release(); }

    void release()
    {
        if (m_released)
            return;
        m_released = true;
        m_hold.release();
        if (m_window) {
            m_window->m_importing = false;
            m_window->BitBtn1->setEnabled(true);
        }
    }

private:
    QPointer<TForm4> m_window;
    DownloadHold m_hold;
    bool m_released = false;
};

TForm4::TForm4(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Kelvora Import Data "));
    setAttribute(Qt::WA_DeleteOnClose);
    buildLayout();
    guardedHandler([this] { FormCreate(); });
}

TForm4::~TForm4() = default;

void TForm4::buildLayout()
{
    DBGridEh1 = new MeasureGrid(getRecorde(), this);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    DBGridEh1->setFixedWidth(248);
    DBGridEh1->setColumnWidth(0, 45);
    DBGridEh1->setColumnWidth(2, 24);
    DBGridEh1->setColumnWidth(3, 40);
    DBGridEh1->setDrawColumnCell([this](const MeasureRecord &row) {
        return extremesColour(row.meavalue, m_maxReading, m_minReading);
    });

    Chart1 = new DataChart(this);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->addSeries(QStringLiteral("Series1"), Qt::red);
    Chart1->setTitle(QStringLiteral("Data Imported  Analyzing"));

    NavigationBar = new ChartNavigationBar(Chart1, ChartNavigationConfig::importWindow(), this);
    Label7 = new QLabel(NavigationBar);
    Label7->setObjectName(QStringLiteral("Label7"));
    Label7->setStyleSheet(QStringLiteral("color: rgb(0, 128, 0);"));
    Label7->hide();
    NavigationBar->addWidget(Label7);
    RecordsLabel = new QLabel(NavigationBar);
    RecordsLabel->setObjectName(QStringLiteral("RecordsLabel"));
    NavigationBar->addWidget(RecordsLabel);

    auto *right = new QVBoxLayout;
    right->addWidget(Chart1, 1);
    right->addWidget(NavigationBar);
    right->addWidget(buildStatisticsRow());

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(DBGridEh1);
    layout->addLayout(right, 1);
}

QWidget *TForm4::buildStatisticsRow()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);

    BitBtn1 = new QPushButton(QStringLiteral("Start to Import"), row);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn5 = new QPushButton(QStringLiteral("Save"), row);
    BitBtn5->setObjectName(QStringLiteral("BitBtn5"));
    Edit5 = new QLineEdit(row);
    Edit5->setObjectName(QStringLiteral("Edit5"));
    Edit5->setEnabled(false);
    Edit5->setAccessibleName(QStringLiteral("Saved file"));
    Edit5->setMinimumWidth(160);
    layout->addWidget(BitBtn1);
    layout->addWidget(BitBtn5);
    layout->addWidget(Edit5, 1);

    Edit4 = addStatisticsBox(row, "Edit4", "Label6", QStringLiteral("Records"));
    // The swatches show the colours of the grid rows that hold the extremes.
    addSwatch(row, "Label1", toColor(CellColour::Red));
    Edit1 = addStatisticsBox(row, "Edit1", "Label2", QStringLiteral("MAX"));
    addSwatch(row, "Label3", toColor(CellColour::Purple));
    Edit2 = addStatisticsBox(row, "Edit2", "Label4", QStringLiteral("MIN"));
    Edit3 = addStatisticsBox(row, "Edit3", "Label5", QStringLiteral("AVG"));

    connect(BitBtn1, &QPushButton::clicked, this, [this] { guardedHandler([this] { BitBtn1Click(); }); });
    connect(BitBtn5, &QPushButton::clicked, this, [this] { guardedHandler([this] { BitBtn5Click(); }); });
    return row;
}

void TForm4::addSwatch(QWidget *row, const char *name, const QColor &colour)
{
    auto *sample = new QLabel(row);
    sample->setObjectName(QString::fromLatin1(name));
    sample->setFixedSize(16, 16);
    sample->setAutoFillBackground(true);
    QPalette colours = sample->palette();
    colours.setColor(QPalette::Window, colour);
    sample->setPalette(colours);
    static_cast<QHBoxLayout *>(row->layout())->addSpacing(12);
    row->layout()->addWidget(sample);
}

QLineEdit *TForm4::addStatisticsBox(QWidget *row, const char *name, const char *labelName,
                                    const QString &label)
{
    auto *caption = new QLabel(label, row);
    caption->setObjectName(QString::fromLatin1(labelName));
    caption->setFixedWidth(60);
    caption->setAlignment(Qt::AlignCenter);
    auto *box = new QLineEdit(row);
    box->setObjectName(QString::fromLatin1(name));
    box->setEnabled(false);
    box->setAccessibleName(label);
    caption->setBuddy(box);
    row->layout()->addWidget(caption);
    row->layout()->addWidget(box);
    return box;
}

void TForm4::FormCreate()
{
    for (QLineEdit *box : {Edit1, Edit2, Edit3})
        box->setFixedSize(50, 30);
    Edit4->setFixedWidth(50);
    NavigationBar->printButton()->setEnabled(false);
    NavigationBar->resetButton()->setEnabled(false);
    m_windowCelsius = SystemVars.unitCelsius;
    Chart1->setVerticalAxisTitle(m_windowCelsius ? CreationAxisCelsius : CreationAxisFahrenheit);
    setAxis(TemperatureAxis::defaultMax(m_windowCelsius));
    MeasureTable &table = getRecorde();
    table.close();
    table.emptyTable();
    table.open();
    BitBtn5->setEnabled(false);
}

void TForm4::setAxis(double maximum)
{
    Chart1->setAxisRange(ChartAxis::Left, TemperatureAxis::defaultMin(m_windowCelsius), maximum);
}

void TForm4::resetStatistics()
{
    const QString zero = SystemVars.unitCelsius ? QStringLiteral("0.0") : QStringLiteral("32.0");
    for (QLineEdit *box : {Edit1, Edit2, Edit3})
        box->setText(zero);
    // The table has just been emptied: an import that ends without records
    // must not go on showing the count of the one before.
    Edit4->clear();
}

void TForm4::BitBtn1Click()
{
    TSystemVars &v = SystemVars;
    if (v.deviceBusy) {
        // An import abandoned by its window holds the line until its reply
        // is over; there is no other application to blame.
        const bool downloadArriving = v.commState == CommDownloading;
        Dialogs::instance().message(
            downloadArriving ? QStringLiteral("The records of the previous download are still arriving.\r"
                                              "Please start again once they have ended.")
                             : QStringLiteral("Serial Port is used by other applications"),
            QStringLiteral("Serial Port Error"),
            downloadArriving ? Dialogs::Icon::Information : Dialogs::Icon::Error, Dialogs::Ok);
        return;
    }
    LineHold hold(this);
    BitBtn1->setEnabled(false);
    BitBtn5->setEnabled(false);
    MeasureTable &table = getRecorde();
    table.close();
    table.emptyTable();
    table.open();
    Chart1->clearSeries(0);
    resetStatistics();
    RecordsLabel->clear();

    // Every wait of the download lets the user act: the window may be closed
    // (the import is then abandoned) or the program may end meanwhile.
    const QPointer<TForm4> self(this);
    const QPointer<QLabel> label = Label7;
    const QPointer<QLabel> records = RecordsLabel;
    RecordDownload download(*Form6);
    download.setAbandonCheck([&self] { return !self; });
    // The label may go with its window; the wait goes on without it.
    download.setProgress([&label, &records](const RecordDownload::Progress &progress) {
        if (!label || !records)
            return;
        if (progress.finished) {
            label->hide();
            records->setText(RecordImport::endedText(progress.records));
        } else if (progress.round == 0) {
            label->show();
            records->setText(RecordImport::receivedText(0));
        } else {
            label->setText(RecordImport::waitingText(progress.step));
            records->setText(RecordImport::receivedText(progress.records));
        }
    });
    const RecordDownload::Result result = download.run();
    switch (result.outcome) {
    case RecordDownload::Outcome::Abandoned: return;
    case RecordDownload::Outcome::NotConnected:
        hold.release();
        Dialogs::instance().message(
            QStringLiteral(
                "COM port connect error!\rPlease turn on IR thermometer or Change COM port Set-up!"),
            QStringLiteral("Error Information"), Dialogs::Icon::Error, Dialogs::Ok);
        return;
    case RecordDownload::Outcome::Received:
        // The whole records that arrived are kept, even of a cut download.
        fillTable();
        BitBtn5->setEnabled(true);
        NavigationBar->printButton()->setEnabled(true);
        hold.release();
        if (result.portLost)
            Dialogs::instance().message(RecordImport::connectionBrokeText(v.logCount) +
                                            QStringLiteral("\rThe records that arrived are shown; the "
                                                           "thermometer may hold more."),
                                        QStringLiteral("Error Information"), Dialogs::Icon::Warning,
                                        Dialogs::Ok);
        return;
    case RecordDownload::Outcome::NoRecords: break;
    }
    hold.release();
    Dialogs::instance().message(QStringLiteral("Have no data in IR \ror connecting are broken!"),
                                QStringLiteral("Error Infromation"), Dialogs::Icon::Information, Dialogs::Ok);
}

void TForm4::fillTable()
{
    TSystemVars &v = SystemVars;
    const ImportedRecords records =
        RecordImport::fromDownload(v.logValues.data(), v.logEms.data(), v.logCount, m_windowCelsius);
    m_maxReading = records.maxReading;
    m_minReading = records.minReading;
    QVector<MeasureRecord> rows = RecordImport::tableRows(records, m_windowCelsius);

    // One transaction, and the grid told once at the end: a row per commit
    // and a repaint per row would make the user wait for the fill.
    v.tableBusy = true;
    MeasureTable &table = getRecorde();
    table.open();
    table.disableControls();
    try {
        Form6->Database1.inBulk([&] { table.appendAll(std::move(rows)); });
    } catch (...) {
        table.enableControls();
        throw;
    }
    table.enableControls();
    table.last();

    setAxis(records.axisMax);
    Chart1->setSeriesData(0, records.values);
    Edit3->setText(records.averageText());
    Edit1->setText(formatShortest(m_maxReading));
    Edit2->setText(formatShortest(m_minReading));
    v.tableBusy = false;
    Edit4->setText(QString::number(records.count()));
    DBGridEh1->viewport()->update();
}

void TForm4::BitBtn5Click()
{
    BitBtn5->setEnabled(false);
    // The file dialog and the overwrite question wait for the user; the
    // window may be gone when they return.
    const QPointer<TForm4> self(this);
    LogSaveResult result;
    try {
        result = saveImportLog(getRecorde());
    } catch (...) {
        // The file was not written: the user may try again.
        if (self)
            BitBtn5->setEnabled(true);
        throw;
    }
    if (!self)
        return;
    if (result.outcome == LogSaveOutcome::Written)
        Edit5->setText(result.path);
    else
        BitBtn5->setEnabled(true);
}

void TForm4::ChangeUnit_Pro()
{
    const bool celsius = SystemVars.unitCelsius;
    MeasureTable &table = getRecorde();
    ChartSeriesRefill refill(Chart1, 0);
    const UnitConversionResult result =
        convertTableUnit(table, Form6->Query1, ImportUnits, m_windowCelsius, celsius, refill);
    if (result.hasReadings()) {
        result.takeExtremes(m_maxReading, m_minReading);
        refill.apply();
        Edit1->setText(formatOneDecimal(m_maxReading));
        Edit2->setText(formatOneDecimal(m_minReading));
        Edit3->setText(formatOneDecimal(result.average));
    } else {
        // An empty table (an import waiting or one that brought nothing)
        // has no extremes: the last import's would show over no rows.
        m_maxReading = m_minReading = 0.0;
        resetStatistics();
    }
    Chart1->setVerticalAxisTitle(result.axisTitle);
    m_windowCelsius = celsius;
    setAxis(result.axisMax);
    DBGridEh1->viewport()->update();
}

bool TForm4::hasUnsavedRows() const
{
    return BitBtn5->isEnabled();
}

bool TForm4::FormClose()
{
    // Nothing unsaved: also the case while an import runs, which the close
    // abandons (its rows are not there yet).
    bool close = !hasUnsavedRows();
    if (!close) {
        const QPointer<TForm4> self(this);
        const Dialogs::Button answer = Dialogs::instance().message(
            QStringLiteral("Up-load data have not save yet!\rDo you want to save data?"),
            QStringLiteral("Query Information"), Dialogs::Icon::Question,
            Dialogs::Yes | Dialogs::No | Dialogs::Cancel);
        if (!self)
            return true;
        if (answer == Dialogs::Yes) {
            try {
                BitBtn5Click();
            } catch (...) {
                // The file could not be written: the window stays registered.
                if (self)
                    keepOpen();
                throw;
            }
            // A cancelled or refused save keeps the window, so no record is lost.
            if (!self)
                return true;
            close = !hasUnsavedRows();
        } else {
            close = answer == Dialogs::No;
        }
    }
    if (!close) {
        keepOpen();
        return false;
    }
    TSystemVars &v = SystemVars;
    v.importWindow = nullptr;
    v.removeImportItem = true;
    v.importMenuEnabled = true;
    return true;
}

void TForm4::keepOpen()
{
    TSystemVars &v = SystemVars;
    v.importWindow = this;
    v.importMenuEnabled = false;
    v.removeImportItem = false;
}

void TForm4::closeEvent(QCloseEvent *event)
{
    closeDataWindow(this, event, [this] { return FormClose(); });
}

bool TForm4::event(QEvent *event)
{
    if (event->type() == WM_CHANGEUNIT) {
        guardedHandler([this] { ChangeUnit_Pro(); });
        return true;
    }
    return QWidget::event(event);
}

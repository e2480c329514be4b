#include "measure/Measuring.h"

#include "devicelink/delay.h"
#include "common/dialogs.h"
#include "common/kelvoraerror.h"
#include "devicelink/systemvar.h"
#include "measure/LEDFont.h"
#include "measure/chartnavigationbar.h"
#include "measure/chartseriesrefill.h"
#include "measure/datachart.h"
#include "measure/datawindowclose.h"
#include "measure/logic/readingtext.h"
#include "measure/logic/timesegments.h"
#include "measure/logic/soundservice.h"
#include "measure/logic/spokenreading.h"
#include "measure/ratevalidator.h"
#include "measure/measuregrid.h"
#include "store/decimalformat.h"
#include "store/gridcolouring.h"
#include "store/logfilesave.h"
#include "store/recordclock.h"
#include "store/tableunitconversion.h"
#include "store/unitprofile.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QColor PanelGreen(0, 128, 0);
const QString CreationAxisCelsius = QStringLiteral("Temperature        (Unit:  C)");
const QString CreationAxisFahrenheit = QStringLiteral("Temperature        (Unit:  F)");

MeasureTable &meaData()
{
    return Form6->Table1;
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

} // namespace

TForm5::TForm5(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Kelvora Real Time Measure"));
    setAttribute(Qt::WA_DeleteOnClose);
    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(1000);
    buildLayout();
    connect(&Timer1, &ComponentTimer::timeout, this, [this] { guardedHandler([this] { Timer1Timer(); }); });
    guardedHandler([this] { FormCreate(); });
}

TForm5::~TForm5() = default;

void TForm5::buildLayout()
{
    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    splitter->setHandleWidth(8);
    splitter->addWidget(buildLeftColumn());
    splitter->addWidget(buildRightColumn());
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({265, 800});
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
}

QWidget *TForm5::buildLeftColumn()
{
    auto *column = new QWidget(this);
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *panel = new QWidget(column);
    panel->setObjectName(QStringLiteral("Panel4"));
    panel->setFixedHeight(104);
    panel->setMinimumWidth(265);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, PanelGreen);
    panel->setPalette(palette);

    LEDFontNum1 = new TLEDFontNum(panel);
    LEDFontNum1->setObjectName(QStringLiteral("LEDFontNum1"));
    LEDFontNum1->SetBGColor(PanelGreen);
    LEDFontNum1->SetDarkColor(PanelGreen);
    LEDFontNum1->move(32, 32);
    LEDFontNum1->setAccessibleName(QStringLiteral("Reading"));

    Label2 = new QLabel(QStringLiteral("C"), panel);
    Label2->setObjectName(QStringLiteral("Label2"));
    QFont unitFont = Label2->font();
    unitFont.setPixelSize(16);
    unitFont.setBold(true);
    Label2->setFont(unitFont);
    Label2->setStyleSheet(QStringLiteral("color: yellow;"));
    Label2->setAccessibleName(QStringLiteral("Unit"));

    DBGridEh1 = new MeasureGrid(meaData(), column);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    DBGridEh1->setColumnWidth(0, 45);
    DBGridEh1->setColumnWidth(2, 24);
    DBGridEh1->setColumnWidth(3, 40);
    DBGridEh1->setDrawColumnCell([this](const MeasureRecord &row) {
        return extremesColour(row.meavalue, m_series.maxReading(), m_series.minReading());
    });

    layout->addWidget(panel);
    layout->addWidget(DBGridEh1, 1);
    return column;
}

QWidget *TForm5::buildRightColumn()
{
    auto *column = new QWidget(this);
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);

    Chart1 = new DataChart(column);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->addSeries(QStringLiteral("Series1"), Qt::red);
    NavigationBar = new ChartNavigationBar(Chart1, ChartNavigationConfig::measurementWindow(), column);

    layout->addWidget(Chart1, 1);
    layout->addWidget(NavigationBar);
    layout->addWidget(buildControlRow());
    return column;
}

QWidget *TForm5::buildControlRow()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);

    BitBtn1 = makeButton(row, "BitBtn1", QStringLiteral("Start to Measure"));
    BitBtn8 = makeButton(row, "BitBtn8", QStringLiteral("Stop Measure"));
    BitBtn2 = makeButton(row, "BitBtn2", QStringLiteral("Clear"));
    BitBtn7 = makeButton(row, "BitBtn7", QStringLiteral("Save"));

    auto *rateLabel = new QLabel(QStringLiteral("Sample Rate"), row);
    rateLabel->setObjectName(QStringLiteral("Label1"));
    Edit2 = new QLineEdit(QString::number(DefaultRate), row);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setFixedWidth(60);
    m_rateValidator = new RateValidator(Edit2);
    rateLabel->setBuddy(Edit2);
    Edit2->setAccessibleName(rateLabel->text());

    UpDown1 = new QWidget(row);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    auto *arrows = new QVBoxLayout(UpDown1);
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    for (const auto &[arrow, step, name] : {std::tuple{Qt::UpArrow, 1, "Increase sample rate"},
                                            std::tuple{Qt::DownArrow, -1, "Decrease sample rate"}}) {
        auto *button = new QToolButton(UpDown1);
        button->setArrowType(arrow);
        button->setFixedSize(18, 13);
        button->setAccessibleName(QString::fromLatin1(name));
        button->setAutoRepeat(true);
        connect(button, &QToolButton::clicked, this, [this, step = step] { stepRate(step); });
        arrows->addWidget(button);
    }

    auto *secLabel = new QLabel(QStringLiteral("sec"), row);
    secLabel->setObjectName(QStringLiteral("Label3"));
    Edit1 = new QLineEdit(row);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setEnabled(false);
    Edit1->setAccessibleName(QStringLiteral("Saved file"));
    Edit1->setMinimumWidth(200);
    auto *missedLabel = new QLabel(QStringLiteral("Missed periods"), row);
    missedLabel->setObjectName(QStringLiteral("Label4"));
    Edit3 = new QLineEdit(QStringLiteral("0"), row);
    Edit3->setObjectName(QStringLiteral("Edit3"));
    Edit3->setReadOnly(true);
    Edit3->setFixedWidth(60);
    missedLabel->setBuddy(Edit3);
    Edit3->setAccessibleName(missedLabel->text());

    for (QWidget *w :
         {static_cast<QWidget *>(BitBtn1), static_cast<QWidget *>(BitBtn8), static_cast<QWidget *>(BitBtn2),
          static_cast<QWidget *>(rateLabel), static_cast<QWidget *>(Edit2), UpDown1,
          static_cast<QWidget *>(secLabel), static_cast<QWidget *>(BitBtn7), static_cast<QWidget *>(Edit1),
          static_cast<QWidget *>(missedLabel), static_cast<QWidget *>(Edit3)})
        layout->addWidget(w);
    layout->addStretch();

    connect(BitBtn1, &QPushButton::clicked, this, [this] { guardedHandler([this] { BitBtn1Click(); }); });
    connect(BitBtn8, &QPushButton::clicked, this, [this] { guardedHandler([this] { BitBtn8Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { guardedHandler([this] { BitBtn2Click(); }); });
    connect(BitBtn7, &QPushButton::clicked, this, [this] { guardedHandler([this] { BitBtn7Click(); }); });
    connect(Edit2, &QLineEdit::textChanged, this, [this] { guardedHandler([this] { Edit2Change(); }); });
    return row;
}

void TForm5::FormCreate()
{
    m_readingClock.start();
    m_windowCelsius = SystemVars.unitCelsius;
    Label2->setText(ReadingText::unitLetter(m_windowCelsius));
    LEDFontNum1->SetUnit(SpokenReading::unit(m_windowCelsius));
    LEDFontNum1->SetText(ReadingText::ledPlaceholder(m_windowCelsius));
    NavigationBar->printButton()->setEnabled(false);
    MeasureTable &table = meaData();
    table.close();
    table.emptyTable();
    table.open();
    BitBtn8->hide();
    Timer1.setEnabled(false);
    LEDFontNum1->SetWordWidth(28);
    LEDFontNum1->SetWordHeight(48);
    LEDFontNum1->SetThick(6);
    Label2->move(LEDFontNum1->x() + LEDFontNum1->width() + 4, LEDFontNum1->y());
    BitBtn2->setEnabled(false);
    NavigationBar->resetButton()->setEnabled(false);
    m_series = MeasurementSeries();
    setAxisForUnit(m_windowCelsius ? CreationAxisCelsius : CreationAxisFahrenheit,
                   TemperatureAxis::defaultMax(m_windowCelsius));
    Chart1->setTitle(QStringLiteral("Temp. Graph Analyzing"));
    Chart1->setFooterAlignment(Qt::AlignLeft);
    BitBtn7->setEnabled(false);
    m_firstRateChange = true;
}

void TForm5::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The spin control writes its position into the box as the window is
    // first shown; that first change loads the configured sample period.
    if (!m_rateShown) {
        m_rateShown = true;
        guardedHandler([this] { Edit2Change(); });
    }
}

void TForm5::setAxisForUnit(const QString &title, double maximum)
{
    Chart1->setVerticalAxisTitle(title);
    Chart1->setAxisRange(ChartAxis::Left, TemperatureAxis::defaultMin(m_windowCelsius), maximum);
}

void TForm5::Edit2Change()
{
    if (m_firstRateChange) {
        m_firstRateChange = false;
        m_rateValidator->showProgramText(QString::number(SystemVars.samplePeriod));
        return;
    }
    BitBtn1->setEnabled(ReadingText::rateFromText(Edit2->text()) > 0);
}

void TForm5::stepRate(int step)
{
    const int rate = qBound(MinRate, ReadingText::rateFromText(Edit2->text()) + step, MaxRate);
    m_rateValidator->showProgramText(
        rate >= 1000 ? QStringLiteral("%1,%2").arg(rate / 1000).arg(rate % 1000, 3, 10, QLatin1Char('0'))
                     : QString::number(rate));
}

void TForm5::sendCommand(const char *command)
{
    Form6->SendCommand(QByteArray(command));
}

void TForm5::BitBtn1Click()
{
    TSystemVars &v = SystemVars;
    if (v.deviceBusy) {
        Dialogs::instance().message(QStringLiteral("Serial port is used by another window!"),
                                    QStringLiteral("Error Information"), Dialogs::Icon::Error, Dialogs::Ok);
        return;
    }
    m_run.claim(ReadingText::rateFromText(Edit2->text()));
    showMissedPeriods();
    BitBtn1->hide();
    BitBtn8->show();
    Edit2->setEnabled(false);
    BitBtn7->setEnabled(false);

    // Every wait below lets the user and the device act: a Stop, another
    // Start or a close may end this start, or delete the window, meanwhile.
    // A second Start runs within the wait of this one and ends before it.
    m_starting = true;
    const QPointer<TForm5> self(this);
    const auto stillStarting = [&] { return self && m_starting; };
    if (!v.settingsRead) {
        try {
            Form6->OpenPort();
        } catch (const KelvoraError &) {
            // A port that cannot be opened leaves the window idle, not half started.
            if (stillStarting())
                backToIdle();
            throw;
        }
        if (!stillStarting())
            return;
    }
    delay(200);
    if (!stillStarting())
        return;
    if (v.settingsRead) {
        m_starting = false;
        m_run.begin();
        Timer1.setEnabled(true);
        return;
    }
    Dialogs::instance().message(
        QStringLiteral("COM port connect error!\rPlease turn on IR thermometer or Change COM port Set-up!"),
        QStringLiteral("Error Information"), Dialogs::Icon::Error, Dialogs::Ok);
    if (stillStarting())
        backToIdle();
}

void TForm5::backToIdle()
{
    m_starting = false;
    Timer1.setEnabled(false);
    m_run.release();
    BitBtn8->hide();
    BitBtn1->show();
    Edit2->setEnabled(true);
}

void TForm5::Timer1Timer()
{
    m_run.tick();
    showMissedPeriods();
}

void TForm5::showMissedPeriods()
{
    Edit3->setText(QString::number(m_run.missedPeriods()));
}

void TForm5::soundAlarm(const SpokenReading::Alarm &alarm)
{
    if (alarm.high)
        SoundService::instance().play(QStringLiteral("highalarm.wav"));
    if (alarm.low)
        SoundService::instance().play(QStringLiteral("lowalarm.wav"));
}

void TForm5::NewReading_Pro()
{
    TSystemVars &v = SystemVars;
    const SpokenReading::Alarm alarm =
        SpokenReading::alarmFor(v.lastValue, v.alarmOn, v.systemLal, v.systemHal);
    soundAlarm(alarm);

    m_run.readingArrived();
    // No reading within two sample periods before this one: the chart's
    // line breaks rather than join the two across the stretch missed.
    const double now = m_readingClock.elapsed() / 1000.0;
    const bool afterGap = TimeSegments::isGap(m_lastReadingAt, now, 2.0 * v.samplePeriod);
    m_lastReadingAt = now;

    const RecordStamp stamp = currentRecordStamp();
    const LiveReading reading =
        liveReading(v.lastValue, v.lastEms, m_windowCelsius, m_series.readingCount() + 1, stamp);
    Label2->setText(ReadingText::unitLetter(m_windowCelsius));
    LEDFontNum1->SetText(ReadingText::ledText(reading.value));
    LEDFontNum1->SetAlarmText(SpokenReading::alarmText(alarm, v.systemLal, v.systemHal, m_windowCelsius));
    const double x = reading.record.meavalue;
    const double oldMax = m_series.maxReading();
    const double oldMin = m_series.minReading();
    m_series.add(x, v.lastValue, v.readingSum);
    BitBtn2->setEnabled(true);

    // The row cache already holds the appended row and the grid inserts just
    // that row, so no re-read of the table is needed.
    meaData().append(reading.record);
    meaData().last();

    Chart1->setAxisRange(ChartAxis::Left, TemperatureAxis::defaultMin(m_windowCelsius),
                         m_series.axisMaximum(m_windowCelsius));
    Chart1->setFooter(ReadingText::footerLines(m_series.maxReading(), m_series.minReading(),
                                               m_series.averageText(v.readingSum, m_windowCelsius),
                                               QStringLiteral("Date:"), stamp.date));
    Chart1->appendPoint(0, x, afterGap);
    // Rows already drawn are recoloured when the extremes moved; otherwise
    // only the new row needs drawing, which the grid does itself.
    if (m_series.maxReading() != oldMax || m_series.minReading() != oldMin)
        DBGridEh1->viewport()->update();
    m_unsaved = true;
}

void TForm5::ChangeUnit_Pro()
{
    const bool celsius = SystemVars.unitCelsius;
    Chart1->setVerticalAxisTitle(MeasureUnits.axisTitle(celsius));
    MeasureTable &table = meaData();
    double axisMax = TemperatureAxis::defaultMax(celsius);
    if (!table.isEmpty()) {
        table.disableControls();
        Chart1->clearFooter();
        ChartSeriesRefill refill(Chart1, 0);
        UnitConversionResult result;
        try {
            result = convertTableUnit(table, Form6->Query1, MeasureUnits, m_windowCelsius, celsius, refill);
        } catch (...) {
            table.enableControls();
            throw;
        }
        table.enableControls();
        refill.apply();
        m_series.setExtremes(result.maxReading, result.minReading);
        axisMax = result.axisMax;
        Chart1->setFooter(ReadingText::footerLines(result.maxReading, result.minReading,
                                                   formatOneDecimal(result.average), QStringLiteral("DATE:"),
                                                   currentRecordStamp().date));
        DBGridEh1->viewport()->update();
    }
    m_windowCelsius = celsius;
    Chart1->setAxisRange(ChartAxis::Left, TemperatureAxis::defaultMin(celsius), axisMax);
    Label2->setText(ReadingText::unitLetter(celsius));
    LEDFontNum1->SetUnit(SpokenReading::unit(celsius));
    LEDFontNum1->SetText(ReadingText::ledPlaceholder(celsius));
    // The placeholder is no reading, so no alarm is shown with it.
    LEDFontNum1->SetAlarmText(QString());
}

void TForm5::BitBtn8Click()
{
    m_starting = false;
    Timer1.setEnabled(false);
    m_run.stop();
    BitBtn8->hide();
    BitBtn1->show();
    Edit2->setEnabled(true);
    const bool hasRows = !meaData().isEmpty();
    BitBtn7->setEnabled(hasRows);
    if (hasRows)
        NavigationBar->printButton()->setEnabled(true);
}

void TForm5::BitBtn2Click()
{
    MeasureTable &table = meaData();
    table.close();
    table.emptyTable();
    table.open();
    m_unsaved = false;
    Edit1->clear();
    BitBtn7->setEnabled(false);
    NavigationBar->printButton()->setEnabled(false);
    Chart1->clearSeries(0);
    m_series.restart();
    BitBtn2->setEnabled(false);
    Chart1->clearFooter();
}

void TForm5::BitBtn7Click()
{
    BitBtn7->setEnabled(false);
    // The file dialog and the overwrite question wait for the user; the
    // window may be gone when they return.
    const QPointer<TForm5> self(this);
    LogSaveResult result;
    try {
        result = saveMeasureLog(meaData(), Edit1->text());
    } catch (...) {
        // The file was not written: the user may try again.
        if (self)
            BitBtn7->setEnabled(true);
        throw;
    }
    if (!self)
        return;
    // Nothing written (dialog cancelled or overwrite refused): the data is
    // still unsaved, so Save stays available for another name.
    if (result.outcome == LogSaveOutcome::Written) {
        Edit1->setText(result.path);
        m_unsaved = false;
    } else {
        BitBtn7->setEnabled(true);
    }
}

bool TForm5::FormClose()
{
    TSystemVars &v = SystemVars;
    v.removeMeasureItem = true;
    v.measureWindow = nullptr;
    v.measuring = false;
    m_starting = false;
    BitBtn1->setEnabled(true);
    BitBtn1->show();
    BitBtn8->hide();
    // Idle again: a window kept open by Cancel can start the next run.
    Edit2->setEnabled(true);
    Timer1.setEnabled(false);
    v.measureMenuEnabled = true;
    v.readInterval = 0;
    v.awaitingReply = false;
    // Only a run of this window holds the thermometer as a measurement.
    // Another window's hold stays, and so does its conversation: an "ATU"
    // would land in the middle of a download.
    const bool ownHold = v.commState == CommMeasuring;
    if (ownHold || !v.deviceBusy)
        sendCommand("ATU");
    if (ownHold) {
        v.deviceBusy = false;
        v.commState = CommIdle;
    }
    if (!m_unsaved)
        return true;

    BitBtn7->setEnabled(true);
    const QPointer<TForm5> self(this);
    const Dialogs::Button answer = Dialogs::instance().message(
        QStringLiteral("Measured data has not save yet.\rDo you want to save data?"),
        QStringLiteral("Query Information"), Dialogs::Icon::Question,
        Dialogs::Yes | Dialogs::No | Dialogs::Cancel);
    if (!self || answer == Dialogs::No)
        return true;
    if (answer == Dialogs::Yes) {
        try {
            BitBtn7Click();
        } catch (...) {
            // The window stays: it must stay registered, or the main window
            // would open a second one over the same table.
            if (self)
                keepOpen();
            throw;
        }
        // A cancelled or refused save keeps the window, so no reading is lost.
        if (!self || !m_unsaved)
            return true;
    }
    keepOpen();
    return false;
}

void TForm5::keepOpen()
{
    SystemVars.measureWindow = this;
    SystemVars.measureMenuEnabled = false;
}

void TForm5::closeEvent(QCloseEvent *event)
{
    closeDataWindow(this, event, [this] { return FormClose(); });
}

bool TForm5::event(QEvent *event)
{
    if (event->type() == WM_NEWREADING) {
        guardedHandler([this] { NewReading_Pro(); });
        return true;
    }
    if (event->type() == WM_CHANGEUNIT) {
        guardedHandler([this] { ChangeUnit_Pro(); });
        return true;
    }
    return QWidget::event(event);
}

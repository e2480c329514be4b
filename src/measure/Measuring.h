#pragma once

#include "devicelink/componenttimer.h"
#include "measure/datawindowclose.h"
#include "measure/logic/liverun.h"
#include "measure/logic/measurementseries.h"
#include "measure/logic/spokenreading.h"

#include <QElapsedTimer>
#include <QWidget>

class ChartNavigationBar;
class DataChart;
class MeasureGrid;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class RateValidator;
class TLEDFontNum;

// The real-time measurement window ("Form5"): starts and stops a live run at
// a chosen sample rate, stores every reading in MeaData, shows it in LED
// digits, charts and summarises it, sounds the alarm outside the PC-side
// limits, clears and saves the series, and follows a change of unit.
class TForm5 : public QWidget, public UnsavedRows {
    Q_OBJECT
public:
    static constexpr int DefaultRate = 3;
    static constexpr int MinRate = 2;
    static constexpr int MaxRate = 9999;

    explicit TForm5(QWidget *parent = nullptr);
    ~TForm5() override;

    // Handlers, public so that tests can drive them.
    void BitBtn1Click(); // Start to Measure
    void BitBtn8Click(); // Stop Measure
    void BitBtn2Click(); // Clear
    void BitBtn7Click(); // Save
    void Edit2Change();
    void Timer1Timer();
    void NewReading_Pro();
    void ChangeUnit_Pro();

    bool windowCelsius() const { return m_windowCelsius; }
    const MeasurementSeries &series() const { return m_series; }
    // Readings came since the last Clear or written save.
    bool hasUnsavedRows() const override { return m_unsaved; }

    QPushButton *BitBtn1;
    QPushButton *BitBtn8;
    QPushButton *BitBtn2;
    QPushButton *BitBtn7;
    QLineEdit *Edit1;
    QLineEdit *Edit2;
    // Sample periods of the current run that got no reading.
    QLineEdit *Edit3;
    QWidget *UpDown1;
    QLabel *Label2;
    TLEDFontNum *LEDFontNum1;
    MeasureGrid *DBGridEh1;
    DataChart *Chart1;
    ChartNavigationBar *NavigationBar;
    ComponentTimer Timer1;

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildLayout();
    QWidget *buildLeftColumn();
    QWidget *buildRightColumn();
    QWidget *buildControlRow();
    void FormCreate();
    // Closing: stops the run; returns false when the window is to stay.
    bool FormClose();
    // A close that was refused: the window stays the measurement window.
    void keepOpen();
    void stepRate(int step);
    void backToIdle();
    void setAxisForUnit(const QString &title, double maximum);
    void soundAlarm(const SpokenReading::Alarm &alarm);
    void sendCommand(const char *command);
    void showMissedPeriods();

    bool m_windowCelsius = true;
    bool m_unsaved = false;
    LiveRun m_run;
    // A Start waits for the thermometer; Stop, closing and a failed start
    // end that wait's claim to start the run.
    bool m_starting = false;
    bool m_firstRateChange = false;
    bool m_rateShown = false;
    RateValidator *m_rateValidator = nullptr;
    MeasurementSeries m_series;
    // When the last reading came, in seconds of m_readingClock.
    QElapsedTimer m_readingClock;
    double m_lastReadingAt = 0.0;
};

#pragma once

#include "measure/datawindowclose.h"

#include <QPointer>
#include <QWidget>

class ChartNavigationBar;
class DataChart;
class MeasureGrid;
class QLabel;
class QLineEdit;
class QPushButton;

// The import window ("Form4"): downloads the records stored in the
// thermometer's memory into GetRecorde, shows them in a grid and a chart
// with their maximum, minimum, average and count, saves them as a log file
// and follows a change of unit.
class TForm4 : public QWidget, public UnsavedRows {
    Q_OBJECT
public:
    explicit TForm4(QWidget *parent = nullptr);
    ~TForm4() override;

    // Handlers, public so that tests can drive them.
    void BitBtn1Click(); // Start to Import
    void BitBtn5Click(); // Save
    void ChangeUnit_Pro();
    // Fills GetRecorde, the chart and the statistics from the records the
    // link has parsed (logValues, logEms, logCount).
    void fillTable();

    bool windowCelsius() const { return m_windowCelsius; }
    double maxReading() const { return m_maxReading; }
    double minReading() const { return m_minReading; }
    // An import runs (from the start to the end of its waits and fill).
    bool importing() const { return m_importing; }
    // Downloaded rows wait to be saved: Save is enabled exactly then.
    bool hasUnsavedRows() const override;

    MeasureGrid *DBGridEh1;
    DataChart *Chart1;
    ChartNavigationBar *NavigationBar;
    QLabel *Label7;
    QLabel *RecordsLabel; // records received during a download, their count after it
    QPushButton *BitBtn1;
    QPushButton *BitBtn5;
    QLineEdit *Edit1; // MAX
    QLineEdit *Edit2; // MIN
    QLineEdit *Edit3; // AVG
    QLineEdit *Edit4; // Records
    QLineEdit *Edit5; // path of the last save

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    class LineHold;

    void buildLayout();
    QWidget *buildStatisticsRow();
    void addSwatch(QWidget *row, const char *name, const QColor &colour);
    QLineEdit *addStatisticsBox(QWidget *row, const char *name, const char *labelName, const QString &label);
    void FormCreate();
    void resetStatistics();
    void setAxis(double maximum);
    // Closing: returns false when the window is to stay.
    bool FormClose();
    void keepOpen();

    bool m_windowCelsius = true;
    double m_maxReading = 0.0;
    double m_minReading = 0.0;
    bool m_importing = false;
};

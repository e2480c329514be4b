#pragma once

#include "analysis/logic/loadedfiles.h"
#include "store/gridcolouring.h"
#include "store/logfilereader.h"
#include "store/measurerecord.h"

#include <QWidget>

class ChartNavigationBar;
class DataChart;
class MeasureGrid;
class MeasureTable;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QShortcut;

// The data view window ("Form7"): every Open reads one log file into
// LoadData and draws it as a series of its own colour, up to ten files side
// by side. The grid lists the rows of all files, each tinted with its file's
// colour, and takes edits; the window shows the number of files and the
// extremes over all rows, and follows a change of unit.
class TForm7 : public QWidget {
    Q_OBJECT
public:
    static constexpr int SeriesCount = LoadedFiles::MaxFiles;

    explicit TForm7(QWidget *parent = nullptr);
    ~TForm7() override;

    // Empties LoadData, as the Open command does when it creates the window.
    static void emptyLoadData();

    // Handlers, public so that tests can drive them.
    // Asks for a log file and appends it to LoadData and the chart. Failures
    // throw; a file that fails leaves nothing of itself behind. Events run
    // while the file loads; Cancel, Escape and closing the window end the
    // load, which then leaves nothing behind either.
    void LoadData();
    void ChangeUnit_Pro();
    CellColour DBGridEh1DrawColumnCell(const MeasureRecord &row) const;

    bool windowCelsius() const { return m_windowCelsius; }
    const LoadedFiles &files() const { return m_files; }

    MeasureGrid *DBGridEh1;
    DataChart *Chart1;
    ChartNavigationBar *NavigationBar;
    QLabel *Label1;
    QLineEdit *Edit1;
    QLabel *Label2;
    QLineEdit *Edit2;
    QLabel *Label3;
    QLineEdit *Edit3;
    QProgressBar *ProgressBar1;
    QPushButton *CancelButton;

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *buildStatistics();
    void FormCreate();
    void FormClose();
    void loadFile(const QString &path);
    void showFile(qint64 firstRecno, const LogLoadResult &result, const QVector<qsizetype> &segmentStarts);
    void cancelLoad();
    void setLoading(bool loading);
    void fileAccepted(int total);
    void showProgress(int rowsRead);
    void endLoad();
    void showExtremes(const QString &minText, const QString &maxText);

    bool m_windowCelsius = true;
    bool m_loading = false;
    bool m_cancelRequested = false;
    bool m_closeAfterLoad = false; // the window was closed while loading
    QShortcut *m_cancelKey = nullptr;
    LoadedFiles m_files;
};

#pragma once

#include "measure/logic/axisnavigation.h"
#include "measure/logic/chartnavigationconfig.h"

#include <QPointer>
#include <QWidget>

#include <array>

class DataChart;
class QPushButton;
class QToolButton;

// The bar under a data window's chart: "Print Graph", "Zoom In", "Zoom Out",
// the reset button and four arrow buttons (SpeedButton1..4: left, down, up,
// right) that scroll the chart by a tenth of its range. The buttons carry the
// window's component names from its ChartNavigationConfig; the arrows show
// only their glyph and are named "Left", "Down", "Up" and "Right" for
// assistive technology.
class ChartNavigationBar : public QWidget {
    Q_OBJECT
public:
    ChartNavigationBar(DataChart *chart, const ChartNavigationConfig &config, QWidget *parent = nullptr);

    QPushButton *printButton() const { return m_print; }
    QPushButton *zoomInButton() const { return m_zoomIn; }
    QPushButton *zoomOutButton() const { return m_zoomOut; }
    QPushButton *resetButton() const { return m_reset; }
    // SpeedButton1..SpeedButton4 for number 1..4.
    QToolButton *speedButton(int number) const { return m_arrows.at(number - 1); }

    // Adds a window's own widget after the arrow buttons.
    void addWidget(QWidget *widget);

    // What the buttons do when clicked.
    void zoomInClick();
    void zoomOutClick();
    void resetClick();
    // Prints the chart on the application's selected printer (or, without
    // one, into a PDF file the user names); failures reach the error report.
    void printGraphClick();
    void SpeedButton1Click() { HorizScroll(-10.0); }
    void SpeedButton2Click() { VertScroll(10.0); }
    void SpeedButton3Click() { VertScroll(-10.0); }
    void SpeedButton4Click() { HorizScroll(10.0); }

    // Scrolls the top and bottom axes by percent of their width.
    void HorizScroll(double percent);
    // Scrolls the left and right axes by percent of their height.
    void VertScroll(double percent);
    // Shifts one axis by percent of its range; the axis becomes fixed.
    void ScrollAxis(ChartAxis axis, double percent);

private:
    QPushButton *addButton(const QString &name, const QString &caption);
    void scrolled();

    QPointer<DataChart> m_chart;
    ChartNavigationConfig m_config;
    QPushButton *m_print;
    QPushButton *m_zoomIn;
    QPushButton *m_zoomOut;
    QPushButton *m_reset;
    std::array<QToolButton *, 4> m_arrows{};
};

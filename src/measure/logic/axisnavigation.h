#pragma once

#include <array>
#include <optional>

// The four axes of a data chart. Series are drawn against Bottom and Left;
// Top and Right carry none but are moved together with their partners.
enum class ChartAxis { Left, Right, Top, Bottom };

constexpr std::array<ChartAxis, 4> allChartAxes{ChartAxis::Left, ChartAxis::Right, ChartAxis::Top,
                                                ChartAxis::Bottom};

struct AxisRange {
    double minimum = 0.0;
    double maximum = 0.0;
};

// What an axis stores: its two ends and whether each one follows the data.
struct AxisState {
    double minimum = 0.0;
    double maximum = 0.0;
    bool automaticMinimum = true;
    bool automaticMaximum = true;
};

// [a, b] after a percentage zoom: each end moves inward by (P - 100) % of the
// width, so 120 shows the middle 60 % and 80 widens the range to 140 %.
AxisRange zoomedRange(AxisRange r, double percent);
// [a, b] shifted by percent of its width; the width stays.
AxisRange scrolledRange(AxisRange r, double percent);

// Axis ranges of one chart with the undo of zooming: the first zoom after
// creation or a reset saves all four axes (ranges and automatic flags) and
// marks them pending; a reset restores them when pending.
class AxisNavigation {
public:
    AxisState state(ChartAxis axis) const { return m_axes[index(axis)]; }
    // The range in use: an automatic end takes the data's extreme when the
    // axis has data. Never empty: a range without width is drawn one unit
    // either side of its value.
    AxisRange range(ChartAxis axis) const;

    // Fixes both ends; a minimum above the maximum is swapped with it.
    void setRange(ChartAxis axis, double minimum, double maximum);
    void setAutomatic(ChartAxis axis, bool automatic);
    bool isAutomatic(ChartAxis axis) const;

    // The extremes of the data drawn against the axis; none when it has none.
    void setDataExtent(ChartAxis axis, std::optional<AxisRange> extent);

    // Percentage zoom of all four axes (see zoomedRange), saving them first
    // unless a restore is already pending.
    void zoomPercent(double percent);
    // Restores the axes saved at the first zoom, when pending.
    void undoZoom();

    bool isZoomed() const { return m_zoomed; }
    bool isRestorePending() const { return m_restorePending; }

private:
    static int index(ChartAxis axis) { return static_cast<int>(axis); }

    std::array<AxisState, 4> m_axes{};
    std::array<std::optional<AxisRange>, 4> m_extents{};
    std::array<AxisState, 4> m_saved{};
    bool m_restorePending = false;
    bool m_zoomed = false;
};

#pragma once

#include <QString>

// How one data window sets up its chart navigation bar: the component names
// of its buttons, the reset button's caption, and the few behaviours that
// differ between the windows.
struct ChartNavigationConfig {
    QString printName;
    QString zoomInName;
    QString zoomOutName;
    QString resetName;
    QString resetCaption;
    bool resetEnabledAtOpening = false;
    bool scrollingEnablesReset = true;
    bool printEnabledAtOpening = false;

    static ChartNavigationConfig importWindow();
    static ChartNavigationConfig measurementWindow();
    static ChartNavigationConfig dataViewWindow();
};

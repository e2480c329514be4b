#include "chartnavigationconfig.h"

ChartNavigationConfig ChartNavigationConfig::importWindow()
{
    return {QStringLiteral("BitBtn6"),       QStringLiteral("BitBtn2"),      QStringLiteral("BitBtn3"),
            QStringLiteral("BitBtn4"),       QStringLiteral("ResetZoom"),
            /*resetEnabledAtOpening*/ false, /*scrollingEnablesReset*/ true,
            /*printEnabledAtOpening*/ false};
}

ChartNavigationConfig ChartNavigationConfig::measurementWindow()
{
    return {QStringLiteral("BitBtn6"),       QStringLiteral("BitBtn3"),      QStringLiteral("BitBtn4"),
            QStringLiteral("BitBtn5"),       QStringLiteral("ResetZoom"),
            /*resetEnabledAtOpening*/ false, /*scrollingEnablesReset*/ true,
            /*printEnabledAtOpening*/ false};
}

ChartNavigationConfig ChartNavigationConfig::dataViewWindow()
{
    return {QStringLiteral("BitBtn1"),      QStringLiteral("BitBtn2"),       QStringLiteral("BitBtn3"),
            QStringLiteral("BitBtn4"),      QStringLiteral("Reset Zoom"),
            /*resetEnabledAtOpening*/ true, /*scrollingEnablesReset*/ false,
            /*printEnabledAtOpening*/ true};
}

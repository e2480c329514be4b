#include "menustaterules.h"

namespace MenuStateRules {

Decision decide(const Situation &s)
{
    Decision d;
    d.removeImportEntry = s.removeImportItem;
    d.removeAnalyzeEntry = s.removeAnalyzeItem;
    d.about = s.aboutMenuEnabled;
    d.realTimeMeasure = s.measureMenuEnabled;
    // A measurement window that refused to close leaves its remove flag set
    // with its command still disabled: its entry stays until it really closes.
    d.removeMeasureEntry = s.measureMenuEnabled && s.removeMeasureItem;
    d.systemSetup = s.setupMenuEnabled;
    d.importData = s.importMenuEnabled;

    if (s.activeChild == QLatin1String("Form5")) {
        d.exportToExcel = d.printDataSheet = s.startButtonVisible && !s.measureTableEmpty;
        d.save = s.measureSaveEnabled && s.startButtonVisible;
    } else if (s.activeChild == QLatin1String("Form4")) {
        d.exportToExcel = d.printDataSheet = !s.downloadTableEmpty;
        d.save = s.importSaveEnabled;
    } else if (s.activeChild == QLatin1String("Form7")) {
        d.exportToExcel = d.printDataSheet = true;
    }
    return d;
}

} // namespace MenuStateRules

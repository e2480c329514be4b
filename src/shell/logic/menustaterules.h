#pragma once

#include <QString>

// Which commands of the main window may be used, decided from the active child
// window and the shared flags on every refresh of the main window.
namespace MenuStateRules {

// What the refresh sees.
struct Situation {
    QString activeChild;             // component name of the active child window; empty without one
    bool startButtonVisible = false; // Form5: "Start to Measure" shown, so no run in progress
    bool measureSaveEnabled = false; // Form5: its "Save" button
    bool importSaveEnabled = false;  // Form4: its "Save" button
    bool measureTableEmpty = true;   // "MeaData"
    bool downloadTableEmpty = true;  // "GetRecorde"
    bool measureMenuEnabled = false;
    bool importMenuEnabled = false;
    bool setupMenuEnabled = false;
    bool aboutMenuEnabled = false;
    bool removeMeasureItem = false;
    bool removeImportItem = false;
    bool removeAnalyzeItem = false;
};

// What the refresh does: enabled commands and Window-menu entries to remove
// (each removal also clears its flag).
struct Decision {
    bool realTimeMeasure = false; // N3
    bool importData = false;      // N16
    bool systemSetup = false;     // N5
    bool about = false;           // A1
    bool exportToExcel = false;   // N7
    bool printDataSheet = false;  // N8
    bool save = false;            // N15
    bool removeMeasureEntry = false;
    bool removeImportEntry = false;
    bool removeAnalyzeEntry = false;
};

Decision decide(const Situation &situation);

} // namespace MenuStateRules

#pragma once

#include <QIcon>

// The program's pictures, drawn as vector shapes so that they stay crisp on
// screens of any pixel density, each size when it is first shown. Disabled
// variants come from the style.
enum class ToolPicture {
    Measure,       // a screen with a green curve
    FilmReel,      // a film reel
    OpenFolder,    // an open folder
    Diskette,      // a diskette
    Spreadsheet,   // a spreadsheet document
    Printer,       // a printer
    ControlPanel,  // a control panel with a gear wheel
    HelpDocument,  // a document with a person
    AboutComputer, // a computer with an information sign
    PowerSwitch    // a red power switch
};
constexpr int ToolPictureSize = 32;
QIcon toolPicture(ToolPicture picture);

enum class StatusPicture {
    Thermometer, // a hand-held infrared thermometer
    Computer     // a computer
};
constexpr int StatusPictureSize = 16;
QIcon statusPicture(StatusPicture picture);

// The window icon: the hand-held thermometer.
QIcon programIcon();

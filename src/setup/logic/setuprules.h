#pragma once

#include <QString>

// The decisions of the setup window's OK and Apply: whether a chosen unit
// may be put in force, whether a typed port name is a change and may be
// made, and the messages that refuse them.
namespace SetupRules {

// OK speaks English; Apply speaks Chinese.
enum class Button { Ok, Apply };

struct Message {
    QString text;
    QString caption;
};

enum class UnitAction {
    Keep,   // the selected unit is already in force: nothing to convert
    Refuse, // a measurement runs or a table is being filled: refused with its message
    Change  // unitCelsius takes the selected unit and the data windows convert
};

struct UnitDecision {
    UnitAction action = UnitAction::Keep;
    Message refusal; // set for Refuse
};

struct UnitSituation {
    bool unitCelsius = true;     // the unit in force
    bool celsiusSelected = true; // the unit chosen on the page
    bool measuring = false;
    bool tableBusy = false;
};

UnitDecision unitChange(const UnitSituation &situation, Button button);

enum class PortAction {
    Keep,   // the typed name is the port in use (letter case counts)
    Refuse, // a window holds the thermometer: the port stays
    Change  // the link closes and opens the typed port
};

PortAction portChange(const QString &typed, const QString &serialPort, bool deviceBusy);

// The message that refuses a port change while a window holds the thermometer.
Message portBusyMessage();

} // namespace SetupRules

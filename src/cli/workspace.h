#pragma once

#include "cli/consoledialogs.h"
#include "devicelink/systemvar.h"

#include <QTemporaryDir>

#include <memory>

// What every command works in: the device-link module with its database on
// a file in a temporary directory, removed at the end, and the console
// dialogs installed. The user's database and settings file are never
// opened: the module is not created as the program creates it (that would
// empty the program's tables and write its settings file), only its port,
// timers, reply parser and tables are used. Throws DatabaseError when the
// temporary database cannot be made.
class Workspace {
public:
    Workspace();
    ~Workspace();
    Workspace(const Workspace &) = delete;
    Workspace &operator=(const Workspace &) = delete;

    TForm6 &link() { return *m_link; }

    // Opens the port named by port through the module, as the windows do,
    // which asks the thermometer for its settings, and waits for that reply.
    // Returns an empty string when the reply arrived, else why not: the port
    // could not be opened (the message names it), or no thermometer answered.
    QString connect(const QString &port);

private:
    QTemporaryDir m_dir;
    ConsoleDialogs m_dialogs;
    std::unique_ptr<TForm6> m_link;
};

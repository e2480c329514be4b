#pragma once

#include <functional>

class QCloseEvent;
class QWidget;

// Closes a data window (a child of the main window) as its close handler
// decides: formClose returns whether the window goes. A window that stays,
// also after a failure that the error report shows, is minimised in its
// frame. A window deleted while its handler waited (the program ending) is
// not touched again.
void closeDataWindow(QWidget *window, QCloseEvent *event, const std::function<bool()> &formClose);

#pragma once

#include <functional>

class QCloseEvent;
class QWidget;

// A data window whose rows may be on no file yet. Each window keeps this
// state itself: saving one window's rows never counts for another. The main
// window closes the windows that hold unsaved rows before the program ends,
// so that each asks its own question.
class UnsavedRows {
public:
    virtual bool hasUnsavedRows() const = 0;

protected:
    ~UnsavedRows() = default;
};

// Closes a data window (a child of the main window) as its close handler
// decides: formClose returns whether the window goes. A window that stays,
// also after a failure that the error report shows, is minimised in its
// frame. A window deleted while its handler waited (the program ending) is
// not touched again.
void closeDataWindow(QWidget *window, QCloseEvent *event, const std::function<bool()> &formClose);

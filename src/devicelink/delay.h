#pragma once

// Waits more than `ms` milliseconds while the event loop keeps dispatching
// timers, serial events and window messages, without spinning a core.
// Anything may happen during the wait, including the caller's window being
// closed: callers hold windows through QPointer and check them afterwards.
void delay(int ms);

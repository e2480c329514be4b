#pragma once

#include "shell/firstshown.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <chrono>
#include <cstdio>

// The start-up benchmark's probe, shared by the program and the bare window
// it is compared with. With KELVORA_EXIT_WHEN_SHOWN set, the moment the main
// window's first frame is on screen is printed as "shown <nanoseconds>" on
// the monotonic clock, and the window is then closed by the given function,
// as its own Exit would.
namespace StartupProbe {

constexpr const char *Variable = "KELVORA_EXIT_WHEN_SHOWN";

inline void exitWhenShown(QWidget *window, std::function<void()> close)
{
    if (!qEnvironmentVariableIsSet(Variable))
        return;
    FirstShown::notify(window, [close = std::move(close)] {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        std::printf("shown %lld\n", static_cast<long long>(
                                        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
        std::fflush(stdout);
        // After whatever else waited for the window to be shown.
        QMetaObject::invokeMethod(QCoreApplication::instance(), close, Qt::QueuedConnection);
    });
}

} // namespace StartupProbe

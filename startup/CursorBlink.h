// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

class QApplication;

// The text cursor stops blinking once the user has left the program alone for a while, and
// stays shown, as GTK desktops do (their gtk-cursor-blink-timeout): a child called away in the
// middle of a lesson leaves a window that wakes nothing. A key, a click or a change of focus
// starts the blinking again, at the desktop's own pace; a desktop whose cursor never blinks
// (a flash time of 0) is left as it is.
constexpr std::chrono::milliseconds cursorBlinkTimeout{10000};

// `timeout` is for tests; the program uses cursorBlinkTimeout.
void stopCursorBlinkWhenIdle(QApplication &application,
                             std::chrono::milliseconds timeout = cursorBlinkTimeout);

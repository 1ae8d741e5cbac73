// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class QApplication;

// Ties the sound to what the user does. `start` runs once, right after the first frame of the
// program's first window is painted (nothing of the sound runs before it). `wake` runs on
// every sign that a sound may come soon, so that a sound device closed while the program was
// idle is open again before the sound is due: a window activated, the mouse entering one, a
// key pressed anywhere (the edit boxes, F2), a menu shown, a click.
void followSoundActivity(QApplication &application, std::function<void()> start,
                         std::function<void()> wake);

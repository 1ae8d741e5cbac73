// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class QApplication;

// What the program's sound is told of the user (SoundActivity.h): `startAfterFirstPaint` runs
// once, right after the first frame of the first window is painted; `wakeOnActivity` on every
// sign that a sound may come soon: a key pressed anywhere, a click, a menu shown, a window
// activated or entered.
struct SoundCues
{
    std::function<void()> startAfterFirstPaint;
    std::function<void()> wakeOnActivity;
};

// Sets up the whole application before its first window: its title, its font, its style, the
// timing of tooltips and, when `sound` is given, the watch that starts and wakes the sound.
// Tests and benchmarks that start the sound their own way leave `sound` out.
void prepareApplication(QApplication &application, SoundCues sound = {});

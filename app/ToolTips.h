// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QApplication;

// Tooltip timing of the program: shown 500 ms after the mouse comes to rest on a control,
// 50 ms when moving on from one tooltip to the next control, hidden after 2500 ms. The timing
// is part of the program's style, which this sets for the application; that style also draws
// the menu bar's overflow button itself.
void installToolTipTiming(QApplication &application);

namespace ToolTipTiming {
constexpr int wakeUpMs = 500;
constexpr int followOnMs = 50;
constexpr int displayMs = 2500;
} // namespace ToolTipTiming

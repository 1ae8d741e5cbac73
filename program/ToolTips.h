// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QApplication;

// Tooltip timing of the program: shown 500 ms after the mouse comes to rest on a control,
// 50 ms when moving on from one tooltip to the next control, hidden after 2500 ms. The first
// and last are style hints of the program's style (ProgramStyle.h).
void installToolTipTiming(QApplication &application);

namespace ToolTipTiming {
constexpr int wakeUpMs = 500;
constexpr int followOnMs = 50;
constexpr int displayMs = 2500;
} // namespace ToolTipTiming

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStyle>
#include <optional>

class QApplication;

// The program's tooltip timing, all of it: a tooltip shows 500 ms after the mouse comes to rest
// on a control, 50 ms when moving on from one tooltip to the next control, and hides after
// 2500 ms. Qt takes the first and the last from the style, which asks toolTipStyleHint(); the
// follow-on wait needs an application-wide event filter, installToolTipTiming().

// The value of a tooltip timing style hint; nothing for any other hint.
std::optional<int> toolTipStyleHint(QStyle::StyleHint hint);

void installToolTipTiming(QApplication &application);

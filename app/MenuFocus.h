// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class QMenuBar;
class QWidget;

// Gives the keyboard focus back when the menus are left. A menu bar entered with Alt and a
// letter, and entered again with a second Alt and letter before it was left, forgets where the
// focus was: once left, it keeps the focus itself and every key typed next goes nowhere. Here,
// whenever a menu closes or the bar is left, a focus still on the bar (or on nothing) goes back
// to the widget of the window that last had it, or, when that one can no longer take it, to
// the widget `stateBox` names.
//
// A digit typed while the menu bar holds the keyboard (after Alt alone, or after Escape out of
// a menu), or while one of its menus is open and has no item for that digit, is not lost
// either: the menus close, and the digit goes to the widget `stateBox` names, with the focus,
// as if it had been typed there.
void keepFocusAcrossMenus(QMenuBar *menuBar, std::function<QWidget *()> stateBox);

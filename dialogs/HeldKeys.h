// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// Keeps a key that is held down from pressing the dialog's buttons: Enter for the default
// button, Escape for the cancel button, Space on the focused button, a button's letter or
// shortcut. A key held down repeats, and the repeats would answer a dialog before the child
// has seen it (holding Enter on the last question used to throw the report away and start
// another lesson). A fresh press still works at once. Call once for each dialog; the watch
// ends with the dialog.
void ignoreHeldKeys(QWidget *dialog);

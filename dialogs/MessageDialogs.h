// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/TMessageForm.h"

#include <QString>

// Shows `text` in a modal dialog of the given type with the given buttons, owned by the active
// window, and returns the result of the button pressed (TMessageForm.h).
int MessageDlg(const QString &text, TMsgDlgType type, const TMsgDlgButtons &buttons);

// The plain message: the program's title as caption, no icon, one OK button that both
// Enter and Escape press.
void ShowMessage(const QString &text);

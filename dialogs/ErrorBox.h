// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QString;

// Shows the program's error box for `message`, application-modal, and returns when it is closed:
// the message followed by a full stop, the program's title as caption, the stop icon and one OK
// button that Enter and Escape press. The box is a TMessageForm named "errorBox". Without a
// widget application (a console tool, a test of plain logic) the text goes to stderr instead.
void showErrorBox(const QString &message);

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QString;
class QWidget;

// Shows `text` in a plain window of the owner's: read-only, in a fixed-pitch face so that
// text laid out with spaces keeps its columns, with a "Tutup" button. It does not block the
// owner; its close box, Escape or the button close it, and it is deleted when it closes.
// One window per owner and `name` (its object name): showing again brings the open one to
// the front with the new text. Returns the window.
QWidget *showTextWindow(QWidget *owner, const QString &name, const QString &caption,
                        const QString &text);

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QString;
class QWidget;

// Lets a screen reader read a widget that paints its text itself (the question board): the
// widget is presented as static text whose name is the text last given to setReadableText(),
// empty until then.
void makeReadableText(QWidget *widget);

// Gives the widget its readable text and announces it (an accessibility name change), also
// when it reads as before: the next question may read like the last one.
void setReadableText(QWidget *widget, const QString &text);

// Everything a screen reader is told (the board's text, a dialog's caption and message) also
// goes to the log category "numbelo.readable", silent unless asked for with
// QT_LOGGING_RULES="numbelo.readable.info=true". Where no screen reader can be asked, as for
// the Windows program under Wine, a test reads the program from there.
void logReadable(const char *what, const QString &text);

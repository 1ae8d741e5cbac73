// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

class QLineEdit;

// Whole characters as a reader counts them: a letter with its accents, an emoji or a flag is
// one character, however many UTF-16 units it takes.
QStringList wholeCharacters(const QString &text);
qsizetype wholeCharacterCount(const QString &text);

// Holds the box to `limit` whole characters, however the text comes in: typed, pasted,
// committed by an input method or set by the program. What does not fit is cut at a whole
// character: the characters just put in before the cursor give way, as if the insertion had
// stopped when the box was full; a character typed into a full box is refused. `tidy`, when
// given, is applied to every text that comes in first (the name box keeps its name on one line).
void limitToWholeCharacters(QLineEdit *box, int limit, QString (*tidy)(const QString &) = nullptr);

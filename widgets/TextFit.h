// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QLabel;

// Places a label where it is meant to go and makes its whole text fit there: a text is never
// cut off, whatever the font engine makes of it or whatever a distributor put in. A text too
// long for its room is set smaller, half a point at a time but never below 7 pt; a single line
// still too long is then shortened in the middle, with the whole text as its tooltip. The text
// is measured as the label draws it: with its alignment, wrapped at blanks when the label wraps,
// and with "&" marking a mnemonic when the label has a buddy.
namespace TextFit {

// Sets the label's font smaller until its text fits `room`; returns whether it fits then.
bool shrinkToFit(QLabel *label, QSize room);

// Places a one-line label with its top-left corner at `at`, sized to its text, within the
// columns from `left` up to `right` (not included): a text too long for that moves left first.
void placeLine(QLabel *label, QPoint at, int left, int right);

// Places a wrapping label across `area`, as tall as its text.
void placeBlock(QLabel *label, const QRect &area);

} // namespace TextFit

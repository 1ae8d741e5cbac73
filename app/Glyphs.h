// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QImage>

// A speed-button picture is one 32 x 16 image: the normal 16 x 16 picture on the left, the
// disabled one on the right. The colour of its bottom-left pixel is see-through.
QIcon glyphIcon(const QImage &twoImageGlyph);

// The same, for a glyph built into the program by file name (":/images/<name>"). A missing
// picture gives an empty icon, leaving the button blank.
QIcon glyphIcon(const QString &name);

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

// Reads one of the program's pictures, all of them PNG files. Loaded the usual way
// (QPixmap(path), QImage(path), QIcon(path)), Qt first offers the file to every image plugin
// it has, and so loads the GIF, ICO and JPEG plugins and the JPEG library at the first
// picture; told the format with guessing switched off, it only reads the PNG. A missing or
// damaged file gives a null image.
QImage loadPng(const QString &path);

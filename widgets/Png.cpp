// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/Png.h"

#include <QImageReader>

QImage loadPng(const QString &path)
{
    QImageReader reader(path);
    reader.setFormat(QByteArrayLiteral("png"));
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

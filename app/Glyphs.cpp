// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Glyphs.h"

#include "widgets/Png.h"

#include <QBitmap>
#include <QPixmap>

namespace {
constexpr int glyphSize = 16;

QPixmap transparentPart(const QImage &glyph, int index, QRgb transparent)
{
    QImage part = glyph.copy(index * glyphSize, 0, glyphSize, glyphSize)
                      .convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < part.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(part.scanLine(y));
        for (int x = 0; x < part.width(); ++x) {
            if ((line[x] & RGB_MASK) == (transparent & RGB_MASK))
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    return QPixmap::fromImage(part);
}
} // namespace

QIcon glyphIcon(const QImage &twoImageGlyph)
{
    if (twoImageGlyph.width() < glyphSize || twoImageGlyph.height() < glyphSize)
        return {};
    const QRgb transparent = twoImageGlyph.pixel(0, twoImageGlyph.height() - 1);
    QIcon icon;
    icon.addPixmap(transparentPart(twoImageGlyph, 0, transparent), QIcon::Normal);
    const bool hasDisabledPicture = twoImageGlyph.width() >= 2 * glyphSize;
    icon.addPixmap(transparentPart(twoImageGlyph, hasDisabledPicture ? 1 : 0, transparent),
                   QIcon::Disabled);
    return icon;
}

QIcon glyphIcon(const QString &name)
{
    return glyphIcon(loadPng(QStringLiteral(":/images/") + name));
}

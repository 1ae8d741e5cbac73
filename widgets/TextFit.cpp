// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/TextFit.h"

#include <QFontMetrics>
#include <QLabel>
#include <algorithm>

namespace TextFit {
namespace {

// Smaller than this, the program's 8-point texts would no longer be easy to read.
constexpr qreal smallestPoints = 7.0;
// Taller or wider than any text of the program: "no limit".
constexpr int unlimited = 1 << 16;

int drawFlags(const QLabel *label)
{
    int flags = int(label->alignment());
    if (label->wordWrap())
        flags |= Qt::TextWordWrap;
    if (label->buddy() != nullptr)
        flags |= Qt::TextShowMnemonic;
    return flags;
}

// The room the label's text takes when drawn within `width` pixels; wider than `width` when a
// word cannot be broken.
QSize needed(const QLabel *label, int width)
{
    return QFontMetrics(label->font())
        .boundingRect(QRect(0, 0, width, unlimited), drawFlags(label), label->text())
        .size();
}

bool fits(const QLabel *label, QSize room)
{
    const QSize size = needed(label, room.width());
    return size.width() <= room.width() && size.height() <= room.height();
}

} // namespace

bool shrinkToFit(QLabel *label, QSize room)
{
    QFont font = label->font();
    while (!fits(label, room) && font.pointSizeF() - 0.5 >= smallestPoints) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        label->setFont(font);
    }
    return fits(label, room);
}

void placeLine(QLabel *label, QPoint at, int left, int right)
{
    const int room = right - left;
    if (!shrinkToFit(label, QSize(room, unlimited))) {
        const QString whole = label->text();
        label->setToolTip(whole);
        label->setText(
            QFontMetrics(label->font()).elidedText(whole, Qt::ElideMiddle, room, drawFlags(label)));
    }
    const QSize size = needed(label, unlimited);
    const int x = std::max(left, std::min(at.x(), right - size.width()));
    label->setGeometry(QRect(QPoint(x, at.y()), size));
}

void placeBlock(QLabel *label, const QRect &area)
{
    shrinkToFit(label, area.size());
    const int height = std::min(area.height(), needed(label, area.width()).height());
    label->setGeometry(area.left(), area.top(), area.width(), height);
}

} // namespace TextFit

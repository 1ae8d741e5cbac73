// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/ProgramStyle.h"

#include "startup/ToolTips.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QStyleOption>
#include <QWidget>

namespace {
// The picture of the menu bar's overflow button, which only shows when the menus do not fit:
// two chevrons.
QIcon overflowIcon(const QColor &colour, Qt::LayoutDirection direction)
{
    QIcon icon;
    for (const int side : {16, 32}) {
        QPixmap picture(side, side);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(side / 16.0, side / 16.0);
        if (direction == Qt::RightToLeft) {
            painter.translate(16, 0);
            painter.scale(-1, 1);
        }
        painter.setPen(QPen(colour, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        for (const qreal left : {4.0, 8.5})
            painter.drawPolyline(QPolygonF{{left, 4.5}, {left + 3.5, 8.0}, {left, 11.5}});
        painter.end();
        icon.addPixmap(picture);
    }
    return icon;
}
} // namespace

QIcon ProgramStyle::standardIcon(StandardPixmap which, const QStyleOption *option,
                                 const QWidget *widget) const
{
    if (which == SP_ToolBarHorizontalExtensionButton) {
        const QPalette palette = widget != nullptr   ? widget->palette()
                                 : option != nullptr ? option->palette
                                                     : QGuiApplication::palette();
        return overflowIcon(palette.color(QPalette::ButtonText),
                            widget != nullptr ? widget->layoutDirection()
                                              : QGuiApplication::layoutDirection());
    }
    return QProxyStyle::standardIcon(which, option, widget);
}

void ProgramStyle::drawControl(ControlElement element, const QStyleOption *option,
                               QPainter *painter, const QWidget *widget) const
{
    // A menu bar holding the keyboard (after Alt alone, or Escape out of a menu) takes the keys
    // typed next. Some styles (Fusion among them) show its chosen title only while that title's
    // menu is open, so nothing would tell the user where the keys went: the chosen title is
    // drawn as an open one's is.
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (element == CE_MenuBarItem && item != nullptr && widget != nullptr && widget->hasFocus() &&
        item->state.testFlag(State_Selected) && !item->state.testFlag(State_Sunken)) {
        QStyleOptionMenuItem chosen(*item);
        chosen.state |= State_Sunken;
        QProxyStyle::drawControl(element, &chosen, painter, widget);
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

int ProgramStyle::styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                            QStyleHintReturn *returnData) const
{
    if (const std::optional<int> toolTipTiming = toolTipStyleHint(hint))
        return *toolTipTiming;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ToolTips.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOption>
#include <QTimer>
#include <QToolTip>
#include <QWidget>

namespace {
// Qt already waits before asking for a tooltip: wakeUpMs at first, and a fixed 20 ms when a
// tooltip was just shown. The follow-on wait is made up to followOnMs here.
constexpr int qtFollowOnMs = 20;

// The menu bar's overflow button, which only shows when the menus do not fit: two chevrons,
// drawn here. The common style reads its own pictures for it, offering each to every image
// plugin Qt has, as soon as a menu bar is made, long before anyone could see the button.
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

// The program's style: the platform's, with its own tooltip timing and overflow picture.
class ProgramStyle : public QProxyStyle
{
  public:
    QIcon standardIcon(StandardPixmap which, const QStyleOption *option,
                       const QWidget *widget) const override
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

    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay)
            return ToolTipTiming::wakeUpMs;
        if (hint == SH_ToolTip_FallAsleepDelay)
            return ToolTipTiming::displayMs;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

class ToolTipFilter : public QObject
{
  public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::ToolTip || !watched->isWidgetType())
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        if (widget->toolTip().isEmpty())
            return false;
        const QPoint where = static_cast<QHelpEvent *>(event)->globalPos();
        const bool followOn = QToolTip::isVisible();
        QPointer<QWidget> target(widget);
        auto show = [target, where] {
            if (target && target->isVisible() && target->underMouse())
                QToolTip::showText(where, target->toolTip(), target, {}, ToolTipTiming::displayMs);
        };
        if (followOn)
            QTimer::singleShot(ToolTipTiming::followOnMs - qtFollowOnMs, widget, show);
        else
            show();
        return true;
    }
};
} // namespace

void installToolTipTiming(QApplication &application)
{
    QApplication::setStyle(new ProgramStyle);
    application.installEventFilter(new ToolTipFilter(&application));
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/ToolTips.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QPointer>
#include <QTimer>
#include <QToolTip>
#include <QWidget>

namespace {
constexpr int wakeUpMs = 500;
constexpr int followOnMs = 50;
constexpr int displayMs = 2500;

// Qt already waits before asking for a tooltip: wakeUpMs at first, and a fixed 20 ms when a
// tooltip was just shown. The follow-on wait is made up to followOnMs here.
constexpr int qtFollowOnMs = 20;

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
                QToolTip::showText(where, target->toolTip(), target, {}, displayMs);
        };
        if (followOn)
            QTimer::singleShot(followOnMs - qtFollowOnMs, widget, show);
        else
            show();
        return true;
    }
};
} // namespace

std::optional<int> toolTipStyleHint(QStyle::StyleHint hint)
{
    if (hint == QStyle::SH_ToolTip_WakeUpDelay)
        return wakeUpMs;
    if (hint == QStyle::SH_ToolTip_FallAsleepDelay)
        return displayMs;
    return std::nullopt;
}

void installToolTipTiming(QApplication &application)
{
    application.installEventFilter(new ToolTipFilter(&application));
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/SoundActivity.h"

#include <QApplication>
#include <QEvent>
#include <QMenu>

namespace {
class SoundActivityFilter : public QObject
{
  public:
    SoundActivityFilter(std::function<void()> start, std::function<void()> wake, QObject *parent)
        : QObject(parent), m_start(std::move(start)), m_wake(std::move(wake))
    {}

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::Paint:
            if (m_start) {
                // Queued: it runs once this frame has been painted and shown.
                QMetaObject::invokeMethod(this, m_start, Qt::QueuedConnection);
                m_start = nullptr;
            }
            break;
        case QEvent::WindowActivate:
        case QEvent::Enter:
        case QEvent::KeyPress:
        case QEvent::ShortcutOverride:
        case QEvent::MouseButtonPress:
            m_wake();
            break;
        case QEvent::Show:
            if (qobject_cast<QMenu *>(watched) != nullptr)
                m_wake();
            break;
        default:
            break;
        }
        return false;
    }

  private:
    std::function<void()> m_start;
    std::function<void()> m_wake;
};
} // namespace

void followSoundActivity(QApplication &application, std::function<void()> start,
                         std::function<void()> wake)
{
    application.installEventFilter(
        new SoundActivityFilter(std::move(start), std::move(wake), &application));
}

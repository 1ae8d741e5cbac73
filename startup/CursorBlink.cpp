// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/CursorBlink.h"

#include <QApplication>
#include <QEvent>
#include <QStyleHints>
#include <QTimer>

namespace {
// Qt's text boxes follow the application's cursor flash time as it changes: 0 stops every
// blinking cursor and leaves it shown, the desktop's value starts it again.
class CursorBlinkFilter : public QObject
{
  public:
    CursorBlinkFilter(std::chrono::milliseconds timeout, QObject *parent) : QObject(parent)
    {
        m_idle.setSingleShot(true);
        m_idle.setInterval(timeout);
        connect(&m_idle, &QTimer::timeout, this, &CursorBlinkFilter::stopBlinking);
        m_idle.start();
    }

  protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::FocusIn:
        case QEvent::FocusOut:
        case QEvent::InputMethod:
            startBlinking();
            break;
        default:
            break;
        }
        return false;
    }

  private:
    void stopBlinking()
    {
        m_desktopFlashTime = QGuiApplication::styleHints()->cursorFlashTime();
        if (m_desktopFlashTime > 0)
            QGuiApplication::styleHints()->setCursorFlashTime(0);
    }

    void startBlinking()
    {
        if (!m_idle.isActive() && m_desktopFlashTime > 0)
            QGuiApplication::styleHints()->setCursorFlashTime(m_desktopFlashTime);
        m_idle.start();
    }

    QTimer m_idle;
    int m_desktopFlashTime = 0; // what the desktop said when the blinking was stopped
};
} // namespace

void stopCursorBlinkWhenIdle(QApplication &application, std::chrono::milliseconds timeout)
{
    application.installEventFilter(new CursorBlinkFilter(timeout, &application));
}

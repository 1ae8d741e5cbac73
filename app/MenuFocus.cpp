// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MenuFocus.h"

#include "app/TypedKey.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>

namespace {
// Whether `event` types a digit, by the program's keyboard rules (no Ctrl, no Alt).
bool typesDigit(const QKeyEvent &event)
{
    const TypedKey typed = typedKey(event);
    return typed.kind == TypedKey::Kind::Character && typed.character.size() == 1 &&
           typed.character.front() >= u'0' && typed.character.front() <= u'9';
}

// Whether one of `menu`'s items has `key`'s text as its underlined letter.
bool hasItemFor(const QMenu *menu, const QKeyEvent &event)
{
    const QKeySequence typed(QKeySequence::mnemonic(QLatin1Char('&') + event.text()));
    const QList<QAction *> items = menu->actions();
    for (const QAction *item : items) {
        if (item->isVisible() && item->isEnabled() && !typed.isEmpty() &&
            QKeySequence::mnemonic(item->text()) == typed)
            return true;
    }
    return false;
}

class MenuFocusKeeper : public QObject
{
  public:
    MenuFocusKeeper(QMenuBar *menuBar, std::function<QWidget *()> stateBox)
        : QObject(menuBar), m_menuBar(menuBar), m_stateBox(std::move(stateBox))
    {
        menuBar->installEventFilter(this);
        const QList<QMenu *> menus = menuBar->findChildren<QMenu *>();
        for (QMenu *menu : menus) {
            menu->installEventFilter(this);
            connect(menu, &QMenu::aboutToHide, this, &MenuFocusKeeper::checkSoon);
        }
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
            if (now != nullptr && now != m_menuBar && qobject_cast<QMenu *>(now) == nullptr &&
                now->window() == m_menuBar->window())
                m_last = now;
        });
    }

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress &&
            takeDigit(watched, *static_cast<QKeyEvent *>(event)))
            return true;
        if (watched != m_menuBar)
            return false;
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::FocusOut:
        case QEvent::MouseButtonRelease:
            checkSoon();
            break;
        default:
            break;
        }
        return false;
    }

  private:
    // A digit the menu bar (holding the keyboard) or an open menu would drop: the menus close
    // and the digit is typed into the state box instead.
    bool takeDigit(QObject *watched, const QKeyEvent &event)
    {
        if (!typesDigit(event))
            return false;
        if (watched == m_menuBar) {
            if (!m_menuBar->hasFocus() || QApplication::activePopupWidget() != nullptr)
                return false;
        } else if (hasItemFor(static_cast<QMenu *>(watched), event)) {
            return false;
        }
        QWidget *box = m_stateBox();
        if (box == nullptr || !box->isEnabled())
            return false;
        while (QWidget *popup = QApplication::activePopupWidget()) {
            if (!popup->close())
                break;
        }
        // Leaving the bar ends its keyboard mode.
        box->setFocus(Qt::MenuBarFocusReason);
        QKeyEvent typed(QEvent::KeyPress, event.key(), event.modifiers(), event.nativeScanCode(),
                        event.nativeVirtualKey(), event.nativeModifiers(), event.text(),
                        event.isAutoRepeat(), event.count());
        QApplication::sendEvent(box, &typed);
        return true;
    }

    // Once the menu bar has dealt with the event that left it.
    void checkSoon() { QTimer::singleShot(0, this, &MenuFocusKeeper::check); }

    void check()
    {
        QWidget *window = m_menuBar->window();
        if (!window->isActiveWindow() || QApplication::activePopupWidget() != nullptr)
            return;
        QWidget *focus = QApplication::focusWidget();
        // A highlighted title means the bar is still being walked with the keyboard.
        if ((focus != nullptr && focus != m_menuBar) || m_menuBar->activeAction() != nullptr)
            return;
        QWidget *target = m_last;
        if (target == nullptr || !target->isEnabled() || !target->isVisible())
            target = m_stateBox();
        if (target != nullptr)
            target->setFocus(Qt::MenuBarFocusReason);
    }

    QMenuBar *m_menuBar;
    std::function<QWidget *()> m_stateBox;
    QPointer<QWidget> m_last;
};
} // namespace

void keepFocusAcrossMenus(QMenuBar *menuBar, std::function<QWidget *()> stateBox)
{
    new MenuFocusKeeper(menuBar, std::move(stateBox));
}

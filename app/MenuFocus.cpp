// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MenuFocus.h"

#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>

namespace {
class MenuFocusKeeper : public QObject
{
  public:
    MenuFocusKeeper(QMenuBar *menuBar, std::function<QWidget *()> stateBox)
        : QObject(menuBar), m_menuBar(menuBar), m_stateBox(std::move(stateBox))
    {
        menuBar->installEventFilter(this);
        const QList<QMenu *> menus = menuBar->findChildren<QMenu *>();
        for (QMenu *menu : menus)
            connect(menu, &QMenu::aboutToHide, this, &MenuFocusKeeper::checkSoon);
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
            if (now != nullptr && now != m_menuBar && qobject_cast<QMenu *>(now) == nullptr &&
                now->window() == m_menuBar->window())
                m_last = now;
        });
    }

  protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
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

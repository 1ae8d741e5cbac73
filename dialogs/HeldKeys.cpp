// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/HeldKeys.h"

#include <QApplication>
#include <QHash>
#include <QKeyEvent>
#include <QSet>
#include <QWidget>

namespace {

// Watches the key events that reach the dialog and swallows every press of a held key. A press
// is a held key's when
//  - it is flagged as an automatic repeat; or
//  - it has the time of the last release of the same key: the X server repeats a held key as
//    a release and a press with one time stamp, and Qt flags only some of those pairs; or
//  - the dialog saw the same key go down and not come up since.
// A key already down when the dialog opened thus presses nothing until it is let go and
// pressed again: its first events in the dialog are such pairs (or, while the window it was
// pressed in has the keyboard, nothing at all). Releases pass: a button only clicks on the
// release of a Space that pressed it, and a held Space never does.
class HeldKeyFilter : public QObject
{
  public:
    explicit HeldKeyFilter(QWidget *dialog) : QObject(dialog), m_dialog(dialog)
    {
        // Key events go to the focused button, not to the dialog: watch them all.
        qApp->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject *receiver, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::KeyPress && type != QEvent::KeyRelease &&
            type != QEvent::ShortcutOverride)
            return false;
        // A key event goes to the focused widget first, then up to its parents when that one
        // leaves it: judging it at its first stop judges it once.
        QWidget *focus = m_dialog->focusWidget();
        if (receiver != (focus ? focus : m_dialog))
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        const quint64 id = key->nativeScanCode() ? (quint64(1) << 32) | key->nativeScanCode()
                                                 : quint64(uint(key->key()));
        const ulong time = key->timestamp();
        if (type == QEvent::KeyRelease) {
            m_down.remove(id);
            m_releasedAt.insert(id, time);
            return false;
        }
        const bool held = key->isAutoRepeat() || m_down.contains(id) ||
                          (time != 0 && m_releasedAt.value(id) == time);
        if (type == QEvent::ShortcutOverride) {
            // Taken here, a held key fires no shortcut (a button's Alt+letter).
            if (held)
                event->accept();
            return held;
        }
        m_down.insert(id);
        return held;
    }

  private:
    QWidget *m_dialog;
    QSet<quint64> m_down;               // keys pressed in the dialog and not released since
    QHash<quint64, ulong> m_releasedAt; // the time of each key's last release
};

} // namespace

void ignoreHeldKeys(QWidget *dialog)
{
    new HeldKeyFilter(dialog);
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/EditMenu.h"

#include <QLineEdit>
#include <QMenu>
#include <array>

namespace {
// Each item Qt's menu has, known by the object name newer Qt versions give it or else by
// Qt's own caption (in whatever language Qt speaks), and the caption shown for it.
struct Caption
{
    QLatin1StringView item;
    const char *qtCaption;
    const char *text;
};

constexpr std::array captions{
    Caption{QLatin1StringView("edit-undo"), "&Undo", "Urungkan"},
    Caption{QLatin1StringView("edit-cut"), "Cu&t", "Potong"},
    Caption{QLatin1StringView("edit-copy"), "&Copy", "Salin"},
    Caption{QLatin1StringView("edit-paste"), "&Paste", "Tempel"},
    Caption{QLatin1StringView("delete"), "Delete", "Hapus"},
    Caption{QLatin1StringView("select-all"), "Select All", "Pilih Semua"},
};

const char *captionFor(const QAction *action)
{
    // Qt's caption, without the shortcut it shows after a tab.
    const QString qtCaption = action->text().section(u'\t', 0, 0);
    for (const Caption &caption : captions) {
        if (action->objectName() == caption.item || qtCaption == QLineEdit::tr(caption.qtCaption))
            return caption.text;
    }
    return nullptr;
}

// Separators only between items: none first, last or twice in a row.
void tidySeparators(QMenu *menu)
{
    QAction *lastSeparator = nullptr;
    bool itemSince = false;
    const QList<QAction *> actions = menu->actions();
    for (QAction *action : actions) {
        if (!action->isSeparator()) {
            itemSince = true;
        } else if (!itemSince) {
            menu->removeAction(action);
        } else {
            lastSeparator = action;
            itemSince = false;
        }
    }
    if (lastSeparator && !itemSince)
        menu->removeAction(lastSeparator);
}
} // namespace

QMenu *createEditMenu(QLineEdit *edit)
{
    QMenu *menu = edit->createStandardContextMenu();
    const QList<QAction *> actions = menu->actions();
    for (QAction *action : actions) {
        if (action->isSeparator())
            continue;
        if (const char *text = captionFor(action))
            action->setText(QString::fromUtf8(text));
        else
            menu->removeAction(action); // Redo, and whatever else Qt adds
    }
    tidySeparators(menu);
    // A window of its own: in the face of the box's window, not in the system's menu face.
    menu->setFont(edit->window()->font());
    return menu;
}

void useEditMenu(QLineEdit *edit)
{
    edit->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(edit, &QWidget::customContextMenuRequested, edit, [edit](const QPoint &at) {
        QMenu *menu = createEditMenu(edit);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(edit->mapToGlobal(at));
    });
}

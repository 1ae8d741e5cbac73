// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/WindowLook.h"

#include "widgets/Png.h"

#include <QColor>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

namespace WindowLook {

namespace {
constexpr Qt::WindowFlags fixedDialogFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
} // namespace

QFont makeFont(QStringView family, qreal points, bool bold)
{
    QFont font(family.toString());
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QIcon programIcon()
{
    return QIcon(QPixmap::fromImage(loadPng(QStringLiteral(":/images/icon32.png"))));
}

int captionWidth(const QWidget *window)
{
    QFont bold = window->font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    return metrics.horizontalAdvance(window->windowTitle()) * 3 / 2 + 4 * 2 * metrics.height();
}

void makeFixedDialog(QWidget *dialog, QSize size)
{
    dialog->setWindowFlags(fixedDialogFlags);
    dialog->setFixedSize(size);
}

void setColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette palette = widget->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, role, colour);
    widget->setPalette(palette);
}

void setTextColour(QWidget *widget, const QColor &colour)
{
    setColour(widget, QPalette::WindowText, colour);
    setColour(widget, QPalette::Text, colour);
}

void centreOnScreen(QWidget *window)
{
    // A dialog goes to the middle of its owner's screen.
    const QWidget *anchor = window->parentWidget() != nullptr ? window->parentWidget() : window;
    const QScreen *where =
        anchor->screen() != nullptr ? anchor->screen() : QGuiApplication::primaryScreen();
    if (where == nullptr)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(where->availableGeometry().center());
    window->move(frame.topLeft());
}

} // namespace WindowLook

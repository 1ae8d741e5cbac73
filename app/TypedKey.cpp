// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TypedKey.h"

#include <QKeyEvent>

namespace {
TypedKey control(char16_t code)
{
    return {TypedKey::Kind::Character, QString(QChar(code))};
}

// The control character Ctrl gives a key, or Nothing. The X server's own texts for Ctrl keys
// differ (Ctrl+3 is Escape there, Ctrl+1 is "1"), so the key decides, not its text.
TypedKey withControl(const QKeyEvent &event)
{
    const int key = event.key();
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return control(char16_t(key - Qt::Key_A + 1));
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return control(10);
    case Qt::Key_Backspace:
        return control(127);
    case Qt::Key_Escape:
    case Qt::Key_BracketLeft:
        return control(27);
    case Qt::Key_Backslash:
        return control(28);
    case Qt::Key_BracketRight:
        return control(29);
    case Qt::Key_AsciiCircum:
        return control(30);
    case Qt::Key_Underscore:
        return control(31);
    case Qt::Key_Space:
        return control(u' ');
    default:
        break;
    }
    // Ctrl with an editing key (Home, arrows, Insert) is still the box's to handle.
    return {event.text().isEmpty() ? TypedKey::Kind::Editing : TypedKey::Kind::Nothing, {}};
}
} // namespace

TypedKey typedKey(const QKeyEvent &event)
{
    switch (event.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete: // its text is U+007F, but Delete types no character
        return {};
    default:
        break;
    }
    if (event.modifiers().testFlag(Qt::AltModifier))
        return {TypedKey::Kind::Nothing, {}};
    if (event.modifiers().testFlag(Qt::ControlModifier))
        return withControl(event);
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return control(13);
    case Qt::Key_Escape:
        return control(27);
    case Qt::Key_Backspace:
        return control(8);
    default:
        break;
    }
    if (event.text().isEmpty())
        return {};
    return {TypedKey::Kind::Character, event.text()};
}

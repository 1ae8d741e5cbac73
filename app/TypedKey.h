// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QKeyEvent;

// What a key press types, by the keyboard rules the program keeps: the key's own character,
// Enter 13, Escape 27, Backspace 8; with Ctrl the control characters of a US keyboard (Ctrl+A
// to Ctrl+Z are 1 to 26, Ctrl+[ 27, Ctrl+\ 28, Ctrl+] 29, Ctrl+Shift+6 30, Ctrl+Shift+- 31,
// Ctrl+Enter 10, Ctrl+Backspace 127, Ctrl+Space a space) and nothing for any other key (Ctrl
// with a digit among them); with Alt nothing at all.
// AltGr is no Alt: what it types is an ordinary character.
struct TypedKey
{
    enum class Kind
    {
        Editing,  // no character: an editing, moving or function key, Delete among them; the
                  // box or the window handles it as usual
        Nothing,  // no character, and the box must not act on the key either
        Character // `character`, one whole character (or the key's text as given)
    };
    Kind kind = Kind::Editing;
    QString character;
};

TypedKey typedKey(const QKeyEvent &event);

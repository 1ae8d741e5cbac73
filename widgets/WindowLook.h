// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QPalette>
#include <QSize>
#include <QString>
#include <QStringView>
#include <Qt>

class QColor;
class QIcon;
class QWidget;

// The look the program's windows share: its title, the faces it writes with, and how a
// window is coloured and placed.
namespace WindowLook {

// The program's title: the main window's caption, and the caption of its messages.
inline constexpr QStringView ProgramTitle = u"Numbelo 2000";

// Free look-alikes, from Debian's font packages, of the faces the windows were drawn with.
// A family that comes in several files may name its foundry in brackets, "Family [foundry]":
// fonts-urw-base35 installs URW Bookman as OpenType (foundry UKWN) and twice as Type 1
// (foundry urw), and left to choose, Qt opens a Type 1 file, which takes longer to load.
// Where that foundry is not installed, Qt takes the family from another.
inline constexpr QStringView UiFace = u"Liberation Sans";         // every window's text
inline constexpr QStringView StampFace = u"URW Bookman [UKWN]";   // the red "?"
inline constexpr QStringView TechnicalFace = u"DejaVu Sans Mono"; // the typed answer
inline constexpr QStringView TitleFace = u"Comic Neue";           // the about box's name
inline constexpr qreal UiPoints = 8;

QFont makeFont(QStringView family, qreal points, bool bold = false);

// The program's icon, shown on the title bar and the task-bar button of every window of it.
QIcon programIcon();

// Makes `dialog` a fixed dialog of `size`, as the platform's own fixed dialogs are: a title bar
// with the system menu and a close button only (no minimise, no maximise), and no resizing.
// Every dialog of the program is one.
void makeFixedDialog(QWidget *dialog, QSize size);

// The width a title bar needs to show `window`'s caption in full: some window managers (openbox
// among them) put their icon and minimise and maximise buttons on every dialog, whatever it
// asks for, and write captions in a face wider than the program's. The caption in bold, and
// room for four such boxes of about two lines' height each beside it.
int captionWidth(const QWidget *window);

// Gives one colour role of the widget's palette `colour` in every state (a disabled answer box
// keeps its colours).
void setColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour);

// Colours the widget's text (a label's, an edit box's), in every state.
void setTextColour(QWidget *widget, const QColor &colour);

// Moves a top-level window, frame included, to the middle of its screen's free area (a
// dialog: of its owner's screen).
void centreOnScreen(QWidget *window);

} // namespace WindowLook

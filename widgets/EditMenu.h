// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QLineEdit;
class QMenu;

// The context menu of an edit box as an Indonesian desktop shows it:
//
//   Urungkan | Potong, Salin, Tempel, Hapus | Pilih Semua
//
// The items are Qt's own, renamed, so what each does and when it is enabled stay Qt's (a
// paste obeys the box's length limit and passes no key filter). Redo, which a classic edit
// box's menu does not have, is left out; a read-only box offers only Salin and Pilih Semua.
QMenu *createEditMenu(QLineEdit *edit);

// Shows createEditMenu()'s menu, instead of Qt's, when the box is right-clicked or its menu
// key is pressed. The menu is deleted when it closes.
void useEditMenu(QLineEdit *edit);

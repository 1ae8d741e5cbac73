// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QApplication;

// The application-wide settings the program starts with: its title, its font, the timing of
// tooltips and the decimal separator that follows the system's locale.
void prepareApplication(QApplication &application);

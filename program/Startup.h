// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QApplication;

// The application-wide settings the program starts with: its title, its font, its style and
// the timing of tooltips.
void prepareApplication(QApplication &application);

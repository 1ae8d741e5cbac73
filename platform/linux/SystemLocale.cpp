// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/portable/SystemLocale.h"

#include <QLocale>

QString systemDecimalPoint()
{
    // Qt reads the locale of the environment (LC_ALL, LC_NUMERIC, LANG) the program started
    // with, which is how a Linux desktop hands its regional settings to a program.
    return QLocale::system().decimalPoint();
}

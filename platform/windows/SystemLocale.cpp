// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/portable/SystemLocale.h"

#include <windows.h>

QString systemDecimalPoint()
{
    // The user's regional format as it is now, with the user's own changes to it. Qt's system
    // locale keeps the locale it met first and is not told when the user picks another format
    // (Qt 6.4 does nothing with WM_SETTINGCHANGE for the locale), so Windows is asked itself.
    wchar_t point[LOCALE_NAME_MAX_LENGTH] = {};
    const int length =
        GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, point, LOCALE_NAME_MAX_LENGTH);
    return length > 1 ? QString::fromWCharArray(point, length - 1) : QString();
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The decimal separator of the user's regional settings as they are now, possibly empty. Read
// afresh at every call, so that a setting changed while the program runs counts from the next
// call on.
QString systemDecimalPoint();

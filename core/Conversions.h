// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChar>
#include <QString>
#include <cstdint>

// The two text conversions of the program: the child's typed answer to a whole number, and
// numbers to the texts of the lesson report. No widgets here.

// Converts a typed whole number. Accepted: leading spaces (the space character only), an
// optional '+' or '-', then either decimal digits up to 2147483647 in size, or, without a
// sign, '$' and hexadecimal digits within 32 bits ("$FFFFFFFF" is -1). Nothing may follow
// the digits. Anything else throws EConvertError "'<text>' is not a valid integer value".
// As the program always did, "-2147483648" is refused too.
std::int32_t StrToInt(const QString &text);

// Formats `value` with the pattern "#.##": rounded half up to two decimals, integer digits
// without leading zeros, the fraction without trailing zeros, no zero forced on either side
// (0 gives "", 0.5 gives ".5", 100 gives "100"). Values of 1e18 and more in size are
// written in exponent form ("1.5E+20"); NaN and infinities as "NAN", "INF", "-INF".
QString FormatFloat(long double value, QChar decimalSeparator);

// The integer in decimal, with a minus sign when negative ("%d").
QString FormatInt(std::int32_t value);

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Conversions.h"

#include "core/Errors.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {

[[noreturn]] void notAnInteger(const QString &text)
{
    throw EConvertError(u'\'' + text + QStringLiteral("' is not a valid integer value"));
}

int hexDigitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

constexpr std::uint64_t largestMagnitude = 2147483647u;
constexpr std::uint64_t largestHex = 0xFFFFFFFFu;

// 18 significant digits are what an 80-bit extended value holds reliably; rounding to
// them first keeps values such as 1.005 (stored a hair below) rounding the way they read.
constexpr int significantDigits = 18;

// A finite value as its leading significant digits and the power of ten of the first one.
struct DecimalDigits
{
    bool negative = false;
    std::string digits; // no leading zero unless the value is zero
    int exponent = 0;   // digits[0] stands for digits[0] × 10^exponent
};

DecimalDigits toDecimalDigits(long double value)
{
    // to_chars writes the same digits under every locale: the C library's printf family would
    // write the locale's decimal comma, which then reads as a digit.
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value,
                                       std::chars_format::scientific, significantDigits - 1);
    // The form is [-]d.ddddde±x…
    DecimalDigits result;
    const char *p = buffer;
    if (*p == '-') {
        result.negative = true;
        ++p;
    }
    for (; p != written.ptr && *p != 'e'; ++p) {
        if (*p != '.')
            result.digits.push_back(*p);
    }
    if (p != written.ptr) {
        const char *exponent = p + 1;
        if (*exponent == '+')
            ++exponent; // from_chars takes a minus sign only
        std::from_chars(exponent, written.ptr, result.exponent);
    }
    return result;
}

QString exponentForm(const DecimalDigits &d, QChar separator)
{
    std::string digits = d.digits;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    QString text;
    if (d.negative)
        text += u'-';
    text += QChar(char16_t(digits[0]));
    if (digits.size() > 1) {
        text += separator;
        text += QString::fromLatin1(digits.data() + 1, qsizetype(digits.size() - 1));
    }
    text += QStringLiteral("E+") + QString::number(d.exponent);
    return text;
}

} // namespace

std::int32_t StrToInt(const QString &text)
{
    const qsizetype length = text.size();
    qsizetype i = 0;
    while (i < length && text.at(i) == u' ')
        ++i;

    bool negative = false;
    bool signGiven = false;
    if (i < length && (text.at(i) == u'-' || text.at(i) == u'+')) {
        negative = text.at(i) == u'-';
        signGiven = true;
        ++i;
    }

    if (!signGiven && i < length && text.at(i) == u'$') {
        ++i;
        if (i == length)
            notAnInteger(text);
        std::uint64_t value = 0;
        for (; i < length; ++i) {
            const int digit = hexDigitValue(text.at(i).unicode());
            if (digit < 0)
                notAnInteger(text);
            value = value * 16 + std::uint64_t(digit);
            if (value > largestHex)
                notAnInteger(text);
        }
        // Eight hex digits are the 32 bits as they are: "$FFFFFFFF" is -1.
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    }

    if (i == length)
        notAnInteger(text);
    std::uint64_t magnitude = 0;
    for (; i < length; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            notAnInteger(text);
        magnitude = magnitude * 10 + std::uint64_t(c - u'0');
        if (magnitude > largestMagnitude)
            notAnInteger(text);
    }
    const auto value = static_cast<std::int32_t>(magnitude);
    return negative ? -value : value;
}

QString FormatFloat(long double value, QChar decimalSeparator)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");

    DecimalDigits d = toDecimalDigits(value);
    if (d.exponent >= significantDigits)
        return exponentForm(d, decimalSeparator);

    // Keep the digits down to hundredths and round half up on the first one dropped.
    const int keep = d.exponent + 3;
    if (keep < 0)
        return QString();
    if (keep < significantDigits) {
        const bool roundUp = d.digits[std::size_t(keep)] >= '5';
        d.digits.resize(std::size_t(keep));
        if (roundUp) {
            int k = keep - 1;
            for (; k >= 0 && d.digits[std::size_t(k)] == '9'; --k)
                d.digits[std::size_t(k)] = '0';
            if (k >= 0) {
                ++d.digits[std::size_t(k)];
            } else {
                d.digits.insert(d.digits.begin(), '1');
                ++d.exponent;
            }
        }
    }

    // The digit standing for 10^power, zero outside the kept digits.
    const auto digitAt = [&d](int power) {
        const int index = d.exponent - power;
        if (index < 0 || index >= int(d.digits.size()))
            return '0';
        return d.digits[std::size_t(index)];
    };

    QString integerPart;
    for (int power = d.exponent; power >= 0; --power) {
        const char digit = digitAt(power);
        if (integerPart.isEmpty() && digit == '0')
            continue;
        integerPart += QChar(char16_t(digit));
    }
    QString fraction;
    fraction += QChar(char16_t(digitAt(-1)));
    fraction += QChar(char16_t(digitAt(-2)));
    while (!fraction.isEmpty() && fraction.back() == u'0')
        fraction.chop(1);

    if (integerPart.isEmpty() && fraction.isEmpty())
        return QString();
    QString text;
    if (d.negative)
        text += u'-';
    text += integerPart;
    if (!fraction.isEmpty())
        text += decimalSeparator + fraction;
    return text;
}

QString FormatInt(std::int32_t value)
{
    return QString::number(value);
}

// SPDX-License-Identifier: GPL-3.0-or-later
// The typed answer's conversion against a reference written from its documented rules: any
// text must either give the reference's number or throw the conversion error naming the
// text, and nothing else may happen.
#include "core/Conversions.h"
#include "core/Errors.h"

#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

int hexValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// Spaces; then a sign and decimal digits up to 2147483647 in size (so -2147483648 is refused),
// or '$' and hexadecimal digits within 32 bits. Nothing after the digits.
std::optional<std::int32_t> reference(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == u' ')
        ++i;
    if (i < text.size() && text.at(i) == u'$') {
        ++i;
        if (i == text.size())
            return std::nullopt;
        std::uint64_t value = 0;
        for (; i < text.size(); ++i) {
            const int digit = hexValue(text.at(i).unicode());
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + std::uint64_t(digit);
            if (value > 0xFFFFFFFFu)
                return std::nullopt;
        }
        return std::int32_t(std::uint32_t(value));
    }
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
        if (value > 2147483647)
            return std::nullopt;
    }
    return std::int32_t(negative ? -value : value);
}

[[noreturn]] void mismatch(const QString &text, const char *what)
{
    std::fprintf(stderr, "StrToInt(\"%s\"): %s\n", text.toUtf8().constData(), what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<std::int32_t> expected = reference(text);
    try {
        const std::int32_t got = StrToInt(text);
        if (!expected || *expected != got)
            mismatch(text, "a number the reference does not give");
    } catch (const EConvertError &error) {
        if (expected)
            mismatch(text, "refused a number the reference accepts");
        if (error.message() != QStringLiteral("'%1' is not a valid integer value").arg(text))
            mismatch(text, "the error does not name the text");
    }
    return 0;
}

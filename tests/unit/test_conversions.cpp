// SPDX-License-Identifier: GPL-3.0-or-later
// The typed-answer conversion and the number formats of the report.
#include "core/Conversions.h"
#include "core/Errors.h"
#include "tests/support/LocaleInForce.h"

#include <QRandomGenerator>
#include <QTest>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

class TestConversions : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase() { verifyLocaleInForce(); }
    void acceptsWholeNumbers_data();
    void acceptsWholeNumbers();
    void refusesOtherTexts_data();
    void refusesOtherTexts();
    void formatsMarks_data();
    void formatsMarks();
    void formatsOddValues_data();
    void formatsOddValues();
    void roundTripsEveryKindOfNumber();
    void survivesArbitraryTexts();
    void formattedValuesReadBackWithinRounding();
    void formatsIntegers_data();
    void formatsIntegers();
};

void TestConversions::acceptsWholeNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");

    QTest::newRow("digit") << u"7"_qs << 7;
    QTest::newRow("zero") << u"0"_qs << 0;
    QTest::newRow("minus zero") << u"-0"_qs << 0;
    QTest::newRow("leading spaces") << u"  12"_qs << 12;
    QTest::newRow("leading zeros") << u"0012"_qs << 12;
    QTest::newRow("many leading zeros") << u"000000000000000000000042"_qs << 42;
    QTest::newRow("plus") << u"+5"_qs << 5;
    QTest::newRow("minus") << u"-5"_qs << -5;
    QTest::newRow("spaces then sign") << u"   -81"_qs << -81;
    QTest::newRow("largest") << u"2147483647"_qs << 2147483647;
    QTest::newRow("smallest allowed") << u"-2147483647"_qs << -2147483647;
    QTest::newRow("hex lower") << u"$ff"_qs << 255;
    QTest::newRow("hex upper") << u"$FF"_qs << 255;
    QTest::newRow("hex after spaces") << u"  $10"_qs << 16;
    QTest::newRow("hex largest positive") << u"$7FFFFFFF"_qs << 2147483647;
    QTest::newRow("hex sign bit") << u"$80000000"_qs << std::numeric_limits<int>::min();
    QTest::newRow("hex all ones") << u"$FFFFFFFF"_qs << -1;
    QTest::newRow("hex leading zeros") << u"$000000000001"_qs << 1;
}

void TestConversions::acceptsWholeNumbers()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(StrToInt(text), value);
}

void TestConversions::refusesOtherTexts_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << QString();
    QTest::newRow("blank") << u" "_qs;
    QTest::newRow("sign only") << u"-"_qs;
    QTest::newRow("trailing blank") << u"12 "_qs;
    QTest::newRow("tab before") << u"\t12"_qs;
    QTest::newRow("blank after sign") << u"- 5"_qs;
    QTest::newRow("double sign") << u"--5"_qs;
    QTest::newRow("plus minus") << u"+-5"_qs;
    QTest::newRow("sign before hex") << u"+$10"_qs;
    QTest::newRow("minus before hex") << u"-$10"_qs;
    QTest::newRow("hex without digits") << u"$"_qs;
    QTest::newRow("hex bad digit") << u"$fg"_qs;
    QTest::newRow("hex trailing blank") << u"$10 "_qs;
    QTest::newRow("hex over 32 bits") << u"$100000000"_qs;
    QTest::newRow("hex far over") << u"$FFFFFFFFFFFFFFFFFFFFFFFF"_qs;
    QTest::newRow("above largest") << u"2147483648"_qs;
    QTest::newRow("smallest 32-bit") << u"-2147483648"_qs;
    QTest::newRow("far above") << u"99999999999999999999999999"_qs;
    QTest::newRow("wraps to small in 64 bits") << u"18446744073709551617"_qs;
    QTest::newRow("exponent") << u"1e3"_qs;
    QTest::newRow("decimal point") << u"1.5"_qs;
    QTest::newRow("thousands separator") << u"1,000"_qs;
    QTest::newRow("letters") << u"abc"_qs;
    QTest::newRow("quotes and percent signs") << u"'%1%s'"_qs;
    QTest::newRow("full-width digits") << u"\uFF11\uFF12"_qs;
    QTest::newRow("arabic-indic digit") << u"\u0663"_qs;
    QTest::newRow("superscript two") << u"\u00B2"_qs;
    QTest::newRow("no-break space") << u"\u00A012"_qs;
    QTest::newRow("embedded NUL") << QString::fromUtf16(u"1\0002", 3);
    QTest::newRow("newline after") << u"12\n"_qs;
}

void TestConversions::refusesOtherTexts()
{
    QFETCH(QString, text);
    try {
        StrToInt(text);
        QFAIL("converted");
    } catch (const EConvertError &error) {
        // The whole text as typed, blanks and all.
        QCOMPARE(error.message(), u'\'' + text + u"' is not a valid integer value"_qs);
        // what() is a C string: the same message, up to a NUL if the text has one.
        QVERIFY(error.message().startsWith(QString::fromUtf8(error.what())));
    }
}

void TestConversions::formatsMarks_data()
{
    QTest::addColumn<int>("score");
    QTest::addColumn<QString>("text");

    // Each lesson mark score × 100 / 11, with the separator written as '.'.
    const char *const marks[] = {"",      "9.09",  "18.18", "27.27", "36.36", "45.45",
                                 "54.55", "63.64", "72.73", "81.82", "90.91", "100"};
    for (int score = 0; score <= 11; ++score)
        QTest::addRow("%d right", score) << score << QString::fromLatin1(marks[score]);
}

void TestConversions::formatsMarks()
{
    QFETCH(int, score);
    QFETCH(QString, text);
    // The mark as the report works it out: score × (1/11) × 100 in extended precision.
    const long double mark = score * 0.0909090909090909090909L * 100.0f;
    QCOMPARE(FormatFloat(mark, u'.'), text);
    QCOMPARE(FormatFloat(mark, u','), QString(text).replace(u'.', u','));
}

void TestConversions::formatsOddValues_data()
{
    // Values as written in source, read as the nearest extended value.
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("zero") << QByteArray("0.0") << QString();
    QTest::newRow("minus zero") << QByteArray("-0.0") << QString();
    QTest::newRow("half") << QByteArray("0.5") << u".5"_qs;
    QTest::newRow("hundred") << QByteArray("100.0") << u"100"_qs;
    QTest::newRow("ten") << QByteArray("10.0") << u"10"_qs;
    QTest::newRow("trailing zero dropped") << QByteArray("2.50") << u"2.5"_qs;
    QTest::newRow("one hundredth") << QByteArray("0.01") << u".01"_qs;
    QTest::newRow("rounds up to a hundredth") << QByteArray("0.005") << u".01"_qs;
    QTest::newRow("rounds away") << QByteArray("0.0049") << QString();
    QTest::newRow("tiny") << QByteArray("1e-300") << QString();
    QTest::newRow("half rounds up, not to even") << QByteArray("0.125") << u".13"_qs;
    QTest::newRow("reads as 1.005") << QByteArray("1.005") << u"1.01"_qs;
    QTest::newRow("carry into integer") << QByteArray("9.995") << u"10"_qs;
    QTest::newRow("carry through nines") << QByteArray("999.999") << u"1000"_qs;
    QTest::newRow("negative") << QByteArray("-54.5454") << u"-54.55"_qs;
    QTest::newRow("negative half") << QByteArray("-0.5") << u"-.5"_qs;
    QTest::newRow("negative rounds to nothing") << QByteArray("-0.001") << QString();
    QTest::newRow("large") << QByteArray("123456789012.345") << u"123456789012.35"_qs;
    QTest::newRow("just below 1e18")
        << QByteArray("999999999999999872.0") << u"999999999999999872"_qs;
    QTest::newRow("1e18 in exponent form") << QByteArray("1e18") << u"1E+18"_qs;
    QTest::newRow("huge") << QByteArray("1.5e20") << u"1.5E+20"_qs;
    QTest::newRow("huge negative") << QByteArray("-0x1p100") << u"-1.2676506002282294E+30"_qs;
    QTest::newRow("infinite") << QByteArray("inf") << u"INF"_qs;
    QTest::newRow("minus infinite") << QByteArray("-inf") << u"-INF"_qs;
    QTest::newRow("not a number") << QByteArray("nan") << u"NAN"_qs;
}

namespace {
// The extended value nearest to a decimal number "ddd.ddde±x": its digits as a whole number,
// scaled by a power of ten. For the numbers of the table both are exact, so the one
// multiplication or division rounds once, as a correct reading does. (libstdc++ reads a long
// double with from_chars only to a double's precision where the C library cannot read in the
// C locale alone, as with mingw-w64: "1.005" would read as 1.00499999999999989...)
long double nearestExtended(const QByteArray &text)
{
    const qsizetype e = text.indexOf('e');
    const QByteArray mantissa = e < 0 ? text : text.left(e);
    int exponent = e < 0 ? 0 : text.mid(e + 1).toInt();
    const qsizetype point = mantissa.indexOf('.');
    if (point >= 0)
        exponent -= int(mantissa.size() - point - 1);
    long double whole = 0;
    for (const char c : mantissa) {
        if (c != '.')
            whole = whole * 10 + (c - '0');
    }
    long double scale = 1;
    for (int i = 0; i < std::abs(exponent); ++i)
        scale *= 10;
    return exponent < 0 ? whole / scale : whole * scale;
}
} // namespace

void TestConversions::formatsOddValues()
{
    QFETCH(QByteArray, value);
    QFETCH(QString, text);
    // Read the C way under every locale; "0x" marks hexadecimal digits.
    const bool negative = value.startsWith('-');
    const QByteArray digits = value.mid(negative ? 1 : 0);
    const bool hex = digits.startsWith("0x");
    long double read = 0;
    const QByteArray body = hex ? digits.mid(2) : digits;
    if (hex || !std::isdigit(static_cast<unsigned char>(body.front())))
        std::from_chars(body.begin(), body.end(), read,
                        hex ? std::chars_format::hex : std::chars_format::general);
    else
        read = nearestExtended(body);
    QCOMPARE(FormatFloat(negative ? -read : read, u'.'), text);
}

void TestConversions::roundTripsEveryKindOfNumber()
{
    QRandomGenerator random(20001);
    for (int i = 0; i < 20000; ++i) {
        const std::uint32_t bits = random.generate();
        const auto value = static_cast<std::int32_t>(bits);
        const QString hex = u'$' + QString::number(bits, 16);
        QCOMPARE(StrToInt(hex), value);
        QCOMPARE(StrToInt(hex.toUpper()), value);
        if (value != std::numeric_limits<std::int32_t>::min()) {
            QCOMPARE(StrToInt(FormatInt(value)), value);
            QCOMPARE(StrToInt(u"   "_qs + FormatInt(value)), value);
        }
    }
}

void TestConversions::survivesArbitraryTexts()
{
    // Texts built from the characters the rules care about: every one either converts or
    // is refused with EConvertError (the sanitizer build also checks for overflow).
    const QString alphabet = u" +-$0123456789aAfFgx\t\u0661"_qs;
    QRandomGenerator random(2000);
    int converted = 0;
    for (int i = 0; i < 50000; ++i) {
        QString text;
        const int length = random.bounded(14);
        for (int k = 0; k < length; ++k)
            text += alphabet.at(random.bounded(int(alphabet.size())));
        try {
            const std::int32_t value = StrToInt(text);
            ++converted;
            // Whatever converts reads back the same once signs and blanks are dealt with.
            if (!text.contains(u'$'))
                QCOMPARE(qint64(value), text.trimmed().toLongLong());
        } catch (const EConvertError &error) {
            QVERIFY(error.message().contains(text));
        }
    }
    QVERIFY(converted > 100);
}

void TestConversions::formattedValuesReadBackWithinRounding()
{
    QRandomGenerator random(11);
    for (int i = 0; i < 20000; ++i) {
        const long double value = (random.generateDouble() - 0.5) * 2e6;
        const QString text = FormatFloat(value, u',');
        QVERIFY(!text.contains(u'.'));
        QVERIFY(text.section(u',', 1).size() <= 2);
        const long double back =
            text.isEmpty() ? 0.0L : QString(text).replace(u',', u'.').toDouble();
        QVERIFY2(std::fabs(static_cast<double>(back - value)) <= 0.005 + 1e-9, qPrintable(text));
    }
}

void TestConversions::formatsIntegers_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0 << u"0"_qs;
    QTest::newRow("positive") << 11 << u"11"_qs;
    QTest::newRow("negative") << -3 << u"-3"_qs;
    QTest::newRow("largest") << std::numeric_limits<int>::max() << u"2147483647"_qs;
    QTest::newRow("smallest") << std::numeric_limits<int>::min() << u"-2147483648"_qs;
}

void TestConversions::formatsIntegers()
{
    QFETCH(int, value);
    QFETCH(QString, text);
    QCOMPARE(FormatInt(value), text);
}

QTEST_GUILESS_MAIN(TestConversions)
#include "test_conversions.moc"

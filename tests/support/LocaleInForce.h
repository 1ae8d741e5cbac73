// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Tests that run under a named locale check here that the C library really uses it: a locale
// that was never generated is silently "C" for the C library, while Qt reads its name and
// believes it. ctest names the decimal point the run must find in NUMBELO_EXPECT_DECIMAL_POINT
// (the default "." is the pinned C.UTF-8).
//
// On Windows the locale is the user's regional format, which Wine takes from the same variables;
// the C library there keeps to "C" whatever the locale, as Qt leaves it alone.
#include <QLocale>
#include <QTest>
#include <clocale>

inline void verifyLocaleInForce()
{
    const QByteArray expected =
        qEnvironmentVariable("NUMBELO_EXPECT_DECIMAL_POINT", u"."_qs).toUtf8();
#ifndef Q_OS_WIN
    const QByteArray inForce(std::localeconv()->decimal_point);
    QVERIFY2(inForce == expected,
             qPrintable(QStringLiteral("the C library's locale is %1, decimal point '%2'")
                            .arg(QLatin1String(std::setlocale(LC_NUMERIC, nullptr)),
                                 QString::fromUtf8(inForce))));
#endif
    QCOMPARE(QLocale::system().decimalPoint().toUtf8(), expected);
}

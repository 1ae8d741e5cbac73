// SPDX-License-Identifier: GPL-3.0-or-later
// What the end of a lesson reports: the mark, the whistle and the five report lines.
#include "core/Report.h"
#include "tests/support/LocaleInForce.h"

#include <QTest>
#include <cmath>

class TestReport : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase() { verifyLocaleInForce(); }
    void reportLines_data();
    void reportLines();
    void nameIsTrimmed_data();
    void nameIsTrimmed();
    void whistle_data();
    void whistle();
    void topMarkIsExactlyHundred();
    void markUsesTheGivenSeparator();
};

void TestReport::reportLines_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("score");
    QTest::addColumn<QString>("report");

    QTest::newRow("all right") << u"Budi"_qs << 3 << 11
                               << u"Nama : Budi\r\nLevel pelajaran : 3\r\nNilai belajar : 100\r\n"
                                  u"Jumlah benar : 11\r\nJumlah salah : 0"_qs;
    QTest::newRow("none right") << u"Ani"_qs << 1 << 0
                                << u"Nama : Ani\r\nLevel pelajaran : 1\r\nNilai belajar : \r\n"
                                   u"Jumlah benar : 0\r\nJumlah salah : 11"_qs;
    QTest::newRow("six right") << u"Siti Nurhaliza"_qs << 2 << 6
                               << u"Nama : Siti Nurhaliza\r\nLevel pelajaran : 2\r\n"
                                  u"Nilai belajar : 54.55\r\nJumlah benar : 6\r\n"
                                  u"Jumlah salah : 5"_qs;
    QTest::newRow("ampersand kept") << u"Ani & Budi"_qs << 1 << 7
                                    << u"Nama : Ani & Budi\r\nLevel pelajaran : 1\r\n"
                                       u"Nilai belajar : 63.64\r\nJumlah benar : 7\r\n"
                                       u"Jumlah salah : 4"_qs;
    QTest::newRow("blank name") << u"   "_qs << 1 << 1
                                << u"Nama : \r\nLevel pelajaran : 1\r\nNilai belajar : 9.09\r\n"
                                   u"Jumlah benar : 1\r\nJumlah salah : 10"_qs;
    // The mark of every score, as the reports of ctest's locales show it.
    const char *const marks[] = {"",      "9.09",  "18.18", "27.27", "36.36", "45.45",
                                 "54.55", "63.64", "72.73", "81.82", "90.91", "100"};
    for (int score = 0; score <= 11; ++score)
        QTest::addRow("%d right", score)
            << u"Budi"_qs << 2 << score
            << u"Nama : Budi\r\nLevel pelajaran : 2\r\nNilai belajar : %1\r\n"
               u"Jumlah benar : %2\r\nJumlah salah : %3"_qs.arg(QLatin1String(marks[score]))
                   .arg(score)
                   .arg(11 - score);
}

void TestReport::reportLines()
{
    QFETCH(QString, name);
    QFETCH(int, level);
    QFETCH(int, score);
    QFETCH(QString, report);

    // The separator the program reads from the system's locale.
    const QChar separator = QLocale::system().decimalPoint().at(0);
    const QString text = lessonReport(name, level, score, separator);
    QCOMPARE(text, QString(report).replace(u'.', separator));
    QCOMPARE(text.split(u"\r\n"_qs).size(), 5);
    QVERIFY(!text.endsWith(u'\n'));
    QCOMPARE(text.count(u'\n'), text.count(u'\r'));
}

void TestReport::nameIsTrimmed_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");

    QTest::newRow("spaces around") << u"  Budi  "_qs << u"Budi"_qs;
    QTest::newRow("inner spaces kept") << u" Ani  Budi "_qs << u"Ani  Budi"_qs;
    QTest::newRow("tabs and line breaks") << u"\t\r\nDewi\n"_qs << u"Dewi"_qs;
    QTest::newRow("control characters")
        << QString::fromUtf16(u"\001\037Eko\000\033", 7) << u"Eko"_qs;
    QTest::newRow("only blanks") << u" \t  "_qs << QString();
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("ampersands as typed") << u" &Tono && Tini& "_qs << u"&Tono && Tini&"_qs;
    QTest::newRow("letters beyond ASCII kept")
        << u"\u00C9lise \u00E9"_qs << u"\u00C9lise \u00E9"_qs;
    QTest::newRow("punctuation at the ends kept") << u"!Rina?"_qs << u"!Rina?"_qs;
    // A pasted name stays on one line: a line break inside is a space, CR LF one space.
    QTest::newRow("line break inside") << u"Ani\nBudi"_qs << u"Ani Budi"_qs;
    QTest::newRow("CR LF inside") << u"Ani\r\nBudi\r\n"_qs << u"Ani Budi"_qs;
    QTest::newRow("controls inside") << u"Ani\tB\u001bu\u007fdi\u0085!"_qs << u"Ani B u di !"_qs;
    QTest::newRow("line separator inside") << u"Ani\u2028\u2029Budi"_qs << u"Ani  Budi"_qs;
}

void TestReport::nameIsTrimmed()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QCOMPARE(trimmedName(typed), shown);
    QCOMPARE(lessonReport(typed, 1, 5, u'.').section(u"\r\n"_qs, 0, 0), u"Nama : "_qs + shown);
}

void TestReport::whistle_data()
{
    QTest::addColumn<int>("score");
    QTest::addColumn<bool>("whistles");
    for (int score = 0; score <= 11; ++score)
        QTest::addRow("%d right", score) << score << (score >= 7);
}

void TestReport::whistle()
{
    QFETCH(int, score);
    QFETCH(bool, whistles);
    QCOMPARE(earnsWhistle(score), whistles);
}

void TestReport::topMarkIsExactlyHundred()
{
    QCOMPARE(lessonMark(11), 100.0L);
    QCOMPARE(lessonMark(0), 0.0L);
    // The marks rise evenly: each is within rounding of score × 100 / 11.
    for (int score = 1; score <= 10; ++score) {
        const long double exact = score * 100.0L / 11.0L;
        QVERIFY(std::fabs(lessonMark(score) - exact) < 1e-15L);
    }
}

void TestReport::markUsesTheGivenSeparator()
{
    const QString report = lessonReport(u"Budi"_qs, 1, 1, u',');
    QCOMPARE(report.section(u"\r\n"_qs, 2, 2), u"Nilai belajar : 9,09"_qs);
    QCOMPARE(lessonReport(u"Budi"_qs, 1, 11, u',').section(u"\r\n"_qs, 2, 2),
             u"Nilai belajar : 100"_qs);
}

QTEST_GUILESS_MAIN(TestReport)
#include "test_report.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// The question dice and the making of questions.
#include "core/Question.h"
#include "core/RandomGenerator.h"

#include <QDateTime>
#include <QMap>
#include <QTest>

using Weights = QMap<int, int>;
Q_DECLARE_METATYPE(Arithmetic)

using enum Arithmetic;

class TestRandom : public QObject
{
    Q_OBJECT
  private slots:
    void knownSequences_data();
    void knownSequences();
    void drawsStayInRange();
    void operandWeights_data();
    void operandWeights();
    void shapedQuestions_data();
    void shapedQuestions();
    void everyDrawGivesAnExactFittingQuestion_data();
    void everyDrawGivesAnExactFittingQuestion();
    void reseedingRepeatsTheQuestion();
    void seedIsTimeOfDay_data();
    void seedIsTimeOfDay();
};

void TestRandom::knownSequences_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("n");
    QTest::addColumn<QList<int>>("expected");
    // Worked out independently of the program, from seed * 134775813 + 1 mod 2^32 and the
    // upper half of seed * n.
    QTest::newRow("seed 0, R(11)") << 0u << 11 << QList<int>{0, 0, 9, 2, 3, 7, 3, 1};
    QTest::newRow("seed 12345678, R(22)")
        << 12345678u << 22 << QList<int>{13, 11, 2, 20, 8, 6, 4, 7};
    QTest::newRow("last ms of the day, R(33)")
        << 86399999u << 33 << QList<int>{23, 32, 11, 7, 5, 2, 28, 31};
    QTest::newRow("wrap-around, R(1000)") << 0xffffffffu << 1000 << QList<int>{968, 201, 519, 132};
}

void TestRandom::knownSequences()
{
    QFETCH(quint32, seed);
    QFETCH(int, n);
    QFETCH(QList<int>, expected);
    RandomGenerator random(seed);
    QList<int> drawn;
    for (qsizetype i = 0; i < expected.size(); ++i)
        drawn << random.below(n);
    QCOMPARE(drawn, expected);
}

void TestRandom::drawsStayInRange()
{
    for (int n : {1, 11, 22, 33}) {
        RandomGenerator random(0x9e3779b9u);
        QList<int> seen(n, 0);
        for (int i = 0; i < 20000; ++i) {
            const int value = random.below(n);
            QVERIFY2(value >= 0 && value < n, qPrintable(QString::number(value)));
            ++seen[value];
        }
        QVERIFY2(!seen.contains(0), "every value 0 ... n-1 comes up");
    }
}

void TestRandom::operandWeights_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<Weights>("weights");
    QMap<int, int> one{{0, 1}};
    for (int v = 1; v <= 5; ++v)
        one[v] = 2;
    QMap<int, int> two{{0, 1}, {11, 1}};
    for (int v = 1; v <= 10; ++v)
        two[v] = 2;
    QMap<int, int> three{{0, 1}, {16, 1}, {17, 1}};
    for (int v = 1; v <= 15; ++v)
        three[v] = 2;
    QTest::newRow("level 1") << 1 << one;
    QTest::newRow("level 2") << 2 << two;
    QTest::newRow("level 3") << 3 << three;
}

void TestRandom::operandWeights()
{
    QFETCH(int, level);
    QFETCH(Weights, weights);
    QMap<int, int> counted;
    for (int draw = 0; draw < level * 11; ++draw)
        ++counted[operandFromDraw(level, draw)];
    QCOMPARE(counted, weights);
}

void TestRandom::shapedQuestions_data()
{
    QTest::addColumn<Arithmetic>("operation");
    QTest::addColumn<int>("drawnA");
    QTest::addColumn<int>("drawnB");
    QTest::addColumn<int>("shownA");
    QTest::addColumn<int>("shownB");
    QTest::addColumn<int>("answer");
    QTest::newRow("1 : 1 from two zeros") << Division << 0 << 0 << 1 << 1 << 1;
    QTest::newRow("5 and 3 shown as 15 : 3") << Division << 5 << 3 << 15 << 3 << 5;
    QTest::newRow("6 : 3 stays") << Division << 6 << 3 << 6 << 3 << 2;
    QTest::newRow("zero divisor becomes 1") << Division << 4 << 0 << 4 << 1 << 4;
    QTest::newRow("zero dividend becomes 1, then a multiple") << Division << 0 << 5 << 5 << 5 << 1;
    QTest::newRow("largest dividend") << Division << 17 << 16 << 272 << 16 << 17;
    QTest::newRow("2 - 5 turned round") << Subtraction << 2 << 5 << 5 << 2 << 3;
    QTest::newRow("equal subtraction") << Subtraction << 4 << 4 << 4 << 4 << 0;
    QTest::newRow("addition") << Addition << 17 << 17 << 17 << 17 << 34;
    QTest::newRow("multiplication") << Multiplication << 17 << 17 << 17 << 17 << 289;
    QTest::newRow("times zero") << Multiplication << 0 << 9 << 0 << 9 << 0;
}

void TestRandom::shapedQuestions()
{
    QFETCH(Arithmetic, operation);
    QFETCH(int, drawnA);
    QFETCH(int, drawnB);
    const Question question = shapeQuestion(operation, drawnA, drawnB);
    QCOMPARE(question.operation, operation);
    QTEST(question.operandA, "shownA");
    QTEST(question.operandB, "shownB");
    QTEST(question.answer, "answer");
}

void TestRandom::everyDrawGivesAnExactFittingQuestion_data()
{
    QTest::addColumn<Arithmetic>("operation");
    QTest::addColumn<int>("level");
    for (Arithmetic operation : {Addition, Subtraction, Multiplication, Division}) {
        for (int level = 1; level <= 3; ++level)
            QTest::addRow("%c level %d", glyph(operation).toLatin1(), level) << operation << level;
    }
}

void TestRandom::everyDrawGivesAnExactFittingQuestion()
{
    QFETCH(Arithmetic, operation);
    QFETCH(int, level);
    for (int drawA = 0; drawA < level * 11; ++drawA) {
        for (int drawB = 0; drawB < level * 11; ++drawB) {
            const Question q = shapeQuestion(operation, operandFromDraw(level, drawA),
                                             operandFromDraw(level, drawB));
            const int a = q.operandA, b = q.operandB;
            switch (operation) {
            case Addition:
                QCOMPARE(q.answer, a + b);
                break;
            case Subtraction:
                QVERIFY(a >= b);
                QCOMPARE(q.answer, a - b);
                break;
            case Multiplication:
                QCOMPARE(q.answer, a * b);
                break;
            case Division:
                QVERIFY(b >= 1);
                QCOMPARE(q.answer * b, a);
                break;
            }
            QVERIFY(q.answer >= 0);
            QVERIFY2(QString::number(q.answer).size() <= 4, "fits the answer box");
            QVERIFY(a <= 272 && b <= 17);
        }
    }
}

void TestRandom::reseedingRepeatsTheQuestion()
{
    RandomGenerator random;
    random.reseed(45296789);
    const Question first = makeQuestion(Multiplication, 3, random);
    random.reseed(45296789);
    const Question again = makeQuestion(Multiplication, 3, random);
    QCOMPARE(again.operandA, first.operandA);
    QCOMPARE(again.operandB, first.operandB);
    // The same seed, a different level: the draws are scaled differently.
    RandomGenerator other(45296789);
    QCOMPARE(drawOperand(1, other), operandFromDraw(1, RandomGenerator(45296789).below(11)));
}

// The seed at a given moment, far from the time zone of the machine running the test, so that a
// seed taken from local time fails.
void TestRandom::seedIsTimeOfDay_data()
{
    QTest::addColumn<QString>("utc");
    QTest::addColumn<quint32>("seed");
    QTest::newRow("midnight") << "2024-03-01T00:00:00.000Z" << 0u;
    QTest::newRow("afternoon") << "2024-03-01T12:34:56.789Z" << 45296789u;
    QTest::newRow("last millisecond, before 1970") << "1969-12-31T23:59:59.999Z" << 86399999u;
}

void TestRandom::seedIsTimeOfDay()
{
    QFETCH(QString, utc);
    qputenv("TZ", "WIB-7"); // seven hours east of UTC, as in Jakarta
    const qint64 ms = QDateTime::fromString(utc, Qt::ISODateWithMs).toMSecsSinceEpoch();
    QTEST(millisecondsOfDay(std::chrono::system_clock::time_point(std::chrono::milliseconds(ms))),
          "seed");
}

QTEST_APPLESS_MAIN(TestRandom)
#include "test_random.moc"

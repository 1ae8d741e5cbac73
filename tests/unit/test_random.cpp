// SPDX-License-Identifier: GPL-3.0-or-later
// The question dice and the making of questions.
#include "core/Question.h"
#include "core/RandomGenerator.h"

#include <QMap>
#include <QTest>

using Weights = QMap<int, int>;

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
    QTest::addColumn<char>("operation");
    QTest::addColumn<int>("drawnA");
    QTest::addColumn<int>("drawnB");
    QTest::addColumn<int>("shownA");
    QTest::addColumn<int>("shownB");
    QTest::addColumn<int>("answer");
    QTest::newRow("1 : 1 from two zeros") << ':' << 0 << 0 << 1 << 1 << 1;
    QTest::newRow("5 and 3 shown as 15 : 3") << ':' << 5 << 3 << 15 << 3 << 5;
    QTest::newRow("6 : 3 stays") << ':' << 6 << 3 << 6 << 3 << 2;
    QTest::newRow("zero divisor becomes 1") << ':' << 4 << 0 << 4 << 1 << 4;
    QTest::newRow("zero dividend becomes 1, then a multiple") << ':' << 0 << 5 << 5 << 5 << 1;
    QTest::newRow("largest dividend") << ':' << 17 << 16 << 272 << 16 << 17;
    QTest::newRow("2 - 5 turned round") << '-' << 2 << 5 << 5 << 2 << 3;
    QTest::newRow("equal subtraction") << '-' << 4 << 4 << 4 << 4 << 0;
    QTest::newRow("addition") << '+' << 17 << 17 << 17 << 17 << 34;
    QTest::newRow("multiplication") << 'X' << 17 << 17 << 17 << 17 << 289;
    QTest::newRow("times zero") << 'X' << 0 << 9 << 0 << 9 << 0;
}

void TestRandom::shapedQuestions()
{
    QFETCH(char, operation);
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
    QTest::addColumn<char>("operation");
    QTest::addColumn<int>("level");
    for (char operation : {'+', '-', 'X', ':'}) {
        for (int level = 1; level <= 3; ++level)
            QTest::addRow("%c level %d", operation, level) << operation << level;
    }
}

void TestRandom::everyDrawGivesAnExactFittingQuestion()
{
    QFETCH(char, operation);
    QFETCH(int, level);
    for (int drawA = 0; drawA < level * 11; ++drawA) {
        for (int drawB = 0; drawB < level * 11; ++drawB) {
            const Question q = shapeQuestion(operation, operandFromDraw(level, drawA),
                                             operandFromDraw(level, drawB));
            const int a = q.operandA, b = q.operandB;
            switch (operation) {
            case '+':
                QCOMPARE(q.answer, a + b);
                break;
            case '-':
                QVERIFY(a >= b);
                QCOMPARE(q.answer, a - b);
                break;
            case 'X':
                QCOMPARE(q.answer, a * b);
                break;
            case ':':
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
    const Question first = makeQuestion('X', 3, random);
    random.reseed(45296789);
    const Question again = makeQuestion('X', 3, random);
    QCOMPARE(again.operandA, first.operandA);
    QCOMPARE(again.operandB, first.operandB);
    // The same seed, a different level: the draws are scaled differently.
    RandomGenerator other(45296789);
    QCOMPARE(drawOperand(1, other), operandFromDraw(1, RandomGenerator(45296789).below(11)));
}

void TestRandom::seedIsTimeOfDay()
{
    const quint32 seed = utcMillisecondsOfDay();
    QVERIFY(seed < 24u * 60 * 60 * 1000);
}

QTEST_APPLESS_MAIN(TestRandom)
#include "test_random.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// A lesson without a window: each question drawn from its seed, what a typed key does, and
// answers in, sounds, revealed answers and the report out.
#include "core/Errors.h"
#include "core/Lesson.h"

#include <QTest>

Q_DECLARE_METATYPE(KeyOutcome::Action)

namespace {
// `token` `count` times, separated by spaces.
QString times(int count, const QString &token)
{
    return QStringList(count, token).join(u' ');
}
} // namespace

class TestLesson : public QObject
{
    Q_OBJECT
  private slots:
    void questionsComeFromTheirSeed();
    void keysTyped_data();
    void keysTyped();
    void answersFlow_data();
    void answersFlow();
};

void TestLesson::questionsComeFromTheirSeed()
{
    // Seed 86399999 draws 23 and 32 (test_random's knownSequences): 8 and 17 at level 3.
    Lesson lesson;
    lesson.chooseLevel(3);
    const QList<std::pair<Arithmetic, QString>> questions{{Arithmetic::Multiplication, "8 X 17 ="},
                                                          {Arithmetic::Subtraction, "17 - 8 ="},
                                                          {Arithmetic::Division, "136 : 17 ="}};
    for (const auto &[operation, question] : questions) {
        lesson.choose(operation);
        QCOMPARE(lesson.start(), SoundEvents::LessonStarts);
        lesson.nextQuestion(86399999);
        QCOMPARE(lesson.questionText(), question);
    }
}

void TestLesson::keysTyped_data()
{
    QTest::addColumn<char>("key");
    QTest::addColumn<int>("inBox"); // whole characters already in the answer box
    QTest::addColumn<bool>("over"); // the last question is answered
    QTest::addColumn<KeyOutcome::Action>("action");
    QTest::addColumn<QString>("sound");
    using Action = KeyOutcome::Action;
    const auto row = [](const char *name, char key, int inBox, bool over, Action action,
                        const char *sound) {
        QTest::newRow(name) << key << inBox << over << action << QString::fromLatin1(sound);
    };
    row("digit", '7', 0, false, Action::Type, "7.wav");
    row("zero, the fourth character", '0', 3, false, Action::Type, "0.wav");
    row("Enter", '\r', 2, false, Action::Submit, "");
    row("Escape", '\x1b', 1, false, Action::Leave, "");
    row("Backspace", '\b', 2, false, Action::Type, "");
    row("letter", 'a', 1, false, Action::Refuse, "Toeng.wav");
    row("Ctrl+V", '\x16', 0, false, Action::Refuse, "Toeng.wav");
    row("full box, letter", 'a', 4, false, Action::Type, "");
    row("full box, Enter", '\r', 4, false, Action::Type, "");
    row("full box, Escape", '\x1b', 4, false, Action::Type, "");
    row("over, digit", '7', 0, true, Action::Ignore, "");
    row("over, Enter", '\r', 1, true, Action::Ignore, "");
}

void TestLesson::keysTyped()
{
    QFETCH(char, key);
    QFETCH(int, inBox);
    QFETCH(bool, over);
    Lesson lesson;
    lesson.chooseLevel(1);
    lesson.start();
    for (int q = 1; q <= QuestionsPerLesson && over; ++q) {
        lesson.nextQuestion(quint32(q));
        lesson.count(true);
    }
    QCOMPARE(lesson.isFinished(), over);
    const KeyOutcome outcome = lesson.keyTyped(key, inBox);
    QTEST(outcome.action, "action");
    QTEST(outcome.sound ? outcome.sound->file() : QString(), "sound");
    QCOMPARE(outcome.refusal, outcome.action == KeyOutcome::Action::Refuse
                                  ? QStringLiteral("Ketikkan hanya tombol angka!")
                                  : QString());
}

// Answers given one after another from the start of a lesson (multiplication, level 2): R the
// right one, W a wrong one, E an empty box, x a text that is no number, +R, 0R, $R (in
// hexadecimal) and _R (after two blanks) the right one written otherwise, S the lesson started
// afresh. What is heard comes out in order, the sound files without ".wav": "!" marks a
// refusal's error, "?" a conversion error, "reveal" the right answer shown.
void TestLesson::answersFlow_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("heard");
    QTest::addColumn<int>("questionNo");
    QTest::addColumn<int>("score");
    QTest::addColumn<int>("attempt");
    QTest::addColumn<QString>("report"); // for child "  Ani ", once the lesson is over
    const auto row = [](const char *name, const QString &script, const QString &heard,
                        int questionNo, int score, int attempt, const char *report = "") {
        QTest::newRow(name) << script << heard << questionNo << score << attempt
                            << QString::fromLatin1(report);
    };
    row("right at once", "R", "Good Benar", 2, 1, 1);
    row("right at the second try", "W R", "Good Salah Benar", 2, 0, 1);
    row("right at the third try", "W W R", "Good Salah Salah Benar", 2, 0, 1);
    row("two wrong, a try left", "W W", "Good Salah Salah", 1, 0, 3);
    row("three wrong, the answer shown", "W W W", "Good Salah Salah Salah reveal", 2, 0, 1);
    row("empty answers count no try", "E W E", "Good toeng! Salah toeng!", 1, 0, 2);
    row("no number counts no try", "x R", "Good ? Benar", 2, 1, 1);
    row("written otherwise, still right", "+R 0R $R _R", "Good Benar Benar Benar Benar", 5, 4, 1);
    row("started afresh", "R R W S R", "Good Benar Benar Salah Good Benar", 2, 1, 1);
    row("7 right at once: the whistle", times(7, "R") + u' ' + times(4, "W R"),
        "Good " + times(7, "Benar") + u' ' + times(4, "Salah Benar") + " Whistle", 11, 7, 1,
        "Nama : Ani\r\nLevel pelajaran : 2\r\nNilai belajar : 63.64\r\nJumlah benar : 7\r\n"
        "Jumlah salah : 4");
    row("6 right at once, the last one shown", times(6, "R") + u' ' + times(4, "W R") + " W W W",
        "Good " + times(6, "Benar") + u' ' + times(4, "Salah Benar") + " Salah Salah Salah reveal",
        11, 6, 1,
        "Nama : Ani\r\nLevel pelajaran : 2\r\nNilai belajar : 54.55\r\nJumlah benar : 6\r\n"
        "Jumlah salah : 5");
}

void TestLesson::answersFlow()
{
    QFETCH(QString, script);
    Lesson lesson;
    lesson.choose(Arithmetic::Multiplication);
    lesson.chooseLevel(2);
    quint32 seed = 1000;
    QStringList heard;
    QString report;
    const auto play = [&heard](std::optional<SoundEvent> sound) {
        if (sound)
            heard << sound->file().chopped(4);
    };
    for (const QString &token : (u"S "_qs + script).split(u' ')) {
        const QString answer = QString::number(lesson.Answer);
        const QString typed = token == u"$R"
                                  ? u'$' + QString::number(lesson.Answer, 16)
                                  : QString(token)
                                        .replace(u'R', answer)
                                        .replace(u'W', QString::number(lesson.Answer + 1))
                                        .replace(u'_', u"  "_qs)
                                        .remove(u'E');
        AnswerOutcome outcome;
        if (token == u"S") {
            play(lesson.start());
            outcome.next = AnswerOutcome::Next::NextQuestion;
        } else {
            try {
                const AnswerCheck check = lesson.check(typed);
                play(check.sound);
                if (!check.refusal.isEmpty()) {
                    QCOMPARE(check.refusal, u"Jawaban tidak boleh kosong!!"_qs);
                    heard.last() += u'!';
                    continue;
                }
                outcome = lesson.count(check.right);
            } catch (const EConvertError &) {
                heard << u"?"_qs;
                continue;
            }
        }
        if (outcome.revealAnswer) {
            QCOMPARE(lesson.revealText(), u"Jawaban yang benar adalah : "_qs + answer);
            heard << u"reveal"_qs;
        }
        if (outcome.next == AnswerOutcome::Next::NextQuestion)
            lesson.nextQuestion(seed += 1013);
        if (outcome.next == AnswerOutcome::Next::EndLesson) {
            play(lesson.endSound());
            report = lesson.report(u"  Ani "_qs, u'.');
        }
    }
    QTEST(heard.join(u' '), "heard");
    QTEST(lesson.QuestionNo, "questionNo");
    QTEST(lesson.Score, "score");
    QTEST(lesson.Attempt, "attempt");
    QTEST(report, "report");
    QCOMPARE(lesson.isFinished(), !report.isEmpty());
    QCOMPARE(lesson.IsLastQuestion, lesson.QuestionNo == QuestionsPerLesson);
}

QTEST_APPLESS_MAIN(TestLesson)
#include "test_lesson.moc"

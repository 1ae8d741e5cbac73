// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Lesson.h"

#include "core/Conversions.h"
#include "core/RandomGenerator.h"
#include "core/Report.h"

namespace {
constexpr char enterKey = 13;
constexpr char escapeKey = 27;
constexpr char backspaceKey = 8;
} // namespace

void Lesson::reset()
{
    QuestionNo = 0;
    m_finished = false;
}

SoundEvent Lesson::start()
{
    Score = 0;
    Attempt = 1;
    QuestionNo = 0;
    m_finished = false;
    return SoundEvents::LessonStarts;
}

void Lesson::nextQuestion(std::uint32_t seed)
{
    QuestionNo += 1;
    RandomGenerator random(seed);
    const Question question = makeQuestion(Operation, Level, random);
    OperandA = question.operandA;
    OperandB = question.operandB;
    Answer = question.answer;
    IsLastQuestion = QuestionNo == QuestionsPerLesson;
}

QString Lesson::questionText() const
{
    return QString::number(OperandA) + u' ' + glyph(Operation) + u' ' + QString::number(OperandB) +
           QStringLiteral(" =");
}

KeyOutcome Lesson::keyTyped(char key, int charactersInBox) const
{
    using Action = KeyOutcome::Action;
    if (m_finished)
        return {Action::Ignore, {}, {}};
    // A full box is left to itself: no sound, no error, and Enter and Escape do nothing.
    if (charactersInBox >= AnswerCharacters)
        return {Action::Type, {}, {}};
    if (key == enterKey)
        return {Action::Submit, {}, {}};
    if (key == escapeKey)
        return {Action::Leave, {}, {}};
    if (key >= '0' && key <= '9')
        return {Action::Type, SoundEvents::Digits.at(std::size_t(key - '0')), {}};
    if (key == backspaceKey)
        return {Action::Type, {}, {}};
    return {Action::Refuse, SoundEvents::RefusedKey,
            QStringLiteral("Ketikkan hanya tombol angka!")};
}

AnswerCheck Lesson::check(const QString &typed) const
{
    if (typed.isEmpty())
        return {false, SoundEvents::EmptyAnswer, QStringLiteral("Jawaban tidak boleh kosong!!")};
    const bool right = StrToInt(typed) == Answer;
    return {right, right ? SoundEvents::Right : SoundEvents::Wrong, {}};
}

AnswerOutcome Lesson::count(bool right)
{
    AnswerOutcome outcome;
    if (right) {
        if (Attempt < 2)
            Score += 1;
    } else {
        Attempt += 1;
        if (Attempt <= TriesPerQuestion)
            return outcome;
        outcome.revealAnswer = true;
    }
    Attempt = 1;
    outcome.next =
        IsLastQuestion ? AnswerOutcome::Next::EndLesson : AnswerOutcome::Next::NextQuestion;
    m_finished = IsLastQuestion;
    return outcome;
}

QString Lesson::revealText() const
{
    return QStringLiteral("Jawaban yang benar adalah : ") + QString::number(Answer);
}

std::optional<SoundEvent> Lesson::endSound() const
{
    if (earnsWhistle(Score))
        return SoundEvents::Praise;
    return std::nullopt;
}

QString Lesson::report(const QString &name, QChar decimalSeparator) const
{
    return lessonReport(name, Level, Score, decimalSeparator);
}

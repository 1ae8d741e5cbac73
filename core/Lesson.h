// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Question.h"
#include "core/SoundEvents.h"

#include <QChar>
#include <QString>
#include <cstdint>
#include <optional>

// One lesson of eleven questions: its state under the names the window has always given it,
// and every rule of it. No widgets here. The window asks the lesson what a key, an answer or
// the end does, and shows what it decides: the sound to play, the message to show, the next
// question, the report.

// Number of questions in one lesson.
inline constexpr std::int32_t QuestionsPerLesson = 11;

// Number of tries a question allows before its answer is shown.
inline constexpr std::int32_t TriesPerQuestion = 3;

// The answer box holds this many whole characters, enough for every answer; once full, the
// box is left to itself.
inline constexpr int AnswerCharacters = 4;

// What a character typed into the answer box does, before the box sees it.
struct KeyOutcome
{
    enum class Action
    {
        Type,   // the box takes the key as usual: a digit, Backspace, anything into a full box
        Submit, // Enter: the answer is given (NextSoal); the box never sees the key
        Leave,  // Escape: the lesson is dropped, back to idle
        Refuse, // anything else: `refusal` is shown as an error, the box never sees the key
        Ignore  // the lesson is over and its report on the way: nothing happens at all
    };
    Action action = Action::Type;
    std::optional<SoundEvent> sound;
    QString refusal;
};

// What checking the typed answer decides; nothing in the lesson changes.
struct AnswerCheck
{
    bool right = false;
    std::optional<SoundEvent> sound; // Right, Wrong, or EmptyAnswer
    QString refusal;                 // not an answer at all: shown as an error, no try counted
};

// What a checked answer does to the lesson.
struct AnswerOutcome
{
    enum class Next
    {
        TryAgain,     // the same question stays for another try
        NextQuestion, // on to the next question
        EndLesson     // that was the last question: the report follows
    };
    Next next = Next::TryAgain;
    // The last try went wrong: the right answer is shown (revealText) before moving on.
    bool revealAnswer = false;
};

class Lesson
{
  public:
    // The state: all zero and addition until the window chooses; QuestionNo is 0 while idle.
    std::int32_t Level = 0;      // 1, 2 or 3
    std::int32_t QuestionNo = 0; // 1 … 11 during a lesson
    std::int32_t Score = 0;      // questions right at the first try
    std::int32_t Attempt = 0;    // the try at the current question, from 1
    std::int32_t Answer = 0;     // the current question's result
    std::int32_t OperandA = 0;   // as shown
    std::int32_t OperandB = 0;
    Arithmetic Operation = Arithmetic::Addition;
    bool IsLastQuestion = false; // the current question is the eleventh

    // Choosing the operation or the level; the window drops a running lesson with it.
    void choose(Arithmetic operation) { Operation = operation; }
    void chooseLevel(std::int32_t level) { Level = level; }

    // Back to idle: no question; name, operation, level and counts stay.
    void reset();
    // A new lesson from its first question on, with the same operation and level; the sound
    // it starts with. The first question comes with nextQuestion().
    SoundEvent start();
    // The next question, its operands drawn from `seed`.
    void nextQuestion(std::uint32_t seed);
    // The question as the board shows it and screen readers read it: "15 : 3 =".
    QString questionText() const;

    // What `key` (an 8-bit character: Enter 13, Escape 27, Backspace 8) does when typed into
    // an answer box that holds `charactersInBox` whole characters.
    KeyOutcome keyTyped(char key, int charactersInBox) const;
    // Checks the typed text against Answer. A text that is not a whole number throws
    // EConvertError: nothing is played or counted.
    AnswerCheck check(const QString &typed) const;
    // Counts a checked answer: a right one at the first try scores, a wrong one uses up a try.
    // Moving on starts the next question at its first try, or ends the lesson after the last.
    AnswerOutcome count(bool right);
    // The message that shows the right answer after the last wrong try.
    QString revealText() const;

    // The last question has been answered: the report is due, and keys do nothing until the
    // lesson starts again or goes idle.
    bool isFinished() const { return m_finished; }
    // The sound the end of the lesson makes: the whistle for a good lesson, else none.
    std::optional<SoundEvent> endSound() const;
    // The report for the child named `name`, its mark written with `decimalSeparator`.
    QString report(const QString &name, QChar decimalSeparator) const;

    bool operator==(const Lesson &) const = default;

  private:
    bool m_finished = false;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// How a lesson runs: how long it is, how many tries a question allows, and how a checked
// answer counts. No widgets here; the window calls these and shows what they decide.

// Number of questions in one lesson.
inline constexpr std::int32_t QuestionsPerLesson = 11;

// Number of tries a question allows before its answer is shown.
inline constexpr std::int32_t TriesPerQuestion = 3;

// What the window does once an answer has been checked.
struct AnswerOutcome
{
    enum class Next
    {
        TryAgain,     // the same question stays for another try
        NextQuestion, // on to the next question
        EndLesson     // that was the last question: the report follows
    };
    Next next = Next::TryAgain;
    // The last try went wrong: show the right answer before moving on.
    bool revealAnswer = false;
};

// Counts one checked answer into the lesson's `score` and `attempt` (the try number of the
// current question, 1 at its first try). A right answer at the first try adds 1 to the
// score; a right answer at a later try only moves on. A wrong answer uses up a try; after the
// last one the answer is revealed and the lesson moves on. Moving on starts the next
// question at its first try, or ends the lesson after `isLastQuestion`.
AnswerOutcome countAnswer(bool right, bool isLastQuestion, std::int32_t &score,
                          std::int32_t &attempt);

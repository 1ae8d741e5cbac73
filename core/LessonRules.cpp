// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/LessonRules.h"

AnswerOutcome countAnswer(bool right, bool isLastQuestion, std::int32_t &score,
                          std::int32_t &attempt)
{
    AnswerOutcome outcome;
    if (right) {
        if (attempt < 2)
            score += 1;
    } else {
        attempt += 1;
        if (attempt <= TriesPerQuestion)
            return outcome;
        outcome.revealAnswer = true;
    }
    attempt = 1;
    outcome.next =
        isLastQuestion ? AnswerOutcome::Next::EndLesson : AnswerOutcome::Next::NextQuestion;
    return outcome;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Question.h"

#include "core/RandomGenerator.h"

#include <cstdlib>
#include <utility>

std::int32_t operandFromDraw(std::int32_t level, std::int32_t draw)
{
    return std::abs(draw - level * 5);
}

std::int32_t drawOperand(std::int32_t level, RandomGenerator &random)
{
    return operandFromDraw(level, random.below(level * 11));
}

Question shapeQuestion(char operation, std::int32_t drawnA, std::int32_t drawnB)
{
    Question question{drawnA, drawnB, operation, 0};
    std::int32_t &a = question.operandA;
    std::int32_t &b = question.operandB;
    switch (operation) {
    case '-':
        if (b > a)
            std::swap(a, b);
        question.answer = a - b;
        break;
    case ':':
        if (a == 0)
            a = 1;
        if (b == 0)
            b = 1;
        if (a % b != 0)
            a *= b;
        question.answer = a / b;
        break;
    case 'X':
        question.answer = a * b;
        break;
    default:
        question.answer = a + b;
        break;
    }
    return question;
}

Question makeQuestion(char operation, std::int32_t level, RandomGenerator &random)
{
    const std::int32_t a = drawOperand(level, random);
    const std::int32_t b = drawOperand(level, random);
    return shapeQuestion(operation, a, b);
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Question.h"

#include "core/RandomGenerator.h"

#include <cstdlib>
#include <utility>

QChar glyph(Arithmetic operation)
{
    switch (operation) {
    case Arithmetic::Subtraction:
        return u'-';
    case Arithmetic::Multiplication:
        return u'X';
    case Arithmetic::Division:
        return u':';
    case Arithmetic::Addition:
        break;
    }
    return u'+';
}

std::int32_t operandFromDraw(std::int32_t level, std::int32_t draw)
{
    return std::abs(draw - level * 5);
}

std::int32_t drawOperand(std::int32_t level, RandomGenerator &random)
{
    return operandFromDraw(level, random.below(level * 11));
}

Question shapeQuestion(Arithmetic operation, std::int32_t drawnA, std::int32_t drawnB)
{
    Question question{drawnA, drawnB, operation, 0};
    std::int32_t &a = question.operandA;
    std::int32_t &b = question.operandB;
    switch (operation) {
    case Arithmetic::Subtraction:
        if (b > a)
            std::swap(a, b);
        question.answer = a - b;
        break;
    case Arithmetic::Division:
        if (a == 0)
            a = 1;
        if (b == 0)
            b = 1;
        if (a % b != 0)
            a *= b;
        question.answer = a / b;
        break;
    case Arithmetic::Multiplication:
        question.answer = a * b;
        break;
    case Arithmetic::Addition:
        question.answer = a + b;
        break;
    }
    return question;
}

Question makeQuestion(Arithmetic operation, std::int32_t level, RandomGenerator &random)
{
    const std::int32_t a = drawOperand(level, random);
    const std::int32_t b = drawOperand(level, random);
    return shapeQuestion(operation, a, b);
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChar>
#include <cstdint>

class RandomGenerator;

// The four operations a lesson drills, in the order of the menu.
enum class Arithmetic
{
    Addition,
    Subtraction,
    Multiplication,
    Division
};

// The sign the board shows between the operands: '+', '-', 'X' (the capital letter) or ':'.
QChar glyph(Arithmetic operation);

// One question as shown in the bubble: a op b = answer.
struct Question
{
    std::int32_t operandA = 0;
    std::int32_t operandB = 0;
    Arithmetic operation = Arithmetic::Addition;
    std::int32_t answer = 0;
};

// The operand a draw of R(level * 11) gives: |draw - level * 5|.
std::int32_t operandFromDraw(std::int32_t level, std::int32_t draw);

// One operand for `level` (1, 2 or 3): |R(level * 11) - level * 5|, so level 1 gives 0 … 5,
// level 2 gives 0 … 11 and level 3 gives 0 … 17, small numbers more often than large ones.
std::int32_t drawOperand(std::int32_t level, RandomGenerator &random);

// Applies the rules of `operation` to two drawn operands: a subtraction is turned round so that
// its answer is never negative, and a division gets a divisor of at least 1 and a dividend that
// is a multiple of it, so that it always comes out exact.
Question shapeQuestion(Arithmetic operation, std::int32_t drawnA, std::int32_t drawnB);

// Draws two operands and shapes them into a question.
Question makeQuestion(Arithmetic operation, std::int32_t level, RandomGenerator &random);

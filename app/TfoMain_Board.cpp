// SPDX-License-Identifier: GPL-3.0-or-later
// The question board as the window sees it: the board (QuestionBoard) paints the bubble and
// the question it was last shown; the window makes the question's text.
#include "app/QuestionBoard.h"
#include "app/TfoMain.h"

void TfoMain::DrawBoard(QPainter &canvas)
{
    m_board->drawBubble(canvas);
}

void TfoMain::DrawQuestion(QPainter &canvas)
{
    m_board->drawQuestion(canvas);
}

QString TfoMain::questionText() const
{
    return QString::number(OperandA) + u' ' + QChar::fromLatin1(Operation) + u' ' +
           QString::number(OperandB) + QStringLiteral(" =");
}

void TfoMain::FormPaint(QPainter &canvas)
{
    m_board->paint(canvas);
}

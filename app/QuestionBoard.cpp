// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/QuestionBoard.h"

#include "dialogs/ErrorGuard.h"
#include "widgets/ReadableText.h"

#include <QPainter>
#include <utility>

QuestionBoard::QuestionBoard(std::function<void(QPainter &)> paint, QWidget *parent)
    : QWidget(parent), m_paint(std::move(paint))
{
    makeReadableText(this);
}

void QuestionBoard::showQuestion(const QString &question)
{
    update();
    setReadableText(this, question);
}

void QuestionBoard::paintEvent(QPaintEvent *)
{
    QPainter canvas(this);
    guarded([&] { m_paint(canvas); });
}

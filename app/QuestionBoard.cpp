// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/QuestionBoard.h"

#include "dialogs/ErrorGuard.h"
#include "widgets/ReadableText.h"

#include <QPainter>
#include <QPolygon>

namespace {
// Only size and weight change: the face stays the window's own.
QFont boardFont(QFont font)
{
    font.setPointSize(20);
    font.setBold(true);
    return font;
}
} // namespace

QuestionBoard::QuestionBoard(QWidget *parent) : QWidget(parent)
{
    makeReadableText(this);
}

void QuestionBoard::showQuestion(const QString &question)
{
    m_question = question;
    update();
    setReadableText(this, question);
}

void QuestionBoard::paintEvent(QPaintEvent *)
{
    QPainter canvas(this);
    guarded([&] { paint(canvas); });
}

void QuestionBoard::paint(QPainter &canvas) const
{
    drawBubble(canvas);
    if (!m_question.isEmpty())
        drawQuestion(canvas);
}

void QuestionBoard::drawBubble(QPainter &canvas) const
{
    canvas.setFont(boardFont(canvas.font()));
    canvas.setPen(QPen(Qt::black, 1, Qt::SolidLine));
    canvas.setBrush(QBrush(QColor(255, 255, 0), Qt::SolidPattern));
    canvas.setRenderHint(QPainter::Antialiasing, false);

    // The tail first, then the bubble over its upper edge, so that both read as one shape.
    const QPolygon tail({QPoint(136, 90), QPoint(173, 90), QPoint(99, 110)});
    canvas.drawPolygon(tail);
    // The bubble, outline included, covers the pixels from (70, 40) to (209, 94). A one-pixel
    // pen draws a rectangle's outline one pixel beyond its right and bottom edges, so the
    // rectangle given is one pixel narrower and shorter.
    canvas.drawEllipse(QRect(QPoint(70, 40), QPoint(208, 93)));
}

void QuestionBoard::drawQuestion(QPainter &canvas) const
{
    canvas.setBrush(Qt::NoBrush);
    // The text colour is the board's font colour; the pen keeps the bubble's outline colour
    // only until here.
    canvas.setPen(QColor(0, 0, 255));
    const QFontMetrics metrics(canvas.font());
    canvas.drawText(QPoint(85, 50 + metrics.ascent()), m_question);
}

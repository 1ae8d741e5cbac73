// SPDX-License-Identifier: GPL-3.0-or-later
// The speech bubble painted on the client area (QuestionBoard), and the question in it while a
// lesson runs.
#include "app/TfoMain.h"

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

void TfoMain::FormPaint(QPainter &canvas)
{
    DrawBoard(canvas);
    // Idle, the bubble stays empty: a repaint after a reset shows no old question.
    if (lesson.QuestionNo > 0)
        DrawQuestion(canvas);
}

void TfoMain::DrawBoard(QPainter &canvas)
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

void TfoMain::DrawQuestion(QPainter &canvas)
{
    // In the font DrawBoard set, without a background: the bubble shows between the letters.
    canvas.setBrush(Qt::NoBrush);
    // The text colour is the board's font colour; the pen keeps the bubble's outline colour
    // only until here.
    canvas.setPen(QColor(0, 0, 255));
    const QFontMetrics metrics(canvas.font());
    canvas.drawText(QPoint(85, 50 + metrics.ascent()), lesson.questionText());
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/WrappingLabel.h"

#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace {
// Every kind of line break becomes '\n': a CR of a CR LF pair would show as a stray glyph.
QString withPlainLineBreaks(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}
} // namespace

WrappingLabel::WrappingLabel(const QString &text, QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setText(withPlainLineBreaks(text));
}

QSize WrappingLabel::sizeForWidth(int maxWidth) const
{
    QTextLayout layout(displayText(), font(), this);
    const qreal height = layOut(layout, maxWidth);
    qreal width = 0;
    for (int i = 0; i < layout.lineCount(); ++i)
        width = std::max(width, layout.lineAt(i).naturalTextWidth());
    return {static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height))};
}

void WrappingLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    QTextLayout layout(displayText(), font(), this);
    layOut(layout, width());
    layout.draw(&painter, QPointF(0, 0));
}

// Line breaks in the text start new lines.
QString WrappingLabel::displayText() const
{
    QString shown = text();
    shown.replace(u'\n', QChar::LineSeparator);
    return shown;
}

qreal WrappingLabel::layOut(QTextLayout &layout, int maxWidth)
{
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    qreal y = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(maxWidth);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
    return y;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QSize>

class QTextLayout;

// A label of plain text, shown exactly as given: an "&" is drawn, never taken as a mnemonic;
// every kind of line break ("\r\n", "\r", "\n") starts a new line; lines wrap at word
// boundaries, and a word too long for a line (a name typed without spaces) is broken inside
// it rather than run off the window. QLabel's own plain-text wrapping never breaks a word,
// hence the own layout. text() gives the text with its line breaks made "\n".
class WrappingLabel : public QLabel
{
  public:
    WrappingLabel(const QString &text, QWidget *parent);

    // The size of the text with lines at most `maxWidth` wide.
    QSize sizeForWidth(int maxWidth) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return sizeForWidth(width).height(); }

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    QString displayText() const;
    // Lays the text out in lines at most `maxWidth` wide; returns the height they take.
    static qreal layOut(QTextLayout &layout, int maxWidth);
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <functional>

class QPainter;

// The main window's client area, which the window's other controls sit on. It is painted by
// the function it is given (the window's FormPaint: the speech bubble and the question in it),
// and it gives screen readers the question it is told, as its text.
class QuestionBoard : public QWidget
{
  public:
    explicit QuestionBoard(std::function<void(QPainter &)> paint, QWidget *parent = nullptr);

    // Paints the board anew and tells screen readers `question` ("5 + 2 =", empty for the empty
    // bubble), also when it reads like the last one.
    void showQuestion(const QString &question);

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    std::function<void(QPainter &)> m_paint;
};

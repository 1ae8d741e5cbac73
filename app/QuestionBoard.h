// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

class QPainter;

// The main window's client area: a yellow speech bubble with the question in it. The window
// tells the board which question to show; the board paints it, and gives it to screen readers
// as its text. The window's other controls sit on it.
class QuestionBoard : public QWidget
{
  public:
    explicit QuestionBoard(QWidget *parent = nullptr);

    // Shows `question` ("5 + 2 =") in the bubble, or the empty bubble when it is empty, and
    // announces it to screen readers, also when it reads like the last one.
    void showQuestion(const QString &question);

    // The bubble, then the question in it when there is one.
    void paint(QPainter &canvas) const;
    void drawBubble(QPainter &canvas) const;
    void drawQuestion(QPainter &canvas) const;

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    QString m_question;
};

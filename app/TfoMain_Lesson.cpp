// SPDX-License-Identifier: GPL-3.0-or-later
// Choosing the operation and the level, starting a lesson, making each question and going
// back to idle.
#include "app/QuestionBoard.h"
#include "app/TfoMain.h"

#include <QAction>
#include <QLineEdit>
#include <QToolButton>

void TfoMain::GetQuote(QObject *sender)
{
    QAction *chosen = Penambahan;
    Arithmetic operation = Arithmetic::Addition;
    if (sender == Pengurangan) {
        operation = Arithmetic::Subtraction;
        chosen = Pengurangan;
    } else if (sender == Perkalian) {
        operation = Arithmetic::Multiplication;
        chosen = Perkalian;
    } else if (sender == Pembagian) {
        operation = Arithmetic::Division;
        chosen = Pembagian;
    }
    lesson.choose(operation);
    chosen->setChecked(true);
    // Any choice, even of the operation already chosen, drops a running lesson.
    ResetLesson();
}

void TfoMain::GetLevel(QObject *sender)
{
    QAction *chosen = Level1;
    std::int32_t level = 1;
    if (sender == Level2) {
        level = 2;
        chosen = Level2;
    } else if (sender == Level3) {
        level = 3;
        chosen = Level3;
    }
    lesson.chooseLevel(level);
    chosen->setChecked(true);
    ResetLesson();
}

void TfoMain::ResetLesson()
{
    m_board->showQuestion(QString()); // the empty bubble
    btnPlay->setEnabled(true);
    edNo->clear();
    edAnswer->clear();
    btnNext->setEnabled(false);
    edAnswer->setEnabled(false);
    Next1->setEnabled(false);
    edName->setEnabled(true);
    edName->setFocus();
    // Selected, as when the box is reached with Tab: a child typing a name replaces the old one.
    edName->selectAll();
    lesson.reset();
}

void TfoMain::PlayGame(QObject *)
{
    edAnswer->setEnabled(true);
    edName->setEnabled(false);
    PlaySoundFile(lesson.start());
    NewQuestion();
    edAnswer->setFocus();
    btnNext->setEnabled(lesson.QuestionNo < QuestionsPerLesson);
    Next1->setEnabled(btnNext->isEnabled());
    btnPlay->setEnabled(false);
}

void TfoMain::NewQuestion()
{
    lesson.nextQuestion(m_seedClock());
    edNo->setText(QString::number(lesson.QuestionNo));
    m_board->showQuestion(lesson.questionText());
    edAnswer->clear();
}

// SPDX-License-Identifier: GPL-3.0-or-later
// Choosing the operation and the level, starting a lesson, making each question and going
// back to idle.
#include "app/QuestionBoard.h"
#include "app/TfoMain.h"
#include "core/LessonRules.h"
#include "core/Question.h"

#include <QAction>
#include <QLineEdit>
#include <QToolButton>

void TfoMain::GetQuote(QObject *sender)
{
    QAction *chosen = Penambahan;
    Operation = '+';
    if (sender == Pengurangan) {
        Operation = '-';
        chosen = Pengurangan;
    } else if (sender == Perkalian) {
        Operation = 'X';
        chosen = Perkalian;
    } else if (sender == Pembagian) {
        Operation = ':';
        chosen = Pembagian;
    }
    chosen->setChecked(true);
    // Any choice, even of the operation already chosen, drops a running lesson.
    ResetLesson();
}

void TfoMain::GetLevel(QObject *sender)
{
    QAction *chosen = Level1;
    Level = 1;
    if (sender == Level2) {
        Level = 2;
        chosen = Level2;
    } else if (sender == Level3) {
        Level = 3;
        chosen = Level3;
    }
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
    QuestionNo = 0;
}

void TfoMain::PlayGame(QObject *)
{
    edAnswer->setEnabled(true);
    edName->setEnabled(false);
    Score = 0;
    Attempt = 1;
    QuestionNo = 0;
    PlaySoundFile(QStringLiteral("Good.wav"));
    NewQuestion();
    edAnswer->setFocus();
    btnNext->setEnabled(QuestionNo < QuestionsPerLesson);
    Next1->setEnabled(btnNext->isEnabled());
    btnPlay->setEnabled(false);
}

void TfoMain::NewQuestion()
{
    QuestionNo += 1;
    edNo->setText(QString::number(QuestionNo));
    m_random.reseed(m_seedClock());
    const Question question = makeQuestion(Operation, Level, m_random);
    OperandA = question.operandA;
    OperandB = question.operandB;
    Answer = question.answer;
    m_board->showQuestion(questionText());
    edAnswer->clear();
    IsLastQuestion = QuestionNo == QuestionsPerLesson;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RandomGenerator.h"

#include <QMainWindow>
#include <cstdint>
#include <functional>

class Mixer;
class QAction;
class QKeyEvent;
class QActionGroup;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPainter;
class QStatusBar;
class QToolButton;
class BevelPanel;
class TMediaPlayer;

// The main window: the lesson's controls and menu, the bubble the questions are painted
// in, and the lesson itself (its fields below and the handlers that run it). Every user
// action arrives as one handler and runs to completion; handlers call each other directly.
class TfoMain : public QMainWindow
{
    Q_OBJECT
  public:
    // `musicMixer` is where the background music is played (null: no music device).
    explicit TfoMain(Mixer *musicMixer, QWidget *parent = nullptr);
    ~TfoMain() override;

    static constexpr std::int32_t QuestionsPerLesson = 11;

    // Where each question's seed comes from; the UTC time of day unless a test sets a clock.
    void setSeedClock(std::function<std::uint32_t()> clock) { m_seedClock = std::move(clock); }

    // Controls, owned by the window.
    QLineEdit *edAnswer = nullptr;
    QLineEdit *edNo = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label3 = nullptr;
    TMediaPlayer *MediaPlayer1 = nullptr;
    QMenuBar *MainMenu1 = nullptr;
    QMenu *File1 = nullptr;
    QMenu *Pilihan1 = nullptr;
    QMenu *Help1 = nullptr;
    QAction *Mulaibelajar1 = nullptr;
    QAction *N1 = nullptr;
    QAction *Next1 = nullptr;
    QAction *N2 = nullptr;
    QAction *Keluar1 = nullptr;
    QMenu *Belajar1 = nullptr;
    QAction *N3 = nullptr;
    QMenu *Levelpelajaran1 = nullptr;
    QAction *N4 = nullptr;
    QAction *Hidupkanmusik = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    BevelPanel *Panel1 = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *edName = nullptr;
    QToolButton *btnPlay = nullptr;
    QToolButton *SpeedButton2 = nullptr;
    QToolButton *SpeedButton3 = nullptr;
    QToolButton *btnNext = nullptr;
    QAction *Penambahan = nullptr;
    QAction *Pengurangan = nullptr;
    QAction *Perkalian = nullptr;
    QAction *Pembagian = nullptr;
    QAction *Level1 = nullptr;
    QAction *Level2 = nullptr;
    QAction *Level3 = nullptr;
    QAction *About1 = nullptr;
    QAction *N5 = nullptr;
    QAction *Readme1 = nullptr;
    QLabel *Image1 = nullptr;

    // The lesson.
    std::int32_t Level = 0;
    std::int32_t QuestionNo = 0;
    std::int32_t Score = 0;
    std::int32_t Attempt = 0;
    std::int32_t Answer = 0;
    std::int32_t OperandA = 0;
    std::int32_t OperandB = 0;
    char Operation = '\0';
    bool IsLastQuestion = false;

    // Handlers and the lesson's operations, public so that tests can drive them as the
    // menu does.
    void FormCreate(QObject *sender);
    void FormShow(QObject *sender);
    void FormPaint(QPainter &canvas);
    void GetQuote(QObject *sender);
    void GetLevel(QObject *sender);
    void PlayGame(QObject *sender);
    void NewQuestion();
    void ResetLesson();
    void NextSoal(QObject *sender);
    bool CheckAnswer();
    void edAnswerKeyPress(QObject *sender, char &key);
    void CloseApp(QObject *sender);
    void ABoutBox(QObject *sender);
    void Readme1Click(QObject *sender);
    void PlayMusic(QObject *sender);
    void MediaPlayer1Notify(QObject *sender);

    // The end of the eleventh question: the whistle, the report and the offer to go again.
    void EndLesson();

    void DrawBoard(QPainter &canvas);
    void DrawQuestion(QPainter &canvas);

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

  private:
    void createControls();
    void createMenu();
    void connectHandlers();
    void centreOnScreen();
    void openMusic();
    // Turns a key pressed in the answer box into the character it types and filters it;
    // true when the box must not see the key.
    bool answerKeyFilter(QKeyEvent *event);
    // Runs a handler as Qt's entry point into our code: errors end in the error box.
    void handle(const std::function<void()> &handler);

    QWidget *m_client = nullptr; // the client area the bubble is painted on
    RandomGenerator m_random;
    std::function<std::uint32_t()> m_seedClock = &utcMillisecondsOfDay;
    bool m_shown = false;
};

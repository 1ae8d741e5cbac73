// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main window, and with it the lesson. A map of the class and its companions:
//
//   TfoMain.h           the class: its controls, the lesson's fields, its handlers
//   TfoMain.cpp         construction: controls, menu, the wiring of every event to its
//                       handler; start-up (FormCreate, FormShow), closing, PlaySoundFile
//   TfoMain_Lesson.cpp  choosing operation and level, starting a lesson, each new question,
//                       back to idle (GetQuote, GetLevel, PlayGame, NewQuestion, ResetLesson)
//   TfoMain_Answers.cpp typed keys, checking and counting answers, the report at the end
//                       (edAnswerKeyPress, CheckAnswer, NextSoal, EndLesson)
//   TfoMain_Board.cpp   the question's text and the board's painting as the window's
//                       operations (questionText, DrawBoard, DrawQuestion, FormPaint)
//   TfoMain_Music.cpp   the background music (PlayMusic, MediaPlayer1Notify)
//   TfoMain_About.cpp   the about box and the readme (ABoutBox, Readme1Click)
//
// Its companions in app/: QuestionBoard, the client area that paints the bubble and the
// question it is shown and gives the question to screen readers; TypedKey, what a key types
// by the program's keyboard rules; WholeCharacters, the edit boxes' limits counted in whole
// characters; MenuFocus, the focus given back when the menus are left; Glyphs, the buttons'
// pictures.
//
// The rules the handlers apply (questions, scoring, conversions, the report text) are in
// core/; the dialogs they show in dialogs/; the music control in music/; the sound, the
// folders and the desktop in platform/. The window only wires its widgets to them.

#include "core/RandomGenerator.h"
#include "platform/portable/ProgramFolders.h"

#include <QMainWindow>
#include <cstdint>
#include <functional>

class DesktopOpener;
class MusicSystem;
class QAction;
class QInputMethodEvent;
class QKeyEvent;
class QActionGroup;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPainter;
class QuestionBoard;
class QStatusBar;
class QToolButton;
class BevelPanel;
class SoundSink;
class TMediaPlayer;

// The folder the program runs from, in the system's own spelling, with a trailing separator
// ("C:\Program Files\Numbelo\" on Windows); set once when the main window is created, from
// the folders it was given. Sounds, music and the readme are found under it.
extern QString AppDir;

// What the window is given by whoever makes it (main, or a test): where the program's files
// are, and the services it plays and opens things with. The services must outlive the window.
struct TfoMainServices
{
    ProgramFolders folders;
    SoundSink &sounds;     // the sound effects (PlaySoundFile)
    MusicSystem &music;    // the background music (MediaPlayer1)
    DesktopOpener &opener; // links and the readme
};

// The main window: the lesson's controls and menu, the bubble the questions are painted
// in, and the lesson itself (its fields below and the handlers that run it). Every user
// action arrives as one handler and runs to completion; handlers call each other directly.
class TfoMain : public QMainWindow
{
    Q_OBJECT
  public:
    explicit TfoMain(const TfoMainServices &services, QWidget *parent = nullptr);
    ~TfoMain() override;

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

    // Plays one effect from the sound folder without waiting; a new sound cuts off the old
    // one. Never fails: a sound that cannot be played gives the default sound, and without a
    // sound device nothing is heard.
    void PlaySoundFile(const QString &name);

    // The end of the eleventh question: the whistle, the report and the offer to go again.
    void EndLesson();

    // The board painted on any canvas as the client area paints itself: DrawBoard the bubble,
    // DrawQuestion the question last shown in it, FormPaint both (a question only in a lesson).
    void DrawBoard(QPainter &canvas);
    void DrawQuestion(QPainter &canvas);
    // The question as the board shows it ("5 + 2 ="), also to screen readers.
    QString questionText() const;

  protected:
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

  private:
    // The answer box holds four whole characters at most; once full, it takes no typed key.
    static constexpr int answerBoxCapacity = 4;

    void createControls();
    void createMenu();
    void connectHandlers();
    void openMusic();
    // Turns a key pressed in the answer box into the character it types and filters it;
    // true when the box must not see the key.
    bool answerKeyFilter(QKeyEvent *event);
    // Filters what an input method commits to the answer box, character by character, as
    // typed keys; the box never sees the event itself.
    bool answerInputFilter(QInputMethodEvent *event);
    // Hands committed characters to the answer box's handler one by one, as typed keys.
    void typeCommitted(const QStringList &characters);
    // The readme at `path` in the program's own text window.
    void showReadme(const QString &path);

    TfoMainServices m_services;
    QuestionBoard *m_board = nullptr; // the client area, where the bubble is painted
    RandomGenerator m_random;
    std::function<std::uint32_t()> m_seedClock = &utcMillisecondsOfDay;
    bool m_shown = false;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main window. A map of the class and its companions:
//
//   TfoMain.h           the class: its controls, the lesson it shows, its handlers
//   TfoMain.cpp         construction: controls, menu, the wiring of every event to its
//                       handler; start-up (FormCreate, FormShow), closing, PlaySoundFile
//   TfoMain_Lesson.cpp  choosing operation and level, starting a lesson, each new question,
//                       back to idle (GetQuote, GetLevel, PlayGame, NewQuestion, ResetLesson)
//   TfoMain_Answers.cpp typed keys, checking and counting answers, the report at the end
//                       (edAnswerKeyPress, CheckAnswer, NextSoal, EndLesson)
//   TfoMain_Board.cpp   the speech bubble and the question painted in it (FormPaint,
//                       DrawBoard, DrawQuestion)
//   TfoMain_Music.cpp   the background music (PlayMusic, MediaPlayer1Notify)
//   TfoMain_About.cpp   the about box and the readme (ABoutBox, Readme1Click)
//
// Its companions in app/: QuestionBoard, the client area that the bubble is painted on and
// that gives the question to screen readers; TypedKey, what a key types by the program's
// keyboard rules; WholeCharacters, the edit boxes' limits counted in whole characters;
// MenuFocus, the focus given back when the menus are left; Glyphs, the buttons' pictures.
//
// The lesson itself, its state and every rule of it, is core/Lesson: the handlers ask it what
// a key, an answer or the end does and show what it decides. The sounds are named in
// core/SoundEvents.h, the dialogs are in dialogs/, the music control in music/, the sound, the
// folders and the desktop in platform/.

#include "core/Lesson.h"
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

// What the window is given by whoever makes it (main, or a test): where the program's files
// are, and the services it plays and opens things with. The services must outlive the window.
struct TfoMainServices
{
    ProgramFolders folders;
    SoundSink &sounds;     // the sound effects (PlaySoundFile)
    MusicSystem &music;    // the background music (MediaPlayer1)
    DesktopOpener &opener; // links and the readme
};

// The main window: the lesson's controls and menu, the bubble the questions are painted in,
// and the lesson they show. Every user action arrives as one handler and runs to completion;
// handlers call each other directly.
class TfoMain : public QMainWindow
{
    Q_OBJECT
  public:
    explicit TfoMain(const TfoMainServices &services, QWidget *parent = nullptr);
    ~TfoMain() override;

    // Where each question's seed comes from; the UTC time of day unless a test sets a clock.
    void setSeedClock(std::function<std::uint32_t()> clock) { m_seedClock = std::move(clock); }

    // Controls, owned by the window.
    QLineEdit *edAnswer = nullptr;        // the answer box
    QLineEdit *edNo = nullptr;            // the question's number, read-only
    QLabel *Label4 = nullptr;             // "No. :", the number box's caption
    QLabel *Label3 = nullptr;             // the red "?" before the answer box
    TMediaPlayer *MediaPlayer1 = nullptr; // the invisible background-music control
    QMenuBar *MainMenu1 = nullptr;        // the menu bar
    QMenu *File1 = nullptr;               // "&File"
    QMenu *Pilihan1 = nullptr;            // "&Pilihan", the options
    QMenu *Help1 = nullptr;               // "&Help"
    QAction *Mulaibelajar1 = nullptr;     // "&Mulai belajar" (start learning), F2
    QAction *N1 = nullptr;                // a separator line, as are N2 … N5
    QAction *Next1 = nullptr;             // "Pertanyaan berikutnya" (next question), F3
    QAction *N2 = nullptr;                // a separator
    QAction *Keluar1 = nullptr;           // "Keluar", exit
    QMenu *Belajar1 = nullptr;            // "&Belajar" (learn): the four operations
    QAction *N3 = nullptr;                // a separator
    QMenu *Levelpelajaran1 = nullptr;     // "Level pelajaran": the three levels
    QAction *N4 = nullptr;                // a separator
    QAction *Hidupkanmusik = nullptr;     // "Hidupkan musik" / "Matikan musik": music on, off
    QStatusBar *StatusBar1 = nullptr;     // empty, there for its size grip
    BevelPanel *Panel1 = nullptr;         // the bevelled bar along the top
    QLabel *Label1 = nullptr;             // "&Nama pelajar:" (pupil's name); Alt+N: edName
    QLineEdit *edName = nullptr;          // the pupil's name, for the report
    QToolButton *btnPlay = nullptr;       // the calculator: start a lesson
    QToolButton *SpeedButton2 = nullptr;  // the light bulb: the about box
    QToolButton *SpeedButton3 = nullptr;  // the open door: exit
    QToolButton *btnNext = nullptr;       // the pointing hand: give the answer
    QAction *Penambahan = nullptr;        // addition
    QAction *Pengurangan = nullptr;       // subtraction
    QAction *Perkalian = nullptr;         // multiplication
    QAction *Pembagian = nullptr;         // division
    QAction *Level1 = nullptr;            // "Level 1"
    QAction *Level2 = nullptr;            // "Level 2"
    QAction *Level3 = nullptr;            // "Level 3"
    QAction *About1 = nullptr;            // "&About"
    QAction *N5 = nullptr;                // a separator
    QAction *Readme1 = nullptr;           // "Readme"
    QLabel *Image1 = nullptr;             // the picture of two children

    // The lesson the window shows: its state under the names it has always had (lesson.Score,
    // …) and its rules. Public, like the controls, so that tests can read and set it.
    Lesson lesson;

    // Handlers and the window's operations, public so that tests can drive them as the menu
    // does.
    void FormCreate(QObject *sender);                  // made: the music opened
    void FormShow(QObject *sender);                    // first shown: greeting, then idle
    void FormPaint(QPainter &canvas);                  // painting: bubble, question
    void GetQuote(QObject *sender);                    // the operation chosen in the menu
    void GetLevel(QObject *sender);                    // the level chosen in the menu
    void PlayGame(QObject *sender);                    // start: btnPlay, F2, "again?" Yes
    void NewQuestion();                                // the next question made and shown
    void ResetLesson();                                // back to idle, the name box ready
    void NextSoal(QObject *sender);                    // answer given ("soal": question)
    bool CheckAnswer();                                // the typed answer: right or wrong?
    void edAnswerKeyPress(QObject *sender, char &key); // a character typed into edAnswer
    void CloseApp(QObject *sender);                    // exit: SpeedButton3, "Keluar"
    void ABoutBox(QObject *sender);                    // the about box: SpeedButton2, About
    void Readme1Click(QObject *sender);                // the readme opened
    void PlayMusic(QObject *sender);                   // the music switched on or off
    void MediaPlayer1Notify(QObject *sender);          // the piece ended: play it again
    void DrawBoard(QPainter &canvas);                  // the empty bubble
    void DrawQuestion(QPainter &canvas);               // the question in the bubble

    // Plays one effect from the sound folder without waiting; a new sound cuts off the old
    // one. Never fails: a sound that cannot be played gives the default sound, and without a
    // sound device nothing is heard.
    void PlaySoundFile(SoundEvent sound);

    // The end of the lesson, once the last answer's key has been handled: the whistle, the
    // report and the offer to go again. Nothing when the lesson went on or idle meanwhile.
    void EndLesson();

    // The folder the program runs from, in the system's own spelling, with a trailing
    // separator ("C:\Program Files\Numbelo\" on Windows): the folders the window was given.
    QString AppDir() const;

  protected:
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

  private:
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
    std::function<std::uint32_t()> m_seedClock = &utcMillisecondsOfDay;
    bool m_shown = false;
};

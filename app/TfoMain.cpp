// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's construction: its controls, its menu and the wiring of every event to
// its handler; its start and its end. The other handlers are in the TfoMain_*.cpp files
// (see the map at the top of TfoMain.h).
#include "app/TfoMain.h"

#include "app/Glyphs.h"
#include "app/MenuFocus.h"
#include "app/QuestionBoard.h"
#include "app/WholeCharacters.h"
#include "core/Report.h"
#include "core/SoundEvents.h"
#include "dialogs/ErrorGuard.h"
#include "music/TMediaPlayer.h"
#include "platform/portable/SoundSink.h"
#include "widgets/BevelPanel.h"
#include "widgets/EditMenu.h"
#include "widgets/Png.h"
#include "widgets/TextFit.h"
#include "widgets/TopAligned.h"
#include "widgets/WindowLook.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolButton>

using namespace WindowLook;

namespace {
// The client area below the menu bar, in pixels.
constexpr int clientWidth = 334;
constexpr int clientHeight = 254;
constexpr int statusBarHeight = 19;
constexpr int panelHeight = 30;
// The window is drawn for its own size: never maximised, never full screen.
constexpr Qt::WindowStates refusedStates = Qt::WindowMaximized | Qt::WindowFullScreen;

// A label sized to its text (never narrower than the text, so nothing is cut off).
QLabel *makeLabel(const QString &text, QWidget *parent, int left, int top)
{
    auto *label = new QLabel(text, parent);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QToolButton *makeSpeedButton(const char *name, const QString &glyph, const QString &tip,
                             QWidget *parent, int left)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(left, 3, 25, 25);
    button->setIcon(glyphIcon(glyph));
    button->setIconSize(QSize(16, 16));
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}
} // namespace

TfoMain::TfoMain(const TfoMainServices &services, QWidget *parent)
    : QMainWindow(parent), m_services(services)
{
    setObjectName(QStringLiteral("foMain"));
    setWindowTitle(ProgramTitle.toString());
    setWindowIcon(programIcon());
    // Minimise and close, but no maximise; the border still resizes. A window manager that
    // maximises it all the same is undone (changeEvent).
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(makeFont(UiFace, UiPoints));

    MediaPlayer1 = new TMediaPlayer(m_services.music, this);
    MediaPlayer1->setObjectName(QStringLiteral("MediaPlayer1"));
    createControls();
    createMenu();
    connectHandlers();
    resize(clientWidth, menuBar()->sizeHint().height() + clientHeight);

    guarded([this] { FormCreate(this); });
}

TfoMain::~TfoMain() = default;

void TfoMain::createControls()
{
    m_board = new QuestionBoard([this](QPainter &canvas) { FormPaint(canvas); }, this);
    m_board->setObjectName(QStringLiteral("clientArea"));
    // The window never shrinks below its drawing, status bar included.
    m_board->setMinimumSize(clientWidth, clientHeight - statusBarHeight);
    setCentralWidget(m_board);

    Label4 = makeLabel(QStringLiteral("No. :"), m_board, 5, 43);
    Label4->setObjectName(QStringLiteral("Label4"));

    Label3 = new QLabel(QStringLiteral("?"), m_board);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setFont(makeFont(StampFace, 20, true));
    setTextColour(Label3, Qt::red);
    Label3->setGeometry(216, 50, std::max(13, Label3->sizeHint().width()), 34);

    Image1 = new QLabel(m_board);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(8, 120, 150, 100);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(QPixmap::fromImage(loadPng(QStringLiteral(":/images/image1.png"))));

    edAnswer = new QLineEdit(m_board);
    edAnswer->setObjectName(QStringLiteral("edAnswer"));
    edAnswer->setGeometry(240, 50, 81, 41);
    edAnswer->setFont(makeFont(TechnicalFace, 20, true));
    setTextColour(edAnswer, Qt::blue);
    setColour(edAnswer, QPalette::Base, edAnswer->palette().color(QPalette::Button));
    limitToWholeCharacters(edAnswer, AnswerCharacters);
    edAnswer->setToolTip(QStringLiteral("Tempat menjawab"));
    edAnswer->setAccessibleName(QStringLiteral("Jawaban"));
    edAnswer->setEnabled(false);
    edAnswer->installEventFilter(this);

    edNo = new QLineEdit(m_board);
    edNo->setObjectName(QStringLiteral("edNo"));
    edNo->setGeometry(32, 40, 35, 21);
    edNo->setReadOnly(true);
    // A click selects its number for copying; Tab passes it by.
    edNo->setFocusPolicy(Qt::ClickFocus);
    setColour(edNo, QPalette::Base, edNo->palette().color(QPalette::ToolTipBase));
    edNo->setToolTip(QStringLiteral("Nomor pertanyaan"));
    edNo->setAccessibleName(edNo->toolTip());

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(true);
    StatusBar1->setFixedHeight(statusBarHeight);
    setStatusBar(StatusBar1);

    Panel1 = new BevelPanel(m_board);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 0, clientWidth, panelHeight);
    alignToTop(Panel1);

    edName = new QLineEdit(QStringLiteral("Nuvanti"), Panel1);
    edName->setObjectName(QStringLiteral("edName"));
    edName->setGeometry(75, 5, 78, 21);
    // A pasted line break or control character becomes a space, in the box as in the report.
    limitToWholeCharacters(edName, 10, &nameOnOneLine);
    edName->setAccessibleName(QStringLiteral("Nama pelajar"));

    Label1 = makeLabel(QStringLiteral("&Nama pelajar:"), Panel1, 5, 7);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setBuddy(edName);
    // Font engines differ: the label must neither be cut off nor run into the name box.
    TextFit::placeLine(Label1, Label1->pos(), Label1->x(), edName->x() - 1);

    btnPlay = makeSpeedButton("btnPlay", QStringLiteral("glyph_play.png"),
                              QStringLiteral("Mulai belajar"), Panel1, 160);
    SpeedButton2 = makeSpeedButton("SpeedButton2", QStringLiteral("glyph_about.png"),
                                   QStringLiteral("Tentang Numbelo"), Panel1, 190);
    SpeedButton3 = makeSpeedButton("SpeedButton3", QStringLiteral("glyph_exit.png"),
                                   QStringLiteral("Keluar"), Panel1, 227);
    btnNext = makeSpeedButton("btnNext", QStringLiteral("glyph_next.png"),
                              QStringLiteral("Pertanyaan berikutnya"), Panel1, 275);

    // The answer box first, then the name box; disabled boxes are skipped.
    setTabOrder(edAnswer, edName);
    for (QLineEdit *box : {edAnswer, edName, edNo})
        useEditMenu(box);
}

void TfoMain::createMenu()
{
    MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    auto named = [](QAction *action, const char *name) {
        action->setObjectName(QLatin1String(name));
        return action;
    };

    File1 = MainMenu1->addMenu(QStringLiteral("&File"));
    File1->setObjectName(QStringLiteral("File1"));
    Mulaibelajar1 = named(File1->addAction(QStringLiteral("&Mulai belajar")), "Mulaibelajar1");
    Mulaibelajar1->setShortcut(Qt::Key_F2);
    N1 = named(File1->addSeparator(), "N1");
    Next1 = named(File1->addAction(QStringLiteral("Pertanyaan berikutnya")), "Next1");
    Next1->setShortcut(Qt::Key_F3);
    N2 = named(File1->addSeparator(), "N2");
    Keluar1 = named(File1->addAction(QStringLiteral("Keluar")), "Keluar1");

    Pilihan1 = MainMenu1->addMenu(QStringLiteral("&Pilihan"));
    Pilihan1->setObjectName(QStringLiteral("Pilihan1"));
    Belajar1 = Pilihan1->addMenu(QStringLiteral("&Belajar"));
    Belajar1->setObjectName(QStringLiteral("Belajar1"));
    auto *operations = new QActionGroup(this);
    auto radio = [](QActionGroup *group, QMenu *menu, const QString &caption, const char *name) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setCheckable(true);
        group->addAction(action);
        return action;
    };
    Penambahan = radio(operations, Belajar1, QStringLiteral("Penambahan"), "Penambahan");
    Pengurangan = radio(operations, Belajar1, QStringLiteral("Pengurangan"), "Pengurangan");
    Perkalian = radio(operations, Belajar1, QStringLiteral("Perkalian"), "Perkalian");
    Pembagian = radio(operations, Belajar1, QStringLiteral("Pembagian"), "Pembagian");
    Penambahan->setChecked(true);
    N3 = named(Pilihan1->addSeparator(), "N3");
    Levelpelajaran1 = Pilihan1->addMenu(QStringLiteral("Level pelajaran"));
    Levelpelajaran1->setObjectName(QStringLiteral("Levelpelajaran1"));
    auto *levels = new QActionGroup(this);
    Level1 = radio(levels, Levelpelajaran1, QStringLiteral("Level 1"), "Level1");
    Level2 = radio(levels, Levelpelajaran1, QStringLiteral("Level 2"), "Level2");
    Level3 = radio(levels, Levelpelajaran1, QStringLiteral("Level 3"), "Level3");
    N4 = named(Pilihan1->addSeparator(), "N4");
    Hidupkanmusik = named(Pilihan1->addAction(QStringLiteral("Hidupkan musik")), "Hidupkanmusik");

    Help1 = MainMenu1->addMenu(QStringLiteral("&Help"));
    Help1->setObjectName(QStringLiteral("Help1"));
    About1 = named(Help1->addAction(QStringLiteral("&About")), "About1");
    N5 = named(Help1->addSeparator(), "N5");
    Readme1 = named(Help1->addAction(QStringLiteral("Readme")), "Readme1");

    // Popup menus are windows of their own, which Windows would give its menu face (resolved by
    // Wine to a serif one): they are written in the program's face, as its other windows are.
    const QList<QMenu *> menus = MainMenu1->findChildren<QMenu *>();
    for (QMenu *menu : menus)
        menu->setFont(font());

    // Leaving the menus, the keys go where they went before, or where the lesson wants them.
    keepFocusAcrossMenus(MainMenu1, [this] { return edAnswer->isEnabled() ? edAnswer : edName; });
}

void TfoMain::connectHandlers()
{
    auto bind = [this](QAction *action, void (TfoMain::*handler)(QObject *)) {
        connect(action, &QAction::triggered, this,
                [this, action, handler] { guarded([=, this] { (this->*handler)(action); }); });
    };
    auto bindButton = [this](QToolButton *button, void (TfoMain::*handler)(QObject *)) {
        connect(button, &QToolButton::clicked, this,
                [this, button, handler] { guarded([=, this] { (this->*handler)(button); }); });
    };
    bind(Mulaibelajar1, &TfoMain::PlayGame);
    bind(Next1, &TfoMain::NextSoal);
    bind(Keluar1, &TfoMain::CloseApp);
    for (QAction *item : {Penambahan, Pengurangan, Perkalian, Pembagian})
        bind(item, &TfoMain::GetQuote);
    for (QAction *item : {Level1, Level2, Level3})
        bind(item, &TfoMain::GetLevel);
    bind(Hidupkanmusik, &TfoMain::PlayMusic);
    bind(About1, &TfoMain::ABoutBox);
    bind(Readme1, &TfoMain::Readme1Click);
    bindButton(btnPlay, &TfoMain::PlayGame);
    bindButton(SpeedButton2, &TfoMain::ABoutBox);
    bindButton(SpeedButton3, &TfoMain::CloseApp);
    bindButton(btnNext, &TfoMain::NextSoal);
    MediaPlayer1->OnNotify = [this](QObject *sender) {
        guarded([this, sender] { MediaPlayer1Notify(sender); });
    };
}

void TfoMain::FormCreate(QObject *)
{
    openMusic();
}

QString TfoMain::AppDir() const
{
    return QDir::toNativeSeparators(m_services.folders.programDir);
}

void TfoMain::showEvent(QShowEvent *event)
{
    if (!m_shown) {
        m_shown = true;
        centreOnScreen(this);
        guarded([this] { FormShow(this); });
    }
    QMainWindow::showEvent(event);
}

void TfoMain::FormShow(QObject *)
{
    PlaySoundFile(SoundEvents::Greeting);
    GetQuote(nullptr);
    GetLevel(nullptr);
}

void TfoMain::CloseApp(QObject *)
{
    close();
}

void TfoMain::PlaySoundFile(SoundEvent sound)
{
    m_services.sounds.playSound(sound.file());
}

void TfoMain::changeEvent(QEvent *event)
{
    // The window offers no maximise, but some window managers (openbox) maximise any resizable
    // window, from their own button or a double click on the title: the drawing would sit in
    // the corner of a large grey area. The window goes back to its size at once.
    if (event->type() == QEvent::WindowStateChange && (windowState() & refusedStates))
        QMetaObject::invokeMethod(
            this, [this] { setWindowState(windowState() & ~refusedStates); }, Qt::QueuedConnection);
    QMainWindow::changeEvent(event);
}

bool TfoMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == edAnswer && event->type() == QEvent::KeyPress)
        return answerKeyFilter(static_cast<QKeyEvent *>(event));
    if (watched == edAnswer && event->type() == QEvent::InputMethod)
        return answerInputFilter(static_cast<QInputMethodEvent *>(event));
    return QMainWindow::eventFilter(watched, event);
}

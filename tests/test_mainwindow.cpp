// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as a child meets it: its start, choosing operation and level, starting a
// lesson and the questions painted in the bubble.
#include "AudioEngine.h"
#include "LessonRules.h"
#include "Question.h"
#include "RandomGenerator.h"
#include "RecordingDesktopOpener.h"
#include "RecordingSoundSink.h"
#include "Startup.h"
#include "TestServices.h"
#include "TfoMain.h"
#include "WindowLook.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

class TestMainWindow : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase() { prepareApplication(*qApp); }
    void init();
    void cleanup();
    void startsIdleWithAdditionAndLevelOne();
    void startLoadsOnlyWhatTheWindowShows_data();
    void startLoadsOnlyWhatTheWindowShows();
    void layoutMatchesTheDrawing();
    void facesResolveToTheirFiles_data();
    void facesResolveToTheirFiles();
    void menusThatDoNotFitAreBehindTheOverflowButton();
    void lessonStartsAndAsksQuestions();
    void menuChoiceDuringLessonEndsIt_data();
    void menuChoiceDuringLessonEndsIt();
    void f2RestartsARunningLesson();
    void questionsFollowTheClock_data();
    void questionsFollowTheClock();
    void bubbleAndQuestionArePainted();
    void exitEndsAtOnce();

  private:
    QImage grabClient() const;
    bool isIdle() const;
    bool isInLesson() const;

    RecordingSoundSink m_sounds;
    RecordingDesktopOpener m_opener;
    std::unique_ptr<AudioEngine> m_audio;
    std::unique_ptr<TfoMain> m_window;
    quint32 m_seed = 0;
};

void TestMainWindow::init()
{
    m_sounds.played.clear();
    m_audio = std::make_unique<AudioEngine>(nullptr);
    m_window = std::make_unique<TfoMain>(testServices(m_sounds, &m_audio->mixer(), m_opener));
    m_seed = 1000;
    m_window->setSeedClock([this] { return m_seed; });
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestMainWindow::cleanup()
{
    m_window.reset();
    m_audio.reset();
}

bool TestMainWindow::isIdle() const
{
    const TfoMain &w = *m_window;
    return w.btnPlay->isEnabled() && w.edName->isEnabled() && !w.edAnswer->isEnabled() &&
           !w.btnNext->isEnabled() && !w.Next1->isEnabled() && w.Mulaibelajar1->isEnabled() &&
           w.QuestionNo == 0;
}

bool TestMainWindow::isInLesson() const
{
    const TfoMain &w = *m_window;
    return !w.btnPlay->isEnabled() && !w.edName->isEnabled() && w.edAnswer->isEnabled() &&
           w.btnNext->isEnabled() && w.Next1->isEnabled() && w.QuestionNo >= 1;
}

QImage TestMainWindow::grabClient() const
{
    return m_window->centralWidget()->grab().toImage();
}

void TestMainWindow::startsIdleWithAdditionAndLevelOne()
{
    TfoMain &w = *m_window;
    QCOMPARE(w.windowTitle(), QStringLiteral("Numbelo 2000"));
    QCOMPARE(m_sounds.played, QStringList{QStringLiteral("Laser.wav")});
    QVERIFY(w.Penambahan->isChecked());
    QVERIFY(w.Level1->isChecked());
    QCOMPARE(w.Operation, '+');
    QCOMPARE(w.Level, 1);
    QVERIFY(isIdle());
    QCOMPARE(w.edName->text(), QStringLiteral("Nuvanti"));
    QVERIFY(w.edNo->text().isEmpty());
    QVERIFY(w.edAnswer->text().isEmpty());
    QTRY_COMPARE(QApplication::focusWidget(), w.edName);
    QVERIFY(!AppDir.isEmpty() && AppDir.endsWith(u'/'));
    QCOMPARE(w.Hidupkanmusik->text(), QStringLiteral("Hidupkan musik"));
}

void TestMainWindow::startLoadsOnlyWhatTheWindowShows_data()
{
    QTest::addColumn<QString>("library"); // part of the path of a library file
    QTest::newRow("image plugins: the pictures are read as PNG") << "/imageformats/";
    QTest::newRow("JPEG library") << "/libjpeg.so";
    QTest::newRow("synthesizer: loaded when the music first plays") << "/libfluidsynth.so";
}

void TestMainWindow::startLoadsOnlyWhatTheWindowShows()
{
    QFETCH(QString, library);
    QFile maps(QStringLiteral("/proc/self/maps"));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    const QString mapped = QString::fromLocal8Bit(maps.readAll());
    QVERIFY2(!mapped.contains(library), qPrintable(library));
}

void TestMainWindow::layoutMatchesTheDrawing()
{
    TfoMain &w = *m_window;
    QCOMPARE(w.centralWidget()->width(), 334);
    QCOMPARE(w.centralWidget()->height() + w.StatusBar1->height(), 254);
    QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    QCOMPARE(w.edAnswer->geometry(), QRect(240, 50, 81, 41));
    QCOMPARE(w.edNo->geometry(), QRect(32, 40, 35, 21));
    QCOMPARE(w.Image1->geometry(), QRect(8, 120, 150, 100));
    QCOMPARE(w.edName->geometry(), QRect(75, 5, 78, 21));
    QCOMPARE(w.btnNext->geometry(), QRect(275, 3, 25, 25));
    QCOMPARE(w.edAnswer->maxLength(), 4);
    QCOMPARE(w.edName->maxLength(), 10);
    QVERIFY(w.edNo->isReadOnly());
    QCOMPARE(w.edNo->focusPolicy(), Qt::NoFocus);
    QVERIFY(w.StatusBar1->isSizeGripEnabled());
    QCOMPARE(w.Mulaibelajar1->shortcut(), QKeySequence(Qt::Key_F2));
    QCOMPARE(w.Next1->shortcut(), QKeySequence(Qt::Key_F3));
    const QList<QPair<QWidget *, QString>> tips{
        {w.edAnswer, "Tempat menjawab"}, {w.edNo, "Nomor pertanyaan"},
        {w.btnPlay, "Mulai belajar"},    {w.SpeedButton2, "Tentang Numbelo"},
        {w.SpeedButton3, "Keluar"},      {w.btnNext, "Pertanyaan berikutnya"}};
    for (const auto &[widget, tip] : tips)
        QCOMPARE(widget->toolTip(), tip);
    // Labels are at least as wide as their text: nothing is cut off.
    for (QLabel *label : {w.Label1, w.Label3, w.Label4})
        QVERIFY(label->width() >= label->sizeHint().width());
    QVERIFY(w.Label1->geometry().right() < w.edName->geometry().left());
    QCOMPARE(w.menuBar()->actions().size(), 3);
}

void TestMainWindow::facesResolveToTheirFiles_data()
{
    QTest::addColumn<QString>("control"); // whose font is checked; empty: makeFont(family)
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("resolved"); // a family without a foundry: from any foundry
    QTest::newRow("window text") << "clientArea" << QString() << "Liberation Sans";
    // The OpenType files, not the slower Type 1 files of the same family.
    QTest::newRow("question mark") << "Label3" << QString() << "URW Bookman [UKWN]";
    QTest::newRow("typed answer") << "edAnswer" << QString() << "DejaVu Sans Mono";
    QTest::newRow("foundry not installed: the family from another")
        << QString() << "URW Bookman [none]"
        << "URW Bookman";
}

void TestMainWindow::facesResolveToTheirFiles()
{
    QFETCH(QString, control);
    QFETCH(QString, family);
    QFETCH(QString, resolved);
    QFont font = WindowLook::makeFont(family, 20, true);
    if (!control.isEmpty()) {
        const auto *widget = m_window->findChild<QWidget *>(control);
        QVERIFY(widget);
        font = widget->font();
    }
    const QString found = QFontInfo(font).family();
    QVERIFY2(found == resolved ||
                 (!resolved.contains(u'[') && found.startsWith(resolved + QStringLiteral(" ["))),
             qPrintable(found));
}

void TestMainWindow::menusThatDoNotFitAreBehindTheOverflowButton()
{
    // The window is never narrower than its menus; a menu bar half as wide as they need, with
    // the same menus, shows what would happen if it were.
    QMenuBar bar;
    bar.addActions(m_window->menuBar()->actions());
    bar.resize(bar.sizeHint().width() / 2, bar.sizeHint().height());
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    auto *more = bar.findChild<QToolButton *>(QStringLiteral("qt_menubar_ext_button"));
    QVERIFY(more != nullptr && more->isVisible());
    QVERIFY(more->menu() != nullptr);
    QVERIFY(more->menu()->actions().contains(m_window->Help1->menuAction()));
    // Its picture is drawn, in the colour of the button's text.
    const QImage picture = more->icon().pixmap(16).toImage();
    const QRgb ink = more->palette().color(QPalette::ButtonText).rgb() & RGB_MASK;
    int inked = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            inked += qAlpha(picture.pixel(x, y)) > 128 && (picture.pixel(x, y) & RGB_MASK) == ink;
    }
    QVERIFY2(inked >= 8, qPrintable(QString::number(inked)));
}

void TestMainWindow::lessonStartsAndAsksQuestions()
{
    TfoMain &w = *m_window;
    QTest::mouseClick(w.btnPlay, Qt::LeftButton);
    QVERIFY(isInLesson());
    QCOMPARE(w.QuestionNo, 1);
    QCOMPARE(w.edNo->text(), QStringLiteral("1"));
    QCOMPARE(w.Score, 0);
    QCOMPARE(w.Attempt, 1);
    QVERIFY(!w.IsLastQuestion);
    QCOMPARE(m_sounds.played.last(), QStringLiteral("Good.wav"));
    QTRY_COMPARE(QApplication::focusWidget(), w.edAnswer);
    for (int i = 2; i <= QuestionsPerLesson; ++i)
        w.NewQuestion();
    QCOMPARE(w.QuestionNo, 11);
    QVERIFY(w.IsLastQuestion);
}

void TestMainWindow::menuChoiceDuringLessonEndsIt_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<char>("operation");
    QTest::addColumn<int>("level");
    QTest::newRow("same operation") << "Penambahan" << '+' << 1;
    QTest::newRow("subtraction") << "Pengurangan" << '-' << 1;
    QTest::newRow("multiplication") << "Perkalian" << 'X' << 1;
    QTest::newRow("division") << "Pembagian" << ':' << 1;
    QTest::newRow("same level") << "Level1" << '+' << 1;
    QTest::newRow("level 2") << "Level2" << '+' << 2;
    QTest::newRow("level 3") << "Level3" << '+' << 3;
}

void TestMainWindow::menuChoiceDuringLessonEndsIt()
{
    QFETCH(QString, item);
    TfoMain &w = *m_window;
    w.edName->setText(QStringLiteral("Budi"));
    w.Mulaibelajar1->trigger();
    QVERIFY(isInLesson());
    auto *action = w.findChild<QAction *>(item);
    QVERIFY(action);
    action->trigger();
    QVERIFY(isIdle());
    QVERIFY(action->isChecked());
    QTEST(w.Operation, "operation");
    QTEST(w.Level, "level");
    QCOMPARE(w.edName->text(), QStringLiteral("Budi"));
    QVERIFY(w.edNo->text().isEmpty());
    // The radio groups keep exactly one choice each.
    const int operationsChecked = int(w.Penambahan->isChecked()) + w.Pengurangan->isChecked() +
                                  w.Perkalian->isChecked() + w.Pembagian->isChecked();
    const int levelsChecked =
        int(w.Level1->isChecked()) + w.Level2->isChecked() + w.Level3->isChecked();
    QCOMPARE(operationsChecked, 1);
    QCOMPARE(levelsChecked, 1);
}

void TestMainWindow::f2RestartsARunningLesson()
{
    TfoMain &w = *m_window;
    w.activateWindow();
    QTest::keyClick(w.edName, Qt::Key_F2);
    QVERIFY(isInLesson());
    w.NewQuestion();
    w.NewQuestion();
    w.Score = 2;
    QCOMPARE(w.QuestionNo, 3);
    QTest::keyClick(w.edAnswer, Qt::Key_F2);
    QCOMPARE(w.QuestionNo, 1);
    QCOMPARE(w.Score, 0);
    QVERIFY(isInLesson());
}

void TestMainWindow::questionsFollowTheClock_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("level");
    QTest::newRow("addition 1") << "Penambahan"
                                << "Level1";
    QTest::newRow("subtraction 2") << "Pengurangan"
                                   << "Level2";
    QTest::newRow("multiplication 3") << "Perkalian"
                                      << "Level3";
    QTest::newRow("division 3") << "Pembagian"
                                << "Level3";
}

void TestMainWindow::questionsFollowTheClock()
{
    QFETCH(QString, item);
    QFETCH(QString, level);
    TfoMain &w = *m_window;
    w.findChild<QAction *>(item)->trigger();
    w.findChild<QAction *>(level)->trigger();
    m_seed = 45296789;
    w.PlayGame(nullptr);
    // The same seed drawn again by hand gives the same question.
    RandomGenerator random(m_seed);
    const Question expected = makeQuestion(w.Operation, w.Level, random);
    QCOMPARE(w.OperandA, expected.operandA);
    QCOMPARE(w.OperandB, expected.operandB);
    QCOMPARE(w.Answer, expected.answer);
}

void TestMainWindow::bubbleAndQuestionArePainted()
{
    TfoMain &w = *m_window;
    const QRgb yellow = qRgb(255, 255, 0);
    QImage idle = grabClient();
    QCOMPARE(idle.pixel(140, 67), yellow);  // inside the bubble
    QCOMPARE(idle.pixel(120, 100), yellow); // inside the tail
    QVERIFY(idle.pixel(60, 67) != yellow);  // left of the bubble

    auto bluePixels = [](const QImage &image) {
        int count = 0;
        for (int y = 40; y < 95; ++y)
            for (int x = 70; x < 210; ++x)
                count += image.pixel(x, y) == qRgb(0, 0, 255);
        return count;
    };
    QCOMPARE(bluePixels(idle), 0);

    m_seed = 4321;
    w.PlayGame(nullptr);
    const QImage asking = grabClient();
    QVERIFY2(bluePixels(asking) > 50, "the question is written in blue inside the bubble");
    QCOMPARE(asking.pixel(205, 44), idle.pixel(205, 44)); // outside the ellipse: untouched

    // Covering and uncovering repaints the same question; after a reset, the empty bubble.
    w.hide();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QRect bubble(60, 35, 160, 80);
    QCOMPARE(grabClient().copy(bubble), asking.copy(bubble));
    w.ResetLesson();
    QCOMPARE(bluePixels(grabClient()), 0);
}

void TestMainWindow::exitEndsAtOnce()
{
    TfoMain &w = *m_window;
    w.PlayGame(nullptr);
    QTest::mouseClick(w.SpeedButton3, Qt::LeftButton);
    QVERIFY(!w.isVisible());
    w.show();
    w.Keluar1->trigger();
    QVERIFY(!w.isVisible());
}

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// Starting with a tune that cannot be played: one error box before the window shows, then a
// program that works, with the music item saying so.
//
// The window finds the tune beside the program file, so each case runs this test program
// again from a folder of its own (hard-linked there, with the bad tune as sound/zamba.mid):
// badMusicAtStart() prepares the folder and starts the copy with the one test function
// startsWithBadMusic(), which does the checking and is skipped when run any other way. What is
// done each system's way is in test_music_startup_linux.cpp and _windows.cpp.
#include "app/TfoMain.h"
#include "music/TMediaPlayer.h"
#include "platform/portable/AudioEngine.h"
#include "startup/Startup.h"
#include "tests/support/ModalHelper.h"
#include "tests/support/RecordingDesktopOpener.h"
#include "tests/support/RecordingSoundSink.h"
#include "tests/support/TestServices.h"
#include "tests/widgets/test_music_startup_system.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using ModalHelper::ModalAnswers;

namespace {
const char *expectVariable = "NUMBELO_EXPECT_MUSIC_ERROR";

void pressEnter(QWidget *dialog)
{
    ModalHelper::pressKey(dialog, Qt::Key_Return);
}

bool mainWindowVisible()
{
    const auto windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](QWidget *window) {
        return qobject_cast<TfoMain *>(window) != nullptr && window->isVisible();
    });
}
} // namespace

class TestMusicStartup : public QObject
{
    Q_OBJECT
  private slots:
    void badMusicAtStart_data();
    void badMusicAtStart();
    void startsWithBadMusic();
};

void TestMusicStartup::badMusicAtStart_data()
{
    QTest::addColumn<QString>("fixture"); // copied as sound/zamba.mid; empty: no tune at all
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << QString() << " cannot be found";
    QTest::newRow("empty") << "empty.mid"
                           << " is empty";
    QTest::newRow("garbage") << "garbage.mid"
                             << " is not a MIDI file";
    QTest::newRow("truncated") << "truncated.mid"
                               << " is incomplete: it ends in the middle of its data";
    QTest::newRow("no notes") << "notes_none.mid"
                              << " contains no music";
}

void TestMusicStartup::badMusicAtStart()
{
    QFETCH(QString, fixture);
    QFETCH(QString, reason);
    if (fixture.isEmpty() && QFile::exists(QStringLiteral(NUMBELO_DATA_DIR "/sound/zamba.mid")))
        QSKIP("an installed copy of the tune would be found instead");

    QTemporaryDir folder(QStringLiteral(NUMBELO_BINARY_DIR "/music-start-XXXXXX"));
    QVERIFY(folder.isValid());
    QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("sound")));
    const QString tune = folder.filePath(QStringLiteral("sound/zamba.mid"));
    if (!fixture.isEmpty())
        QVERIFY(QFile::copy(QStringLiteral(NUMBELO_TEST_DATA "/music/") + fixture, tune));
    if (expectedMusicError(tune, reason).isEmpty())
        QSKIP("the system's sequencer plays this file");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QLatin1String(expectVariable), reason);
    const QString program = copyTestProgram(folder.path(), environment);
    QVERIFY(QFile::exists(program));

    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    // Its log in a file: a Windows program's standard output does not always come through.
    const QString log = folder.filePath(QStringLiteral("log.txt"));
    child.start(program, {QStringLiteral("startsWithBadMusic"), QStringLiteral("-o"),
                          log + QStringLiteral(",txt")});
    QVERIFY(child.waitForStarted());
    QVERIFY(child.waitForFinished(240000));
    QFile logFile(log);
    QVERIFY(logFile.open(QIODevice::ReadOnly));
    const QString output = QString::fromLocal8Bit(child.readAll() + logFile.readAll());
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
             qPrintable(output));
    QVERIFY2(output.contains(QStringLiteral("PASS   : TestMusicStartup::startsWithBadMusic()")),
             qPrintable(output));
}

void TestMusicStartup::startsWithBadMusic()
{
    if (!qEnvironmentVariableIsSet(expectVariable))
        QSKIP("run by badMusicAtStart() in a folder of its own");
    const QString expected = expectedMusicError(QCoreApplication::applicationDirPath() +
                                                    QStringLiteral("/sound/zamba.mid"),
                                                qEnvironmentVariable(expectVariable));
    prepareApplication(*qApp);
    RecordingSoundSink sounds;
    AudioEngine audio(nullptr);
    const std::unique_ptr<MusicSystem> music = testMusic(&audio.mixer());

    ModalAnswers answers;
    bool windowShownBeforeTheBox = true;
    answers.add([&](QWidget *box) {
        windowShownBeforeTheBox = mainWindowVisible();
        pressEnter(box);
    });
    answers.add(pressEnter);
    RecordingDesktopOpener desktop;
    TfoMain window(testServices(sounds, *music, desktop));
    QCOMPARE(answers.seen().size(), 1);
    QCOMPARE(answers.seen().at(0).objectName, QStringLiteral("errorBox"));
    QCOMPARE(answers.seen().at(0).text, expected);
    QVERIFY(!windowShownBeforeTheBox);

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(!window.MediaPlayer1->opened());
    QCOMPARE(window.Hidupkanmusik->text(), QStringLiteral("Hidupkan musik"));

    // A lesson goes on as always.
    QTest::mouseClick(window.btnPlay, Qt::LeftButton);
    QCOMPARE(window.lesson.QuestionNo, 1);
    QTest::keyClicks(window.edAnswer, QString::number(window.lesson.Answer));
    QTest::keyClick(window.edAnswer, Qt::Key_Return);
    QCOMPARE(window.lesson.QuestionNo, 2);
    QCOMPARE(window.lesson.Score, 1);
    QVERIFY(sounds.played.contains(QStringLiteral("Benar.wav")));

    // The music item: the device is not open, and the caption says the music is off.
    window.Hidupkanmusik->trigger();
    QCOMPARE(answers.seen().size(), 2);
    QCOMPARE(answers.seen().at(1).text, QStringLiteral("No MCI device open."));
    QCOMPARE(window.Hidupkanmusik->text(), QStringLiteral("&Hidupkan musik"));
    QVERIFY(answers.unanswered().isEmpty());
    QVERIFY(window.isVisible());
}

QTEST_MAIN(TestMusicStartup)
#include "test_music_startup.moc"

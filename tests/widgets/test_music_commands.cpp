// SPDX-License-Identifier: GPL-3.0-or-later
// What the music control and the window ask of the system's sequencer, command by command, on
// a device that writes the commands down instead of playing: open, play (rewinding at the end),
// stop, the mode, and the end of the piece coming back through the event queue. The same on
// every system; the sequencers themselves are tested on their own systems.
#include "app/TfoMain.h"
#include "core/Errors.h"
#include "music/TMediaPlayer.h"
#include "startup/Startup.h"
#include "tests/support/ModalHelper.h"
#include "tests/support/MusicNotifications.h"
#include "tests/support/RecordingDesktopOpener.h"
#include "tests/support/RecordingMusic.h"
#include "tests/support/RecordingSoundSink.h"
#include "tests/support/TestServices.h"

#include <QAction>
#include <QDir>
#include <QTest>

using ModalHelper::ModalAnswers;
using Modes = TMediaPlayer::TMPModes;

class TestMusicCommands : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase() { prepareApplication(*qApp); }
    void controlCommands_data();
    void controlCommands();
    void notifications_data();
    void notifications();
    void menuCommands_data();
    void menuCommands();
};

void TestMusicCommands::controlCommands_data()
{
    // Steps: the control's own commands, "rewind-" (AutoRewind off), "at <n>" (the piece has
    // played to tick n; the length is 1000), "fail-open" and "fail-play" (the next open or play
    // fails). Then what the device was asked, the mode it ends in and the error thrown, if any.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("error");
    const QString open = QStringLiteral("open tune.mid");
    QTest::newRow("opening asks for nothing else") << "open" << QStringList{open} << "stopped"
                                                   << "";
    QTest::newRow("play from the current place, rewinding at the end")
        << "open play" << QStringList{open, "prepare", "play rewind"} << "playing"
        << "";
    QTest::newRow("without AutoRewind no rewinding")
        << "rewind- open at 1000 play" << QStringList{open, "prepare", "play"} << "stopped"
        << "";
    QTest::newRow("play at the end starts again")
        << "open at 1000 play" << QStringList{open, "prepare", "play rewind"} << "playing"
        << "";
    QTest::newRow("stop") << "open play stop" << QStringList{open, "prepare", "play rewind", "stop"}
                          << "stopped"
                          << "";
    QTest::newRow("a second open closes the first device")
        << "open open" << QStringList{open, "close", open} << "stopped"
        << "";
    QTest::newRow("close") << "open close" << QStringList{open, "close"} << "not ready"
                           << "";
    QTest::newRow("a device that did not open is closed at once")
        << "fail-open open" << QStringList{open, "close"} << "not ready"
        << "no such tune";
    QTest::newRow("play with nothing open asks nothing") << "play" << QStringList{} << "not ready"
                                                         << "No MCI device open";
    QTest::newRow("stop with nothing open asks nothing") << "stop" << QStringList{} << "not ready"
                                                         << "No MCI device open";
    QTest::newRow("a play that fails is not thrown")
        << "open fail-play play" << QStringList{open, "prepare", "play rewind"} << "stopped"
        << "";
}

void TestMusicCommands::controlCommands()
{
    QFETCH(QString, steps);
    RecordingMusic music;
    TMediaPlayer player(music);
    player.FileName = QStringLiteral("tune.mid");
    QString error;
    const QStringList words = steps.split(u' ');
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString &step = words[i];
        try {
            if (step == u"open")
                player.Open();
            else if (step == u"play")
                player.Play();
            else if (step == u"stop")
                player.Stop();
            else if (step == u"close")
                player.Close();
            else if (step == u"rewind-")
                player.AutoRewind = false;
            else if (step == u"at")
                music.device->at = words[++i].toInt();
            else if (step == u"fail-open")
                music.nextOpenProblem = {MusicProblem::Kind::PlatformText, {}, u"no such tune"_qs};
            else if (step == u"fail-play")
                music.device->playProblem = {MusicProblem::Kind::PlatformText, {}, u"busy"_qs};
            else
                QFAIL(qPrintable(step));
        } catch (const EMCIDeviceError &thrown) {
            error = thrown.message();
        }
    }
    QTEST(error, "error");
    if (!steps.contains(u"fail-play"))
        QVERIFY(player.ErrorMessage().isEmpty());
    else
        QCOMPARE(player.ErrorMessage(), QStringLiteral("busy"));
    // The mode is asked of the device only while one is open.
    const QStringList asked = music.log;
    const Modes mode = player.Mode();
    QTEST(asked, "asked");
    const QString modeName = mode == Modes::mpPlaying    ? u"playing"_qs
                             : mode == Modes::mpStopped  ? u"stopped"_qs
                             : mode == Modes::mpNotReady ? u"not ready"_qs
                                                         : u"other"_qs;
    QTEST(modeName, "mode");
    QCOMPARE(music.log.size() - asked.size(), qsizetype(player.opened() ? 1 : 0));
}

void TestMusicCommands::notifications_data()
{
    MusicNotifications::addRows();
}

void TestMusicCommands::notifications()
{
    QFETCH(QString, commands);
    RecordingMusic music;
    TMediaPlayer player(music);
    QStringList notified;
    player.OnNotify = [&](QObject *sender) {
        QCOMPARE(sender, &player);
        notified << MusicNotifications::nameOf(player.NotifyValue());
    };
    player.FileName = QStringLiteral("tune.mid");
    player.Open();
    // After a close there is no device left to play to its end.
    const auto playToTheEnd = [&music] {
        if (music.device != nullptr)
            music.device->playToTheEnd();
    };
    MusicNotifications::run(player, commands, playToTheEnd);
    if (QTest::currentTestFailed())
        return;
    MusicNotifications::check(notified, commands, playToTheEnd);
}

void TestMusicCommands::menuCommands_data()
{
    // Steps: "menu" chooses the music item, "end" plays the piece to its end and lets the event
    // queue through, "at <n>" moves the piece on, "no-synth" makes every play fail before it
    // starts. Then what the device was asked after opening, the caption, where the piece is
    // and the error box, if any.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("at");
    QTest::addColumn<QString>("errorBox");
    const QStringList on{"mode", "prepare", "play rewind"};
    const QStringList off{"mode", "stop"};
    QTest::newRow("on") << "menu" << on << "&Matikan musik" << 0 << "";
    QTest::newRow("on and off") << "menu at 400 menu" << on + off << "&Hidupkan musik" << 400 << "";
    QTest::newRow("on again resumes where it stopped")
        << "menu at 400 menu menu" << on + off + on << "&Matikan musik" << 400 << "";
    QTest::newRow("the end of the piece starts it again")
        << "menu end" << on + QStringList{"prepare", "play rewind"} << "&Matikan musik" << 0 << "";
    QTest::newRow("and again") << "menu end end"
                               << on + QStringList{"prepare", "play rewind", "prepare",
                                                   "play rewind"}
                               << "&Matikan musik" << 0 << "";
    QTest::newRow("switched off, the end of the piece does nothing")
        << "menu menu end" << on + off << "&Hidupkan musik" << 0 << "";
    QTest::newRow("a device that cannot play leaves the music off")
        << "no-synth menu" << QStringList{"mode", "prepare"} << "&Hidupkan musik" << 0
        << "no synthesizer.";
}

void TestMusicCommands::menuCommands()
{
    QFETCH(QString, steps);
    RecordingSoundSink sounds;
    RecordingDesktopOpener opener;
    RecordingMusic music;
    ModalAnswers answers;
    answers.add([](QWidget *box) { ModalHelper::pressKey(box, Qt::Key_Return); });
    TfoMain window(testServices(sounds, music, opener));
    QCOMPARE(music.log, QStringList{QStringLiteral("open ") + window.MediaPlayer1->FileName});
    QCOMPARE(window.MediaPlayer1->FileName,
             QDir::toNativeSeparators(window.AppDir() + QStringLiteral("sound/zamba.mid")));
    music.log.clear();
    const QStringList words = steps.split(u' ');
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (words[i] == u"menu") {
            window.Hidupkanmusik->trigger();
        } else if (words[i] == u"end") {
            music.device->playToTheEnd();
            QCoreApplication::processEvents();
        } else if (words[i] == u"at") {
            music.device->at = words[++i].toInt();
        } else if (words[i] == u"no-synth") {
            music.device->prepareProblem = {
                MusicProblem::Kind::PlatformText, {}, u"no synthesizer"_qs};
        }
    }
    QTEST(music.log, "asked");
    QTEST(window.Hidupkanmusik->text(), "caption");
    QTEST(music.device->at, "at");
    QFETCH(QString, errorBox);
    QCOMPARE(answers.seen().isEmpty() ? QString() : answers.seen().at(0).text, errorBox);
}

QTEST_MAIN(TestMusicCommands)
#include "test_music_commands.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// The background music as the window uses it: the menu item that switches it on and off, the
// tune that starts again at its end, the caption, the error of a device that is not open or has
// no synthesizer, and the music mixed under the sound effects. Heard through the mixer, without a
// sound device.
#include "app/TfoMain.h"
#include "music/TMediaPlayer.h"
#include "platform/linux/FluidSynthSequencer.h"
#include "platform/portable/AudioEngine.h"
#include "startup/Startup.h"
#include "tests/support/ModalHelper.h"
#include "tests/support/RecordingDesktopOpener.h"
#include "tests/support/RecordingSoundSink.h"
#include "tests/support/TestServices.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cmath>

using ModalHelper::ModalAnswers;

namespace {
using Modes = TMediaPlayer::TMPModes;
using Values = TMediaPlayer::TMPNotifyValues;

constexpr float silence = 1e-4f;

// Where the system's FluidSynth library file is, as the dynamic linker finds it.
QString systemSynthesizer()
{
    QProcess ldconfig;
    ldconfig.start(QStringLiteral("/sbin/ldconfig"), {QStringLiteral("-p")});
    ldconfig.waitForFinished();
    const QRegularExpression entry(QStringLiteral("libfluidsynth\\.so\\.3 .*=> (\\S+)"));
    return entry.match(QString::fromLocal8Bit(ldconfig.readAllStandardOutput())).captured(1);
}

struct Heard
{
    float peak = 0.0f;
    int soundPeriods = 0; // periods with anything above silence
    int rewinds = 0;      // times the position went back
};

// Renders the mix period by period as the sound device would, letting the window's events
// through after each period.
// The instruments load in the background at the first Play; a device would play silence
// meanwhile, the test waits for them.
Heard listen(Mixer &mixer, TMediaPlayer &player, double seconds)
{
    player.WaitForInstruments();
    Heard heard;
    std::vector<float> period(std::size_t(Audio::periodFrames) * Audio::channels);
    const int periods = int(std::ceil(seconds * Audio::sampleRate / Audio::periodFrames));
    int position = player.Position();
    for (int p = 0; p < periods; ++p) {
        mixer.mix(period.data(), Audio::periodFrames);
        float peak = 0.0f;
        for (float sample : period)
            peak = std::max(peak, std::fabs(sample));
        heard.peak = std::max(heard.peak, peak);
        heard.soundPeriods += peak > silence;
        QCoreApplication::processEvents();
        heard.rewinds += player.Position() < position;
        position = player.Position();
    }
    return heard;
}
} // namespace

class TestMusicWindow : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase() { prepareApplication(*qApp); }
    void init();
    void cleanup();
    void opensTheTuneAtStartAndStaysQuiet();
    void menuSwitchesOffAndResumesMidPiece();
    void tuneStartsAgainAtItsEnd();
    void deviceCannotPlay_data();
    void deviceCannotPlay();
    void effectsOverMusicDoNotClip();
    void closingTheWindowEndsTheMusic();

  private:
    Heard listen(double seconds)
    {
        return ::listen(m_audio->mixer(), *m_window->MediaPlayer1, seconds);
    }
    QString caption() const { return m_window->Hidupkanmusik->text(); }

    RecordingSoundSink m_sounds;
    RecordingDesktopOpener m_opener;
    std::unique_ptr<AudioEngine> m_audio;
    std::unique_ptr<MusicSystem> m_music;
    std::unique_ptr<TfoMain> m_window;
};

void TestMusicWindow::init()
{
    m_audio = std::make_unique<AudioEngine>(nullptr);
    m_music = testMusic(&m_audio->mixer());
    ModalAnswers answers(1000);
    m_window = std::make_unique<TfoMain>(testServices(m_sounds, *m_music, m_opener));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    // The tune and the instruments are there: no error box at start.
    QVERIFY(answers.unanswered().isEmpty());
}

void TestMusicWindow::cleanup()
{
    m_window.reset();
    m_music.reset();
    m_audio.reset();
    QVERIFY2(ModalHelper::strayWindows().isEmpty(),
             qPrintable(ModalHelper::strayWindows().join(u", ")));
}

void TestMusicWindow::opensTheTuneAtStartAndStaysQuiet()
{
    TMediaPlayer &player = *m_window->MediaPlayer1;
    QVERIFY(player.opened());
    QCOMPARE(player.FileName, m_window->AppDir() + QStringLiteral("sound/zamba.mid"));
    QCOMPARE(player.Mode(), Modes::mpStopped);
    QCOMPARE(caption(), QStringLiteral("Hidupkan musik"));
    QCOMPARE(listen(0.5).soundPeriods, 0);
}

void TestMusicWindow::menuSwitchesOffAndResumesMidPiece()
{
    TMediaPlayer &player = *m_window->MediaPlayer1;
    int notified = 0;
    auto window = m_window.get();
    player.OnNotify = [&notified, window](QObject *sender) {
        ++notified;
        window->MediaPlayer1Notify(sender);
    };

    m_window->Hidupkanmusik->trigger();
    QCOMPARE(caption(), QStringLiteral("&Matikan musik"));
    QCOMPARE(player.Mode(), Modes::mpPlaying);
    // The flag set after the first Play stays pending for the next command.
    QVERIFY(player.Notify());
    const Heard on = listen(3.0);
    QVERIFY(on.soundPeriods > 0);
    const int stoppedNear = player.Position();
    QVERIFY(stoppedNear > 0 && stoppedNear < player.Length());

    m_window->Hidupkanmusik->trigger();
    QCOMPARE(caption(), QStringLiteral("&Hidupkan musik"));
    QCOMPARE(player.Mode(), Modes::mpStopped);
    const int stoppedAt = player.Position();
    QVERIFY(stoppedAt >= stoppedNear);
    // The play's notification ends as aborted; the window ignores it and the music stays off.
    const Heard off = listen(4.0);
    QCOMPARE(notified, 1);
    QCOMPARE(player.NotifyValue(), Values::nvAborted);
    QCOMPARE(player.Mode(), Modes::mpStopped);
    QCOMPARE(player.Position(), stoppedAt);
    QVERIFY(off.soundPeriods < on.soundPeriods); // only the dying notes
    QCOMPARE(listen(1.0).soundPeriods, 0);

    m_window->Hidupkanmusik->trigger();
    QCOMPARE(caption(), QStringLiteral("&Matikan musik"));
    listen(1.0);
    QVERIFY(player.Position() > stoppedAt);
    QVERIFY(player.Position() < stoppedAt + 2 * 480 + 30); // a second at 120 crotchets a minute
}

void TestMusicWindow::tuneStartsAgainAtItsEnd()
{
    TMediaPlayer &player = *m_window->MediaPlayer1;
    player.FileName = QStringLiteral(NUMBELO_TEST_DATA "/music/short.mid");
    player.Open();
    m_window->Hidupkanmusik->trigger();
    // Two seconds a round: two rounds end in a little more than four seconds, and the music
    // goes on after each.
    const Heard first = listen(2.1);
    QCOMPARE(first.rewinds, 1);
    QCOMPARE(player.NotifyValue(), Values::nvSuccessful);
    QCOMPARE(player.Mode(), Modes::mpPlaying);
    const Heard second = listen(2.1);
    QCOMPARE(second.rewinds, 1);
    // No gap at the seam: every period of the second round has sound in it.
    QCOMPARE(second.soundPeriods, int(std::ceil(2.1 * Audio::sampleRate / Audio::periodFrames)));
    QCOMPARE(player.Mode(), Modes::mpPlaying);
    QCOMPARE(caption(), QStringLiteral("&Matikan musik"));

    m_window->Hidupkanmusik->trigger();
    listen(3.0);
    const Heard off = listen(2.5);
    QCOMPARE(off.rewinds, 0);
    QCOMPARE(off.soundPeriods, 0);
}

void TestMusicWindow::deviceCannotPlay_data()
{
    QTest::addColumn<bool>("wasPlaying");
    // What is where the synthesizer library should be; empty: the device is closed instead.
    QTest::addColumn<QString>("synthesizer");
    QTest::addColumn<QString>("error"); // %1: the library file
    const QString notOpen = QStringLiteral("No MCI device open.");
    QTest::newRow("closed while off") << false << QString() << notOpen;
    QTest::newRow("closed while on") << true << QString() << notOpen;
    QTest::newRow("synthesizer library missing")
        << false << QStringLiteral("nothing")
        << QStringLiteral("The synthesizer for the music (%1) cannot be loaded; install the "
                          "package libfluidsynth3.");
    QTest::newRow("not the synthesizer library")
        << false << QStringLiteral("another library")
        << QStringLiteral("The synthesizer for the music (%1) cannot be used: it has no "
                          "fluid_set_log_function; install the package libfluidsynth3 again.");
}

void TestMusicWindow::deviceCannotPlay()
{
    QFETCH(bool, wasPlaying);
    QFETCH(QString, synthesizer);
    QFETCH(QString, error);
    // The window of a program whose synthesizer library is to be at `library`.
    QTemporaryDir libraries;
    const QString library = libraries.filePath(QStringLiteral("libfluidsynth.so.3"));
    if (!synthesizer.isEmpty()) {
        m_window.reset();
        m_music = std::make_unique<FluidSynthMusic>(&m_audio->mixer(),
                                                    testProgramFolders().soundFontCandidates(),
                                                    QFile::encodeName(library));
        m_window = std::make_unique<TfoMain>(testServices(m_sounds, *m_music, m_opener));
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        error = error.arg(library);
    }
    if (synthesizer == u"another library")
        QVERIFY(QFile::copy(QStringLiteral(NUMBELO_NOT_A_SYNTHESIZER), library));
    if (wasPlaying)
        m_window->Hidupkanmusik->trigger();
    if (synthesizer.isEmpty())
        m_window->MediaPlayer1->Close();

    ModalAnswers answers;
    for (int i = 0; i < 2; ++i)
        answers.add([](QWidget *box) { ModalHelper::pressKey(box, Qt::Key_Return); });
    // Every choice of the item ends in the same error, and the caption says the music is off.
    for (int i = 0; i < 2; ++i) {
        m_window->Hidupkanmusik->trigger();
        QCOMPARE(caption(), QStringLiteral("&Hidupkan musik"));
    }
    QCOMPARE(answers.seen().size(), 2);
    for (const ModalHelper::DialogSeen &seen : answers.seen()) {
        QCOMPARE(seen.objectName, QStringLiteral("errorBox"));
        QCOMPARE(seen.text, error);
    }
    QVERIFY(answers.unanswered().isEmpty());
    QCOMPARE(listen(1.0).soundPeriods, 0);

    // A lesson goes on as always.
    QTest::mouseClick(m_window->btnPlay, Qt::LeftButton);
    QCOMPARE(m_window->lesson.QuestionNo, 1);
    QTest::keyClicks(m_window->edAnswer, QString::number(m_window->lesson.Answer));
    QTest::keyClick(m_window->edAnswer, Qt::Key_Return);
    QCOMPARE(m_window->lesson.QuestionNo, 2);
    QCOMPARE(m_window->lesson.Score, 1);
    if (!synthesizer.isEmpty()) {
        // Once the library is there, the same choice plays.
        QFile::remove(library);
        QVERIFY(QFile::link(systemSynthesizer(), library));
        m_window->Hidupkanmusik->trigger();
        QCOMPARE(caption(), QStringLiteral("&Matikan musik"));
        QVERIFY(listen(1.0).soundPeriods > 0);
    }
}

void TestMusicWindow::effectsOverMusicDoNotClip()
{
    m_audio->setSoundFolders(testProgramFolders().soundDirs());
    m_window->Hidupkanmusik->trigger();
    // The tune alone stays under the mixer's limiter, so it is never bent.
    const Heard music = listen(20.0);
    QVERIFY2(music.peak > 0.1f && music.peak < 0.8f, qPrintable(QString::number(music.peak)));

    // Every effect, each over the music, one after another and cutting each other off.
    const QStringList effects{"Laser.wav",   "Good.wav", "Benar.wav", "Salah.wav", "Toeng.wav",
                              "Whistle.wav", "0.wav",    "5.wav",     "8.wav"};
    float peak = 0.0f;
    for (const QString &effect : effects) {
        m_audio->playSound(effect);
        peak = std::max(peak, listen(0.4).peak);
    }
    for (const QString &effect : effects) {
        m_audio->playSound(effect);
        peak = std::max(peak, listen(0.05).peak);
    }
    QVERIFY2(peak > music.peak && peak < 1.0f, qPrintable(QString::number(peak)));
    QCOMPARE(m_window->MediaPlayer1->Mode(), Modes::mpPlaying);
}

void TestMusicWindow::closingTheWindowEndsTheMusic()
{
    m_window->Hidupkanmusik->trigger();
    QVERIFY(listen(1.0).soundPeriods > 0);
    m_window.reset();
    std::vector<float> period(std::size_t(Audio::periodFrames) * Audio::channels);
    float peak = 0.0f;
    for (int p = 0; p < Audio::sampleRate / Audio::periodFrames; ++p) {
        m_audio->mixer().mix(period.data(), Audio::periodFrames);
        for (float sample : period)
            peak = std::max(peak, std::fabs(sample));
        QCoreApplication::processEvents();
    }
    QCOMPARE(peak, 0.0f);
}

QTEST_MAIN(TestMusicWindow)
#include "test_music_window.moc"

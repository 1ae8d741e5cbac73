// SPDX-License-Identifier: GPL-3.0-or-later
// The music control and its sequencer, heard through the mixer without a sound device: where
// playing starts and resumes, the end of a piece, the notifications and every way opening
// can fail.
#include "core/Errors.h"
#include "music/TMediaPlayer.h"
#include "platform/linux/FluidSynthSequencer.h"
#include "platform/portable/AudioEngine.h"
#include "platform/portable/ProgramFolders.h"
#include "tests/support/MusicNotifications.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

namespace {
using Modes = TMediaPlayer::TMPModes;

QString testTune(const QString &name)
{
    return QStringLiteral(NUMBELO_TEST_DATA "/music/") + name;
}

const QString shortTune = testTune(QStringLiteral("short.mid"));
// short.mid: four crotchets at 120 beats a minute, 480 ticks each: 2 s, 1920 ticks.
constexpr int shortLength = 1920;
constexpr double ticksPerSecond = 960.0;
// Anything quieter than this is silence (-80 dBFS).
constexpr float silence = 1e-4f;

struct Heard
{
    float peak = 0.0f;
    int firstSoundFrame = -1; // -1: nothing heard
    float largestStep = 0.0f; // between two neighbouring frames, on either channel
};

// Renders `seconds` of the mix period by period, letting queued notifications through after
// each period as the program's event loop would (unless `deliver` is false). The instruments
// load in the background at the first Play; a sound device would play silence meanwhile, and
// the test waits for them instead, so that every run hears the same.
Heard listen(Mixer &mixer, TMediaPlayer *player, double seconds, bool deliver = true)
{
    if (player != nullptr)
        player->WaitForInstruments();
    Heard heard;
    std::vector<float> period(std::size_t(Audio::periodFrames) * Audio::channels);
    float last[Audio::channels] = {};
    const int periods = int(std::ceil(seconds * Audio::sampleRate / Audio::periodFrames));
    for (int p = 0; p < periods; ++p) {
        mixer.mix(period.data(), Audio::periodFrames);
        for (std::size_t i = 0; i < period.size(); ++i) {
            const float level = std::fabs(period[i]);
            if (level > silence && heard.firstSoundFrame < 0)
                heard.firstSoundFrame = p * Audio::periodFrames + int(i / Audio::channels);
            heard.peak = std::max(heard.peak, level);
            if (p > 0 || i >= Audio::channels)
                heard.largestStep =
                    std::max(heard.largestStep, std::fabs(period[i] - last[i % Audio::channels]));
            last[i % Audio::channels] = period[i];
        }
        if (deliver)
            QCoreApplication::processEvents();
    }
    return heard;
}

// The system's music, with instruments the test chooses, also from one Open to the next.
class ChosenInstruments : public MusicSystem
{
  public:
    explicit ChosenInstruments(Mixer *mixer) : m_mixer(mixer) {}
    std::unique_ptr<MusicDevice> makeDevice() override
    {
        return std::make_unique<FluidSynthSequencer>(m_mixer, soundFonts, QByteArray());
    }
    QStringList soundFonts = ProgramFolders().soundFontCandidates();

  private:
    Mixer *m_mixer;
};

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}
} // namespace

class TestMusicPlayer : public QObject
{
    Q_OBJECT
  private slots:
    void init();
    void cleanup();
    void opensStopped();
    void firstPlayStartsAtTheBeginning();
    void stopKeepsThePositionAndPlayResumes();
    void stopWhileTheInstrumentsLoad();
    void endOfPieceNotifiesAndPlayRewinds();
    void playAtTheEndWithoutRewindEndsAtOnce();
    void notifications_data();
    void notifications();
    void closedDeviceRefusesPlayAndStop_data();
    void closedDeviceRefusesPlayAndStop();
    void openFailures_data();
    void openFailures();
    void failingPlayIsKeptNotThrown();
    void destroyingThePlayerEndsTheMusic();

  private:
    void openShortTune();
    Heard listen(double seconds, bool deliver = true)
    {
        return ::listen(m_audio->mixer(), m_player.get(), seconds, deliver);
    }

    std::unique_ptr<AudioEngine> m_audio;
    std::unique_ptr<ChosenInstruments> m_music;
    std::unique_ptr<TMediaPlayer> m_player;
    QStringList m_notified;
    QTemporaryDir m_dir;
};

void TestMusicPlayer::init()
{
    m_audio = std::make_unique<AudioEngine>(nullptr);
    m_music = std::make_unique<ChosenInstruments>(&m_audio->mixer());
    m_player = std::make_unique<TMediaPlayer>(*m_music);
    m_notified.clear();
    m_player->OnNotify = [this](QObject *sender) {
        QCOMPARE(sender, m_player.get());
        m_notified << MusicNotifications::nameOf(m_player->NotifyValue());
    };
}

void TestMusicPlayer::cleanup()
{
    m_player.reset();
    m_music.reset();
    m_audio.reset();
}

void TestMusicPlayer::openShortTune()
{
    m_player->FileName = shortTune;
    m_player->Open();
}

// An opened piece waits for Play: nothing is heard, not even after its length has gone by,
// and nothing is told; opening it again and closing it are as silent.
void TestMusicPlayer::opensStopped()
{
    openShortTune();
    QCOMPARE(m_player->Mode(), Modes::mpStopped);
    QCOMPARE(m_player->Length(), shortLength);
    QCOMPARE(listen(2.5).firstSoundFrame, -1);
    QCOMPARE(m_player->Position(), 0);
    m_player->Open();
    QCOMPARE(listen(0.5).firstSoundFrame, -1);
    m_player->Close();
    QCOMPARE(m_player->Mode(), Modes::mpNotReady);
    QCOMPARE(listen(0.5).firstSoundFrame, -1);
    QVERIFY(m_notified.isEmpty());
}

void TestMusicPlayer::firstPlayStartsAtTheBeginning()
{
    openShortTune();
    m_player->Play();
    QCOMPARE(m_player->Mode(), Modes::mpPlaying);
    // The first note stands on tick 0: it is heard within the first few milliseconds.
    const Heard start = listen(0.02);
    QVERIFY2(start.firstSoundFrame >= 0 && start.firstSoundFrame < Audio::sampleRate / 200,
             qPrintable(QString::number(start.firstSoundFrame)));
    QVERIFY(m_player->Position() <= int(0.02 * ticksPerSecond) + 1);
    listen(0.98);
    QVERIFY(std::abs(m_player->Position() - int(ticksPerSecond)) <= 30);
    QCOMPARE(m_player->Mode(), Modes::mpPlaying);
    QVERIFY(m_notified.isEmpty());
}

void TestMusicPlayer::stopKeepsThePositionAndPlayResumes()
{
    openShortTune();
    m_player->Play();
    listen(1.0);
    m_player->Stop();
    QCOMPARE(m_player->Mode(), Modes::mpStopped);
    const int stoppedAt = m_player->Position();
    QVERIFY(stoppedAt > 900 && stoppedAt < 1000);

    // The notes sounding fade out within milliseconds, without a click; then the music is
    // silent and stands still.
    QVERIFY(listen(0.01).largestStep <= 0.05f);
    QCOMPARE(listen(4.0).firstSoundFrame, -1);
    QCOMPARE(m_player->Position(), stoppedAt);

    // The note cut off by Stop is not struck again: the next sound is the next note, on tick
    // 1440, as far away as it was when the music stopped. From the start it would come at once.
    m_player->Play();
    const Heard resumed = listen(0.6);
    const int expectedFrame = int((1440 - stoppedAt) / ticksPerSecond * Audio::sampleRate);
    QVERIFY2(std::abs(resumed.firstSoundFrame - expectedFrame) < Audio::sampleRate / 50,
             qPrintable(QStringLiteral("%1 / %2").arg(resumed.firstSoundFrame).arg(expectedFrame)));
    QVERIFY(std::abs(m_player->Position() - (stoppedAt + int(0.6 * ticksPerSecond))) <= 30);
    QCOMPARE(m_notified, QStringList{QStringLiteral("aborted")});
}

void TestMusicPlayer::stopWhileTheInstrumentsLoad()
{
    openShortTune();
    m_player->Play();
    m_player->Stop();
    QCOMPARE(m_player->Mode(), Modes::mpStopped);
    const Heard stopped = listen(0.5);
    QCOMPARE(stopped.firstSoundFrame, -1);
    QCOMPARE(m_player->Position(), 0);
    m_player->Play();
    QVERIFY(listen(0.01).firstSoundFrame >= 0);
    QCOMPARE(m_notified, QStringList{QStringLiteral("aborted")});
}

void TestMusicPlayer::endOfPieceNotifiesAndPlayRewinds()
{
    openShortTune();
    m_player->Play();
    listen(1.9);
    QVERIFY(m_notified.isEmpty());
    listen(0.2);
    QCOMPARE(m_notified, QStringList{QStringLiteral("successful")});
    QCOMPARE(m_player->Mode(), Modes::mpStopped);
    QVERIFY(m_player->Position() >= shortLength);
    const int ended = m_player->Position();
    listen(1.0);
    QCOMPARE(m_player->Position(), ended);

    // AutoRewind: playing at the end starts from the beginning again.
    m_player->Play();
    const Heard again = listen(0.02);
    QVERIFY(again.firstSoundFrame >= 0);
    QVERIFY(m_player->Position() < 50);
    listen(2.1);
    QCOMPARE(m_notified, (QStringList{QStringLiteral("successful"), QStringLiteral("successful")}));
}

void TestMusicPlayer::playAtTheEndWithoutRewindEndsAtOnce()
{
    openShortTune();
    m_player->AutoRewind = false;
    m_player->Play();
    listen(2.1);
    QCOMPARE(m_notified.size(), 1);
    // Let the last note die away.
    listen(3.0);
    const int ended = m_player->Position();
    m_player->Play();
    const Heard heard = listen(0.1);
    QCOMPARE(m_notified, (QStringList{QStringLiteral("successful"), QStringLiteral("successful")}));
    QCOMPARE(m_player->Mode(), Modes::mpStopped);
    QVERIFY(m_player->Position() >= ended);
    QCOMPARE(heard.firstSoundFrame, -1);
}

void TestMusicPlayer::notifications_data()
{
    MusicNotifications::addRows();
}

void TestMusicPlayer::notifications()
{
    QFETCH(QString, commands);
    openShortTune();
    MusicNotifications::run(*m_player, commands, [this] { listen(2.1, false); });
    if (QTest::currentTestFailed())
        return;
    MusicNotifications::check(m_notified, commands, [this] { listen(2.5); });
}

void TestMusicPlayer::closedDeviceRefusesPlayAndStop_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("never opened") << "never";
    QTest::newRow("closed") << "closed";
    QTest::newRow("failed to open") << "failed";
}

void TestMusicPlayer::closedDeviceRefusesPlayAndStop()
{
    QFETCH(QString, how);
    if (how != u"never") {
        openShortTune();
        m_player->Play();
    }
    if (how == u"closed")
        m_player->Close();
    if (how == u"failed") {
        m_player->FileName = testTune(QStringLiteral("garbage.mid"));
        QVERIFY_THROWS_EXCEPTION(EMCIDeviceError, m_player->Open());
    }
    QCOMPARE(m_player->Mode(), Modes::mpNotReady);
    for (bool play : {true, false}) {
        try {
            play ? m_player->Play() : m_player->Stop();
            QFAIL("no error for a closed device");
        } catch (const EMCIDeviceError &error) {
            QCOMPARE(error.message(), QStringLiteral("No MCI device open"));
        }
    }
    // The music that played before is gone.
    QCOMPARE(listen(1.0).firstSoundFrame, -1);
}

void TestMusicPlayer::openFailures_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("soundFonts");
    QTest::addColumn<QString>("message");
    QVERIFY(m_dir.isValid());
    const QString missingFile = m_dir.filePath(QStringLiteral("zamba.mid"));
    const QString folder = m_dir.filePath(QStringLiteral("folder.mid"));
    QDir().mkpath(folder);
    const QString notSoundFont = m_dir.filePath(QStringLiteral("notes.sf2"));
    writeFile(notSoundFont, "These are not instruments.");
    const QString system; // the default search path

    auto file = [](const QString &path) {
        return QStringLiteral("The music file \"%1\"").arg(path);
    };
    QTest::newRow("missing") << missingFile << QStringList{}
                             << file(missingFile) + QStringLiteral(" cannot be found");
    QTest::newRow("no file name") << QString() << QStringList{}
                                  << QStringLiteral("The music file \"\" cannot be found");
    QTest::newRow("a folder") << folder << QStringList{}
                              << file(folder) + QStringLiteral(" is not a file");
    for (const auto &[name, reason] :
         {std::pair{"empty.mid", " is empty"}, std::pair{"garbage.mid", " is not a MIDI file"},
          std::pair{"truncated.mid", " is incomplete: it ends in the middle of its data"},
          std::pair{"notes_none.mid", " contains no music"}}) {
        const QString path = testTune(QLatin1String(name));
        QTest::newRow(name) << path << QStringList{} << file(path) + QLatin1String(reason);
    }
    QTest::newRow("no SoundFont")
        << shortTune << QStringList{m_dir.filePath(QStringLiteral("none.sf2"))}
        << QStringLiteral("No instrument sounds (a General MIDI SoundFont) were found for the "
                          "music; install the package timgm6mb-soundfont");
    QTest::newRow("a SoundFont that is none")
        << shortTune << QStringList{notSoundFont}
        << QStringLiteral("The instrument sounds in \"%1\" cannot be used; install the package "
                          "timgm6mb-soundfont again")
               .arg(notSoundFont);
}

void TestMusicPlayer::openFailures()
{
    QFETCH(QString, file);
    QFETCH(QStringList, soundFonts);
    openShortTune();
    m_player->Play();
    m_player->FileName = file;
    if (!soundFonts.isEmpty())
        m_music->soundFonts = soundFonts;
    try {
        m_player->Open();
        QFAIL("opened");
    } catch (const EMCIDeviceError &error) {
        QTEST(error.message(), "message");
    }
    // Opening closed the device that was open: it plays no more.
    QVERIFY(!m_player->opened());
    QCOMPARE(m_player->DeviceID(), 0u);
    QCOMPARE(listen(1.0).firstSoundFrame, -1);
    QCOMPARE(m_notified, QStringList{QStringLiteral("aborted")});
}

void TestMusicPlayer::failingPlayIsKeptNotThrown()
{
    // Looks like a SoundFont from outside, so opening accepts it; loading it fails.
    const QString fake = m_dir.filePath(QStringLiteral("fake.sf2"));
    writeFile(fake, QByteArray("RIFF\x10\0\0\0sfbkLIST\0\0\0\0", 20));
    const QString reason = QStringLiteral("The instrument sounds in \"%1\" cannot be loaded; "
                                          "install the package timgm6mb-soundfont again")
                               .arg(fake);
    m_music->soundFonts = {fake};
    openShortTune();
    // The first Play starts loading and returns; the failure ends that Play.
    m_player->Play();
    QVERIFY(m_player->ErrorMessage().isEmpty());
    QCOMPARE(listen(0.5).firstSoundFrame, -1);
    QCOMPARE(m_notified, QStringList{QStringLiteral("failure")});
    QCOMPARE(m_player->ErrorMessage(), reason);
    QCOMPARE(m_player->Mode(), Modes::mpStopped);
    // From then on Play fails at once, keeping the reason, and asks for nothing more.
    m_player->Play();
    QCOMPARE(m_player->ErrorMessage(), reason);
    QCOMPARE(m_player->Mode(), Modes::mpStopped);
    m_player->Stop();
    QVERIFY(m_player->ErrorMessage().isEmpty());
    QCOMPARE(listen(0.5).firstSoundFrame, -1);
    QCOMPARE(m_notified, QStringList{QStringLiteral("failure")});

    // Without a mixer there is nowhere to play.
    ChosenInstruments noOutput(nullptr);
    TMediaPlayer nowhere(noOutput);
    nowhere.FileName = shortTune;
    try {
        nowhere.Open();
        QFAIL("opened");
    } catch (const EMCIDeviceError &error) {
        QCOMPARE(error.message(), QStringLiteral("There is no sound output for the music"));
    }
}

void TestMusicPlayer::destroyingThePlayerEndsTheMusic()
{
    openShortTune();
    m_player->Play();
    QVERIFY(listen(0.5).firstSoundFrame >= 0);
    m_player.reset();
    const Heard after = listen(3.0);
    QCOMPARE(after.firstSoundFrame, -1);
    QVERIFY(m_notified.isEmpty());
}

QTEST_GUILESS_MAIN(TestMusicPlayer)
#include "test_music_player.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// The sound-effect engine, without a sound device: finding and decoding the sounds, playing
// them through the mixer as soon as they and the device are there, and keeping the device open
// only while sound may come.
#include "platform/portable/AudioEngine.h"
#include "platform/portable/ProgramFolders.h"
#include "platform/portable/ThreadName.h"
#include "platform/portable/DefaultSound.h"
#include "platform/portable/SoundLibrary.h"
#include "tests/support/LocaleInForce.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <cmath>

namespace {
// The same file by the file system's rules: Windows' ignores case, and a name found there keeps
// the spelling it was asked for; elsewhere the spelling on disk is the name.
bool sameFile(const QString &found, const QString &expected)
{
    return !found.isEmpty() && QFileInfo(found) == QFileInfo(expected);
}

// A mono 16-bit PCM WAV holding `frames` frames of the constant `level`.
QByteArray constantWav(int frames, qint16 level, int rate = 22050)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    const quint32 dataBytes = quint32(frames) * 2;
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(rate) << quint32(rate * 2)
        << quint16(2) << quint16(16);
    out.writeRawData("data", 4);
    out << dataBytes;
    for (int i = 0; i < frames; ++i)
        out << level;
    return bytes;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

std::vector<float> render(Mixer &mixer, int frames)
{
    std::vector<float> out(std::size_t(frames) * Audio::channels);
    mixer.mix(out.data(), frames);
    return out;
}

class FailingOutput : public AudioOutput
{
  public:
    bool start(SampleSource *) override { return false; }
    void stop() override {}
    int periodFrames() const override { return 0; }
    int sampleRate() const override { return 0; }
};

// An output that opens at once and counts its opens and closes; tests render the mix
// themselves, and take its device away as a dying sound server would. Started and stopped on
// the engine's worker thread.
class CountingOutput : public AudioOutput
{
  public:
    bool start(SampleSource *) override
    {
        if (away)
            return false;
        gone = false;
        openedOn = thisThreadName();
        ++starts;
        return true;
    }
    void stop() override { ++stops; }
    bool lost() const override { return gone; }
    int periodFrames() const override { return Audio::periodFrames; }
    int sampleRate() const override { return Audio::sampleRate; }
    std::atomic<int> starts = 0;
    std::atomic<int> stops = 0;
    std::atomic<bool> gone = false; // the open device went away
    std::atomic<bool> away = false; // no device can be opened
    std::string openedOn;           // the thread that opened it last
};

// Music that is playing or not, as the test says, and silent either way.
class SwitchedMusic : public MusicSource
{
  public:
    void render(float *out, int frames) override
    {
        std::fill(out, out + std::size_t(frames) * Audio::channels, 0.0f);
    }
    bool active() const override { return playing; }
    bool playing = false;
};
} // namespace

class TestAudioEngine : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase() { verifyLocaleInForce(); }
    void init();
    void decodesToTheMixingFormat();
    void namesMatchWithoutRegardToCase_data();
    void namesMatchWithoutRegardToCase();
    void unusableFilesPlayTheDefault_data();
    void unusableFilesPlayTheDefault();
    void foldersAreSearchedInOrder();
    void longNonAsciiFolder();
    void soundsAreDecodedOnce();
    void everyShippedSoundDecodes();
    void noDeviceMeansSilence();
    void outputFollowsActivity_data();
    void outputFollowsActivity();
    void soundsWaitForTheirDecodeAndTheDevice();

  private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_folder;
};

void TestAudioEngine::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_folder = m_dir->path() + QStringLiteral("/sound/");
    QVERIFY(QDir().mkpath(m_folder));
}

void TestAudioEngine::decodesToTheMixingFormat()
{
    const QByteArray wav = constantWav(22050, 8192);
    auto sound = decodeWav(wav.constData(), std::size_t(wav.size()));
    QVERIFY(sound);
    // One second at 22.05 kHz becomes one second at 48 kHz, within the resampler's edges.
    QVERIFY2(std::abs(sound->frames() - Audio::sampleRate) < 64,
             qPrintable(QString::number(sound->frames())));
    // A mono file stays one channel, heard the same on both sides.
    QCOMPARE(sound->channels, 1);
    const float middle = sound->sample(sound->frames() / 2, 1);
    QVERIFY(std::abs(middle - 0.25f) < 0.01f);
}

void TestAudioEngine::namesMatchWithoutRegardToCase_data()
{
    QTest::addColumn<QString>("onDisk");
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("folder"); // the sound folder's name beside the program
    const QString sound = QStringLiteral("sound");
    QTest::newRow("lower asks for capital") << "Toeng.wav"
                                            << "toeng.wav" << sound;
    QTest::newRow("capital asks for lower") << "benar.wav"
                                            << "Benar.wav" << sound;
    QTest::newRow("extension in capitals") << "LASER.WAV"
                                           << "Laser.wav" << sound;
    QTest::newRow("exact") << "7.wav"
                           << "7.wav" << sound;
    // By a Turkish locale's own rules "I" lowers to a dotless "ı" and "i" uppers to "İ": the
    // names still match there (ctest runs this test under tr_TR.UTF-8 too).
    QTest::newRow("capital I") << "Whistle.wav"
                               << "WHISTLE.WAV" << sound;
    QTest::newRow("small i") << "LASER.WAV"
                             << "laser.wav" << sound;
    // The folder as a copy from Windows often names it.
    QTest::newRow("folder in capitals") << "Toeng.wav"
                                        << "Toeng.wav"
                                        << "SOUND";
    QTest::newRow("folder and file capitalised") << "Benar.WAV"
                                                 << "benar.wav"
                                                 << "Sound";
}

void TestAudioEngine::namesMatchWithoutRegardToCase()
{
    QFETCH(QString, onDisk);
    QFETCH(QString, asked);
    QFETCH(QString, folder);
    if (folder != u"sound")
        QVERIFY(QDir(m_dir->path()).rename(QStringLiteral("sound"), folder));
    const QString onDiskFolder = m_dir->path() + u'/' + folder + u'/';
    writeFile(onDiskFolder + onDisk, constantWav(2205, 8192));
    const ProgramFolders program{m_dir->path() + u'/', {}};
    QVERIFY2(sameFile(program.soundFile(asked), onDiskFolder + onDisk),
             qPrintable(program.soundFile(asked)));
    AudioEngine engine(nullptr);
    engine.setSoundFolders(program.soundDirs());
    QVERIFY(engine.sound(asked) != defaultSound());
}

void TestAudioEngine::unusableFilesPlayTheDefault_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("exists");
    const QByteArray good = constantWav(2205, 8192);
    QTest::newRow("missing") << QByteArray() << false;
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("truncated header") << good.left(20) << true;
    QTest::newRow("header without samples") << good.left(44) << true;
    QTest::newRow("garbage") << QByteArray(4000, '\x5a') << true;
    QByteArray lying = good;
    lying[22] = char(0); // zero channels
    QTest::newRow("zero channels") << lying << true;
    QByteArray boastful = good.left(44);
    boastful[40] = char(0xf0); // the data chunk claims about 4 GB
    boastful[41] = boastful[42] = boastful[43] = char(0xff);
    QTest::newRow("data chunk larger than the file") << boastful << true;
    QByteArray longSound = constantWav(2205, 8192);
    longSound[24] = char(0xe8); // 1000 Hz: the same bytes now last far too long for an effect
    longSound[25] = char(0x03);
    longSound[26] = longSound[27] = char(0);
    longSound[28] = char(0xd0); // 2000 bytes a second
    longSound[29] = char(0x07);
    longSound[30] = longSound[31] = char(0);
    QByteArray hours = longSound.left(40);
    hours += QByteArray("\x00\x00\x10\x00", 4) + QByteArray(0x100000, '\0'); // 1 MB at 2000 B/s
    QTest::newRow("longer than a minute") << hours << true;
}

void TestAudioEngine::unusableFilesPlayTheDefault()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, exists);
    if (exists)
        writeFile(m_folder + QStringLiteral("Salah.wav"), content);
    AudioEngine engine(nullptr);
    engine.setSoundFolders({m_folder});
    QCOMPARE(engine.sound(QStringLiteral("Salah.wav")), defaultSound());
    engine.playSound(QStringLiteral("Salah.wav"));
    QVERIFY(engine.mixer().effectPlaying());
    const auto out = render(engine.mixer(), 2048);
    QVERIFY(std::any_of(out.begin(), out.end(), [](float s) { return std::abs(s) > 0.05f; }));
}

void TestAudioEngine::foldersAreSearchedInOrder()
{
    const QString second = m_dir->path() + QStringLiteral("/installed/");
    QVERIFY(QDir().mkpath(second));
    writeFile(second + QStringLiteral("Good.wav"), constantWav(2205, 8192));
    writeFile(second + QStringLiteral("Laser.wav"), constantWav(2205, 8192));
    writeFile(m_folder + QStringLiteral("laser.wav"), constantWav(2205, 8192));
    QCOMPARE(findFileIgnoringCase({m_folder, second}, QStringLiteral("Good.wav")),
             second + QStringLiteral("Good.wav"));
    QVERIFY(sameFile(findFileIgnoringCase({m_folder, second}, QStringLiteral("Laser.wav")),
                     m_folder + QStringLiteral("laser.wav")));
    // A name is a name, never a way out of the sound folders.
    QCOMPARE(findFileIgnoringCase({m_folder}, QStringLiteral("../installed/Good.wav")), QString());
}

void TestAudioEngine::longNonAsciiFolder()
{
    QString folder = m_dir->path();
    while (folder.size() < 220)
        folder += QStringLiteral("/Pelajaran Ãnak Çerdas ñ");
    folder += QStringLiteral("/sound/");
    QVERIFY(QDir().mkpath(folder));
    writeFile(folder + QStringLiteral("Benar.wav"), constantWav(2205, 8192));
    AudioEngine engine(nullptr);
    engine.setSoundFolders({folder});
    QVERIFY(engine.sound(QStringLiteral("benar.wav")) != defaultSound());
}

void TestAudioEngine::soundsAreDecodedOnce()
{
    writeFile(m_folder + QStringLiteral("1.wav"), constantWav(2205, 8192));
    AudioEngine engine(nullptr);
    engine.setSoundFolders({m_folder});
    const auto first = engine.sound(QStringLiteral("1.wav"));
    QVERIFY(QFile::remove(m_folder + QStringLiteral("1.wav")));
    QCOMPARE(engine.sound(QStringLiteral("1.WAV")), first);
}

void TestAudioEngine::everyShippedSoundDecodes()
{
    const QString folder = QStringLiteral(NUMBELO_SOURCE_DIR "/resources/sound/");
    const QStringList names = QDir(folder).entryList({QStringLiteral("*.wav")}, QDir::Files);
    QCOMPARE(names.size(), 16);
    AudioEngine engine(nullptr);
    engine.setSoundFolders({folder});
    for (const QString &name : names)
        QVERIFY2(engine.sound(name) != defaultSound(), qPrintable(name));
}

void TestAudioEngine::noDeviceMeansSilence()
{
    AudioEngine engine(std::make_unique<FailingOutput>());
    engine.setSoundFolders({m_folder});
    engine.start();
    engine.waitUntilPreloaded();
    QVERIFY(!engine.hasOutput());
    QCOMPARE(engine.periodFrames(), 0);
    engine.playSound(QStringLiteral("Laser.wav")); // nothing there either: no crash, no error
    QVERIFY(engine.mixer().effectPlaying());
}

void TestAudioEngine::outputFollowsActivity_data()
{
    // Steps: "idle" lets the idle time pass; "wake" is a sign of activity; "music"/"quiet"
    // start and stop the music; "play" asks for a sound; "lose" takes the open device away, a
    // server that restarts at once; "down" takes it away for good, until "up"; "check" lets
    // the device be checked a few times.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<bool>("open");
    QTest::addColumn<int>("opens");
    QTest::newRow("opens at start") << "" << true << 1;
    QTest::newRow("closes after the idle time") << "idle" << false << 1;
    QTest::newRow("stays open while the music plays") << "music idle idle" << true << 1;
    QTest::newRow("closes once the music stops") << "music idle quiet idle" << false << 1;
    QTest::newRow("the music opens it again") << "idle music idle" << true << 2;
    QTest::newRow("reopens on a sign of activity") << "idle wake" << true << 2;
    QTest::newRow("a sound reopens it") << "idle play" << true << 2;
    QTest::newRow("activity puts the close off") << "wake wake wake" << true << 1;
    QTest::newRow("closes again after reopening") << "idle wake idle" << false << 2;
    QTest::newRow("a lost device is replaced at a sign of activity") << "lose wake" << true << 2;
    QTest::newRow("a lost device is replaced while the music plays")
        << "music lose check" << true << 2;
    QTest::newRow("a lost device is left alone with nothing wanted")
        << "idle lose check" << false << 1;
    QTest::newRow("a sound once the server is back opens a device")
        << "down wake check up play" << true << 2;
    QTest::newRow("the music comes back by itself") << "music down check up check" << true << 2;
    QTest::newRow("a server that stays away: silence, and the idle time")
        << "down wake play idle" << false << 1;
    QTest::newRow("a device lost twice") << "lose wake lose play" << true << 3;
}

void TestAudioEngine::outputFollowsActivity()
{
    QFETCH(QString, steps);
    QFETCH(bool, open);
    QFETCH(int, opens);
    writeFile(m_folder + QStringLiteral("A.wav"), constantWav(2205, 8192));
    auto output = std::make_unique<CountingOutput>();
    CountingOutput &counts = *output;
    AudioEngine engine(std::move(output));
    constexpr int idleMs = 150;
    constexpr int checkMs = 40;
    engine.setIdleTimeout(std::chrono::milliseconds(idleMs));
    engine.setCheckInterval(std::chrono::milliseconds(checkMs));
    engine.setSoundFolders({m_folder});
    SwitchedMusic music;
    engine.mixer().setMusicSource(&music);
    engine.start();
    engine.waitUntilPreloaded();
    QTRY_VERIFY(engine.hasOutput());
    for (const QString &step : steps.split(u' ', Qt::SkipEmptyParts)) {
        if (step == u"idle") {
            // Past the idle time; the output closes then unless something keeps it open.
            QTest::qWait(idleMs * 2);
        } else if (step == u"wake") {
            QTest::qWait(idleMs / 2);
            engine.wake();
        } else if (step == u"play") {
            engine.playSound(QStringLiteral("A.wav"));
        } else if (step == u"lose" || step == u"down") {
            counts.away = step == u"down";
            counts.gone = true;
        } else if (step == u"up") {
            counts.away = false;
        } else if (step == u"check") {
            // Past two checks, the second of them after a failed open.
            QTest::qWait(checkMs * 4);
        } else {
            music.playing = step == u"music";
            engine.mixer().wake(); // as the sequencer does when it starts or stops
        }
    }
    QTRY_COMPARE(engine.hasOutput(), open);
    QTRY_COMPARE(counts.starts.load(), opens);
    QCOMPARE(counts.stops.load(), open ? opens - 1 : opens);
    engine.mixer().setMusicSource(nullptr);
}

// A sound asked for before the files are decoded (the greeting, before the window shows) or
// while the output is closed plays from its start as soon as it can; once every file is
// decoded, no sound is read or decoded again, whatever the output does.
void TestAudioEngine::soundsWaitForTheirDecodeAndTheDevice()
{
    writeFile(m_folder + QStringLiteral("Laser.wav"), constantWav(22050, 8192));
    writeFile(m_folder + QStringLiteral("7.wav"), constantWav(22050, 4096));
    auto output = std::make_unique<CountingOutput>();
    CountingOutput &counts = *output;
    AudioEngine engine(std::move(output));
    engine.setIdleTimeout(std::chrono::milliseconds(100));
    engine.setSoundFolders({m_folder});
    engine.playSound(QStringLiteral("Laser.wav"));
    QVERIFY(!engine.mixer().effectPlaying()); // nothing decoded before start()
    engine.start();
    QTRY_VERIFY(engine.mixer().effectPlaying());
    QTRY_VERIFY(engine.hasOutput());
    const auto greeting = render(engine.mixer(), Audio::sampleRate + 2048);
    QVERIFY(std::abs(greeting[1024] - 0.25f) < 0.01f);
    QVERIFY(!engine.mixer().busy());

    engine.waitUntilPreloaded();
    const auto seven = engine.sound(QStringLiteral("7.wav"));
    for (const QString &name : QDir(m_folder).entryList(QDir::Files))
        QVERIFY(QFile::remove(m_folder + name));
    QTRY_VERIFY(!engine.hasOutput());
    engine.playSound(QStringLiteral("7.wav"));
    QTRY_VERIFY(engine.hasOutput());
    QCOMPARE(counts.starts.load(), 2);
    QCOMPARE(QString::fromStdString(counts.openedOn), "SoundWorker"); // the engine's, by name
    QCOMPARE(engine.sound(QStringLiteral("7.wav")), seven);
    // From its first frame: the sound was not played on while the output was closed.
    const auto digit = render(engine.mixer(), 2048);
    QVERIFY(std::abs(digit[1024] - 0.125f) < 0.01f);
    QVERIFY(std::abs(digit[2048 * Audio::channels - 1] - 0.125f) < 0.01f);
}

QTEST_GUILESS_MAIN(TestAudioEngine)
#include "test_audio_engine.moc"

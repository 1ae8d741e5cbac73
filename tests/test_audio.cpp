// SPDX-License-Identifier: GPL-3.0-or-later
// The sound-effect engine, rendered offline through the mixer.
#include "AudioEngine.h"
#include "AudioOutput.h"
#include "SdlAudioOutput.h"
#include "SoundLookup.h"
#include "WavDecoder.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <thread>

namespace {
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
    bool start(Mixer *) override { return false; }
    void stop() override {}
    int periodFrames() const override { return 0; }
    int sampleRate() const override { return 0; }
};

class LoudMusic : public MusicSource
{
  public:
    void render(float *out, int frames) override
    {
        for (int i = 0; i < frames * Audio::channels; ++i)
            out[i] = 1.0f;
    }
};
} // namespace

class TestAudio : public QObject
{
    Q_OBJECT
  private slots:
    void init();
    void decodesToTheMixingFormat();
    void newSoundCutsOffTheOld();
    void namesMatchWithoutRegardToCase_data();
    void namesMatchWithoutRegardToCase();
    void unusableFilesPlayTheDefault_data();
    void unusableFilesPlayTheDefault();
    void foldersAreSearchedInOrder();
    void longNonAsciiFolder();
    void soundsAreDecodedOnce();
    void everyShippedSoundDecodes();
    void mixNeverClips();
    void noDeviceMeansSilence();
    void brokenDriverFallsBackToSilentClock();

  private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_folder;
};

void TestAudio::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_folder = m_dir->path() + QStringLiteral("/sound/");
    QVERIFY(QDir().mkpath(m_folder));
}

void TestAudio::decodesToTheMixingFormat()
{
    const QByteArray wav = constantWav(22050, 8192);
    auto sound = decodeWav(wav.constData(), std::size_t(wav.size()));
    QVERIFY(sound);
    // One second at 22.05 kHz becomes one second at 48 kHz, within the resampler's edges.
    QVERIFY2(std::abs(sound->frames() - Audio::sampleRate) < 64,
             qPrintable(QString::number(sound->frames())));
    const float middle = sound->samples[std::size_t(sound->frames() / 2) * Audio::channels];
    QVERIFY(std::abs(middle - 0.25f) < 0.01f);
}

void TestAudio::newSoundCutsOffTheOld()
{
    writeFile(m_folder + QStringLiteral("A.wav"), constantWav(22050, 4096));
    writeFile(m_folder + QStringLiteral("B.wav"), constantWav(22050, 12288));
    AudioEngine engine(nullptr);
    engine.setSoundFolders({m_folder});
    engine.playSound(QStringLiteral("A.wav"));
    render(engine.mixer(), 1024);
    engine.playSound(QStringLiteral("B.wav"));
    const auto after = render(engine.mixer(), 1024);
    // Only B is heard (0.375), not A and B together; skip the resampler's first frames.
    for (std::size_t i = 200; i < after.size(); ++i)
        QVERIFY2(std::abs(after[i] - 0.375f) < 0.01f, qPrintable(QString::number(after[i])));
}

void TestAudio::namesMatchWithoutRegardToCase_data()
{
    QTest::addColumn<QString>("onDisk");
    QTest::addColumn<QString>("asked");
    QTest::newRow("lower asks for capital") << "Toeng.wav"
                                            << "toeng.wav";
    QTest::newRow("capital asks for lower") << "benar.wav"
                                            << "Benar.wav";
    QTest::newRow("extension in capitals") << "LASER.WAV"
                                           << "Laser.wav";
    QTest::newRow("exact") << "7.wav"
                           << "7.wav";
}

void TestAudio::namesMatchWithoutRegardToCase()
{
    QFETCH(QString, onDisk);
    QFETCH(QString, asked);
    writeFile(m_folder + onDisk, constantWav(2205, 8192));
    QCOMPARE(findFileIgnoringCase({m_folder}, asked), m_folder + onDisk);
    AudioEngine engine(nullptr);
    engine.setSoundFolders({m_folder});
    QVERIFY(engine.sound(asked) != defaultSound());
}

void TestAudio::unusableFilesPlayTheDefault_data()
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

void TestAudio::unusableFilesPlayTheDefault()
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

void TestAudio::foldersAreSearchedInOrder()
{
    const QString second = m_dir->path() + QStringLiteral("/installed/");
    QVERIFY(QDir().mkpath(second));
    writeFile(second + QStringLiteral("Good.wav"), constantWav(2205, 8192));
    writeFile(second + QStringLiteral("Laser.wav"), constantWav(2205, 8192));
    writeFile(m_folder + QStringLiteral("laser.wav"), constantWav(2205, 8192));
    QCOMPARE(findFileIgnoringCase({m_folder, second}, QStringLiteral("Good.wav")),
             second + QStringLiteral("Good.wav"));
    QCOMPARE(findFileIgnoringCase({m_folder, second}, QStringLiteral("Laser.wav")),
             m_folder + QStringLiteral("laser.wav"));
    // A name is a name, never a way out of the sound folders.
    QCOMPARE(findFileIgnoringCase({m_folder}, QStringLiteral("../installed/Good.wav")), QString());
}

void TestAudio::longNonAsciiFolder()
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

void TestAudio::soundsAreDecodedOnce()
{
    writeFile(m_folder + QStringLiteral("1.wav"), constantWav(2205, 8192));
    AudioEngine engine(nullptr);
    engine.setSoundFolders({m_folder});
    const auto first = engine.sound(QStringLiteral("1.wav"));
    QVERIFY(QFile::remove(m_folder + QStringLiteral("1.wav")));
    QCOMPARE(engine.sound(QStringLiteral("1.WAV")), first);
}

void TestAudio::everyShippedSoundDecodes()
{
    const QString folder = QStringLiteral(NUMBELO_SOURCE_DIR "/resources/sound/");
    const QStringList names = QDir(folder).entryList({QStringLiteral("*.wav")}, QDir::Files);
    QCOMPARE(names.size(), 16);
    AudioEngine engine(nullptr);
    engine.setSoundFolders({folder});
    for (const QString &name : names)
        QVERIFY2(engine.sound(name) != defaultSound(), qPrintable(name));
}

void TestAudio::mixNeverClips()
{
    writeFile(m_folder + QStringLiteral("loud.wav"), constantWav(22050, 32767));
    AudioEngine engine(nullptr);
    engine.setSoundFolders({m_folder});
    LoudMusic music;
    engine.mixer().setMusicSource(&music);
    engine.playSound(QStringLiteral("loud.wav"));
    const auto out = render(engine.mixer(), 4096);
    engine.mixer().setMusicSource(nullptr);
    float peak = 0;
    for (float s : out)
        peak = std::max(peak, std::abs(s));
    QVERIFY2(peak < 1.0f && peak > 0.9f, qPrintable(QString::number(peak)));
    // Quiet signals pass unchanged.
    QCOMPARE(softLimit(0.5f), 0.5f);
    QCOMPARE(softLimit(-0.5f), -0.5f);
}

void TestAudio::noDeviceMeansSilence()
{
    AudioEngine engine(std::make_unique<FailingOutput>());
    QVERIFY(!engine.hasOutput());
    QCOMPARE(engine.periodFrames(), 0);
    engine.setSoundFolders({m_folder});
    engine.playSound(QStringLiteral("Laser.wav")); // nothing there either: no crash, no error
    QVERIFY(engine.mixer().effectPlaying());
}

void TestAudio::brokenDriverFallsBackToSilentClock()
{
    qputenv("SDL_AUDIODRIVER", "no-such-driver");
    {
        AudioEngine engine(std::make_unique<SdlAudioOutput>());
        QVERIFY(engine.hasOutput());
        QCOMPARE(engine.periodFrames(), Audio::periodFrames);
        engine.playSound(QStringLiteral("anything.wav"));
        // The silent driver still pulls samples, so the effect gets mixed.
        QTRY_VERIFY_WITH_TIMEOUT(
            engine.mixer().lastEffectFirstMixed() != Mixer::Clock::time_point{}, 2000);
    }
    qputenv("SDL_AUDIODRIVER", "dummy");
}

QTEST_GUILESS_MAIN(TestAudio)
#include "test_audio.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the background tune through the program's own mixer, without a sound device, to
// WAV files for listening and measuring: the tune alone, and the tune with the sound effects
// a lesson plays over it (the greeting, spoken digits, right and wrong, the final whistle).
//
//   musicwav TUNE.wav MIX.wav [SECONDS]      (then: sox TUNE.wav -n stats)
#include "music/TMediaPlayer.h"
#include "platform/portable/AudioEngine.h"
#include "platform/portable/MusicDevice.h"
#include "platform/portable/ProgramFolders.h"

#include <QCoreApplication>
#include <QFile>
#include <cmath>
#include <cstdio>

namespace {
QString programDir()
{
    return folderOfExecutable(QCoreApplication::applicationFilePath());
}

// A 32-bit float WAV: exactly the samples the device would be given.
bool writeWav(const QString &path, const std::vector<float> &samples)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    auto u32 = [&file](quint32 v) { file.write(reinterpret_cast<const char *>(&v), 4); };
    auto u16 = [&file](quint16 v) { file.write(reinterpret_cast<const char *>(&v), 2); };
    const quint32 dataBytes = quint32(samples.size() * sizeof(float));
    file.write("RIFF");
    u32(38 + dataBytes);
    file.write("WAVEfmt ");
    u32(18);
    u16(3); // IEEE float
    u16(Audio::channels);
    u32(Audio::sampleRate);
    u32(Audio::sampleRate * Audio::channels * 4);
    u16(Audio::channels * 4);
    u16(32);
    u16(0); // no extension
    file.write("data");
    u32(dataBytes);
    file.write(reinterpret_cast<const char *>(samples.data()), qint64(dataBytes));
    return true;
}

// `effectAt` is asked before every period whether an effect starts there.
std::vector<float> render(double seconds, const std::function<void(AudioEngine &, int)> &effectAt)
{
    AudioEngine audio(nullptr);
    audio.setSoundFolders(
        ProgramFolders::forExecutable(QCoreApplication::applicationFilePath()).soundDirs());
    const std::unique_ptr<MusicSystem> music = makeSystemMusic(&audio.mixer(), ProgramFolders());
    TMediaPlayer player(*music);
    player.FileName = programDir() + QStringLiteral("sound/zamba.mid");
    player.OnNotify = [&player](QObject *) {
        if (player.NotifyValue() == TMediaPlayer::TMPNotifyValues::nvSuccessful)
            player.Play();
    };
    player.Open();
    player.Play();
    player.WaitForInstruments();
    const int periods = int(seconds * Audio::sampleRate / Audio::periodFrames);
    std::vector<float> out(std::size_t(periods) * Audio::periodFrames * Audio::channels);
    for (int p = 0; p < periods; ++p) {
        effectAt(audio, p);
        audio.mixer().mix(out.data() + std::size_t(p) * Audio::periodFrames * Audio::channels,
                          Audio::periodFrames);
        QCoreApplication::processEvents();
    }
    return out;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: musicwav TUNE.wav MIX.wav [SECONDS]\n");
        return 2;
    }
    const double seconds = argc > 3 ? std::atof(argv[3]) : 65.0;
    try {
        const std::vector<float> tune = render(seconds, [](AudioEngine &, int) {});

        // What a lesson sounds like over the music: a digit or two typed, then right or
        // wrong, every few seconds.
        const QStringList lesson{"Laser.wav", "3.wav",     "Benar.wav", "1.wav",
                                 "2.wav",     "Salah.wav", "7.wav",     "Benar.wav",
                                 "Good.wav",  "9.wav",     "Toeng.wav", "Whistle.wav"};
        const int every = Audio::sampleRate / Audio::periodFrames; // about once a second
        const std::vector<float> mix = render(seconds, [&](AudioEngine &audio, int period) {
            if (period % every == 0)
                audio.playSound(lesson.at((period / every) % lesson.size()));
        });
        if (!writeWav(QString::fromLocal8Bit(argv[1]), tune) ||
            !writeWav(QString::fromLocal8Bit(argv[2]), mix)) {
            std::fprintf(stderr, "musicwav: cannot write the WAV files\n");
            return 1;
        }
    } catch (const std::exception &error) {
        std::fprintf(stderr, "musicwav: %s\n", error.what());
        return 1;
    }
    return 0;
}

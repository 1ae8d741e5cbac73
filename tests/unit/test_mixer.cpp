// SPDX-License-Identifier: GPL-3.0-or-later
// The mixer, rendered offline: one effect voice that a new sound cuts off without a click, and
// the music under it, never clipped.
#include "platform/portable/Mixer.h"

#include <QTest>
#include <cmath>

namespace {
std::vector<float> render(Mixer &mixer, int frames)
{
    std::vector<float> out(std::size_t(frames) * Audio::channels);
    mixer.mix(out.data(), frames);
    return out;
}

// A sound of `frames` frames: a steady `level`, or from silence a sine of that amplitude.
std::shared_ptr<const Sound> makeSound(int frames, float level, bool sine)
{
    auto sound = std::make_shared<Sound>();
    for (int f = 0; f < frames; ++f) {
        const float value =
            sine ? level * float(std::sin(2.0 * 3.14159265 * 440.0 * f / Audio::sampleRate))
                 : level;
        sound->samples.push_back(std::int16_t(std::lround(value * 32767.0f)));
    }
    return sound;
}

// The largest step between two neighbouring frames of `out`, on any channel, from frame
// `from` on.
float largestStep(const std::vector<float> &out, int from)
{
    float step = 0.0f;
    for (std::size_t i = std::size_t(std::max(from, 1)) * Audio::channels; i < out.size(); ++i)
        step = std::max(step, std::fabs(out[i] - out[i - Audio::channels]));
    return step;
}

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

class TestMixer : public QObject
{
    Q_OBJECT
  private slots:
    void newSoundCutsOffTheOld();
    void cutsFadeOut_data();
    void cutsFadeOut();
    void mixNeverClips();
};

void TestMixer::newSoundCutsOffTheOld()
{
    Mixer mixer;
    mixer.playEffect(makeSound(Audio::sampleRate, 0.125f, false));
    render(mixer, 1024);
    mixer.playEffect(makeSound(Audio::sampleRate, 0.375f, false));
    const auto after = render(mixer, 1024);
    // Once the first has faded out, only the second is heard, not both together.
    for (std::size_t i = std::size_t(Mixer::fadeFrames) * Audio::channels; i < after.size(); ++i)
        QVERIFY2(std::abs(after[i] - 0.375f) < 0.01f, qPrintable(QString::number(after[i])));
}

void TestMixer::cutsFadeOut_data()
{
    QTest::addColumn<QString>("cut");
    QTest::newRow("a loud sound cut at its loudest by another") << "play";
    QTest::newRow("a loud sound stopped") << "stop";
    QTest::newRow("three sounds cut in quick succession") << "play play";
}

// Whatever cuts a sound off, the mix never jumps: the sound cut off fades out in a few
// milliseconds, while the new one starts at once.
void TestMixer::cutsFadeOut()
{
    QFETCH(QString, cut);
    Mixer mixer;
    const auto tone = makeSound(Audio::sampleRate, 0.3f, true);
    std::vector<float> out;
    const auto listen = [&](int frames) {
        const std::vector<float> period = render(mixer, frames);
        out.insert(out.end(), period.begin(), period.end());
    };
    mixer.playEffect(makeSound(2 * Audio::sampleRate, 0.9f, false));
    listen(Audio::sampleRate);
    const int cutAt = int(out.size()) / Audio::channels - 1;
    if (cut == u"stop") {
        mixer.stopEffect();
    } else {
        for (const QString &step : cut.split(u' ')) {
            Q_UNUSED(step);
            mixer.playEffect(tone);
            listen(7);
        }
    }
    listen(Audio::sampleRate / 10);
    QVERIFY2(largestStep(out, cutAt) <= 0.05f,
             qPrintable(QString::number(largestStep(out, cutAt))));
    // A few milliseconds later, a sound stopped is gone.
    if (cut == u"stop")
        QVERIFY(std::fabs(out.back()) < 1e-4f);
}

void TestMixer::mixNeverClips()
{
    Mixer mixer;
    LoudMusic music;
    mixer.setMusicSource(&music);
    mixer.playEffect(makeSound(Audio::sampleRate, 1.0f, false));
    const auto out = render(mixer, 4096);
    mixer.setMusicSource(nullptr);
    float peak = 0;
    for (float s : out)
        peak = std::max(peak, std::abs(s));
    QVERIFY2(peak < 1.0f && peak > 0.9f, qPrintable(QString::number(peak)));
    // Quiet signals pass unchanged.
    QCOMPARE(softLimit(0.5f), 0.5f);
    QCOMPARE(softLimit(-0.5f), -0.5f);
}

QTEST_GUILESS_MAIN(TestMixer)
#include "test_mixer.moc"

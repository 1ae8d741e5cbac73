// SPDX-License-Identifier: GPL-3.0-or-later
// From a digit key pressed in the answer box to the first sample of its spoken digit handed
// to the audio device (SDL's dummy driver, which pulls periods in real time like a card). The
// device is SDL's, wrapped so that the benchmark sees each period as it is handed over: before
// every key the sound before it is stopped and left to fade out, so the first period with a
// sample that is not silent after the key holds the start of its digit.
//
//   keylatency [PRESSES] [after-idle [SECONDS]]
//
// With "after-idle", the presses are followed by a pause of up to SECONDS (default 40) in which
// the program is left alone with its event loop running, waiting for it to close its audio
// device (seen from outside: SDL's playback thread, "SDLAudioP...", is gone); then one more
// key is timed, which has to open the device again. A device that stays open is reported so.
#include "app/TfoMain.h"
#include "platform/portable/AudioEngine.h"
#include "platform/portable/DesktopOpener.h"
#include "platform/portable/MusicDevice.h"
#include "platform/portable/ProgramFolders.h"
#include "platform/sdl/SdlAudioOutput.h"
#include "startup/SoundActivity.h"
#include "startup/Startup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

namespace {
using Clock = std::chrono::steady_clock;

// SDL's output, telling when the first sound after silence was handed to the device.
class WatchedOutput final : public AudioOutput, private SampleSource
{
  public:
    bool start(SampleSource *source) override
    {
        m_source = source;
        return m_device.start(this);
    }
    void stop() override { m_device.stop(); }
    int periodFrames() const override { return m_device.periodFrames(); }
    int sampleRate() const override { return m_device.sampleRate(); }
    // When the last period that followed silence with sound was handed over.
    Clock::time_point soundAfterSilence() const
    {
        return Clock::time_point(Clock::duration(m_soundAfterSilence.load()));
    }
    // How many silent periods were handed over so far.
    long silentPeriods() const { return m_silentPeriods.load(); }

  private:
    // On the device's thread.
    void mix(float *out, int frames) override
    {
        m_source->mix(out, frames);
        const bool sound =
            std::any_of(out, out + frames * Audio::channels, [](float s) { return s != 0.0f; });
        if (sound && m_silent)
            m_soundAfterSilence = Clock::now().time_since_epoch().count();
        m_silent = !sound;
        if (m_silent)
            ++m_silentPeriods;
    }

    SdlAudioOutput m_device;
    SampleSource *m_source = nullptr;
    bool m_silent = true;
    std::atomic<Clock::rep> m_soundAfterSilence{0};
    std::atomic<long> m_silentPeriods{0};
};

// Whether SDL's playback thread is running in this process: it lives exactly as long as an
// opened audio device.
bool audioThreadRunning()
{
    const QStringList tasks =
        QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &task : tasks) {
        QFile name(QStringLiteral("/proc/self/task/%1/comm").arg(task));
        if (name.open(QIODevice::ReadOnly) && name.readAll().startsWith("SDLAudioP"))
            return true;
    }
    return false;
}
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER"))
        qputenv("SDL_AUDIODRIVER", "dummy");
    QApplication application(argc, argv);
    prepareApplication(application);
    const int presses = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    const bool afterIdle = argc > 2 && std::strcmp(argv[2], "after-idle") == 0;
    const int idleSeconds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 40;

    // As the program does: the sound starts after the first paint, and every key is a sign
    // of activity that opens a device closed for being idle.
    auto watched = std::make_unique<WatchedOutput>();
    const WatchedOutput &output = *watched;
    AudioEngine audio(std::move(watched));
    const ProgramFolders folders =
        ProgramFolders::forExecutable(QCoreApplication::applicationFilePath());
    audio.setSoundFolders(folders.soundDirs());
    // When the window's first frame was painted: its greeting sound starts after it.
    Clock::time_point painted;
    struct FirstPaint : QObject
    {
        Clock::time_point *painted;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint && *painted == Clock::time_point{})
                *painted = Clock::now();
            return false;
        }
    } firstPaint;
    firstPaint.painted = &painted;
    application.installEventFilter(&firstPaint);
    followSoundActivity(
        application, [&audio] { audio.start(); }, [&audio] { audio.wake(); });
    const std::unique_ptr<MusicSystem> music = makeSystemMusic(&audio.mixer(), folders);
    const std::unique_ptr<DesktopOpener> desktop = makeSystemDesktopOpener();
    TfoMain window({folders, audio, *music, *desktop});
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    // The device is open and every sound decoded before the first key is timed.
    if (!QTest::qWaitFor([&audio] { return audio.hasOutput(); }, 5000))
        return 1;
    if (!QTest::qWaitFor([&output] { return output.soundAfterSilence() != Clock::time_point{}; },
                         2000))
        return 1;
    std::printf(
        "greeting: first sample %.2f ms after the first paint\n",
        std::chrono::duration<double, std::milli>(output.soundAfterSilence() - painted).count());
    application.removeEventFilter(&firstPaint);
    audio.waitUntilPreloaded();
    window.PlayGame(nullptr);

    // Milliseconds from a digit key to the first sample of its sound handed to the device.
    // With the device closed for being idle there is no period to wait for: the first one the
    // reopened device is handed after the key is timed.
    const auto timeKey = [&](int i, bool deviceOpen) {
        window.edAnswer->clear();
        // The sound before fades out in 2 ms; then the device is handed a silent period.
        audio.mixer().stopEffect();
        while (audio.mixer().busy())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const long silentBefore = output.silentPeriods();
        while (deviceOpen && output.silentPeriods() < silentBefore + 2)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const Clock::time_point before = output.soundAfterSilence();
        const Qt::Key digit = Qt::Key(Qt::Key_0 + i % 10);
        const auto pressed = Clock::now();
        QTest::keyClick(window.edAnswer, digit);
        Clock::time_point mixed;
        // A sound that never starts counts as two seconds late, rather than hanging here.
        while ((mixed = output.soundAfterSilence()) == before &&
               Clock::now() - pressed < std::chrono::seconds(2))
            std::this_thread::yield();
        if (mixed == before)
            mixed = Clock::now();
        return std::chrono::duration<double, std::milli>(mixed - pressed).count();
    };
    std::vector<double> latencies;
    for (int i = 0; i < presses; ++i) {
        latencies.push_back(timeKey(i, true));
        // Let the digit play a little, as a child types.
        std::this_thread::sleep_for(std::chrono::milliseconds(37 + 13 * (i % 7)));
    }
    std::sort(latencies.begin(), latencies.end());
    // A digit within 12 ms of its key sounds instant.
    constexpr double target = 12.0;
    const double period = 1000.0 * audio.periodFrames() / std::max(1, audio.sampleRate());
    std::printf("key to first sample of the digit, %d presses: median %.2f ms, max %.2f ms\n",
                presses, latencies[latencies.size() / 2], latencies.back());
    std::printf("audio period %.2f ms (%d frames at %d Hz); target <= %.0f ms: %s\n", period,
                audio.periodFrames(), audio.sampleRate(), target,
                latencies.back() <= target ? "pass" : "fail");
    if (afterIdle) {
        const auto idleStart = Clock::now();
        if (QTest::qWaitFor([] { return !audioThreadRunning(); }, idleSeconds * 1000)) {
            const double closedAfter =
                std::chrono::duration<double>(Clock::now() - idleStart).count();
            const double first = timeKey(presses, false);
            std::printf("first key after an idle close: %.2f ms (device closed %.1f s after the "
                        "last key); target <= %.0f ms: %s\n",
                        first, closedAfter, target, first <= target ? "pass" : "fail");
        } else {
            std::printf("first key after an idle close: n/a (device never closes: still open "
                        "%d s after the last key)\n",
                        idleSeconds);
        }
    }
    return 0;
}

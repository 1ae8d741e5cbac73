// SPDX-License-Identifier: GPL-3.0-or-later
// What the background music costs: CPU while it plays, and the window's start-up time and
// memory with the tune present and absent. Prints a small table.
//
//   musicbench [RUNS]        everything (start-ups alternate, RUNS of each; default 7)
//   musicbench cpu [SECONDS] only the CPU figures (default 10 s a phase)
//   musicbench hour [MINUTES] the music left on for an hour (default 60 minutes), rendered
//                            offline through the program's mixer as fast as it goes, looped
//                            by its end-of-piece notice as the window loops it
//
// CPU: the program's audio engine on SDL's dummy driver, which pulls periods in real time
// like a sound card; user plus system time of the whole process (audio thread included)
// over the phase, as a percentage of one core. Start-up: from main() to the window's first
// paint, in a fresh process each time; with the tune absent, the time the error box stood
// open is left out, so that both figures count the program's own work.
#include "app/TfoMain.h"
#include "dialogs/TMessageForm.h"
#include "music/TMediaPlayer.h"
#include "platform/portable/AudioEngine.h"
#include "platform/portable/DesktopOpener.h"
#include "platform/portable/MusicDevice.h"
#include "platform/portable/ProgramFolders.h"
#include "platform/sdl/SdlAudioOutput.h"
#include "startup/SoundActivity.h"
#include "startup/Startup.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {
QString programDir()
{
    return folderOfExecutable(QCoreApplication::applicationFilePath());
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long residentKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

void wait(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// Percent of one core used over `seconds` while the event loop runs.
double cpuPercentOver(double seconds)
{
    const double cpuBefore = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    wait(int(seconds * 1000));
    return 100.0 * (cpuSeconds() - cpuBefore) / (double(wall.nsecsElapsed()) / 1e9);
}

struct CpuFigures
{
    double off = 0, on = 0, offlineRender = 0;
    double loadMs = 0;          // from the first Play until the instruments are in
    long rssOff = 0, rssOn = 0; // kB, before the first Play and while playing
};

CpuFigures measureCpu(double seconds)
{
    CpuFigures figures;
    {
        AudioEngine audio(std::make_unique<SdlAudioOutput>());
        audio.start();
        const std::unique_ptr<MusicSystem> music =
            makeSystemMusic(&audio.mixer(), ProgramFolders::forExecutable(programDir()));
        TMediaPlayer player(*music);
        player.FileName = programDir() + QStringLiteral("sound/zamba.mid");
        player.OnNotify = [&player](QObject *) {
            if (player.NotifyValue() == TMediaPlayer::TMPNotifyValues::nvSuccessful)
                player.Play();
        };
        player.Open();
        wait(1000); // the instruments load, the device settles
        figures.off = cpuPercentOver(seconds);
        figures.rssOff = residentKilobytes();
        QElapsedTimer loading;
        loading.start();
        player.Play();
        player.WaitForInstruments();
        figures.loadMs = double(loading.nsecsElapsed()) / 1e6;
        figures.on = cpuPercentOver(seconds);
        figures.rssOn = residentKilobytes();
    }
    {
        // The synthesizer alone: one minute of the tune rendered as fast as it goes.
        AudioEngine audio(nullptr);
        const std::unique_ptr<MusicSystem> music =
            makeSystemMusic(&audio.mixer(), ProgramFolders::forExecutable(programDir()));
        TMediaPlayer player(*music);
        player.FileName = programDir() + QStringLiteral("sound/zamba.mid");
        player.Open();
        player.Play();
        player.WaitForInstruments();
        std::vector<float> period(std::size_t(Audio::periodFrames) * Audio::channels);
        const int periods = 60 * Audio::sampleRate / Audio::periodFrames;
        const double before = cpuSeconds();
        for (int p = 0; p < periods; ++p)
            audio.mixer().mix(period.data(), Audio::periodFrames);
        figures.offlineRender = 100.0 * (cpuSeconds() - before) / 60.0;
    }
    return figures;
}

// An hour of music, without a device: the mixer is pulled a period at a time, and the window's
// event queue is served after every period, which hands the end of a piece over at least as
// soon as a real device's pace would. What it measures: the resident memory once the first
// loop has ended and at the end; the CPU the rendering took, as a share of the music's length
// (what a device playing it in real time costs, less the device's own thread); and whether
// every loop is gapless and starts from the first note: each loop as long as the others, its
// first sound the same number of periods after its start, and no period of a later loop silent
// where the second loop sounds (the first starts from silence, every later one under the last
// notes of the one before; the synthesizer's voices differ a little from loop to loop, which is
// reported as the largest difference of a period's energy).
int measureHour(double minutes)
{
    AudioEngine audio(nullptr);
    const std::unique_ptr<MusicSystem> music =
        makeSystemMusic(&audio.mixer(), ProgramFolders::forExecutable(programDir()));
    TMediaPlayer player(*music);
    player.FileName = programDir() + QStringLiteral("sound/zamba.mid");
    std::int64_t rendered = 0; // frames
    std::vector<std::int64_t> loopStarts{0};
    player.OnNotify = [&](QObject *) {
        if (player.NotifyValue() == TMediaPlayer::TMPNotifyValues::nvSuccessful) {
            player.Play();
            loopStarts.push_back(rendered);
        }
    };
    player.Open();
    player.Play();
    player.setNotify(true);
    player.WaitForInstruments();

    const std::int64_t total = std::int64_t(minutes * 60 * Audio::sampleRate);
    std::vector<float> period(std::size_t(Audio::periodFrames) * Audio::channels);
    std::vector<double> second;  // the second loop's energy in each period
    std::vector<int> firstSound; // each loop's first period with sound, counted from its start
    double worstDeviation = 0;   // of any later loop's energy from the second's, relative
    int dropouts = 0;            // periods of later loops silent where the second sounds
    long rssAfterFirst = -1;
    std::size_t loop = 0;
    std::int64_t periodInLoop = 0;
    const double cpuBefore = cpuSeconds();
    while (rendered < total) {
        if (loopStarts.size() - 1 != loop) {
            loop = loopStarts.size() - 1;
            periodInLoop = 0;
            if (loop == 1)
                rssAfterFirst = residentKilobytes();
        }
        audio.mixer().mix(period.data(), Audio::periodFrames);
        double energy = 0;
        for (const float sample : period)
            energy += double(sample) * double(sample);
        if (firstSound.size() == loop && energy > 1e-6)
            firstSound.push_back(int(periodInLoop));
        if (loop == 1) {
            second.push_back(energy);
        } else if (loop >= 2 && std::size_t(periodInLoop) < second.size()) {
            const double reference = second[std::size_t(periodInLoop)];
            if (energy <= 1e-6 && reference > 1e-3)
                ++dropouts;
            worstDeviation =
                std::max(worstDeviation, std::fabs(energy - reference) / std::max(reference, 1e-3));
        }
        ++periodInLoop;
        rendered += Audio::periodFrames;
        QCoreApplication::processEvents();
    }
    const double cpu = cpuSeconds() - cpuBefore;
    const long rssEnd = residentKilobytes();

    // Only loops that ended count for their length.
    std::vector<double> lengths;
    for (std::size_t i = 1; i + 1 < loopStarts.size(); ++i)
        lengths.push_back(double(loopStarts[i + 1] - loopStarts[i]) / Audio::sampleRate);
    const auto [shortest, longest] = std::minmax_element(lengths.begin(), lengths.end());
    const auto [earliest, latest] = std::minmax_element(firstSound.begin(), firstSound.end());
    const double periodMs = 1000.0 * Audio::periodFrames / Audio::sampleRate;
    const bool gapless = !lengths.empty() && (*longest - *shortest) * 1000 <= periodMs &&
                         *latest - *earliest <= 1 && dropouts == 0;
    std::printf("music for %.0f minutes, rendered in %.1f s: %zu loops of %.2f s (spread %.1f ms); "
                "first sound %d to %d periods after each loop's start; later loops against the "
                "second: %d silent periods, energy within %.1f %%; %s\n",
                minutes, cpu, loopStarts.size(), lengths.empty() ? 0.0 : *shortest,
                lengths.empty() ? 0.0 : (*longest - *shortest) * 1000, *earliest, *latest, dropouts,
                100 * worstDeviation, gapless ? "gapless" : "NOT gapless");
    std::printf("resident memory: %.1f MB after the first loop, %.1f MB at the end (%+.2f MB); "
                "CPU %.2f %% of a core\n",
                double(rssAfterFirst) / 1024.0, double(rssEnd) / 1024.0,
                double(rssEnd - rssAfterFirst) / 1024.0, 100.0 * cpu / (minutes * 60));
    return gapless ? 0 : 1;
}

// One start of the window in this process; prints "startup_ms rss_at_paint_kb rss_settled_kb".
int startOnce(int argc, char *argv[], const QElapsedTimer &sinceMain)
{
    QApplication application(argc, argv);
    prepareApplication(application);
    qint64 boxShown = -1, boxOpenFor = 0, painted = -1;
    long rssAtPaint = 0;
    struct Watcher : QObject
    {
        std::function<bool(QObject *, QEvent *)> filter;
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            return filter(watched, event);
        }
    } watcher;
    TfoMain *window = nullptr;
    watcher.filter = [&](QObject *watched, QEvent *event) {
        auto *box = qobject_cast<TMessageForm *>(watched);
        if (box != nullptr && event->type() == QEvent::Show) {
            boxShown = sinceMain.nsecsElapsed();
            QMetaObject::invokeMethod(
                box, [box] { box->done(mrOk); }, Qt::QueuedConnection);
        } else if (box != nullptr && event->type() == QEvent::Hide && boxShown >= 0) {
            boxOpenFor += sinceMain.nsecsElapsed() - boxShown;
            boxShown = -1;
        } else if (window != nullptr && painted < 0 && event->type() == QEvent::Paint &&
                   watched == window->centralWidget()) {
            painted = sinceMain.nsecsElapsed();
            rssAtPaint = residentKilobytes();
        }
        return false;
    };
    application.installEventFilter(&watcher);

    AudioEngine audio(std::make_unique<SdlAudioOutput>());
    const ProgramFolders folders =
        ProgramFolders::forExecutable(QCoreApplication::applicationFilePath());
    audio.setSoundFolders(folders.soundDirs());
    followSoundActivity(
        application, [&audio] { audio.start(); }, [&audio] { audio.wake(); });
    const std::unique_ptr<MusicSystem> music = makeSystemMusic(&audio.mixer(), folders);
    const std::unique_ptr<DesktopOpener> desktop = makeSystemDesktopOpener();
    TfoMain foMain({folders, audio, *music, *desktop});
    window = &foMain;
    foMain.show();
    while (painted < 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    wait(700); // settled
    std::printf("%.2f %ld %ld\n", double(painted - boxOpenFor) / 1e6, rssAtPaint,
                residentKilobytes());
    return 0;
}

struct StartFigures
{
    double ms = 0;
    long rssAtPaint = 0, rssSettled = 0;
};

StartFigures runStart(const QString &program)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(program, {QStringLiteral("start-child")});
    child.waitForFinished(60000);
    const QStringList fields =
        QString::fromLocal8Bit(child.readAllStandardOutput()).trimmed().split(u' ');
    if (fields.size() != 3)
        return {-1, -1, -1};
    return {fields[0].toDouble(), fields[1].toLong(), fields[2].toLong()};
}

template <typename T> T median(std::vector<T> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int measureAll(int runs, double cpuSeconds)
{
    // The same program in a folder whose sound folder has everything but the tune.
    QTemporaryDir folder(programDir() + QStringLiteral("musicbench-XXXXXX"));
    QDir().mkpath(folder.filePath(QStringLiteral("sound")));
    const QStringList sounds = QDir(programDir() + QStringLiteral("sound")).entryList(QDir::Files);
    for (const QString &name : sounds) {
        if (name.compare(QStringLiteral("zamba.mid"), Qt::CaseInsensitive) != 0)
            QFile::copy(programDir() + QStringLiteral("sound/") + name,
                        folder.filePath(QStringLiteral("sound/") + name));
    }
    const QString self = QCoreApplication::applicationFilePath();
    const QString absent = folder.filePath(QStringLiteral("musicbench"));
    if (::link(QFile::encodeName(self).constData(), QFile::encodeName(absent).constData()) != 0)
        QFile::copy(self, absent);

    runStart(self); // warm the caches
    std::vector<StartFigures> with, without;
    for (int run = 0; run < runs; ++run) {
        with.push_back(runStart(self));
        without.push_back(runStart(absent));
    }
    auto ms = [](const std::vector<StartFigures> &f) {
        std::vector<double> v;
        for (const auto &x : f)
            v.push_back(x.ms);
        return median(v);
    };
    auto rss = [](const std::vector<StartFigures> &f, bool settled) {
        std::vector<long> v;
        for (const auto &x : f)
            v.push_back(settled ? x.rssSettled : x.rssAtPaint);
        return double(median(v)) / 1024.0;
    };
    const CpuFigures cpu = measureCpu(cpuSeconds);

    std::printf("Background music (%d start-ups each, medians; Qt platform \"%s\")\n", runs,
                qPrintable(QGuiApplication::platformName().isEmpty()
                               ? qEnvironmentVariable("QT_QPA_PLATFORM")
                               : QGuiApplication::platformName()));
    std::printf("%-34s %12s %14s %14s\n", "", "start-up", "RSS at paint", "RSS settled");
    std::printf("%-34s %9.1f ms %11.1f MB %11.1f MB\n", "tune present (music opened)", ms(with),
                rss(with, false), rss(with, true));
    std::printf("%-34s %9.1f ms %11.1f MB %11.1f MB\n", "tune absent (open fails)", ms(without),
                rss(without, false), rss(without, true));
    std::printf("start-up with the tune: %+.1f %% (target <= +10 %%)\n",
                100.0 * (ms(with) / ms(without) - 1.0));
    std::printf("%-34s %11s\n", "", "CPU, % core");
    std::printf("%-34s %11.2f\n", "music off, device running", cpu.off);
    std::printf("%-34s %11.2f\n", "music playing", cpu.on);
    std::printf("%-34s %11.2f\n", "synthesizer alone (offline render)", cpu.offlineRender);
    std::printf("first Play: instruments loaded in the background in %.0f ms; RSS %.1f MB "
                "before, %.1f MB while playing\n",
                cpu.loadMs, double(cpu.rssOff) / 1024.0, double(cpu.rssOn) / 1024.0);
    return 0;
}
} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer sinceMain;
    sinceMain.start();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER"))
        qputenv("SDL_AUDIODRIVER", "dummy");
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == u"start-child")
        return startOnce(argc, argv, sinceMain);

    QApplication application(argc, argv);
    try {
        if (mode == u"hour")
            return measureHour(argc > 2 ? std::atof(argv[2]) : 60.0);
        if (mode == u"cpu") {
            const double seconds = argc > 2 ? std::atof(argv[2]) : 10.0;
            const CpuFigures cpu = measureCpu(seconds);
            std::printf("CPU, %% of one core over %.0f s: music off %.2f, music playing %.2f; "
                        "synthesizer alone %.2f; instruments loaded in %.0f ms\n",
                        seconds, cpu.off, cpu.on, cpu.offlineRender, cpu.loadMs);
            return 0;
        }
        return measureAll(argc > 1 ? std::max(1, std::atoi(argv[1])) : 7, 10.0);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "musicbench: %s\n", error.what());
        return 1;
    }
}

// SPDX-License-Identifier: GPL-3.0-or-later
// What the length of the audio period costs: opens SDL's default output at 48 kHz stereo float
// with 256, 512 and 1024 frames a period, feeds it silence, and reports for each the time to
// open and to close the device, and the CPU and wake-ups of this program and, when its process
// id is given, of the sound server. The program's own sound output is not involved: this is the
// bare SDL device, as the audio engine would open it.
//
//   audioperiod SECONDS [SERVER_PID]
//
// One line per period length:
//   frames 512 (10.67 ms): open median 2.10 ms max 3.00 ms, close median 15.10 ms max 16.00 ms;
//   program 0.8 % 94.0/s; server 3.1 % 190.0/s
#include <SDL.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// CPU time (user + system, in clock ticks) and context switches (every one a wake-up) of a
// process, summed over its threads.
struct Usage
{
    long long ticks = 0;
    long long switches = 0;
};

Usage usageOf(pid_t pid)
{
    Usage usage;
    const std::string folder = "/proc/" + std::to_string(pid);
    std::ifstream stat(folder + "/stat");
    std::string line;
    std::getline(stat, line);
    // The fields after the command name, which is in brackets and may hold spaces.
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14 || i == 15)
            usage.ticks += std::atoll(field.c_str());
    }
    DIR *tasks = opendir((folder + "/task").c_str());
    if (tasks == nullptr)
        return usage;
    while (const dirent *task = readdir(tasks)) {
        if (task->d_name[0] == '.')
            continue;
        std::ifstream status(folder + "/task/" + task->d_name + "/status");
        while (std::getline(status, line)) {
            if (line.find("ctxt_switches:") != std::string::npos)
                usage.switches += std::atoll(line.c_str() + line.find(':') + 1);
        }
    }
    closedir(tasks);
    return usage;
}

void silence(void *, Uint8 *stream, int length)
{
    std::memset(stream, 0, size_t(length));
}

SDL_AudioDeviceID openDevice(int frames, SDL_AudioSpec *obtained)
{
    SDL_AudioSpec wanted{};
    wanted.freq = 48000;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = 2;
    wanted.samples = Uint16(frames);
    wanted.callback = &silence;
    return SDL_OpenAudioDevice(nullptr, 0, &wanted, obtained, 0);
}

struct Spread
{
    double median;
    double max;
};

Spread spreadOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.back()};
}
} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: audioperiod SECONDS [SERVER_PID]\n");
        return 2;
    }
    const int seconds = std::max(1, std::atoi(argv[1]));
    const pid_t server = argc > 2 ? pid_t(std::atoi(argv[2])) : 0;
    const double hz = double(sysconf(_SC_CLK_TCK));
    constexpr int cycles = 5;

    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    auto start = Clock::now();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "audioperiod: %s\n", SDL_GetError());
        return 1;
    }
    std::printf("driver %s: init %.2f ms\n", SDL_GetCurrentAudioDriver(), millisecondsSince(start));

    for (const int frames : {256, 512, 1024}) {
        std::vector<double> opening, closing;
        SDL_AudioSpec obtained{};
        for (int cycle = 0; cycle <= cycles; ++cycle) {
            start = Clock::now();
            const SDL_AudioDeviceID device = openDevice(frames, &obtained);
            opening.push_back(millisecondsSince(start));
            if (device == 0) {
                std::fprintf(stderr, "audioperiod: %s\n", SDL_GetError());
                return 1;
            }
            SDL_PauseAudioDevice(device, 0);
            if (cycle == cycles) {
                // The last opening runs long enough to be measured while it plays silence.
                std::this_thread::sleep_for(std::chrono::seconds(2));
                const Usage ownBefore = usageOf(getpid());
                const Usage serverBefore = server != 0 ? usageOf(server) : Usage{};
                std::this_thread::sleep_for(std::chrono::seconds(seconds));
                const Usage own = usageOf(getpid());
                const Usage serverAfter = server != 0 ? usageOf(server) : Usage{};
                std::printf("frames %d (%.2f ms): ", obtained.samples,
                            1000.0 * obtained.samples / obtained.freq);
                const Spread open = spreadOf(opening);
                start = Clock::now();
                SDL_CloseAudioDevice(device);
                closing.push_back(millisecondsSince(start));
                const Spread close = spreadOf(closing);
                std::printf("open median %.2f ms max %.2f ms, close median %.2f ms max %.2f ms; "
                            "program %.1f %% %.1f/s",
                            open.median, open.max, close.median, close.max,
                            100.0 * double(own.ticks - ownBefore.ticks) / hz / seconds,
                            double(own.switches - ownBefore.switches) / seconds);
                if (server != 0) {
                    std::printf("; server %.1f %% %.1f/s",
                                100.0 * double(serverAfter.ticks - serverBefore.ticks) / hz /
                                    seconds,
                                double(serverAfter.switches - serverBefore.switches) / seconds);
                }
                std::printf("\n");
                std::fflush(stdout);
            } else {
                // A short sound's worth of playing before closing, as after a spoken digit.
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                start = Clock::now();
                SDL_CloseAudioDevice(device);
                closing.push_back(millisecondsSince(start));
            }
        }
    }
    start = Clock::now();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    std::printf("quit %.2f ms\n", millisecondsSince(start));
    return 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
// Times a program from its start to the first paint of its first top-level window, seen from
// outside through the X server: the window's map, then the first damage reported on it.
// Prints one line per run and the medians: the time to the first paint, the resident memory
// once settled (0.7 s after the paint, or SETTLE milliseconds), and the CPU time the program's
// threads had used by the first paint (less disturbed than the elapsed time when the machine is
// busy with other work).
//
//   firstpaint [--settle SETTLE] RUNS COMMAND [ARGS...]
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
long residentKilobytes(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

// CPU time of a process's living threads in milliseconds, from the scheduler's nanoseconds.
double cpuMilliseconds(pid_t pid)
{
    const std::string folder = "/proc/" + std::to_string(pid) + "/task";
    DIR *tasks = opendir(folder.c_str());
    if (tasks == nullptr)
        return -1;
    double total = 0;
    while (const dirent *task = readdir(tasks)) {
        if (task->d_name[0] == '.')
            continue;
        std::ifstream schedstat(folder + "/" + task->d_name + "/schedstat");
        double nanoseconds = 0;
        if (schedstat >> nanoseconds)
            total += nanoseconds / 1e6;
    }
    closedir(tasks);
    return total;
}

template <typename T> T median(std::vector<T> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
} // namespace

int main(int argc, char **argv)
{
    int settle = 700;
    if (argc > 2 && std::string(argv[1]) == "--settle") {
        settle = std::atoi(argv[2]);
        argv += 2;
        argc -= 2;
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: firstpaint [--settle MILLISECONDS] RUNS COMMAND [ARGS...]\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    Display *display = XOpenDisplay(nullptr);
    int damageEvent = 0, damageError = 0;
    if (display == nullptr || !XDamageQueryExtension(display, &damageEvent, &damageError)) {
        std::fprintf(stderr, "firstpaint: no X display with the DAMAGE extension\n");
        return 1;
    }
    int major = 1, minor = 1;
    XDamageQueryVersion(display, &major, &minor);
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);

    std::vector<double> times, cpu;
    std::vector<long> memory;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const pid_t child = fork();
        if (child == 0) {
            execvp(argv[2], argv + 2);
            _exit(127);
        }
        Damage damage = 0;
        double elapsed = -1, used = -1;
        while (elapsed < 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && !event.xmap.override_redirect && damage == 0) {
                damage = XDamageCreate(display, event.xmap.window, XDamageReportNonEmpty);
            } else if (event.type == damageEvent + XDamageNotify) {
                elapsed = std::chrono::duration<double, std::milli>(
                              std::chrono::steady_clock::now() - start)
                              .count();
                used = cpuMilliseconds(child);
            }
        }
        // Memory once the window has settled.
        std::this_thread::sleep_for(std::chrono::milliseconds(settle));
        const long rss = residentKilobytes(child);
        kill(child, SIGTERM);
        waitpid(child, nullptr, 0);
        XSync(display, True);
        times.push_back(elapsed);
        memory.push_back(rss);
        cpu.push_back(used);
        std::printf("run %d: %.1f ms, %ld kB, cpu %.1f ms\n", run + 1, elapsed, rss, used);
    }
    std::printf("median: %.1f ms, %ld kB, cpu %.1f ms\n", median(times), median(memory),
                median(cpu));
    XCloseDisplay(display);
    return 0;
}

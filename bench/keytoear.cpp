// SPDX-License-Identifier: GPL-3.0-or-later
// From a key pressed on the X server (XTest, as a keyboard does) to the first sound of what it
// plays at a sound server's sink, as a child hears it: the sink's monitor is recorded in short
// fragments, and the first sample above -50 dBFS after the key is timed. Several windows are
// timed in the same run, in turns of five keys, so that the server's own drift (PipeWire's
// timing through its monitor is loose) hits them alike.
//
//   keytoear KEYS SOURCE NAME=WINDOW [NAME=WINDOW...]
//
// SOURCE is the monitor to record ("lesson.monitor"), on the server PULSE_SERVER names; each
// window is given the keyboard focus for its turn (through the window manager, when one runs)
// and is sent digits, each followed by BackSpace once its sound has played (the program's answer
// box holds four characters). Prints one line per window: "NAME: median 9.01 ms, worst 11.10 ms
// over 20 keys (missed 0)".
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <pulse/error.h>
#include <pulse/simple.h>
#include <string>
#include <thread>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;
constexpr int rate = 48000;
constexpr int fragmentFrames = 48;      // 1 ms
constexpr std::int16_t threshold = 104; // -50 dBFS

struct Recorder
{
    pa_simple *stream = nullptr;
    std::vector<std::int16_t> fragment = std::vector<std::int16_t>(fragmentFrames);

    // Reads one fragment; the time its last frame was recorded, roughly: when it arrived.
    Clock::time_point read()
    {
        int error = 0;
        if (pa_simple_read(stream, fragment.data(), fragment.size() * sizeof(std::int16_t),
                           &error) < 0) {
            std::fprintf(stderr, "keytoear: recording failed: %s\n", pa_strerror(error));
            std::exit(1);
        }
        return Clock::now();
    }
    // The index of the first sample that is not silence, or -1.
    int firstSound() const
    {
        for (int i = 0; i < fragmentFrames; ++i) {
            if (std::abs(fragment[std::size_t(i)]) > threshold)
                return i;
        }
        return -1;
    }
    // Reads until `quiet` of unbroken silence has been recorded.
    void waitForSilence(std::chrono::milliseconds quiet)
    {
        Clock::time_point since = read();
        for (;;) {
            const Clock::time_point now = read();
            if (firstSound() >= 0)
                since = now;
            else if (now - since >= quiet)
                return;
        }
    }
};

void press(Display *display, KeySym symbol)
{
    const KeyCode code = XKeysymToKeycode(display, symbol);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XFlush(display);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XFlush(display);
}

// The window the window manager says is active; 0 without a window manager.
Window activeWindow(Display *display)
{
    const Atom active = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    Window window = 0;
    if (XGetWindowProperty(display, DefaultRootWindow(display), active, 0, 1, False, XA_WINDOW,
                           &type, &format, &count, &after, &data) == Success &&
        data != nullptr) {
        if (count == 1 && format == 32)
            window = *reinterpret_cast<Window *>(data);
        XFree(data);
    }
    return window;
}

// Gives `window` the keyboard. Under a window manager it is asked to activate the window, and
// the window is waited for; one already active is left alone, so that it sees no activation.
// Wine's windows, in separate processes, take the focus back from each other unless a window
// manager hands it over. Without one, the focus is set directly.
void giveFocus(Display *display, Window window)
{
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    const bool managed =
        check != None &&
        XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW,
                           &type, &format, &count, &after, &data) == Success &&
        count == 1;
    if (data != nullptr)
        XFree(data);
    if (!managed) {
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
        XSync(display, False);
        return;
    }
    if (activeWindow(display) == window)
        return;
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = window;
    request.xclient.message_type = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
    request.xclient.format = 32;
    request.xclient.data.l[0] = 2; // from a pager: the request is the user's
    request.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &request);
    XFlush(display);
    const Clock::time_point until = Clock::now() + std::chrono::seconds(2);
    while (activeWindow(display) != window && Clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    // The program takes the activation in turn (Wine passes it on to the window's thread).
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Target
{
    std::string name;
    Window window = 0;
    std::vector<double> latencies;
    int missed = 0;
};
} // namespace

int main(int argc, char **argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: keytoear KEYS SOURCE NAME=WINDOW [NAME=WINDOW...]\n");
        return 2;
    }
    const int keys = std::max(1, std::atoi(argv[1]));
    std::vector<Target> targets;
    for (int i = 3; i < argc; ++i) {
        const std::string argument = argv[i];
        const std::size_t equals = argument.find('=');
        if (equals == std::string::npos)
            return 2;
        targets.push_back({argument.substr(0, equals),
                           Window(std::strtoul(argument.c_str() + equals + 1, nullptr, 0)),
                           {},
                           0});
    }
    Display *display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "keytoear: no X display\n");
        return 1;
    }
    const pa_sample_spec spec{PA_SAMPLE_S16LE, rate, 1};
    pa_buffer_attr attributes{};
    attributes.maxlength = std::uint32_t(-1);
    attributes.fragsize = fragmentFrames * sizeof(std::int16_t);
    int error = 0;
    Recorder recorder;
    recorder.stream = pa_simple_new(nullptr, "keytoear", PA_STREAM_RECORD, argv[2], "monitor",
                                    &spec, nullptr, &attributes, &error);
    if (recorder.stream == nullptr) {
        std::fprintf(stderr, "keytoear: cannot record %s: %s\n", argv[2], pa_strerror(error));
        return 1;
    }

    constexpr int turn = 5;
    for (int done = 0; done < keys; done += turn) {
        for (Target &target : targets) {
            giveFocus(display, target.window);
            for (int k = done; k < std::min(keys, done + turn); ++k) {
                recorder.waitForSilence(std::chrono::milliseconds(150));
                const Clock::time_point pressed = Clock::now();
                press(display, XK_1 + KeySym(k % 9));
                double latency = -1;
                while (Clock::now() - pressed < std::chrono::seconds(2)) {
                    const Clock::time_point arrived = recorder.read();
                    const int first = recorder.firstSound();
                    if (first >= 0) {
                        const auto recorded =
                            arrived - std::chrono::microseconds(
                                          std::int64_t(fragmentFrames - first) * 1000000 / rate);
                        latency =
                            std::chrono::duration<double, std::milli>(recorded - pressed).count();
                        break;
                    }
                }
                if (latency < 0)
                    ++target.missed;
                else
                    target.latencies.push_back(latency);
                // Let the sound play, then empty the answer box.
                recorder.waitForSilence(std::chrono::milliseconds(100));
                press(display, XK_BackSpace);
            }
        }
    }
    for (const Target &target : targets) {
        if (target.latencies.empty()) {
            std::printf("%s: no sound heard (missed %d)\n", target.name.c_str(), target.missed);
            continue;
        }
        std::printf("%s: median %.2f ms, worst %.2f ms over %zu keys (missed %d)\n",
                    target.name.c_str(), median(target.latencies),
                    *std::max_element(target.latencies.begin(), target.latencies.end()),
                    target.latencies.size(), target.missed);
    }
    pa_simple_free(recorder.stream);
    XCloseDisplay(display);
    return 0;
}

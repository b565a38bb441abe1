// SPDX-License-Identifier: GPL-3.0-or-later
// Starts a program on an X display and watches it as a user would: when its
// window with the given title is mapped, how big it is, how much memory the
// process holds, optionally a click somewhere in the window, and whether it
// ends cleanly when the user ends it: by default with a close request
// (WM_DELETE_WINDOW, as a window manager's close box sends it), or with a
// click at a place of the window (--end-click), or with the Esc key
// (--end-escape). Prints what it saw as one JSON object; exits non-zero with
// the reason on stderr when the window does not come or the program does not
// end cleanly.
//
// window_probe --title TEXT [--timeout-ms N] [--settle-ms N]
//              [--click FX,FY --play-ms N] [--end-click FX,FY | --end-escape]
//              -- PROGRAM [ARGS...]
//
// FX,FY place a click as fractions of the window's width and height.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

struct Options {
    std::string title;
    int timeoutMs = 20000;
    int settleMs = 1500;
    std::optional<std::pair<double, double>> click;
    int playMs = 3000;
    std::optional<std::pair<double, double>> endClick;
    bool endEscape = false;
    std::vector<char*> program;
};

[[noreturn]] void Fail(const std::string& why)
{
    std::fprintf(stderr, "window_probe: %s\n", why.c_str());
    std::exit(1);
}

// "FX,FY" as two fractions.
std::pair<double, double> Place(const std::string& place)
{
    auto comma = place.find(',');
    if (comma == std::string::npos)
        Fail("a place is given as FX,FY");
    return {std::stod(place.substr(0, comma)), std::stod(place.substr(comma + 1))};
}

Options ParseOptions(int argc, char** argv)
{
    Options options;
    int at = 1;
    auto value = [&](const char* name) -> std::string {
        if (at + 1 >= argc)
            Fail(std::string(name) + " needs a value");
        return argv[++at];
    };
    for (; at < argc && std::strcmp(argv[at], "--") != 0; ++at) {
        std::string option = argv[at];
        if (option == "--title")
            options.title = value("--title");
        else if (option == "--timeout-ms")
            options.timeoutMs = std::stoi(value("--timeout-ms"));
        else if (option == "--settle-ms")
            options.settleMs = std::stoi(value("--settle-ms"));
        else if (option == "--play-ms")
            options.playMs = std::stoi(value("--play-ms"));
        else if (option == "--click")
            options.click = Place(value("--click"));
        else if (option == "--end-click")
            options.endClick = Place(value("--end-click"));
        else if (option == "--end-escape")
            options.endEscape = true;
        else
            Fail("unknown option " + option);
    }
    for (++at; at < argc; ++at)
        options.program.push_back(argv[at]);
    if (options.title.empty() || options.program.empty())
        Fail("usage: window_probe --title TEXT [options] -- PROGRAM [ARGS...]");
    options.program.push_back(nullptr);
    return options;
}

double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The value of one "Name:  123 kB" line of /proc/PID/status, in KiB.
long StatusKiB(pid_t process, const std::string& name)
{
    std::ifstream status("/proc/" + std::to_string(process) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(name + ":", 0) == 0)
            return std::stol(line.substr(name.size() + 1));
    }
    return -1;
}

// User plus system CPU time of a process, in seconds.
double CpuSeconds(pid_t process)
{
    std::ifstream stat("/proc/" + std::to_string(process) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    // Fields after the command name, which ends at the last ')'.
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    long ticks = 0;
    for (int index = 3; fields >> field && index <= 15; ++index) {
        if (index == 14 || index == 15)
            ticks += std::stol(field);
    }
    return double(ticks) / double(sysconf(_SC_CLK_TCK));
}

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayHandle = std::unique_ptr<Display, DisplayCloser>;

std::string WindowName(Display* display, Window window)
{
    char* name = nullptr;
    std::string text;
    // Qt sets the UTF-8 _NET_WM_NAME; WM_NAME may be only its Latin-1 form.
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long rest = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count, &rest, &data)
            == Success
        && data) {
        text.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
    } else if (XFetchName(display, window, &name) && name) {
        text = name;
        XFree(name);
    }
    return text;
}

// Waits for the next X event until `deadline`; false when none came.
bool NextEvent(Display* display, XEvent& event, Clock::time_point deadline)
{
    while (!XPending(display)) {
        int left = int(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
        if (left <= 0)
            return false;
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        poll(&connection, 1, std::min(left, 50));
    }
    XNextEvent(display, &event);
    return true;
}

// Sends a left click at (x, y) of `window` the way the server would deliver it.
void Click(Display* display, Window window, int x, int y)
{
    for (int type : {ButtonPress, ButtonRelease}) {
        XEvent event{};
        event.xbutton.type = type;
        event.xbutton.display = display;
        event.xbutton.window = window;
        event.xbutton.root = DefaultRootWindow(display);
        event.xbutton.subwindow = None;
        event.xbutton.time = CurrentTime;
        event.xbutton.x = x;
        event.xbutton.y = y;
        event.xbutton.same_screen = True;
        event.xbutton.button = Button1;
        event.xbutton.state = type == ButtonRelease ? Button1Mask : 0;
        XSendEvent(display, window, True, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &event);
        XFlush(display);
        std::this_thread::sleep_for(50ms);
    }
}

// Presses and releases Esc in `window`, as the keyboard would.
void PressEscape(Display* display, Window window)
{
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    for (int type : {KeyPress, KeyRelease}) {
        XEvent event{};
        event.xkey.type = type;
        event.xkey.display = display;
        event.xkey.window = window;
        event.xkey.root = DefaultRootWindow(display);
        event.xkey.subwindow = None;
        event.xkey.time = CurrentTime;
        event.xkey.same_screen = True;
        event.xkey.keycode = XKeysymToKeycode(display, XK_Escape);
        XSendEvent(display, window, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, &event);
        XFlush(display);
        std::this_thread::sleep_for(50ms);
    }
}

void AskToClose(Display* display, Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

// Waits for the process to end; its wait status, or nothing after `timeout`.
std::optional<int> WaitForExit(pid_t process, std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    int status = 0;
    while (waitpid(process, &status, WNOHANG) != process) {
        if (Clock::now() >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(10ms);
    }
    return status;
}

// Ends the program this probe started when the probe gives up on it.
struct ChildGuard {
    pid_t process = -1;
    ~ChildGuard()
    {
        if (process > 0) {
            kill(process, SIGKILL);
            waitpid(process, nullptr, 0);
        }
    }
};

} // namespace

int main(int argc, char** argv)
{
    const Options options = ParseOptions(argc, argv);
    DisplayHandle display(XOpenDisplay(nullptr));
    if (!display)
        Fail("cannot open the X display (is DISPLAY set?)");
    Display* x = display.get();
    XSelectInput(x, DefaultRootWindow(x), SubstructureNotifyMask);
    XSync(x, False);

    ChildGuard child;
    const auto started = Clock::now();
    if (posix_spawn(&child.process, options.program[0], nullptr, nullptr, options.program.data(), environ) != 0)
        Fail(std::string("cannot start ") + options.program[0] + ": " + std::strerror(errno));

    // The first top-level window of the title to be mapped is the program's.
    Window window = None;
    double mappedMs = 0;
    const auto deadline = started + std::chrono::milliseconds(options.timeoutMs);
    while (window == None) {
        XEvent event;
        if (!NextEvent(x, event, deadline))
            Fail("no window titled \"" + options.title + "\" within " + std::to_string(options.timeoutMs) + " ms");
        if (event.type == MapNotify && WindowName(x, event.xmap.window) == options.title) {
            window = event.xmap.window;
            mappedMs = MsSince(started);
        }
        int status = 0;
        if (window == None && waitpid(child.process, &status, WNOHANG) == child.process) {
            child.process = -1;
            Fail("the program ended before its window came, wait status " + std::to_string(status));
        }
    }

    XWindowAttributes attributes{};
    XGetWindowAttributes(x, window, &attributes);
    XSizeHints hints{};
    long supplied = 0;
    XGetWMNormalHints(x, window, &hints, &supplied);
    const bool fixedSize = (hints.flags & PMinSize) && (hints.flags & PMaxSize) && hints.min_width == hints.max_width
                           && hints.min_height == hints.max_height && hints.min_width == attributes.width
                           && hints.min_height == attributes.height;

    std::this_thread::sleep_for(std::chrono::milliseconds(options.settleMs));
    const long idleKiB = StatusKiB(child.process, "VmRSS");

    std::ostringstream json;
    json << "{\"mapped_ms\": " << mappedMs << ", \"width\": " << attributes.width << ", \"height\": "
         << attributes.height << ", \"fixed_size\": " << (fixedSize ? "true" : "false")
         << ", \"idle_rss_kib\": " << idleKiB;

    if (options.click) {
        const double cpuBefore = CpuSeconds(child.process);
        Click(x, window, int(options.click->first * attributes.width), int(options.click->second * attributes.height));
        std::this_thread::sleep_for(std::chrono::milliseconds(options.playMs));
        json << ", \"clicked_rss_kib\": " << StatusKiB(child.process, "VmRSS")
             << ", \"clicked_cpu_s\": " << CpuSeconds(child.process) - cpuBefore;
    }

    const auto closing = Clock::now();
    // The program may be gone, its window with it, before the last event of
    // the ending (a key's release) is sent.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    if (options.endClick)
        Click(x, window, int(options.endClick->first * attributes.width), int(options.endClick->second * attributes.height));
    else if (options.endEscape)
        PressEscape(x, window);
    else
        AskToClose(x, window);
    std::optional<int> status = WaitForExit(child.process, 10s);
    if (!status)
        Fail("the program did not end within 10 s of being ended");
    child.process = -1;
    json << ", \"close_ms\": " << MsSince(closing) << ", \"exit_code\": "
         << (WIFEXITED(*status) ? WEXITSTATUS(*status) : -1) << "}";
    std::printf("%s\n", json.str().c_str());
    if (!WIFEXITED(*status) || WEXITSTATUS(*status) != 0)
        Fail("the program did not end cleanly, wait status " + std::to_string(*status));
    return 0;
}

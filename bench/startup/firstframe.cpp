// firstframe: how long a program takes from fork to its first painted window, seen from
// outside the process, and how much memory it used on the way.
//
//   firstframe [--timeout MS] [--settle MS] [--keep MS] -- command [args...]
//
// It watches the X server named by DISPLAY (normally a bare Xvfb with no window manager,
// so top-level windows are children of the root). It forks and execs the command, waits for
// the first new top-level window of that process to be mapped, then for the first damage on
// it after which the window holds more than one colour: the background fill the server does
// on mapping is not a painted frame. It goes on recording damage until the window has been
// quiet for --settle ms, kills the program and reads its peak resident set from wait4.
//
// The child finds the fork time (CLOCK_MONOTONIC, ms) in FIRSTFRAME_START_MS, so that an
// instrumented build can print its own milestones on the same clock.
//
// Output, one line: map_ms=… first_frame_ms=… settled_ms=… peak_rss_kb=… window=0x…
// Exit status 0 on success, 2 on a timeout, 1 on other failures.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <set>
#include <string>
#include <vector>

namespace {

double nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// Windows die, and images of half-covered windows fail: none of that is fatal here.
int ignoreXErrors(Display *, XErrorEvent *)
{
    return 0;
}

struct Options
{
    double timeoutMs = 10000;
    double settleMs = 200;
    double keepMs = 0;
    std::vector<char *> command;
};

bool parseArgs(int argc, char **argv, Options &options)
{
    int i = 1;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (i + 1 >= argc)
            return false;
        const double value = std::atof(argv[++i]);
        if (arg == "--timeout")
            options.timeoutMs = value;
        else if (arg == "--settle")
            options.settleMs = value;
        else if (arg == "--keep")
            options.keepMs = value;
        else
            return false;
    }
    for (; i < argc; ++i)
        options.command.push_back(argv[i]);
    options.command.push_back(nullptr);
    return options.command.size() > 1;
}

// The _NET_WM_PID of a window, or 0 when it has none (plain Xt programs set none).
long windowPid(Display *dpy, Window window)
{
    static const Atom netWmPid = XInternAtom(dpy, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    long pid = 0;
    if (XGetWindowProperty(dpy, window, netWmPid, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                           &after, &data) == Success &&
        data && format == 32 && count == 1)
        pid = *reinterpret_cast<long *>(data);
    if (data)
        XFree(data);
    return pid;
}

// True when the window shows more than one colour, i.e. something beyond its background.
bool hasContent(Display *dpy, Window window)
{
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(dpy, window, &attributes) || attributes.map_state != IsViewable)
        return false;
    XImage *image = XGetImage(dpy, window, 0, 0, unsigned(attributes.width),
                              unsigned(attributes.height), AllPlanes, ZPixmap);
    if (!image)
        return false;
    const unsigned long first = XGetPixel(image, 0, 0);
    bool varied = false;
    for (int y = 0; y < image->height && !varied; ++y)
        for (int x = 0; x < image->width; ++x)
            if (XGetPixel(image, x, y) != first) {
                varied = true;
                break;
            }
    XDestroyImage(image);
    return varied;
}

} // namespace

int main(int argc, char **argv)
{
    Options options;
    if (!parseArgs(argc, argv, options)) {
        std::fprintf(stderr, "usage: firstframe [--timeout MS] [--settle MS] [--keep MS] -- "
                             "command [args...]\n");
        return 1;
    }
    Display *dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "firstframe: cannot open display\n");
        return 1;
    }
    int damageEvent = 0, damageError = 0;
    if (!XDamageQueryExtension(dpy, &damageEvent, &damageError)) {
        std::fprintf(stderr, "firstframe: the X server has no DAMAGE extension\n");
        return 1;
    }
    XSetErrorHandler(ignoreXErrors);
    const Window root = DefaultRootWindow(dpy);
    XSelectInput(dpy, root, SubstructureNotifyMask);

    // Windows that exist already (a previous run's leftovers, other clients) are not ours.
    std::set<Window> existing;
    {
        Window rootReturn = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (XQueryTree(dpy, root, &rootReturn, &parent, &children, &count)) {
            existing.insert(children, children + count);
            XFree(children);
        }
    }
    XSync(dpy, False);
    fcntl(ConnectionNumber(dpy), F_SETFD, FD_CLOEXEC);

    const double start = nowMs();
    const pid_t child = fork();
    if (child < 0) {
        std::perror("firstframe: fork");
        return 1;
    }
    if (child == 0) {
        // The same clock origin, for a program under study that logs its own milestones.
        setenv("FIRSTFRAME_START_MS", std::to_string(start).c_str(), 1);
        execvp(options.command[0], options.command.data());
        std::perror("firstframe: exec");
        _exit(127);
    }

    // Damage objects are made as windows are created, before they can be mapped and
    // painted, so that no early paint goes unseen.
    std::set<Window> candidates;
    Window target = None;
    double mapMs = -1, firstFrameMs = -1, lastDamageMs = -1;
    bool childGone = false;
    int status = 0;
    rusage usage{};

    const auto deadline = start + options.timeoutMs;
    while (true) {
        const double now = nowMs();
        if (now >= deadline)
            break;
        if (firstFrameMs >= 0 && now - (start + lastDamageMs) >= options.settleMs)
            break;
        if (!XPending(dpy)) {
            double wait = deadline - now;
            if (firstFrameMs >= 0)
                wait = std::min(wait, start + lastDamageMs + options.settleMs - now);
            pollfd fd{ConnectionNumber(dpy), POLLIN, 0};
            poll(&fd, 1, int(wait) + 1);
            if (!childGone && wait4(child, &status, WNOHANG, &usage) == child)
                childGone = true;
            if (childGone)
                break;
            continue;
        }
        XEvent event{};
        XNextEvent(dpy, &event);
        const double at = nowMs() - start;
        if (event.type == CreateNotify && event.xcreatewindow.parent == root &&
            !event.xcreatewindow.override_redirect && !existing.count(event.xcreatewindow.window)) {
            candidates.insert(event.xcreatewindow.window);
            XDamageCreate(dpy, event.xcreatewindow.window, XDamageReportNonEmpty);
            XFlush(dpy);
        } else if (event.type == MapNotify && target == None &&
                   candidates.count(event.xmap.window)) {
            const long pid = windowPid(dpy, event.xmap.window);
            if (pid == 0 || pid == child) {
                target = event.xmap.window;
                mapMs = at;
            }
        } else if (event.type == damageEvent + XDamageNotify) {
            const auto &damage = reinterpret_cast<const XDamageNotifyEvent &>(event);
            XDamageSubtract(dpy, damage.damage, None, None);
            if (damage.drawable != target)
                continue;
            if (firstFrameMs < 0) {
                if (hasContent(dpy, target))
                    firstFrameMs = lastDamageMs = at;
            } else {
                lastDamageMs = at;
            }
        }
    }

    if (options.keepMs > 0 && !childGone)
        usleep(useconds_t(options.keepMs * 1000));
    if (!childGone) {
        kill(child, SIGTERM);
        // A program that ignores SIGTERM still must not hang the benchmark.
        for (int i = 0; i < 200 && !childGone; ++i) {
            childGone = wait4(child, &status, WNOHANG, &usage) == child;
            if (!childGone)
                usleep(10000);
        }
        if (!childGone) {
            kill(child, SIGKILL);
            wait4(child, &status, 0, &usage);
        }
    }
    XCloseDisplay(dpy);

    std::printf("map_ms=%.2f first_frame_ms=%.2f settled_ms=%.2f peak_rss_kb=%ld window=0x%lx\n",
                mapMs, firstFrameMs, lastDamageMs, usage.ru_maxrss, target);
    if (firstFrameMs < 0) {
        std::fprintf(stderr, "firstframe: no painted window within %.0f ms%s\n", options.timeoutMs,
                     childGone ? " (the program ended)" : "");
        return 2;
    }
    return 0;
}

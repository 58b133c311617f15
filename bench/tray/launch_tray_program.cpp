// Starts a program and reports how long it took until the notification area took in its icon: the
// moment the tray host moves a window of the new process out of the root window. Prints
// "PID MILLISECONDS" and leaves the program running. Usage: launch_tray_program TIMEOUT_S PROGRAM [ARGS]
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/select.h>
#include <unistd.h>

namespace {

long windowPid(Display* display, Window window)
{
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) ==
            Success &&
        data && format == 32 && count == 1)
        pid = static_cast<long>(*reinterpret_cast<unsigned long*>(data));
    if (data)
        XFree(data);
    return pid;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    const auto limit = std::chrono::seconds(std::atoi(argv[1]));
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 1;
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0)
        return 1;
    if (child == 0) {
        close(ConnectionNumber(display));
        // The caller reads our one line from stdout; the program must not hold it open.
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDOUT_FILENO);
        execv(argv[2], argv + 2);
        _exit(127);
    }

    const int fd = ConnectionNumber(display);
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == ReparentNotify && event.xreparent.parent != root &&
                windowPid(display, event.xreparent.window) == child) {
                const auto elapsed = std::chrono::steady_clock::now() - start;
                std::printf("%ld %.1f\n", static_cast<long>(child),
                            std::chrono::duration<double, std::milli>(elapsed).count());
                return 0;
            }
        }
        const auto left = limit - (std::chrono::steady_clock::now() - start);
        if (left <= std::chrono::steady_clock::duration::zero()) {
            std::printf("%ld timeout\n", static_cast<long>(child));
            return 1;
        }
        const auto leftUs = std::chrono::duration_cast<std::chrono::microseconds>(left).count();
        timeval wait = {static_cast<time_t>(leftUs / 1000000), static_cast<suseconds_t>(leftUs % 1000000)};
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        select(fd + 1, &readable, nullptr, nullptr, &wait);
    }
}

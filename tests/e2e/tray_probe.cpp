// Without arguments, answers through its exit code whether the display has a notification area that
// takes icons: the question the program asks at start, so a test can wait until the answer is yes.
// With "drawn X Y WIDTH HEIGHT", answers whether the screen in that rectangle shows more than one
// colour: an icon or a menu drawn there, not yet the plain background a panel, a tray or an unpainted
// window shows.
#include <QApplication>
#include <QSystemTrayIcon>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cstdlib>
#include <cstring>

namespace {

int drawn(int x, int y, int width, int height)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 2;
    // A rectangle off the screen is an X error, which would end the program; it only means "not drawn".
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    int result = 1;
    const Window root = DefaultRootWindow(display);
    if (XImage* image = XGetImage(display, root, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height),
                                  AllPlanes, ZPixmap)) {
        const unsigned long first = XGetPixel(image, 0, 0);
        for (int row = 0; row < height && result != 0; ++row) {
            for (int column = 0; column < width; ++column) {
                if (XGetPixel(image, column, row) != first) {
                    result = 0;
                    break;
                }
            }
        }
        XDestroyImage(image);
    }
    XCloseDisplay(display);
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "drawn") == 0) {
        if (argc != 6)
            return 2;
        const int width = std::atoi(argv[4]);
        const int height = std::atoi(argv[5]);
        if (width <= 0 || height <= 0)
            return 2;
        return drawn(std::atoi(argv[2]), std::atoi(argv[3]), width, height);
    }
    QApplication app(argc, argv);
    return QSystemTrayIcon::isSystemTrayAvailable() ? 0 : 1;
}

// Gives each character of its argument a key of its own in the X server's keyboard map. xdotool
// otherwise types a character missing from the map by rebinding one spare key for each keystroke, and a
// busy program that reads the map a moment late gets the wrong character or none.
#include <QList>
#include <QString>
#include <X11/Xlib.h>
#include <set>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 1;
    int minKey = 0;
    int maxKey = 0;
    XDisplayKeycodes(display, &minKey, &maxKey);
    int perKey = 0;
    KeySym* map = XGetKeyboardMapping(display, static_cast<KeyCode>(minKey), maxKey - minKey + 1, &perKey);
    auto isSpare = [&](int key) {
        for (int i = 0; i < perKey; ++i) {
            if (map[(key - minKey) * perKey + i] != NoSymbol)
                return false;
        }
        return true;
    };

    std::set<KeySym> wanted;
    for (const uint c : QString::fromUtf8(argv[1]).toUcs4()) {
        const KeySym sym = c < 0x100 ? c : 0x01000000 | c;
        if (XKeysymToKeycode(display, sym) == 0)
            wanted.insert(sym);
    }
    int key = maxKey;
    int result = 0;
    for (KeySym sym : wanted) {
        while (key >= minKey && !isSpare(key))
            --key;
        if (key < minKey) {
            result = 1;
            break;
        }
        XChangeKeyboardMapping(display, key, 1, &sym, 1);
        --key;
    }
    XFree(map);
    XSync(display, False);
    XCloseDisplay(display);
    return result;
}

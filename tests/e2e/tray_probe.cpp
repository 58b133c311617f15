// Answers through its exit code whether the display has a notification area that takes icons: the
// question the program asks at start, so a test can wait until the answer is yes.
#include <QApplication>
#include <QSystemTrayIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    return QSystemTrayIcon::isSystemTrayAvailable() ? 0 : 1;
}

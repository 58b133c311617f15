// The yardstick for the start-up benchmark: the least a Qt program needs for an icon with a menu
// that brings up a window with a text box.
#include <QApplication>
#include <QCursor>
#include <QIcon>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSystemTrayIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QMenu menu;
    QAction* show = menu.addAction(QStringLiteral("Show"));
    QAction* quit = menu.addAction(QStringLiteral("Quit"));
    menu.setDefaultAction(show);
    QPointer<QPlainTextEdit> window;
    QObject::connect(show, &QAction::triggered, [&window] {
        if (!window) {
            window = new QPlainTextEdit; // deletes itself when closed
            window->setAttribute(Qt::WA_DeleteOnClose);
            window->setWindowTitle(QStringLiteral("Minimal"));
        }
        window->show();
        window->activateWindow();
    });
    QObject::connect(quit, &QAction::triggered, &app, &QApplication::quit);
    QSystemTrayIcon icon(QIcon(QStringLiteral(":/scrivlet/scrivlet16.png")));
    QObject::connect(&icon, &QSystemTrayIcon::activated, [&](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            show->trigger();
        else if (reason == QSystemTrayIcon::Context)
            menu.popup(QCursor::pos());
    });
    icon.show();
    const int result = QApplication::exec();
    delete window;
    return result;
}

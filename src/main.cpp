#include "TerminationRequest.h"
#include "frmShowInTaskBar.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The desktop finds the menu entry, and with it the icon, for the program's windows by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.scrivlet.Scrivlet"));
    frmShowInTaskBar startup;
    if (!startup.Form_Load())
        return 0;
    TerminationRequest termination;
    QObject::connect(&termination, &TerminationRequest::requested, &startup, [&startup] {
        if (startup.sessionEnding())
            QCoreApplication::quit();
    });
    return startup.runUntilEnded();
}

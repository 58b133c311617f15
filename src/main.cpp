#include "TerminationRequest.h"
#include "frmShowInTaskBar.h"

#include <QApplication>
#include <QDebug>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The desktop finds the menu entry, and with it the icon, for the program's windows by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.scrivlet.Scrivlet"));
    frmShowInTaskBar startup;
    if (!startup.Form_Load())
        return 0;
    TerminationRequest termination;
    // The menu still ends the program properly; only a shut-down would now end it without asking.
    if (const QString failure = termination.failure(); !failure.isEmpty())
        qWarning().noquote() << QStringLiteral("Scrivlet: 終了の要求を受け取れません: %1").arg(failure);
    QObject::connect(&termination, &TerminationRequest::requested, &startup, [&startup] {
        if (startup.sessionEnding())
            QCoreApplication::quit();
    });
    return startup.runUntilEnded();
}

#include "TerminationRequest.h"
#include "frmShowInTaskBar.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
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

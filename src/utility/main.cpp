#include "PrompterInUse.h"
#include "UtilityStartup.h"
#include "frmUtility.h"

#include <QApplication>
#include <optional>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The desktop finds the menu entry, and with it the icon, for the program's windows by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.scrivlet.ScrivletUtility"));
    const std::optional<QString> memoFolder = utility::checkStartup(prompter());
    if (!memoFolder)
        return 1;
    frmUtility window(*memoFolder);
    window.show();
    return app.exec();
}

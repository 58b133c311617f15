#include "Prompter.h"
#include "UtilityStartup.h"
#include "frmUtility.h"

#include <QApplication>
#include <optional>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const std::optional<QString> memoFolder = utility::checkStartup(prompter());
    if (!memoFolder)
        return 1;
    frmUtility window(*memoFolder);
    window.show();
    return app.exec();
}

#include "MainProgramCheck.h"

#include "Prompter.h"
#include "SingleInstance.h"
#include "UtilityText.h"

namespace utility {

FolderCheck refuseWhileMainProgramRuns(const QString& programFolder)
{
    return [programFolder](Prompter& prompter) {
        QString error;
        switch (SingleInstance::runningCopy(programFolder, &error)) {
        case SingleInstance::Presence::None:
            return true;
        case SingleInstance::Presence::Running:
            prompter.inform(QStringLiteral("Scrivletが起動中です。終了してから実行してください。"), title(),
                            Prompter::Icon::Exclamation);
            return false;
        case SingleInstance::Presence::CannotTell:
            break;
        }
        // The user can see what the lock cannot tell; the safe answer stays the default.
        return prompter.confirm(QStringLiteral("Scrivletが起動中かどうかを確かめられませんでした。\n%1\n"
                                               "Scrivletが終了していることを確かめたうえで、実行しますか？")
                                    .arg(error),
                                title(), Prompter::Icon::Exclamation);
    };
}

} // namespace utility

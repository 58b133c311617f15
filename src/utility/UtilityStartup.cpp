#include "UtilityStartup.h"

#include "FileLookup.h"
#include "MemoCodecCheck.h"
#include "MemoNaming.h"
#include "ProgramFolder.h"
#include "Prompter.h"
#include "UtilityText.h"
#include "UtilityVersion.h"

namespace utility {

QString mainProgramFileName()
{
    return QStringLiteral("Scrivlet");
}

QString versionLine(int major, int minor, int revision)
{
    return QStringLiteral("Scrivlet Utility Version %1.%2.%3")
        .arg(major)
        .arg(minor, 2, 10, QLatin1Char('0'))
        .arg(revision, 4, 10, QLatin1Char('0'));
}

QString versionLine()
{
    return versionLine(utility_version::Major, utility_version::Minor, utility_version::Revision);
}

std::optional<QString> checkStartup(Prompter& prompter)
{
    Failure failure;
    if (!memoCodecReady(&failure)) {
        prompter.showFailure(failure, title());
        return std::nullopt;
    }
    if (!isOrdinaryFile(executableFolder() + mainProgramFileName())) {
        prompter.inform(QStringLiteral("Scrivletと同じフォルダに入れて実行してください。"), title(),
                        Prompter::Icon::Exclamation);
        return std::nullopt;
    }
    // The same folder the main program chose; the utility never makes it.
    const QString folder = programFolder();
    if (!pathExists(folder + memo::memoFolderName())) {
        prompter.inform(QStringLiteral("filesフォルダが見つかりません。\nScrivletを一度実行してから起動してください。"),
                        title(), Prompter::Icon::Exclamation);
        return std::nullopt;
    }
    return memo::memoFolder(folder);
}

} // namespace utility

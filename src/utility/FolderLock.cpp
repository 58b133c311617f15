#include "FolderLock.h"

#include "ProgramFolder.h"
#include "Prompter.h"
#include "UtilityText.h"

namespace utility {

void FolderLock::stopRun(Prompter& prompter, const QString& what, const QString& path, const QString& reason)
{
    release();
    prompter.showFailure({what, path, reason, runStoppedLine()}, title());
}

MainProgramLock::MainProgramLock(const QString& programFolder) : programFolder_(programFolder) {}

bool MainProgramLock::hold(Prompter& prompter)
{
    if (instance_.isHeld())
        return true;
    const bool held = tryHold(prompter);
    if (!held)
        release();
    return held;
}

bool MainProgramLock::tryHold(Prompter& prompter)
{
    Failure failure;
    switch (instance_.acquire(programFolder_, &failure)) {
    case SingleInstance::Result::Acquired:
        return true;
    case SingleInstance::Result::HeldElsewhere:
        prompter.inform(instance_.holderProgram() == utilityProgramFileName()
                            ? QStringLiteral("別のScrivlet Utilityがこのフォルダのメモを処理中です。"
                                             "処理が終わってから実行してください。")
                            : QStringLiteral("Scrivletが起動中です。終了してから実行してください。"),
                        title(), Prompter::Icon::Exclamation);
        return false;
    case SingleInstance::Result::CannotTell:
        break;
    }
    if (goesOnWithoutLock_)
        return true;
    // The user can see what the lock cannot tell; the safe answer stays the default.
    failure.what = QStringLiteral("Scrivletが起動中かどうかを確かめられませんでした。");
    failure.closing = QStringLiteral("Scrivletが終了していることを確かめたうえで、実行しますか？");
    goesOnWithoutLock_ = prompter.confirmDespite(failure, title());
    return goesOnWithoutLock_;
}

void MainProgramLock::release()
{
    instance_.release();
    goesOnWithoutLock_ = false;
}

} // namespace utility

#include "ConflictCopyIntake.h"

#include "FileLookup.h"
#include "MemoNaming.h"
#include "MoveWithoutOverwriting.h"
#include "Prompter.h"
#include "UtilityText.h"

#include <optional>

namespace utility {

namespace {

// The lowest number from `from` on that nothing stands at; nothing when all are taken.
std::optional<int> nextFreeNumber(const QString& memoFolder, int from)
{
    for (int number = from; number <= memo::LastNumber; ++number) {
        if (!pathExists(memoFolder + memo::memoFileName(number)))
            return number;
    }
    return std::nullopt;
}

} // namespace

IntakeResult takeInConflictCopies(const QString& memoFolder, const QStringList& names, Prompter& prompter,
                                  FolderLock& lock, const OnTaken& onTaken, const BeforeTakeIn& beforeTakeIn)
{
    IntakeResult result;
    auto stop = [&](const QString& what, const QString& path, const QString& reason) {
        lock.stopRun(prompter, what, path, reason);
        return result;
    };
    if (!lock.hold(prompter))
        return result;
    int candidate = memo::FirstNumber;
    for (const QString& name : names) {
        const QString from = memoFolder + name;
        MoveOutcome outcome = MoveOutcome::TargetExists;
        QString error;
        TakenCopy planned{name, 0};
        // A memo written at the chosen number meanwhile stays; the copy tries the next free one.
        while (outcome == MoveOutcome::TargetExists) {
            const std::optional<int> number = nextFreeNumber(memoFolder, candidate);
            if (!number)
                return stop(QStringLiteral("「%1」を取り込めませんでした。").arg(name), from,
                            QStringLiteral("text0000.txtからtext9999.txtまで、空いている番号がありません。"));
            planned.number = *number;
            candidate = *number + 1;
            if (beforeTakeIn)
                beforeTakeIn(planned);
            outcome = moveWithoutOverwriting(from, memoFolder + memo::memoFileName(planned.number), &error);
        }
        const QString toName = memo::memoFileName(planned.number);
        if (outcome == MoveOutcome::Failed)
            return stop(QStringLiteral("「%1」を「%2」として取り込めませんでした。").arg(name, toName), from, error);
        // From here on the number holds the copy, whatever became of the copy's own name.
        result.taken.push_back(planned);
        if (onTaken)
            onTaken(planned);
        if (outcome == MoveOutcome::SourceKept)
            return stop(
                QStringLiteral("「%1」を削除できませんでした。同じ内容が「%2」にもあります。").arg(name, toName), from,
                error);
        if (outcome == MoveOutcome::SourceChanged)
            return stop(QStringLiteral("「%1」は移す間に書き換えられたため、削除しませんでした。"
                                       "書き換えられる前の内容は「%2」にあります。")
                            .arg(name, toName),
                        from, QString());
    }
    lock.release();
    prompter.inform(completionMessage(), title(), Prompter::Icon::Information);
    result.completed = true;
    return result;
}

} // namespace utility

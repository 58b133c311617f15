#include "MemoCompaction.h"

#include "FileLookup.h"
#include "MemoNaming.h"
#include "MoveWithoutOverwriting.h"
#include "NumberText.h"
#include "Prompter.h"
#include "TypedNumber.h"
#include "UtilityText.h"

#include <deque>

namespace utility {

std::optional<double> checkStopCount(const QString& text, Prompter& prompter)
{
    const std::optional<double> count = readTypedNumber(text);
    if (!count || *count < 0 || *count > memo::LastNumber) {
        prompter.inform(QStringLiteral("連続空き数の指定が不正です。"), title(), Prompter::Icon::Exclamation);
        return std::nullopt;
    }
    if (*count >= 500 &&
        !prompter.confirm(QStringLiteral("中断するまでの空きの量が多すぎます。\n"
                                         "稀にハングアップすることもあるかもしれませんがよろしいですか？"),
                          title(), Prompter::Icon::Exclamation))
        return std::nullopt;
    return count;
}

CompactionResult compactMemoNumbers(const QString& memoFolder, const TargetRange& range, double stopCount,
                                    Prompter& prompter, FolderLock& lock, const BeforeMove& beforeMove)
{
    CompactionResult result;
    auto stop = [&](const QString& what, const QString& path, const QString& reason) {
        lock.stopRun(prompter, what, path, reason);
        return result;
    };
    if (!lock.hold(prompter))
        return result;
    // Numbers free at this moment, ascending, all below the one being examined.
    std::deque<int> freeNumbers;
    int gapRun = 0;
    for (int number = range.first; number <= range.last; ++number) {
        const QString path = memoFolder + memo::memoFileName(number);
        if (!isOrdinaryFile(path)) {
            freeNumbers.push_back(number);
            ++gapRun;
            if (!(stopCount > gapRun))
                break;
            continue;
        }
        gapRun = 0;
        if (freeNumbers.empty())
            continue;
        const MemoMove move{number, freeNumbers.front()};
        if (beforeMove)
            beforeMove(move);
        const QString fromName = memo::memoFileName(move.from);
        const QString toName = memo::memoFileName(move.to);
        QString error;
        switch (moveWithoutOverwriting(path, memoFolder + toName, &error)) {
        case MoveOutcome::TargetExists:
            return stop(QStringLiteral("「%1」を「%2」へ移せませんでした。").arg(fromName, toName), memoFolder + toName,
                        QStringLiteral("移動先に同じ名前のファイルかフォルダがあります。上書きはしません。"));
        case MoveOutcome::Failed:
            return stop(QStringLiteral("「%1」を「%2」へ複写できませんでした。").arg(fromName, toName),
                        memoFolder + toName, error);
        case MoveOutcome::SourceKept:
            return stop(
                QStringLiteral("「%1」を削除できませんでした。同じ内容が「%2」にもあります。").arg(fromName, toName),
                path, error);
        case MoveOutcome::SourceChanged:
            return stop(QStringLiteral("「%1」は移す間に書き換えられたため、削除しませんでした。"
                                       "書き換えられる前の内容は「%2」にあります。")
                            .arg(fromName, toName),
                        path, QString());
        case MoveOutcome::Moved:
            break;
        }
        result.moves.push_back(move);
        freeNumbers.pop_front();
        freeNumbers.push_back(number);
    }
    lock.release();
    prompter.inform(completionMessage(), title(), Prompter::Icon::Information);
    result.completed = true;
    return result;
}

} // namespace utility

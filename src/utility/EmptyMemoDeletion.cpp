#include "EmptyMemoDeletion.h"

#include "FileLookup.h"
#include "MemoNaming.h"
#include "Prompter.h"
#include "RemoveFile.h"
#include "UtilityText.h"
#include "WRText.h"

namespace utility {

bool deleteEmptyMemoFiles(const QString& memoFolder, const TargetRange& range, bool askFirst, Prompter& prompter,
                          FolderLock& lock, const BeforeDelete& beforeDelete)
{
    auto stop = [&](const QString& what, const QString& path, const QString& reason) {
        lock.stopRun(prompter, what, path, reason);
        return false;
    };
    if (!lock.hold(prompter))
        return false;
    WRText text;
    for (int number = range.first; number <= range.last; ++number) {
        const QString name = memo::memoFileName(number);
        const QString path = memoFolder + name;
        if (!isOrdinaryFile(path))
            continue;
        text.FileName = path;
        QString error;
        const bool empty = text.RFile(&error).isEmpty();
        if (!error.isEmpty())
            return stop(QStringLiteral("「%1」を読み込めませんでした。").arg(name), path, error);
        if (!empty)
            continue;
        if (askFirst) {
            if (!prompter.confirm(QStringLiteral("空のファイル「%1」を削除します。\nよろしいですか？").arg(name),
                                  title()))
                continue;
            // The question may have stood open for long: someone may have written into the file since
            // it was read.
            if (!lock.hold(prompter))
                return false;
            if (!isOrdinaryFile(path))
                continue;
            const bool stillEmpty = text.RFile(&error).isEmpty();
            if (!error.isEmpty())
                return stop(QStringLiteral("「%1」を読み込めませんでした。").arg(name), path, error);
            if (!stillEmpty) {
                prompter.inform(
                    QStringLiteral("「%1」は確認の間に書き込まれて空ではなくなったため、削除しませんでした。")
                        .arg(name),
                    title(), Prompter::Icon::Information);
                continue;
            }
        }
        if (beforeDelete)
            beforeDelete(number);
        if (!removeFile(path, &error))
            return stop(QStringLiteral("「%1」を削除できませんでした。").arg(name), path, error);
    }
    lock.release();
    prompter.inform(completionMessage(), title(), Prompter::Icon::Information);
    return true;
}

} // namespace utility

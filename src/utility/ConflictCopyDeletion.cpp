#include "ConflictCopyDeletion.h"

#include "Prompter.h"
#include "RemoveFile.h"
#include "UtilityText.h"

namespace utility {

QStringList deleteConflictCopies(const QString& memoFolder, const QStringList& names, Prompter& prompter,
                                 FolderLock& lock)
{
    QStringList deleted;
    if (names.isEmpty())
        return deleted;
    const QString question =
        names.size() == 1
            ? QStringLiteral("競合コピー「%1」を削除します。\nよろしいですか？").arg(names.first())
            : QStringLiteral("選択した%1個の競合コピーを削除します。\nよろしいですか？").arg(names.size());
    // Asked again after the question, which may have stood open for long.
    if (!lock.hold(prompter) || !prompter.confirm(question, title()) || !lock.hold(prompter)) {
        lock.release();
        return deleted;
    }
    for (const QString& name : names) {
        const QString path = memoFolder + name;
        QString error;
        if (!removeFile(path, &error)) {
            lock.stopRun(prompter, QStringLiteral("「%1」を削除できませんでした。").arg(name), path, error);
            return deleted;
        }
        deleted << name;
    }
    lock.release();
    return deleted;
}

} // namespace utility

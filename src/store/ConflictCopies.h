#pragma once

#include <QString>
#include <optional>
#include <vector>

// Sync engines keep the losing side of an edit made on two machines at once under a name of their own
// beside the memo: Syncthing's "text0003.sync-conflict-20261207-101500-ABCDEF1.txt", Nextcloud's and
// ownCloud's "text0003 (conflicted copy 2026-12-07 101500).txt", Dropbox's "text0003 (Someone's
// conflicted copy 2026-12-07).txt". Such a file is no memo: it is listed, searched and compacted by
// nobody, and only taken in or deleted on purpose.
namespace memo {

struct ConflictCopy
{
    QString name;   // the file's name in the memo folder
    int number = 0; // the memo it is a copy of
    QString engine; // "Syncthing", "Nextcloud" or "Dropbox"
    QString date;   // the engine's date of the conflict as it wrote it: "2026-12-07 10:15:00", "2026-12-07"
};

// The conflict copy a file name stands for; nothing for a memo's own name or any other file.
[[nodiscard]] std::optional<ConflictCopy> conflictCopyFromName(const QString& name);

// The conflict copies in the memo folder, by memo number, then by name; none when it cannot be listed.
std::vector<ConflictCopy> conflictCopies(const QString& memoFolder);

// The conflict copies of one memo.
std::vector<ConflictCopy> conflictCopiesOf(const QString& memoFolder, int number);

} // namespace memo

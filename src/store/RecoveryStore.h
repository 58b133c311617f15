#pragma once

#include "FileStamp.h"

#include <QString>
#include <optional>
#include <vector>

// Copies of text typed into the memo window and not yet saved, so that a crash, a kill or a power cut
// loses at most the last second of typing. They live outside the memo folder, one folder per program
// folder, one UTF-8 file per memo number, and never touch the memo files themselves.
class RecoveryStore
{
public:
    RecoveryStore() = default;
    // stateFolder is the user's state folder (userStateFolder() outside tests).
    RecoveryStore(const QString& stateFolder, const QString& programFolder);
    static RecoveryStore forProgramFolder(const QString& programFolder);

    QString folder() const { return folder_; }
    QString filePath(int number) const;

    // Replaces the copy for memo number as a whole; the folders are created as needed. memoStamp is the
    // memo's file as it was read or written before the edits (nothing when it could not be looked at),
    // so that the copy is never offered over another file that has come to stand at that number.
    [[nodiscard]] bool save(int number, const QString& text, const std::optional<FileStamp>& memoStamp,
                            QString* error) const;
    // A copy that knows nothing of its memo file, as copies written before stamps were kept.
    [[nodiscard]] bool save(int number, const QString& text, QString* error) const;
    // A missing copy is no failure.
    [[nodiscard]] bool remove(int number, QString* error) const;
    [[nodiscard]] bool read(int number, QString* text, QString* error) const;

    enum class Offer
    {
        None,     // no copy
        OverMemo, // the memo's file is the one the edits were made on: they go back into it
        // Another file stands at the number now (the memo was changed, replaced, moved or compacted
        // since), or the copy is older than the memo: the edits come back as a new memo.
        AsNewMemo
    };
    Offer offerFor(int number) const;
    // Memo numbers that have copies, most recent copy first.
    std::vector<int> offerable() const;

private:
    QString stampPath(int number) const;
    // For a copy without a stamp: whether it was written after the memo file was.
    bool isNewerThanMemo(int number) const;

    QString folder_;
    QString programFolder_;
};

#pragma once

#include <QString>
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

    // Replaces the copy for memo number as a whole; the folders are created as needed.
    [[nodiscard]] bool save(int number, const QString& text, QString* error) const;
    // A missing copy is no failure.
    [[nodiscard]] bool remove(int number, QString* error) const;
    [[nodiscard]] bool read(int number, QString* text, QString* error) const;

    // Whether the copy holds edits made after the memo file was last written: it exists and the memo
    // file is missing or older.
    bool isNewerThanMemo(int number) const;
    // Memo numbers whose copies are newer than their memo files, most recent copy first.
    std::vector<int> offerable() const;

private:
    QString folder_;
    QString programFolder_;
};

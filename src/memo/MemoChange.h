#pragma once

#include "FileStamp.h"

#include <QString>
#include <optional>

class Prompter;

// What another program did to the shown memo's file since the memo window last read or wrote it.
enum class MemoChange
{
    None,
    Created,
    Changed, // rewritten, or replaced by another file (a rename over it, as editors and sync tools do)
    Removed,
    RemovedHere // deleted in this program's own file list
};

// remembered is empty when the window could not look at the file then; a file there now counts as changed.
MemoChange compareFileStamps(const std::optional<FileStamp>& remembered, const FileStamp& now);

// "作成されました", "変更されました" or "削除されました".
QString describeChange(MemoChange change);
// What happened to the shown memo, as the first sentence of a box: who did what since when.
QString changeSentence(MemoChange change);

enum class ChangeAnswer
{
    Overwrite,
    KeepBoth,
    Cancel
};

// Asks once what to do with the window's text, saying what happened to which file. Cancel is the default.
ChangeAnswer askAboutChange(const QString& path, MemoChange change, Prompter& prompter);

// Writes text as a new memo at the first number after `after` that has no file (wrapping round to 0),
// never over a file that appears meanwhile, and never as a file only partly written. The number
// written, or nothing with *error set; *written is the stamp of the new file.
[[nodiscard]] std::optional<int> saveAsNewMemo(const QString& programFolder, int after, const QString& text,
                                               QString* error, bool* replaced, FileStamp* written = nullptr);

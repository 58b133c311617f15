#pragma once

#include "FileStamp.h"
#include "FolderLock.h"

#include <QString>
#include <functional>
#include <optional>

class Prompter;

namespace utility {

// What the join puts between the two memos when asked to: the destination's line break is
// followed by a blank line, 27 hyphens and another blank line.
QString joinSeparator();

// The destination's memo text, CR LF, the separator when asked, then the source's memo text.
QString joinedText(const QString& destination, const QString& source, bool withSeparator);

// An edit box shows every CR LF, lone CR and lone LF as one line break. The memo text to write for
// what the box holds: the joined text itself while the box shows it unchanged, so no byte of the
// memos is altered; otherwise the box's lines joined by CR LF.
QString textToWrite(const QString& joined, const QString& shown);

// A join between its two steps: the memo appended, the memo it is appended to, the text as built,
// and both files as they were when it was built.
struct JoinPreview
{
    int source = 0;
    int destination = 0;
    QString joined;
    FileStamp sourceStamp;
    FileStamp destinationStamp;
};

enum class JoinOutcome
{
    // The join is over: written, the source deleted or kept as asked; the preview closes.
    Done,
    // Nothing more was done (declined, refused, or a failure shown); the preview stays for later.
    PreviewStays,
    // A memo changed since the preview was built (said so): the preview is to be built again.
    Rebuild
};

// The first step: both memos read, with the folder held from the first look to the last read. Nothing,
// the refusal shown, when the source or else the destination names no memo file, when both name the
// same one, or when either cannot be read.
[[nodiscard]] std::optional<JoinPreview> startJoin(const QString& memoFolder, const QString& sourceText,
                                                   const QString& destinationText, bool withSeparator,
                                                   Prompter& prompter, FolderLock& lock);

// The second step: writes what the preview box shows over the destination, asking first when
// Shift-JIS cannot hold all of it, then, when deleteSource is set and the user agrees, deletes the
// source; the folder is held from the write to the deletion. Neither happens when either memo has
// changed since the preview was read: then the preview is to be rebuilt. After a write the preview
// holds the destination as written, so executing it again writes the same text once more.
// beforeSourceDeletion runs once the user has agreed, before the memos are looked at again.
[[nodiscard]] JoinOutcome executeJoin(const QString& memoFolder, JoinPreview& preview, const QString& shown,
                                      bool deleteSource, Prompter& prompter, FolderLock& lock,
                                      const std::function<void()>& beforeSourceDeletion = {});

} // namespace utility

#pragma once

#include <QString>

// File steps of the utility's operations that never replace an existing file.
namespace utility {

enum class MoveOutcome
{
    Moved,
    // Something already stands at the target; nothing was changed.
    TargetExists,
    // The target could not be created; nothing was changed.
    CopyFailed,
    // The target is complete but the source could not be deleted: the memo is under both names.
    SourceKept
};

// Moves a file to a name that must be free: a hard link that fails when the name is taken, or,
// where the file system has none, a copy that only creates a new file; then the source goes.
// *error holds the reason for CopyFailed and SourceKept.
[[nodiscard]] MoveOutcome moveWithoutOverwriting(const QString& fromPath, const QString& toPath, QString* error);

} // namespace utility

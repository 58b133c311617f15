#pragma once

#include "FileStamp.h"

#include <QString>
#include <optional>

// The memo files this program deleted itself, for as long as it runs, so that a window that finds a memo
// gone can tell the user's deletion here from another program's (a sync engine, an editor).
class OwnDeletions
{
public:
    OwnDeletions() = delete;

    // This program has just deleted the file at path, which looked like `deleted` before.
    static void record(const QString& path, const FileStamp& deleted);

    // Whether nothing stands at path because this program deleted it. With lastSeen, only when the file
    // deleted here was that one. A file standing there again ends the record.
    static bool deletedHere(const QString& path, const std::optional<FileStamp>& lastSeen = std::nullopt);

    static void resetForTesting();
};

#pragma once

#include "CreateWithoutOverwriting.h"
#include "MoveWithoutOverwriting.h"

#include <optional>

// The ways a move goes: a rename, or, where the file system cannot rename without replacing, a hard
// link, or, without hard links either, a copy.
enum class MovePath
{
    Rename,
    HardLink,
    Copy
};

// While one lives, moves go that way.
struct ScopedMovePath
{
    explicit ScopedMovePath(MovePath path)
    {
        if (path != MovePath::Rename)
            noRename.emplace();
        if (path == MovePath::Copy)
            noHardLinks.emplace();
    }
    std::optional<ScopedNoExclusiveRename> noRename;
    std::optional<ScopedNoHardLinks> noHardLinks;
};

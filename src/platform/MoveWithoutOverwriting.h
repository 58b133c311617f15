#pragma once

#include <QString>
#include <functional>

enum class MoveOutcome
{
    Moved,
    // Something already stands at the target; nothing was changed.
    TargetExists,
    // The target could not be made; nothing was changed.
    Failed,
    // The target is complete but the source could not be deleted: the file is under both names.
    SourceKept,
    // The source was written or replaced while it was being copied: the target holds it as it was, the
    // source, kept, as it is now.
    SourceChanged
};

// Moves a file to a name that must be free without ever replacing what stands there: a rename that
// refuses to replace, or, where the file system has none, a hard link or a copy (createWithoutOverwriting)
// after which the source goes only while its name still leads to the file linked, or to the file copied,
// unwritten since.
// *error holds the reason for Failed and SourceKept.
[[nodiscard]] MoveOutcome moveWithoutOverwriting(const QString& fromPath, const QString& toPath, QString* error);

// Tests and benchmarks: while one lives, moves link or copy, as on a file system that cannot rename
// without replacing.
class ScopedNoExclusiveRename final
{
public:
    ScopedNoExclusiveRename();
    ~ScopedNoExclusiveRename();
    ScopedNoExclusiveRename(const ScopedNoExclusiveRename&) = delete;
    ScopedNoExclusiveRename& operator=(const ScopedNoExclusiveRename&) = delete;

private:
    bool previous_;
};

// Tests: while one lives, a move that links or copies runs `meanwhile` once the target is complete and
// before it looks at the source again, as a save landing at that moment would.
class ScopedMoveInterruption final
{
public:
    explicit ScopedMoveInterruption(std::function<void(const QString& fromPath)> meanwhile);
    ~ScopedMoveInterruption();
    ScopedMoveInterruption(const ScopedMoveInterruption&) = delete;
    ScopedMoveInterruption& operator=(const ScopedMoveInterruption&) = delete;

private:
    std::function<void(const QString&)> previous_;
};

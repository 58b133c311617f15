#pragma once

#include "CreateWithoutOverwriting.h"

#include <QString>
#include <functional>
#include <optional>

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

// The ways a move can go, best first: a rename that refuses to replace; where the file system has none,
// a hard link; where it has no hard links either, a copy.
enum class MoveWay
{
    Rename,
    HardLink,
    Copy
};

// Tests and benchmarks: while one lives, moves go no better way than `way`, as on a file system that
// offers none better.
class ScopedMoveWay final
{
public:
    explicit ScopedMoveWay(MoveWay way);
    ~ScopedMoveWay();
    ScopedMoveWay(const ScopedMoveWay&) = delete;
    ScopedMoveWay& operator=(const ScopedMoveWay&) = delete;

private:
    bool previous_;
    std::optional<ScopedNoHardLinks> noHardLinks_;
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

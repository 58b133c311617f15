#include "MoveWithoutOverwriting.h"

#include "FileError.h"
#include "RemoveFile.h"

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

bool& exclusiveRenameAvailable()
{
    static bool available = true;
    return available;
}

std::function<void(const QString&)>& interruption()
{
    static std::function<void(const QString&)> meanwhile;
    return meanwhile;
}

enum class Rename
{
    Done,
    Exists,
    Unsupported,
    Failed
};

Rename renameWithoutReplacing(const QByteArray& from, const QByteArray& to, int* systemError)
{
#if defined(__linux__) && defined(RENAME_NOREPLACE)
    if (!exclusiveRenameAvailable())
        return Rename::Unsupported;
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return Rename::Done;
    *systemError = errno;
    switch (*systemError) {
    case EEXIST:
        return Rename::Exists;
    // The kernel or the file system cannot promise not to replace.
    case EINVAL:
    case ENOSYS:
    case EOPNOTSUPP:
#if ENOTSUP != EOPNOTSUPP
    case ENOTSUP:
#endif
        return Rename::Unsupported;
    default:
        return Rename::Failed;
    }
#else
    Q_UNUSED(from);
    Q_UNUSED(to);
    Q_UNUSED(systemError);
    return Rename::Unsupported;
#endif
}

// The same file, unwritten since: a save that replaces it or writes into it changes one of these.
bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

} // namespace

MoveOutcome moveWithoutOverwriting(const QString& fromPath, const QString& toPath, QString* error)
{
    auto fail = [&](int systemError) {
        if (error)
            *error = fileErrorReason(systemError);
        return MoveOutcome::Failed;
    };
    if (error)
        error->clear();
    const QByteArray from = QFile::encodeName(fromPath);
    struct stat before = {};
    if (::stat(from.constData(), &before) != 0)
        return fail(errno);
    // A rename would carry a folder along; a memo is a file.
    if (!S_ISREG(before.st_mode))
        return fail(S_ISDIR(before.st_mode) ? EISDIR : EINVAL);
    int renameError = 0;
    switch (renameWithoutReplacing(from, QFile::encodeName(toPath), &renameError)) {
    case Rename::Done:
        return MoveOutcome::Moved;
    case Rename::Exists:
        return MoveOutcome::TargetExists;
    case Rename::Failed:
        return fail(renameError);
    case Rename::Unsupported:
        break;
    }

    switch (createWithoutOverwriting(fromPath, toPath, error)) {
    case CreateOutcome::Exists:
        return MoveOutcome::TargetExists;
    case CreateOutcome::Failed:
        return MoveOutcome::Failed;
    case CreateOutcome::Created:
        break;
    }
    if (interruption())
        interruption()(fromPath);
    struct stat now = {};
    if (::stat(from.constData(), &now) != 0) {
        const int statError = errno;
        // Gone already: the target holds it, which is all a move has to leave.
        if (statError == ENOENT)
            return MoveOutcome::Moved;
        if (error)
            *error = fileErrorReason(statError);
        return MoveOutcome::SourceKept;
    }
    // A hard link shares the source's contents, written or not, as long as the name still leads to them;
    // a copy holds them only as they were before it was made.
    struct stat made = {};
    const bool linked = ::stat(QFile::encodeName(toPath).constData(), &made) == 0 && made.st_dev == before.st_dev &&
                        made.st_ino == before.st_ino;
    if (linked ? now.st_dev != made.st_dev || now.st_ino != made.st_ino : !sameFile(before, now))
        return MoveOutcome::SourceChanged;
    return removeFile(fromPath, error) ? MoveOutcome::Moved : MoveOutcome::SourceKept;
}

ScopedMoveWay::ScopedMoveWay(MoveWay way) : previous_(exclusiveRenameAvailable())
{
    exclusiveRenameAvailable() = exclusiveRenameAvailable() && way == MoveWay::Rename;
    if (way == MoveWay::Copy)
        noHardLinks_.emplace();
}

ScopedMoveWay::~ScopedMoveWay()
{
    exclusiveRenameAvailable() = previous_;
}

ScopedMoveInterruption::ScopedMoveInterruption(std::function<void(const QString& fromPath)> meanwhile)
    : previous_(std::move(interruption()))
{
    interruption() = std::move(meanwhile);
}

ScopedMoveInterruption::~ScopedMoveInterruption()
{
    interruption() = std::move(previous_);
}

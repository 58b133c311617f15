#include "SingleInstance.h"

#include "UserFolders.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace {

constexpr int ProbeGraceMs = 250;

QString lockFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

QString failureReason(const QLockFile& lock)
{
    return lock.error() == QLockFile::PermissionError
               ? QStringLiteral("ロックファイルを作成する権限がありません: %1").arg(lock.fileName())
               : QStringLiteral("ロックファイルを作成できません: %1").arg(lock.fileName());
}

} // namespace

SingleInstance::SingleInstance() = default;

SingleInstance::~SingleInstance() = default;

QString SingleInstance::lockFilePath(const QString& programFolder)
{
    return lockFolder() + QStringLiteral("/Scrivlet-") + programFolderKey(programFolder) + QStringLiteral(".lock");
}

SingleInstance::Result SingleInstance::acquire(const QString& programFolder, QString* error)
{
    if (error)
        error->clear();
    release();
    // A lock whose owner has died is taken over at once, an unreadable one after QLockFile's grace
    // time; a running owner keeps its file locked, so a copy that has run for days is never displaced.
    auto lock = std::make_unique<QLockFile>(lockFilePath(programFolder));
    // The short wait rides over another program that only looks whether this folder is in use.
    if (lock->tryLock(ProbeGraceMs)) {
        lock_ = std::move(lock);
        return Result::Acquired;
    }
    if (lock->error() == QLockFile::LockFailedError)
        return Result::HeldElsewhere;
    if (error)
        *error = failureReason(*lock);
    return Result::CannotTell;
}

SingleInstance::Presence SingleInstance::runningCopy(const QString& programFolder, QString* error)
{
    // Taking the lock is the one test that a stale lock (its owner died) gives way to and a live one
    // never does; it is given back at once, so a copy starting meanwhile only waits a moment.
    QLockFile probe(lockFilePath(programFolder));
    if (probe.tryLock(0)) {
        probe.unlock();
        if (error)
            error->clear();
        return Presence::None;
    }
    if (probe.error() == QLockFile::LockFailedError) {
        if (error)
            error->clear();
        return Presence::Running;
    }
    if (error)
        *error = failureReason(probe);
    return Presence::CannotTell;
}

void SingleInstance::release()
{
    if (lock_)
        lock_->unlock();
    lock_.reset();
}

bool SingleInstance::isHeld() const
{
    return lock_ && lock_->isLocked();
}

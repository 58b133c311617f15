#include "SingleInstance.h"

#include "UserFolders.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace {

QString lockFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
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
    if (lock->tryLock(0)) {
        lock_ = std::move(lock);
        return Result::Acquired;
    }
    if (lock->error() == QLockFile::LockFailedError)
        return Result::HeldElsewhere;
    if (error) {
        *error = lock->error() == QLockFile::PermissionError
                     ? QStringLiteral("ロックファイルを作成する権限がありません: %1").arg(lockFilePath(programFolder))
                     : QStringLiteral("ロックファイルを作成できません: %1").arg(lockFilePath(programFolder));
    }
    return Result::CannotTell;
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

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
    return lock.error() == QLockFile::PermissionError ? QStringLiteral("ロックファイルを作成する権限がありません")
                                                      : QStringLiteral("ロックファイルを作成できません");
}

} // namespace

SingleInstance::SingleInstance() = default;

SingleInstance::~SingleInstance() = default;

QString SingleInstance::lockFilePath(const QString& programFolder)
{
    return lockFolder() + QStringLiteral("/Scrivlet-") + programFolderKey(programFolder) + QStringLiteral(".lock");
}

SingleInstance::Result SingleInstance::acquire(const QString& programFolder, Failure* failure)
{
    release();
    holderProgram_.clear();
    // A lock whose owner has died is taken over at once, an unreadable one after QLockFile's grace
    // time; a running owner keeps its file locked, so a copy that has run for days is never displaced.
    auto lock = std::make_unique<QLockFile>(lockFilePath(programFolder));
    // The short wait rides over another program that takes the folder only for a moment.
    if (lock->tryLock(ProbeGraceMs)) {
        lock_ = std::move(lock);
        return Result::Acquired;
    }
    if (lock->error() == QLockFile::LockFailedError) {
        // QLockFile records the holder's executable, which is how the programs tell each other apart.
        qint64 pid = 0;
        QString host;
        if (!lock->getLockInfo(&pid, &host, &holderProgram_))
            holderProgram_.clear();
        return Result::HeldElsewhere;
    }
    if (failure)
        *failure = {QString(), lock->fileName(), failureReason(*lock), QString()};
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

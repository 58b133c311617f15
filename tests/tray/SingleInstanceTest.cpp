#include "SingleInstance.h"

#include "LockHolder.h"
#include "ProgramFolder.h"
#include "QtPrinters.h"
#include "ScopedRuntimeFolder.h"
#include "TempProgramFolder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Result = SingleInstance::Result;

TEST(SingleInstance, oneCopyPerFolderHowEverTheFolderIsSpelled)
{
    ScopedRuntimeFolder runtime;
    TempProgramFolder folder;
    SingleInstance first;
    ASSERT_EQ(first.acquire(folder.path()), Result::Acquired);
    EXPECT_TRUE(first.isHeld());

    QString withoutSeparator = folder.path();
    withoutSeparator.chop(1);
    const QString linkFolder =
        QDir::tempPath() + QStringLiteral("/scrivlet-link-") + QString::number(QCoreApplication::applicationPid());
    ASSERT_TRUE(QFile::link(withoutSeparator, linkFolder));
    for (const QString& spelling : {folder.path(), withoutSeparator, linkFolder + QStringLiteral("/")}) {
        SingleInstance second;
        Failure failure;
        EXPECT_EQ(second.acquire(spelling, &failure), Result::HeldElsewhere) << spelling.toStdString();
        EXPECT_EQ(failure.reason, QString());
        EXPECT_FALSE(second.isHeld());
    }
    QFile::remove(linkFolder);

    first.release();
    SingleInstance next;
    EXPECT_EQ(next.acquire(folder.path()), Result::Acquired);
}

TEST(SingleInstance, copiesInOtherFoldersRunSideBySide)
{
    ScopedRuntimeFolder runtime;
    TempProgramFolder folder;
    QTemporaryDir other;
    SingleInstance here;
    SingleInstance there;
    EXPECT_EQ(here.acquire(folder.path()), Result::Acquired);
    EXPECT_EQ(there.acquire(other.path()), Result::Acquired);
    EXPECT_NE(SingleInstance::lockFilePath(folder.path()), SingleInstance::lockFilePath(other.path()));
}

// The lock file a copy leaves when it dies without releasing it: its process number, name and host.
void leaveLockOf(qint64 pid, const QString& programFolder)
{
    const QString path = SingleInstance::lockFilePath(programFolder);
    QDir().mkpath(QFileInfo(path).path());
    TempProgramFolder::writeBytes(path, QByteArray::number(pid) + '\n' + QCoreApplication::applicationName().toUtf8() +
                                            '\n' + QSysInfo::machineHostName().toUtf8() + '\n');
}

TEST(SingleInstance, lockOfACrashedCopyIsTakenOver)
{
    ScopedRuntimeFolder runtime;
    TempProgramFolder folder;
    QProcess gone;
    gone.start(QStringLiteral("true"), {});
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 deadPid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());

    // Left by a copy that is still running, the same file holds.
    leaveLockOf(QCoreApplication::applicationPid(), folder.path());
    SingleInstance blocked;
    EXPECT_EQ(blocked.acquire(folder.path()), Result::HeldElsewhere);

    leaveLockOf(deadPid, folder.path());
    SingleInstance next;
    ASSERT_EQ(next.acquire(folder.path()), Result::Acquired);
    EXPECT_TRUE(next.isHeld());
}

TEST(SingleInstance, aCopyThatHasRunForLongKeepsItsFolder)
{
    ScopedRuntimeFolder runtime;
    TempProgramFolder folder;
    SingleInstance first;
    ASSERT_EQ(first.acquire(folder.path()), Result::Acquired);
    QFile lockFile(SingleInstance::lockFilePath(folder.path()));
    ASSERT_TRUE(lockFile.open(QIODevice::ReadWrite));
    ASSERT_TRUE(lockFile.setFileTime(QDateTime::currentDateTime().addDays(-3), QFileDevice::FileModificationTime));
    lockFile.close();

    SingleInstance second;
    EXPECT_EQ(second.acquire(folder.path()), Result::HeldElsewhere);
    EXPECT_TRUE(first.isHeld());
}

// What the utility meets before it touches a memo folder, and the main program at start.
TEST(SingleInstance, aHolderInAnotherProcessIsNamedAndNotDisturbed)
{
    ScopedRuntimeFolder runtime;
    TempProgramFolder folder;
    QTemporaryDir otherFolder;
    {
        SingleInstance free;
        EXPECT_EQ(free.acquire(folder.path()), Result::Acquired);
    }
    const std::pair<LockHolder::Holder, QString> holders[] = {
        {LockHolder::Holder::MainProgram, QStringLiteral("scrivlet_lock_holder")},
        {LockHolder::Holder::Utility, utilityProgramFileName()}};
    for (const auto& [kind, program] : holders) {
        LockHolder holder(folder.path(), kind);
        ASSERT_TRUE(holder.isHolding()) << holder.failure().toStdString();
        const QByteArray lockBefore = TempProgramFolder::readBytes(SingleInstance::lockFilePath(folder.path()));
        for (int look = 0; look < 3; ++look) {
            SingleInstance second;
            Failure failure;
            EXPECT_EQ(second.acquire(folder.path(), &failure), Result::HeldElsewhere);
            EXPECT_EQ(failure.reason, QString());
            EXPECT_EQ(second.holderProgram(), program);
            EXPECT_FALSE(second.isHeld());
        }
        SingleInstance other;
        EXPECT_EQ(other.acquire(otherFolder.path()), Result::Acquired);
        EXPECT_EQ(TempProgramFolder::readBytes(SingleInstance::lockFilePath(folder.path())), lockBefore);
        EXPECT_TRUE(lockBefore.startsWith(QByteArray::number(holder.processId()) + '\n'));
    }
}

TEST(SingleInstance, theLockOfAKilledHolderIsFree)
{
    ScopedRuntimeFolder runtime;
    TempProgramFolder folder;
    LockHolder holder(folder.path());
    ASSERT_TRUE(holder.isHolding()) << holder.failure().toStdString();
    holder.crash();
    ASSERT_TRUE(QFileInfo::exists(SingleInstance::lockFilePath(folder.path())));

    SingleInstance next;
    EXPECT_EQ(next.acquire(folder.path()), Result::Acquired);
    EXPECT_TRUE(next.isHeld());
}

TEST(SingleInstance, cannotTellWhereNoLockCanBeMade)
{
    ScopedRuntimeFolder runtime;
    TempProgramFolder folder;
    ASSERT_TRUE(runtime.makeLocksImpossible());
    SingleInstance instance;
    Failure failure;
    EXPECT_EQ(instance.acquire(folder.path(), &failure), Result::CannotTell);
    EXPECT_EQ(failure.path, SingleInstance::lockFilePath(folder.path()));
    EXPECT_EQ(failure.reason, QStringLiteral("ロックファイルを作成できません"));
    EXPECT_FALSE(instance.isHeld());
}

} // namespace

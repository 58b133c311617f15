#include "MoveWithoutOverwriting.h"

#include "PrivateMount.h"
#include "QtPrinters.h"
#include "TempProgramFolder.h"

#include <QDir>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace {

enum class Mount
{
    ReadOnly,
    Full,
    NoInodeLeft
};

// The reason is read where the step failed; nothing checked afterwards may replace it.
TEST(MoveWithoutOverwriting, aFailureNamesTheRealReasonAndLeavesOnlyTheSource)
{
    const struct
    {
        MoveWay way;
        Mount mount;
        const char* reason;
    } cases[] = {{MoveWay::Rename, Mount::ReadOnly, "書き込みできない場所です"},
                 {MoveWay::HardLink, Mount::ReadOnly, "書き込みできない場所です"},
                 {MoveWay::Copy, Mount::ReadOnly, "書き込みできない場所です"},
                 {MoveWay::Copy, Mount::Full, "ディスクの空き容量が足りません"},
                 {MoveWay::Copy, Mount::NoInodeLeft, "ディスクの空き容量が足りません"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        const ScopedMoveWay way(c.way);
        TempProgramFolder folder;
        QDir().mkpath(folder.memoFolder());
        const QByteArray memo = QByteArray("\x82\xA0\r\n").repeated(20 * 1024);
        std::unique_ptr<PrivateMount> mount;
        if (c.mount == Mount::ReadOnly) {
            folder.writeMemo(1, memo);
            mount = std::make_unique<PrivateMount>(folder.memoFolder());
        } else {
            mount = std::make_unique<PrivateMount>(folder.memoFolder(), 128 * 1024, c.mount == Mount::Full ? 64 : 2);
            if (mount->ok())
                folder.writeMemo(1, memo);
        }
        if (!mount->ok())
            GTEST_SKIP() << mount->whyNot().toStdString();

        QString error;
        EXPECT_EQ(moveWithoutOverwriting(folder.memoPath(1), folder.memoPath(0), &error), MoveOutcome::Failed);
        EXPECT_TRUE(error.startsWith(QString::fromUtf8(c.reason))) << error.toStdString();
        EXPECT_EQ(folder.readMemo(1), memo);
        EXPECT_EQ(QDir(folder.memoFolder()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("text0001.txt")});
    }
}

// A save landing between the link or copy and the deletion of the source is not deleted with it.
TEST(MoveWithoutOverwriting, aSourceWrittenMeanwhileIsKeptUnlessTheLinkSharesIt)
{
    const auto save = [](const QString& source) {
        QFile::remove(source);
        TempProgramFolder::writeBytes(source, "new\r\n");
    };
    const auto writeInto = [](const QString& source) { TempProgramFolder::writeBytes(source, "old\r\nnew\r\n"); };
    const struct
    {
        MoveWay way;
        std::function<void(const QString&)> meanwhile;
        MoveOutcome outcome;
        QByteArray target;
        QByteArray source; // empty: gone
    } cases[] = {
        {MoveWay::HardLink, save, MoveOutcome::SourceChanged, "old\r\n", "new\r\n"},
        {MoveWay::Copy, save, MoveOutcome::SourceChanged, "old\r\n", "new\r\n"},
        {MoveWay::Copy, writeInto, MoveOutcome::SourceChanged, "old\r\n", "old\r\nnew\r\n"},
        {MoveWay::HardLink, writeInto, MoveOutcome::Moved, "old\r\nnew\r\n", ""},
        {MoveWay::HardLink, [](const QString& source) { QFile::remove(source); }, MoveOutcome::Moved, "old\r\n", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        const ScopedMoveWay way(c.way);
        TempProgramFolder folder;
        folder.writeMemo(1, "old\r\n");
        const ScopedMoveInterruption interruption(c.meanwhile);
        QString error;
        EXPECT_EQ(moveWithoutOverwriting(folder.memoPath(1), folder.memoPath(0), &error), c.outcome);
        EXPECT_EQ(folder.readMemo(0), c.target);
        EXPECT_EQ(folder.memoExists(1) ? folder.readMemo(1) : QByteArray(), c.source);
    }
}

} // namespace

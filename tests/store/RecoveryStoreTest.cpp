#include "RecoveryStore.h"

#include "MemoNaming.h"
#include "QtPrinters.h"
#include "TempProgramFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void setModified(const QString& path, const QDateTime& when)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
}

const QDateTime someTime = QDateTime::fromMSecsSinceEpoch(1700000000000);

class Recovery : public ::testing::Test
{
protected:
    QTemporaryDir state;
    TempProgramFolder program;
    RecoveryStore store{state.path(), program.path()};
};

TEST_F(Recovery, keepsEveryCharacterOutsideTheMemoFolderAndRemovesIt)
{
    const QString text = QString::fromUtf8("一行目\n😀 ① ～ \\ ¥ tab\there\n\nlast");
    QString error;
    ASSERT_TRUE(store.save(12, text, &error)) << error.toStdString();
    EXPECT_TRUE(store.filePath(12).startsWith(state.path() + QStringLiteral("/Scrivlet/")));
    EXPECT_TRUE(store.filePath(12).endsWith(QStringLiteral("/text0012.txt")));
    EXPECT_FALSE(QFileInfo::exists(program.memoFolder()));
    EXPECT_EQ(QFileInfo(store.folder()).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
              QFileDevice::Permissions());

    QString back;
    ASSERT_TRUE(store.read(12, &back, &error));
    EXPECT_EQ(back, text);

    ASSERT_TRUE(store.save(12, QStringLiteral("shorter"), &error));
    ASSERT_TRUE(store.read(12, &back, &error));
    EXPECT_EQ(back, QStringLiteral("shorter"));

    ASSERT_TRUE(store.remove(12, &error));
    EXPECT_FALSE(QFileInfo::exists(store.filePath(12)));
    EXPECT_TRUE(store.remove(12, &error)) << "a missing copy is no failure";
    EXPECT_FALSE(store.read(12, &back, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(Recovery, eachProgramFolderHasItsOwnCopiesWhateverItsSpelling)
{
    TempProgramFolder other;
    const RecoveryStore otherStore(state.path(), other.path());
    QString error;
    ASSERT_TRUE(store.save(1, QStringLiteral("mine"), &error));
    EXPECT_NE(otherStore.folder(), store.folder());
    EXPECT_TRUE(otherStore.offerable().empty());

    QString unslashed = program.path();
    unslashed.chop(1);
    EXPECT_EQ(RecoveryStore(state.path(), unslashed).folder(), store.folder());
}

TEST_F(Recovery, offersEveryCopyOverItsMemoOnlyWhileThatIsTheFileTheEditsWereMadeOnNewestFirst)
{
    using Offer = RecoveryStore::Offer;
    QString error;
    // Copies without a stamp: newer than the memo file goes over it, anything else as a new memo.
    for (int n : {1, 2, 3, 4})
        ASSERT_TRUE(store.save(n, QStringLiteral("copy"), &error));
    program.writeMemo(1, "older memo\r\n");
    program.writeMemo(2, "newer memo\r\n");
    program.writeMemo(4, "same time\r\n");
    setModified(program.memoPath(1), someTime);
    setModified(store.filePath(1), someTime.addSecs(10));
    setModified(program.memoPath(2), someTime.addSecs(20));
    setModified(store.filePath(2), someTime.addSecs(8));
    setModified(store.filePath(3), someTime.addSecs(5)); // memo 3 has no file at all
    setModified(program.memoPath(4), someTime);
    setModified(store.filePath(4), someTime);
    // Copies with the stamp of the file they were typed over.
    const auto stampOf = [&](int n) {
        FileStamp stamp;
        EXPECT_TRUE(readFileStamp(program.memoPath(n), &stamp, nullptr));
        return stamp;
    };
    for (int n : {6, 7, 8, 9})
        program.writeMemo(n, "memo\r\n");
    for (int n : {5, 6, 7, 8})
        ASSERT_TRUE(store.save(n, QStringLiteral("copy"), stampOf(n), &error));
    ASSERT_TRUE(store.save(9, QStringLiteral("copy"), std::nullopt, &error));
    program.writeMemo(7, "rewritten\r\n");
    ASSERT_TRUE(QFile::remove(program.memoPath(8)));
    ASSERT_TRUE(QFile::copy(program.memoPath(6), program.memoPath(8))); // another file, the same bytes
    // Not a copy of any memo.
    TempProgramFolder::writeBytes(store.folder() + QStringLiteral("/text12.txt"), "stray");
    TempProgramFolder::writeBytes(store.folder() + QStringLiteral("/note.txt"), "stray");

    const Offer expected[] = {Offer::None,     Offer::OverMemo,  Offer::AsNewMemo, Offer::OverMemo, Offer::AsNewMemo,
                              Offer::OverMemo, Offer::OverMemo,  Offer::AsNewMemo, Offer::AsNewMemo, Offer::AsNewMemo,
                              Offer::None};
    for (int n = 0; n <= 10; ++n)
        EXPECT_EQ(store.offerFor(n), expected[n]) << n;
    const std::vector<int> offered = store.offerable();
    EXPECT_EQ(std::vector<int>(offered.end() - 4, offered.end()), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(offered.size(), 9u);
}

TEST_F(Recovery, unusableStateFolderGivesTheReason)
{
    TempProgramFolder::writeBytes(state.filePath(QStringLiteral("Scrivlet")), "a file where the folder belongs");
    QString error;
    EXPECT_FALSE(store.save(0, QStringLiteral("text"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(store.offerable().empty());
}

} // namespace

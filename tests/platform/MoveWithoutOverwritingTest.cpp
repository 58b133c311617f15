#include "MoveWithoutOverwriting.h"

#include "CreateWithoutOverwriting.h"
#include "PrivateMount.h"
#include "QtPrinters.h"
#include "TempProgramFolder.h"

#include <QDir>
#include <QSaveFile>
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

enum class Path
{
    Rename,
    HardLink,
    Copy
};

// The way a move goes, as the file system allows: no seam, no exclusive rename, nor hard links either.
struct MovePath
{
    explicit MovePath(Path path)
    {
        if (path != Path::Rename)
            noRename.emplace();
        if (path == Path::Copy)
            noHardLinks.emplace();
    }
    std::optional<ScopedNoExclusiveRename> noRename;
    std::optional<ScopedNoHardLinks> noHardLinks;
};

struct FailingMove
{
    const char* name;
    Path path;
    Mount mount;
    const char* reason;
};

void PrintTo(const FailingMove& c, std::ostream* os)
{
    *os << c.name;
}

class MoveFailure : public ::testing::TestWithParam<FailingMove>
{
};

// The reason is read where the step failed; nothing checked afterwards may replace it.
TEST_P(MoveFailure, namesTheRealReasonAndLeavesOnlyTheSource)
{
    const FailingMove& c = GetParam();
    const MovePath path(c.path);
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

INSTANTIATE_TEST_SUITE_P(
    Mounts, MoveFailure,
    ::testing::Values(FailingMove{"readOnlyRename", Path::Rename, Mount::ReadOnly, "書き込みできない場所です"},
                      FailingMove{"readOnlyLink", Path::HardLink, Mount::ReadOnly, "書き込みできない場所です"},
                      FailingMove{"readOnlyCopy", Path::Copy, Mount::ReadOnly, "書き込みできない場所です"},
                      FailingMove{"diskFullCopy", Path::Copy, Mount::Full, "ディスクの空き容量が足りません"},
                      FailingMove{"noInodeLeftCopy", Path::Copy, Mount::NoInodeLeft, "ディスクの空き容量が足りません"}),
    [](const ::testing::TestParamInfo<FailingMove>& info) { return std::string(info.param.name); });

} // namespace

namespace {

// What lands on the source between the link or copy and the deletion, and what each name holds after.
struct Meanwhile
{
    const char* name;
    Path path;
    void (*act)(const QString& source);
    MoveOutcome outcome;
    QByteArray target;
    QByteArray source; // empty: gone
};

void saveOver(const QString& source)
{
    QSaveFile file(source);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("saved\r\n");
    ASSERT_TRUE(file.commit());
}

void appendTo(const QString& source)
{
    QFile file(source);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("more\r\n");
}

TEST(MoveWithoutOverwriting, aSourceWrittenBeforeItsDeletionIsKept)
{
    const Meanwhile cases[] = {
        {"savedOverALink", Path::HardLink, saveOver, MoveOutcome::SourceChanged, "old\r\n", "saved\r\n"},
        {"savedOverACopy", Path::Copy, saveOver, MoveOutcome::SourceChanged, "old\r\n", "saved\r\n"},
        {"writtenIntoACopy", Path::Copy, appendTo, MoveOutcome::SourceChanged, "old\r\n", "old\r\nmore\r\n"},
        {"writtenIntoALink", Path::HardLink, appendTo, MoveOutcome::Moved, "old\r\nmore\r\n", ""},
        {"removedAfterALink", Path::HardLink, [](const QString& source) { QFile::remove(source); }, MoveOutcome::Moved,
         "old\r\n", ""}};
    for (const Meanwhile& c : cases) {
        SCOPED_TRACE(c.name);
        const MovePath path(c.path);
        TempProgramFolder folder;
        folder.writeMemo(1, "old\r\n");
        const ScopedMoveInterruption interruption(c.act);
        QString error;
        EXPECT_EQ(moveWithoutOverwriting(folder.memoPath(1), folder.memoPath(0), &error), c.outcome);
        EXPECT_EQ(folder.readMemo(0), c.target);
        EXPECT_EQ(folder.memoExists(1) ? folder.readMemo(1) : QByteArray(), c.source);
    }
}

} // namespace

#include "MemoMove.h"

#include "CreateWithoutOverwriting.h"
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

struct FailingMove
{
    const char* name;
    bool hardLinks;
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
    std::optional<ScopedNoHardLinks> noHardLinks;
    if (!c.hardLinks)
        noHardLinks.emplace();
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
    EXPECT_EQ(utility::moveWithoutOverwriting(folder.memoPath(1), folder.memoPath(0), &error),
              utility::MoveOutcome::CopyFailed);
    EXPECT_TRUE(error.startsWith(QString::fromUtf8(c.reason))) << error.toStdString();
    EXPECT_EQ(folder.readMemo(1), memo);
    EXPECT_EQ(QDir(folder.memoFolder()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("text0001.txt")});
}

INSTANTIATE_TEST_SUITE_P(
    Mounts, MoveFailure,
    ::testing::Values(FailingMove{"readOnlyLink", true, Mount::ReadOnly, "書き込みできない場所です"},
                      FailingMove{"readOnlyCopy", false, Mount::ReadOnly, "書き込みできない場所です"},
                      FailingMove{"diskFullCopy", false, Mount::Full, "ディスクの空き容量が足りません"},
                      FailingMove{"noInodeLeftCopy", false, Mount::NoInodeLeft, "ディスクの空き容量が足りません"}),
    [](const ::testing::TestParamInfo<FailingMove>& info) { return std::string(info.param.name); });

} // namespace

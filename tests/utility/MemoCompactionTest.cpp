#include "MemoCompaction.h"

#include "MoveWithoutOverwriting.h"
#include "QtPrinters.h"
#include "TempProgramFolder.h"
#include "UtilityTestSupport.h"
#include "UtilityWindowFixture.h"

#include <QDir>
#include <QFileInfo>
#include <map>
#include <optional>
#include <set>

namespace {

// Distinct bytes per memo, CP932 and a missing final line break included, so a move shows.
QByteArray contentOf(int number)
{
    return QByteArray("memo ") + QByteArray::number(number) + "\r\n\x82\xa0\x82\xa2\r\nno final break";
}

void writeMemos(const TempProgramFolder& folder, std::initializer_list<int> numbers)
{
    for (int number : numbers)
        folder.writeMemo(number, contentOf(number));
}

// Memo number → the former number whose contents it now holds.
std::map<int, int> holdings(const TempProgramFolder& folder, int upTo)
{
    std::map<int, int> out;
    for (int number = 0; number <= upTo; ++number) {
        if (!folder.memoExists(number))
            continue;
        const QByteArray bytes = folder.readMemo(number);
        for (int former = 0; former <= upTo; ++former) {
            if (bytes == contentOf(former))
                out[number] = former;
        }
    }
    return out;
}

std::vector<std::pair<int, int>> asPairs(const std::vector<utility::MemoMove>& moves)
{
    std::vector<std::pair<int, int>> out;
    for (const utility::MemoMove& m : moves)
        out.emplace_back(m.from, m.to);
    return out;
}

const QString stopCountRefused = utf8("連続空き数の指定が不正です。");
const QString stopCountQuestion =
    utf8("中断するまでの空きの量が多すぎます。\n稀にハングアップすることもあるかもしれませんがよろしいですか？");

// Every case runs with the rename, and with the hard link or the copy of file systems that lack it.
class Compaction : public ::testing::TestWithParam<MoveWay>
{
protected:
    ScopedMoveWay moveWay{GetParam()};

    utility::CompactionResult run(int first, int last, double stopCount, const utility::BeforeMove& hook = {})
    {
        const utility::CompactionResult result = utility::compactMemoNumbers(
            folder.memoFolder(), {qint16(first), qint16(last)}, stopCount, prompter, lock, hook);
        EXPECT_FALSE(lock.held);
        return result;
    }

    TempProgramFolder folder;
    ScriptedPrompter prompter;
    ScriptedLock lock;
};

} // namespace

TEST_P(Compaction, workedExample_movesEachMemoToTheLowestFreeNumberInOrder)
{
    writeMemos(folder, {0, 2, 3, 7});
    // A conflict copy is no memo: it neither fills the gap at 1 nor moves.
    const QString copy = folder.memoFolder() + QStringLiteral("text0001.sync-conflict-20261207-101500-ABCDEF1.txt");
    TempProgramFolder::writeBytes(copy, contentOf(9));
    const utility::CompactionResult result = run(0, 9, 100);
    EXPECT_EQ(TempProgramFolder::readBytes(copy), contentOf(9));
    EXPECT_TRUE(result.completed);
    EXPECT_EQ(asPairs(result.moves), (std::vector<std::pair<int, int>>{{2, 1}, {3, 2}, {7, 3}}));
    EXPECT_EQ(holdings(folder, 9), (std::map<int, int>{{0, 0}, {1, 2}, {2, 3}, {3, 7}}));
    ASSERT_EQ(prompter.boxes().size(), 1u);
    expectCompletion(prompter.last());
}

TEST_P(Compaction, stopCountEndsTheScanAtThatManyMissingNumbersInARow)
{
    for (double stopCount : {3.0, 2.5}) {
        TempProgramFolder local;
        for (int number : {0, 2, 3, 7})
            local.writeMemo(number, contentOf(number));
        ScriptedPrompter boxes;
        const utility::CompactionResult result =
            utility::compactMemoNumbers(local.memoFolder(), {0, 9}, stopCount, boxes, lock);
        EXPECT_TRUE(result.completed);
        EXPECT_EQ(holdings(local, 9), (std::map<int, int>{{0, 0}, {1, 2}, {2, 3}, {7, 7}})) << stopCount;
        expectCompletion(boxes.last());
    }
}

TEST_P(Compaction, stopCountZeroOrOneEndsAtTheFirstMissingNumber)
{
    writeMemos(folder, {0, 2});
    EXPECT_TRUE(run(0, 9, 0).moves.empty());
    EXPECT_TRUE(run(0, 9, 1).moves.empty());
    EXPECT_EQ(holdings(folder, 9), (std::map<int, int>{{0, 0}, {2, 2}}));
}

TEST_P(Compaction, aGapAsLongAsTheStopCountLeavesTheMemosAfterIt)
{
    writeMemos(folder, {5, 6});
    EXPECT_TRUE(run(0, 9, 5).moves.empty());
    EXPECT_EQ(holdings(folder, 9), (std::map<int, int>{{5, 5}, {6, 6}}));
    EXPECT_EQ(asPairs(run(0, 9, 6).moves), (std::vector<std::pair<int, int>>{{5, 0}, {6, 1}}));
    EXPECT_EQ(holdings(folder, 9), (std::map<int, int>{{0, 5}, {1, 6}}));
}

TEST_P(Compaction, rangesWithoutGapsMoveNothing)
{
    writeMemos(folder, {0, 1, 2, 3, 4});
    EXPECT_TRUE(run(0, 4, 100).moves.empty());
    EXPECT_TRUE(run(0, 9, 100).moves.empty());
    EXPECT_TRUE(run(2, 9, 1).moves.empty());
    EXPECT_EQ(prompter.boxes().size(), 3u);
    EXPECT_EQ(holdings(folder, 9).size(), 5u);
}

TEST_P(Compaction, memosOutsideTheRangeStayWhereTheyAre)
{
    writeMemos(folder, {1, 4, 6, 9});
    EXPECT_EQ(asPairs(run(2, 7, 100).moves), (std::vector<std::pair<int, int>>{{4, 2}, {6, 3}}));
    EXPECT_EQ(holdings(folder, 9), (std::map<int, int>{{1, 1}, {2, 4}, {3, 6}, {9, 9}}));
}

TEST_P(Compaction, movedFilesAreIdenticalAndTheirOldNumbersFree)
{
    QByteArray big;
    for (int i = 0; i < 200000; ++i)
        big.append(char(i * 7));
    folder.writeMemo(3, big);
    folder.writeMemo(5, "");
    run(0, 9, 100);
    EXPECT_EQ(folder.readMemo(0), big);
    EXPECT_EQ(QFileInfo(folder.memoPath(1)).size(), 0);
    EXPECT_TRUE(QFileInfo(folder.memoPath(1)).isFile());
    for (int number = 2; number <= 9; ++number)
        EXPECT_FALSE(QFileInfo::exists(folder.memoPath(number))) << number;
}

TEST_P(Compaction, aFilePlantedAtTheTargetIsNeverOverwritten)
{
    writeMemos(folder, {0, 2, 3, 7});
    const utility::CompactionResult result = run(0, 9, 100, [&](const utility::MemoMove& move) {
        if (move.to == 3)
            TempProgramFolder::writeBytes(folder.memoPath(3), "written meanwhile");
    });
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(asPairs(result.moves), (std::vector<std::pair<int, int>>{{2, 1}, {3, 2}}));
    EXPECT_EQ(folder.readMemo(3), QByteArray("written meanwhile"));
    EXPECT_EQ(folder.readMemo(7), contentOf(7));
    EXPECT_EQ(holdings(folder, 9), (std::map<int, int>{{0, 0}, {1, 2}, {2, 3}, {7, 7}}));
    ASSERT_EQ(prompter.boxes().size(), 1u);
    expectBox(prompter.last(),
              utf8("「text0007.txt」を「text0003.txt」へ移せませんでした。\n\n") + folder.memoFolder() +
                  utf8("text0003.txt\n\n理由：移動先に同じ名前のファイルかフォルダがあります。上書きはしません。\n\n"
                       "処理を中断しました。"),
              Prompter::Icon::Exclamation);
}

TEST_P(Compaction, somethingThatIsNoMemoFileAtATargetStopsTheRun)
{
    writeMemos(folder, {0, 2});
    QDir().mkpath(folder.memoPath(1));
    const utility::CompactionResult result = run(0, 9, 100);
    EXPECT_FALSE(result.completed);
    EXPECT_TRUE(result.moves.empty());
    EXPECT_TRUE(QFileInfo(folder.memoPath(1)).isDir());
    EXPECT_EQ(folder.readMemo(2), contentOf(2));
    EXPECT_TRUE(prompter.last().text.startsWith(utf8("「text0002.txt」を「text0001.txt」へ移せませんでした。")));
}

TEST_P(Compaction, aSourceThatCannotBeReadStopsTheRunWithTheReason)
{
    writeMemos(folder, {0, 2, 4});
    // The memo turns into a folder between the scan and the move.
    const utility::CompactionResult result = run(0, 9, 100, [&](const utility::MemoMove& move) {
        if (move.from == 4) {
            QFile::remove(folder.memoPath(4));
            QDir().mkpath(folder.memoPath(4));
        }
    });
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(result.moves.size(), 1u);
    EXPECT_FALSE(folder.memoExists(2));
    EXPECT_FALSE(QFileInfo::exists(folder.memoPath(2)));
    const QString text = prompter.last().text;
    EXPECT_TRUE(text.startsWith(utf8("「text0004.txt」を「text0002.txt」へ複写できませんでした。\n")))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith(utf8("\n処理を中断しました。")));
    EXPECT_GT(text.count(QStringLiteral("\n")), 1);
}

TEST_P(Compaction, aRefusedFolderIsNotScanned)
{
    writeMemos(folder, {0, 2});
    int checks = 0;
    ScriptedLock refusing;
    refusing.answer = [&](Prompter&) { return ++checks, false; };
    const utility::CompactionResult result =
        utility::compactMemoNumbers(folder.memoFolder(), {0, 9}, 100, prompter, refusing,
                                    [](const utility::MemoMove&) { ADD_FAILURE() << "a move was chosen"; });
    EXPECT_EQ(checks, 1);
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(holdings(folder, 9), (std::map<int, int>{{0, 0}, {2, 2}}));
    EXPECT_TRUE(prompter.boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(RenameLinkOrCopy, Compaction,
                         ::testing::Values(MoveWay::Rename, MoveWay::HardLink, MoveWay::Copy), [](const auto& info) {
                             return std::string(info.param == MoveWay::Rename     ? "rename"
                                                : info.param == MoveWay::HardLink ? "hardLink"
                                                                                  : "copy");
                         });

TEST(StopCount, checksInOrderAndAsksFromFiveHundredOn)
{
    struct Case
    {
        const char* text;
        std::optional<Prompter::Answer> answer; // a question is expected when set
        std::optional<double> accepted;
    };
    const Case cases[] = {{"100", {}, 100.0},
                          {"0", {}, 0.0},
                          {"499", {}, 499.0},
                          {"499.9", {}, 499.9},
                          {"500", Prompter::Answer::No, {}},
                          {"500", Prompter::Answer::Yes, 500.0},
                          {"9999", Prompter::Answer::Yes, 9999.0},
                          {"10000", {}, {}},
                          {"-1", {}, {}},
                          {"x", {}, {}},
                          {"", {}, {}}};
    for (const Case& c : cases) {
        ScriptedPrompter prompter;
        if (c.answer)
            prompter.planAnswer(*c.answer);
        EXPECT_EQ(utility::checkStopCount(utf8(c.text), prompter), c.accepted) << c.text;
        if (c.answer) {
            ASSERT_EQ(prompter.boxes().size(), 1u) << c.text;
            expectQuestion(prompter.last(), stopCountQuestion, Prompter::Icon::Exclamation);
        } else if (!c.accepted) {
            ASSERT_EQ(prompter.boxes().size(), 1u) << c.text;
            expectBox(prompter.last(), stopCountRefused, Prompter::Icon::Exclamation);
        } else {
            EXPECT_TRUE(prompter.boxes().empty()) << c.text;
        }
    }
}

TEST_F(UtilityWindow, compactButtonChecksTheRangeFirstThenTheStopCount)
{
    writeMemos(folder, {0, 2});
    setRange("0000", "0009");
    field("txtStopAki")->setText(QStringLiteral("x"));
    click("cmdStartTumeru");
    setRange("0009", "0000");
    click("cmdStartTumeru");
    field("txtStopAki")->setText(QStringLiteral("500"));
    setRange("0000", "0009");
    click("cmdStartTumeru"); // the question's default answer is No
    EXPECT_EQ(prompter.texts(), (QStringList{stopCountRefused, utf8("対象の指定が不正です。"), stopCountQuestion}));
    EXPECT_EQ(holdings(folder, 9), (std::map<int, int>{{0, 0}, {2, 2}}));

    field("txtStopAki")->setText(QStringLiteral("2"));
    prompter.clear();
    press(Qt::Key_Return);
    EXPECT_EQ(holdings(folder, 9), (std::map<int, int>{{0, 0}, {1, 2}}));
    ASSERT_EQ(prompter.boxes().size(), 1u);
    expectCompletion(prompter.last());
}

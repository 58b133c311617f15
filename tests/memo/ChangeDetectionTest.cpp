#include "FolderLock.h"
#include "MemoChange.h"
#include "MemoCompaction.h"
#include "MemoDisturbance.h"
#include "MemoWindowFixture.h"
#include "ScopedRuntimeFolder.h"

#include <QTemporaryDir>
#include <tuple>

namespace {

using namespace memotest;

// What the memo window does that writes the shown memo.
enum class Trigger
{
    Save,
    AutomaticSave,
    Close
};

class WrittenMemo : public MemoWindow
{
protected:
    void SetUp() override
    {
        MemoWindow::SetUp();
        folder.writeSettings(settingsWith("LastFileNum=3\r\nAutoSave=1\r\n"));
        folder.writeMemo(4, "four\r\n");
    }

    // Returns whether the write went ahead (a close was not refused).
    bool run(Trigger trigger)
    {
        switch (trigger) {
        case Trigger::Save:
            click("cmdSave");
            return status() != utf8("状態：保存を取り消しました");
        case Trigger::AutomaticSave:
            click("cmdNext");
            return current() == 4;
        case Trigger::Close:
            return window->close();
        }
        return false;
    }

    // The window's text as Save writes it.
    QByteArray typedBytes() const { return memoText().toUtf8().replace("\n", "\r\n") + "\r\n"; }

    std::size_t questionCount() const
    {
        std::size_t n = 0;
        for (const auto& box : prompter.boxes())
            n += box.buttons == Prompter::Buttons::YesNoCancel ? 1 : 0;
        return n;
    }
};

class ChangedOnDisk : public WrittenMemo, public ::testing::WithParamInterface<std::tuple<Trigger, Disturbance, Answer>>
{
};

TEST_P(ChangedOnDisk, asksOnceAndDoesWhatTheAnswerSays)
{
    const auto [trigger, disturbance, answer] = GetParam();
    prepareMemo(folder, 3, disturbance);
    open();
    type(QStringLiteral("typed "));
    const QByteArray typed = typedBytes();
    disturbMemo(folder, 3, disturbance);
    if (HasFatalFailure())
        return;
    prompter.planAnswer(answer);

    const bool wentAhead = run(trigger);

    ASSERT_EQ(questionCount(), 1u);
    const auto& question = prompter.boxes().front();
    EXPECT_EQ(question.title, QStringLiteral("Zormet Scrivlet"));
    EXPECT_EQ(question.defaultButton, Answer::Cancel);
    EXPECT_TRUE(question.text.contains(folder.memoPath(3)));
    EXPECT_TRUE(question.text.startsWith(utf8("表示中のメモは、"))) << "the memo shown, not the next one";
    const char* happened = disturbance == Disturbance::Created   ? "作成されました"
                           : disturbance == Disturbance::Removed ? "削除されました"
                                                                 : "変更されました";
    EXPECT_TRUE(question.text.contains(utf8(happened))) << question.text.toStdString();

    switch (answer) {
    case Answer::Yes:
        EXPECT_TRUE(wentAhead);
        EXPECT_EQ(folder.readMemo(3), typed);
        EXPECT_FALSE(folder.memoExists(5));
        break;
    case Answer::No:
        EXPECT_TRUE(wentAhead);
        EXPECT_EQ(folder.memoExists(3), disturbance != Disturbance::Removed);
        EXPECT_EQ(folder.readMemo(3), disturbedBytes(disturbance));
        EXPECT_EQ(folder.readMemo(4), QByteArray("four\r\n"));
        EXPECT_EQ(folder.readMemo(5), typed);
        ASSERT_EQ(prompter.boxes().size(), 2u);
        EXPECT_TRUE(prompter.last().text.contains(QStringLiteral("text0005.txt")));
        // Only a window that stays on the memo shows the new one.
        EXPECT_EQ(prompter.last().text.contains(utf8("この新しいメモを表示しています")), trigger == Trigger::Save);
        if (trigger == Trigger::Save) {
            EXPECT_EQ(current(), 5);
            EXPECT_EQ(shownPath(), folder.memoPath(5));
        }
        if (trigger == Trigger::Close) {
            EXPECT_TRUE(folder.readSettings().contains("LastFileNum=5\r\n"));
        }
        break;
    default:
        EXPECT_FALSE(wentAhead);
        EXPECT_EQ(folder.readMemo(3), disturbedBytes(disturbance));
        EXPECT_FALSE(folder.memoExists(5));
        ASSERT_FALSE(window.isNull());
        EXPECT_EQ(current(), 3);
        EXPECT_EQ(typedBytes(), typed);
        EXPECT_EQ(mark(), QStringLiteral("Changed"));
        break;
    }
}

std::string triggerName(Trigger t)
{
    const char* const names[] = {"save", "automaticSave", "close"};
    return names[int(t)];
}

std::string caseName(const ::testing::TestParamInfo<std::tuple<Trigger, Disturbance, Answer>>& info)
{
    const char* const answers[] = {"ok", "overwrite", "keepBoth", "cancel"};
    return triggerName(std::get<0>(info.param)) + "_" + disturbanceName(std::get<1>(info.param)) + "_" +
           answers[int(std::get<2>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(
    Table, ChangedOnDisk,
    ::testing::Combine(::testing::Values(Trigger::Save, Trigger::AutomaticSave, Trigger::Close),
                       ::testing::Values(Disturbance::Created, Disturbance::Changed, Disturbance::ReplacedByRename,
                                         Disturbance::RewrittenWithItsTimeSetBack, Disturbance::Removed),
                       ::testing::Values(Answer::Yes, Answer::No, Answer::Cancel)),
    caseName);

class Untouched : public WrittenMemo, public ::testing::WithParamInterface<Trigger>
{
};

TEST_P(Untouched, memoNobodyElseWroteIsWrittenWithoutAQuestionAlsoAfterOurOwnSave)
{
    for (const bool existed : {false, true}) {
        prompter.clear();
        if (existed)
            folder.writeMemo(3, "mine\r\n");
        else
            QFile::remove(folder.memoPath(3));
        mdlScrivlet::resetForTesting();
        open();
        type(QStringLiteral("one "));
        click("cmdSave");
        type(QStringLiteral("two "));
        const QByteArray typed = typedBytes();
        EXPECT_TRUE(run(GetParam()));
        EXPECT_EQ(folder.readMemo(3), typed);
        EXPECT_TRUE(prompter.boxes().empty()) << prompter.texts().join(QStringLiteral("|")).toStdString();
        delete window.data();
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Untouched, ::testing::Values(Trigger::Save, Trigger::AutomaticSave, Trigger::Close),
                         [](const auto& info) { return triggerName(info.param); });

TEST_F(WrittenMemo, deleteRefusesAFileThatChangedSinceItWasShownAndShowsItsNewText)
{
    folder.writeMemo(3, "mine\r\n");
    open();
    folder.writeMemo(3, "theirs, and longer\r\n");
    prompter.planAnswer(Answer::Yes);
    choose("mnuFileKill");
    EXPECT_EQ(folder.readMemo(3), QByteArray("theirs, and longer\r\n"));
    ASSERT_EQ(prompter.boxes().size(), 2u);
    EXPECT_TRUE(prompter.last().text.contains(utf8("変更されました")));
    EXPECT_EQ(memoText(), QStringLiteral("theirs, and longer"));

    // Now that the window shows what is there, deleting works.
    prompter.planAnswer(Answer::Yes);
    choose("mnuFileKill");
    EXPECT_FALSE(folder.memoExists(3));
}

TEST(NewMemo, goesToTheFirstFreeNumberAfterTheShownOneWrappingRound)
{
    TempProgramFolder folder;
    for (int n : {9998, 9999, 0})
        folder.writeMemo(n, "taken\r\n");
    QString error;
    bool replaced = false;
    EXPECT_EQ(saveAsNewMemo(folder.path(), 9997, QStringLiteral("a"), &error, &replaced), std::optional<int>(1));
    EXPECT_EQ(folder.readMemo(1), QByteArray("a\r\n"));
    EXPECT_EQ(saveAsNewMemo(folder.path(), 0, QStringLiteral("b"), &error, &replaced), std::optional<int>(2));
    EXPECT_EQ(folder.readMemo(9999), QByteArray("taken\r\n"));

    // A folder in the way of the memo folder: the reason comes back and nothing is left behind.
    TempProgramFolder blocked;
    TempProgramFolder::writeBytes(blocked.memoFolder().chopped(1), "file");
    EXPECT_EQ(saveAsNewMemo(blocked.path(), 0, QStringLiteral("c"), &error, &replaced), std::nullopt);
    EXPECT_FALSE(error.isEmpty());
}

} // namespace

namespace {

using namespace memotest;

// The utility compacts the folder while the memo window shows memo 0000, never saved, with text typed:
// memo 0001 moves into text0000.txt, and Save must not write over it unasked.
TEST_F(MemoWindow, compactionByTheUtilityUnderAnUnsavedMemoIsAskedAbout)
{
    folder.writeMemo(1, "memo one\r\n");
    folder.writeMemo(3, "memo three\r\n");
    open();
    type(QStringLiteral("typed"));
    // As if the utility's own check had been passed (a copy running from another folder on the same data).
    const ScopedRuntimeFolder runtime;
    const QTemporaryDir otherFolder;
    utility::MainProgramLock otherFoldersLock(otherFolder.path());
    ASSERT_TRUE(utility::compactMemoNumbers(folder.memoFolder(), {0, 9}, 10, prompter, otherFoldersLock).completed);
    prompter.clear(); // the utility's own completion notice
    ASSERT_EQ(folder.readMemo(0), QByteArray("memo one\r\n"));
    ASSERT_EQ(folder.readMemo(1), QByteArray("memo three\r\n"));

    prompter.planAnswer(Answer::No);
    click("cmdSave");
    EXPECT_TRUE(prompter.boxes().front().text.contains(utf8("作成されました")));
    EXPECT_EQ(folder.readMemo(0), QByteArray("memo one\r\n"));
    EXPECT_EQ(folder.readMemo(1), QByteArray("memo three\r\n"));
    EXPECT_EQ(folder.readMemo(2), QByteArray("typed\r\n"));
    EXPECT_EQ(current(), 2);
}

} // namespace

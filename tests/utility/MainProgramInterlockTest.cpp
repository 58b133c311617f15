#include "EmptyMemoDeletion.h"
#include "LockHolder.h"
#include "MemoCompaction.h"
#include "MemoJoin.h"
#include "QtPrinters.h"
#include "SingleInstance.h"
#include "UtilityTestSupport.h"
#include "UtilityWindowFixture.h"

#include <QTreeWidget>
#include <functional>

namespace {

const QString mainProgramRuns = utf8("Scrivletが起動中です。終了してから実行してください。");
const QString conflictCopy = QStringLiteral("text0003.sync-conflict-20261207-101500-ABCDEF1.txt");
const QString otherUtilityWorks =
    utf8("別のScrivlet Utilityがこのフォルダのメモを処理中です。処理が終わってから実行してください。");

// The utility beside a main program that runs in another process on the same folder.
class MainProgramInterlock : public UtilityWindow
{
protected:
    // Memos 1 and 3 hold text, 5 is empty, no others: every operation has something to do in 0000-0009.
    void writeMemos() const
    {
        for (int number = 0; number <= 9; ++number)
            QFile::remove(folder.memoPath(number));
        folder.writeMemo(1, "one\r\n");
        folder.writeMemo(3, "three\r\n");
        folder.writeMemo(5, "");
    }
    std::map<int, QByteArray> memos() const
    {
        std::map<int, QByteArray> out;
        for (int number = 0; number <= 9; ++number) {
            if (folder.memoExists(number))
                out[number] = folder.readMemo(number);
        }
        return out;
    }
};

struct Operation
{
    const char* name;
    std::function<void()> run;
    std::map<int, QByteArray> after; // the folder once the operation has run
};

TEST_F(MainProgramInterlock, eachOperationIsRefusedWhileTheMainProgramRunsAndRunsOnceItHasCrashed)
{
    const std::map<int, QByteArray> before = {{1, "one\r\n"}, {3, "three\r\n"}, {5, ""}};
    const Operation operations[] = {
        {"compaction",
         [this] {
             tabs()->setCurrentIndex(0);
             setRange("0000", "0009");
             click("cmdStartTumeru");
         },
         {{0, "one\r\n"}, {1, "three\r\n"}, {2, ""}}},
        {"empty-memo deletion",
         [this] {
             tabs()->setCurrentIndex(2);
             setRange("0000", "0009");
             click("cmdDeleteKaraFile");
         },
         {{1, "one\r\n"}, {3, "three\r\n"}}},
        {"join",
         [this] {
             tabs()->setCurrentIndex(1);
             check("chkHR")->setChecked(false);
             setRange("0003", "0001");
             click("cmdStartHR");
             if (window->isJoinPreviewShown())
                 click("cmdExecuteAdd");
         },
         {{1, "one\r\nthree\r\n"}, {3, "three\r\n"}, {5, ""}}},
        {"conflict-copy intake",
         [this] {
             TempProgramFolder::writeBytes(folder.memoFolder() + conflictCopy, "copy\r\n");
             tabs()->setCurrentIndex(0);
             tabs()->setCurrentIndex(3);
             find<QTreeWidget>("lstKyougou")->selectAll();
             click("cmdTorikomu");
         },
         {{0, "copy\r\n"}, {1, "one\r\n"}, {3, "three\r\n"}, {5, ""}}},
    };
    for (const Operation& op : operations) {
        SCOPED_TRACE(op.name);
        writeMemos();
        prompter.clear();
        {
            const LockHolder otherUtility(folder.path(), LockHolder::Holder::Utility);
            op.run();
            EXPECT_EQ(prompter.texts(), QStringList{otherUtilityWorks});
            prompter.clear();
        }

        LockHolder mainProgram(folder.path());
        ASSERT_TRUE(mainProgram.isHolding()) << mainProgram.failure().toStdString();
        op.run();
        EXPECT_EQ(prompter.texts(), QStringList{mainProgramRuns});
        if (!prompter.boxes().empty())
            expectBox(prompter.last(), mainProgramRuns, Prompter::Icon::Exclamation);
        EXPECT_EQ(memos(), before);
        EXPECT_FALSE(window->isJoinPreviewShown());

        // A lock whose holder was killed is stale: the operation runs.
        mainProgram.crash();
        prompter.clear();
        op.run();
        EXPECT_FALSE(prompter.texts().contains(mainProgramRuns));
        EXPECT_EQ(memos(), op.after);
    }
}

TEST_F(MainProgramInterlock, aJoinPreviewIsNotWrittenOnceTheMainProgramHasStartedAndStaysForLater)
{
    writeMemos();
    tabs()->setCurrentIndex(1);
    check("chkHR")->setChecked(false);
    check("chkDeleteAddSouse")->setChecked(true);
    setRange("0003", "0001");
    click("cmdStartHR");
    ASSERT_TRUE(window->isJoinPreviewShown());

    {
        LockHolder mainProgram(folder.path());
        ASSERT_TRUE(mainProgram.isHolding()) << mainProgram.failure().toStdString();
        click("cmdExecuteAdd");
        EXPECT_EQ(prompter.texts(), QStringList{mainProgramRuns});
        EXPECT_TRUE(window->isJoinPreviewShown());
        EXPECT_EQ(folder.readMemo(1), QByteArray("one\r\n"));
    }

    // Ended the ordinary way, the main program holds nothing any more.
    prompter.clear();
    prompter.planAnswer(Prompter::Answer::Yes);
    click("cmdExecuteAdd");
    EXPECT_FALSE(window->isJoinPreviewShown());
    EXPECT_EQ(folder.readMemo(1), QByteArray("one\r\nthree\r\n"));
    EXPECT_FALSE(folder.memoExists(3));
}

TEST_F(MainProgramInterlock, whereTheLockCannotBeLookedAtTheUserDecides)
{
    writeMemos();
    ASSERT_TRUE(runtime.makeLocksImpossible());
    tabs()->setCurrentIndex(2);
    setRange("0000", "0009");
    click("cmdDeleteKaraFile"); // the question's default answer is No
    ASSERT_EQ(prompter.boxes().size(), 1u);
    const ScriptedPrompter::Box question = prompter.last();
    EXPECT_EQ(question.text, utf8("Scrivletが起動中かどうかを確かめられませんでした。\n\n") +
                                 SingleInstance::lockFilePath(folder.path()) +
                                 utf8("\n\n理由：ロックファイルを作成できません\n\n"
                                      "Scrivletが終了していることを確かめたうえで、実行しますか？"));
    EXPECT_EQ(question.icon, Prompter::Icon::Exclamation);
    EXPECT_EQ(question.buttons, Prompter::Buttons::YesNo);
    EXPECT_EQ(question.defaultButton, Prompter::Answer::No);
    EXPECT_TRUE(folder.memoExists(5));

    prompter.clear();
    prompter.planAnswer(Prompter::Answer::Yes);
    click("cmdDeleteKaraFile");
    EXPECT_FALSE(folder.memoExists(5));
    expectCompletion(prompter.last());
}

// Looked at from another process just before each operation's last file step, the folder is held;
// afterwards it is free.
TEST_F(MainProgramInterlock, eachOperationHoldsTheFolderUpToItsLastFileStep)
{
    utility::MainProgramLock lock(folder.path());
    int looks = 0;
    const auto look = [&] {
        ++looks;
        EXPECT_FALSE(LockHolder(folder.path()).isHolding());
    };
    const QString files = folder.memoFolder();
    const std::function<void()> operations[] = {
        [&] {
            utility::compactMemoNumbers(files, {0, 9}, 100, prompter, lock, [&](auto&) { look(); });
        },
        [&] {
            prompter.planAnswer(Prompter::Answer::Yes);
            utility::deleteEmptyMemoFiles(files, {0, 9}, true, prompter, lock, [&](int) { look(); });
        },
        [&] {
            auto preview = utility::startJoin(files, QStringLiteral("3"), QStringLiteral("1"), true, prompter, lock);
            ASSERT_TRUE(preview);
            prompter.planAnswer(Prompter::Answer::Yes);
            EXPECT_EQ(utility::executeJoin(files, *preview, preview->joined, true, prompter, lock, look),
                      utility::JoinOutcome::Done);
        }};
    for (const auto& run : operations) {
        writeMemos();
        looks = 0;
        run();
        EXPECT_GT(looks, 0);
        EXPECT_TRUE(LockHolder(folder.path()).isHolding());
    }
}

} // namespace

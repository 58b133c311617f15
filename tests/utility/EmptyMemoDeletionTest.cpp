#include "EmptyMemoDeletion.h"

#include "QtPrinters.h"
#include "TempProgramFolder.h"
#include "UtilityTestSupport.h"

#include <QDir>

namespace {

QString question(int number)
{
    return QStringLiteral("空のファイル「text%1.txt」を削除します。\nよろしいですか？")
        .arg(number, 4, 10, QLatin1Char('0'));
}

// By default no main program runs on the folder. The folder is given back whatever the end of the run.
bool run(
    const TempProgramFolder& folder, int first, int last, bool askFirst, Prompter& prompter,
    const utility::BeforeDelete& beforeDelete = {},
    const std::function<bool(Prompter&)>& mayChange = [](Prompter&) { return true; })
{
    ScriptedLock lock;
    lock.answer = mayChange;
    const bool completed = utility::deleteEmptyMemoFiles(folder.memoFolder(), {qint16(first), qint16(last)}, askFirst,
                                                         prompter, lock, beforeDelete);
    EXPECT_FALSE(lock.held);
    return completed;
}

} // namespace

TEST(EmptyMemoDeletion, deletesOnlyFilesWhoseMemoTextIsEmpty)
{
    TempProgramFolder folder;
    const std::pair<int, QByteArray> files[] = {{1, ""},   {2, "\r\n"}, {3, "\r"}, {4, "\r\n\r\n"}, {5, " "},
                                                {6, "\t"}, {7, "abc"},  {8, "\n"}, {9, "\x82\xA0"}};
    for (const auto& [number, bytes] : files)
        folder.writeMemo(number, bytes);
    const QString copy = folder.memoFolder() + QStringLiteral("text0001 (conflicted copy 2026-12-07 101500).txt");
    TempProgramFolder::writeBytes(copy, "");
    ScriptedPrompter prompter;
    EXPECT_TRUE(run(folder, 0, 9, false, prompter));
    EXPECT_TRUE(QFile::exists(copy));
    for (int gone : {1, 2, 3})
        EXPECT_FALSE(folder.memoExists(gone)) << gone;
    for (int kept : {4, 5, 6, 7, 8, 9})
        EXPECT_TRUE(folder.memoExists(kept)) << kept;
    ASSERT_EQ(prompter.boxes().size(), 1u);
    expectCompletion(prompter.last());
}

TEST(EmptyMemoDeletion, visitsBothEndsOfTheRangeAndNothingBeyond)
{
    TempProgramFolder folder;
    for (int number : {1, 2, 4, 5})
        folder.writeMemo(number, "");
    ScriptedPrompter prompter;
    EXPECT_TRUE(run(folder, 2, 4, false, prompter));
    EXPECT_TRUE(folder.memoExists(1));
    EXPECT_FALSE(folder.memoExists(2));
    EXPECT_FALSE(folder.memoExists(4));
    EXPECT_TRUE(folder.memoExists(5));
}

TEST(EmptyMemoDeletion, asksInOrderAndNoKeepsOnlyThatFile)
{
    TempProgramFolder folder;
    for (int number : {1, 4, 6})
        folder.writeMemo(number, "");
    ScriptedPrompter prompter;
    prompter.planAnswer(Prompter::Answer::Yes);
    prompter.planAnswer(Prompter::Answer::No);
    prompter.planAnswer(Prompter::Answer::Yes);
    EXPECT_TRUE(run(folder, 0, 9, true, prompter));
    ASSERT_EQ(prompter.boxes().size(), 4u);
    expectQuestion(prompter.boxes()[0], question(1));
    expectQuestion(prompter.boxes()[1], question(4));
    expectQuestion(prompter.boxes()[2], question(6));
    expectCompletion(prompter.boxes()[3]);
    EXPECT_FALSE(folder.memoExists(1));
    EXPECT_TRUE(folder.memoExists(4));
    EXPECT_FALSE(folder.memoExists(6));
}

TEST(EmptyMemoDeletion, theDefaultAnswerKeepsTheFile)
{
    TempProgramFolder folder;
    folder.writeMemo(2, "");
    ScriptedPrompter prompter; // answers every question with its default button, as Enter does
    EXPECT_TRUE(run(folder, 0, 9, true, prompter));
    EXPECT_TRUE(folder.memoExists(2));
}

TEST(EmptyMemoDeletion, missingNumbersAndFoldersAreSkippedAndNothingIsCreated)
{
    TempProgramFolder folder;
    QDir().mkpath(folder.memoPath(3)); // a folder standing at a memo's name is no memo file
    ScriptedPrompter prompter;
    EXPECT_TRUE(run(folder, 0, 9, true, prompter));
    EXPECT_EQ(QDir(folder.memoFolder()).entryList(QDir::Files).size(), 0);
    EXPECT_TRUE(QFileInfo(folder.memoPath(3)).isDir());
    ASSERT_EQ(prompter.boxes().size(), 1u);
    expectCompletion(prompter.last());
}

TEST(EmptyMemoDeletion, aFailingDeletionEndsTheRunWithTheFileAndTheReason)
{
    TempProgramFolder folder;
    for (int number : {1, 4, 6})
        folder.writeMemo(number, "");
    ScriptedPrompter prompter;
    // Something else puts a folder at the name between the check and the deletion.
    const bool completed = run(folder, 0, 9, false, prompter, [&](int number) {
        if (number == 4) {
            QFile::remove(folder.memoPath(4));
            QDir().mkpath(folder.memoPath(4) + QStringLiteral("/inner"));
        }
    });
    EXPECT_FALSE(completed);
    EXPECT_FALSE(folder.memoExists(1));
    EXPECT_TRUE(folder.memoExists(6));
    ASSERT_EQ(prompter.boxes().size(), 1u);
    const ScriptedPrompter::Box& box = prompter.last();
    EXPECT_TRUE(box.text.startsWith(utf8("「text0004.txt」を削除できませんでした。\n"))) << box.text.toStdString();
    EXPECT_TRUE(box.text.endsWith(utf8("\n処理を中断しました。"))) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(utf8("同じ名前のフォルダがあります"))) << box.text.toStdString();
    EXPECT_EQ(box.icon, Prompter::Icon::Exclamation);
    EXPECT_EQ(box.title, QStringLiteral("Scrivlet Utility"));
}

TEST(EmptyMemoDeletion, aFileWrittenWhileTheQuestionStoodOpenIsKept)
{
    TempProgramFolder folder;
    for (int number : {1, 4})
        folder.writeMemo(number, "");
    ScriptedPrompter prompter;
    prompter.planAnswer(Prompter::Answer::Yes);
    prompter.planAnswer(Prompter::Answer::Yes);
    int checks = 0;
    // Asked at the start and after each Yes: while the second question stood open, text0004.txt was written.
    const bool completed = run(folder, 0, 9, true, prompter, {}, [&](Prompter&) {
        if (++checks == 3)
            folder.writeMemo(4, "written meanwhile\r\n");
        return true;
    });
    EXPECT_TRUE(completed);
    EXPECT_EQ(checks, 3);
    EXPECT_FALSE(folder.memoExists(1));
    EXPECT_EQ(folder.readMemo(4), QByteArray("written meanwhile\r\n"));
    ASSERT_EQ(prompter.boxes().size(), 4u);
    expectBox(prompter.boxes()[2],
              utf8("「text0004.txt」は確認の間に書き込まれて空ではなくなったため、削除しませんでした。"),
              Prompter::Icon::Information);
    expectCompletion(prompter.boxes()[3]);
}

TEST(EmptyMemoDeletion, aRefusalBeforeTheStartOrAfterAQuestionEndsTheRunThere)
{
    struct Case
    {
        int refusedAtCheck; // 1: before the first file; 2, 3: after the first, the second Yes
        bool firstFileDeleted;
    };
    for (const Case c : {Case{1, false}, Case{2, false}, Case{3, true}}) {
        SCOPED_TRACE(c.refusedAtCheck);
        TempProgramFolder folder;
        for (int number : {1, 4})
            folder.writeMemo(number, "");
        ScriptedPrompter prompter;
        prompter.planAnswer(Prompter::Answer::Yes);
        prompter.planAnswer(Prompter::Answer::Yes);
        int checks = 0;
        const bool completed =
            run(folder, 0, 9, true, prompter, {}, [&](Prompter&) { return ++checks != c.refusedAtCheck; });
        EXPECT_FALSE(completed);
        EXPECT_EQ(folder.memoExists(1), !c.firstFileDeleted);
        EXPECT_TRUE(folder.memoExists(4));
        // The check shows its own refusal; the run adds no completion notice.
        for (const ScriptedPrompter::Box& box : prompter.boxes())
            EXPECT_NE(box.text, utf8("処理が完了しました。"));
    }
}

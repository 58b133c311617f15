#include "FreeNumberSearch.h"

#include "QtPrinters.h"
#include "ScriptedPrompter.h"
#include "TempProgramFolder.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

using Answer = Prompter::Answer;

QString offer(const char* digits)
{
    return QStringLiteral("空きファイル番号「%1」が見つかりました。\nジャンプしますか？").arg(QLatin1String(digits));
}

TEST(FreeNumberSearch, eachNoOffersTheNextGapAndYesChoosesIt)
{
    TempProgramFolder folder;
    for (int n : {0, 1, 2, 3, 4, 6})
        folder.writeMemo(n, "x\r\n");
    ScriptedPrompter p;
    p.planAnswer(Answer::No);
    p.planAnswer(Answer::No);
    p.planAnswer(Answer::Yes);

    EXPECT_EQ(chooseFreeNumber(folder.path(), p), std::optional<int>(8));
    EXPECT_EQ(p.texts(), QStringList({offer("0005"), offer("0007"), offer("0008")}));
    const ScriptedPrompter::Box& box = p.last();
    EXPECT_EQ(box.title, QStringLiteral("空きファイルが見つかりました"));
    EXPECT_EQ(box.icon, Prompter::Icon::Question);
    EXPECT_EQ(box.buttons, Prompter::Buttons::YesNoCancel);
}

TEST(FreeNumberSearch, cancelStopsAtOnce)
{
    TempProgramFolder folder;
    ScriptedPrompter p;
    p.planAnswer(Answer::Cancel);
    EXPECT_EQ(chooseFreeNumber(folder.path(), p), std::nullopt);
    EXPECT_EQ(p.texts(), QStringList({offer("0000")}));
}

TEST(FreeNumberSearch, emptyFileIsTakenButFolderAtTheNameIsFree)
{
    TempProgramFolder folder;
    folder.writeMemo(0, "");
    QDir().mkpath(folder.memoPath(1));
    ScriptedPrompter p;
    p.planAnswer(Answer::Yes);
    EXPECT_EQ(chooseFreeNumber(folder.path(), p), std::optional<int>(1));
}

TEST(FreeNumberSearch, afterTheLastGapTheSearchRunsOutAndSaysSo)
{
    TempProgramFolder folder;
    folder.writeMemo(9999, "");
    ScriptedPrompter p;
    for (int i = 0; i < 9999; ++i)
        p.planAnswer(Answer::No);
    EXPECT_EQ(chooseFreeNumber(folder.path(), p), std::nullopt);
    ASSERT_EQ(p.boxes().size(), 10000u);
    EXPECT_EQ(p.boxes()[9998].text, offer("9998"));
    EXPECT_EQ(p.last().text, QStringLiteral("もう空きファイルがないか、全て検索されました。"));
    EXPECT_EQ(p.last().title, QStringLiteral("完了"));
    EXPECT_EQ(p.last().icon, Prompter::Icon::Information);
    EXPECT_EQ(p.last().buttons, Prompter::Buttons::Ok);
}

} // namespace

#include "FakeNotificationArea.h"
#include "LockHolder.h"
#include "MemoCompaction.h"
#include "QtPrinters.h"
#include "ScopedRuntimeFolder.h"
#include "ScriptedPrompter.h"
#include "TempProgramFolder.h"
#include "UtilityTestSupport.h"
#include "frmScrivlet.h"
#include "frmShowInTaskBar.h"
#include "frmUtility.h"
#include "mdlScrivlet.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The first thing a new user tries: memo 0000, not yet written, typed into in the memo window while
// the utility compacts 0000-0009 beside it. Moving memo 0001 onto 0000 would let the next save of
// the window write over it.
TEST(BesideTheMainProgram, compactionIsRefusedWhileTheMemoWindowRunsOnTheFolderAndRunsAfterExit)
{
    mdlScrivlet::resetForTesting();
    ScopedRuntimeFolder runtime;
    TempProgramFolder folder;
    ScriptedPrompter prompter;
    folder.writeMemo(1, "memo one\r\n");

    int processEnds = 0;
    FakeNotificationArea area;
    auto mainProgram =
        std::make_unique<frmShowInTaskBar>(frmShowInTaskBar::Desktop{&area, [&processEnds] { ++processEnds; }});
    ASSERT_TRUE(mainProgram->Form_Load());
    mainProgram->mnuVisual_Click();
    frmScrivlet* memo = mainProgram->memoWindow();
    ASSERT_NE(memo, nullptr);
    auto* memoText = memo->findChild<QPlainTextEdit*>(QStringLiteral("txtDataField"));
    ASSERT_NE(memoText, nullptr);
    QTest::keyClicks(memoText, QStringLiteral("typed, not saved yet"));

    frmUtility utilityWindow(folder.memoFolder());
    utilityWindow.show();
    auto* from = utilityWindow.findChild<QLineEdit*>(QStringLiteral("txtTargetFrom"));
    auto* to = utilityWindow.findChild<QLineEdit*>(QStringLiteral("txtTargetTo"));
    auto* start = utilityWindow.findChild<QPushButton*>(QStringLiteral("cmdStartTumeru"));
    ASSERT_TRUE(from && to && start);
    from->setText(QStringLiteral("0000"));
    to->setText(QStringLiteral("0009"));

    start->click();
    EXPECT_EQ(prompter.texts(), QStringList{utf8("Scrivletが起動中です。終了してから実行してください。")});
    EXPECT_FALSE(folder.memoExists(0));
    EXPECT_EQ(folder.readMemo(1), QByteArray("memo one\r\n"));
    EXPECT_EQ(memoText->toPlainText(), QStringLiteral("typed, not saved yet"));

    // Exit gives the folder back; now the utility may work on it.
    mainProgram->mnuExit_Click();
    EXPECT_EQ(processEnds, 1);
    prompter.clear();
    start->click();
    EXPECT_EQ(prompter.texts(), QStringList{utf8("処理が完了しました。")});
    EXPECT_EQ(folder.readMemo(0), QByteArray("memo one\r\n"));
    EXPECT_FALSE(folder.memoExists(1));

    mainProgram.reset();
    mdlScrivlet::resetForTesting();
}

// Scrivlet started while the utility, in another process, works on the folder says so and ends touching
// nothing; a second copy of Scrivlet still hears that it cannot run twice.
TEST(BesideTheMainProgram, scrivletStartedWhileTheFolderIsHeldSaysWhoHoldsItAndTouchesNothing)
{
    const std::pair<LockHolder::Holder, const char*> holders[] = {
        {LockHolder::Holder::Utility,
         "Scrivlet Utilityがこのフォルダのメモを処理中です。処理が終わってから、もう一度起動してください。"},
        {LockHolder::Holder::MainProgram, "このアプリケーションを複数起動することはできません。"}};
    for (const auto& [holder, text] : holders) {
        mdlScrivlet::resetForTesting();
        ScopedRuntimeFolder runtime;
        TempProgramFolder folder;
        ScriptedPrompter prompter;
        folder.writeMemo(1, "memo one\r\n");
        const LockHolder other(folder.path(), holder);
        ASSERT_TRUE(other.isHolding()) << other.failure().toStdString();
        FakeNotificationArea area;
        frmShowInTaskBar mainProgram(frmShowInTaskBar::Desktop{&area, [] {}});
        EXPECT_FALSE(mainProgram.Form_Load());
        EXPECT_EQ(prompter.texts(), QStringList{utf8(text)});
        EXPECT_FALSE(mainProgram.isIconShown());
        EXPECT_FALSE(QFileInfo::exists(folder.settingsPath()));
        EXPECT_EQ(QDir(folder.memoFolder()).entryList(QDir::Files), QStringList{QStringLiteral("text0001.txt")});
    }
    mdlScrivlet::resetForTesting();
}

} // namespace

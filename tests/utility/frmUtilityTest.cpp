#include "QtPrinters.h"
#include "UtilityTestSupport.h"
#include "UtilityWindowFixture.h"

#include <QGroupBox>

TEST_F(UtilityWindow, startsOnTheCompactTabWithItsInitialValues)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Zormet Scrivlet Utility"));
    EXPECT_EQ(label("lblStatus")->text(), QStringLiteral("Scrivlet Utility Version 0.01.0003"));
    EXPECT_EQ(tabs()->currentIndex(), 0);
    EXPECT_EQ(tabs()->count(), 4);
    EXPECT_EQ(tabs()->tabText(0), utf8("ファイルを詰める(&1)"));
    EXPECT_EQ(tabs()->tabText(1), utf8("ファイルを結合する(&2)"));
    EXPECT_EQ(tabs()->tabText(2), utf8("空ファイルを削除する(&3)"));
    EXPECT_EQ(tabs()->tabText(3), utf8("競合コピー(&4)"));
    auto* frame = find<QGroupBox>("fraTarget");
    EXPECT_EQ(frame->title(), utf8("対象(&T)"));
    EXPECT_TRUE(frame->isEnabled());
    EXPECT_EQ(field("txtTargetFrom")->text(), QStringLiteral("0000"));
    EXPECT_EQ(field("txtTargetTo")->text(), QStringLiteral("0001"));
    EXPECT_EQ(label("lblFrom")->text(), utf8("から"));
    EXPECT_EQ(label("lblTo")->text(), utf8("まで"));
    EXPECT_EQ(field("txtStopAki")->text(), QStringLiteral("100"));
    EXPECT_EQ(label("Label2")->buddy(), field("txtStopAki"));
    EXPECT_TRUE(check("chkHR")->isChecked());
    EXPECT_FALSE(check("chkDeleteAddSouse")->isChecked());
    EXPECT_FALSE(check("chkKillKakunin")->isChecked());
    EXPECT_TRUE(find<QWidget>("picAdd")->isHidden());
    EXPECT_FALSE(window->isJoinPreviewShown());
    EXPECT_EQ(label("lblAddAfter")->text(), utf8("結合後のtext0000.txtの内容(&T)"));
    EXPECT_EQ(label("lblAddAfter")->buddy(), find<QPlainTextEdit>("txtAddAfter"));
    EXPECT_TRUE(button("cmdStartTumeru")->isDefault());
    for (const char* name : {"cmdStartTumeru", "cmdStartHR", "cmdDeleteKaraFile"})
        EXPECT_TRUE(button(name)->font().bold()) << name;
}

TEST_F(UtilityWindow, eachTabSetsTheFrameLabelsAndItsStartButtonAsDefault)
{
    struct Step
    {
        int tab;
        const char* from;
        const char* to;
        const char* start;
    };
    const Step steps[] = {{1, "を", "へ", "cmdStartHR"},
                          {2, "から", "まで", "cmdDeleteKaraFile"},
                          {0, "から", "まで", "cmdStartTumeru"},
                          {2, "から", "まで", "cmdDeleteKaraFile"},
                          {1, "を", "へ", "cmdStartHR"}};
    for (const Step& step : steps) {
        tabs()->setCurrentIndex(step.tab);
        EXPECT_EQ(label("lblFrom")->text(), utf8(step.from)) << step.tab;
        EXPECT_EQ(label("lblTo")->text(), utf8(step.to)) << step.tab;
        EXPECT_TRUE(button(step.start)->isDefault()) << step.tab;
        for (const char* other : {"cmdStartTumeru", "cmdStartHR", "cmdDeleteKaraFile"}) {
            EXPECT_EQ(button(other)->isDefault(), QByteArray(other) == step.start) << other;
        }
    }
}

TEST_F(UtilityWindow, accessKeysOfTheTabsSwitchTabs)
{
    QTest::keyClick(window.get(), Qt::Key_3, Qt::AltModifier);
    EXPECT_EQ(tabs()->currentIndex(), 2);
    QTest::keyClick(window.get(), Qt::Key_2, Qt::AltModifier);
    EXPECT_EQ(tabs()->currentIndex(), 1);
    EXPECT_EQ(label("lblFrom")->text(), utf8("を"));
}

TEST_F(UtilityWindow, enterPressesTheShownTabsStartButton)
{
    folder.writeMemo(1, "");
    tabs()->setCurrentIndex(2);
    field("txtTargetFrom")->setFocus();
    press(Qt::Key_Return);
    EXPECT_FALSE(folder.memoExists(1));
    ASSERT_EQ(prompter.boxes().size(), 1u);
    expectCompletion(prompter.last());
}

TEST_F(UtilityWindow, escapeLeavesTheWindowOpen)
{
    press(Qt::Key_Escape);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(prompter.boxes().empty());
}

TEST_F(UtilityWindow, refusedRangeWarnsAndKeepsWhatWasTyped)
{
    folder.writeMemo(5, "");
    for (int tab : {0, 2}) {
        tabs()->setCurrentIndex(tab);
        setRange("10", "9");
        prompter.clear();
        click(tab == 0 ? "cmdStartTumeru" : "cmdDeleteKaraFile");
        ASSERT_EQ(prompter.boxes().size(), 1u);
        expectBox(prompter.last(), utf8("対象の指定が不正です。"), Prompter::Icon::Exclamation);
        EXPECT_EQ(field("txtTargetFrom")->text(), QStringLiteral("10"));
        EXPECT_EQ(field("txtTargetTo")->text(), QStringLiteral("9"));
    }
    EXPECT_TRUE(folder.memoExists(5));
}

TEST_F(UtilityWindow, deletionButtonReadsTheConfirmBoxAndTheRange)
{
    folder.writeMemo(3, "");
    folder.writeMemo(4, "\r\n");
    folder.writeMemo(5, "");
    tabs()->setCurrentIndex(2);
    setRange("5", "10");
    check("chkKillKakunin")->setChecked(true);
    prompter.planAnswer(Prompter::Answer::Yes);
    click("cmdDeleteKaraFile");
    ASSERT_EQ(prompter.boxes().size(), 2u);
    EXPECT_EQ(prompter.boxes()[0].buttons, Prompter::Buttons::YesNo);
    EXPECT_FALSE(folder.memoExists(5));
    EXPECT_TRUE(folder.memoExists(3));
    EXPECT_TRUE(folder.memoExists(4));
}

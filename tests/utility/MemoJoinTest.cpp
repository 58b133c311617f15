#include "MemoJoin.h"

#include "PrivateMount.h"
#include "QtPrinters.h"
#include "SafeWrite.h"
#include "UtilityTestSupport.h"
#include "UtilityWindowFixture.h"

#include <QApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QTabBar>

namespace {

const QByteArray hyphens = "---------------------------";
const QString deleteSourceQuestion = utf8("結合元ファイルを削除します。\nよろしいですか？");

class Join : public UtilityWindow
{
protected:
    void SetUp() override
    {
        UtilityWindow::SetUp();
        tabs()->setCurrentIndex(1);
    }

    // Source first, destination second, as the range frame reads on this tab.
    void start(const char* source, const char* destination)
    {
        setRange(source, destination);
        click("cmdStartHR");
    }
    QPlainTextEdit* preview() const { return find<QPlainTextEdit>("txtAddAfter"); }
    bool frameEnabled() const { return find<QGroupBox>("fraTarget")->isEnabled(); }

    void expectPreviewShown() const
    {
        EXPECT_TRUE(window->isJoinPreviewShown());
        EXPECT_TRUE(find<QWidget>("picAdd")->isVisible());
        EXPECT_FALSE(button("cmdStartHR")->isVisible());
        EXPECT_FALSE(frameEnabled());
        EXPECT_TRUE(button("cmdExecuteAdd")->isDefault());
        EXPECT_EQ(tabs()->currentIndex(), 1);
    }
    void expectIdle() const
    {
        EXPECT_FALSE(window->isJoinPreviewShown());
        EXPECT_FALSE(find<QWidget>("picAdd")->isVisible());
        EXPECT_TRUE(button("cmdStartHR")->isVisible());
        EXPECT_TRUE(frameEnabled());
        EXPECT_TRUE(button("cmdStartHR")->isDefault());
    }
};

} // namespace

TEST(JoinText, destinationThenLineBreakThenSeparatorThenSource)
{
    EXPECT_EQ(utility::joinedText(QStringLiteral("a"), QStringLiteral("b"), true),
              QStringLiteral("a\r\n\r\n---------------------------\r\n\r\nb"));
    EXPECT_EQ(utility::joinedText(QStringLiteral("a"), QStringLiteral("b"), false), QStringLiteral("a\r\nb"));
    EXPECT_EQ(utility::joinedText(QString(), QStringLiteral("b"), false), QStringLiteral("\r\nb"));
}

TEST(JoinText, unchangedBoxWritesTheJoinedTextItselfAndAnEditedOneItsLines)
{
    const QString joined = QStringLiteral("a\nb\r\nc");
    EXPECT_EQ(utility::textToWrite(joined, QStringLiteral("a\nb\nc")), joined);
    EXPECT_EQ(utility::textToWrite(joined, QStringLiteral("a\nb\nd")), QStringLiteral("a\r\nb\r\nd"));
}

TEST_F(Join, writesDestinationSeparatorAndSourceAndKeepsTheSource)
{
    folder.writeMemo(0, "b\r\n");
    folder.writeMemo(1, "a\r\n");
    start("0000", "0001");
    expectPreviewShown();
    EXPECT_EQ(preview()->toPlainText(), QStringLiteral("a\n\n---------------------------\n\nb"));
    EXPECT_TRUE(prompter.boxes().empty());
    click("cmdExecuteAdd");
    EXPECT_EQ(folder.readMemo(1), "a\r\n\r\n" + hyphens + "\r\n\r\nb\r\n");
    EXPECT_EQ(folder.readMemo(0), QByteArray("b\r\n"));
    EXPECT_TRUE(prompter.boxes().empty());
    expectIdle();
}

TEST_F(Join, withoutSeparatorTheSourceFollowsDirectly)
{
    folder.writeMemo(0, "b\r\n");
    folder.writeMemo(1, "a\r\n");
    check("chkHR")->setChecked(false);
    start("0000", "0001");
    click("cmdExecuteAdd");
    EXPECT_EQ(folder.readMemo(1), QByteArray("a\r\nb\r\n"));
}

TEST_F(Join, emptyDestinationStartsWithAnEmptyLine)
{
    folder.writeMemo(0, "b\r\n");
    folder.writeMemo(1, "");
    check("chkHR")->setChecked(false);
    start("0", "1");
    click("cmdExecuteAdd");
    EXPECT_EQ(folder.readMemo(1), QByteArray("\r\nb\r\n"));
}

TEST_F(Join, aSourceAboveTheDestinationIsAllowed)
{
    folder.writeMemo(7, "seven\r\n");
    folder.writeMemo(2, "two\r\n");
    folder.writeMemo(5, "five\r\n");
    check("chkHR")->setChecked(false);
    start("7", "2");
    click("cmdExecuteAdd");
    EXPECT_EQ(folder.readMemo(2), QByteArray("two\r\nseven\r\n"));
    start("5", "0007");
    click("cmdExecuteAdd");
    EXPECT_EQ(folder.readMemo(7), QByteArray("seven\r\nfive\r\n"));
}

TEST_F(Join, bytesTheBoxCannotShowSurviveAnUneditedJoin)
{
    folder.writeMemo(0, "x\ny\r\n\x82\xa0");
    folder.writeMemo(1, "a\rb\r\n");
    check("chkHR")->setChecked(false);
    start("0", "1");
    click("cmdExecuteAdd");
    EXPECT_EQ(folder.readMemo(1), QByteArray("a\r\nb\r\nx\ny\r\n\x82\xa0\r\n"));
}

TEST_F(Join, whatTheBoxHoldsNowIsWritten)
{
    folder.writeMemo(0, "b\r\n");
    folder.writeMemo(1, "a\r\n");
    start("0", "1");
    preview()->setPlainText(utf8("edited\nあ"));
    click("cmdExecuteAdd");
    EXPECT_EQ(folder.readMemo(1), QByteArray("edited\r\n\x82\xa0\r\n"));
}

TEST_F(Join, deletingTheSourceAsksAndOnlyYesDeletes)
{
    struct Case
    {
        std::optional<Prompter::Answer> answer; // none: the question's default, as Enter gives
        bool sourceKept;
    };
    for (const Case& c : {Case{Prompter::Answer::Yes, false}, Case{Prompter::Answer::No, true}, Case{{}, true}}) {
        folder.writeMemo(0, "b\r\n");
        folder.writeMemo(1, "a\r\n");
        check("chkDeleteAddSouse")->setChecked(true);
        prompter.clear();
        if (c.answer)
            prompter.planAnswer(*c.answer);
        start("0", "1");
        click("cmdExecuteAdd");
        ASSERT_EQ(prompter.boxes().size(), 1u);
        expectQuestion(prompter.last(), deleteSourceQuestion);
        EXPECT_EQ(folder.memoExists(0), c.sourceKept);
        EXPECT_EQ(folder.readMemo(1), "a\r\n\r\n" + hyphens + "\r\n\r\nb\r\n");
        expectIdle();
    }
}

TEST_F(Join, cancelTouchesNothingAndASecondStartRebuildsThePreview)
{
    folder.writeMemo(0, "b\r\n");
    folder.writeMemo(1, "a\r\n");
    start("0", "1");
    click("cmdCancelAdd");
    expectIdle();
    EXPECT_EQ(folder.readMemo(0), QByteArray("b\r\n"));
    EXPECT_EQ(folder.readMemo(1), QByteArray("a\r\n"));
    folder.writeMemo(0, "c\r\n");
    check("chkHR")->setChecked(false);
    click("cmdStartHR");
    EXPECT_EQ(preview()->toPlainText(), QStringLiteral("a\nc"));
}

TEST_F(Join, escapeCancelsAndEnterExecutes)
{
    folder.writeMemo(0, "b\r\n");
    folder.writeMemo(1, "a\r\n");
    check("chkHR")->setChecked(false);
    start("0", "1");
    press(Qt::Key_Escape);
    expectIdle();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(folder.readMemo(1), QByteArray("a\r\n"));
    press(Qt::Key_Return); // the start button again
    expectPreviewShown();
    press(Qt::Key_Return);
    expectIdle();
    EXPECT_EQ(folder.readMemo(1), QByteArray("a\r\nb\r\n"));
}

TEST_F(Join, changingTheTabDuringThePreviewIsUndone)
{
    folder.writeMemo(0, "b\r\n");
    folder.writeMemo(1, "a\r\n");
    start("0", "1");
    tabs()->setCurrentIndex(0);
    expectPreviewShown();
    QTabBar* bar = tabs()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
    QTest::keyClick(window.get(), Qt::Key_1, Qt::AltModifier);
    expectPreviewShown();
    EXPECT_EQ(label("lblFrom")->text(), utf8("を"));
    EXPECT_EQ(label("lblTo")->text(), utf8("へ"));
    click("cmdCancelAdd");
    tabs()->setCurrentIndex(0);
    EXPECT_EQ(tabs()->currentIndex(), 0);
    EXPECT_EQ(label("lblFrom")->text(), utf8("から"));
}

TEST_F(Join, missingOrUnnamedMemosAreNotFoundSourceFirst)
{
    folder.writeMemo(3, "three\r\n");
    QDir().mkpath(folder.memoPath(4));
    const struct
    {
        const char* source;
        const char* destination;
        const char* message;
    } cases[] = {{"0", "1", "結合元が見つかりません。"},    {"3", "1", "結合先が見つかりません。"},
                 {"4", "3", "結合元が見つかりません。"},    {"3", "4", "結合先が見つかりません。"},
                 {"abc", "3", "結合元が見つかりません。"},  {"3.5", "3", "結合元が見つかりません。"},
                 {"3", "*", "結合先が見つかりません。"},    {"-3", "3", "結合元が見つかりません。"},
                 {"3", "10003", "結合先が見つかりません。"}};
    for (const auto& c : cases) {
        prompter.clear();
        start(c.source, c.destination);
        ASSERT_EQ(prompter.boxes().size(), 1u) << c.source << " " << c.destination;
        expectBox(prompter.last(), utf8(c.message), Prompter::Icon::Exclamation);
        expectIdle();
    }
}

TEST_F(Join, joiningAMemoWithItselfIsRefusedBeforeAnyPreview)
{
    folder.writeMemo(3, "three\r\n");
    check("chkDeleteAddSouse")->setChecked(true);
    start("3", "0003");
    ASSERT_EQ(prompter.boxes().size(), 1u);
    expectBox(prompter.last(), utf8("結合元と結合先が同じファイルです。\n別々の番号を指定してください。"),
              Prompter::Icon::Exclamation);
    expectIdle();
    EXPECT_EQ(folder.readMemo(3), QByteArray("three\r\n"));
}

TEST_F(Join, aFailedWriteIsReportedAndThePreviewStays)
{
    folder.writeMemo(0, "b\r\n");
    folder.writeMemo(1, "a\r\n");
    check("chkDeleteAddSouse")->setChecked(true);
    start("0", "1");
    {
        const ScopedWriteFault fault([](const QString&) { return true; });
        click("cmdExecuteAdd");
    }
    ASSERT_EQ(prompter.boxes().size(), 1u);
    EXPECT_TRUE(prompter.last().text.startsWith(utf8("「text0001.txt」に書き込めませんでした。\n")));
    EXPECT_TRUE(prompter.last().text.contains(utf8("ディスクの空き容量が足りません")));
    EXPECT_EQ(prompter.last().icon, Prompter::Icon::Exclamation);
    expectPreviewShown();
    EXPECT_EQ(folder.readMemo(1), QByteArray("a\r\n"));
    EXPECT_TRUE(folder.memoExists(0));
}

TEST_F(Join, aFailedDeletionOfTheSourceIsReportedAndThePreviewStays)
{
    folder.writeMemo(0, "b\r\n");
    folder.writeMemo(1, "a\r\n");
    check("chkDeleteAddSouse")->setChecked(true);
    check("chkHR")->setChecked(false);
    start("0", "1");
    // Unchanged, the source cannot be deleted while a mount stands on it.
    const PrivateMount mount(folder.memoPath(0));
    if (!mount.ok())
        GTEST_SKIP() << mount.whyNot().toStdString();
    prompter.planAnswer(Prompter::Answer::Yes);
    click("cmdExecuteAdd");
    ASSERT_EQ(prompter.boxes().size(), 2u);
    EXPECT_TRUE(prompter.last().text.startsWith(utf8("「text0000.txt」を削除できませんでした。\n")));
    expectPreviewShown();
    EXPECT_EQ(folder.readMemo(1), QByteArray("a\r\nb\r\n"));
}

TEST_F(Join, textShiftJisCannotHoldIsWrittenOnlyWhenTheUserAgrees)
{
    folder.writeMemo(0, "b\r\n");
    folder.writeMemo(1, "a\r\n");
    check("chkHR")->setChecked(false);
    start("0", "1");
    preview()->setPlainText(QStringLiteral("a\nb\u00e9\U0001F600"));
    click("cmdExecuteAdd"); // the default answer is No
    ASSERT_EQ(prompter.boxes().size(), 1u);
    EXPECT_EQ(prompter.last().buttons, Prompter::Buttons::YesNo);
    EXPECT_EQ(prompter.last().defaultButton, Prompter::Answer::No);
    expectPreviewShown();
    EXPECT_EQ(folder.readMemo(1), QByteArray("a\r\n"));
    prompter.planAnswer(Prompter::Answer::Yes);
    click("cmdExecuteAdd");
    expectIdle();
    EXPECT_TRUE(folder.readMemo(1).startsWith("a\r\nb"));
}

TEST_F(Join, closingTheWindowDuringThePreviewWritesNothing)
{
    folder.writeMemo(0, "b\r\n");
    folder.writeMemo(1, "a\r\n");
    start("0", "1");
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(folder.readMemo(0), QByteArray("b\r\n"));
    EXPECT_EQ(folder.readMemo(1), QByteArray("a\r\n"));
    EXPECT_TRUE(prompter.boxes().empty());
}

namespace {

// Run executes by default; Enter on the focused cancel button cancels instead.
TEST_F(Join, enterOnTheFocusedCancelButtonCancels)
{
    folder.writeMemo(0, "b\r\n");
    folder.writeMemo(1, "a\r\n");
    start("0", "1");
    expectPreviewShown();
    button("cmdCancelAdd")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    expectIdle();
    EXPECT_EQ(folder.readMemo(1), QByteArray("a\r\n"));
    EXPECT_TRUE(prompter.boxes().empty());
}

// The utility's boxes break lines as the main program's do, and report a failure in the same layout.
TEST_F(Join, boxesBreakLinesWithLineFeedsAndFailuresNameTheFileAndTheReason)
{
    folder.writeMemo(0, "b\r\n");
    folder.writeMemo(1, "a\r\n");
    start("1", "0001");
    check("chkDeleteAddSouse")->setChecked(true);
    start("0", "1");
    {
        const ScopedWriteFault diskFull([](const QString&) { return true; });
        click("cmdExecuteAdd");
    }
    prompter.planAnswer(Prompter::Answer::No);
    click("cmdExecuteAdd");
    ASSERT_EQ(prompter.boxes().size(), 3u);
    for (const ScriptedPrompter::Box& box : prompter.boxes()) {
        EXPECT_FALSE(box.text.contains(QLatin1Char('\r'))) << box.text.toStdString();
        EXPECT_TRUE(box.text.contains(QLatin1Char('\n'))) << box.text.toStdString();
    }
    EXPECT_TRUE(prompter.boxes()[1].text.startsWith(utf8("「text0001.txt」に書き込めませんでした。\n\n") +
                                                    folder.memoPath(1) + utf8("\n\n理由：")))
        << prompter.boxes()[1].text.toStdString();
    EXPECT_EQ(prompter.boxes()[2].text, utf8("結合元ファイルを削除します。\nよろしいですか？"));
}

} // namespace

TEST_F(Join, aMemoRewrittenAfterThePreviewIsNotWrittenOverAndThePreviewIsRebuilt)
{
    check("chkHR")->setChecked(false);
    for (const int rewritten : {0, 1}) {
        folder.writeMemo(0, "b\r\n");
        folder.writeMemo(1, "a\r\n");
        prompter.clear();
        start("0", "1");
        folder.writeMemo(rewritten, rewritten ? "edited\r\n" : "b, edited\r\n");
        click("cmdExecuteAdd");
        expectBox(prompter.last(),
                  utf8("「text000%1.txt」は結合後の内容を作った後に変更されました。\n"
                       "結合後の内容を作り直しますので、確かめてから実行してください。")
                      .arg(rewritten),
                  Prompter::Icon::Exclamation);
        expectPreviewShown();
        EXPECT_EQ(folder.readMemo(1), QByteArray(rewritten ? "edited\r\n" : "a\r\n"));
        click("cmdExecuteAdd");
        EXPECT_EQ(folder.readMemo(1), QByteArray(rewritten ? "edited\r\nb\r\n" : "a\r\nb, edited\r\n"));
        expectIdle();
    }
}

// With the lock refused there (the real one, held since the write, cannot be) or the source rewritten.
TEST(JoinExecution, noSourceDeletionAfterTheWriteSaysTheJoinIsWrittenAndTheSourceKept)
{
    for (const int refusedHold : {0, 3}) {
        TempProgramFolder folder;
        folder.writeMemo(0, "b\r\n");
        folder.writeMemo(1, "a\r\n");
        ScriptedPrompter prompter;
        ScriptedLock lock;
        int holds = 0; // the preview's, the write's, then the deletion's
        lock.answer = [&](Prompter&) { return ++holds != refusedHold; };
        auto preview =
            utility::startJoin(folder.memoFolder(), QStringLiteral("0"), QStringLiteral("1"), false, prompter, lock);
        ASSERT_TRUE(preview);
        prompter.planAnswer(Prompter::Answer::Yes);
        EXPECT_EQ(utility::executeJoin(folder.memoFolder(), *preview, QStringLiteral("a\nb"), true, prompter, lock,
                                       [&] { folder.writeMemo(0, "rewritten\r\n"); }),
                  refusedHold ? utility::JoinOutcome::PreviewStays : utility::JoinOutcome::Rebuild);
        EXPECT_TRUE(folder.memoExists(0));
        EXPECT_EQ(folder.readMemo(1), QByteArray("a\r\nb\r\n"));
        EXPECT_TRUE(prompter.last().text.contains(utf8(
            "結合した内容は「text0001.txt」に書き込み済みです。結合元の「text0000.txt」は削除せずに残してあります。")));
    }
}

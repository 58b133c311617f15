#include "frmIndex.h"

#include "Cp932.h"
#include "MemoDisturbance.h"
#include "OwnDeletions.h"
#include "QtPrinters.h"
#include "ScriptedPrompter.h"
#include "TempProgramFolder.h"
#include "UrlCatcher.h"
#include "mdlScrivlet.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

namespace {

class FileList : public ::testing::Test
{
protected:
    FileList()
    {
        mdlScrivlet::resetForTesting();
        mdlScrivlet::setProgramFolder(folder.path());
        mdlScrivlet::setCurrentFileNumber(7);
    }
    ~FileList() override { mdlScrivlet::resetForTesting(); }

    // The memo window shows the list modally; show() is the same window without a nested loop.
    void open()
    {
        dialog = std::make_unique<frmIndex>();
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }

    QListWidget* list() const { return dialog->findChild<QListWidget*>(QStringLiteral("filList")); }
    QPushButton* button(const char* name) const { return dialog->findChild<QPushButton*>(QLatin1String(name)); }
    void press(const char* name) const
    {
        QPushButton* b = button(name);
        ASSERT_NE(b, nullptr) << name;
        QTest::mouseClick(b, Qt::LeftButton);
    }

    QStringList names() const
    {
        QStringList out;
        for (int i = 0; i < list()->count(); ++i)
            out << list()->item(i)->text();
        return out;
    }

    void select(const QString& name) const
    {
        const QList<QListWidgetItem*> found = list()->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, list()->visualItemRect(found.first()).center());
        ASSERT_EQ(list()->selectedItems().size(), 1);
    }

    bool closed() const { return !dialog->isVisible(); }
    QTimer* relistTimer() const { return dialog->findChild<QTimer*>(QStringLiteral("relistTimer")); }

    TempProgramFolder folder;
    ScriptedPrompter prompts;
    std::unique_ptr<frmIndex> dialog;
};

TEST_F(FileList, opensWithTheMemoFolderAndItsMemoFilesInOrder)
{
    folder.writeMemo(12, "b");
    folder.writeMemo(3, "a");
    TempProgramFolder::writeBytes(folder.memoFolder() + QStringLiteral("textABCD.txt"), "x");
    TempProgramFolder::writeBytes(folder.memoFolder() + QStringLiteral("text1.txt"), "x");
    QDir().mkpath(folder.memoPath(1));
    open();

    auto* box = dialog->findChild<QLineEdit*>(QStringLiteral("txtFilesFolder"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), folder.memoFolder());
    EXPECT_EQ(box->cursorPosition(), box->text().size());
    EXPECT_EQ(names(), QStringList({QStringLiteral("text0003.txt"), QStringLiteral("text0012.txt"),
                                    QStringLiteral("textABCD.txt")}));
    EXPECT_TRUE(list()->selectedItems().isEmpty());
}

TEST_F(FileList, missingMemoFolderGivesAnEmptyList)
{
    open();
    EXPECT_EQ(list()->count(), 0);
    EXPECT_TRUE(prompts.boxes().empty());
}

TEST_F(FileList, withNothingSelectedPreviewAndDeleteDoNothingAndJumpClosesUnchanged)
{
    folder.writeMemo(1, "a");
    open();
    press("cmdPrev");
    press("cmdKill");
    EXPECT_TRUE(prompts.boxes().empty());
    EXPECT_TRUE(folder.memoExists(1));
    EXPECT_FALSE(closed());

    press("cmdJump");
    EXPECT_TRUE(closed());
    EXPECT_EQ(mdlScrivlet::currentFileNumber(), 7);
}

TEST_F(FileList, enterOnASelectedNameJumpsToItsNumberAndCloses)
{
    folder.writeMemo(41, "a");
    folder.writeMemo(42, "b");
    open();
    select(QStringLiteral("text0042.txt"));
    list()->setFocus();
    QTest::keyClick(list(), Qt::Key_Return);

    EXPECT_TRUE(closed());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(mdlScrivlet::currentFileNumber(), 42);
}

TEST_F(FileList, aNameWithoutFourDigitsIsNotJumpedTo)
{
    QDir().mkpath(folder.memoFolder());
    TempProgramFolder::writeBytes(folder.memoFolder() + QStringLiteral("textABCD.txt"), "x");
    open();
    select(QStringLiteral("textABCD.txt"));
    press("cmdJump");

    EXPECT_EQ(mdlScrivlet::currentFileNumber(), 7);
    EXPECT_FALSE(closed());
    ASSERT_EQ(prompts.boxes().size(), 1u);
    EXPECT_TRUE(prompts.last().text.contains(QStringLiteral("textABCD.txt")));
    EXPECT_EQ(prompts.last().icon, Prompter::Icon::Exclamation);
}

TEST_F(FileList, closeButtonEscapeAndCloseBoxLeaveTheNumberAlone)
{
    folder.writeMemo(42, "b");
    for (int way = 0; way < 3; ++way) {
        open();
        select(QStringLiteral("text0042.txt"));
        if (way == 0)
            press("cmdClose");
        else if (way == 1)
            QTest::keyClick(list(), Qt::Key_Escape);
        else
            dialog->close();
        EXPECT_TRUE(closed()) << way;
        EXPECT_EQ(dialog->result(), QDialog::Rejected) << way;
        EXPECT_EQ(mdlScrivlet::currentFileNumber(), 7) << way;
    }
}

TEST_F(FileList, previewShowsTheFirstFiveLinesOrAnEmptyBox)
{
    folder.writeMemo(1, cp932::encode(u"一\r\n二\r\n三\r\n四\r\n五\r\n六\r\n七\r\n"));
    folder.writeMemo(2, "");
    open();
    select(QStringLiteral("text0001.txt"));
    press("cmdPrev");
    ASSERT_EQ(prompts.boxes().size(), 1u);
    EXPECT_EQ(prompts.last().text, QStringLiteral("一\n二\n三\n四\n五"));
    EXPECT_EQ(prompts.last().title, QStringLiteral("Zormet Scrivlet 5行プレビュー"));
    EXPECT_EQ(prompts.last().icon, Prompter::Icon::None);
    EXPECT_EQ(prompts.last().buttons, Prompter::Buttons::Ok);

    select(QStringLiteral("text0002.txt"));
    press("cmdPrev");
    ASSERT_EQ(prompts.boxes().size(), 2u);
    EXPECT_EQ(prompts.last().text, QString());
    EXPECT_EQ(prompts.last().title, QStringLiteral("Zormet Scrivlet 5行プレビュー"));
    EXPECT_FALSE(closed());
}

TEST_F(FileList, deleteAsksFirstAndOnYesRemovesTheFileAndItsName)
{
    folder.writeMemo(1, "a");
    folder.writeMemo(2, "b");
    open();
    select(QStringLiteral("text0001.txt"));
    prompts.planAnswer(Prompter::Answer::No);
    press("cmdKill");
    ASSERT_EQ(prompts.boxes().size(), 1u);
    const ScriptedPrompter::Box& question = prompts.last();
    EXPECT_EQ(question.text, QStringLiteral("選択されたファイルを削除します。\nよろしいですか？\n\n"
                                            "※これを実行すると元に戻す事は出来ません。"));
    EXPECT_EQ(question.title, QStringLiteral("Scrivlet Kill File"));
    EXPECT_EQ(question.icon, Prompter::Icon::Question);
    EXPECT_EQ(question.buttons, Prompter::Buttons::YesNo);
    EXPECT_EQ(question.defaultButton, Prompter::Answer::No);
    EXPECT_TRUE(folder.memoExists(1));
    EXPECT_EQ(names().size(), 2);

    prompts.planAnswer(Prompter::Answer::Yes);
    press("cmdKill");
    EXPECT_FALSE(folder.memoExists(1));
    EXPECT_TRUE(OwnDeletions::deletedHere(folder.memoPath(1)));
    EXPECT_EQ(names(), QStringList({QStringLiteral("text0002.txt")}));
    EXPECT_EQ(prompts.boxes().size(), 2u);
    EXPECT_FALSE(closed());
}

TEST_F(FileList, previewOrDeleteOfAFileThatIsGoneSaysSoAndReadsTheListAgain)
{
    for (const char* action : {"cmdPrev", "cmdKill"}) {
        folder.writeMemo(1, "a");
        folder.writeMemo(2, "b");
        open();
        select(QStringLiteral("text0001.txt"));
        QFile::remove(folder.memoPath(1));
        QDir().mkpath(folder.memoPath(1)); // something else now stands at the name
        prompts.clear();
        prompts.planAnswer(Prompter::Answer::Yes);
        press(action);

        EXPECT_TRUE(prompts.last().text.contains(QStringLiteral("text0001.txt"))) << action;
        EXPECT_EQ(prompts.last().title, QStringLiteral("Zormet Scrivlet")) << action;
        EXPECT_EQ(prompts.last().icon, Prompter::Icon::Exclamation) << action;
        EXPECT_TRUE(QFileInfo(folder.memoPath(1)).isDir()) << action;
        EXPECT_EQ(names(), QStringList({QStringLiteral("text0002.txt")})) << action;
        QDir(folder.memoPath(1)).removeRecursively();
    }
}

TEST_F(FileList, refreshReadsTheFolderAgainAndKeepsTheSelection)
{
    folder.writeMemo(5, "a");
    open();
    select(QStringLiteral("text0005.txt"));
    folder.writeMemo(3, "b");
    EXPECT_EQ(list()->count(), 1);
    press("cmdRefresh");
    EXPECT_EQ(names(), QStringList({QStringLiteral("text0003.txt"), QStringLiteral("text0005.txt")}));
    ASSERT_EQ(list()->selectedItems().size(), 1);
    EXPECT_EQ(list()->selectedItems().first()->text(), QStringLiteral("text0005.txt"));
}

TEST_F(FileList, browseOpensTheFolderBoxText)
{
    UrlCatcher desktop;
    open();
    dialog->findChild<QLineEdit*>(QStringLiteral("txtFilesFolder"))->setText(folder.path());
    press("cmdBrowse");
    ASSERT_EQ(desktop.urls.size(), 1);
    EXPECT_EQ(QDir::cleanPath(desktop.urls.first().toLocalFile()), QDir::cleanPath(folder.path()));
    EXPECT_TRUE(prompts.boxes().empty());
}

} // namespace

namespace {

// Jump stays the default button; Enter on another focused button presses that one.
TEST_F(FileList, enterOnAFocusedButtonPressesItAndJumpStaysTheDefault)
{
    folder.writeMemo(42, "b");
    open();
    select(QStringLiteral("text0042.txt"));
    button("cmdClose")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(closed());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(mdlScrivlet::currentFileNumber(), 7);

    open();
    select(QStringLiteral("text0042.txt"));
    EXPECT_TRUE(button("cmdJump")->isDefault());
    QTest::keyClick(list(), Qt::Key_Return);
    EXPECT_TRUE(closed());
    EXPECT_EQ(mdlScrivlet::currentFileNumber(), 42);
}

// Other programs create, replace (by a rename over it) and delete memos while the list is open; then a
// sync engine brings a thousand, each written aside and renamed over its name. Each pass of the event
// loop is a moment the window cannot answer.
TEST_F(FileList, memosChangedElsewhereShowSoonTheSelectionStaysOnItsNameAndTheWindowKeepsAnswering)
{
    folder.writeMemo(3, "a");
    prepareMemo(folder, 5, Disturbance::ReplacedByRename);
    open();
    select(QStringLiteral("text0005.txt"));
    QSignalSpy relists(relistTimer(), &QTimer::timeout);
    for (auto [how, number, shown, selected] :
         {std::tuple{Disturbance::Created, 4, "text0003.txt text0004.txt text0005.txt", "text0005.txt"},
          {Disturbance::ReplacedByRename, 5, "text0003.txt text0004.txt text0005.txt", "text0005.txt"},
          {Disturbance::Removed, 5, "text0003.txt text0004.txt", ""}}) {
        relists.clear();
        disturbMemo(folder, number, how);
        const QString expected = QLatin1String(shown);
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return !relists.isEmpty() && names().join(QLatin1Char(' ')) == expected; }, 1000))
            << disturbanceName(how);
        const QList<QListWidgetItem*> chosen = list()->selectedItems();
        EXPECT_EQ(chosen.isEmpty() ? QString() : chosen.first()->text(), QLatin1String(selected));
    }
    relists.clear();
    const QString aside = folder.memoFolder() + QStringLiteral(".syncthing.text.tmp");
    std::thread sync([&] {
        for (int n = 1; n <= 1000; ++n) {
            TempProgramFolder::writeBytes(aside, "x");
            QFile::rename(aside, folder.memoPath(n));
        }
    });
    QElapsedTimer pass;
    qint64 longestPass = 0;
    pass.start();
    const bool all = QTest::qWaitFor(
        [&] {
            longestPass = std::max(longestPass, pass.restart());
            return list()->count() == 1000;
        },
        10000);
    sync.join();
    EXPECT_TRUE(all);
    EXPECT_LE(relists.count(), 3);
    EXPECT_LT(longestPass, 100);
}

} // namespace

#include "MemoWindowFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QListWidget>
#include <QTimer>
#include <functional>

namespace {

using namespace memotest;

// Acts on the modal window the menu item opens, once it is up, while its exec() runs.
void whenModalOpens(std::function<void(QDialog*)> act)
{
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        poll->deleteLater();
        poll->stop();
        act(dialog);
    });
    poll->start(10);
}

void selectName(QDialog* dialog, const QString& name)
{
    auto* list = dialog->findChild<QListWidget*>(QStringLiteral("filList"));
    ASSERT_NE(list, nullptr);
    const auto items = list->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    list->setCurrentItem(items.front());
}

TEST_F(MemoWindow, fileListChoiceIsOpenedWhenTheListCloses)
{
    folder.writeMemo(5, "five\r\n");
    folder.writeMemo(42, "forty-two\r\n");
    folder.writeSettings(settingsWith("LastFileNum=5\r\n"));
    openShown();
    whenModalOpens([](QDialog* dialog) {
        EXPECT_EQ(dialog->objectName(), QStringLiteral("frmIndex"));
        selectName(dialog, QStringLiteral("text0042.txt"));
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    choose("mnuFileList");
    expectShows(42, QStringLiteral("forty-two"), ReadOk);
}

TEST_F(MemoWindow, searchHitChosenWithEnterIsOpenedWhenTheSearchCloses)
{
    folder.writeMemo(2, "nothing here\r\n");
    folder.writeMemo(17, "a line\r\n\x83\x4A\x83\x82\x83\x6D\x83\x6E\x83\x56\r\n"); // カモノハシ
    openShown();
    whenModalOpens([](QDialog* dialog) {
        EXPECT_EQ(dialog->objectName(), QStringLiteral("frmSerchJump"));
        dialog->findChild<QLineEdit*>(QStringLiteral("txtKeyWord"))->setText(utf8("かものはし"));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdSerch")), Qt::LeftButton);
        auto* hits = dialog->findChild<QListWidget*>(QStringLiteral("lstIchiran"));
        ASSERT_EQ(hits->count(), 1);
        hits->setCurrentRow(0);
        QTest::keyClick(hits, Qt::Key_Return);
    });
    choose("mnuAllSerchJump");
    expectShows(17, utf8("a line\nカモノハシ"), ReadOk);
}

class FileListClosedWithoutChoice : public MemoWindow, public ::testing::WithParamInterface<bool>
{
};

TEST_P(FileListClosedWithoutChoice, reloadsTheShownMemoAfterTheAutomaticSaveWhenDue)
{
    const bool autoSave = GetParam();
    folder.writeMemo(5, "on disk\r\n");
    folder.writeSettings(settingsWith(autoSave ? "LastFileNum=5\r\nAutoSave=1\r\n" : "LastFileNum=5\r\n"));
    openShown();
    memoBox()->setPlainText(QStringLiteral("edited"));
    whenModalOpens([](QDialog* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    choose("mnuFileList");
    expectShows(5, autoSave ? QStringLiteral("edited") : QStringLiteral("on disk"), ReadOk);
}

INSTANTIATE_TEST_SUITE_P(AutoSaveOnAndOff, FileListClosedWithoutChoice, ::testing::Bool());

TEST_F(MemoWindow, autoSaveTickedInTheVersionDialogTakesEffectAtTheNextStep)
{
    folder.writeMemo(3, "old\r\n");
    folder.writeSettings(settingsWith("LastFileNum=3\r\n"));
    openShown();
    whenModalOpens([](QDialog* dialog) {
        EXPECT_EQ(dialog->objectName(), QStringLiteral("frmVersion"));
        dialog->findChild<QCheckBox*>(QStringLiteral("chkAutoSave"))->setChecked(true);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    });
    choose("mnuVersion");
    EXPECT_TRUE(folder.readSettings().contains("AutoSave=1\r\n"));
    expectShows(3, QStringLiteral("old"), ReadOk); // the dialog itself opens nothing
    memoBox()->setPlainText(QStringLiteral("new"));
    click("cmdNext");
    EXPECT_EQ(folder.readMemo(3), QByteArray("new\r\n"));
}

} // namespace

namespace {

using namespace memotest;

// The shown memo, with edits, deleted in the file list: the question that follows says so, not that
// another program deleted it.
TEST_F(MemoWindow, theShownMemoDeletedInTheFileListIsNotReportedAsAnotherProgramsDoing)
{
    folder.writeMemo(5, "five\r\n");
    folder.writeSettings(settingsWith("LastFileNum=5\r\nAutoSave=1\r\n"));
    openShown();
    type(QStringLiteral("typed "));
    whenModalOpens([this](QDialog* dialog) {
        selectName(dialog, QStringLiteral("text0005.txt"));
        prompter.planAnswer(Answer::Yes);
        dialog->findChild<QPushButton*>(QStringLiteral("cmdKill"))->click();
        prompter.planAnswer(Answer::Cancel);
        dialog->findChild<QPushButton*>(QStringLiteral("cmdClose"))->click();
    });
    choose("mnuFileList");
    ASSERT_EQ(prompter.boxes().size(), 2u);
    EXPECT_TRUE(prompter.last().text.startsWith(utf8("表示中のメモは、ファイル一覧で削除されました。")))
        << prompter.last().text.toStdString();
    EXPECT_EQ(memoText(), QStringLiteral("typed five"));
    EXPECT_FALSE(folder.memoExists(5));
}

} // namespace

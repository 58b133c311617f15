#include "frmSerchJump.h"

#include "ConsoleCommands.h"
#include "Cp932.h"
#include "MemoSearch.h"
#include "QtPrinters.h"
#include "ScriptedPrompter.h"
#include "TempProgramFolder.h"
#include "UrlCatcher.h"
#include "mdlScrivlet.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cerrno>
#include <gtest/gtest.h>

namespace {

QString utf8(const char* s)
{
    return QString::fromUtf8(s);
}

class SearchWindow : public ::testing::Test
{
protected:
    SearchWindow()
    {
        mdlScrivlet::resetForTesting();
        mdlScrivlet::setProgramFolder(folder.path());
    }

    template <typename T> T* child(frmSerchJump& dialog, const char* name)
    {
        T* w = dialog.findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    void search(frmSerchJump& dialog, const char* keyword)
    {
        child<QLineEdit>(dialog, "txtKeyWord")->setText(utf8(keyword));
        child<QPushButton>(dialog, "cmdSerch")->click();
    }

    QStringList listed(frmSerchJump& dialog)
    {
        QStringList names;
        auto* list = child<QListWidget>(dialog, "lstIchiran");
        for (int i = 0; i < list->count(); ++i)
            names << list->item(i)->text();
        return names;
    }

    void expectInitialState(frmSerchJump& dialog)
    {
        EXPECT_EQ(child<QLineEdit>(dialog, "txtKeyWord")->text(), QString());
        EXPECT_TRUE(child<QRadioButton>(dialog, "optAllFile")->isChecked());
        EXPECT_FALSE(child<QRadioButton>(dialog, "optHani")->isChecked());
        for (const char* box : {"txtLNo", "txtUNo"}) {
            EXPECT_EQ(child<QLineEdit>(dialog, box)->text(), QStringLiteral("0000"));
            EXPECT_FALSE(child<QLineEdit>(dialog, box)->isEnabled());
        }
        EXPECT_FALSE(child<QCheckBox>(dialog, "chkKubetsu")->isChecked());
        EXPECT_EQ(child<QListWidget>(dialog, "lstIchiran")->count(), 0);
        EXPECT_EQ(child<QLabel>(dialog, "lblNow")->text(), QString());
    }

    TempProgramFolder folder;
    ScriptedPrompter prompter;
};

TEST_F(SearchWindow, opensWithItsControlsInTheirInitialState)
{
    frmSerchJump dialog;
    EXPECT_EQ(dialog.windowTitle(), utf8("全文検索ジャンプ"));
    EXPECT_TRUE(dialog.isModal());
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_FALSE(dialog.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    const std::pair<const char*, const char*> captions[] = {{"Label1", "フォルダ："},
                                                            {"Label3", "キーワード(&K)："},
                                                            {"Label4", "から"},
                                                            {"Label5", "まで"},
                                                            {"Label2", "該当ファイル名一覧(&F)："}};
    for (const auto& [name, caption] : captions)
        EXPECT_EQ(child<QLabel>(dialog, name)->text(), utf8(caption)) << name;
    const std::pair<const char*, const char*> buttons[] = {
        {"cmdBrowse", "..."}, {"cmdSerch", "検索(&S)"}, {"cmdClose", "閉じる(&C)"}};
    for (const auto& [name, caption] : buttons)
        EXPECT_EQ(child<QPushButton>(dialog, name)->text(), utf8(caption)) << name;
    EXPECT_EQ(child<QGroupBox>(dialog, "Frame1")->title(), utf8("検索オプション"));
    EXPECT_EQ(child<QRadioButton>(dialog, "optAllFile")->text(), utf8("全てのファイルから検索(&A)"));
    EXPECT_EQ(child<QRadioButton>(dialog, "optHani")->text(), utf8("範囲を指定して検索(&E)"));
    EXPECT_EQ(child<QCheckBox>(dialog, "chkKubetsu")->text(), utf8("完全に一致する物を検索(&K)"));
    EXPECT_EQ(child<QLabel>(dialog, "Label3")->buddy(), child<QLineEdit>(dialog, "txtKeyWord"));
    EXPECT_EQ(child<QLabel>(dialog, "Label2")->buddy(), child<QListWidget>(dialog, "lstIchiran"));
    auto* folderBox = child<QLineEdit>(dialog, "txtFilesFolder");
    EXPECT_EQ(folderBox->text(), folder.memoFolder());
    EXPECT_EQ(folderBox->cursorPosition(), folderBox->text().size());
    expectInitialState(dialog);

    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(QApplication::focusWidget(), child<QLineEdit>(dialog, "txtKeyWord"));
    for (QPushButton* b : dialog.findChildren<QPushButton*>()) {
        EXPECT_FALSE(b->isDefault()) << b->objectName().toStdString();
        EXPECT_FALSE(b->autoDefault()) << b->objectName().toStdString();
    }
}

TEST_F(SearchWindow, isCentredOnTheMemoWindow)
{
    QWidget owner;
    owner.setGeometry(200, 150, 700, 600);
    owner.show();
    frmSerchJump dialog(&owner);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QPoint offset = dialog.geometry().center() - owner.geometry().center();
    EXPECT_LE(offset.manhattanLength(), 4) << offset.x() << "," << offset.y();
}

TEST_F(SearchWindow, optionsSwitchTheRangeBoxesAndKeepTheirText)
{
    frmSerchJump dialog;
    auto* lower = child<QLineEdit>(dialog, "txtLNo");
    auto* upper = child<QLineEdit>(dialog, "txtUNo");
    child<QRadioButton>(dialog, "optHani")->click();
    EXPECT_TRUE(lower->isEnabled());
    EXPECT_TRUE(upper->isEnabled());
    lower->setText(QStringLiteral("12"));
    child<QRadioButton>(dialog, "optAllFile")->click();
    EXPECT_FALSE(lower->isEnabled());
    EXPECT_FALSE(upper->isEnabled());
    EXPECT_EQ(lower->text(), QStringLiteral("12"));
}

TEST_F(SearchWindow, listsEveryMatchingMemoOnceInAscendingOrder)
{
    folder.writeMemo(42, "a Wombat\r\nwombat again\r\n");
    folder.writeMemo(7, cp932::encode(utf8("ＷＯＭＢＡＴ\r\n")));
    folder.writeMemo(9999, "wombat");
    folder.writeMemo(8, "");
    folder.writeMemo(3, "wom\r\nbat\r\n");
    frmSerchJump dialog;
    search(dialog, "wombat");
    EXPECT_EQ(listed(dialog), (QStringList{QStringLiteral("text0007.txt"), QStringLiteral("text0042.txt"),
                                           QStringLiteral("text9999.txt")}));
    child<QCheckBox>(dialog, "chkKubetsu")->setChecked(true);
    search(dialog, "wombat");
    EXPECT_EQ(listed(dialog), (QStringList{QStringLiteral("text0042.txt"), QStringLiteral("text9999.txt")}));
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_EQ(child<QLabel>(dialog, "lblNow")->text(), QString());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// Records whether the busy pointer is up while a box shows.
class CursorWatchingPrompter final : public ui::FailureBoxPrompter
{
public:
    Answer message(const QString& text, const QString& title, Icon icon, Buttons, Answer defaultButton) override
    {
        texts << text;
        titles << title;
        icons.push_back(icon);
        busy.push_back(QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor);
        return defaultButton;
    }
    QString input(const QString&, const QString&, const QString&) override { return QString(); }

    QStringList texts;
    QStringList titles;
    std::vector<Icon> icons;
    std::vector<bool> busy;

private:
    ScopedPrompter installed_{*this};
};

TEST_F(SearchWindow, keywordIsCheckedBeforeTheRangeAndEarlierResultsStay)
{
    folder.writeMemo(5, "key\r\n");
    CursorWatchingPrompter boxes;
    frmSerchJump dialog;
    search(dialog, "key");
    ASSERT_EQ(listed(dialog), QStringList{QStringLiteral("text0005.txt")});

    child<QRadioButton>(dialog, "optHani")->click();
    child<QLineEdit>(dialog, "txtLNo")->setText(QStringLiteral("9"));
    search(dialog, "");
    search(dialog, "key");
    EXPECT_EQ(boxes.texts,
              (QStringList{utf8("キーワードの設定に問題があります。"), utf8("範囲の設定に問題があります。")}));
    EXPECT_EQ(boxes.titles, (QStringList{utf8("検索エラー"), utf8("検索エラー")}));
    EXPECT_EQ(boxes.icons, (std::vector<Prompter::Icon>{Prompter::Icon::Exclamation, Prompter::Icon::Exclamation}));
    EXPECT_EQ(boxes.busy, (std::vector<bool>{true, true}));
    EXPECT_EQ(listed(dialog), QStringList{QStringLiteral("text0005.txt")});
    EXPECT_EQ(child<QLabel>(dialog, "lblNow")->text(), QString());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

struct RangeCase
{
    const char* lower;
    const char* upper;
    bool accepted;
    std::vector<int> found;
};

class RangeBoxes : public SearchWindow, public ::testing::WithParamInterface<RangeCase>
{
};

TEST_P(RangeBoxes, acceptZeroToNineThousandNineHundredNinetyNine)
{
    for (int n : {0, 7, 1000, 1001, 9999})
        folder.writeMemo(n, "key\r\n");
    frmSerchJump dialog;
    search(dialog, "key");
    const QStringList everything = listed(dialog);
    child<QRadioButton>(dialog, "optHani")->click();
    child<QLineEdit>(dialog, "txtLNo")->setText(utf8(GetParam().lower));
    child<QLineEdit>(dialog, "txtUNo")->setText(utf8(GetParam().upper));
    search(dialog, "key");
    if (GetParam().accepted) {
        QStringList expected;
        for (int n : GetParam().found)
            expected << QStringLiteral("text%1.txt").arg(n, 4, 10, QLatin1Char('0'));
        EXPECT_EQ(listed(dialog), expected);
        EXPECT_TRUE(prompter.boxes().empty());
    } else {
        ASSERT_EQ(prompter.boxes().size(), 1u);
        EXPECT_EQ(prompter.last().text, utf8("範囲の設定に問題があります。"));
        EXPECT_EQ(prompter.last().title, utf8("検索エラー"));
        EXPECT_EQ(prompter.last().icon, Prompter::Icon::Exclamation);
        EXPECT_EQ(prompter.last().buttons, Prompter::Buttons::Ok);
        EXPECT_EQ(listed(dialog), everything);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, RangeBoxes,
                         ::testing::Values(RangeCase{"0", "9999", true, {0, 7, 1000, 1001, 9999}},
                                           RangeCase{"0000", "1000", true, {0, 7, 1000}},
                                           RangeCase{"7", "7", true, {7}},
                                           RangeCase{"1001", "9999", true, {1001, 9999}},
                                           RangeCase{" 8 ", "999", true, {}}, RangeCase{"0", "10000", false, {}},
                                           RangeCase{"5", "3", false, {}}, RangeCase{"-1", "5", false, {}},
                                           RangeCase{"", "5", false, {}}, RangeCase{"0", "", false, {}},
                                           RangeCase{"abc", "5", false, {}}, RangeCase{"3.5", "5", false, {}},
                                           RangeCase{"0", "70000", false, {}}),
                         [](const auto& info) { return "range" + std::to_string(info.index); });

TEST_F(SearchWindow, allFilesModeIgnoresTheRangeBoxes)
{
    folder.writeMemo(4000, "key\r\n");
    frmSerchJump dialog;
    child<QRadioButton>(dialog, "optHani")->click();
    child<QLineEdit>(dialog, "txtLNo")->setText(QStringLiteral("abc"));
    child<QLineEdit>(dialog, "txtUNo")->setText(QStringLiteral("-3"));
    child<QRadioButton>(dialog, "optAllFile")->click();
    search(dialog, "key");
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_EQ(listed(dialog), QStringList{QStringLiteral("text4000.txt")});
}

TEST_F(SearchWindow, unreadableFilesAreNamedInOneMessageAfterTheSearch)
{
    for (int n = 1; n <= 14; ++n)
        folder.writeMemo(n, "key\r\n");
    frmSerchJump dialog;
    {
        const search::ScopedReadFault fault([](int number) { return number == 2 || number >= 4 ? EIO : 0; });
        search(dialog, "key");
    }
    EXPECT_EQ(listed(dialog), (QStringList{QStringLiteral("text0001.txt"), QStringLiteral("text0003.txt")}));
    ASSERT_EQ(prompter.boxes().size(), 1u);
    const QString text = prompter.last().text;
    EXPECT_EQ(prompter.last().title, utf8("検索エラー"));
    EXPECT_EQ(prompter.last().icon, Prompter::Icon::Exclamation);
    EXPECT_TRUE(text.contains(QStringLiteral("text0002.txt"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("text0012.txt"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("text0013.txt"))) << text.toStdString();
    EXPECT_TRUE(text.contains(utf8("ほか 2 件"))) << text.toStdString();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(SearchWindow, enterInTheKeywordBoxNeitherSearchesNorCloses)
{
    folder.writeMemo(1, "key\r\n");
    frmSerchJump dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    auto* keyword = child<QLineEdit>(dialog, "txtKeyWord");
    keyword->setText(QStringLiteral("key"));
    QTest::keyClick(keyword, Qt::Key_Return);
    QTest::keyClick(keyword, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(child<QListWidget>(dialog, "lstIchiran")->count(), 0);
    EXPECT_TRUE(prompter.boxes().empty());
}

class Jump : public SearchWindow
{
protected:
    Jump()
    {
        folder.writeMemo(7, "key\r\n");
        folder.writeMemo(42, "key\r\n");
        mdlScrivlet::setCurrentFileNumber(3);
        dialog.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        search(dialog, "key");
        list = child<QListWidget>(dialog, "lstIchiran");
        EXPECT_EQ(list->count(), 2);
    }

    frmSerchJump dialog;
    QListWidget* list = nullptr;
};

TEST_F(Jump, doubleClickOnAnEntryMakesItCurrentAndCloses)
{
    const QPoint at = list->visualItemRect(list->item(1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(mdlScrivlet::currentFileNumber(), 42);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(Jump, enterInTheListJumpsToTheSelectedEntry)
{
    list->setFocus();
    list->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(mdlScrivlet::currentFileNumber(), 7);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(Jump, withoutASelectionNothingHappens)
{
    list->setFocus();
    list->setCurrentRow(1, QItemSelectionModel::NoUpdate);
    ASSERT_TRUE(list->selectedItems().isEmpty());
    QTest::keyClick(list, Qt::Key_Return);
    const QPoint below = list->visualItemRect(list->item(1)).bottomLeft() + QPoint(4, 20);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, below);
    EXPECT_EQ(mdlScrivlet::currentFileNumber(), 3);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(Jump, closeAndEscLeaveTheCurrentNumber)
{
    child<QPushButton>(dialog, "cmdClose")->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);

    frmSerchJump again;
    again.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&again));
    QTest::keyClick(child<QLineEdit>(again, "txtKeyWord"), Qt::Key_Escape);
    EXPECT_FALSE(again.isVisible());
    EXPECT_EQ(mdlScrivlet::currentFileNumber(), 3);
}

TEST_F(SearchWindow, reopeningStartsFromTheInitialState)
{
    folder.writeMemo(1, "key\r\n");
    {
        frmSerchJump dialog;
        child<QRadioButton>(dialog, "optHani")->click();
        child<QLineEdit>(dialog, "txtLNo")->setText(QStringLiteral("1"));
        child<QLineEdit>(dialog, "txtUNo")->setText(QStringLiteral("5"));
        child<QCheckBox>(dialog, "chkKubetsu")->setChecked(true);
        search(dialog, "key");
        ASSERT_EQ(listed(dialog).size(), 1);
    }
    frmSerchJump dialog;
    expectInitialState(dialog);
}

TEST_F(SearchWindow, browseOpensTheFolderBoxText)
{
    UrlCatcher catcher;
    frmSerchJump dialog;
    const QString other = folder.path() + QStringLiteral("elsewhere");
    child<QLineEdit>(dialog, "txtFilesFolder")->setText(other);
    child<QPushButton>(dialog, "cmdBrowse")->click();
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls.front().toLocalFile(), other);
}

TEST_F(SearchWindow, aFolderThatCannotBeOpenedIsReported)
{
    const UrlCatcher refusing(UrlCatcher::Desktop::Refuses);
    frmSerchJump dialog;
    child<QPushButton>(dialog, "cmdBrowse")->click();
    ASSERT_EQ(prompter.boxes().size(), 1u);
    EXPECT_EQ(prompter.last().text, utf8("フォルダを開けませんでした。\n\n") + folder.memoFolder());
    EXPECT_EQ(prompter.last().icon, Prompter::Icon::Exclamation);
}

} // namespace

namespace {

// Enter presses the button that has the focus, yet that button does not become a default for Enter elsewhere.
TEST_F(SearchWindow, enterOnAFocusedButtonPressesOnlyThatButton)
{
    folder.writeMemo(1, "key\r\n");
    frmSerchJump dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    auto* keyword = child<QLineEdit>(dialog, "txtKeyWord");
    keyword->setText(QStringLiteral("key"));
    auto* searchButton = child<QPushButton>(dialog, "cmdSerch");
    searchButton->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(listed(dialog), QStringList{QStringLiteral("text0001.txt")});
    EXPECT_TRUE(dialog.isVisible());

    keyword->setFocus();
    keyword->setText(QStringLiteral("absent"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(listed(dialog), QStringList{QStringLiteral("text0001.txt")});
    for (QPushButton* b : dialog.findChildren<QPushButton*>())
        EXPECT_FALSE(b->isDefault()) << b->objectName().toStdString();

    child<QPushButton>(dialog, "cmdClose")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(prompter.boxes().empty());
}

} // namespace

namespace {

// Scrivlet --search prints what this window lists, for every keyword and in both modes.
TEST_F(SearchWindow, theShellsSearchFindsWhatTheWindowFinds)
{
    const char* const lines[] = {"Alpha", "ａｌｐｈａ", "かな", "カナ", "ｶﾅ", "x", "ALPHA beta"};
    for (int n = 0; n < 40; ++n)
        folder.writeMemo(n * 7, cp932::encode(QString::fromUtf8(lines[n % 7]) + QStringLiteral("\r\n") +
                                              QString::fromUtf8(lines[(n * 3) % 7]) + QStringLiteral("\r\n")));
    for (const char* keyword : {"alpha", "かな", "ALPHA b", "ｶ", "nothing"}) {
        for (const bool exact : {true, false}) {
            SCOPED_TRACE(std::string(keyword) + (exact ? " exact" : " loose"));
            frmSerchJump dialog;
            child<QCheckBox>(dialog, "chkKubetsu")->setChecked(exact);
            search(dialog, keyword);
            QByteArray expected;
            for (const QString& name : listed(dialog))
                expected += (folder.memoFolder() + name + QLatin1Char('\n')).toUtf8();
            const command::ConsoleResult shell = command::searchMemos(folder.path(), utf8(keyword), !exact);
            EXPECT_EQ(shell.out, expected);
            EXPECT_EQ(shell.exitCode, expected.isEmpty() ? 1 : 0);
        }
    }
}

} // namespace

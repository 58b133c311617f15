#include "MemoWindowFixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <optional>

namespace {

using namespace memotest;

// Start-up

TEST_F(MemoWindow, firstStart_createsFolderAndShowsMemo0000WithoutCreatingIt)
{
    ASSERT_FALSE(QFileInfo(folder.memoFolder()).exists());
    open();
    EXPECT_TRUE(QFileInfo(folder.memoFolder()).isDir());
    expectShows(0, QString(), NotCreated);
    EXPECT_EQ(child<QLineEdit>("txtFile")->cursorPosition(), shownPath().size());
    EXPECT_FALSE(folder.memoExists(0));
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Zormet Scrivlet"));
    EXPECT_TRUE(prompter.boxes().empty());
}

struct LastFileNumCase
{
    const char* name;
    QByteArray value;
    int shown;
};

class LastFileNum : public MemoWindow, public ::testing::WithParamInterface<LastFileNumCase>
{
};

TEST_P(LastFileNum, startsAtTheStoredMemoOrAt0000)
{
    folder.writeSettings(settingsWith("LastFileNum=" + GetParam().value + "\r\n"));
    folder.writeMemo(GetParam().shown, "memo\r\n");
    open();
    expectShows(GetParam().shown, QStringLiteral("memo"), ReadOk);
}

INSTANTIATE_TEST_SUITE_P(Table, LastFileNum,
                         ::testing::Values(LastFileNumCase{"twelve", "12", 12}, LastFileNumCase{"zero", "0", 0},
                                           LastFileNumCase{"last", "9999", 9999}, LastFileNumCase{"empty", "", 0},
                                           LastFileNumCase{"letters", "abc", 0}, LastFileNumCase{"minusOne", "-1", 0},
                                           LastFileNumCase{"tenThousand", "10000", 0},
                                           LastFileNumCase{"beyond16Bits", "70000", 0},
                                           LastFileNumCase{"fraction", "12.5", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MemoWindow, controlsStandWhereTheLayoutPutsThem)
{
    open();
    struct Control
    {
        const char* name;
        QRect rect;
        const char* caption;
    };
    // A caption wider than its place, as in a monospaced Japanese font, widens it; the path box gives way.
    const QRect label = twipsRect(105, 165, 960, 225);
    const int caption =
        std::max(label.width(), child<QLabel>("lblFile")->fontMetrics().horizontalAdvance(utf8("ファイル名：")));
    const Control controls[] = {
        {"lblFile", label.adjusted(0, 0, caption - label.width(), 0), "ファイル名："},
        {"txtFile",
         twipsRect(1050, 165, 1905, 225).adjusted(std::max(0, label.left() + caption - twips(1050)), 0, 0, 0), nullptr},
        {"cmdPrev", twipsRect(3045, 105, 645, 330), "<<(&P)"},
        {"cmdNext", twipsRect(3780, 105, 645, 330), "(&N)>>"},
        {"cmdSave", twipsRect(4515, 105, 1380, 330), "&Save"},
        {"cmdMenu", twipsRect(3045, 525, 1380, 330), "メニュー(&E)"},
        {"lblFileStatus", twipsRect(105, 585, 2850, 225), nullptr},
        {"cmdMin", twipsRect(4515, 525, 1380, 330), "最小化(&M)"},
    };
    for (const Control& c : controls) {
        QWidget* w = child<QWidget>(c.name);
        EXPECT_EQ(w->geometry(), c.rect) << c.name;
        if (auto* b = qobject_cast<QPushButton*>(w); b && c.caption) {
            EXPECT_EQ(b->text(), utf8(c.caption));
        }
        if (auto* l = qobject_cast<QLabel*>(w); l && c.caption) {
            EXPECT_EQ(l->text(), utf8(c.caption));
        }
    }
    EXPECT_EQ(memoBox()->geometry().topLeft(), QPoint(0, twips(945)));

    auto* file = child<QLineEdit>("txtFile");
    EXPECT_TRUE(file->isReadOnly());
    EXPECT_EQ(file->palette().color(QPalette::Base), file->palette().color(QPalette::Button));
    EXPECT_EQ(memoBox()->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(memoBox()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(memoBox()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    QStringList order;
    QWidget* w = file;
    do {
        if (w->focusPolicy() & Qt::TabFocus)
            order << w->objectName();
        w = w->nextInFocusChain();
    } while (w != file);
    EXPECT_EQ(order, QStringList({QStringLiteral("txtFile"), QStringLiteral("cmdPrev"), QStringLiteral("cmdNext"),
                                  QStringLiteral("cmdSave"), QStringLiteral("cmdMenu"), QStringLiteral("cmdMin"),
                                  QStringLiteral("txtDataField")}));

    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
}

TEST_F(MemoWindow, menuHoldsItsItemsInOrderWithFileListAsDefault)
{
    open();
    auto* menu = child<QMenu>("mnuMenu");
    QStringList names;
    QStringList captions;
    for (QAction* a : menu->actions()) {
        names << a->objectName();
        captions << a->text();
    }
    EXPECT_EQ(names.join(QLatin1Char(' ')),
              QStringLiteral("mnuFileList mnuJump mnuAllSerchJump mnuAkiFile mnuFileKill mnuVersion mnuExit"));
    EXPECT_EQ(captions.join(QLatin1Char('|')),
              utf8("ファイル一覧(&L)|ジャンプ(&J)|全文検索ジャンプ(&A)|空きファイルを検索(&N)|カレントファイル削除(&D)|"
                   "バージョン情報 / 設定(&V)|終了(&X)"));
    EXPECT_EQ(menu->defaultAction(), child<QAction>("mnuFileList"));
    EXPECT_TRUE(child<QAction>("mnuFileList")->font().bold());
    for (QAction* a : menu->actions())
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
}

TEST_F(MemoWindow, menuButtonPopsTheMenuUpBelowItself)
{
    openShown();
    click("cmdMenu");
    auto* menu = child<QMenu>("mnuMenu");
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }));
    auto* button = child<QPushButton>("cmdMenu");
    EXPECT_EQ(menu->pos(), button->mapToGlobal(QPoint(0, button->height())));
    menu->close();
}

// Stepping and saving

TEST_F(MemoWindow, nextAndPreviousLoadWithTheirReadingStatuses)
{
    folder.writeMemo(1, "a\r\nb\r\n");
    folder.writeMemo(2, "c");
    openShown();
    QStringList statusWhileReading;
    QObject::connect(memoBox(), &QPlainTextEdit::textChanged, [&] { statusWhileReading << status(); });

    click("cmdNext");
    expectShows(1, QStringLiteral("a\nb"), ReadOk);
    click("cmdNext");
    expectShows(2, QStringLiteral("c"), ReadOk);
    click("cmdPrev");
    expectShows(1, QStringLiteral("a\nb"), ReadOk);
    click("cmdPrev");
    expectShows(0, QString(), NotCreated);
    EXPECT_EQ(statusWhileReading.mid(0, 3),
              QStringList({utf8("状態：4ファイル認識。読み込み開始"), utf8("状態：4ファイル認識。読み込み開始"),
                           utf8("状態：ファイル認識。読み込み開始")}));
}

TEST_F(MemoWindow, nextAt9999AndPreviousAt0ChangeNothing)
{
    folder.writeSettings(settingsWith("AutoSave=1\r\nLastFileNum=9999\r\n"));
    openShown();
    type(QStringLiteral("edit"));
    click("cmdNext");
    EXPECT_EQ(current(), 9999);
    EXPECT_EQ(status(), utf8(NotCreated));
    EXPECT_EQ(mark(), QStringLiteral("Changed"));
    EXPECT_FALSE(folder.memoExists(9999));

    folder.writeSettings(settingsWith("AutoSave=1\r\nLastFileNum=0\r\n"));
    delete window.data();
    openShown();
    type(QStringLiteral("edit"));
    click("cmdPrev");
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(status(), utf8(NotCreated));
    EXPECT_FALSE(folder.memoExists(0));
}

struct AutoSaveCase
{
    const char* name;
    QByteArray settings;
    bool saves;
};

class AutoSave : public MemoWindow, public ::testing::WithParamInterface<AutoSaveCase>
{
};

TEST_P(AutoSave, editsAreWrittenBeforeMovingOnlyWhenTheValueIsExactly1)
{
    folder.writeMemo(0, "old\r\n");
    openShown();
    folder.writeSettings(GetParam().settings); // read afresh at each step
    type(QStringLiteral("new "));
    click("cmdNext");
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(folder.readMemo(0), GetParam().saves ? QByteArray("new old\r\n") : QByteArray("old\r\n"));
}

INSTANTIATE_TEST_SUITE_P(Table, AutoSave,
                         ::testing::Values(AutoSaveCase{"on", settingsWith("AutoSave=1\r\n"), true},
                                           AutoSaveCase{"off", settingsWith("AutoSave=0\r\n"), false},
                                           AutoSaveCase{"two", settingsWith("AutoSave=2\r\n"), false},
                                           AutoSaveCase{"wordTrue", settingsWith("AutoSave=true\r\n"), false},
                                           AutoSaveCase{"noSetting", "", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MemoWindow, untouchedMemoIsNeverWrittenByMovingOn)
{
    folder.writeSettings(settingsWith("AutoSave=1\r\n"));
    folder.writeMemo(0, "no final line break");
    openShown();
    click("cmdNext");
    click("cmdPrev");
    click("cmdNext");
    EXPECT_EQ(folder.readMemo(0), QByteArray("no final line break"));
}

TEST_F(MemoWindow, saveCreatesAMissingMemoAndKeepsTheChangedMark)
{
    openShown();
    click("cmdSave");
    EXPECT_EQ(folder.readMemo(0), QByteArray("\r\n"));
    EXPECT_EQ(status(), utf8(WriteOk));

    type(QStringLiteral("x"));
    QTest::keyClick(memoBox(), Qt::Key_Return);
    type(QStringLiteral("y"));
    click("cmdSave");
    EXPECT_EQ(folder.readMemo(0), QByteArray("x\r\ny\r\n"));
    EXPECT_EQ(mark(), QStringLiteral("Changed"));
}

TEST_F(MemoWindow, saveOfCharactersCp932CannotHoldSaysSo)
{
    openShown();
    memoBox()->insertPlainText(utf8("メモ😀"));
    click("cmdSave");
    EXPECT_EQ(folder.readMemo(0), QByteArray("\x83\x81\x83\x82?\r\n"));
    EXPECT_EQ(status(), utf8("状態：書き込みOK（?に置換）"));
    EXPECT_EQ(memoText(), utf8("メモ😀"));
}

// Closing, hiding, exit

TEST_F(MemoWindow, closingWritesLastFileNumAndTheMemoThenUnloads)
{
    int ended = 0;
    mdlScrivlet::setExitHandler([&] { ++ended; });
    folder.writeSettings(settingsWith("LastFileNum=6\r\n"));
    openShown();
    click("cmdNext");
    window->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }));
    EXPECT_EQ(ended, 0); // the notification-area icon keeps the program
    EXPECT_EQ(folder.readMemo(7), QByteArray("\r\n"));
    EXPECT_TRUE(folder.readSettings().contains("LastFileNum=7\r\n"));

    // The next window loads afresh and shows what was saved.
    folder.writeMemo(7, "kept\r\n");
    open();
    expectShows(7, QStringLiteral("kept"), ReadOk);
}

TEST_F(MemoWindow, closingAHiddenWindowStillSaves)
{
    openShown();
    type(QStringLiteral("typed"));
    click("cmdMin");
    ASSERT_FALSE(window->isVisible());
    window->close();
    EXPECT_EQ(folder.readMemo(0), QByteArray("typed\r\n"));
    EXPECT_TRUE(folder.readSettings().contains("LastFileNum=0\r\n"));
}

TEST_F(MemoWindow, escapeHidesWithoutSavingAndReturnMakesANewLine)
{
    openShown();
    type(QStringLiteral("a"));
    QTest::keyClick(memoBox(), Qt::Key_Return);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(memoText(), QStringLiteral("a\n"));

    QTest::keyClick(memoBox(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(folder.memoExists(0));
    EXPECT_EQ(memoText(), QStringLiteral("a\n"));
    EXPECT_EQ(mark(), QStringLiteral("Changed"));

    for (const char* name : {"cmdSave", "txtFile"}) {
        window->show();
        QTest::keyClick(child<QWidget>(name), Qt::Key_Escape);
        EXPECT_FALSE(window->isVisible()) << name;
    }
    EXPECT_FALSE(folder.memoExists(0));
}

TEST_F(MemoWindow, exitEndsAtOnceWithoutSavingAnything)
{
    bool ended = false;
    mdlScrivlet::setExitHandler([&] { ended = true; });
    openShown();
    type(QStringLiteral("unsaved"));
    choose("mnuExit");
    EXPECT_TRUE(ended);
    EXPECT_FALSE(folder.memoExists(0));
    EXPECT_FALSE(QFileInfo::exists(folder.settingsPath()));
}

TEST_F(MemoWindow, standaloneWindowMinimisesAndItsCloseEndsTheProgram)
{
    int ended = 0;
    mdlScrivlet::setExitHandler([&] { ++ended; });
    open()->setStandalone(true);
    EXPECT_EQ(window->windowFlags() & Qt::WindowType_Mask, Qt::Window);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    click("cmdMin");
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->isMinimized(); }));
    window->close();
    EXPECT_EQ(ended, 1);
    EXPECT_TRUE(folder.memoExists(0));
}

TEST_F(MemoWindow, resizeKeepsTheMinimumWidthAndFillsTheWindowWithTheMemo)
{
    openShown();
    const int top = memoBox()->geometry().top();
    window->resize(600, 500);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->width() == 600 && window->height() == 500; }));
    EXPECT_EQ(memoBox()->geometry(), QRect(0, top, 600, 500 - top));

    window->resize(200, 500);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->frameGeometry().width() == twips(6135); }));
    EXPECT_EQ(memoBox()->width(), window->width());

    // Shorter than the memo's top: the memo keeps its height.
    const int heightBefore = memoBox()->height();
    window->resize(600, top - 10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->height() == top - 10; }));
    EXPECT_EQ(memoBox()->height(), heightBefore);
    EXPECT_EQ(memoBox()->width(), 600);
}

// Failures: the state stays as it was

TEST_F(MemoWindow, failedSaveKeepsTextStateAndTheOldFile)
{
    folder.writeSettings(settingsWith("AutoSave=1\r\n"));
    folder.writeMemo(0, "old\r\n");
    openShown();
    type(QStringLiteral("new "));
    const QString memo0 = folder.memoPath(0);
    std::optional<ScopedWriteFault> fault;
    fault.emplace([memo0](const QString& path) { return path == memo0; });

    click("cmdSave");
    ASSERT_EQ(prompter.boxes().size(), 1u);
    EXPECT_EQ(prompter.last().title, QStringLiteral("Zormet Scrivlet"));
    EXPECT_EQ(prompter.last().icon, Prompter::Icon::Exclamation);
    EXPECT_TRUE(prompter.last().text.contains(folder.memoPath(0)));
    EXPECT_EQ(status(), utf8(ReadOk));

    click("cmdNext"); // the automatic save fails: stay
    EXPECT_EQ(prompter.boxes().size(), 2u);
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(shownPath(), folder.memoPath(0));
    EXPECT_EQ(memoText(), QStringLiteral("new old"));
    EXPECT_EQ(mark(), QStringLiteral("Changed"));
    EXPECT_EQ(folder.readMemo(0), QByteArray("old\r\n"));

    prompter.planInput(QStringLiteral("9")); // a jump whose automatic save fails stays too
    choose("mnuJump");
    EXPECT_EQ(prompter.boxes().size(), 4u);
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(shownPath(), folder.memoPath(0));

    window->close(); // the close is refused and the text stays
    EXPECT_EQ(prompter.boxes().size(), 5u);
    EXPECT_TRUE(window->isVisible());

    fault.reset();
    click("cmdSave");
    EXPECT_EQ(folder.readMemo(0), QByteArray("new old\r\n"));
}

TEST_F(MemoWindow, folderStandingAtTheMemoNameRefusesTheCloseAndKeepsTheText)
{
    QDir().mkpath(folder.memoPath(0));
    openShown();
    EXPECT_EQ(status(), utf8(NotCreated));
    type(QStringLiteral("keep me"));
    window->close();
    QTest::qWait(0);
    ASSERT_FALSE(window.isNull());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(memoText(), QStringLiteral("keep me"));
    ASSERT_EQ(prompter.boxes().size(), 1u);
    EXPECT_TRUE(prompter.last().text.contains(folder.memoPath(0)));
}

TEST_F(MemoWindow, fileStandingAtTheMemoFolderNameIsReportedAndNothingIsLost)
{
    TempProgramFolder::writeBytes(folder.path() + QStringLiteral("files"), "not a folder");
    openShown();
    ASSERT_EQ(prompter.boxes().size(), 1u);
    EXPECT_TRUE(prompter.last().text.contains(folder.memoFolder()));
    expectShows(0, QString(), NotCreated);
    type(QStringLiteral("text"));
    click("cmdSave");
    EXPECT_EQ(prompter.boxes().size(), 2u);
    EXPECT_EQ(status(), utf8(NotCreated));
    window->close();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(memoText(), QStringLiteral("text"));
}

TEST_F(MemoWindow, unreadableMemoDoesNotMoveTheWindow)
{
    if (!QFileInfo(QStringLiteral("/proc/self/mem")).isFile())
        GTEST_SKIP() << "needs a file that fails on reading";
    QDir().mkpath(folder.memoFolder());
    ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/mem"), folder.memoPath(1)));
    folder.writeMemo(0, "zero\r\n");
    openShown();
    type(QStringLiteral("typed "));
    click("cmdNext");
    ASSERT_EQ(prompter.boxes().size(), 1u);
    EXPECT_TRUE(prompter.last().text.contains(folder.memoPath(1)));
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(shownPath(), folder.memoPath(0));
    EXPECT_EQ(memoText(), QStringLiteral("typed zero"));
    EXPECT_EQ(mark(), QStringLiteral("Changed"));
}

TEST_F(MemoWindow, unreadableMemoAtStartIsShownEmptyAndNotOverwrittenOnClose)
{
    if (!QFileInfo(QStringLiteral("/proc/self/mem")).isFile())
        GTEST_SKIP() << "needs a file that fails on reading";
    QDir().mkpath(folder.memoFolder());
    ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/mem"), folder.memoPath(3)));
    folder.writeSettings(settingsWith("LastFileNum=3\r\n"));
    openShown();
    EXPECT_EQ(prompter.boxes().size(), 1u);
    EXPECT_EQ(current(), 3);
    EXPECT_EQ(shownPath(), folder.memoPath(3));
    EXPECT_TRUE(status().startsWith(utf8("状態：")));
    window->close();
    EXPECT_TRUE(QFileInfo(folder.memoPath(3)).isSymLink());
}

TEST_F(MemoWindow, memoThatIsNotCp932IsKeptUnlessEdited)
{
    const QByteArray utf8Bytes = QByteArray("caf\xC3\xA9 \x85\x40\r\n"); // row 0x85 holds no character
    folder.writeSettings(settingsWith("AutoSave=1\r\n"));
    folder.writeMemo(0, utf8Bytes);
    openShown();
    EXPECT_TRUE(status().startsWith(utf8("状態：")));
    EXPECT_NE(status(), utf8(ReadOk));
    EXPECT_EQ(mark(), QString());

    click("cmdNext");
    click("cmdPrev");
    window->close();
    EXPECT_EQ(folder.readMemo(0), utf8Bytes);

    open()->show();
    type(QStringLiteral("x"));
    window->close();
    EXPECT_NE(folder.readMemo(0), utf8Bytes);
}

TEST_F(MemoWindow, explicitSaveWritesAMemoThatIsNotCp932)
{
    folder.writeMemo(0, "\x85\x40\r\n");
    openShown();
    EXPECT_NE(status(), utf8(ReadOk));
    click("cmdSave");
    EXPECT_EQ(status(), utf8("状態：書き込みOK（?に置換）"));
    EXPECT_NE(folder.readMemo(0), QByteArray("\x85\x40\r\n"));
}

TEST_F(MemoWindow, unusableSettingsFileIsReportedAndEditsAreKept)
{
    QDir().mkpath(folder.settingsPath());
    openShown();
    ASSERT_EQ(prompter.boxes().size(), 1u); // LastFileNum could not be read
    expectShows(0, QString(), NotCreated);

    type(QStringLiteral("kept"));
    click("cmdNext"); // AutoSave unknown: saving loses nothing
    EXPECT_EQ(folder.readMemo(0), QByteArray("kept\r\n"));

    window->close(); // LastFileNum cannot be written: said, and the close goes on
    EXPECT_EQ(prompter.boxes().size(), 2u);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }));
    EXPECT_TRUE(folder.memoExists(1));
}

// Jump, free number, delete

struct JumpCase
{
    const char* name;
    const char* answer;
    int shown; // -1: out-of-range message; -2: nothing at all
};

class Jump : public MemoWindow, public ::testing::WithParamInterface<JumpCase>
{
};

TEST_P(Jump, answerOpensTheMemoOrIsRefused)
{
    folder.writeSettings(settingsWith("AutoSave=1\r\nLastFileNum=5\r\n"));
    openShown();
    type(QStringLiteral("edit"));
    prompter.planInput(utf8(GetParam().answer));
    choose("mnuJump");

    ASSERT_GE(prompter.boxes().size(), 1u);
    const ScriptedPrompter::Box& ask = prompter.boxes()[0];
    EXPECT_TRUE(ask.isInput);
    EXPECT_EQ(ask.title, QStringLiteral("Zormet Scrivlet Jump Index"));
    EXPECT_EQ(ask.text, utf8("ジャンプするファイル番号を数字で指定してください。\n"
                             "(ファイル番号は「textXXXX.txt」の「XXXX」の部分です)"));
    EXPECT_EQ(ask.proposed, QStringLiteral("5"));

    const int shown = GetParam().shown;
    if (shown >= 0) {
        EXPECT_EQ(prompter.boxes().size(), 1u);
        expectShows(shown, QString(), NotCreated);
        EXPECT_EQ(folder.readMemo(5), QByteArray("edit\r\n")); // the automatic save came first
        return;
    }
    if (shown == -1) {
        ASSERT_EQ(prompter.boxes().size(), 2u);
        EXPECT_EQ(prompter.last().text, utf8("このファイル番号は範囲外です。"));
        EXPECT_EQ(prompter.last().title, QStringLiteral("Zormet Scrivlet Jump Index"));
        EXPECT_EQ(prompter.last().icon, Prompter::Icon::Exclamation);
    } else {
        EXPECT_EQ(prompter.boxes().size(), 1u);
    }
    EXPECT_EQ(current(), 5);
    EXPECT_EQ(memoText(), QStringLiteral("edit"));
    EXPECT_EQ(mark(), QStringLiteral("Changed"));
    EXPECT_FALSE(folder.memoExists(5));
}

INSTANTIATE_TEST_SUITE_P(Table, Jump,
                         ::testing::Values(JumpCase{"zero", "0", 0}, JumpCase{"last", "9999", 9999},
                                           JumpCase{"tenThousand", "10000", -1}, JumpCase{"minusOne", "-1", -1},
                                           JumpCase{"fraction", "12.7", 12}, JumpCase{"leadingZeros", "0012", 12},
                                           JumpCase{"letters", "abc", -1}, JumpCase{"fullWidth", "１２", 12},
                                           JumpCase{"cancel", "", -2}, JumpCase{"blanksOnly", "  ", -2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MemoWindow, jumpToTheShownMemoReloadsItFromItsFile)
{
    folder.writeMemo(0, "on disk\r\n");
    openShown();
    type(QStringLiteral("lost "));
    prompter.planInput(QStringLiteral("0"));
    choose("mnuJump");
    expectShows(0, QStringLiteral("on disk"), ReadOk);
}

TEST_F(MemoWindow, freeNumberSearchOpensTheChosenGapOrNothing)
{
    for (int n : {0, 1, 2, 3, 4, 6})
        folder.writeMemo(n, "x\r\n");
    openShown();
    prompter.planAnswer(Answer::Cancel);
    choose("mnuAkiFile");
    expectShows(0, QStringLiteral("x"), ReadOk);

    prompter.planAnswer(Answer::No);
    prompter.planAnswer(Answer::Yes);
    choose("mnuAkiFile");
    expectShows(7, QString(), NotCreated);
    EXPECT_TRUE(prompter.last().text.contains(utf8("「0007」")));
}

TEST_F(MemoWindow, freeNumberSearchOffersTheShownMemoThatWasNeverSaved)
{
    for (int n : {0, 1, 2})
        folder.writeMemo(n, "x\r\n");
    folder.writeSettings(settingsWith("LastFileNum=3\r\n"));
    openShown();
    prompter.planAnswer(Answer::Cancel);
    choose("mnuAkiFile");
    EXPECT_TRUE(prompter.last().text.contains(utf8("「0003」")));
}

TEST_F(MemoWindow, deleteAsksWithNoAsDefaultAndNoKeepsTheFile)
{
    folder.writeMemo(0, "x\r\n");
    openShown();
    prompter.planAnswer(Answer::No);
    choose("mnuFileKill");
    ASSERT_EQ(prompter.boxes().size(), 1u);
    const ScriptedPrompter::Box& box = prompter.last();
    EXPECT_EQ(box.text,
              utf8("現在のファイルを削除します。\nよろしいですか？\n\n※これを実行すると元に戻す事は出来ません。"));
    EXPECT_EQ(box.title, QStringLiteral("Scrivlet Kill File"));
    EXPECT_EQ(box.icon, Prompter::Icon::Question);
    EXPECT_EQ(box.buttons, Prompter::Buttons::YesNo);
    EXPECT_EQ(box.defaultButton, Answer::No);
    EXPECT_TRUE(folder.memoExists(0));
    expectShows(0, QStringLiteral("x"), ReadOk);
}

TEST_F(MemoWindow, deleteWithoutAFileOnlySaysSo)
{
    openShown();
    type(QStringLiteral("t"));
    choose("mnuFileKill");
    ASSERT_EQ(prompter.boxes().size(), 1u);
    EXPECT_EQ(prompter.last().text, utf8("ファイルが存在しません。"));
    EXPECT_EQ(prompter.last().title, QStringLiteral("Scrivlet Kill File"));
    EXPECT_EQ(prompter.last().icon, Prompter::Icon::Exclamation);
    EXPECT_EQ(memoText(), QStringLiteral("t"));
    EXPECT_EQ(mark(), QStringLiteral("Changed"));
}

TEST_F(MemoWindow, deletedMemoIsNotResurrectedByTheAutomaticSaveButClosingSavesIt)
{
    folder.writeSettings(settingsWith("AutoSave=1\r\nLastFileNum=4\r\n"));
    folder.writeMemo(4, "x\r\n");
    openShown();
    type(QStringLiteral("unsaved "));
    prompter.planAnswer(Answer::Yes);
    choose("mnuFileKill");
    EXPECT_FALSE(folder.memoExists(4));
    expectShows(4, QString(), NotCreated);

    click("cmdNext");
    click("cmdPrev");
    EXPECT_FALSE(folder.memoExists(4));
    window->close();
    EXPECT_EQ(folder.readMemo(4), QByteArray("\r\n"));
}

// Answers the deletion question with Yes after putting something undeletable at the memo's name.
class SwappingPrompter final : public ui::FailureBoxPrompter
{
public:
    explicit SwappingPrompter(QString path) : path_(std::move(path)) {}
    Answer message(const QString& text, const QString&, Icon, Buttons buttons, Answer) override
    {
        texts << text;
        if (buttons != Buttons::YesNo)
            return Answer::Ok;
        QFile::remove(path_);
        QDir().mkpath(path_ + QStringLiteral("/inside"));
        return Answer::Yes;
    }
    QString input(const QString&, const QString&, const QString&) override { return QString(); }
    QStringList texts;

private:
    QString path_;
    ScopedPrompter installed_{*this};
};

TEST_F(MemoWindow, memoThatCannotBeDeletedLeavesTheWindowAsItWas)
{
    folder.writeMemo(2, "x\r\n");
    folder.writeSettings(settingsWith("LastFileNum=2\r\n"));
    openShown();
    type(QStringLiteral("y"));
    SwappingPrompter swapping(folder.memoPath(2));
    choose("mnuFileKill");
    ASSERT_EQ(swapping.texts.size(), 2);
    EXPECT_TRUE(swapping.texts.last().contains(folder.memoPath(2)));
    EXPECT_EQ(current(), 2);
    EXPECT_EQ(memoText(), QStringLiteral("yx"));
    EXPECT_EQ(mark(), QStringLiteral("Changed"));
    EXPECT_EQ(status(), utf8(ReadOk));
}

TEST_F(MemoWindow, accessKeysPressTheirButtons)
{
    folder.writeMemo(1, "one\r\n");
    openShown();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    // A mnemonic presses its button with a short animation.
    QTest::keyClick(window, Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return current() == 1; }));
    QTest::keyClick(window, Qt::Key_P, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return current() == 0; }));
}

} // namespace

namespace {

using namespace memotest;

// The client area is the designed one; only a frame narrower than designed widens it, to the outer minimum.
TEST_F(MemoWindow, opensWithItsDesignedClientAreaWithinTheMinimumOuterWidth)
{
    open();
    EXPECT_EQ(window->size(), QSize(twips(6015), twips(5175)));
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    const int frame = window->frameGeometry().width() - window->width();
    EXPECT_EQ(window->width(), std::max(twips(6015), twips(6135) - frame));
    EXPECT_EQ(window->height(), twips(5175));
    EXPECT_EQ(memoBox()->geometry(), QRect(0, twips(945), window->width(), twips(5175 - 945)));
}

TEST_F(MemoWindow, enterOnAFocusedButtonPressesIt)
{
    folder.writeMemo(1, "one\r\n");
    openShown();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    const struct
    {
        const char* button;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int current;
    } presses[] = {{"cmdNext", Qt::Key_Return, Qt::NoModifier, 1},
                   {"cmdPrev", Qt::Key_Enter, Qt::KeypadModifier, 0},
                   {"cmdNext", Qt::Key_Enter, Qt::KeypadModifier, 1}};
    for (const auto& p : presses) {
        auto* button = child<QPushButton>(p.button);
        button->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), button) << p.button;
        QTest::keyClick(QApplication::focusWidget(), p.key, p.modifiers);
        EXPECT_EQ(current(), p.current) << p.button;
    }
    // A modifier makes it another key.
    QTest::keyClick(child<QPushButton>("cmdNext"), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(current(), 1);

    auto* hide = child<QPushButton>("cmdMin");
    hide->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(window->isVisible());
}

} // namespace

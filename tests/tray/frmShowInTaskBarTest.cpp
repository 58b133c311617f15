#include "frmShowInTaskBar.h"

#include "Cp932.h"
#include "FakeNotificationArea.h"
#include "QtPrinters.h"
#include "ScopedRuntimeFolder.h"
#include "ScriptedPrompter.h"
#include "ScrivletVersion.h"
#include "SingleInstance.h"
#include "TempProgramFolder.h"
#include "frmScrivlet.h"
#include "mdlScrivlet.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {

// The settings file with the build number the program writes at start, between the keys given.
QByteArray settingsWithBuild(const QByteArray& before = {}, const QByteArray& after = {})
{
    return "[Zormet Scrivlet Setting]\r\n" + before +
           "UpChkBuild=" + QByteArray::number(scrivlet_version::BuildNumber) + "\r\n" + after;
}
const QByteArray settingsAfterStart = settingsWithBuild();

class StartUp : public ::testing::Test
{
protected:
    void SetUp() override { mdlScrivlet::resetForTesting(); }

    frmShowInTaskBar& start(bool notificationArea = true)
    {
        // One at a time: each registers itself as the program's exit.
        form.reset();
        area.set(notificationArea);
        // An area that goes away is given up on at the next turn of the event loop.
        form = std::make_unique<frmShowInTaskBar>(
            frmShowInTaskBar::Desktop{&area, [this] { ++processEnds; }, std::chrono::milliseconds(0)});
        return *form;
    }

    static QPlainTextEdit* memoText(frmScrivlet* memo)
    {
        return memo ? memo->findChild<QPlainTextEdit*>(QStringLiteral("txtDataField")) : nullptr;
    }

    static bool anyWindowVisible()
    {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::any_of(windows.begin(), windows.end(), [](QWidget* w) { return w->isVisible(); });
    }

    // The memo window shown with edits that were never saved.
    frmScrivlet* showAndEdit(frmShowInTaskBar& startup, const QString& typed)
    {
        startup.mnuVisual_Click();
        frmScrivlet* memo = startup.memoWindow();
        QTest::keyClicks(memoText(memo), typed);
        return memo;
    }

    // The program lock goes here, not among the real user's.
    ScopedRuntimeFolder runtime;
    TempProgramFolder folder;
    ScriptedPrompter prompts;
    int processEnds = 0;
    FakeNotificationArea area;
    std::unique_ptr<frmShowInTaskBar> form;
};

TEST_F(StartUp, addsTheIconWritesTheBuildNumberAndShowsNothing)
{
    folder.writeSettings("[Zormet Scrivlet Setting]\r\nUpChkBuild=999\r\nAutoSave=1\r\n");
    frmShowInTaskBar& startup = start();
    ASSERT_TRUE(startup.Form_Load());

    EXPECT_TRUE(startup.isIconShown());
    EXPECT_EQ(startup.trayIcon()->toolTip(), QStringLiteral("スクリブレット"));
    EXPECT_FALSE(startup.trayIcon()->icon().isNull());
    EXPECT_EQ(folder.readSettings(), settingsWithBuild({}, "AutoSave=1\r\n"));
    EXPECT_EQ(startup.memoWindow(), nullptr);
    EXPECT_FALSE(anyWindowVisible());
    EXPECT_FALSE(QApplication::quitOnLastWindowClosed());
    EXPECT_TRUE(prompts.boxes().empty());
    EXPECT_FALSE(startup.isStandalone());
}

TEST_F(StartUp, iconMenuHasTheShowItemInBoldThenExit)
{
    frmShowInTaskBar& startup = start();
    QMenu* menu = startup.mnuMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->objectName(), QStringLiteral("mnuMenu"));
    EXPECT_EQ(menu->title(), QStringLiteral("Menu"));
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->objectName(), QStringLiteral("mnuVisual"));
    EXPECT_EQ(items[0]->text(), QStringLiteral("書き込みフォーム表示(&V)"));
    EXPECT_EQ(items[1]->objectName(), QStringLiteral("mnuExit"));
    EXPECT_EQ(items[1]->text(), QStringLiteral("終了(&X)"));
    EXPECT_EQ(menu->defaultAction(), items[0]);
    EXPECT_TRUE(items[0]->font().bold());
    EXPECT_FALSE(items[1]->font().bold());
    // D-Bus panels draw the menu they are given; nothing else would let them show it.
    ASSERT_TRUE(startup.Form_Load());
    EXPECT_EQ(startup.trayIcon()->contextMenu(), menu);
}

TEST_F(StartUp, secondCopyFromTheSameFolderSaysSoAndLeavesNoTrace)
{
    SingleInstance running;
    ASSERT_EQ(running.acquire(folder.path()), SingleInstance::Result::Acquired);

    frmShowInTaskBar& startup = start();
    EXPECT_FALSE(startup.Form_Load());

    ASSERT_EQ(prompts.boxes().size(), 1u);
    const ScriptedPrompter::Box& box = prompts.last();
    EXPECT_EQ(box.text, QStringLiteral("このアプリケーションを複数起動することはできません。"));
    EXPECT_EQ(box.title, QStringLiteral("Zormet Scrivlet"));
    EXPECT_EQ(box.icon, Prompter::Icon::Exclamation);
    EXPECT_EQ(box.buttons, Prompter::Buttons::Ok);
    EXPECT_EQ(startup.trayIcon(), nullptr);
    EXPECT_FALSE(QFileInfo::exists(folder.settingsPath()));
    EXPECT_EQ(startup.memoWindow(), nullptr);
    EXPECT_TRUE(running.isHeld());
}

TEST_F(StartUp, withoutTheMemoCodecItRefusesToStartAndLeavesNoTrace)
{
    for (bool notificationArea : {true, false}) {
        SCOPED_TRACE(notificationArea);
        prompts.clear();
        bool started = true;
        {
            const cp932::ScopedConverterFailure noCodec(QStringLiteral("no converter"));
            started = start(notificationArea).Form_Load();
        }
        EXPECT_FALSE(started);
        ASSERT_EQ(prompts.boxes().size(), 1u);
        const ScriptedPrompter::Box& box = prompts.last();
        EXPECT_EQ(
            box.text,
            QString::fromUtf8("文字コードShift_JIS（CP932）の変換機能を準備できませんでした。\n\n理由：no converter\n\n"
                              "メモを正しく読み書きできないため、起動を中止します。"));
        EXPECT_EQ(box.title, QStringLiteral("Zormet Scrivlet"));
        EXPECT_EQ(box.icon, Prompter::Icon::Exclamation);
        EXPECT_FALSE(form->isIconShown());
        EXPECT_EQ(form->memoWindow(), nullptr);
        EXPECT_FALSE(QFileInfo::exists(folder.settingsPath()));
        // It did not take the folder either.
        SingleInstance next;
        EXPECT_EQ(next.acquire(folder.path()), SingleInstance::Result::Acquired);
    }
}

TEST_F(StartUp, aCopyInAnotherFolderDoesNotStopThisOne)
{
    QTemporaryDir otherFolder;
    SingleInstance other;
    ASSERT_EQ(other.acquire(otherFolder.path()), SingleInstance::Result::Acquired);

    EXPECT_TRUE(start().Form_Load());
    EXPECT_TRUE(prompts.boxes().empty());
    EXPECT_EQ(folder.readSettings(), settingsAfterStart);
}

TEST_F(StartUp, showItemLoadsTheLastMemoShowsItAndPutsTheCaretInTheText)
{
    folder.writeSettings("[Zormet Scrivlet Setting]\r\nLastFileNum=3\r\n");
    folder.writeMemo(3, "three\r\n");
    frmShowInTaskBar& startup = start();
    ASSERT_TRUE(startup.Form_Load());

    startup.mnuVisual_Click();
    frmScrivlet* memo = startup.memoWindow();
    ASSERT_NE(memo, nullptr);
    EXPECT_TRUE(memo->isVisible());
    ASSERT_NE(memoText(memo), nullptr);
    EXPECT_EQ(memoText(memo)->toPlainText(), QStringLiteral("three"));
    EXPECT_EQ(memo->focusWidget(), memoText(memo));
    QTRY_VERIFY(memo->isActiveWindow());

    // Hidden, it comes back as it was; it is loaded only once.
    memoText(memo)->moveCursor(QTextCursor::End);
    QTest::keyClicks(memoText(memo), QStringLiteral(" kept"));
    memo->hide();
    startup.mnuVisual_Click();
    EXPECT_EQ(startup.memoWindow(), memo);
    EXPECT_TRUE(memo->isVisible());
    EXPECT_EQ(memoText(memo)->toPlainText(), QStringLiteral("three kept"));
}

TEST_F(StartUp, closedMemoWindowIsLoadedAgainFromItsSavedMemo)
{
    frmShowInTaskBar& startup = start();
    ASSERT_TRUE(startup.Form_Load());
    frmScrivlet* first = showAndEdit(startup, QStringLiteral("written on close"));
    ASSERT_TRUE(first->close());
    QTRY_COMPARE(startup.memoWindow(), nullptr);

    startup.mnuVisual_Click();
    ASSERT_NE(startup.memoWindow(), nullptr);
    EXPECT_EQ(memoText(startup.memoWindow())->toPlainText(), QStringLiteral("written on close"));
}

TEST_F(StartUp, iconEventsShowTheWindowOrNothing)
{
    struct Case
    {
        QSystemTrayIcon::ActivationReason reason;
        bool showsWindow;
        bool showsMenu;
    };
    const Case cases[] = {
        {QSystemTrayIcon::Trigger, true, false},
        {QSystemTrayIcon::DoubleClick, true, false},
        // The icon's own menu opens on Context, by Qt or by the panel, never a second one from here.
        {QSystemTrayIcon::Context, false, false},
        {QSystemTrayIcon::MiddleClick, false, false},
        {QSystemTrayIcon::Unknown, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.reason));
        mdlScrivlet::resetForTesting();
        frmShowInTaskBar& startup = start();
        ASSERT_TRUE(startup.Form_Load());
        startup.Form_MouseMove(c.reason);
        EXPECT_EQ(startup.memoWindow() != nullptr && startup.memoWindow()->isVisible(), c.showsWindow);
        if (c.showsMenu) {
            QTRY_VERIFY(startup.mnuMenu()->isVisible());
        } else {
            EXPECT_FALSE(startup.mnuMenu()->isVisible());
        }
        if (!c.showsWindow) {
            EXPECT_EQ(startup.memoWindow(), nullptr);
        }
        form.reset();
    }
}

TEST_F(StartUp, exitFromEitherMenuRemovesTheIconAndEndsWithoutSaving)
{
    folder.writeSettings("[Zormet Scrivlet Setting]\r\nLastFileNum=5\r\n");
    folder.writeMemo(5, "five\r\n");
    const std::function<void(frmShowInTaskBar&)> exits[] = {
        [](frmShowInTaskBar& startup) { startup.mnuMenu()->actions().at(1)->trigger(); },
        [](frmShowInTaskBar&) { mdlScrivlet::exitProgram(); },
    };
    for (const auto& exit : exits) {
        mdlScrivlet::resetForTesting();
        processEnds = 0;
        frmShowInTaskBar& startup = start();
        ASSERT_TRUE(startup.Form_Load());
        frmScrivlet* memo = showAndEdit(startup, QStringLiteral(" lost"));
        const QByteArray settingsBefore = folder.readSettings();

        exit(startup);

        EXPECT_EQ(processEnds, 1);
        EXPECT_FALSE(startup.isIconShown());
        EXPECT_EQ(startup.memoWindow(), memo);
        EXPECT_EQ(folder.readMemo(5), QByteArray("five\r\n"));
        EXPECT_EQ(folder.readSettings(), settingsBefore);
        // The next copy may start at once.
        SingleInstance next;
        EXPECT_EQ(next.acquire(folder.path()), SingleInstance::Result::Acquired);
        form.reset();
    }
}

TEST_F(StartUp, endOfSessionClosesTheMemoWindowAsTheSystemDoes)
{
    folder.writeSettings("[Zormet Scrivlet Setting]\r\nLastFileNum=2\r\n");
    frmShowInTaskBar& startup = start();
    ASSERT_TRUE(startup.Form_Load());
    showAndEdit(startup, QStringLiteral("saved at log-off"));

    EXPECT_TRUE(startup.sessionEnding());

    EXPECT_FALSE(startup.isIconShown());
    EXPECT_EQ(folder.readMemo(2), QByteArray("saved at log-off\r\n"));
    EXPECT_EQ(folder.readSettings(), settingsWithBuild("LastFileNum=2\r\n"));
    QTRY_COMPARE(startup.memoWindow(), nullptr);
    EXPECT_EQ(processEnds, 0);
}

TEST_F(StartUp, endOfSessionWithoutTheMemoWindowOnlyRemovesTheIcon)
{
    frmShowInTaskBar& startup = start();
    ASSERT_TRUE(startup.Form_Load());
    EXPECT_TRUE(startup.sessionEnding());
    EXPECT_FALSE(startup.isIconShown());
    EXPECT_EQ(folder.readSettings(), settingsAfterStart);
    EXPECT_FALSE(QFileInfo::exists(folder.memoPath(0)));
}

// Every way the system ends the program: a termination signal, the session manager's save request,
// the event loop ended from outside.
enum class SessionEnd
{
    Signal,
    Commit,
    LoopEnded
};

TEST_F(StartUp, endOfSessionKeepsEverythingWhenTheMemoCannotBeSaved)
{
    for (const bool notificationArea : {true, false}) {
        for (const SessionEnd how : {SessionEnd::Signal, SessionEnd::Commit, SessionEnd::LoopEnded}) {
            SCOPED_TRACE(testing::Message()
                         << "notification area " << notificationArea << ", way " << static_cast<int>(how));
            mdlScrivlet::resetForTesting();
            prompts.clear();
            processEnds = 0;
            QFile::remove(folder.memoPath(0));
            frmShowInTaskBar& startup = start(notificationArea);
            ASSERT_TRUE(startup.Form_Load());
            // A folder standing where the memo file belongs.
            ASSERT_TRUE(QDir().mkpath(folder.memoPath(0)));
            frmScrivlet* memo = showAndEdit(startup, QStringLiteral("not lost"));
            auto keptAsItWas = [&] {
                return !prompts.boxes().empty() && processEnds == 0 && startup.isIconShown() == notificationArea &&
                       startup.memoWindow() == memo && memo->isVisible() &&
                       memoText(memo)->toPlainText() == QStringLiteral("not lost");
            };

            if (how == SessionEnd::LoopEnded) {
                bool ranOn = false;
                bool keptWhileRunningOn = false;
                QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
                QTimer watch;
                QObject::connect(&watch, &QTimer::timeout, [&] {
                    // The failed save has been reported: this is the loop running on. Ended again once
                    // the memo can be saved, it returns.
                    if (prompts.boxes().empty() || ranOn)
                        return;
                    ranOn = true;
                    keptWhileRunningOn = keptAsItWas();
                    QDir(folder.memoPath(0)).removeRecursively();
                    QCoreApplication::exit(0);
                });
                watch.start(1);
                startup.runUntilEnded();
                EXPECT_TRUE(ranOn);
                EXPECT_TRUE(keptWhileRunningOn);
                EXPECT_EQ(folder.readMemo(0), QByteArray("not lost\r\n"));
            } else {
                EXPECT_FALSE(how == SessionEnd::Signal ? startup.sessionEnding() : startup.commitSession());
                QCoreApplication::processEvents();
                EXPECT_TRUE(keptAsItWas());
                QDir(folder.memoPath(0)).removeRecursively();
            }
            EXPECT_EQ(processEnds, 0);
            form.reset();
        }
    }
}

TEST_F(StartUp, aSavedSessionEndWithoutANotificationAreaEndsOnlyAfterTheHandlerHasReturned)
{
    frmShowInTaskBar& startup = start(false);
    ASSERT_TRUE(startup.Form_Load());
    showAndEdit(startup, QStringLiteral("saved first"));

    EXPECT_TRUE(startup.commitSession());
    EXPECT_EQ(processEnds, 0);
    EXPECT_EQ(folder.readMemo(0), QByteArray("saved first\r\n"));
    QTRY_COMPARE(processEnds, 1);
}

TEST_F(StartUp, aSavedSessionEndWithTheIconKeepsTheProgramForACancelledSessionEnd)
{
    frmShowInTaskBar& startup = start();
    ASSERT_TRUE(startup.Form_Load());
    showAndEdit(startup, QStringLiteral("saved first"));

    EXPECT_TRUE(startup.commitSession());
    QTRY_COMPARE(startup.memoWindow(), nullptr);
    EXPECT_EQ(folder.readMemo(0), QByteArray("saved first\r\n"));
    EXPECT_TRUE(startup.isIconShown());
    EXPECT_EQ(processEnds, 0);
}

TEST_F(StartUp, aSignalWithoutANotificationAreaLeavesTheEndToTheEventLoop)
{
    frmShowInTaskBar& startup = start(false);
    ASSERT_TRUE(startup.Form_Load());
    showAndEdit(startup, QStringLiteral("saved at the signal"));

    EXPECT_TRUE(startup.sessionEnding());
    QCoreApplication::processEvents();
    EXPECT_EQ(folder.readMemo(0), QByteArray("saved at the signal\r\n"));
    EXPECT_EQ(processEnds, 0);
    // The event loop ended from outside afterwards ends at once.
    QTimer::singleShot(0, [] { QCoreApplication::exit(3); });
    EXPECT_EQ(startup.runUntilEnded(), 3);
}

TEST_F(StartUp, withoutANotificationAreaTheMemoWindowComesUpAtOnce)
{
    frmShowInTaskBar& startup = start(false);
    ASSERT_TRUE(startup.Form_Load());

    EXPECT_TRUE(startup.isStandalone());
    EXPECT_EQ(startup.trayIcon(), nullptr);
    frmScrivlet* memo = startup.memoWindow();
    ASSERT_NE(memo, nullptr);
    EXPECT_TRUE(memo->isVisible());
    EXPECT_EQ(memo->windowFlags() & Qt::WindowType_Mask, Qt::Window);
    EXPECT_EQ(memo->focusWidget(), memoText(memo));
    EXPECT_EQ(folder.readSettings(), settingsAfterStart);
}

TEST_F(StartUp, theIconOrTheWindowComesWithTheDesktopsFirstAnswer)
{
    for (const bool notificationArea : {true, false}) {
        SCOPED_TRACE(notificationArea);
        mdlScrivlet::resetForTesting();
        frmShowInTaskBar& startup = start();
        area.unanswered();
        ASSERT_TRUE(startup.Form_Load());
        EXPECT_EQ(startup.trayIcon(), nullptr);
        EXPECT_EQ(startup.memoWindow(), nullptr);

        area.set(notificationArea);

        EXPECT_EQ(startup.isIconShown(), notificationArea);
        EXPECT_EQ(startup.isStandalone(), !notificationArea);
        EXPECT_EQ(startup.memoWindow() != nullptr && startup.memoWindow()->isVisible(), !notificationArea);
        form.reset();
    }
}

TEST_F(StartUp, aNotificationAreaThatComesLateTakesTheIconAndLeavesTheWindowShown)
{
    frmShowInTaskBar& startup = start(false);
    ASSERT_TRUE(startup.Form_Load());
    area.set(false);
    QCoreApplication::processEvents();
    EXPECT_TRUE(startup.isStandalone());
    EXPECT_EQ(startup.trayIcon(), nullptr);
    frmScrivlet* memo = startup.memoWindow();
    ASSERT_NE(memo, nullptr);

    area.set(true);

    EXPECT_FALSE(startup.isStandalone());
    ASSERT_NE(startup.trayIcon(), nullptr);
    EXPECT_TRUE(startup.isIconShown());
    EXPECT_EQ(startup.trayIcon()->contextMenu(), startup.mnuMenu());
    EXPECT_EQ(startup.memoWindow(), memo);
    EXPECT_TRUE(memo->isVisible());
    EXPECT_EQ(memo->windowFlags() & Qt::WindowType_Mask, Qt::Tool);

    // Now a tray program: 最小化 hides, and closing the window does not end the program.
    auto* minimise = memo->findChild<QPushButton*>(QStringLiteral("cmdMin"));
    ASSERT_NE(minimise, nullptr);
    minimise->click();
    EXPECT_FALSE(memo->isVisible());
    EXPECT_FALSE(memo->isMinimized());
    startup.Form_MouseMove(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(memo->isVisible());
    EXPECT_TRUE(memo->close());
    EXPECT_EQ(processEnds, 0);
    EXPECT_EQ(folder.readSettings(), settingsWithBuild({}, "LastFileNum=0\r\n"));
}

TEST_F(StartUp, aNotificationAreaGoneForLongShowsTheWindowUntilItReturns)
{
    frmShowInTaskBar& startup = start();
    ASSERT_TRUE(startup.Form_Load());

    // A panel restarting is back before the window needs to come up.
    area.set(false);
    area.set(true);
    QCoreApplication::processEvents();
    EXPECT_EQ(startup.memoWindow(), nullptr);
    EXPECT_FALSE(startup.isStandalone());
    EXPECT_TRUE(startup.isIconShown());

    area.set(false);
    EXPECT_EQ(startup.memoWindow(), nullptr);
    QTRY_VERIFY(startup.isStandalone());
    frmScrivlet* memo = startup.memoWindow();
    ASSERT_NE(memo, nullptr);
    EXPECT_TRUE(memo->isVisible());
    EXPECT_EQ(memo->windowFlags() & Qt::WindowType_Mask, Qt::Window);
    EXPECT_EQ(memo->focusWidget(), memoText(memo));
    area.set(false);
    QCoreApplication::processEvents();
    EXPECT_EQ(prompts.boxes().size(), 0u);

    area.set(true);
    EXPECT_FALSE(startup.isStandalone());
    EXPECT_TRUE(startup.isIconShown());
    EXPECT_TRUE(memo->isVisible());
    EXPECT_EQ(memo->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
}

TEST_F(StartUp, noLookAfterTheProgramEnds)
{
    frmShowInTaskBar& startup = start();
    ASSERT_TRUE(startup.Form_Load());
    mdlScrivlet::exitProgram();
    area.set(false);
    QCoreApplication::processEvents();
    EXPECT_EQ(startup.memoWindow(), nullptr);
    EXPECT_EQ(processEnds, 1);
}

TEST_F(StartUp, minimiseAndMaximiseOfferedByTheDesktopActAsTheWindowsOwnButtons)
{
    for (const bool tray : {true, false}) {
        SCOPED_TRACE(tray);
        mdlScrivlet::resetForTesting();
        frmShowInTaskBar& startup = start(tray);
        ASSERT_TRUE(startup.Form_Load());
        startup.mnuVisual_Click();
        frmScrivlet* memo = startup.memoWindow();
        ASSERT_NE(memo, nullptr);

        memo->setWindowState(Qt::WindowMaximized);
        QTRY_VERIFY(!(memo->windowState() & Qt::WindowMaximized));
        EXPECT_TRUE(memo->isVisible());

        memo->setWindowState(Qt::WindowMinimized);
        if (tray) {
            // Hidden, as by 最小化: the icon brings it back.
            QTRY_VERIFY(!memo->isVisible());
            EXPECT_FALSE(memo->isMinimized());
        } else {
            // In the task bar, where the user finds it again.
            QTest::qWait(0);
            QCoreApplication::processEvents();
            EXPECT_TRUE(memo->isMinimized());
        }
        EXPECT_EQ(processEnds, 0);
        form.reset();
    }
}

} // namespace

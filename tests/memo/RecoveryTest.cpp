#include "FolderLock.h"
#include "MemoCompaction.h"
#include "MemoWindowFixture.h"
#include "RecoveryStore.h"
#include "ScopedRuntimeFolder.h"

#include <QDateTime>
#include <QFileInfo>

namespace {

using namespace memotest;

// Points the user's state folder elsewhere for one test.
class ScopedStateFolder
{
public:
    explicit ScopedStateFolder(const QString& folder) : saved_(qgetenv("XDG_STATE_HOME"))
    {
        qputenv("XDG_STATE_HOME", QFile::encodeName(folder));
    }
    ~ScopedStateFolder() { qputenv("XDG_STATE_HOME", saved_); }
    ScopedStateFolder(const ScopedStateFolder&) = delete;
    ScopedStateFolder& operator=(const ScopedStateFolder&) = delete;

private:
    QByteArray saved_;
};

const char* const Offer = "前回保存されなかった編集内容があります。復元しますか？";

class Recovery : public MemoWindow
{
protected:
    RecoveryStore store() const { return RecoveryStore::forProgramFolder(folder.path()); }
    bool hasCopy(int number) const { return QFileInfo::exists(store().filePath(number)); }
    QString copyText(int number) const
    {
        QString text;
        QString error;
        EXPECT_TRUE(store().read(number, &text, &error)) << error.toStdString();
        return text;
    }
    // A copy left by a run that ended without saving, newer than the memo file.
    void leaveCopy(int number, const QString& text)
    {
        QString error;
        ASSERT_TRUE(store().save(number, text, &error)) << error.toStdString();
        if (folder.memoExists(number)) {
            QFile memoFile(folder.memoPath(number));
            ASSERT_TRUE(memoFile.open(QIODevice::ReadWrite));
            ASSERT_TRUE(
                memoFile.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
        }
    }
    void typeAndWaitForCopy(const QString& text)
    {
        type(text);
        EXPECT_TRUE(QTest::qWaitFor([&] { return hasCopy(current()); }, 5000));
    }

    const ScopedRecoveryDelay quickly{20};
};

TEST_F(Recovery, typingLeavesACopyAfterAPauseAndEscapeWritesItAtOnce)
{
    folder.writeMemo(0, "old\r\n");
    openShown();
    memoBox()->insertPlainText(utf8("新しい😀 "));
    EXPECT_TRUE(QTest::qWaitFor([&] { return hasCopy(0); }, 5000));
    EXPECT_EQ(copyText(0), utf8("新しい😀 old"));
    EXPECT_EQ(folder.readMemo(0), QByteArray("old\r\n"));

    type(QStringLiteral("more "));
    QTest::keyClick(memoBox(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(copyText(0), utf8("新しい😀 more old"));
}

enum class End
{
    Save,
    Next,
    Previous,
    Close,
    Exit,
    HideThenExit,
    HideOnly,
    SaveCancelledOverAChangedFile
};

struct EndCase
{
    const char* name;
    QByteArray settings;
    End end;
    bool copyStays;
};

class EditsEnd : public Recovery, public ::testing::WithParamInterface<EndCase>
{
};

TEST_P(EditsEnd, theCopyGoesWhenTheEditsEndTheOrdinaryWay)
{
    mdlScrivlet::setExitHandler([] {});
    folder.writeSettings(settingsWith(GetParam().settings));
    openShown();
    const int shown = current();
    typeAndWaitForCopy(QStringLiteral("typed"));
    switch (GetParam().end) {
    case End::Save:
        click("cmdSave");
        break;
    case End::Next:
        click("cmdNext");
        break;
    case End::Previous:
        click("cmdPrev");
        break;
    case End::Close:
        window->close();
        break;
    case End::Exit:
        choose("mnuExit");
        break;
    case End::HideThenExit:
        click("cmdMin");
        choose("mnuExit");
        break;
    case End::HideOnly:
        click("cmdMin");
        break;
    case End::SaveCancelledOverAChangedFile:
        folder.writeMemo(shown, "theirs\r\n");
        prompter.planAnswer(Answer::Cancel);
        click("cmdSave");
        break;
    }
    EXPECT_EQ(hasCopy(shown), GetParam().copyStays);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EditsEnd,
    ::testing::Values(EndCase{"saved", "", End::Save, false},
                      EndCase{"automaticallySavedByNext", "AutoSave=1\r\n", End::Next, false},
                      EndCase{"discardedByNext", "AutoSave=0\r\n", End::Next, false},
                      EndCase{"discardedByPrevious", "LastFileNum=1\r\nAutoSave=0\r\n", End::Previous, false},
                      EndCase{"closed", "", End::Close, false}, EndCase{"exit", "", End::Exit, false},
                      EndCase{"hiddenThenExit", "", End::HideThenExit, false},
                      EndCase{"hiddenOnly", "", End::HideOnly, true},
                      EndCase{"saveCancelledOverAChangedFile", "", End::SaveCancelledOverAChangedFile, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Recovery, openingAMemoWithANewerCopyOffersItAndYesShowsItUnsaved)
{
    folder.writeMemo(0, "saved\r\n");
    leaveCopy(0, QStringLiteral("recovered\nlines"));
    prompter.planAnswer(Answer::Yes);
    open();

    ASSERT_EQ(prompter.boxes().size(), 1u);
    EXPECT_TRUE(prompter.last().text.startsWith(utf8(Offer)));
    EXPECT_EQ(prompter.last().title, QStringLiteral("Zormet Scrivlet"));
    EXPECT_EQ(memoText(), QStringLiteral("recovered\nlines"));
    EXPECT_EQ(mark(), QStringLiteral("Changed"));
    EXPECT_EQ(folder.readMemo(0), QByteArray("saved\r\n")) << "recovery never writes the memo itself";
    EXPECT_TRUE(hasCopy(0));

    click("cmdSave");
    EXPECT_EQ(folder.readMemo(0), QByteArray("recovered\r\nlines\r\n"));
    EXPECT_TRUE(prompter.boxes().size() == 1u) << "our own memo file is not someone else's change";
    EXPECT_FALSE(hasCopy(0));
}

TEST_F(Recovery, noRemovesTheCopyAndShowsTheFile)
{
    folder.writeMemo(0, "saved\r\n");
    leaveCopy(0, QStringLiteral("recovered"));
    prompter.planAnswer(Answer::No);
    open();
    EXPECT_EQ(memoText(), QStringLiteral("saved"));
    EXPECT_EQ(mark(), QString());
    EXPECT_FALSE(hasCopy(0));
    EXPECT_EQ(folder.readMemo(0), QByteArray("saved\r\n"));
}

TEST_F(Recovery, startUpOpensTheMemoWithTheCopyAndLaterOpeningsOfferItToo)
{
    folder.writeSettings(settingsWith("LastFileNum=2\r\nAutoSave=0\r\n"));
    leaveCopy(7, QStringLiteral("never saved")); // memo 7 has no file
    prompter.planAnswer(Answer::Yes);
    open();
    EXPECT_EQ(current(), 7);
    EXPECT_EQ(memoText(), QStringLiteral("never saved"));
    EXPECT_FALSE(folder.memoExists(7));

    // Offered again when the memo is opened by any road, until answered No.
    leaveCopy(9, QStringLiteral("nine"));
    prompter.planInput(QStringLiteral("9"));
    prompter.planAnswer(Answer::No);
    choose("mnuJump");
    EXPECT_EQ(current(), 9);
    EXPECT_TRUE(prompter.last().text.startsWith(utf8(Offer)));
    EXPECT_EQ(memoText(), QString());
    EXPECT_FALSE(hasCopy(9));
    EXPECT_FALSE(hasCopy(7)) << "the recovered edits of memo 7 were discarded by moving on";
}

// The ways a copy used to be offered over the wrong file, or never: older than a memo rewritten since, a
// memo written by another program after the copy, a memo replaced by compaction. Each comes back as a
// new memo at the lowest free number; the memo at its own number is left as it is.
TEST_F(Recovery, aCopyWhoseMemoIsNoLongerTheFileItWasTypedOverComesBackAsANewMemo)
{
    const ScopedRuntimeFolder runtime;
    auto compact = [&] {
        utility::MainProgramLock lock(folder.path());
        ASSERT_TRUE(utility::compactMemoNumbers(folder.memoFolder(), {0, 9}, 10, prompter, lock).completed);
    };
    enum class Since
    {
        RewrittenAfterAnOldCopy,
        AppendedByAnotherProgram,
        Compacted
    };
    for (const Since since : {Since::RewrittenAfterAnOldCopy, Since::AppendedByAnotherProgram, Since::Compacted}) {
        SCOPED_TRACE(int(since));
        QDir(folder.memoFolder()).removeRecursively();
        QDir(store().folder()).removeRecursively();
        mdlScrivlet::resetForTesting();
        folder.writeMemo(0, "zero\r\n");
        folder.writeMemo(2, "two\r\n");
        folder.writeMemo(5, "five\r\n");
        if (since == Since::RewrittenAfterAnOldCopy) {
            leaveCopy(2, QStringLiteral("older edits"));
            QFile copy(store().filePath(2));
            ASSERT_TRUE(copy.open(QIODevice::ReadWrite));
            ASSERT_TRUE(copy.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
            folder.writeMemo(2, "rewritten since\r\n");
        } else {
            folder.writeSettings(settingsWith("LastFileNum=2\r\n"));
            openShown();
            typeAndWaitForCopy(QStringLiteral("typed "));
            delete window.data(); // a crash: nothing saved, the copy stays
            if (since == Since::AppendedByAnotherProgram)
                folder.writeMemo(2, "two\r\nappended\r\n");
            else
                compact();
        }
        const QByteArray atTwo = folder.readMemo(2);
        prompter.clear();
        open();
        ASSERT_EQ(prompter.boxes().size(), 1u);
        EXPECT_TRUE(prompter.last().text.startsWith(utf8(Offer)));
        const int free = since == Since::Compacted ? 3 : 1;
        EXPECT_TRUE(prompter.last().text.contains(QStringLiteral("text%1.txt").arg(free, 4, 10, QLatin1Char('0'))));
        EXPECT_EQ(current(), free);
        EXPECT_TRUE(memoText().startsWith(since == Since::RewrittenAfterAnOldCopy ? QStringLiteral("older edits")
                                                                                  : QStringLiteral("typed ")));
        EXPECT_EQ(folder.readMemo(2), atTwo) << "the memo now at the number is left as it is";
        EXPECT_FALSE(hasCopy(2));
        EXPECT_TRUE(hasCopy(free));
        delete window.data();
    }
}

TEST_F(Recovery, dismissingTheQuestionKeepsTheCopyForTheNextStart)
{
    folder.writeMemo(0, "saved\r\n");
    leaveCopy(0, QStringLiteral("recovered"));
    prompter.planAnswer(Answer::Cancel); // Esc or the close box
    open();
    EXPECT_EQ(prompter.last().buttons, Prompter::Buttons::YesNoOrLater);
    EXPECT_TRUE(prompter.last().text.contains(utf8("いいえ：編集内容の控えを削除します")));
    EXPECT_EQ(memoText(), QStringLiteral("saved"));
    EXPECT_TRUE(hasCopy(0));
}

TEST_F(Recovery, aCopyThatCannotBeWrittenIsReportedOnce)
{
    // A file where the state folder belongs.
    const QString blocked = folder.path() + QStringLiteral("state");
    TempProgramFolder::writeBytes(blocked, "not a folder");
    const ScopedStateFolder state(blocked);
    openShown();
    type(QStringLiteral("a"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !prompter.boxes().empty(); }, 5000));
    type(QStringLiteral("b"));
    // Esc writes the copy at once instead of after the pause.
    QTest::keyClick(memoBox(), Qt::Key_Escape);
    ASSERT_EQ(prompter.boxes().size(), 1u);
    EXPECT_TRUE(prompter.last().text.contains(utf8("控えを保存できませんでした")));
    EXPECT_EQ(memoText(), QStringLiteral("ab"));
}

} // namespace

#include "MemoDisturbance.h"
#include "MemoWindowFixture.h"
#include "ShownMemo.h"

#include <QDir>
#include <atomic>
#include <cstdio>
#include <thread>

namespace {

using namespace memotest;

// A sync engine or another program changes the shown memo: unedited, it is read again within a second;
// edited or removed, the text stays and the status line tells.
TEST_F(MemoWindow, aMemoChangedUnderTheWindowIsReadAgainOrToldOfWithinASecond)
{
    for (const Disturbance disturbance : {Disturbance::Created, Disturbance::Changed, Disturbance::ReplacedByRename,
                                          Disturbance::RewrittenWithItsTimeSetBack, Disturbance::Removed}) {
        for (const bool edited : {false, true}) {
            SCOPED_TRACE(std::string(disturbanceName(disturbance)) + (edited ? " edited" : " unedited"));
            delete window.data(); // as after a crash: the edits may have left a recovery copy
            QDir(RecoveryStore::forProgramFolder(folder.path()).folder()).removeRecursively();
            mdlScrivlet::resetForTesting();
            QFile::remove(folder.memoPath(3));
            prepareMemo(folder, 3, disturbance);
            folder.writeSettings(settingsWith("LastFileNum=3\r\n"));
            openShown();
            if (edited)
                type(QStringLiteral("typed "));
            const QString before = memoText();
            disturbMemo(folder, 3, disturbance);
            const bool removed = disturbance == Disturbance::Removed;
            const char* expected = removed  ? "状態：外部で削除（未保存）"
                                   : edited ? "状態：外部で変更されました"
                                            : "状態：外部の変更を読み込み";
            EXPECT_TRUE(QTest::qWaitFor([&] { return status() == utf8(expected); }, 1000)) << status().toStdString();
            EXPECT_EQ(memoText(),
                      edited || removed ? before : QString::fromUtf8(disturbedBytes(disturbance)).trimmed());
            EXPECT_EQ(mark().isEmpty(), !edited && !removed);
        }
    }
}

// A sync of a thousand memos, the shown one among them, read again once; the program's own saves and
// a new memo of keep-both never count as someone else's change.
TEST_F(MemoWindow, aBurstOfAThousandChangesReadsTheShownMemoOnceAndOwnWritesNever)
{
    folder.writeMemo(0, "mine\r\n");
    openShown();
    int readings = 0;
    QObject::connect(&window->shownMemo(), &ShownMemo::readAgain, window, [&] { ++readings; });
    type(QStringLiteral("own "));
    click("cmdSave");
    std::atomic<bool> synced{false};
    std::thread engine([&] {
        for (int n = 1; n <= 1000; ++n) {
            const QString temporary = folder.memoFolder() + QStringLiteral(".syncthing.tmp");
            TempProgramFolder::writeBytes(temporary, QByteArray::number(n) + "\r\n");
            // As sync engines do: the finished file replaces the old one in one step.
            std::rename(QFile::encodeName(temporary).constData(),
                        QFile::encodeName(folder.memoPath(n == 500 ? 0 : n)).constData());
        }
        synced = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return synced.load(); }, 60000));
    engine.join();
    // Memo 0 changed once, so it can have been read again once at the most.
    EXPECT_TRUE(QTest::qWaitFor([&] { return memoText() == QStringLiteral("500"); }, 1000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return status() == utf8("状態：外部の変更を読み込み"); }, 1000));
    EXPECT_EQ(readings, 1);
}

} // namespace

namespace {

using namespace memotest;

// Closing the window writes a memo only when it has edits or no file: writing back an unedited one
// would turn its lone LF and CR into CR LF, and every sync engine would send it again.
TEST_F(MemoWindow, closingLeavesAnUneditedMemoByteForByteAndStillCreatesAMissingOne)
{
    const QByteArray bytes = "lone\nLF and lone\rCR\r\n";
    folder.writeMemo(0, bytes);
    folder.writeSettings(settingsWith("LastFileNum=0\r\n"));
    openShown();
    window->close();
    EXPECT_EQ(folder.readMemo(0), bytes);

    folder.writeSettings(settingsWith("LastFileNum=1\r\n"));
    openShown();
    window->close();
    EXPECT_EQ(folder.readMemo(1), QByteArray("\r\n"));
}

} // namespace

namespace {

using namespace memotest;

// Conflict copies of the shown memo, files only, are counted in its status line.
TEST_F(MemoWindow, theShownMemosConflictCopiesAreCountedInItsStatusLine)
{
    folder.writeMemo(3, "mine\r\n");
    for (const char* copy :
         {"text0003.sync-conflict-20261207-101500-ABCDEF1.txt", "text0003 (conflicted copy 2026-12-07 101500).txt",
          "text0004 (Someone's conflicted copy 2026-12-07).txt"})
        TempProgramFolder::writeBytes(folder.memoFolder() + QString::fromUtf8(copy), "theirs\r\n");
    QDir().mkpath(folder.memoFolder() + QStringLiteral("text0003 (Ann's conflicted copy 2026-12-07).txt"));
    folder.writeSettings(settingsWith("LastFileNum=3\r\n"));
    openShown();
    EXPECT_EQ(status(), utf8("状態：競合コピーが2件"));
}

} // namespace

#include "ConflictCopyIntake.h"
#include "MoveWithoutOverwriting.h"
#include "QtPrinters.h"
#include "UtilityTestSupport.h"
#include "UtilityWindowFixture.h"

#include <QGroupBox>
#include <QTreeWidget>

namespace {

const QString syncthingCopy = QStringLiteral("text0003.sync-conflict-20261207-101500-ABCDEF1.txt");
const QString dropboxCopy = QStringLiteral("text0001 (Someone's conflicted copy 2026-12-07).txt");

// Both copies in the memo folder beside memo 0 and a folder named like one, the tab shown and every copy chosen.
class ConflictTab : public UtilityWindow
{
protected:
    void showTab() const
    {
        for (const QString& name : {syncthingCopy, dropboxCopy})
            TempProgramFolder::writeBytes(folder.memoFolder() + name, "\x82\xa0" + name.toUtf8() + "\rsecond\r\n");
        QDir().mkpath(folder.memoFolder() + QStringLiteral("text0002.sync-conflict-20261207-101500-ABCDEF1.txt"));
        folder.writeMemo(0, "zero\r\n");
        tabs()->setCurrentIndex(0);
        tabs()->setCurrentIndex(3);
        list()->selectAll();
    }
    QTreeWidget* list() const { return find<QTreeWidget>("lstKyougou"); }
};

} // namespace

TEST(ConflictIntake, aMemoWrittenAtTheChosenNumberMeanwhileStaysAndTheCopyTakesTheNextFree)
{
    for (const MoveWay way : {MoveWay::Rename, MoveWay::HardLink, MoveWay::Copy}) {
        const ScopedMoveWay moveWay(way);
        TempProgramFolder folder;
        ScriptedPrompter prompter;
        ScriptedLock lock;
        for (int number : {0, 1, 3})
            folder.writeMemo(number, "memo\r\n");
        for (const QString& name : {syncthingCopy, dropboxCopy})
            TempProgramFolder::writeBytes(folder.memoFolder() + name, name.toUtf8());
        std::vector<int> planned;
        utility::takeInConflictCopies(folder.memoFolder(), {syncthingCopy, dropboxCopy}, prompter, lock, {},
                                      [&](const utility::TakenCopy& copy) {
                                          planned.push_back(copy.number);
                                          // Each copy's first choice is taken just before its move.
                                          if (planned.size() % 2 == 1)
                                              folder.writeMemo(copy.number, "written meanwhile\r\n");
                                      });
        EXPECT_EQ(planned, (std::vector<int>{2, 4, 5, 6}));
        for (int number : {2, 5})
            EXPECT_EQ(folder.readMemo(number), QByteArray("written meanwhile\r\n")) << number;
        EXPECT_EQ(folder.readMemo(4), syncthingCopy.toUtf8());
        EXPECT_EQ(folder.readMemo(6), dropboxCopy.toUtf8());
        EXPECT_FALSE(lock.held);
        expectCompletion(prompter.last());
    }
}

TEST_F(ConflictTab, listsEachCopyWithItsFirstLineAndTakesTheChosenInSayingWhere)
{
    showTab();
    EXPECT_FALSE(find<QGroupBox>("fraTarget")->isEnabled());
    ASSERT_EQ(list()->topLevelItemCount(), 2);
    const QTreeWidgetItem* first = list()->topLevelItem(0);
    EXPECT_EQ(QStringList({first->text(0), first->text(1), first->text(2)}),
              QStringList({QStringLiteral("0001"), QStringLiteral("2026-12-07"), utf8("あ") + dropboxCopy}));
    click("cmdTorikomu");
    EXPECT_EQ(first->text(3), utf8("→ text0001.txt"));
    EXPECT_EQ(list()->topLevelItem(1)->text(3), utf8("→ text0002.txt"));
    EXPECT_EQ(folder.readMemo(2), "\x82\xa0" + syncthingCopy.toUtf8() + "\rsecond\r\n");
    expectCompletion(prompter.last());
}

TEST_F(ConflictTab, deletionAsksWithNoAsDefaultAndOnlyYesDeletes)
{
    for (const auto answer : {std::optional(Prompter::Answer::No), std::optional<Prompter::Answer>(),
                              std::optional(Prompter::Answer::Yes)}) {
        showTab();
        prompter.clear();
        if (answer)
            prompter.planAnswer(*answer);
        click("cmdKyougouKill");
        ASSERT_EQ(prompter.boxes().size(), 1u);
        expectQuestion(prompter.last(), utf8("選択した2個の競合コピーを削除します。\nよろしいですか？"));
        const bool deleted = answer == Prompter::Answer::Yes;
        EXPECT_EQ(list()->topLevelItemCount(), deleted ? 0 : 2);
        for (const QString& name : {syncthingCopy, dropboxCopy})
            EXPECT_NE(QFile::exists(folder.memoFolder() + name), deleted) << name.toStdString();
    }
}

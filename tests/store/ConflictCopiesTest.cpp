#include "ConflictCopies.h"

#include "QtPrinters.h"
#include "TempProgramFolder.h"

#include <gtest/gtest.h>

namespace {

struct NameCase
{
    const char* name;
    int number; // -1: no conflict copy
    const char* engine;
    const char* date;
};

class ConflictName : public ::testing::TestWithParam<NameCase>
{
};

TEST_P(ConflictName, givesTheMemoNumberOnlyForAnEnginesOwnPattern)
{
    const NameCase& c = GetParam();
    const std::optional<memo::ConflictCopy> copy = memo::conflictCopyFromName(QString::fromUtf8(c.name));
    if (c.number < 0) {
        EXPECT_FALSE(copy) << c.name;
        return;
    }
    ASSERT_TRUE(copy) << c.name;
    EXPECT_EQ(copy->number, c.number);
    EXPECT_EQ(copy->engine, QString::fromUtf8(c.engine));
    EXPECT_EQ(copy->date, QString::fromUtf8(c.date));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ConflictName,
    ::testing::Values(
        NameCase{"text0003.sync-conflict-20261207-101500-ABCDEF1.txt", 3, "Syncthing", "2026-12-07 10:15:00"},
        NameCase{"text9999.sync-conflict-20260101-000000-7QXZ2AB.txt", 9999, "Syncthing", "2026-01-01 00:00:00"},
        NameCase{"text0003 (conflicted copy 2026-12-07 101500).txt", 3, "Nextcloud", "2026-12-07 10:15:00"},
        NameCase{"text0042 (conflicted copy alice 2026-12-07 101500).txt", 42, "Nextcloud", "2026-12-07 10:15:00"},
        NameCase{"text0003 (Someone's conflicted copy 2026-12-07).txt", 3, "Dropbox", "2026-12-07"},
        NameCase{"text0003 (Ann's conflicted copy 2026-12-07 (1)).txt", 3, "Dropbox", "2026-12-07"},
        NameCase{"text0003.txt", -1, "", ""},
        NameCase{"text10000.sync-conflict-20261207-101500-ABCDEF1.txt", -1, "", ""},
        NameCase{"text003.sync-conflict-20261207-101500-ABCDEF1.txt", -1, "", ""},
        NameCase{"Text0003.sync-conflict-20261207-101500-ABCDEF1.txt", -1, "", ""},
        NameCase{"text0003.sync-conflict-20261207-101500-ABCDEF1.txt.tmp", -1, "", ""},
        NameCase{".syncthing.text0003.txt.tmp", -1, "", ""},
        NameCase{"text0003 (copy 2026-12-07 101500).txt", -1, "", ""},
        NameCase{"text0003 (conflicted copy 2026-12-07).txt", -1, "", ""},
        NameCase{"text0003 (Someone's conflicted copy).txt", -1, "", ""},
        NameCase{"notes.sync-conflict-20261207-101500-ABCDEF1.txt", -1, "", ""}));

TEST(ConflictCopies, areListedByNumberAndOnlyWhenTheyAreFiles)
{
    TempProgramFolder folder;
    folder.writeMemo(3, "memo\r\n");
    TempProgramFolder::writeBytes(
        folder.memoFolder() + QStringLiteral("text0007 (conflicted copy 2026-12-07 101500).txt"), "b\r\n");
    TempProgramFolder::writeBytes(
        folder.memoFolder() + QStringLiteral("text0003.sync-conflict-20261207-101500-ABCDEF1.txt"), "a\r\n");
    QDir().mkpath(folder.memoFolder() + QStringLiteral("text0001.sync-conflict-20261207-101500-ABCDEF1.txt"));
    const std::vector<memo::ConflictCopy> copies = memo::conflictCopies(folder.memoFolder());
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(copies[0].number, 3);
    EXPECT_EQ(copies[1].number, 7);
    EXPECT_EQ(memo::conflictCopiesOf(folder.memoFolder(), 7).size(), 1u);
}

} // namespace

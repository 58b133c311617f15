#include "ConflictCopies.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

// Each engine's own pattern gives the memo number, engine and date; names that only look alike give nothing.
TEST(ConflictName, givesTheMemoNumberOnlyForAnEnginesOwnPattern)
{
    const struct
    {
        const char* name;
        int number; // -1: no conflict copy
        const char* engine;
        const char* date;
    } cases[] = {
        {"text0003.sync-conflict-20261207-101500-ABCDEF1.txt", 3, "Syncthing", "2026-12-07 10:15:00"},
        {"text9999.sync-conflict-20260101-000000-7QXZ2AB.txt", 9999, "Syncthing", "2026-01-01 00:00:00"},
        {"text0003 (conflicted copy 2026-12-07 101500).txt", 3, "Nextcloud", "2026-12-07 10:15:00"},
        {"text0042 (conflicted copy alice 2026-12-07 101500).txt", 42, "Nextcloud", "2026-12-07 10:15:00"},
        {"text0003 (Someone's conflicted copy 2026-12-07).txt", 3, "Dropbox", "2026-12-07"},
        {"text0003 (Ann's conflicted copy 2026-12-07 (1)).txt", 3, "Dropbox", "2026-12-07"},
        {"text0003.txt", -1, "", ""},
        {"text10000.sync-conflict-20261207-101500-ABCDEF1.txt", -1, "", ""},
        {"text003.sync-conflict-20261207-101500-ABCDEF1.txt", -1, "", ""},
        {"Text0003.sync-conflict-20261207-101500-ABCDEF1.txt", -1, "", ""},
        {"text0003.sync-conflict-20261207-101500-ABCDEF1.txt.tmp", -1, "", ""},
        {".syncthing.text0003.txt.tmp", -1, "", ""},
        {"text0003 (copy 2026-12-07 101500).txt", -1, "", ""},
        {"text0003 (conflicted copy 2026-12-07).txt", -1, "", ""},
        {"text0003 (Someone's conflicted copy).txt", -1, "", ""},
        {"notes.sync-conflict-20261207-101500-ABCDEF1.txt", -1, "", ""},
    };
    for (const auto& c : cases) {
        const std::optional<memo::ConflictCopy> copy = memo::conflictCopyFromName(QString::fromUtf8(c.name));
        ASSERT_EQ(copy.has_value(), c.number >= 0) << c.name;
        if (copy) {
            EXPECT_EQ(copy->number, c.number);
            EXPECT_EQ(copy->engine, QString::fromUtf8(c.engine));
            EXPECT_EQ(copy->date, QString::fromUtf8(c.date));
        }
    }
}

} // namespace

#include "OwnDeletions.h"

#include "TempProgramFolder.h"

#include <QFile>
#include <gtest/gtest.h>
#include <tuple>

// Memo 1 is deleted, recorded or not; a file may come back, be asked about and go elsewhere; then the
// asker has seen nothing (0), the deleted file (1) or another (2).
TEST(OwnDeletions, tellsThisProgramsDeletionFromAnothers)
{
    for (auto [recorded, cameBack, seen, deletedHere] : {std::tuple{true, false, 0, true},
                                                         {true, false, 1, true},
                                                         {true, false, 2, false},
                                                         {false, false, 0, false},
                                                         {true, true, 1, false}}) {
        OwnDeletions::resetForTesting();
        TempProgramFolder folder;
        const QString path = folder.memoPath(1);
        folder.writeMemo(1, "mine");
        FileStamp deleted;
        ASSERT_TRUE(readFileStamp(path, &deleted, nullptr) && QFile::remove(path));
        if (recorded)
            OwnDeletions::record(path, deleted);
        if (cameBack) {
            folder.writeMemo(1, "theirs");
            ASSERT_TRUE(!OwnDeletions::deletedHere(path) && QFile::remove(path));
        }
        FileStamp another = deleted;
        another.inode += 1;
        const std::optional<FileStamp> lastSeen = seen ? std::optional(seen == 1 ? deleted : another) : std::nullopt;
        EXPECT_EQ(OwnDeletions::deletedHere(path, lastSeen), deletedHere) << recorded << cameBack << seen;
    }
}

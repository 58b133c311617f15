#include "ShownMemo.h"

#include "MemoDisturbance.h"
#include "QtPrinters.h"
#include "ScriptedPrompter.h"
#include "mdlScrivlet.h"

#include <gtest/gtest.h>

namespace {

using Answer = Prompter::Answer;

// Another program changes the file under the shown memo: unedited, it is read again; edited, the next
// write asks, and the answer decides which file holds the text and which memo is shown.
TEST(ShownMemoAlone, followsTheFileOrAsksBeforeWriting)
{
    for (const Disturbance d : {Disturbance::Created, Disturbance::Changed, Disturbance::ReplacedByRename,
                                Disturbance::RewrittenWithItsTimeSetBack, Disturbance::Removed}) {
        // No answer: the memo is not edited, and nothing is asked.
        for (const std::optional<Answer> answer : {std::optional<Answer>(), std::optional(Answer::Yes),
                                                   std::optional(Answer::No), std::optional(Answer::Cancel)}) {
            SCOPED_TRACE(std::string(disturbanceName(d)) + " " + std::to_string(answer ? int(*answer) : -1));
            mdlScrivlet::resetForTesting();
            TempProgramFolder folder;
            ScriptedPrompter prompter;
            ShownMemo memo{folder.path(), [&]() -> Prompter& { return prompter; }};
            prepareMemo(folder, 3, d);
            ASSERT_TRUE(memo.open(3));
            memo.setEdited(answer.has_value());
            disturbMemo(folder, 3, d);
            const QByteArray theirs = disturbedBytes(d);

            const std::optional<ShownMemo::Loaded> reread = memo.reread();
            EXPECT_EQ(reread.has_value(), !answer);
            EXPECT_EQ(reread ? reread->text.toUtf8() + (theirs.isEmpty() ? "" : "\r\n") : theirs, theirs);
            if (!answer)
                continue;

            prompter.planAnswer(*answer);
            const bool written = memo.save(QStringLiteral("typed\nhere"));
            EXPECT_EQ(written, *answer != Answer::Cancel);
            const int expectedNumber = *answer == Answer::No ? 4 : 3;
            EXPECT_EQ(memo.number(), expectedNumber);
            EXPECT_EQ(memo.path(), folder.memoPath(expectedNumber));
            if (written) {
                EXPECT_EQ(folder.readMemo(expectedNumber), QByteArray("typed\r\nhere\r\n"));
            }
            if (*answer != Answer::Yes) {
                EXPECT_EQ(folder.readMemo(3), theirs);
            }
            // Once written, nothing more is asked until someone else writes again.
            prompter.clear();
            EXPECT_EQ(memo.save(QStringLiteral("again")), written);
            EXPECT_EQ(prompter.boxes().size(), written ? 0u : 1u);
        }
    }
    mdlScrivlet::resetForTesting();
}

} // namespace

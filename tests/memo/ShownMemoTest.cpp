#include "ShownMemo.h"

#include "MemoDisturbance.h"
#include "QtPrinters.h"
#include "ScriptedPrompter.h"
#include "mdlScrivlet.h"

#include <gtest/gtest.h>

namespace {

using Answer = Prompter::Answer;

struct Case
{
    Disturbance disturbance;
    bool edited;
    Answer answer; // to the question before the write
};

class ShownMemoAlone : public ::testing::TestWithParam<Case>
{
protected:
    void SetUp() override { mdlScrivlet::resetForTesting(); }
    void TearDown() override { mdlScrivlet::resetForTesting(); }

    TempProgramFolder folder;
    ScriptedPrompter prompter;
    ShownMemo memo{folder.path(), [this]() -> Prompter& { return prompter; }};
};

// Another program changes the file under the shown memo: unedited, it is read again; edited, the next
// write asks, and the answer decides which file holds the text and which memo is shown.
TEST_P(ShownMemoAlone, followsTheFileOrAsksBeforeWriting)
{
    const Case c = GetParam();
    prepareMemo(folder, 3, c.disturbance);
    ASSERT_TRUE(memo.open(3));
    memo.setEdited(c.edited);
    disturbMemo(folder, 3, c.disturbance);
    const QByteArray theirs = disturbedBytes(c.disturbance);

    const std::optional<ShownMemo::Loaded> reread = memo.reread();
    EXPECT_EQ(reread.has_value(), !c.edited);
    if (reread) {
        EXPECT_EQ(reread->text.toUtf8() + (theirs.isEmpty() ? "" : "\r\n"), theirs);
    }
    if (!c.edited)
        return;

    prompter.planAnswer(c.answer);
    const bool written = memo.save(QStringLiteral("typed\nhere"));
    EXPECT_EQ(written, c.answer != Answer::Cancel);
    const int expectedNumber = c.answer == Answer::No ? 4 : 3;
    EXPECT_EQ(memo.number(), expectedNumber);
    EXPECT_EQ(memo.path(), folder.memoPath(expectedNumber));
    if (written) {
        EXPECT_EQ(folder.readMemo(expectedNumber), QByteArray("typed\r\nhere\r\n"));
    }
    if (c.answer != Answer::Yes) {
        EXPECT_EQ(folder.readMemo(3), theirs);
    }
    // Once written, nothing more is asked until someone else writes again.
    prompter.clear();
    EXPECT_EQ(memo.save(QStringLiteral("again")), written);
    EXPECT_EQ(prompter.boxes().size(), written ? 0u : 1u);
}

std::vector<Case> cases()
{
    std::vector<Case> out;
    for (Disturbance d : {Disturbance::Created, Disturbance::Changed, Disturbance::ReplacedByRename,
                          Disturbance::RewrittenWithItsTimeSetBack, Disturbance::Removed}) {
        out.push_back({d, false, Answer::Cancel});
        for (Answer a : {Answer::Yes, Answer::No, Answer::Cancel})
            out.push_back({d, true, a});
    }
    return out;
}

std::string caseName(const ::testing::TestParamInfo<Case>& info)
{
    const char* const answers[] = {"ok", "overwrite", "keepBoth", "cancel"};
    return std::string(disturbanceName(info.param.disturbance)) + (info.param.edited ? "_edited_" : "_unedited_") +
           answers[int(info.param.answer)];
}

INSTANTIATE_TEST_SUITE_P(Table, ShownMemoAlone, ::testing::ValuesIn(cases()), caseName);

} // namespace

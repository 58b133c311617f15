#include "FakeNotificationArea.h"
#include "MemoDisturbance.h"
#include "QtPrinters.h"
#include "RecoveryStore.h"
#include "ScriptedPrompter.h"
#include "TempProgramFolder.h"
#include "frmScrivlet.h"
#include "frmShowInTaskBar.h"
#include "mdlScrivlet.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <tuple>

namespace {

using Answer = Prompter::Answer;

class Program : public ::testing::Test
{
protected:
    void SetUp() override { mdlScrivlet::resetForTesting(); }
    void TearDown() override
    {
        form.reset();
        mdlScrivlet::resetForTesting();
    }

    frmShowInTaskBar& start()
    {
        form = std::make_unique<frmShowInTaskBar>(frmShowInTaskBar::Desktop{&area, [this] { ++processEnds; }});
        EXPECT_TRUE(form->Form_Load());
        return *form;
    }
    QPlainTextEdit* memoText() const
    {
        return form->memoWindow() ? form->memoWindow()->findChild<QPlainTextEdit*>(QStringLiteral("txtDataField"))
                                  : nullptr;
    }
    void type(const QString& text) { QTest::keyClicks(memoText(), text); }
    RecoveryStore store() const { return RecoveryStore::forProgramFolder(folder.path()); }

    TempProgramFolder folder;
    ScriptedPrompter prompts;
    int processEnds = 0;
    FakeNotificationArea area;
    std::unique_ptr<frmShowInTaskBar> form;
};

class SessionEndOverAChange : public Program, public ::testing::WithParamInterface<std::tuple<Disturbance, Answer>>
{
};

TEST_P(SessionEndOverAChange, asksAndOnlyTheAnswerDecides)
{
    const auto [disturbance, answer] = GetParam();
    folder.writeSettings("[Zormet Scrivlet Setting]\r\nLastFileNum=3\r\n");
    prepareMemo(folder, 3, disturbance);
    frmShowInTaskBar& startup = start();
    startup.mnuVisual_Click();
    type(QStringLiteral("typed "));
    const QByteArray typed = memoText()->toPlainText().toUtf8() + "\r\n";
    disturbMemo(folder, 3, disturbance);
    prompts.planAnswer(answer);

    const bool ended = startup.sessionEnding();

    ASSERT_FALSE(prompts.boxes().empty());
    EXPECT_EQ(prompts.boxes().front().buttons, Prompter::Buttons::YesNoCancel);
    EXPECT_EQ(ended, answer != Answer::Cancel);
    EXPECT_EQ(startup.isIconShown(), !ended);
    EXPECT_EQ(folder.readMemo(3), answer == Answer::Yes ? typed : disturbedBytes(disturbance));
    EXPECT_EQ(folder.readMemo(4), answer == Answer::No ? typed : QByteArray());
    if (answer == Answer::Cancel) {
        ASSERT_NE(memoText(), nullptr);
        EXPECT_EQ(memoText()->toPlainText().toUtf8() + "\r\n", typed);
    }
}

std::string caseName(const ::testing::TestParamInfo<std::tuple<Disturbance, Answer>>& info)
{
    const char* const answers[] = {"ok", "overwrite", "keepBoth", "cancel"};
    return std::string(disturbanceName(std::get<0>(info.param))) + "_" + answers[int(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(Table, SessionEndOverAChange,
                         ::testing::Combine(::testing::Values(Disturbance::Created, Disturbance::Changed,
                                                              Disturbance::ReplacedByRename, Disturbance::Removed),
                                            ::testing::Values(Answer::Yes, Answer::No, Answer::Cancel)),
                         caseName);

TEST_F(Program, showingTheWindowAgainFollowsTheFileUnlessEdited)
{
    folder.writeMemo(0, "first\r\n");
    frmShowInTaskBar& startup = start();
    startup.mnuVisual_Click();
    startup.memoWindow()->hide();

    folder.writeMemo(0, "rewritten elsewhere\r\n");
    startup.mnuVisual_Click();
    EXPECT_EQ(memoText()->toPlainText(), QStringLiteral("rewritten elsewhere"));
    EXPECT_TRUE(prompts.boxes().empty());

    // Edited: the text stays, and the question waits for the next write.
    type(QStringLiteral("mine "));
    startup.memoWindow()->hide();
    folder.writeMemo(0, "and again\r\n");
    startup.mnuVisual_Click();
    EXPECT_EQ(memoText()->toPlainText(), QStringLiteral("mine rewritten elsewhere"));
    EXPECT_TRUE(prompts.boxes().empty());
    prompts.planAnswer(Answer::Cancel);
    QTest::mouseClick(startup.memoWindow()->findChild<QPushButton*>(QStringLiteral("cmdSave")), Qt::LeftButton);
    EXPECT_EQ(prompts.boxes().size(), 1u);
    EXPECT_EQ(folder.readMemo(0), QByteArray("and again\r\n"));
}

TEST_F(Program, startUpOffersUnsavedEditsAtOnceAndExitFromTheIconRemovesThem)
{
    folder.writeSettings("[Zormet Scrivlet Setting]\r\nLastFileNum=1\r\n");
    QString error;
    ASSERT_TRUE(store().save(6, QStringLiteral("before the crash"), &error));
    prompts.planAnswer(Answer::Yes);
    frmShowInTaskBar& startup = start();

    ASSERT_NE(startup.memoWindow(), nullptr);
    EXPECT_TRUE(startup.memoWindow()->isVisible());
    ASSERT_EQ(prompts.boxes().size(), 1u);
    EXPECT_TRUE(
        prompts.last().text.startsWith(QStringLiteral("前回保存されなかった編集内容があります。復元しますか？")));
    EXPECT_EQ(memoText()->toPlainText(), QStringLiteral("before the crash"));
    EXPECT_FALSE(folder.memoExists(6));

    startup.mnuMenu()->actions().at(1)->trigger();
    EXPECT_EQ(processEnds, 1);
    EXPECT_FALSE(QFileInfo::exists(store().filePath(6)));
    EXPECT_FALSE(folder.memoExists(6));
}

TEST_F(Program, startUpWithoutUnsavedEditsShowsNothing)
{
    frmShowInTaskBar& startup = start();
    EXPECT_EQ(startup.memoWindow(), nullptr);
    EXPECT_TRUE(prompts.boxes().empty());
}

} // namespace

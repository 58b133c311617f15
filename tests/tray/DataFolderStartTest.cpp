#include "FakeNotificationArea.h"
#include "PrivateMount.h"
#include "ProgramFolder.h"
#include "QtPrinters.h"
#include "ScopedEnvironment.h"
#include "ScriptedPrompter.h"
#include "ScrivletVersion.h"
#include "SingleInstance.h"
#include "TempProgramFolder.h"
#include "frmScrivlet.h"
#include "frmShowInTaskBar.h"
#include "mdlScrivlet.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

// An installed copy: the executable in <root>/bin/ with nothing beside it, the data under <root>/data/.
class InstalledStart : public ::testing::Test
{
protected:
    InstalledStart()
    {
        mdlScrivlet::resetForTesting();
        QDir().mkpath(bin());
    }
    ~InstalledStart() override
    {
        form.reset();
        mdlScrivlet::resetForTesting();
    }

    QString bin() const { return root.path() + QStringLiteral("/bin/"); }
    QString dataHome() const { return root.path() + QStringLiteral("/data"); }
    QString data() const { return dataHome() + QStringLiteral("/Scrivlet/"); }

    frmShowInTaskBar& start()
    {
        form = std::make_unique<frmShowInTaskBar>(frmShowInTaskBar::Desktop{&area, [] {}});
        return *form;
    }

    QTemporaryDir root;
    ScopedEnvironment xdg{"XDG_DATA_HOME", QFile::encodeName(dataHome())};
    ScopedExecutableFolder executable{bin()};
    ScriptedPrompter prompts;
    FakeNotificationArea area;
    std::unique_ptr<frmShowInTaskBar> form;
};

TEST_F(InstalledStart, makesTheDataFolderAndKeepsSettingsAndMemosThereOnly)
{
    frmShowInTaskBar& startup = start();
    ASSERT_TRUE(startup.Form_Load());
    EXPECT_TRUE(prompts.boxes().empty());
    EXPECT_EQ(TempProgramFolder::readBytes(data() + QStringLiteral("Scrivlet.ini")),
              "[Zormet Scrivlet Setting]\r\nUpChkBuild=" + QByteArray::number(scrivlet_version::BuildNumber) + "\r\n");

    startup.mnuVisual_Click();
    frmScrivlet* memo = startup.memoWindow();
    ASSERT_NE(memo, nullptr);
    QTest::keyClicks(memo->findChild<QPlainTextEdit*>(QStringLiteral("txtDataField")), QStringLiteral("memo"));
    memo->findChild<QPushButton*>(QStringLiteral("cmdSave"))->click();

    EXPECT_EQ(TempProgramFolder::readBytes(data() + QStringLiteral("files/text0000.txt")), QByteArray("memo\r\n"));
    EXPECT_TRUE(QDir(bin()).isEmpty());
    EXPECT_TRUE(prompts.boxes().empty());
}

TEST_F(InstalledStart, copiesInOtherFoldersSharingTheDataFolderAreOneProgram)
{
    SingleInstance running;
    {
        const QString otherBin = root.path() + QStringLiteral("/other/bin");
        QDir().mkpath(otherBin);
        ScopedExecutableFolder other(otherBin);
        ASSERT_EQ(running.acquire(programFolder()), SingleInstance::Result::Acquired);
    }
    EXPECT_FALSE(start().Form_Load());
    ASSERT_EQ(prompts.boxes().size(), 1u);
    EXPECT_EQ(prompts.last().text, QStringLiteral("このアプリケーションを複数起動することはできません。"));
}

TEST_F(InstalledStart, aDataFolderThatCannotBeMadeIsReportedAndTheProgramEndsWritingNothing)
{
    QDir().mkpath(dataHome());
    TempProgramFolder::writeBytes(dataHome() + QStringLiteral("/Scrivlet"), "not a folder");

    frmShowInTaskBar& startup = start();
    EXPECT_FALSE(startup.Form_Load());
    ASSERT_EQ(prompts.boxes().size(), 1u);
    EXPECT_TRUE(prompts.last().text.contains(QDir::toNativeSeparators(data()))) << prompts.last().text.toStdString();
    EXPECT_EQ(prompts.last().icon, Prompter::Icon::Exclamation);
    EXPECT_FALSE(startup.isIconShown());
    EXPECT_TRUE(QDir(bin()).isEmpty());
    EXPECT_EQ(TempProgramFolder::readBytes(dataHome() + QStringLiteral("/Scrivlet")), QByteArray("not a folder"));
    // The refused start holds no lock that would stop the next one.
    SingleInstance next;
    EXPECT_EQ(next.acquire(data()), SingleInstance::Result::Acquired);
}

TEST_F(InstalledStart, aReadOnlyDataFolderIsReportedButItsMemosCanStillBeRead)
{
    QDir().mkpath(data() + QStringLiteral("files"));
    TempProgramFolder::writeBytes(data() + QStringLiteral("files/text0000.txt"), "kept\r\n");
    const PrivateMount readOnly(data());
    if (!readOnly.ok())
        GTEST_SKIP() << readOnly.whyNot().toStdString() << "; the read-only start is not checked";

    frmShowInTaskBar& startup = start();
    ASSERT_TRUE(startup.Form_Load());
    ASSERT_EQ(prompts.boxes().size(), 1u);
    EXPECT_TRUE(prompts.last().text.contains(QDir::toNativeSeparators(data()))) << prompts.last().text.toStdString();
    EXPECT_TRUE(startup.isIconShown());
    startup.mnuVisual_Click();
    EXPECT_EQ(startup.memoWindow()->findChild<QPlainTextEdit*>(QStringLiteral("txtDataField"))->toPlainText(),
              QStringLiteral("kept"));
    EXPECT_TRUE(QDir(bin()).isEmpty());
}

} // namespace

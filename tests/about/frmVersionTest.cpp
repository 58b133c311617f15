#include "frmVersion.h"

#include "LoginStart.h"
#include "ProgramFolder.h"
#include "QtPrinters.h"
#include "SafeWrite.h"
#include "ScopedEnvironment.h"
#include "ScriptedPrompter.h"
#include "TempProgramFolder.h"
#include "UrlCatcher.h"
#include "VersionText.h"
#include "mdlScrivlet.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace {

struct VersionCase
{
    int major;
    int minor;
    int revision;
    const char* text;
};

class VersionTextTable : public ::testing::TestWithParam<VersionCase>
{
};

TEST_P(VersionTextTable, padsMinorToTwoAndRevisionToFourDigitsWithOneTrailingBlank)
{
    const VersionCase& c = GetParam();
    EXPECT_EQ(versionText(c.major, c.minor, c.revision), QLatin1String(c.text));
}

INSTANTIATE_TEST_SUITE_P(Table, VersionTextTable,
                         ::testing::Values(VersionCase{0, 10, 22, "Version 0.10.0022 "},
                                           VersionCase{0, 5, 7, "Version 0.05.0007 "}));

class VersionDialog : public ::testing::Test
{
protected:
    VersionDialog()
    {
        mdlScrivlet::resetForTesting();
        mdlScrivlet::setProgramFolder(folder.path());
    }
    ~VersionDialog() override { mdlScrivlet::resetForTesting(); }

    void open()
    {
        dialog = std::make_unique<frmVersion>();
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }
    QCheckBox* autoSave() const { return dialog->findChild<QCheckBox*>(QStringLiteral("chkAutoSave")); }
    QCheckBox* autoStart() const { return dialog->findChild<QCheckBox*>(QStringLiteral("chkAutoStart")); }
    QLabel* label(const char* name) const { return dialog->findChild<QLabel*>(QLatin1String(name)); }
    void pressOk() const
    {
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    }

    TempProgramFolder folder;
    // The login entries are the user's own: never those of whoever runs the tests.
    QTemporaryDir config;
    ScopedEnvironment configHome{"XDG_CONFIG_HOME", config.path().toUtf8()};
    ScriptedPrompter prompts;
    std::unique_ptr<frmVersion> dialog;
};

TEST_F(VersionDialog, showsTheVersionTheIconAndTheReadmeAddress)
{
    open();
    EXPECT_EQ(label("Label2")->text(), QStringLiteral("Version 0.10.0022 "));
    EXPECT_EQ(label("Image1")->pixmap().size(), QSize(32, 32));
    EXPECT_EQ(QUrl(label("Label3")->toolTip()).toLocalFile(),
              QDir::fromNativeSeparators(folder.path()) + QStringLiteral("README.md"));
    EXPECT_TRUE(prompts.boxes().empty());
}

TEST_F(VersionDialog, onlyTheValueOneShowsTicked)
{
    struct Case
    {
        const char* file;
        bool ticked;
    };
    const Case cases[] = {
        {nullptr, false},
        {"[Zormet Scrivlet Setting]\r\nAutoSave=1\r\n", true},
        {"[Zormet Scrivlet Setting]\r\nAutoSave=0\r\n", false},
        {"[Zormet Scrivlet Setting]\r\nAutoSave=\r\n", false},
        {"[Zormet Scrivlet Setting]\r\nAutoSave=yes\r\n", false},
        {"[Zormet Scrivlet Setting]\r\nAutoSave=2\r\n", false},
        {"[Zormet Scrivlet Setting]\r\nLastFileNum=3\r\n", false},
    };
    for (const Case& c : cases) {
        QFile::remove(folder.settingsPath());
        if (c.file)
            folder.writeSettings(c.file);
        open();
        EXPECT_EQ(autoSave()->isChecked(), c.ticked) << (c.file ? c.file : "no file");
        dialog->close();
    }
    EXPECT_TRUE(prompts.boxes().empty());
}

TEST_F(VersionDialog, okStoresTheSettingAndTheNextOpeningShowsIt)
{
    open();
    EXPECT_FALSE(autoSave()->isChecked());
    QTest::mouseClick(autoSave(), Qt::LeftButton);
    pressOk();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(folder.readSettings().contains("AutoSave=1\r\n"));

    open();
    EXPECT_TRUE(autoSave()->isChecked());
    // An access key presses the box as a click would, a moment later.
    QTest::keyClick(dialog.get(), Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !autoSave()->isChecked(); }));
    QTest::keyClick(dialog.get(), Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(folder.readSettings().contains("AutoSave=0\r\n"));
    EXPECT_TRUE(prompts.boxes().empty());
}

TEST_F(VersionDialog, closeBoxAndEscapeWriteNothing)
{
    folder.writeSettings("[Zormet Scrivlet Setting]\r\nAutoSave=0\r\n");
    for (bool escape : {false, true}) {
        open();
        QTest::mouseClick(autoSave(), Qt::LeftButton);
        if (escape)
            QTest::keyClick(dialog.get(), Qt::Key_Escape);
        else
            dialog->close();
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(folder.readSettings(), QByteArray("[Zormet Scrivlet Setting]\r\nAutoSave=0\r\n"));
    }
}

TEST_F(VersionDialog, aSettingThatCannotBeWrittenIsReportedAndTheDialogStays)
{
    folder.writeSettings("[Zormet Scrivlet Setting]\r\nAutoSave=0\r\n");
    open();
    QTest::mouseClick(autoSave(), Qt::LeftButton);
    std::optional<ScopedWriteFault> fault;
    fault.emplace([](const QString&) { return true; });
    pressOk();

    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(prompts.boxes().size(), 1u);
    EXPECT_TRUE(prompts.last().text.startsWith(QStringLiteral("自動保存の設定を保存できませんでした。")));
    EXPECT_EQ(prompts.last().title, QStringLiteral("Zormet Scrivlet"));
    EXPECT_EQ(prompts.last().icon, Prompter::Icon::Exclamation);
    EXPECT_EQ(folder.readSettings(), QByteArray("[Zormet Scrivlet Setting]\r\nAutoSave=0\r\n"));

    fault.reset();
    pressOk();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(folder.readSettings().contains("AutoSave=1\r\n"));
}

TEST_F(VersionDialog, aFolderAtTheSettingsFileNameIsReportedOnOpeningAndOnOk)
{
    QDir().mkpath(folder.settingsPath());
    open();
    ASSERT_EQ(prompts.boxes().size(), 1u);
    EXPECT_TRUE(prompts.last().text.contains(QStringLiteral("Scrivlet.ini")));
    EXPECT_FALSE(autoSave()->isChecked());

    pressOk();
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(prompts.boxes().size(), 2u);
    EXPECT_TRUE(prompts.last().text.startsWith(QStringLiteral("自動保存の設定を保存できませんでした。")));
    EXPECT_TRUE(QFileInfo(folder.settingsPath()).isDir());
}

TEST_F(VersionDialog, theLinkOpensTheReadmeBesideTheProgramOrSaysItIsMissing)
{
    UrlCatcher desktop;
    open();
    QTest::mouseClick(label("Label3"), Qt::LeftButton);
    EXPECT_TRUE(desktop.urls.isEmpty());
    ASSERT_EQ(prompts.boxes().size(), 1u);
    EXPECT_TRUE(prompts.last().text.contains(QStringLiteral("README.md")));

    TempProgramFolder::writeBytes(folder.path() + QStringLiteral("README.md"), "# Scrivlet\n");
    QTest::mouseClick(label("Label3"), Qt::LeftButton);
    ASSERT_EQ(desktop.urls.size(), 1);
    EXPECT_EQ(desktop.urls.first(),
              QUrl::fromLocalFile(QDir::fromNativeSeparators(folder.path()) + QStringLiteral("README.md")));
    EXPECT_EQ(prompts.boxes().size(), 1u);
}

TEST_F(VersionDialog, anInstalledCopyLinksToTheInstalledReadme)
{
    const QString bin = folder.path() + QStringLiteral("usr/bin/");
    const QString installed = folder.path() + QStringLiteral("usr/share/doc/scrivlet/README.md");
    QDir().mkpath(bin);
    QDir().mkpath(QFileInfo(installed).path());
    TempProgramFolder::writeBytes(installed, "# Scrivlet\n");
    TempProgramFolder::writeBytes(bin + QStringLiteral("README.md"), "# not this one\n");
    ScopedExecutableFolder executable(bin);

    UrlCatcher desktop;
    open();
    QTest::mouseClick(label("Label3"), Qt::LeftButton);
    ASSERT_EQ(desktop.urls.size(), 1);
    EXPECT_EQ(desktop.urls.first(), QUrl::fromLocalFile(QDir::fromNativeSeparators(installed)));
    EXPECT_TRUE(prompts.boxes().empty());
}

TEST_F(VersionDialog, startAtLoginIsWrittenAndRemovedByOkOnly)
{
    const QString self = QCoreApplication::applicationFilePath();
    open();
    ASSERT_NE(autoStart(), nullptr);
    EXPECT_FALSE(autoStart()->isChecked());

    autoStart()->click();
    dialog->close();
    EXPECT_FALSE(QFileInfo::exists(loginStartEntryPath()));

    open();
    autoStart()->click();
    ASSERT_TRUE(autoStart()->isChecked());
    pressOk();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(startsAtLogin(self));
    EXPECT_TRUE(prompts.boxes().empty());

    open();
    EXPECT_TRUE(autoStart()->isChecked());
    autoStart()->click();
    pressOk();
    EXPECT_FALSE(QFileInfo::exists(loginStartEntryPath()));
}

TEST_F(VersionDialog, anotherCopysEntryShowsClearIsKeptAndIsReplacedWhenTicked)
{
    const QString self = QCoreApplication::applicationFilePath();
    const QString other = QStringLiteral("/elsewhere/Scrivlet");
    Failure error;
    ASSERT_TRUE(setStartAtLogin(true, other, &error));

    open();
    EXPECT_FALSE(autoStart()->isChecked());
    pressOk();
    EXPECT_TRUE(startsAtLogin(other));

    open();
    autoStart()->click();
    pressOk();
    EXPECT_TRUE(startsAtLogin(self));
    EXPECT_FALSE(startsAtLogin(other));
}

TEST_F(VersionDialog, anEntryThatCannotBeWrittenIsReportedAndTheDialogStays)
{
    ASSERT_TRUE(QDir().mkpath(loginStartEntryPath()));
    open();
    autoStart()->click();
    pressOk();

    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(prompts.boxes().size(), 1u);
    EXPECT_TRUE(prompts.last().text.startsWith(QStringLiteral("ログイン時に起動するよう設定できませんでした。")));
    EXPECT_TRUE(prompts.last().text.contains(QStringLiteral("理由：")));
    EXPECT_EQ(prompts.last().icon, Prompter::Icon::Exclamation);
    EXPECT_TRUE(autoStart()->isChecked());

    ASSERT_TRUE(QDir(loginStartEntryPath()).removeRecursively());
    pressOk();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(startsAtLogin(QCoreApplication::applicationFilePath()));
}

} // namespace

#include "UtilityStartup.h"

#include "Cp932.h"
#include "MemoNaming.h"
#include "ProgramFolder.h"
#include "QtPrinters.h"
#include "ScopedEnvironment.h"
#include "TempProgramFolder.h"
#include "UtilityTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QString mainProgramPath(const TempProgramFolder& folder)
{
    return folder.path() + QStringLiteral("Scrivlet");
}

const QString noMainProgram = utf8("Scrivletと同じフォルダに入れて実行してください。");
const QString noFiles = utf8("filesフォルダが見つかりません。\nScrivletを一度実行してから起動してください。");

} // namespace

TEST(UtilityStartup, withoutMainProgram_showsOnlyTheFirstMessage)
{
    TempProgramFolder folder;
    ScriptedPrompter prompter;
    EXPECT_FALSE(utility::checkStartup(prompter));
    ASSERT_EQ(prompter.boxes().size(), 1u);
    expectBox(prompter.last(), noMainProgram, Prompter::Icon::Exclamation);
}

TEST(UtilityStartup, mainProgramMustBeAnOrdinaryFile)
{
    TempProgramFolder folder;
    QDir().mkpath(mainProgramPath(folder));
    QDir().mkpath(folder.memoFolder());
    ScriptedPrompter prompter;
    EXPECT_FALSE(utility::checkStartup(prompter));
    ASSERT_EQ(prompter.boxes().size(), 1u);
    EXPECT_EQ(prompter.last().text, noMainProgram);
}

TEST(UtilityStartup, withoutFiles_showsTheTwoLineMessage)
{
    TempProgramFolder folder;
    TempProgramFolder::writeBytes(mainProgramPath(folder), "");
    ScriptedPrompter prompter;
    EXPECT_FALSE(utility::checkStartup(prompter));
    ASSERT_EQ(prompter.boxes().size(), 1u);
    expectBox(prompter.last(), noFiles, Prompter::Icon::Exclamation);
}

TEST(UtilityStartup, filesAsFolderOrFile_givesTheMemoFolderWithoutAnyBox)
{
    for (bool asFile : {false, true}) {
        TempProgramFolder folder;
        TempProgramFolder::writeBytes(mainProgramPath(folder), "");
        if (asFile)
            TempProgramFolder::writeBytes(folder.path() + QStringLiteral("files"), "");
        else
            QDir().mkpath(folder.memoFolder());
        ScriptedPrompter prompter;
        EXPECT_EQ(utility::checkStartup(prompter), std::optional<QString>(folder.memoFolder()));
        EXPECT_TRUE(prompter.boxes().empty());
    }
}

// Installed copies keep no "files" beside them: the utility looks where the main program keeps its memos,
// and never makes that folder itself.
TEST(UtilityStartup, installedCopy_looksForFilesInTheDataFolderAsTheMainProgramDoes)
{
    QTemporaryDir root;
    const QString bin = root.path() + QStringLiteral("/bin/");
    const QString data = root.path() + QStringLiteral("/data/Scrivlet/");
    QDir().mkpath(bin);
    TempProgramFolder::writeBytes(bin + utility::mainProgramFileName(), "");
    ScopedEnvironment xdg("XDG_DATA_HOME", QFile::encodeName(root.path() + QStringLiteral("/data")));
    ScopedExecutableFolder executable(bin);

    ScriptedPrompter refused;
    EXPECT_FALSE(utility::checkStartup(refused));
    ASSERT_EQ(refused.boxes().size(), 1u);
    EXPECT_EQ(refused.last().text, noFiles);
    EXPECT_FALSE(QFileInfo::exists(data));

    QDir().mkpath(data + QStringLiteral("files"));
    ScriptedPrompter accepted;
    const std::optional<QString> memoFolder = utility::checkStartup(accepted);
    EXPECT_EQ(memoFolder, std::optional<QString>(QDir::toNativeSeparators(data + QStringLiteral("files/"))));
    EXPECT_EQ(memoFolder, std::optional<QString>(memo::memoFolder(programFolder())));
    EXPECT_TRUE(accepted.boxes().empty());
    EXPECT_EQ(QDir(bin).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{utility::mainProgramFileName()});
}

TEST(UtilityStartup, versionLine_padsMinorToTwoAndRevisionToFourDigits)
{
    EXPECT_EQ(utility::versionLine(0, 1, 3), QStringLiteral("Scrivlet Utility Version 0.01.0003"));
    EXPECT_EQ(utility::versionLine(12, 34, 5678), QStringLiteral("Scrivlet Utility Version 12.34.5678"));
    EXPECT_EQ(utility::versionLine(), QStringLiteral("Scrivlet Utility Version 0.01.0003"));
}

TEST(UtilityStartup, withoutTheMemoCodec_refusesFirstWithTheReason)
{
    TempProgramFolder folder;
    TempProgramFolder::writeBytes(mainProgramPath(folder), "");
    QDir().mkpath(folder.memoFolder());
    ScriptedPrompter prompter;
    {
        const cp932::ScopedConverterFailure noCodec(QStringLiteral("CP932がありません"));
        EXPECT_FALSE(utility::checkStartup(prompter));
    }
    ASSERT_EQ(prompter.boxes().size(), 1u);
    expectBox(prompter.last(),
              utf8("文字コードShift_JIS（CP932）の変換機能を準備できませんでした。\n\n理由：CP932がありません\n\n"
                   "メモを正しく読み書きできないため、起動を中止します。"),
              Prompter::Icon::Exclamation);
    // With the converter back, the same folder starts.
    EXPECT_EQ(utility::checkStartup(prompter), folder.memoFolder());
}

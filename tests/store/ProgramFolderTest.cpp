#include "ProgramFolder.h"

#include "PrivateMount.h"
#include "QtPrinters.h"
#include "ScopedEnvironment.h"
#include "TempProgramFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace {

TEST(ProgramFolder, endsInExactlyOneSeparator)
{
    const QString sep = folderSeparator();
    EXPECT_EQ(EnsureBackslash(QStringLiteral("x")), QStringLiteral("x") + sep);
    EXPECT_EQ(EnsureBackslash(QStringLiteral("x") + sep), QStringLiteral("x") + sep);
    EXPECT_EQ(EnsureBackslash(sep), sep); // a root folder
    EXPECT_TRUE(programFolder().endsWith(sep));
    EXPECT_FALSE(programFolder().endsWith(sep + sep));
}

// An executable in <root>/bin/ and the user's data folders under <root>/data/.
class FolderRule : public ::testing::Test
{
protected:
    FolderRule() { QDir().mkpath(bin()); }

    QString bin() const { return root.path() + QStringLiteral("/bin/"); }
    QString dataHome() const { return root.path() + QStringLiteral("/data"); }
    QString expectedDataFolder() const { return dataHome() + QStringLiteral("/Scrivlet/"); }

    // Everything under <root>, so that a test can tell nothing was written where it should not be.
    QStringList entries() const
    {
        QStringList found;
        QDirIterator it(root.path(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            found << it.next();
        found.sort();
        return found;
    }

    QTemporaryDir root;
    ScopedEnvironment xdg{"XDG_DATA_HOME", QFile::encodeName(dataHome())};
    ScopedExecutableFolder executable{bin()};
};

struct RuleCase
{
    const char* name;
    std::function<void(const QString& bin)> prepare;
    bool portable;
};

TEST_F(FolderRule, portableOnlyWhenTheSettingsFileOrFilesStandsBesideTheExecutable)
{
    const RuleCase cases[] = {
        {"nothing beside", [](const QString&) {}, false},
        {"only the programs and their README",
         [](const QString& b) {
             TempProgramFolder::writeBytes(b + QStringLiteral("Scrivlet"), "");
             TempProgramFolder::writeBytes(b + QStringLiteral("README.md"), "");
         },
         false},
        {"Scrivlet.ini",
         [](const QString& b) { TempProgramFolder::writeBytes(b + QStringLiteral("Scrivlet.ini"), ""); }, true},
        {"files folder", [](const QString& b) { QDir().mkpath(b + QStringLiteral("files")); }, true},
        {"files as a file", [](const QString& b) { TempProgramFolder::writeBytes(b + QStringLiteral("files"), ""); },
         true},
    };
    for (const RuleCase& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(bin()).removeRecursively();
        QDir().mkpath(bin());
        c.prepare(bin());
        EXPECT_EQ(programFolder(), QDir::toNativeSeparators(c.portable ? bin() : expectedDataFolder()));
        EXPECT_EQ(executableFolder(), QDir::toNativeSeparators(bin()));
    }
}

TEST_F(FolderRule, dataFolderFollowsXdgDataHomeElseHome)
{
    EXPECT_EQ(dataFolder(), QDir::toNativeSeparators(expectedDataFolder()));
    const QString home = root.path() + QStringLiteral("/home");
    ScopedEnvironment otherHome("HOME", QFile::encodeName(home));
    ScopedEnvironment unset("XDG_DATA_HOME", std::nullopt);
    EXPECT_EQ(programFolder(), QDir::toNativeSeparators(home + QStringLiteral("/.local/share/Scrivlet/")));
}

TEST_F(FolderRule, createMakesTheMissingDataFolderAndWritesNothingBesideTheExecutable)
{
    Failure error;
    ASSERT_TRUE(createProgramFolder(&error)) << error.reason.toStdString();
    EXPECT_TRUE(QFileInfo(expectedDataFolder()).isDir());
    EXPECT_EQ(QFileInfo(expectedDataFolder()).permissions() & (QFile::ReadOther | QFile::WriteOther), 0);
    EXPECT_TRUE(QDir(bin()).isEmpty());
    EXPECT_TRUE(canWriteProgramFolder(&error)) << error.reason.toStdString();
    // Once made, a second start finds it there.
    EXPECT_TRUE(createProgramFolder(&error));
}

TEST_F(FolderRule, aSymbolicLinkAtTheDataFolderIsFollowed)
{
    const QString synced = root.path() + QStringLiteral("/synced");
    QDir().mkpath(synced);
    QDir().mkpath(dataHome());
    ASSERT_TRUE(QFile::link(synced, dataHome() + QStringLiteral("/Scrivlet")));
    Failure error;
    ASSERT_TRUE(createProgramFolder(&error)) << error.reason.toStdString();
    EXPECT_EQ(programFolder(), QDir::toNativeSeparators(expectedDataFolder()));
    TempProgramFolder::writeBytes(programFolder() + QStringLiteral("Scrivlet.ini"), "x");
    EXPECT_TRUE(QFileInfo::exists(synced + QStringLiteral("/Scrivlet.ini")));
    EXPECT_TRUE(QFileInfo(dataHome() + QStringLiteral("/Scrivlet")).isSymLink());
}

struct BlockedCase
{
    const char* name;
    std::function<void(const QString& dataHome)> block;
    const char* reason;
};

TEST_F(FolderRule, aDataFolderThatCannotBeMadeIsReportedWithItsNameAndReasonAndNothingIsWrittenElsewhere)
{
    const BlockedCase cases[] = {
        {"a file at the folder's name",
         [](const QString& d) {
             QDir().mkpath(d);
             TempProgramFolder::writeBytes(d + QStringLiteral("/Scrivlet"), "not a folder");
         },
         "同じ名前のファイルがあります"},
        {"a file where a folder above it should be",
         [](const QString& d) { TempProgramFolder::writeBytes(d, "not a folder"); },
         "パスの途中にフォルダでないものがあります"},
        {"a link to a folder that is gone",
         [](const QString& d) {
             QDir().mkpath(d);
             QFile::link(d + QStringLiteral("/unplugged"), d + QStringLiteral("/Scrivlet"));
         },
         "リンク先のフォルダが見つかりません"},
    };
    for (const BlockedCase& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(dataHome()).removeRecursively();
        QFile::remove(dataHome());
        c.block(dataHome());
        const QStringList before = entries();
        Failure error;
        EXPECT_FALSE(createProgramFolder(&error));
        EXPECT_EQ(error.path, QDir::toNativeSeparators(expectedDataFolder()));
        EXPECT_TRUE(error.reason.contains(QString::fromUtf8(c.reason))) << error.reason.toStdString();
        EXPECT_EQ(entries(), before);
    }
}

TEST_F(FolderRule, aReadOnlyDataFolderIsReportedWithItsName)
{
    QDir().mkpath(expectedDataFolder());
    const PrivateMount readOnly(expectedDataFolder());
    if (!readOnly.ok())
        GTEST_SKIP() << readOnly.whyNot().toStdString() << "; the read-only case is not checked";
    Failure error;
    EXPECT_TRUE(createProgramFolder(&error));
    EXPECT_FALSE(canWriteProgramFolder(&error));
    EXPECT_EQ(error.path, QDir::toNativeSeparators(expectedDataFolder()));
    EXPECT_TRUE(error.reason.contains(QStringLiteral("書き込みできない場所です"))) << error.reason.toStdString();
}

} // namespace

#include "FolderNames.h"

#include "QtPrinters.h"
#include "TempProgramFolder.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <gtest/gtest.h>

namespace {

TEST(FolderNames, everyEntryIsNamedOnceAndAMissingFolderFails)
{
    TempProgramFolder folder;
    TempProgramFolder::writeBytes(folder.path() + QStringLiteral("a.txt"), "x");
    TempProgramFolder::writeBytes(folder.path() + QStringLiteral(".hidden"), "");
    QDir().mkpath(folder.path() + QStringLiteral("sub"));
    QStringList names;
    int error = -1;
    ASSERT_TRUE(forEachNameInFolder(
        QFile::encodeName(folder.path()), [&](const char* name) { names << QFile::decodeName(name); }, &error));
    EXPECT_EQ(error, 0);
    names.sort();
    EXPECT_EQ(names, (QStringList{QStringLiteral(".hidden"), QStringLiteral("a.txt"), QStringLiteral("sub")}));

    int calls = 0;
    EXPECT_FALSE(forEachNameInFolder(
        QFile::encodeName(folder.path() + QStringLiteral("missing")), [&](const char*) { ++calls; }, &error));
    EXPECT_EQ(error, ENOENT);
    EXPECT_EQ(calls, 0);
}

} // namespace

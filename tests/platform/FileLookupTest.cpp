#include "FileLookup.h"

#include "QtPrinters.h"
#include "TempProgramFolder.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

TEST(FileLookup, onlyExistingRegularFilesCount)
{
    TempProgramFolder folder;
    const QString file = folder.path() + QStringLiteral("a.txt");
    const QString dir = folder.path() + QStringLiteral("text0001.txt");
    TempProgramFolder::writeBytes(file, "x");
    QDir().mkpath(dir);

    EXPECT_TRUE(isOrdinaryFile(file));
    EXPECT_FALSE(isOrdinaryFile(dir));
    EXPECT_FALSE(isOrdinaryFile(folder.path() + QStringLiteral("missing.txt")));
    EXPECT_FALSE(isOrdinaryFile(QString()));
    EXPECT_TRUE(pathExists(dir));
    EXPECT_TRUE(pathExists(file));
    EXPECT_FALSE(pathExists(folder.path() + QStringLiteral("missing")));
}

} // namespace

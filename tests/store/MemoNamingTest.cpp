#include "MemoNaming.h"

#include "ProgramFolder.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

TEST(MemoNaming, numbersMapToFourDigitNamesAndBack)
{
    const std::pair<int, const char*> cases[] = {
        {0, "text0000.txt"}, {7, "text0007.txt"}, {42, "text0042.txt"}, {9999, "text9999.txt"}};
    for (const auto& [number, name] : cases) {
        EXPECT_EQ(memo::memoFileName(number), QLatin1String(name));
        EXPECT_EQ(memo::numberFromMemoFileName(QLatin1String(name)), number);
    }
}

TEST(MemoNaming, nameWithoutFourDigitsGivesNoNumber)
{
    for (const char* name : {"textABCD.txt", "text1.txt", "text12a4.txt", "", "text", "text-123.txt"})
        EXPECT_FALSE(memo::numberFromMemoFileName(QLatin1String(name)).has_value()) << name;
}

TEST(MemoNaming, pathsAreProgramFolderFilesAndName)
{
    const QString sep = folderSeparator();
    const QString folder = QStringLiteral("root") + sep;
    EXPECT_EQ(memo::memoFolder(folder), QStringLiteral("root") + sep + QStringLiteral("files") + sep);
    EXPECT_EQ(memo::memoFilePath(QStringLiteral("root"), 12),
              QStringLiteral("root") + sep + QStringLiteral("files") + sep + QStringLiteral("text0012.txt"));
}

} // namespace

#include "WRText.h"

#include "QtPrinters.h"
#include "SafeWrite.h"
#include "TempProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

QString utf8(const char* s)
{
    return QString::fromUtf8(s);
}

struct ReadCase
{
    const char* name;
    QByteArray bytes;
    const char* text;
};

class LineRules : public ::testing::TestWithParam<ReadCase>
{
};

TEST_P(LineRules, fileReadsAsLinesJoinedByCrLf)
{
    TempProgramFolder folder;
    folder.writeMemo(1, GetParam().bytes);
    WRText t;
    t.FileName = folder.memoPath(1);
    QString error = QStringLiteral("unset");
    EXPECT_EQ(t.RFile(&error), utf8(GetParam().text));
    EXPECT_TRUE(error.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, LineRules,
    ::testing::Values(ReadCase{"crlf", "a\r\nb\r\n", "a\r\nb"}, ReadCase{"loneCr", "a\rb\r", "a\r\nb"},
                      ReadCase{"loneLfIsOrdinary", "a\nb\n", "a\nb\n"}, ReadCase{"empty", "", ""},
                      ReadCase{"crlfOnly", "\r\n", ""}, ReadCase{"twoEmptyLines", "\r\n\r\n", "\r\n"},
                      ReadCase{"noFinalTerminator", "a\r\nb", "a\r\nb"}, ReadCase{"crCrLf", "a\r\r\nb", "a\r\n\r\nb"},
                      ReadCase{"shiftJis", QByteArray("\x82\xA0\r\n\x83\x41"), "あ\r\nア"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WRText, missingFileAndFolderReadAsEmptyAndCreateNothing)
{
    TempProgramFolder folder;
    QDir().mkpath(folder.memoPath(3)); // a folder standing at the name
    WRText t;
    for (const QString& path : {folder.memoPath(2), folder.memoPath(3)}) {
        t.FileName = path;
        QString error;
        EXPECT_EQ(t.RFile(&error), QString());
        EXPECT_TRUE(error.isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(folder.memoPath(2)));
}

TEST(WRText, rFileLenStopsAfterThatManyLines)
{
    TempProgramFolder folder;
    folder.writeMemo(3, "1\r\n2\r\n3\r\n");
    folder.writeMemo(10, "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n");
    WRText t;
    const qint32 five = 5;
    t.FileName = folder.memoPath(3);
    EXPECT_EQ(t.RFileLen(five), QStringLiteral("1\r\n2\r\n3"));
    t.FileName = folder.memoPath(10);
    EXPECT_EQ(t.RFileLen(five), QStringLiteral("1\r\n2\r\n3\r\n4\r\n5"));
    EXPECT_EQ(five, 5);
    EXPECT_EQ(t.RFileLen(0), t.RFile());
    EXPECT_EQ(t.RFileLen(-1), t.RFile());
}

TEST(WRText, writeThenReadGivesTheTextBack)
{
    TempProgramFolder folder;
    QDir().mkpath(folder.memoFolder());
    const struct
    {
        const char* text;
        QByteArray stored;
    } cases[] = {{"one line", "one line\r\n"},
                 {"a\r\nb", "a\r\nb\r\n"},
                 {"", "\r\n"},
                 {"ends\r\n", "ends\r\n\r\n"},
                 {"メモ\tタブ", QByteArray("\x83\x81\x83\x82\t\x83\x5E\x83\x75\r\n")}};
    for (const auto& c : cases) {
        WRText t;
        t.FileName = folder.memoPath(0);
        t.WText = utf8(c.text);
        QString error;
        bool replaced = true;
        ASSERT_TRUE(t.WFile(&error, &replaced)) << error.toStdString();
        EXPECT_FALSE(replaced);
        EXPECT_EQ(t.WText, QString());
        EXPECT_EQ(folder.readMemo(0), c.stored);
        EXPECT_EQ(t.RFile(), utf8(c.text));
    }
}

TEST(WRText, secondWriteWithoutTextWritesBareCrLf)
{
    TempProgramFolder folder;
    QDir().mkpath(folder.memoFolder());
    WRText t;
    t.FileName = folder.memoPath(0);
    t.WText = QStringLiteral("x");
    ASSERT_TRUE(t.WFile());
    ASSERT_TRUE(t.WFile());
    EXPECT_EQ(folder.readMemo(0), QByteArray("\r\n"));
}

TEST(WRText, replacedCharactersAreWrittenAsQuestionMarksAndReported)
{
    TempProgramFolder folder;
    QDir().mkpath(folder.memoFolder());
    WRText t;
    t.FileName = folder.memoPath(0);
    t.WText = utf8("a😀");
    bool replaced = false;
    ASSERT_TRUE(t.WFile(nullptr, &replaced));
    EXPECT_TRUE(replaced);
    EXPECT_EQ(folder.readMemo(0), QByteArray("a?\r\n"));
}

TEST(WRText, failedWriteIsReportedAndKeepsTheText)
{
    TempProgramFolder folder;
    QDir().mkpath(folder.memoPath(1)); // a folder where the file should be
    // A folder standing at the name, and a folder that does not exist.
    const QString paths[] = {folder.memoPath(1), folder.path() + QStringLiteral("missing/text0000.txt")};
    for (const QString& path : paths) {
        WRText t;
        t.FileName = path;
        t.WText = QStringLiteral("keep me");
        QString error;
        EXPECT_FALSE(t.WFile(&error)) << path.toStdString();
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(t.WText, QStringLiteral("keep me"));
    }
    EXPECT_FALSE(QFileInfo::exists(folder.path() + QStringLiteral("missing")));
}

TEST(WRText, writeCutShortLeavesTheOldFileByteForByte)
{
    TempProgramFolder folder;
    const QByteArray old("old memo\r\n\x82\xA0\r\n");
    folder.writeMemo(5, old);
    WRText t;
    t.FileName = folder.memoPath(5);
    t.WText = QStringLiteral("a much longer new text that would replace the old one");
    QString error;
    bool ok = false;
    {
        const ScopedWriteFault fault([](const QString&) { return true; });
        ok = t.WFile(&error);
    }
    EXPECT_FALSE(ok);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(folder.readMemo(5), old);
    EXPECT_EQ(QDir(folder.memoFolder()).entryList(QDir::Files), QStringList{QStringLiteral("text0005.txt")});
}

TEST(WRText, rewriteKeepsTheFilePermissions)
{
    TempProgramFolder folder;
    folder.writeMemo(6, "x\r\n");
    const auto perms = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    QFile::setPermissions(folder.memoPath(6), perms);
    WRText t;
    t.FileName = folder.memoPath(6);
    t.WText = QStringLiteral("y");
    ASSERT_TRUE(t.WFile());
    EXPECT_EQ(QFile::permissions(folder.memoPath(6)) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser), perms);
}

TEST(WRText, invalidBytesAreReadAndReported)
{
    TempProgramFolder folder;
    folder.writeMemo(7, "\xE3\x81\x82 utf-8\r\n");
    WRText t;
    t.FileName = folder.memoPath(7);
    bool invalid = false;
    EXPECT_TRUE(t.RFile(nullptr, &invalid).endsWith(QStringLiteral(" utf-8")));
    EXPECT_TRUE(invalid);
}

TEST(WRText, singleBytesOnlyWindowsDefinesReadCleanAndAreWrittenBack)
{
    TempProgramFolder folder;
    const QByteArray bytes("a\x80"
                           "b\xA0"
                           "c\xFD"
                           "d\xFE"
                           "e\xFF\r\n");
    folder.writeMemo(8, bytes);
    WRText t;
    t.FileName = folder.memoPath(8);
    bool invalid = true;
    t.WText = t.RFile(nullptr, &invalid) + QStringLiteral("!");
    EXPECT_FALSE(invalid);
    bool replaced = true;
    ASSERT_TRUE(t.WFile(nullptr, &replaced));
    EXPECT_FALSE(replaced);
    EXPECT_EQ(folder.readMemo(8), QByteArray("a\x80"
                                             "b\xA0"
                                             "c\xFD"
                                             "d\xFE"
                                             "e\xFF!\r\n"));
}

} // namespace

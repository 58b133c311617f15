#include "INIAccess.h"

#include "QtPrinters.h"
#include "Settings.h"
#include "TempProgramFolder.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

const QString Section = QStringLiteral("Zormet Scrivlet Setting");

INIAccess settingsIn(const TempProgramFolder& folder)
{
    return settings::open(folder.path());
}

TEST(INIAccess, noFileReadsEmptyAndFirstWriteCreatesSectionAndKey)
{
    TempProgramFolder folder;
    INIAccess ini = settingsIn(folder);
    EXPECT_EQ(ini.GetINIData(Section, QStringLiteral("LastFileNum")), QString());
    EXPECT_FALSE(QFileInfo::exists(folder.settingsPath()));
    ASSERT_TRUE(ini.SetINIData(Section, QStringLiteral("UpChkBuild"), QStringLiteral("907")));
    ASSERT_TRUE(ini.SetINIData(Section, QStringLiteral("AutoSave"), QStringLiteral("1")));
    ASSERT_TRUE(ini.SetINIData(Section, QStringLiteral("LastFileNum"), QStringLiteral("12")));
    EXPECT_EQ(folder.readSettings(),
              QByteArray("[Zormet Scrivlet Setting]\r\nUpChkBuild=907\r\nAutoSave=1\r\nLastFileNum=12\r\n"));
    EXPECT_EQ(ini.GetINIData(Section, QStringLiteral("LastFileNum")), QStringLiteral("12"));
}

TEST(INIAccess, emptySectionUsesTheRememberedOneOrNothing)
{
    TempProgramFolder folder;
    folder.writeSettings("[Zormet Scrivlet Setting]\r\nAutoSave=1\r\n");
    INIAccess fresh = settingsIn(folder);
    EXPECT_EQ(fresh.GetINIData(QString(), QStringLiteral("AutoSave")), QString());
    EXPECT_FALSE(fresh.SetINIData(QString(), QStringLiteral("AutoSave"), QStringLiteral("0")));
    EXPECT_EQ(fresh.GetINIData(Section, QStringLiteral("AutoSave")), QStringLiteral("1"));
    EXPECT_EQ(fresh.Section, Section);
    EXPECT_EQ(fresh.GetINIData(QString(), QStringLiteral("AutoSave")), QStringLiteral("1"));

    INIAccess unnamed(folder.path());
    EXPECT_EQ(unnamed.GetINIData(Section, QStringLiteral("AutoSave")), QString());
    EXPECT_FALSE(unnamed.SetINIData(Section, QStringLiteral("AutoSave"), QStringLiteral("0")));
}

TEST(INIAccess, namesMatchWithoutCaseAndBlanksAreIgnored)
{
    TempProgramFolder folder;
    folder.writeSettings("  [ zormet SCRIVLET setting ]  \r\n  lastfilenum  =  42  \r\nEmpty=\r\n");
    INIAccess ini = settingsIn(folder);
    EXPECT_EQ(ini.GetINIData(Section, QStringLiteral("LastFileNum")), QStringLiteral("42"));
    EXPECT_EQ(ini.GetINIData(Section, QStringLiteral("Empty")), QString());
    EXPECT_EQ(ini.GetINIData(Section, QStringLiteral("Missing")), QString());
}

TEST(INIAccess, longValueReadsAsItsFirst255BytesCutToWholeCharacters)
{
    TempProgramFolder folder;
    INIAccess ini = settingsIn(folder);
    ASSERT_TRUE(ini.SetINIData(Section, QStringLiteral("K"), QString(300, QLatin1Char('x'))));
    EXPECT_EQ(ini.GetINIData(Section, QStringLiteral("K")), QString(255, QLatin1Char('x')));
    // "x" then two-byte characters: byte 255 would split one, so it is left out.
    ASSERT_TRUE(ini.SetINIData(Section, QStringLiteral("K"), QStringLiteral("x") + QString(200, QChar(0x3042))));
    EXPECT_EQ(ini.GetINIData(Section, QStringLiteral("K")), QStringLiteral("x") + QString(127, QChar(0x3042)));
}

TEST(INIAccess, updateKeepsEveryOtherLineByteForByte)
{
    TempProgramFolder folder;
    const QByteArray before(
        "; comment\r\n"
        "[Other]\r\nLastFileNum=5\r\n\r\n"
        "[Zormet Scrivlet Setting]\r\n; note\r\nUnknown = keep  \r\nLastFileNum=3\nAutoSave=0\r\n\r\n"
        "[Tail]\r\nx=y");
    folder.writeSettings(before);
    INIAccess ini = settingsIn(folder);
    ASSERT_TRUE(ini.SetINIData(Section, QStringLiteral("LastFileNum"), QStringLiteral("12")));
    QByteArray expected = before;
    expected.replace("LastFileNum=3\n", "LastFileNum=12\n");
    EXPECT_EQ(folder.readSettings(), expected);

    ASSERT_TRUE(ini.SetINIData(Section, QStringLiteral("UpChkBuild"), QStringLiteral("907")));
    expected.replace("AutoSave=0\r\n", "AutoSave=0\r\nUpChkBuild=907\r\n");
    EXPECT_EQ(folder.readSettings(), expected);

    ASSERT_TRUE(ini.SetINIData(QStringLiteral("New"), QStringLiteral("k"), QStringLiteral("v")));
    expected.append("\r\n[New]\r\nk=v\r\n");
    EXPECT_EQ(folder.readSettings(), expected);
    EXPECT_EQ(ini.GetINIData(QStringLiteral("Other"), QStringLiteral("LastFileNum")), QStringLiteral("5"));
}

TEST(INIAccess, garbageFilesNeverBreakReadOrWrite)
{
    const QByteArray garbage[] = {
        QByteArray("\x00\xFF\x81\x00[\x82]=\r\r\n\xFC", 12),
        QByteArray("no section at all\r\nLastFileNum=9\r\n"),
        QByteArray(100000, 'x') + "\r\n[Zormet Scrivlet Setting]\r\nLastFileNum=" + QByteArray(5000, '7') + "\r\n",
        QByteArray("\xEF\xBB\xBF[Zormet Scrivlet Setting]\r\nLastFileNum=4\r\n"),
        QByteArray("[Zormet Scrivlet Setting]\nLastFileNum=8\nAutoSave=1\n"),
        QByteArray("[Zormet Scrivlet Setting]\r\nLastFileNum=\x82\r\n"),
    };
    for (const QByteArray& bytes : garbage) {
        TempProgramFolder folder;
        folder.writeSettings(bytes);
        INIAccess ini = settingsIn(folder);
        (void)ini.GetINIData(Section, QStringLiteral("LastFileNum"));
        ASSERT_TRUE(ini.SetINIData(Section, QStringLiteral("LastFileNum"), QStringLiteral("1")));
        EXPECT_EQ(ini.GetINIData(Section, QStringLiteral("LastFileNum")), QStringLiteral("1"));
    }
}

TEST(INIAccess, byteOrderMarkAndLfLinesAreUnderstood)
{
    TempProgramFolder folder;
    folder.writeSettings("\xEF\xBB\xBF[Zormet Scrivlet Setting]\nLastFileNum=4\nAutoSave=1\n");
    INIAccess ini = settingsIn(folder);
    EXPECT_EQ(ini.GetINIData(Section, QStringLiteral("LastFileNum")), QStringLiteral("4"));
    ASSERT_TRUE(ini.SetINIData(Section, QStringLiteral("LastFileNum"), QStringLiteral("5")));
    EXPECT_EQ(folder.readSettings(), QByteArray("\xEF\xBB\xBF[Zormet Scrivlet Setting]\nLastFileNum=5\nAutoSave=1\n"));
}

TEST(INIAccess, writeThatCannotHappenIsReported)
{
    TempProgramFolder folder;
    QDir().mkpath(folder.settingsPath()); // a folder standing at the file's name
    INIAccess ini = settingsIn(folder);
    QString error;
    EXPECT_FALSE(ini.SetINIData(Section, QStringLiteral("AutoSave"), QStringLiteral("1"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ini.GetINIData(Section, QStringLiteral("AutoSave")), QString());
}

} // namespace

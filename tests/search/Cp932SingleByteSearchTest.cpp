#include "LooseMatch.h"
#include "MemoSearch.h"
#include "QtPrinters.h"
#include "TempProgramFolder.h"

#include <gtest/gtest.h>

namespace {

using search::MatchMode;

// Bytes 0x80, 0xA0 and 0xFD to 0xFF are characters of their own in Windows' code page.
TEST(SingleByteSearch, charactersOfTheLoneBytesWindowsDefinesAreFound)
{
    TempProgramFolder folder;
    folder.writeMemo(1, QByteArray("a\x80"
                                   "b\xA0"
                                   "c\xFD"
                                   "d\xFE"
                                   "e\xFF\r\n"));
    folder.writeMemo(2, QByteArray("abcde\r\n"));
    const QString keywords[] = {QStringLiteral(u"\u0080"), QStringLiteral(u"b\uF8F0c"), QStringLiteral(u"\uF8F1"),
                                QStringLiteral(u"d\uF8F2"), QStringLiteral(u"E\uF8F3")};
    for (const QString& keyword : keywords) {
        for (const MatchMode mode : {MatchMode::Exact, MatchMode::Loose}) {
            const bool loose = mode == MatchMode::Loose;
            if (!loose && keyword.front() == QLatin1Char('E'))
                continue;
            const auto outcome = search::searchMemos(folder.memoFolder(), 0, 9, keyword, mode);
            EXPECT_EQ(outcome.hits, std::vector<int>{1}) << keyword.toStdString() << (loose ? " loose" : " exact");
            EXPECT_TRUE(outcome.unreadable.empty());
            search::KeywordMatcher matcher(keyword, mode);
            EXPECT_TRUE(matcher.matchesCp932(folder.readMemo(1))) << keyword.toStdString();
        }
    }
}

} // namespace

#include "MemoSearch.h"

#include "Cp932.h"
#include "QtPrinters.h"
#include "TempProgramFolder.h"

#include <QDir>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using search::MatchMode;

QByteArray sjis(const char* utf8)
{
    return cp932::encode(QString::fromUtf8(utf8));
}

std::vector<int> hits(const TempProgramFolder& folder, const char* keyword, MatchMode mode = MatchMode::Loose,
                      int first = 0, int last = 9999)
{
    return search::searchMemos(folder.memoFolder(), first, last, QString::fromUtf8(keyword), mode).hits;
}

TEST(MemoSearch, decodedTextIsMatchedNeverTheBytes)
{
    TempProgramFolder folder;
    // The bytes of "Quokka7" stand inside "ゲuokka7": ゲ is 0x83 0x51 and 0x51 is "Q".
    folder.writeMemo(1, sjis("ゲuokka7\r\n"));
    folder.writeMemo(2, sjis("a Quokka7 b\r\n"));
    EXPECT_EQ(hits(folder, "Quokka7", MatchMode::Exact), std::vector<int>{2});
    EXPECT_EQ(hits(folder, "Quokka7", MatchMode::Loose), std::vector<int>{2});
}

TEST(MemoSearch, characterWithTwoCodesIsFoundInEither)
{
    TempProgramFolder folder;
    folder.writeMemo(3, QByteArray("\xED\x40\r\n")); // 纊 in the NEC-selected row
    folder.writeMemo(4, QByteArray("\xFA\x5C\r\n")); // 纊 in the IBM row
    EXPECT_EQ(hits(folder, "纊", MatchMode::Exact), (std::vector<int>{3, 4}));
    EXPECT_EQ(hits(folder, "纊", MatchMode::Loose), (std::vector<int>{3, 4}));
}

TEST(MemoSearch, keywordIsFoundWithinSingleLinesOnly)
{
    TempProgramFolder folder;
    folder.writeMemo(1, sjis("カモノ\r\nハシ\r\n"));
    folder.writeMemo(2, sjis("カモノ\rハシ"));         // a lone CR ends a line too
    folder.writeMemo(3, sjis("一行目\r\nカモノハシ")); // last line without terminator
    folder.writeMemo(4, sjis("カモノ\nハシ\r\n"));     // a lone LF is an ordinary character
    EXPECT_EQ(hits(folder, "カモノハシ"), std::vector<int>{3});
    EXPECT_EQ(hits(folder, "ノ\nハ", MatchMode::Exact), std::vector<int>{4});
}

TEST(MemoSearch, emptyFilesAreNeverListedAndABlankIsAnOrdinaryKeyword)
{
    TempProgramFolder folder;
    folder.writeMemo(0, "");
    folder.writeMemo(1, "\r\n\r\n");
    folder.writeMemo(2, "no-blank\r\nhere\r\n");
    folder.writeMemo(3, "one blank\r\n");
    folder.writeMemo(4, sjis("全角　空白\r\n"));
    EXPECT_EQ(hits(folder, " ", MatchMode::Exact), std::vector<int>{3});
    EXPECT_EQ(hits(folder, " ", MatchMode::Loose), (std::vector<int>{3, 4}));
}

TEST(MemoSearch, hitsAscendOnceEachAndProgressSeesEveryNumberFirst)
{
    TempProgramFolder folder;
    folder.writeMemo(9, "key\r\nkey\r\nkey\r\n");
    folder.writeMemo(5, "x\r\nKEY\r\n");
    folder.writeMemo(7, "nothing\r\n");
    std::vector<int> seen;
    const search::SearchOutcome outcome =
        search::searchMemos(folder.memoFolder(), 4, 10, QStringLiteral("key"), MatchMode::Loose,
                            [&](int number) { seen.push_back(number); });
    EXPECT_EQ(outcome.hits, (std::vector<int>{5, 9}));
    EXPECT_EQ(seen, (std::vector<int>{4, 5, 6, 7, 8, 9, 10}));
    EXPECT_TRUE(outcome.unreadable.empty());
    EXPECT_EQ(hits(folder, "key", MatchMode::Loose, 7, 7), std::vector<int>{});
    EXPECT_EQ(hits(folder, "key", MatchMode::Loose, 9, 9), std::vector<int>{9});
    EXPECT_EQ(hits(folder, "key", MatchMode::Loose, -5, 20000), (std::vector<int>{5, 9}));
}

TEST(MemoSearch, onlyOrdinaryFilesCountAndAPipeDoesNotHang)
{
    TempProgramFolder folder;
    folder.writeMemo(1, "key\r\n");
    QDir().mkpath(folder.memoPath(2)); // a folder standing at the name
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.memoPath(3)).constData(), 0600), 0);
    folder.writeMemo(4, "key\r\n");
    const search::SearchOutcome outcome =
        search::searchMemos(folder.memoFolder(), 0, 9999, QStringLiteral("key"), MatchMode::Exact);
    EXPECT_EQ(outcome.hits, (std::vector<int>{1, 4}));
    EXPECT_TRUE(outcome.unreadable.empty());
}

TEST(MemoSearch, missingMemoFolderFindsNothing)
{
    TempProgramFolder folder;
    const search::SearchOutcome outcome =
        search::searchMemos(folder.memoFolder(), 0, 9999, QStringLiteral("a"), MatchMode::Loose);
    EXPECT_TRUE(outcome.hits.empty());
    EXPECT_TRUE(outcome.unreadable.empty());
}

TEST(MemoSearch, unreadableFilesAreReportedAndTheRestIsSearched)
{
    TempProgramFolder folder;
    for (int n : {2, 3, 5, 8})
        folder.writeMemo(n, "key\r\n");
    const search::ScopedReadFault fault([](int number) { return number == 3 || number == 5 ? EIO : 0; });
    const search::SearchOutcome outcome =
        search::searchMemos(folder.memoFolder(), 0, 9999, QStringLiteral("key"), MatchMode::Loose);
    EXPECT_EQ(outcome.hits, (std::vector<int>{2, 8}));
    ASSERT_EQ(outcome.unreadable.size(), 2u);
    EXPECT_EQ(outcome.unreadable[0].number, 3);
    EXPECT_EQ(outcome.unreadable[1].number, 5);
    EXPECT_TRUE(outcome.unreadable[0].reason.contains(QStringLiteral("入出力エラー")))
        << outcome.unreadable[0].reason.toStdString();
}

// Memos larger than one read: lines that straddle two reads stay whole, and a CR LF split between
// two reads is one line end.
TEST(MemoSearch, largeFilesKeepTheirLinesAcrossReads)
{
    constexpr int ReadSize = 64 * 1024;
    TempProgramFolder folder;
    const QByteArray filler(ReadSize - 3, 'x');
    // "kan|garoo" spans the first read's end.
    folder.writeMemo(1, filler + "kangaroo\r\n");
    // The first read ends between CR and LF; the next line must start right after the LF.
    folder.writeMemo(2, QByteArray(ReadSize - 1, 'y') + "\r\nwombat\r\n");
    // A keyword around a line end split by the read is still two lines.
    folder.writeMemo(3, QByteArray(ReadSize - 3, 'z') + "emu\r\nrhea\r\n");
    // A line longer than several reads.
    folder.writeMemo(4, QByteArray(3 * ReadSize, 'q') + "numbat" + QByteArray(ReadSize, 'q'));
    EXPECT_EQ(hits(folder, "kangaroo"), std::vector<int>{1});
    EXPECT_EQ(hits(folder, "ywombat"), std::vector<int>{});
    EXPECT_EQ(hits(folder, "\nwombat", MatchMode::Exact), std::vector<int>{});
    EXPECT_EQ(hits(folder, "wombat"), std::vector<int>{2});
    EXPECT_EQ(hits(folder, "emurhea"), std::vector<int>{});
    EXPECT_EQ(hits(folder, "rhea"), std::vector<int>{3});
    EXPECT_EQ(hits(folder, "qnumbatq", MatchMode::Exact), std::vector<int>{4});
}

} // namespace

// Long lines across the 64 KiB and 128 KiB read boundaries, each split at every place: lines ended
// by LF alone (ordinary characters) and one line of two-byte characters without a single line end.
TEST(MemoSearch, longLinesAreSearchedAcrossEveryReadBoundary)
{
    constexpr int Boundaries[] = {64 * 1024, 128 * 1024};
    struct Filler
    {
        const char* name;
        QByteArray unit;
    };
    const Filler fillers[] = {{"lfOnly", sjis("メモの行です\n")}, {"singleLine", sjis("メモの行です")}};
    struct Planted
    {
        const char* bytes; // UTF-8, stored as CP932
        const char* keyword;
        MatchMode mode;
        bool found;
    };
    const Planted planted[] = {
        {"カモノハシ", "カモノハシ", MatchMode::Exact, true},
        {"カモノハシ", "かものはし", MatchMode::Loose, true},
        {"カモノ\rハシ", "カモノハシ", MatchMode::Exact, false}, // a lone CR ends the line
        {"カモノ\rハシ", "かものはし", MatchMode::Loose, false},
        {"カモノ\nハシ", "ノ\nハ", MatchMode::Exact, true}, // a lone LF is part of the line
        {"カモノ\nハシ", "の\nは", MatchMode::Loose, true},
        {"ｶﾞ", "が", MatchMode::Loose, true},
        {"ｶﾞ", "か", MatchMode::Loose, false},            // the sound mark belongs to the kana before it
        {"ゲuokka7", "Quokka7", MatchMode::Exact, false}, // "Q" is the second byte of ゲ
    };
    for (const Filler& filler : fillers) {
        for (const Planted& p : planted) {
            TempProgramFolder folder;
            const QByteArray word = sjis(p.bytes);
            std::vector<int> expected;
            int number = 0;
            for (int boundary : Boundaries) {
                for (int before = 0; before <= word.size(); ++before, ++number) {
                    // An odd number starts with a half-width kana, so the boundary falls inside a
                    // two-byte character of the filler as well; what is left is filled the same way.
                    QByteArray memo = number % 2 ? sjis("ｱ") : QByteArray();
                    const int target = boundary - before;
                    while (memo.size() + filler.unit.size() <= target)
                        memo += filler.unit;
                    while (memo.size() + 2 <= target)
                        memo += sjis("メ");
                    if (memo.size() < target)
                        memo += sjis("ｱ");
                    memo += word + filler.unit + filler.unit;
                    folder.writeMemo(number, memo);
                    if (p.found)
                        expected.push_back(number);
                }
            }
            EXPECT_EQ(hits(folder, p.keyword, p.mode), expected) << filler.name << " " << p.bytes << " / " << p.keyword
                                                                 << (p.mode == MatchMode::Exact ? " exact" : " loose");
        }
    }
}

// The search on several threads finds, misses and fails on exactly what the one-thread search does.
TEST(MemoSearch, theSearchOnSeveralThreadsAgreesWithTheSearchOnOne)
{
    TempProgramFolder folder;
    for (int n = 0; n < 3000; n += 1 + n % 7)
        folder.writeMemo(n, n % 5 == 0 ? "a\r\nthe Key here\r\n" : "a\r\nb\r\n");
    QDir().mkpath(folder.memoPath(1)); // a folder standing at a name
    const search::ScopedReadFault fault([](int number) { return number % 97 == 0 ? EIO : 0; });
    for (const MatchMode mode : {MatchMode::Exact, MatchMode::Loose}) {
        const search::SearchOutcome one =
            search::searchMemos(folder.memoFolder(), 0, 9999, QStringLiteral("key"), mode);
        const search::SearchOutcome many =
            search::searchMemosInParallel(folder.memoFolder(), QStringLiteral("key"), mode);
        EXPECT_EQ(many.hits, one.hits);
        ASSERT_EQ(many.unreadable.size(), one.unreadable.size());
        for (size_t i = 0; i < one.unreadable.size(); ++i)
            EXPECT_EQ(many.unreadable[i].number, one.unreadable[i].number);
    }
}

#include "KeywordScan.h"

#include "Cp932.h"
#include "MemoLines.h"
#include "QtPrinters.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <random>

namespace {

using search::KeywordMatcher;
using search::KeywordScan;
using search::MatchMode;

// Hands the bytes over in pieces of the given sizes, in turn, as reads would return them.
bool scanInPieces(KeywordScan& scan, const QByteArray& bytes, const std::vector<qsizetype>& pieces)
{
    scan.restart();
    qsizetype at = 0;
    for (std::size_t k = 0;; ++k) {
        const qsizetype n = std::min({pieces[k % pieces.size()], bytes.size() - at, scan.roomSize()});
        std::memcpy(scan.room(), bytes.constData() + at, static_cast<std::size_t>(n));
        at += n;
        const bool atEnd = at == bytes.size();
        if (scan.take(n, atEnd))
            return true;
        if (atEnd)
            return false;
    }
}

// The plain way: every line decoded whole and matched.
bool lineByLine(KeywordMatcher& matcher, const QByteArray& bytes)
{
    bool found = false;
    forEachMemoLine(bytes, [&](QByteArrayView line) {
        found = matcher.matchesCp932(line);
        return !found;
    });
    return found;
}

// Random memos from pieces that meet the awkward cases: line ends, kana in three widths, a sound
// mark after a half-width kana, lone lead bytes, bytes that are letters and also second bytes
// ("Q" in ゲ), a character with two codes, bytes that decode to nothing.
TEST(KeywordScan, findsWhatLineByLineMatchingFindsWhateverThePiecesAndModes)
{
    const std::vector<QByteArray> tokens = {
        "a",    "A",        "b",        " ",        "J",        "Q",        "\r",       "\n",
        "\r\n", "\x82\xa9", "\x83\x4a", "\xb6",     "\xde",     "\xdf",     "\x82\xaa", "\x83\x4b",
        "\x81", "\x83",     "\x82\x60", "\x82\x81", "\xed\x40", "\xfa\x5c", "\x83\x51", "\x88\x9f",
        "\x80", "\xa0",     "\xff",     "\x82",     "\x4a\x82", "\xca",     "\x82\xcd",
    };
    const char* const keywords[] = {"か",     "カカ", "a",  "aJ",           "ｶﾞ",   "が", "Ａb", "纊",   "ゲQ", "\n",
                                    "か\nカ", "a b",  "JJ", "\xef\xbf\xbd", "a\rb", "",   "ｶｶｶ", "はか", "Q"};
    const std::vector<std::vector<qsizetype>> piecings = {{KeywordScan::ReadSize}, {1}, {2, 3, 1, 7}, {5}};

    std::mt19937 random(20261207);
    std::vector<QByteArray> memos;
    for (int i = 0; i < 600; ++i) {
        QByteArray memo;
        const int count = static_cast<int>(random() % 60);
        for (int t = 0; t < count; ++t)
            memo += tokens[random() % tokens.size()];
        memos.push_back(memo);
    }
    int found = 0;
    for (const char* k : keywords) {
        const QString keyword = QString::fromUtf8(k);
        for (MatchMode mode : {MatchMode::Exact, MatchMode::Loose}) {
            KeywordScan scan(keyword, mode);
            KeywordMatcher matcher(keyword, mode);
            for (const QByteArray& memo : memos) {
                const bool expected = lineByLine(matcher, memo);
                found += expected;
                for (const auto& pieces : piecings) {
                    ASSERT_EQ(scanInPieces(scan, memo, pieces), expected)
                        << "keyword " << keyword.toStdString() << (mode == MatchMode::Exact ? " exact" : " loose")
                        << " pieces " << pieces.front() << " memo " << memo.toHex(' ').toStdString();
                }
            }
        }
    }
    // The memos must hold matches for the comparison to mean anything.
    EXPECT_GT(found, 1000);
}

// A keyword of thousands of characters is held whole across pieces and spelled out only near each
// candidate.
TEST(KeywordScan, keywordsLongerThanManyPiecesAreFound)
{
    QString keyword;
    QByteArray memo = "start\n";
    for (int i = 0; i < 3000; ++i) {
        keyword += QString::fromUtf8(i % 3 == 0 ? "か" : "カ");
        memo += i % 2 == 0 ? QByteArray("\xb6") : cp932::encode(QString::fromUtf8("か"));
    }
    memo += "\r\nend";
    KeywordScan loose(keyword, MatchMode::Loose);
    EXPECT_TRUE(scanInPieces(loose, memo, {1000}));
    EXPECT_TRUE(scanInPieces(loose, memo, {KeywordScan::ReadSize}));
    KeywordScan exact(keyword, MatchMode::Exact);
    EXPECT_FALSE(scanInPieces(exact, memo, {1000}));
    // Cut by a line end in the middle, it is no longer found.
    memo[3000] = '\r';
    EXPECT_FALSE(scanInPieces(loose, memo, {1000}));
}

} // namespace

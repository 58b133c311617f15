#include "LooseMatch.h"

#include "Cp932.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>
#include <random>

namespace {

using search::KeywordMatcher;
using search::MatchMode;

QString utf8(const char* s)
{
    return QString::fromUtf8(s);
}

struct Pair
{
    const char* keyword;
    const char* line;
    bool loose; // found while the exact-match box is clear
};

class Matching : public ::testing::TestWithParam<Pair>
{
};

// Each pair is tried both ways round: the folds must not depend on which side is the keyword.
TEST_P(Matching, looseIgnoresCaseWidthAndKanaOnlyAndExactIgnoresNothing)
{
    const QString a = utf8(GetParam().keyword);
    const QString b = utf8(GetParam().line);
    for (const auto& [keyword, line] : {std::pair(a, b), std::pair(b, a)}) {
        KeywordMatcher loose(keyword, MatchMode::Loose);
        EXPECT_EQ(loose.matches(QStringLiteral("前") + line + QStringLiteral("後")), GetParam().loose)
            << keyword.toStdString() << " in " << line.toStdString();
        KeywordMatcher exact(keyword, MatchMode::Exact);
        EXPECT_FALSE(exact.matches(line)) << keyword.toStdString() << " in " << line.toStdString();
        EXPECT_TRUE(exact.matches(QStringLiteral("前") + keyword + QStringLiteral("後")));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Matching,
                         ::testing::Values(Pair{"abc", "ABC", true}, Pair{"abc", "ａｂｃ", true},
                                           Pair{"abc", "ＡＢＣ", true}, Pair{"カタカナ", "かたかな", true},
                                           Pair{"ｶﾀｶﾅ", "かたかな", true}, Pair{"ｶﾞ", "ガ", true},
                                           Pair{"ｶﾞｲﾄﾞ", "がいど", true}, Pair{"ﾊﾟﾝ", "パン", true},
                                           Pair{"ｳﾞｧ", "ヴァ", true}, Pair{"ヽヾ", "ゝゞ", true},
                                           Pair{"a b", "a　b", true}, Pair{"￥100", "¥100", true},
                                           Pair{"ΣΑΣ", "σας", true}, Pair{"か", "が", false}, Pair{"ハ", "パ", false},
                                           Pair{"あ", "ぁ", false}, Pair{"ツ", "ッ", false}, Pair{"1", "①", false},
                                           Pair{"(株)", "㈱", false}, Pair{"ab", "a b", false}),
                         [](const auto& info) { return "pair" + std::to_string(info.index); });

TEST(LooseFold, halfWidthKanaFoldLikeTheirFullWidthForms)
{
    // Unicode's own narrow decompositions check the table; the lone sound marks become ゛ and ゜.
    for (char16_t half = 0xFF61; half <= 0xFF9D; ++half) {
        const QChar ch(half);
        ASSERT_EQ(ch.decompositionTag(), QChar::Narrow);
        EXPECT_EQ(search::looseFold(QString(ch)), search::looseFold(ch.decomposition())) << int(half);
    }
    EXPECT_EQ(search::looseFold(utf8("ﾞﾟ")), utf8("゛゜"));
    EXPECT_EQ(search::looseFold(utf8("ｶﾞｷﾞﾊﾟﾜﾞｦﾞ")), utf8("がぎぱヷヺ"));
    EXPECT_EQ(search::looseFold(utf8("ｱﾞﾝﾟ")), utf8("あ゛ん゜")); // no such letters: the marks stay
    // ｶ alone is か, which is not が.
    EXPECT_FALSE(KeywordMatcher(utf8("ｶ"), MatchMode::Loose).matches(utf8("ｶﾞ")));
    EXPECT_TRUE(KeywordMatcher(utf8("ｶ"), MatchMode::Exact).matches(utf8("ｶﾞ")));
}

TEST(LooseFold, caseFoldingIsSimpleAndCoversAllScripts)
{
    EXPECT_EQ(search::looseFold(utf8("ÀÉÎ Straße ΑΩ Жё 𐐀")), utf8("àéî straße αω жё 𐐨"));
    const QString text = utf8("Ünïcode ÅNGSTRÖM ǅ ΣΊΣΥΦΟΣ ÇA");
    EXPECT_EQ(search::looseFold(text), text.toCaseFolded());
}

// Files are folded straight from their bytes; that must give what decoding and then folding gives.
TEST(LooseFold, cp932BytesFoldAsTheirDecodedText)
{
    auto check = [](const QByteArray& bytes) {
        const QString expected = search::looseFold(cp932::decode(bytes));
        const QString actual = search::looseFoldCp932(bytes);
        if (actual != expected)
            ADD_FAILURE() << "bytes " << bytes.toHex(' ').toStdString();
        return actual == expected;
    };
    for (int a = 0; a < 0x100; ++a) {
        ASSERT_TRUE(check(QByteArray(1, static_cast<char>(a))));
        for (int b = 0; b < 0x100; ++b)
            ASSERT_TRUE(check(QByteArray{static_cast<char>(a), static_cast<char>(b)}));
    }
    // Runs of leads, trails, half-width kana and sound marks, where a slip would show.
    const unsigned char alphabet[] = {0x81, 0x82, 0x83, 0x9F, 0xE0, 0xED, 0xFA, 0xFC, 0x40, 0x5C,
                                      0x7F, 0x80, 0xA0, 0xA1, 0xB3, 0xB6, 0xCA, 0xDC, 0xDD, 0xDE,
                                      0xDF, 0xFD, 0x0D, 0x0A, 0x41, 0x61, 0x20, 0x00};
    std::mt19937 random(11);
    for (int i = 0; i < 20000; ++i) {
        QByteArray bytes;
        for (int n = 1 + static_cast<int>(random() % 8); n > 0; --n)
            bytes += static_cast<char>(alphabet[random() % sizeof alphabet]);
        ASSERT_TRUE(check(bytes));
    }
}

} // namespace

#include "JumpAnswer.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

struct AnswerCase
{
    const char* name;
    const char* answer; // UTF-8
    int expected;       // -1: not a memo number
};

class JumpAnswers : public ::testing::TestWithParam<AnswerCase>
{
};

TEST_P(JumpAnswers, readAsFlooredDecimalWithinZeroTo9999)
{
    const AnswerCase& c = GetParam();
    const std::optional<int> number = jumpNumberFromAnswer(QString::fromUtf8(c.answer));
    if (c.expected < 0) {
        EXPECT_FALSE(number.has_value()) << *number;
    } else {
        EXPECT_EQ(number, std::optional<int>(c.expected));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, JumpAnswers,
    ::testing::Values(AnswerCase{"zero", "0", 0}, AnswerCase{"last", "9999", 9999},
                      AnswerCase{"tenThousand", "10000", -1}, AnswerCase{"minusOne", "-1", -1},
                      AnswerCase{"fractionFloored", "12.7", 12}, AnswerCase{"fractionJustBelowNext", "12.9999", 12},
                      AnswerCase{"leadingZeros", "0012", 12}, AnswerCase{"manyLeadingZeros", "000000009999", 9999},
                      AnswerCase{"letters", "abc", -1}, AnswerCase{"digitsThenLetters", "12a", -1},
                      AnswerCase{"fullWidthDigits", "１２", 12}, AnswerCase{"fullWidthFraction", "１２．５", 12},
                      AnswerCase{"fullWidthMinus", "－１", -1}, AnswerCase{"blanksAround", "  42\t", 42},
                      AnswerCase{"ideographicSpaces", "\u3000７\u3000", 7}, AnswerCase{"plusSign", "+5", 5},
                      AnswerCase{"negativeFractionFloorsBelowZero", "-0.5", -1}, AnswerCase{"negativeZero", "-0", 0},
                      AnswerCase{"pointOnly", ".", -1}, AnswerCase{"leadingPoint", ".9", 0},
                      AnswerCase{"trailingPoint", "7.", 7}, AnswerCase{"blankInside", "1 2", -1},
                      AnswerCase{"twoPoints", "1.2.3", -1}, AnswerCase{"signOnly", "-", -1},
                      AnswerCase{"hugeNumber", "99999999999999999999999", -1},
                      AnswerCase{"exponentNotAccepted", "1e3", -1}, AnswerCase{"hexNotAccepted", "0x10", -1}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

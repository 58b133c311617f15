#include "NumberText.h"

#include "QtPrinters.h"
#include "ScriptedPrompter.h"
#include "TargetRange.h"
#include "UtilityTestSupport.h"

namespace {

struct RangeCase
{
    const char* from;
    const char* to;
    bool passes;
    int first;
    int last;
};

class TargetRangeTable : public ::testing::TestWithParam<RangeCase>
{
};

} // namespace

TEST_P(TargetRangeTable, checkPassesOnlyForAnAscendingRangeOfNumbers)
{
    const RangeCase& c = GetParam();
    ScriptedPrompter prompter;
    const std::optional<utility::TargetRange> range = utility::checkTargetRange(utf8(c.from), utf8(c.to), prompter);
    ASSERT_EQ(range.has_value(), c.passes);
    if (c.passes) {
        EXPECT_EQ(range->first, c.first);
        EXPECT_EQ(range->last, c.last);
        EXPECT_TRUE(prompter.boxes().empty());
    } else {
        ASSERT_EQ(prompter.boxes().size(), 1u);
        expectBox(prompter.last(), utf8("対象の指定が不正です。"), Prompter::Icon::Exclamation);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, TargetRangeTable,
    ::testing::Values(RangeCase{"0000", "0001", true, 0, 1}, RangeCase{"0000", "9999", true, 0, 9999},
                      RangeCase{"5", "10", true, 5, 10}, RangeCase{" 0002 ", "４", true, 2, 4},
                      RangeCase{"2.5", "3.5", true, 2, 4}, RangeCase{"0001", "0001", false, 0, 0},
                      RangeCase{"1", "0001.0", false, 0, 0}, RangeCase{"0005", "0003", false, 0, 0},
                      RangeCase{"10", "9", false, 0, 0}, RangeCase{"-1", "0005", false, 0, 0},
                      RangeCase{"0000", "10000", false, 0, 0}, RangeCase{"abc", "0005", false, 0, 0},
                      RangeCase{"0000", "", false, 0, 0}, RangeCase{"1e3", "2000", false, 0, 0},
                      RangeCase{"0x10", "0020", false, 0, 0}));

TEST(NumberText, fileNumberRoundsHalfwayToTheEvenNeighbour)
{
    const std::pair<double, int> table[] = {{0.0, 0},   {0.5, 0},       {1.5, 2},     {2.5, 2},
                                            {3.5, 4},   {2.49, 2},      {2.51, 3},    {-0.5, 0},
                                            {-1.5, -2}, {9999.4, 9999}, {1e9, 32767}, {-1e9, -32768}};
    for (const auto& [value, expected] : table)
        EXPECT_EQ(utility::toFileNumber(value), expected) << value;
}

TEST(NumberText, memoNumberOnlyForWholeNumbersOfMemos)
{
    EXPECT_EQ(utility::memoNumberFromText(QStringLiteral("5")), std::optional<int>(5));
    EXPECT_EQ(utility::memoNumberFromText(QStringLiteral("0005")), std::optional<int>(5));
    EXPECT_EQ(utility::memoNumberFromText(QStringLiteral("9999")), std::optional<int>(9999));
    EXPECT_EQ(utility::memoNumberFromText(QStringLiteral("7.0")), std::optional<int>(7));
    for (const char* text : {"5.5", "-1", "10000", "*", "text", "?", ""})
        EXPECT_FALSE(utility::memoNumberFromText(utf8(text))) << text;
}

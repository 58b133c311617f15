#include "TypedNumber.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

QString utf8(const char* s)
{
    return QString::fromUtf8(s);
}

TEST(TypedNumber, numbersAllowFractionsFullWidthFiguresAndBlanks)
{
    const std::pair<const char*, double> table[] = {{"12.5", 12.5}, {"-3", -3.0},   {".5", 0.5}, {"１２．５", 12.5},
                                                    {" 0012 ", 12}, {"　７", 7},    {"12.", 12}, {"＋５", 5},
                                                    {"－２", -2},   {"−0.5", -0.5}, {"+0", 0}};
    for (const auto& [text, value] : table)
        EXPECT_EQ(readTypedNumber(utf8(text)), value) << text;
}

TEST(TypedNumber, everythingElseIsNoNumber)
{
    for (const char* text : {"", " ", "abc", "1e3", "1,000", "1 0", "12a", "-", ".", "inf", "nan", "＋", "0x10"})
        EXPECT_FALSE(readTypedNumber(utf8(text))) << text;
}

} // namespace

// Wrapping of printed lines, Roman page numbers and the rounding of printed distances.
#include "qvedit/print/QvEditPrintTypes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TWrapPositions At(std::initializer_list<Integer> indexes)
{
    TWrapPositions positions;
    for (Integer i : indexes)
        positions.push_back(TWrapPos{i});
    return positions;
}

const std::string FirstBreaks = "\t ,-";

TEST(IntToRomanTest, LargestFirstAndNothingBelowOne)
{
    EXPECT_EQ(IntToRoman(1994), "MCMXCIV");
    EXPECT_EQ(IntToRoman(4), "IV");
    EXPECT_EQ(IntToRoman(3999), "MMMCMXCIX");
    EXPECT_EQ(IntToRoman(4000), "MMMM");
    EXPECT_EQ(IntToRoman(0), "");
    EXPECT_EQ(IntToRoman(std::numeric_limits<Integer>::min()), "");
}

TEST(WrapTextExTest, BreaksAtTheLastBreakCharacterOfEachRow)
{
    std::string line;  // blanks at 5, 10, ..., 100
    for (int i = 0; i < 20; ++i)
        line += "abcd ";
    TWrapPositions positions;
    EXPECT_TRUE(WrapTextEx(line, FirstBreaks, 40, positions));
    EXPECT_EQ(positions, At({40, 80}));
    positions.clear();
    EXPECT_TRUE(WrapTextEx(line, FirstBreaks, 38, positions));
    EXPECT_EQ(positions, At({35, 70}));  // the 30 bytes after 70 fit
    positions.clear();
    EXPECT_TRUE(WrapTextEx("alpha,beta-gamma", ",-", 7, positions));
    EXPECT_EQ(positions, At({6, 11}));  // the break character stays on the earlier row
}

TEST(WrapTextExTest, FailureLeavesTheListAsItWas)
{
    TWrapPositions positions = At({1, 2});
    EXPECT_FALSE(WrapTextEx(std::string(100, 'x'), FirstBreaks, 40, positions));
    // The first row breaks at a blank, the second is a 30-byte word.
    EXPECT_FALSE(WrapTextEx("short words " + std::string(30, 'y'), FirstBreaks, 20, positions));
    EXPECT_EQ(positions, At({1, 2}));
    const std::string dotted = "short.words." + std::string(10, 'y') + "." + std::string(10, 'y');
    EXPECT_TRUE(WrapTextEx(dotted, ").;", 20, positions));
    EXPECT_EQ(positions, At({1, 2, 12, 23}));
}

TEST(WrapTextExTest, NoRowsOfZeroColumns)
{
    TWrapPositions positions;
    EXPECT_FALSE(WrapTextEx("a b c", FirstBreaks, 0, positions));
    EXPECT_FALSE(WrapTextEx("a b c", FirstBreaks, -3, positions));
    EXPECT_TRUE(WrapTextEx("", FirstBreaks, 0, positions));
    EXPECT_TRUE(positions.empty());
}

TEST(RoundToIntegerTest, TiesGoToEvenAndOutOfRangeIsClamped)
{
    EXPECT_EQ(RoundToInteger(2.5), 2);
    EXPECT_EQ(RoundToInteger(3.5), 4);
    EXPECT_EQ(RoundToInteger(-2.5), -2);
    EXPECT_EQ(RoundToInteger(1e20), std::numeric_limits<Integer>::max());
    EXPECT_EQ(RoundToInteger(-1e20), std::numeric_limits<Integer>::min());
    EXPECT_EQ(RoundToInteger(std::nan("")), 0);
}

}  // namespace

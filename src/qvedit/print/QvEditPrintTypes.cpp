// Wrapping of printed lines, Roman numerals and rounding for the printing units.
#include "qvedit/print/QvEditPrintTypes.h"

#include <cmath>
#include <limits>

bool WrapTextEx(const std::string& Line, const std::string& BreakChars, Integer MaxCol,
                TWrapPositions& Positions)
{
    const auto length = static_cast<Int64>(Line.size());
    if (length <= MaxCol)
        return true;
    if (MaxCol < 1)
        return false;
    const std::size_t added = Positions.size();
    Int64 rowStart = 0;  // characters before the current row
    Int64 candidate = 0; // 1-based position of the row's last break character; 0: none
    for (Int64 pos = 1; pos <= length; ++pos) {
        if (BreakChars.find(Line[static_cast<std::size_t>(pos - 1)]) != std::string::npos)
            candidate = pos;
        if (pos != rowStart + MaxCol && pos != length)
            continue;
        if (candidate == 0) {
            Positions.resize(added);
            return false;
        }
        Positions.push_back(TWrapPos{static_cast<Integer>(candidate)});
        rowStart = candidate;
        if (length - candidate <= MaxCol || pos == length)
            return true;
        // The next row's break is looked for only after this decision point.
        candidate = 0;
    }
    return true;
}

std::string IntToRoman(Integer Value)
{
    struct TNumeral {
        Integer Value;
        const char* Text;
    };
    static constexpr TNumeral numerals[] = {
        {1000, "M"}, {900, "CM"}, {500, "D"}, {400, "CD"}, {100, "C"}, {90, "XC"}, {50, "L"},
        {40, "XL"},  {10, "X"},   {9, "IX"},  {5, "V"},    {4, "IV"},  {1, "I"},
    };
    std::string result;
    for (const TNumeral& numeral : numerals) {
        while (Value >= numeral.Value) {
            result += numeral.Text;
            Value -= numeral.Value;
        }
    }
    return result;
}

Integer RoundToInteger(double Value)
{
    if (std::isnan(Value))
        return 0;
    const double rounded = std::nearbyint(Value);
    constexpr auto lowest = std::numeric_limits<Integer>::min();
    constexpr auto highest = std::numeric_limits<Integer>::max();
    if (rounded <= lowest)
        return lowest;
    if (rounded >= highest)
        return highest;
    return static_cast<Integer>(rounded);
}

// Types shared by the printing units, the wrapping of printed lines that are too long for
// the page, page numbers in Roman numerals, and the rounding of printed distances.
#pragma once

#include "platform/runtime/System.h"

#include <string>
#include <vector>

// Horizontal alignment of a text, with the values streams hold.
enum TAlignment : Byte { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

// Where a printed row ends: the 1-based position of the character after which the row
// breaks (the break character stays on the earlier row).
struct TWrapPos {
    Integer Index = 0;
    friend bool operator==(const TWrapPos&, const TWrapPos&) = default;
};

using TWrapPositions = std::vector<TWrapPos>;

// Appends, in ascending order, the positions at which Line can be broken into rows of at
// most MaxCol characters, each row ending at its last character of BreakChars. True when
// the line fits (nothing added) or could be broken; false when some row holds no break
// character or MaxCol is below 1, and then Positions is left as it was.
bool WrapTextEx(const std::string& Line, const std::string& BreakChars, Integer MaxCol,
                TWrapPositions& Positions);

// Value in Roman numerals, largest first; "M" repeats for 4000 and more; "" for values
// below 1.
std::string IntToRoman(Integer Value);

// Rounds to the nearest integer, ties to even; values beyond the Integer range give its
// nearest end, and NaN gives 0.
Integer RoundToInteger(double Value);

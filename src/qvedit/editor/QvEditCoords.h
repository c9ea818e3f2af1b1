// The editor's positional arithmetic as free functions over a line list, so that it can be
// used and checked without a window: character positions to display columns and back,
// display positions to client pixels and back, flat character indexes, and word bounds.
//
// A character position has X a 1-based character index (length + 1 after the last
// character) and Y a 1-based line; a display position has X the 1-based column after tab
// expansion. Positions on lines outside the list (Y < 1 or Y > Count) pass through the
// column converters and the word functions unchanged.
#pragma once

#include "platform/runtime/Classes.h"

#include <string_view>
#include "platform/runtime/System.h"
#include "platform/runtime/Types.h"
#include "qvedit/core/QvEditTypes.h"

#include <string>
#include <string_view>

class TQvCustomHighlighter;

// Value held to the Integer range: positions computed in 64 bits saturate rather than wrap.
Integer SaturateToInteger(Int64 Value);

// ---- Columns ---------------------------------------------------------------------------------

// The display column of character X of Line: each character before X advances one column,
// a TAB to the next multiple of TabWidth; positions past the line's end count one each.
Integer CharToDisplayColumn(std::string_view Line, Integer X, Integer TabWidth);
// The character shown at display column X of Line; a column inside a TAB's padding gives
// the TAB, a column past the line's end the matching position after it.
Integer DisplayToCharColumn(std::string_view Line, Integer X, Integer TabWidth);

// ---- Flat character indexes (each line end counts two characters) -----------------------

// 0-based index of a character position; the line is taken as at most Lines.Count.
Integer RowColToFlatIndex(const TStrings& Lines, const TPoint& RowCol);
// The character position of a 0-based index; the text's end for an index past it, its
// start for a negative one.
TPoint FlatIndexToRowCol(const TStrings& Lines, Integer Index);

// ---- Pixels ----------------------------------------------------------------------------------

// What the pixel conversions need of the view.
struct TQvViewMetrics {
    Integer CharWidth = 1;
    Integer LineHeight = 1;
    Integer GutterWidth = 0;
    Integer TextOffset = 2;  // client x of column 1
    Integer LeftChar = 1;
    Integer TopLine = 1;
    Integer LinesInWindow = 0;
};

// Client point of the top-left corner of a display cell (saturated to the Integer range).
TPoint DisplayToPixels(const TQvViewMetrics& View, const TPoint& Display);
// Display position of a client point: the column nearest to x (a point on the right half
// of a cell gives the column after it), the line holding y, where a y on or below the last
// whole line of the window counts as that line.
TPoint PixelsToDisplay(const TQvViewMetrics& View, const TPoint& Pixels);

// ---- Word characters -------------------------------------------------------------------------

// Without a highlighter: digits, A-Z, a-z, "_" and the bytes 192..255 except 215 and 247.
TQvIdentChars DefaultWordIdentChars();
// Without a highlighter: ! " ' ( ) * + , - . / : ; = ? [ \ ] ^ { | }
TQvIdentChars DefaultWordBreakChars();
// The identifier characters of Highlighter, or the default ones without it.
TQvIdentChars WordIdentChars(const TQvCustomHighlighter* Highlighter);

// The sets word movement works with: identifiers less the word-break characters, and as
// "white" every byte from 1 to 255 that is not such an identifier character.
struct TQvWordChars {
    TQvIdentChars Ident;
    TQvIdentChars White;
};
TQvWordChars PrepareWordChars(const TQvCustomHighlighter* Highlighter);

// ---- Word positions --------------------------------------------------------------------------

// The start of the next word, moving to the next line at (or past) the line's last character.
TPoint NextWordPosIn(const TStrings& Lines, const TPoint& XY, const TQvWordChars& Chars);
// The start of the word holding or ending at XY.
TPoint WordStartIn(const TStrings& Lines, const TPoint& XY, const TQvWordChars& Chars);
// The first white character at or after XY, or the line's end.
TPoint WordEndIn(const TStrings& Lines, const TPoint& XY, const TQvWordChars& Chars);
// The start of the previous word, moving to the end of the previous line at column 1.
TPoint PrevWordPosIn(const TStrings& Lines, const TPoint& XY, const TQvWordChars& Chars);

// The run of Ident characters around XY (extending right from X and left from X - 1); empty
// outside the list or the line.
std::string WordAtRowColIn(const TStrings& Lines, const TPoint& XY, const TQvIdentChars& Ident);

// The word to select around character X of Text (1-based; X within Text), as Start and End
// (exclusive). With Ident the word is bounded by characters outside Ident: End is the first
// at or after X (or Text's end + 1), Start one after the last before X. Without Ident it
// is the run of letters and digits of the ANSI code page around X, empty when the
// character at X is none.
void WordBlockBounds(const std::string& Text, Integer X, const TQvIdentChars* Ident,
                     Integer& Start, Integer& End);

// Positional arithmetic of the editor. Every sum that a huge column or a long text could
// carry past the Integer range is taken in 64 bits and saturated.
#include "qvedit/editor/QvEditCoords.h"

#include "platform/runtime/CodePages.h"
#include "qvedit/core/QvEditHighlighter.h"
#include "qvedit/core/QvEditMiscProcs.h"
#include "qvedit/editor/QvEdit.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr char Tab = '\t';

Int64 NextTabStop(Int64 Column, Integer TabWidth)
{
    return Column + TabWidth - Column % TabWidth;
}

Integer Length(const std::string& Line)
{
    return static_cast<Integer>(Line.size());
}

bool InList(const TStrings& Lines, Integer Y)
{
    return Y >= 1 && Y <= Lines.Count();
}

std::string LineOf(const TStrings& Lines, Integer Y)
{
    return Lines.Strings(Y - 1);
}

}  // namespace

Integer SaturateToInteger(Int64 Value)
{
    return static_cast<Integer>(std::clamp<Int64>(Value, std::numeric_limits<Integer>::min(),
                                                  std::numeric_limits<Integer>::max()));
}

// ---- Columns ---------------------------------------------------------------------------------

Integer CharToDisplayColumn(std::string_view Line, Integer X, Integer TabWidth)
{
    TabWidth = std::max(TabWidth, 1);
    const Int64 walked = std::max<Int64>(Int64{X} - 1, 0);
    const Int64 inLine = std::min<Int64>(walked, static_cast<Int64>(Line.size()));
    // Without a tab before X every character is one column: no walk along a long line.
    const std::size_t firstTab = Line.substr(0, static_cast<std::size_t>(inLine)).find(Tab);
    if (firstTab == std::string_view::npos)
        return SaturateToInteger(walked + 1);
    Int64 column = static_cast<Int64>(firstTab);
    for (Int64 i = column; i < inLine; ++i)
        column = Line[static_cast<std::size_t>(i)] == Tab ? NextTabStop(column, TabWidth) : column + 1;
    return SaturateToInteger(column + (walked - inLine) + 1);
}

Integer DisplayToCharColumn(std::string_view Line, Integer X, Integer TabWidth)
{
    TabWidth = std::max(TabWidth, 1);
    Int64 column = 0;
    Integer walked = 0;
    const auto length = static_cast<Integer>(std::min<std::size_t>(Line.size(), std::numeric_limits<Integer>::max()));
    while (column < X && walked < length) {
        column = Line[static_cast<std::size_t>(walked)] == Tab ? NextTabStop(column, TabWidth)
                                                                : column + 1;
        ++walked;
    }
    // Past the line's end every column is one character.
    if (column < X)
        return SaturateToInteger(walked + (Int64{X} - column));
    return walked;
}

// ---- Flat character indexes ------------------------------------------------------------------

Integer RowColToFlatIndex(const TStrings& Lines, const TPoint& RowCol)
{
    const Integer before = std::min(RowCol.Y, Lines.Count()) - 1;
    Int64 index = 0;
    for (Integer i = 0; i < before; ++i)
        index += Length(Lines.Strings(i)) + 2;
    return SaturateToInteger(index + RowCol.X - 1);
}

TPoint FlatIndexToRowCol(const TStrings& Lines, Integer Index)
{
    const Integer last = Lines.Count() - 1;
    Int64 count = 0;
    for (Integer y = 0; Index > 0 && y <= last; ++y) {
        const Integer length = Length(Lines.Strings(y));
        // The last line has no line end: an index past it is the end of the text.
        if (y == last)
            return TPoint{SaturateToInteger(std::min<Int64>(Index - count, length) + 1), y + 1};
        if (count + length + 2 > Index)
            return TPoint{SaturateToInteger(Index - count + 1), y + 1};
        count += length + 2;
    }
    return TPoint{1, 1};
}

// ---- Pixels ----------------------------------------------------------------------------------

TPoint DisplayToPixels(const TQvViewMetrics& View, const TPoint& Display)
{
    return TPoint{SaturateToInteger((Int64{Display.X} - 1) * View.CharWidth + View.TextOffset),
                  SaturateToInteger((Int64{Display.Y} - View.TopLine) * View.LineHeight)};
}

TPoint PixelsToDisplay(const TQvViewMetrics& View, const TPoint& Pixels)
{
    const Integer charWidth = std::max(View.CharWidth, 1);
    const Integer lineHeight = std::max(View.LineHeight, 1);
    const double f =
        static_cast<double>(Int64{Pixels.X} - View.GutterWidth - 2) / charWidth + View.LeftChar;
    Int64 y = Pixels.Y;
    const Int64 windowBottom = Int64{View.LinesInWindow} * lineHeight;
    if (y >= windowBottom)
        y = std::max<Int64>(windowBottom - 1, 0);
    const double column = std::clamp(std::round(f), static_cast<double>(std::numeric_limits<Integer>::min()),
                                      static_cast<double>(std::numeric_limits<Integer>::max()));
    // Division truncates toward zero: a point a little above the window is still its top line.
    return TPoint{static_cast<Integer>(column), SaturateToInteger(y / lineHeight + View.TopLine)};
}

// ---- Word characters -------------------------------------------------------------------------

TQvIdentChars DefaultWordIdentChars()
{
    TQvIdentChars chars = TQvIdentChars::Range('0', '9') + TQvIdentChars::Range('A', 'Z') +
                          TQvIdentChars::Range('a', 'z') + TQvIdentChars::Range(192, 255);
    chars.Include('_');
    chars.Exclude(static_cast<char>(215));
    chars.Exclude(static_cast<char>(247));
    return chars;
}

TQvIdentChars DefaultWordBreakChars()
{
    return TQvIdentChars("!\"'()*+,-./:;=?[\\]^{|}");
}

TQvIdentChars WordIdentChars(const TQvCustomHighlighter* Highlighter)
{
    return Highlighter != nullptr ? Highlighter->GetIdentChars() : DefaultWordIdentChars();
}

TQvWordChars PrepareWordChars(const TQvCustomHighlighter* Highlighter)
{
    const TQvIdentChars breaks =
        Highlighter != nullptr ? Highlighter->GetWordBreakChars() : DefaultWordBreakChars();
    TQvWordChars chars;
    chars.Ident = WordIdentChars(Highlighter) - breaks;
    chars.White = TQvIdentChars::Range(1, 255) - chars.Ident;
    return chars;
}

// ---- Word positions --------------------------------------------------------------------------
// On a single-byte code page no character is a double-byte one, so the scans below need no
// lead-byte cases; StrScanForCharInSet and its reverse step over double-byte characters.

TPoint NextWordPosIn(const TStrings& Lines, const TPoint& XY, const TQvWordChars& Chars)
{
    if (!InList(Lines, XY.Y))
        return XY;
    const std::string line = LineOf(Lines, XY.Y);
    Integer x = std::max(XY.X, 1);
    if (x >= Length(line)) {
        if (XY.Y >= Lines.Count())
            return XY;
        const std::string next = LineOf(Lines, XY.Y + 1);
        return TPoint{std::max(1, StrScanForCharInSet(next, 1, Chars.Ident)), XY.Y + 1};
    }
    if (Chars.Ident.Contains(line[static_cast<std::size_t>(x - 1)]))
        x = StrScanForCharInSet(line, x, Chars.White);
    if (x > 0)
        x = StrScanForCharInSet(line, x, Chars.Ident);
    if (x == 0)
        x = Length(line) + 1;
    return TPoint{x, XY.Y};
}

TPoint WordStartIn(const TStrings& Lines, const TPoint& XY, const TQvWordChars& Chars)
{
    if (!InList(Lines, XY.Y))
        return XY;
    const std::string line = LineOf(Lines, XY.Y);
    Integer x = std::min(XY.X, Length(line) + 1);
    if (x > 1 && !Chars.White.Contains(line[static_cast<std::size_t>(x - 2)]))
        x = StrRScanForCharInSet(line, x - 1, Chars.White) + 1;
    return TPoint{x, XY.Y};
}

TPoint WordEndIn(const TStrings& Lines, const TPoint& XY, const TQvWordChars& Chars)
{
    if (!InList(Lines, XY.Y))
        return XY;
    const std::string line = LineOf(Lines, XY.Y);
    Integer x = StrScanForCharInSet(line, XY.X, Chars.White);
    if (x == 0)
        x = Length(line) + 1;
    return TPoint{x, XY.Y};
}

TPoint PrevWordPosIn(const TStrings& Lines, const TPoint& XY, const TQvWordChars& Chars)
{
    if (!InList(Lines, XY.Y))
        return XY;
    const std::string line = LineOf(Lines, XY.Y);
    Integer x = std::min(XY.X, Length(line) + 1);
    if (x > 1) {
        if (Chars.White.Contains(line[static_cast<std::size_t>(x - 2)]))
            x = StrRScanForCharInSet(line, x - 1, Chars.Ident);
        if (x > 0)
            x = StrRScanForCharInSet(line, x - 1, Chars.White) + 1;
        if (x > 0)
            return TPoint{x, XY.Y};
        if (XY.Y == 1)
            return TPoint{1, 1};
    } else if (XY.Y == 1) {
        return TPoint{x, XY.Y};
    }
    return TPoint{Length(LineOf(Lines, XY.Y - 1)) + 1, XY.Y - 1};
}

std::string WordAtRowColIn(const TStrings& Lines, const TPoint& XY, const TQvIdentChars& Ident)
{
    if (!InList(Lines, XY.Y))
        return {};
    const std::string line = LineOf(Lines, XY.Y);
    const Integer length = Length(line);
    if (XY.X < 1 || XY.X > length + 1)
        return {};
    Integer stop = XY.X;
    while (stop <= length && Ident.Contains(line[static_cast<std::size_t>(stop - 1)]))
        ++stop;
    Integer start = XY.X;
    while (start > 1 && Ident.Contains(line[static_cast<std::size_t>(start - 2)]))
        --start;
    return line.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(stop - start));
}

void WordBlockBounds(const std::string& Text, Integer X, const TQvIdentChars* Ident,
                     Integer& Start, Integer& End)
{
    const Integer length = Length(Text);
    const auto inWord = [&](Integer i) {
        const char c = Text[static_cast<std::size_t>(i - 1)];
        return Ident != nullptr ? Ident->Contains(c) : IsCharAlphaNumericA(c);
    };
    End = X;
    while (End <= length && inWord(End))
        ++End;
    if (Ident == nullptr && End == X) {
        Start = X;  // the character at X bounds words itself
        return;
    }
    Start = X;
    while (Start > 1 && inWord(Start - 1))
        --Start;
}

// ---- The editor's member forms -----------------------------------------------------------------

TQvViewMetrics TCustomQvEdit::ViewMetrics() const
{
    TQvViewMetrics view;
    view.CharWidth = charWidth_;
    view.LineHeight = lineHeight_;
    view.GutterWidth = gutterWidth_;
    view.TextOffset = textOffset_;
    view.LeftChar = leftChar_;
    view.TopLine = topLine_;
    view.LinesInWindow = linesInWindow_;
    return view;
}

TPoint TCustomQvEdit::LogicalToPhysicalPos(const TPoint& P) const
{
    if (!InList(*lines_, P.Y))
        return P;
    // A line the buffer knows to hold no tab is a column a character: no search along it,
    // which at the end of a long line is a search of all of it at every caret move.
    if (lines_->GetFlags(P.Y - 1).Contains(sfHasNoTabs))
        return TPoint{std::max(P.X, 1), P.Y};
    return TPoint{CharToDisplayColumn(lines_->GetView(P.Y - 1), P.X, tabWidth_), P.Y};
}

TPoint TCustomQvEdit::PhysicalToLogicalPos(const TPoint& P) const
{
    if (!InList(*lines_, P.Y))
        return P;
    return TPoint{DisplayToCharColumn(lines_->GetView(P.Y - 1), P.X, tabWidth_), P.Y};
}

TPoint TCustomQvEdit::RowColumnToPixels(const TPoint& RowCol) const
{
    return DisplayToPixels(ViewMetrics(), RowCol);
}

TPoint TCustomQvEdit::PixelsToRowColumn(const TPoint& Pixels) const
{
    return PhysicalToLogicalPos(PixelsToDisplay(ViewMetrics(), Pixels));
}

TPoint TCustomQvEdit::GetDisplayXY() const
{
    return LogicalToPhysicalPos(GetCaretXY());
}

Integer TCustomQvEdit::DisplayX() const
{
    return GetDisplayXY().X;
}

Integer TCustomQvEdit::DisplayY() const
{
    return GetDisplayXY().Y;
}

Integer TCustomQvEdit::CaretXPix() const
{
    return RowColumnToPixels(GetDisplayXY()).X;
}

Integer TCustomQvEdit::CaretYPix() const
{
    return RowColumnToPixels(GetDisplayXY()).Y;
}

Integer TCustomQvEdit::RowColToCharIndex(const TPoint& RowCol) const
{
    return RowColToFlatIndex(*lines_, RowCol);
}

TPoint TCustomQvEdit::CharIndexToRowCol(Integer Index) const
{
    return FlatIndexToRowCol(*lines_, Index);
}

bool TCustomQvEdit::GetPositionOfMouse(TPoint& aPos) const
{
    TPoint cursor;
    if (!GetCursorPos(&cursor))
        return false;
    const TPoint client = ScreenToClient(cursor);
    if (client.X < 0 || client.Y < 0 || client.X >= Width() || client.Y >= Height())
        return false;
    aPos = PixelsToRowColumn(client);
    return true;
}

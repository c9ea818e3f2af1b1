// Coordinate and word arithmetic without a window: display columns over tabs and past the
// line's end, flat indexes with two characters per line end, pixels, word positions.
#include "qvedit/editor/QvEditCoords.h"

#include "platform/runtime/Classes.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr Integer IntMax = std::numeric_limits<Integer>::max();

std::unique_ptr<TStringList> LinesOf(const std::vector<std::string>& Texts)
{
    auto lines = std::make_unique<TStringList>();
    for (const std::string& text : Texts)
        lines->Add(text);
    return lines;
}

TEST(EditorCoordsTest, CharactersAndColumnsRoundTripInsideAndPastTheLine)
{
    for (const std::string line : {"", "plain", "\tab", "a\tb\t\tc", "\t\t"}) {
        for (Integer tabWidth : {1, 2, 4, 8}) {
            for (Integer x = 1; x <= 40; ++x) {
                const Integer column = CharToDisplayColumn(line, x, tabWidth);
                EXPECT_EQ(DisplayToCharColumn(line, column, tabWidth), x)
                    << "line '" << line << "' tab " << tabWidth << " x " << x;
            }
        }
    }
    // With TabWidth 8 a leading tab fills columns 1 to 8, and they all map back to it.
    EXPECT_EQ(CharToDisplayColumn("\tab", 2, 8), 9);
    for (Integer column = 1; column <= 8; ++column)
        EXPECT_EQ(DisplayToCharColumn("\tab", column, 8), 1) << column;
    EXPECT_EQ(CharToDisplayColumn("a\tb", 3, 8), 9);
    // Past the end every position is one column: "\tab" ends at column 10.
    EXPECT_EQ(CharToDisplayColumn("\tab", 10, 8), 17);
    EXPECT_EQ(DisplayToCharColumn("\tab", 17, 8), 10);
}

TEST(EditorCoordsTest, HugeColumnsSaturateAndAreAnsweredAtOnce)
{
    EXPECT_EQ(CharToDisplayColumn("\t", IntMax, 8), IntMax);
    EXPECT_EQ(CharToDisplayColumn("", IntMax, 8), IntMax);
    // Column 8 is the tab's last; each column after it is one position.
    EXPECT_EQ(DisplayToCharColumn("\t", IntMax, 8), IntMax - 7);
    EXPECT_EQ(DisplayToCharColumn("abc", 0, 8), 0);
    EXPECT_EQ(CharToDisplayColumn("abc", std::numeric_limits<Integer>::min(), 8), 1);
}

TEST(EditorCoordsTest, FlatIndexesCountTwoCharactersPerLineEnd)
{
    const auto lines = LinesOf({"ab", "", "cde"});
    EXPECT_EQ(RowColToFlatIndex(*lines, TPoint{1, 2}), 4);
    EXPECT_EQ(RowColToFlatIndex(*lines, TPoint{4, 3}), 9);
    EXPECT_EQ(RowColToFlatIndex(*lines, TPoint{2, 7}), 7);  // taken on the last line

    for (Integer y = 1; y <= 3; ++y) {
        const Integer length = static_cast<Integer>(lines->Strings(y - 1).size());
        for (Integer x = 1; x <= length + 1; ++x) {
            const TPoint p{x, y};
            EXPECT_EQ(FlatIndexToRowCol(*lines, RowColToFlatIndex(*lines, p)), p);
        }
    }
    EXPECT_EQ(FlatIndexToRowCol(*lines, 3), (TPoint{4, 1}));  // between CR and LF
    // Past the text's end (9: the last line has no line end) is its end, before it its start.
    for (const Integer index : {10, 11, IntMax})
        EXPECT_EQ(FlatIndexToRowCol(*lines, index), (TPoint{4, 3})) << index;
    EXPECT_EQ(FlatIndexToRowCol(*lines, -1), (TPoint{1, 1}));
    EXPECT_EQ(FlatIndexToRowCol(*lines, std::numeric_limits<Integer>::min()), (TPoint{1, 1}));

    const auto empty = LinesOf({});
    EXPECT_EQ(RowColToFlatIndex(*empty, TPoint{1, 1}), 0);
    EXPECT_EQ(FlatIndexToRowCol(*empty, 0), (TPoint{1, 1}));
    EXPECT_EQ(FlatIndexToRowCol(*empty, 5), (TPoint{1, 1}));
}

TEST(EditorCoordsTest, PixelsRoundToTheNearestColumnAndStayInTheWindow)
{
    TQvViewMetrics view;
    view.CharWidth = 8;
    view.LineHeight = 16;
    view.GutterWidth = 30;
    view.LeftChar = 5;
    view.TextOffset = view.GutterWidth + 2 - (view.LeftChar - 1) * view.CharWidth;
    view.TopLine = 3;
    view.LinesInWindow = 10;

    for (Integer y = 3; y <= 12; ++y)
        for (Integer x = 5; x <= 60; ++x)
            EXPECT_EQ(PixelsToDisplay(view, DisplayToPixels(view, TPoint{x, y})), (TPoint{x, y}));

    const TPoint cell = DisplayToPixels(view, TPoint{7, 4});
    EXPECT_EQ(cell, (TPoint{32 + 2 * 8, 16}));
    EXPECT_EQ(PixelsToDisplay(view, TPoint{cell.X + 3, cell.Y + 15}), (TPoint{7, 4}));
    EXPECT_EQ(PixelsToDisplay(view, TPoint{cell.X + 4, cell.Y}), (TPoint{8, 4}));
    // Below the last whole line is that line; a little above the window the top line.
    EXPECT_EQ(PixelsToDisplay(view, TPoint{cell.X, 160}).Y, 12);
    EXPECT_EQ(PixelsToDisplay(view, TPoint{cell.X, 100000}).Y, 12);
    EXPECT_EQ(PixelsToDisplay(view, TPoint{cell.X, -5}).Y, 3);
    EXPECT_EQ(DisplayToPixels(view, TPoint{IntMax, IntMax}), (TPoint{IntMax, IntMax}));
}

TEST(EditorCoordsTest, WordMovesStopAtWordStartsAndCrossLines)
{
    const auto lines = LinesOf({"foo.bar  baz", "  next", ""});
    const TQvWordChars chars = PrepareWordChars(nullptr);
    EXPECT_EQ(NextWordPosIn(*lines, TPoint{1, 1}, chars), (TPoint{5, 1}));
    EXPECT_EQ(NextWordPosIn(*lines, TPoint{5, 1}, chars), (TPoint{10, 1}));
    EXPECT_EQ(NextWordPosIn(*lines, TPoint{10, 1}, chars), (TPoint{13, 1}));
    EXPECT_EQ(NextWordPosIn(*lines, TPoint{13, 1}, chars), (TPoint{3, 2}));
    EXPECT_EQ(NextWordPosIn(*lines, TPoint{7, 2}, chars), (TPoint{1, 3}));

    EXPECT_EQ(PrevWordPosIn(*lines, TPoint{13, 1}, chars), (TPoint{10, 1}));
    EXPECT_EQ(PrevWordPosIn(*lines, TPoint{10, 1}, chars), (TPoint{5, 1}));
    EXPECT_EQ(PrevWordPosIn(*lines, TPoint{5, 1}, chars), (TPoint{1, 1}));
    EXPECT_EQ(PrevWordPosIn(*lines, TPoint{3, 2}, chars), (TPoint{13, 1}));
    EXPECT_EQ(PrevWordPosIn(*lines, TPoint{1, 1}, chars), (TPoint{1, 1}));

    EXPECT_EQ(WordStartIn(*lines, TPoint{99, 1}, chars), (TPoint{10, 1}));
    EXPECT_EQ(WordEndIn(*lines, TPoint{6, 1}, chars), (TPoint{8, 1}));

    // Lines outside the list pass unchanged.
    for (const TPoint outside : {TPoint{4, 0}, TPoint{4, 4}}) {
        EXPECT_EQ(NextWordPosIn(*lines, outside, chars), outside);
        EXPECT_EQ(PrevWordPosIn(*lines, outside, chars), outside);
    }
}

}  // namespace

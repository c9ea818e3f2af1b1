// The view follows the caret to its display column: past the end of a line with tabs, and
// past the maximum line width on a line that is longer than it.
#include "EditorFixture.h"

#include "platform/window/ScrollBars.h"

#include <string>

namespace {

class EditorCaretInViewTest : public EditorFixture {
protected:
    // The caret's display column lies within the columns the window shows.
    void ExpectCaretInView(const char* What)
    {
        const Integer column = Editor().DisplayX();
        EXPECT_GE(column, Editor().GetLeftChar()) << What;
        EXPECT_LE(column, Editor().GetLeftChar() + Editor().GetCharsInWindow()) << What;
    }
};

TEST_F(EditorCaretInViewTest, TheViewFollowsACaretPastTheEndOfALineWithTabs)
{
    ASSERT_TRUE(Editor().GetOptions().Contains(eoScrollPastEol));
    ASSERT_EQ(Editor().GetTabWidth(), 8);
    const Integer columns = Editor().GetCharsInWindow();
    ASSERT_LT(columns, 60);

    SetText("\tab");
    Editor().SetCaretXY(TPoint{60, 1});
    EXPECT_EQ(Editor().DisplayX(), 67);
    EXPECT_EQ(Editor().GetLeftChar(), 67 - columns + 1);
    ExpectCaretInView("past the end of a line with a tab");

    // The same caret without a tab: the same rule, seven columns less.
    SetText("xab");
    Editor().SetLeftChar(1);
    Editor().SetCaretXY(TPoint{60, 1});
    EXPECT_EQ(Editor().GetLeftChar(), 60 - columns + 1);

    // Back left of the view, to a column inside the line behind two tabs.
    SetText("\t\tab");
    Editor().SetCaretXY(TPoint{200, 1});
    ExpectCaretInView("far right");
    Editor().SetCaretXY(TPoint{3, 1});
    EXPECT_EQ(Editor().DisplayX(), 17);
    EXPECT_EQ(Editor().GetLeftChar(), 17);
}

// A line longer than the maximum width: its end is within the caret's reach, so the view
// goes there too; the line is kept whole.
TEST_F(EditorCaretInViewTest, TheViewReachesTheEndOfALineLongerThanTheMaximumWidth)
{
    Editor().SetMaxLineWidth(100);
    const std::string line = std::string(300, 'x') + "end";
    SetText(line + "\nshort");
    Editor().SetCaretXY(TPoint{1, 1});
    Key(VK_END);
    EXPECT_EQ(Editor().GetCaretX(), 304);
    ExpectCaretInView("at the end of the long line");
    EXPECT_EQ(Editor().GetLines()->Strings(0), line);

    // Text at the end of the line is painted there: the cell before the caret has ink.
    Grab();
    const TPoint cell = CellOrigin(303, 1);
    int ink = 0;
    for (int y = cell.Y; y < cell.Y + Editor().GetLineHeight(); ++y)
        for (int x = cell.X; x < cell.X + Editor().GetCharWidth(); ++x)
            ink += Pixel(x, y) != ColorToRGB(clWindow) ? 1 : 0;
    EXPECT_GT(ink, 0);

    // The bar spans the long line while the view is on it, so that its thumb is at the end.
    SCROLLINFO info;
    info.fMask = SIF_ALL;
    GetScrollInfo(Editor().Handle(), SB_HORZ, &info);
    EXPECT_EQ(info.nMax, 304);
    EXPECT_EQ(info.nPos, Editor().GetLeftChar());
    EXPECT_EQ(info.nPos + static_cast<int>(info.nPage) - 1, info.nMax);

    // The view reaches the line's end by any way, and only the maximum width when the long
    // line is gone.
    Editor().SetLeftChar(1);
    Editor().SetLeftChar(1000000);
    EXPECT_EQ(Editor().GetLeftChar(), 304 - Editor().GetCharsInWindow() + 1);  // 304: after "end"
    SetText("short");
    Editor().SetLeftChar(1000000);
    EXPECT_EQ(Editor().GetLeftChar(), 100 - Editor().GetCharsInWindow() + 1);
}

}  // namespace

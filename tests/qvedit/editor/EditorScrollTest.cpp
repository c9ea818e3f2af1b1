// The view: TopLine and LeftChar within bounds whatever they are sent, the scroll bars
// (scaled above 32,767), the scroll messages with the thumb's hint, the wheel, and keeping
// the caret in view.
#include "EditorFixture.h"

#include "platform/window/ScrollBars.h"

#include <limits>
#include <string>
#include <vector>

namespace {

class TProbeEdit : public TQvEdit {
public:
    using TQvEdit::TQvEdit;
    using TCustomQvEdit::ScrollHintText;
    using TCustomQvEdit::SetCaretXYEx;
};

class EditorScrollTest : public TEditorFixture<TProbeEdit> {
protected:
    void Lines(int Count, const std::string& Line = "text")
    {
        std::string text;
        for (int i = 0; i < Count; ++i)
            text += Line + "\n";
        SetText(text);
    }
    LRESULT Scroll(UINT Msg, Word Code, Word Pos = 0)
    {
        return Editor().Perform(Msg, static_cast<WPARAM>(Code) | (static_cast<WPARAM>(Pos) << 16), 0);
    }
    void Wheel(int Delta, WPARAM Keys = 0)
    {
        Editor().Perform(WM_MOUSEWHEEL, Keys | (static_cast<WPARAM>(static_cast<Word>(Delta)) << 16), 0);
    }
    SCROLLINFO Bar(int Which)
    {
        SCROLLINFO info;
        info.fMask = SIF_ALL;
        GetScrollInfo(Editor().Handle(), Which, &info);
        return info;
    }
    bool BarVisible(int Which)
    {
        BOOL visible = FALSE;
        GetScrollBarState(Editor().Handle(), Which, &visible, nullptr);
        return visible != FALSE;
    }
    bool BarEnabled(int Which)
    {
        BOOL enabled = FALSE;
        GetScrollBarState(Editor().Handle(), Which, nullptr, &enabled);
        return enabled != FALSE;
    }
};

TEST_F(EditorScrollTest, TopLineTakesAnyValueAndStaysWithinTheText)
{
    Lines(100);
    const int window = Editor().GetLinesInWindow();
    ASSERT_GT(window, 2);
    for (Integer value : {0, -1, std::numeric_limits<Integer>::min()}) {
        Editor().SetTopLine(value);
        EXPECT_EQ(Editor().GetTopLine(), 1) << value;
    }
    for (Integer value : {101, 1000000, std::numeric_limits<Integer>::max()}) {
        Editor().SetTopLine(value);
        EXPECT_EQ(Editor().GetTopLine(), 101 - window) << value;
    }
    Editor().SetOptionFlag(eoScrollPastEof, true);
    Editor().SetTopLine(std::numeric_limits<Integer>::max());
    EXPECT_EQ(Editor().GetTopLine(), 100);

    // A short text cannot scroll at all.
    SetText("a\nb");
    Editor().SetOptionFlag(eoScrollPastEof, false);
    Editor().SetTopLine(2);
    EXPECT_EQ(Editor().GetTopLine(), 1);
}

TEST_F(EditorScrollTest, LeftCharTakesAnyValueAndStaysWithinTheLineWidth)
{
    Lines(3, std::string(300, 'x'));
    const int columns = Editor().GetCharsInWindow();
    for (Integer value : {0, -5, std::numeric_limits<Integer>::min()}) {
        Editor().SetLeftChar(value);
        EXPECT_EQ(Editor().GetLeftChar(), 1) << value;
    }
    // Past the end of lines: up to MaxLineWidth.
    Editor().SetLeftChar(std::numeric_limits<Integer>::max());
    EXPECT_EQ(Editor().GetLeftChar(), 1024 - columns + 1);
    Editor().SetOptionFlag(eoAutoSizeMaxLineWidth, true);
    Editor().SetLeftChar(std::numeric_limits<Integer>::max());
    EXPECT_EQ(Editor().GetLeftChar(), std::numeric_limits<Integer>::max() - columns);
    EXPECT_EQ(Editor().GetMaxLineWidth(), 0x7FFFFFFE);
    Grab();  // nothing overflows at the far right
    Editor().SetOptionFlag(eoAutoSizeMaxLineWidth, false);
    // Within the longest line.
    Editor().SetOptionFlag(eoScrollPastEol, false);
    Editor().SetLeftChar(std::numeric_limits<Integer>::max());
    EXPECT_EQ(Editor().GetLeftChar(), 300 - (columns - 1));
}

TEST_F(EditorScrollTest, ScrollMessagesMoveTheViewAndReportIt)
{
    Lines(100, std::string(200, 'x'));
    struct TScrolls : TObject {
        void Scrolled(TObject*, TScrollBarKind Kind) { Seen.push_back(Kind); }
        std::vector<TScrollBarKind> Seen;
    } scrolls;
    Editor().OnScroll = TScrollEvent(&scrolls, &TScrolls::Scrolled);
    const int window = Editor().GetLinesInWindow();
    EXPECT_EQ(Scroll(WM_VSCROLL, SB_LINEDOWN), 0);
    EXPECT_EQ(Editor().GetTopLine(), 2);
    Scroll(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(Editor().GetTopLine(), 2 + window);
    Editor().SetOptionFlag(eoScrollByOneLess, true);
    Scroll(WM_VSCROLL, SB_PAGEUP);
    EXPECT_EQ(Editor().GetTopLine(), 3);
    Scroll(WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(Editor().GetTopLine(), 101 - window);
    Scroll(WM_VSCROLL, SB_THUMBTRACK, 40);
    EXPECT_EQ(Editor().GetTopLine(), 40);
    Scroll(WM_VSCROLL, SB_TOP);
    EXPECT_EQ(Editor().GetTopLine(), 1);
    Scroll(WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(Editor().GetTopLine(), 1);

    Scroll(WM_HSCROLL, SB_LINERIGHT);
    EXPECT_EQ(Editor().GetLeftChar(), 2);
    Scroll(WM_HSCROLL, SB_THUMBPOSITION, 150);
    EXPECT_EQ(Editor().GetLeftChar(), 150);
    Scroll(WM_HSCROLL, SB_LEFT);
    EXPECT_EQ(Editor().GetLeftChar(), 1);
    EXPECT_EQ(scrolls.Seen.size(), 10u);
    EXPECT_EQ(scrolls.Seen.back(), sbHorizontal);
    EXPECT_EQ(scrolls.Seen.front(), sbVertical);
}

// The thumb's messages carry 16 bits: a text of 40,000 lines scales its bar to 0..32,767
// and the thumb's last position still reaches the end.
TEST_F(EditorScrollTest, LongTextsScaleTheBarsAndTheThumbReachesTheEnd)
{
    Lines(40000);
    const int window = Editor().GetLinesInWindow();
    SCROLLINFO vert = Bar(SB_VERT);
    EXPECT_EQ(vert.nMin, 0);
    EXPECT_EQ(vert.nMax, 32767);
    EXPECT_EQ(static_cast<int>(vert.nPage), MulDiv(32767, window, 40000));
    Scroll(WM_VSCROLL, SB_THUMBTRACK, 32767);
    EXPECT_EQ(Editor().GetTopLine(), 40001 - window);
    EXPECT_EQ(Bar(SB_VERT).nPos, MulDiv(32767, Editor().GetTopLine(), 40000));
    Scroll(WM_VSCROLL, SB_THUMBTRACK, 16384);
    EXPECT_EQ(Editor().GetTopLine(), MulDiv(40000 + window - 1, 16384, 32767));

    // Horizontally, a line width of 100,000 columns with eoScrollPastEol.
    Editor().SetMaxLineWidth(100000);
    SCROLLINFO horz = Bar(SB_HORZ);
    EXPECT_EQ(horz.nMax, 32767);
    Scroll(WM_HSCROLL, SB_THUMBTRACK, 32767);
    EXPECT_EQ(Editor().GetLeftChar(), 100000 - Editor().GetCharsInWindow() + 1);
}

TEST_F(EditorScrollTest, ABarWithNothingToScrollIsDisabledOrWithTheOptionHidden)
{
    Lines(3);
    EXPECT_TRUE(BarVisible(SB_VERT));
    EXPECT_FALSE(BarEnabled(SB_VERT));
    Editor().SetOptionFlag(eoHideShowScrollbars, true);
    EXPECT_FALSE(BarVisible(SB_VERT));
    Lines(200);
    EXPECT_TRUE(BarVisible(SB_VERT));
    EXPECT_TRUE(BarEnabled(SB_VERT));
    Editor().SetScrollBars(ssNone);
    EXPECT_FALSE(BarVisible(SB_VERT));
    EXPECT_FALSE(BarVisible(SB_HORZ));
}

TEST_F(EditorScrollTest, OnlyTheBarsOfTheScrollStyleShowAndTheRoomOfOneGoneIsUsed)
{
    Lines(200);
    const Integer lines = Editor().GetLinesInWindow();
    const Integer columns = Editor().GetCharsInWindow();
    ASSERT_TRUE(BarVisible(SB_VERT));
    ASSERT_TRUE(BarVisible(SB_HORZ));

    Editor().SetScrollBars(ssVertical);
    EXPECT_TRUE(BarVisible(SB_VERT));
    EXPECT_FALSE(BarVisible(SB_HORZ));
    EXPECT_GT(Editor().GetLinesInWindow(), lines);

    Editor().SetScrollBars(ssHorizontal);
    EXPECT_FALSE(BarVisible(SB_VERT));
    EXPECT_TRUE(BarVisible(SB_HORZ));
    EXPECT_EQ(Editor().GetLinesInWindow(), lines);
    EXPECT_GT(Editor().GetCharsInWindow(), columns);

    Editor().SetScrollBars(ssNone);
    Editor().SetScrollBars(ssVertical);
    EXPECT_TRUE(BarVisible(SB_VERT));
    EXPECT_FALSE(BarVisible(SB_HORZ));
    Editor().SetScrollBars(ssBoth);
    EXPECT_TRUE(BarVisible(SB_VERT));
    EXPECT_TRUE(BarVisible(SB_HORZ));
    EXPECT_EQ(Editor().GetLinesInWindow(), lines);
    EXPECT_EQ(Editor().GetCharsInWindow(), columns);
}

TEST_F(EditorScrollTest, WheelDeltasAddUpToNotches)
{
    Lines(200);
    UINT perNotch = 3;
    SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &perNotch, 0);
    Editor().SetTopLine(50);
    Wheel(-60);
    EXPECT_EQ(Editor().GetTopLine(), 50);
    Wheel(-60);
    EXPECT_EQ(Editor().GetTopLine(), 50 + static_cast<int>(perNotch));
    Wheel(120);
    EXPECT_EQ(Editor().GetTopLine(), 50);
    // Ctrl scrolls pages, halved with eoHalfPageScroll.
    Editor().SetOptionFlag(eoHalfPageScroll, true);
    Wheel(-120, MK_CONTROL);
    EXPECT_EQ(Editor().GetTopLine(), 50 + Editor().GetLinesInWindow() / 2);
}

TEST_F(EditorScrollTest, TheThumbHintShowsTheTopLineOrTheVisibleRange)
{
    Lines(100);
    Editor().SetTopLine(5);
    EXPECT_EQ(Editor().ScrollHintText(), "Top Line: 5");
    Editor().SetScrollHintFormat(shfTopToBottom);
    EXPECT_EQ(Editor().ScrollHintText(),
              "5 - " + std::to_string(5 + Editor().GetLinesInWindow()));
    Editor().SetTopLine(99);
    EXPECT_EQ(Editor().ScrollHintText(), std::to_string(Editor().GetTopLine()) + " - 100");
    // Dragging the thumb shows the hint; the end of the scroll takes it away.
    Editor().SetOptionFlag(eoScrollHintFollows, true);
    Scroll(WM_VSCROLL, SB_THUMBTRACK, 20);
    EXPECT_EQ(Editor().GetTopLine(), 20);
    Scroll(WM_VSCROLL, SB_ENDSCROLL);
}

// A caret moved without scrolling to the line just above the window is centred too.
TEST_F(EditorScrollTest, CentringBringsACaretJustAboveTheWindowIntoView)
{
    Lines(200);
    const int window = Editor().GetLinesInWindow();
    Editor().SetTopLine(100);
    Editor().SetCaretXYEx(false, TPoint{1, 99});
    EXPECT_EQ(Editor().GetTopLine(), 100);
    Editor().EnsureCursorPosVisibleEx(true);
    EXPECT_EQ(Editor().GetTopLine(), 99 - window / 2 + 1);
    EXPECT_LE(Editor().GetTopLine(), 99);

    // Below the window: centred by the lower rule.
    Editor().SetCaretXYEx(false, TPoint{1, 190});
    Editor().EnsureCursorPosVisibleEx(true);
    EXPECT_EQ(Editor().GetTopLine(), std::min(190 - (window - 1) + window / 2, 201 - window));
    // Without centring, the caret just comes into view at the edge.
    Editor().SetCaretXYEx(false, TPoint{1, 10});
    Editor().EnsureCursorPosVisible();
    EXPECT_EQ(Editor().GetTopLine(), 10);
}

}  // namespace

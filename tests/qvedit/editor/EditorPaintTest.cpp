// What the editor paints: the gutter's numbers, token runs, the selection in its three
// modes, special and caret-line colours, visible tabs, blanks and line ends, the right
// edge; and that only the lines and columns inside the clip are read.
#include "EditorFixture.h"
#include "TestHighlighter.h"

#include "platform/graphics/Colors.h"
#include "platform/graphics/GraphicsQt.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace {

Byte Red(TColor c) { return static_cast<Byte>(c & 0xFF); }
Byte Green(TColor c) { return static_cast<Byte>((c >> 8) & 0xFF); }
Byte Blue(TColor c) { return static_cast<Byte>((c >> 16) & 0xFF); }

bool Reddish(TColor c) { return Red(c) > 150 && Green(c) < 110 && Blue(c) < 110; }
bool Bluish(TColor c) { return Blue(c) > 150 && Red(c) < 110 && Green(c) < 110; }

class EditorPaintTest : public EditorFixture {
protected:
    // The colour at the top of a display cell, where no glyph of these tests has ink.
    TColor CellBackground(int Column, int Line)
    {
        const TPoint p = CellOrigin(Column, Line);
        return Pixel(p.X + 1, p.Y + 1);
    }
    // Pixels of the rectangle for which Test holds.
    int Count(const TRect& R, const std::function<bool(TColor)>& Test)
    {
        int n = 0;
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                n += Test(Pixel(x, y)) ? 1 : 0;
        return n;
    }
    // Pixels of the cells From..To (display columns) of Line that differ from Background.
    int Ink(int From, int To, int Line, TColor Background)
    {
        const TPoint a = CellOrigin(From, Line);
        const TPoint b = CellOrigin(To + 1, Line);
        return Count(Rect(a.X, a.Y, b.X, a.Y + Editor().GetLineHeight()),
                     [&](TColor c) { return c != Background; });
    }
    TColor Window() const { return ColorToRGB(clWindow); }
    TColor Highlight() const { return ColorToRGB(clHighlight); }

    TWordHighlighter* UseWordHighlighter()
    {
        words_ = new TWordHighlighter(&Form());
        Editor().SetHighlighter(words_);
        return words_;
    }

    TWordHighlighter* words_ = nullptr;
};

TEST_F(EditorPaintTest, GutterNumbersAreRightAlignedAndMayBeRenumbered)
{
    TQvGutter* gutter = Editor().GetGutter();
    gutter->SetShowLineNumbers(true);
    gutter->SetColor(clWhite);
    gutter->GetFont()->SetColor(clBlack);
    SetText("1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11");
    struct TRenumber : TObject {
        void Number(TObject*, int& LineNo) { LineNo = LineNo == 3 ? 0 : LineNo; }
    } renumber;
    Editor().OnLineNumber = TLineNumberEvent(&renumber, &TRenumber::Number);
    Grab();
    const int right = Editor().GetGutterWidth() - 2;  // the border lines are right of it
    const int height = Editor().GetLineHeight();
    auto inkSpan = [&](int line) {
        int first = -1;
        int last = -1;
        for (int x = 0; x < right; ++x)
            for (int y = (line - 1) * height; y < line * height; ++y)
                if (Pixel(x, y) != ColorToRGB(clWhite)) {
                    first = first < 0 ? x : first;
                    last = x;
                }
        return std::pair<int, int>(first, last);
    };
    const auto one = inkSpan(1);
    const auto ten = inkSpan(10);
    ASSERT_GE(one.first, 0);
    ASSERT_GE(ten.first, 0);
    EXPECT_NEAR(one.second, ten.second, 1);
    EXPECT_LE(one.second, Editor().GetGutterWidth() - gutter->GetRightOffset() - 2);
    EXPECT_LT(ten.first, one.first - Editor().GetCharWidth() / 2);
    EXPECT_EQ(inkSpan(3).first, -1);  // number 0 shows nothing
}

// The numbers are drawn in the gutter's own font and colours; painting them makes and
// measures no font beyond the gutter font's first use, which measures only the characters
// it draws, and the text after them keeps the editor's font.
// Each advance a font measures costs a glyph load. The styles take their cell from 'M'
// alone and the text is placed through a distance array, so a new font, a highlighter
// with all four styles and a paint measure one whole table only, the plain style's that
// the fixed-pitch check of SetFont reads.
TEST_F(EditorPaintTest, StylesTakeTheirCellWithoutMeasuringTheirWholeGlyphTables)
{
    const int tables = MeasuredGlyphTableCount();
    const int advances = MeasuredAdvanceCount();
    TFont font;
    font.SetName("DejaVu Sans Mono");
    font.SetHeight(-27);  // a size no other font of the process has
    Editor().SetFont(&font);
    TWordHighlighter* words = UseWordHighlighter();
    words->Comment->SetStyle(fsItalic);
    words->Ident->SetStyle(fsBold | fsItalic);
    SetText("if x // note");
    Grab();
    EXPECT_EQ(MeasuredGlyphTableCount() - tables, 1);
    EXPECT_LE(MeasuredAdvanceCount() - advances, 256 + 4 * 2);  // and each style's space and M
}

TEST_F(EditorPaintTest, GutterNumbersTakeTheGutterFontWithoutRemakingFontsEachPaint)
{
    TQvGutter* gutter = Editor().GetGutter();
    gutter->SetShowLineNumbers(true);
    gutter->SetUseFontStyle(true);
    gutter->SetColor(clWhite);
    gutter->GetFont()->SetName("Microsoft Sans Serif");
    gutter->GetFont()->SetHeight(-19);  // a size no other font of the process has
    gutter->GetFont()->SetColor(clMaroon);
    SetText("alpha\nbeta");

    std::vector<TTextOutRecord> log;
    auto grabLogged = [&] {
        log.clear();
        TBitmap target;
        target.SetSize(Editor().ClientWidth(), Editor().ClientHeight());
        HDC dc = target.GetCanvas()->GetHandle();
        SetTextOutLog(dc, &log);
        Editor().Canvas()->SetHandle(dc);
        Editor().Perform(WM_PAINT, 0, 0);
        Editor().Canvas()->SetHandle(nullptr);
        SetTextOutLog(dc, nullptr);
    };
    const int tablesBefore = MeasuredGlyphTableCount();
    const int advancesBefore = MeasuredAdvanceCount();
    grabLogged();
    // The gutter font's space and digits only, not its whole table.
    EXPECT_EQ(MeasuredGlyphTableCount() - tablesBefore, 0);
    EXPECT_LE(MeasuredAdvanceCount() - advancesBefore, 11);

    const int fontsBefore = ResolvedFontCount();
    for (int i = 0; i < 3; ++i)
        grabLogged();
    EXPECT_EQ(ResolvedFontCount() - fontsBefore, 0);

    std::vector<std::string> numbers;
    bool textSeen = false;
    for (const TTextOutRecord& r : log) {
        if (r.Cells.Right <= Editor().GetGutterWidth()) {
            numbers.push_back(r.Text);
            EXPECT_EQ(r.Font.lfHeight, -19);
            EXPECT_STREQ(r.Font.lfFaceName, "Microsoft Sans Serif");
            EXPECT_EQ(r.TextColor, static_cast<COLORREF>(ColorToRGB(clMaroon)));
            EXPECT_EQ(r.BkColor, static_cast<COLORREF>(ColorToRGB(clWhite)));
        } else if (r.Text.find("alpha") != std::string::npos) {
            textSeen = true;
            EXPECT_EQ(r.Font.lfHeight, Editor().Font()->GetLogFont().lfHeight);
            EXPECT_STREQ(r.Font.lfFaceName, Editor().Font()->GetLogFont().lfFaceName);
        }
    }
    EXPECT_EQ(numbers, (std::vector<std::string>{gutter->FormatLineNumber(1), gutter->FormatLineNumber(2)}));
    EXPECT_TRUE(textSeen);
}

TEST_F(EditorPaintTest, BookmarkGlyphsAreDrawnInTheGutterAndGutterPaintSeesWhereTheyEnd)
{
    Editor().GetGutter()->SetColor(clWhite);
    SetText("a\nb\nc");
    Editor().SetBookMark(0, 1, 2);
    struct TGutterLog : TObject {
        void Painted(TObject*, int Line, int X, int Y) { Seen.push_back({Line, X, Y}); }
        std::vector<std::vector<int>> Seen;
    } log;
    Editor().OnGutterPaint = TGutterPaintEvent(&log, &TGutterLog::Painted);
    Grab();
    const int h = Editor().GetLineHeight();
    const int left = Editor().GetBookMarkOptions()->GetLeftMargin();
    const int step = Editor().GetBookMarkOptions()->GetXoffset();
    auto ink = [&](int line) {
        return Count(Rect(left, (line - 1) * h, left + step, line * h),
                     [](TColor c) { return c != ColorToRGB(clWhite); });
    };
    EXPECT_EQ(ink(1), 0);
    EXPECT_GT(ink(2), 0);
    EXPECT_EQ(ink(3), 0);
    ASSERT_EQ(log.Seen.size(), 3u);
    EXPECT_EQ(log.Seen[0], (std::vector<int>{1, 0, 0}));
    EXPECT_EQ(log.Seen[1], (std::vector<int>{2, step, h}));
    EXPECT_EQ(log.Seen[2], (std::vector<int>{3, 0, 2 * h}));
}

TEST_F(EditorPaintTest, SelectionIsPaintedInEachOfTheThreeModes)
{
    SetText("aaaaaaaaaaaa\naaaaaaaaaaaa\naaaaaaaaaaaa\naaaaaaaaaaaa");
    // Normal: columns 5 to 8 of one line.
    Editor().SetCaretAndSelection(TPoint{9, 1}, TPoint{5, 1}, TPoint{9, 1});
    Grab();
    EXPECT_EQ(CellBackground(4, 1), Window());
    for (int c = 5; c <= 8; ++c)
        EXPECT_EQ(CellBackground(c, 1), Highlight()) << c;
    EXPECT_EQ(CellBackground(9, 1), Window());

    // Line mode: whole lines, beyond their text too.
    Editor().SetSelectionMode(smLine);
    Editor().SetCaretAndSelection(TPoint{3, 2}, TPoint{3, 1}, TPoint{3, 2});
    Grab();
    EXPECT_EQ(CellBackground(1, 1), Highlight());
    EXPECT_EQ(CellBackground(30, 2), Highlight());
    EXPECT_EQ(CellBackground(1, 3), Window());

    // Column mode, started from the lower right corner: columns 3 to 6 on every line.
    Editor().SetSelectionMode(smColumn);
    Editor().SetCaretAndSelection(TPoint{3, 1}, TPoint{7, 3}, TPoint{3, 1});
    Grab();
    for (int line = 1; line <= 3; ++line) {
        EXPECT_EQ(CellBackground(2, line), Window()) << line;
        EXPECT_EQ(CellBackground(3, line), Highlight()) << line;
        EXPECT_EQ(CellBackground(6, line), Highlight()) << line;
        EXPECT_EQ(CellBackground(7, line), Window()) << line;
    }
    EXPECT_EQ(CellBackground(4, 4), Window());
}

TEST_F(EditorPaintTest, AHiddenSelectionOfAnUnfocusedEditorIsNotShown)
{
    SetText("aaaaaaaaaa");
    Editor().SetCaretAndSelection(TPoint{9, 1}, TPoint{2, 1}, TPoint{9, 1});
    Editor().SetHideSelection(true);
    ASSERT_FALSE(Editor().Focused());
    Grab();
    EXPECT_EQ(CellBackground(4, 1), Window());
    Editor().SetHideSelection(false);
    Grab();
    EXPECT_EQ(CellBackground(4, 1), Highlight());
}

TEST_F(EditorPaintTest, ASpecialLineShowsItsColoursAndSwapsThemWhereSelected)
{
    SetText("aaaaaaaaaa\naaaaaaaaaa\naaaaaaaaaa");
    struct TSpecial : TObject {
        void Colors(TObject*, int Line, bool& Special, TColor& FG, TColor& BG)
        {
            if (Line != 2)
                return;
            Special = true;
            FG = clYellow;
            BG = clNavy;
        }
    } special;
    Editor().OnSpecialLineColors = TSpecialLineColorsEvent(&special, &TSpecial::Colors);
    Editor().SetCaretAndSelection(TPoint{6, 2}, TPoint{3, 2}, TPoint{6, 2});
    Grab();
    EXPECT_EQ(CellBackground(1, 2), ColorToRGB(clNavy));
    EXPECT_EQ(CellBackground(20, 2), ColorToRGB(clNavy));
    EXPECT_EQ(CellBackground(4, 2), ColorToRGB(clYellow));  // selected: colours swapped
    EXPECT_EQ(CellBackground(4, 1), Window());
}

TEST_F(EditorPaintTest, TheCaretLineTakesActiveLineColorButTheAreaBelowTheTextNever)
{
    TWordHighlighter* words = UseWordHighlighter();
    words->Space->SetBackground(clAqua);
    SetText("if  x\nif  x");
    Editor().SetActiveLineColor(clYellow);
    Editor().SetOptionFlag(eoHighlightCurrentLine, true);
    Grab();
    EXPECT_EQ(CellBackground(3, 1), ColorToRGB(clYellow));  // a whitespace token on it
    EXPECT_EQ(CellBackground(30, 1), ColorToRGB(clYellow));
    EXPECT_EQ(CellBackground(3, 2), ColorToRGB(clAqua));
    EXPECT_EQ(CellBackground(30, 2), ColorToRGB(clAqua));
    EXPECT_EQ(CellBackground(3, 5), ColorToRGB(clAqua));
}

TEST_F(EditorPaintTest, TabsBlanksAndLineEndsAreShownAsGlyphs)
{
    Editor().SetTabWidth(4);
    Editor().SetOptionFlag(eoShowSpecialChars, true);
    SetText("\tab c\nx");
    Grab();
    const TColor bg = Window();
    const int w = Editor().GetCharWidth();
    const TPoint tab = CellOrigin(1, 1);
    const int h = Editor().GetLineHeight();
    // One » in the middle of the tab's four columns, nothing at its ends.
    EXPECT_GT(Count(Rect(tab.X + w + w / 2, tab.Y, tab.X + 2 * w + w / 2, tab.Y + h),
                    [&](TColor c) { return c != bg; }),
              0);
    EXPECT_EQ(Ink(1, 1, 1, bg), 0);
    EXPECT_EQ(Ink(4, 4, 1, bg), 0);
    EXPECT_GT(Ink(7, 7, 1, bg), 0);   // the blank as ·
    EXPECT_GT(Ink(9, 9, 1, bg), 0);   // ¶ after "c"
    EXPECT_EQ(Ink(10, 20, 1, bg), 0);
    EXPECT_GT(Ink(2, 2, 2, bg), 0);   // ¶ of the last line too

    Editor().SetOptionFlag(eoShowSpecialChars, false);
    Grab();
    EXPECT_EQ(Ink(1, 4, 1, bg), 0);
    EXPECT_EQ(Ink(7, 7, 1, bg), 0);
    EXPECT_EQ(Ink(9, 20, 1, bg), 0);
}

TEST_F(EditorPaintTest, LineEndGlyphTakesCommentColoursInsideAComment)
{
    UseWordHighlighter();
    Editor().SetOptionFlag(eoShowSpecialChars, true);
    SetText("x #c\nx");
    Grab();
    auto greenish = [](TColor c) { return Green(c) > 90 && Red(c) < 90 && Blue(c) < 90; };
    const TPoint end1 = CellOrigin(5, 1);
    const TPoint end2 = CellOrigin(2, 2);
    const int w = Editor().GetCharWidth();
    const int h = Editor().GetLineHeight();
    EXPECT_GT(Count(Rect(end1.X, end1.Y, end1.X + w, end1.Y + h), greenish), 0);
    EXPECT_GT(Count(Rect(end2.X, end2.Y, end2.X + w, end2.Y + h), Bluish), 0);
}

// Blanks show no colour or style of their own, so a run of blanks joins the run before it:
// with visible blanks their dots take the keyword's red, where a line starting with blanks
// shows them in the whitespace colour.
TEST_F(EditorPaintTest, BlankTokensJoinTheRunBeforeThemAcrossColourAndStyle)
{
    UseWordHighlighter();
    Editor().SetOptionFlag(eoShowSpecialChars, true);
    SetText("if   x\n   x");
    Grab();
    const TPoint a = CellOrigin(3, 1);
    const TPoint b = CellOrigin(6, 1);
    const int h = Editor().GetLineHeight();
    EXPECT_GT(Count(Rect(a.X, a.Y, b.X, a.Y + h), Reddish), 0);
    EXPECT_EQ(Count(Rect(a.X, a.Y, b.X, a.Y + h), Bluish), 0);
    const TPoint c = CellOrigin(1, 2);
    const TPoint d = CellOrigin(4, 2);
    EXPECT_GT(Count(Rect(c.X, c.Y, d.X, c.Y + h), Bluish), 0);
}

TEST_F(EditorPaintTest, TheRightEdgeRunsThroughTheTextAndBelowIt)
{
    Editor().SetRightEdge(6);
    Editor().SetRightEdgeColor(clRed);
    SetText("aaa\naaa");
    Grab();
    const int x = 6 * Editor().GetCharWidth() + Editor().GetTextOffset();
    const int h = Editor().GetLineHeight();
    EXPECT_EQ(Pixel(x, 1), ColorToRGB(clRed));
    EXPECT_EQ(Pixel(x, h + 1), ColorToRGB(clRed));
    EXPECT_EQ(Pixel(x, 5 * h), ColorToRGB(clRed));
    EXPECT_NE(Pixel(x - 1, 1), ColorToRGB(clRed));
    EXPECT_NE(Pixel(x + 1, 1), ColorToRGB(clRed));
}

TEST_F(EditorPaintTest, OnlyTheLinesAndColumnsInsideTheClipAreRead)
{
    TWordHighlighter* words = UseWordHighlighter();
    std::string text;
    for (int i = 0; i < 20; ++i)
        text += "line\n";
    std::string manyWords;
    for (int i = 0; i < 5000; ++i)
        manyWords += "a ";
    SetText(text + manyWords);
    words->ResetCounts();
    const int h = Editor().GetLineHeight();
    const TRect clip = Rect(Editor().GetGutterWidth() + 10, 2 * h + 1, Editor().ClientWidth(), 4 * h - 1);
    Grab(&clip);
    // Lines 3 and 4, and the one whose top is the clip's bottom edge.
    EXPECT_EQ(words->LinesSet, (std::vector<Integer>{2, 3, 4}));

    Editor().SetTopLine(15);
    words->ResetCounts();
    Grab();
    ASSERT_FALSE(words->LinesSet.empty());
    // The long line's tokens are read only as far as the window reaches.
    EXPECT_LT(words->TokensRead, static_cast<int>(words->LinesSet.size()) * 2 +
                                     Editor().GetCharsInWindow() + 4);
}

// The processor time this thread has used: unlike the wall clock, it does not grow while
// other programs of a busy machine have the processor.
std::chrono::nanoseconds ThreadTime()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec);
}

// A line of a million characters, and one of 100,000 tabs, cost a paint what a short line
// costs: only the visible cells are read and drawn. The paints are compared by the
// processor time they take, so that the machine's load does not enter.
TEST_F(EditorPaintTest, HugeLinesPaintOnlyTheirVisibleCells)
{
    auto fastestPaint = [&] {
        std::chrono::nanoseconds best = std::chrono::nanoseconds::max();
        for (int i = 0; i < 5; ++i) {
            const auto start = ThreadTime();
            Grab();
            best = std::min(best, ThreadTime() - start);
        }
        return best;
    };
    const TColor bg = Window();
    SetText(std::string(200, 'x'));
    const auto shortLine = fastestPaint();
    SetText(std::string(1000000, 'x'));
    const auto longLine = fastestPaint();
    EXPECT_GT(Ink(1, 1, 1, bg), 0);
    EXPECT_GT(Ink(Editor().GetCharsInWindow(), Editor().GetCharsInWindow(), 1, bg), 0);
    EXPECT_LT(longLine, shortLine * 4 + std::chrono::milliseconds(5));

    Editor().SetTabWidth(4);
    Editor().SetOptionFlag(eoShowSpecialChars, true);
    SetText(std::string(100000, '\t'));
    const auto tabs = fastestPaint();
    EXPECT_GT(Ink(2, 3, 1, bg), 0);  // the first tab's »
    EXPECT_LT(tabs, shortLine * 4 + std::chrono::milliseconds(5));

    // Far to the right, the same.
    Editor().SetMaxLineWidth(1000000);
    Editor().SetLeftChar(399000);
    EXPECT_EQ(Editor().GetLeftChar(), 399000);
    Grab();
    EXPECT_GT(Ink(399002, 399003, 1, bg), 0);
}

}  // namespace

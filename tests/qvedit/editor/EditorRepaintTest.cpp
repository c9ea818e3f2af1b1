// Repaints agree with a fresh full paint: a paint clipped to any part of the window, and
// the window after scroll steps, show the same pixels as painting everything again; and
// every pixel of the text area is painted (nothing of what was there before shows).
#include "EditorFixture.h"
#include "TestHighlighter.h"
#include "RealWindow.h"
#include "XServer.h"

#include "platform/graphics/GraphicsQt.h"
#include "platform/window/ControlsQt.h"

#include <QApplication>
#include <QImage>
#include <QScreen>
#include <QWindow>

#include <string>

namespace {

struct TPaintLog {
    int Paints = 0;
    void Painted(TObject*, TCanvas*) { ++Paints; }
};

class EditorRepaintTest : public EditorFixture {
protected:
    QImage FullPaint() { return Grab().Image().Pixels().copy(); }
    QImage ClippedPaint(const TRect& Clip) { return Grab(&Clip).Image().Pixels().copy(); }

    // Pixels of R that differ between A and B.
    static int Differences(const QImage& A, const QImage& B, const TRect& R)
    {
        int n = 0;
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                n += A.pixel(x, y) != B.pixel(x, y) ? 1 : 0;
        return n;
    }

    // Paints clipped to every strip that starts at one of the first Cells * CharWidth
    // pixels of the text area and reaches to the right, and returns the pixels in which
    // such a paint differs from the full one.
    int ClippedDifferences(int Cells)
    {
        const QImage full = FullPaint();
        const int left = Editor().GetGutterWidth() + 2;
        int total = 0;
        for (int x = left; x < left + Cells * Editor().GetCharWidth(); ++x) {
            const TRect clip = Rect(x, 0, Editor().ClientWidth(), Editor().ClientHeight());
            const int n = Differences(full, ClippedPaint(clip), clip);
            if (n != 0)
                ADD_FAILURE() << n << " pixels differ in the paint clipped from x " << x;
            total += n;
        }
        return total;
    }

    // What the window shows (its backing store, or the X server's pixels), once every
    // pending paint is done.
    QImage OnScreen()
    {
        QApplication::processEvents();
        QWidget* client = Editor().Window()->Client();
        const QPoint at = client->mapTo(client->window(), QPoint(0, 0));
        return client->window()
            ->screen()
            ->grabWindow(client->window()->winId(), at.x(), at.y(), client->width(), client->height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
    // The client area painted afresh.
    QImage Fresh()
    {
        return Editor().Window()->Client()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    // Scrolls the view one column at a time to each of the LeftChar values and returns
    // the pixels in which the window then differs from a fresh paint, for every step.
    int ScrollStepDifferences(std::initializer_list<Integer> LeftChars)
    {
        OnScreen();
        int total = 0;
        for (Integer leftChar : LeftChars) {
            Editor().SetLeftChar(leftChar);
            const QImage shown = OnScreen();
            const QImage fresh = Fresh();
            if (shown.size() != fresh.size()) {
                ADD_FAILURE() << "the grabs differ in size";
                return -1;
            }
            const int n = Differences(shown, fresh, Rect(0, 0, shown.width(), shown.height()));
            EXPECT_EQ(n, 0) << "scrolled to LeftChar " << leftChar;
            total += n;
        }
        return total;
    }

    void ScrollStepsOverVisibleTabs()
    {
        Editor().SetTabWidth(4);
        Editor().SetOptionFlag(eoShowSpecialChars, true);
        SetText("\tx\n\tx\nab\tcd\t\tx\n" + std::string(100, 'y'));
        EXPECT_EQ(ScrollStepDifferences({2, 3, 4, 5, 4, 3, 2, 1}), 0) << "without a highlighter";
        UseWordHighlighter();
        Editor().SetLeftChar(1);
        EXPECT_EQ(ScrollStepDifferences({2, 3, 4, 5, 4, 3, 2, 1}), 0) << "with a highlighter";
    }

    // Page downs as the program has them: half a page at a time, the current line
    // highlighted, the vertical bar shown once the text is longer than the window (which
    // narrows the client area). Returns the paints each key press took, the caret shown.
    // Words, when given, counts the lines painted from the first press on.
    int PaintsOfPageDowns(int Presses, TWordHighlighter* Words = nullptr)
    {
        for (TQvEditorOption option : {eoHalfPageScroll, eoHighlightCurrentLine, eoHideShowScrollbars})
            Editor().SetOptionFlag(option, true);
        Editor().SetAlwaysShowCaret(true);
        std::string text;
        for (int i = 1; i <= 400; ++i)
            text += "$line" + std::to_string(i) + " = " + std::to_string(i * 7) + ";\n";
        SetText(text);
        OnScreen();
        if (Words != nullptr)
            Words->ResetCounts();
        TPaintLog log;
        Editor().OnPaint = TPaintEvent(&log, &TPaintLog::Painted);
        for (int i = 0; i < Presses; ++i) {
            Key(VK_NEXT);
            Editor().Update();
            QApplication::processEvents();
        }
        Editor().OnPaint = TPaintEvent();
        return log.Paints;
    }

    TWordHighlighter* UseWordHighlighter()
    {
        auto* words = new TWordHighlighter(&Form());
        Editor().SetHighlighter(words);
        return words;
    }
};

TEST_F(EditorRepaintTest, ClippedRepaintsOfVisibleTabsAndBlanksMatchAFullPaint)
{
    Editor().SetTabWidth(4);
    Editor().SetOptionFlag(eoShowSpecialChars, true);
    SetText("\tx\n\tx\nab\tcd\t\tx");
    EXPECT_EQ(ClippedDifferences(12), 0) << "without a highlighter";
    // A column block that cuts the tab: the glyph takes the colours of each part it
    // lies in.
    SetText("abcdef\n\tx\nabcdef");
    Editor().SetSelectionMode(smColumn);
    Editor().SetBlockBegin(TPoint{2, 1});
    Editor().SetBlockEnd(TPoint{4, 3});
    EXPECT_EQ(ClippedDifferences(6), 0) << "a column block without a highlighter";

    UseWordHighlighter();
    EXPECT_EQ(ClippedDifferences(6), 0) << "a column block with a highlighter";
    Editor().SetSelectionMode(smNormal);
    Editor().SetCaretXY(TPoint{1, 1});
    SetText("\tx\n\tx\nab\tcd\t\tx");
    EXPECT_EQ(ClippedDifferences(12), 0) << "with a highlighter";

    // Blanks join the run before them in its colour, also where the clip begins among them.
    SetText("x     y\n#     z");
    EXPECT_EQ(ClippedDifferences(8), 0) << "blanks after a word";
}

// Horizontal scroll steps move the pixels and paint only the strip that comes into view;
// the window must then look as if painted afresh.
TEST_F(EditorRepaintTest, ScrollStepsOverVisibleTabsLeaveTheWindowAsAFreshPaint)
{
    ScrollStepsOverVisibleTabs();
}

// The column after an italic run at a line's end: the fill right of the line keeps the
// overhang of the last glyph, and paints the rest of that column too.
TEST_F(EditorRepaintTest, TheColumnAfterAnItalicRunAtTheLineEndIsPainted)
{
    TFont font;
    font.SetName("DejaVu Sans Mono");
    font.SetSize(20);
    Editor().SetFont(&font);
    TWordHighlighter* words = UseWordHighlighter();
    words->Key->SetStyle(fsItalic);
    words->Comment->SetStyle(fsItalic);
    SetText("if\nif x\n#f");

    // Painted over a background that no paint uses: none of it may be left.
    const QImage painted = FullPaint();
    const QRgb stale = QColor(Qt::magenta).rgb();
    const int left = Editor().GetGutterWidth();
    int leftOver = 0;
    for (int y = 0; y < painted.height(); ++y)
        for (int x = left; x < painted.width(); ++x)
            leftOver += painted.pixel(x, y) == stale ? 1 : 0;
    EXPECT_EQ(leftOver, 0);

    // The overhang keeps its ink: the cell after "if" is the same as when "f" is followed
    // by a blank, where no fill runs after it.
    const int w = Editor().GetCharWidth();
    const int h = Editor().GetLineHeight();
    const TPoint endOfIf = CellOrigin(3, 1);
    const TPoint afterF = CellOrigin(3, 2);
    EXPECT_EQ(Differences(painted.copy(endOfIf.X, endOfIf.Y, w, h), painted.copy(afterF.X, afterF.Y, w, h),
                          Rect(0, 0, w, h)),
              0);

    // A paint clipped to start right after "if" keeps the overhang as well.
    EXPECT_EQ(ClippedDifferences(4), 0);

    // Without a highlighter, in an italic font, whatever the tab width.
    Editor().SetHighlighter(nullptr);
    font.SetStyle(fsItalic);
    Editor().SetFont(&font);
    for (Integer tabWidth : {1, 8}) {
        Editor().SetTabWidth(tabWidth);
        EXPECT_EQ(ClippedDifferences(4), 0) << "tab width " << tabWidth;
    }
}

// A column block whose columns fall apart over tabs selects nothing on its lines, whatever
// the view; its lines still show their text.
TEST_F(EditorRepaintTest, AColumnBlockOverTabsScrolledRightShowsItsLinesText)
{
    SetText("\t\tx\nabcdefghijklmnopqrstuvwxyz");
    Editor().SetSelectionMode(smColumn);
    Editor().SetCaretXY(TPoint{3, 2});
    Editor().SetBlockBegin(TPoint{2, 1});
    Editor().SetBlockEnd(TPoint{3, 2});
    ASSERT_TRUE(Editor().GetSelAvail());
    for (Integer leftChar : {5, 1}) {
        Editor().SetLeftChar(leftChar);
        const QImage selected = FullPaint();
        const TPoint from = CellOrigin(5, 2);
        const TPoint to = CellOrigin(16, 2);
        int ink = 0;
        for (int y = from.Y; y < from.Y + Editor().GetLineHeight(); ++y)
            for (int x = from.X; x < to.X; ++x)
                ink += selected.pixel(x, y) != QColor(Qt::white).rgb() ? 1 : 0;
        EXPECT_GT(ink, 0) << "LeftChar " << leftChar;

        Editor().SetBlockBegin(TPoint{3, 2});  // the same view without the block
        const QImage plain = FullPaint();
        EXPECT_EQ(Differences(selected, plain, Rect(0, 0, plain.width(), plain.height())), 0)
            << "LeftChar " << leftChar;
        Editor().SetBlockBegin(TPoint{2, 1});
        Editor().SetBlockEnd(TPoint{3, 2});
    }
}

// A page down scrolls the window, moves the caret and its highlighted line: one paint
// shows all of it, caret included, and an Update after it has nothing left to paint. The
// paint covers the lines the scroll exposed and the caret's line, not those between.
TEST_F(EditorRepaintTest, APageDownPaintsOnceWhatItExposedAndTheCaretsLine)
{
    constexpr int presses = 6;
    TWordHighlighter* words = UseWordHighlighter();
    const Integer top = Editor().GetTopLine();
    EXPECT_EQ(PaintsOfPageDowns(presses, words), presses);
    const Integer half = Editor().GetLinesInWindow() / 2;
    EXPECT_EQ(Editor().GetTopLine(), top + presses * half);
    // The exposed half page with the partly shown line below it, and the caret's line;
    // each part takes in one line more at its bottom, as any paint rounds down there.
    EXPECT_LE(words->LinesSet.size(), static_cast<std::size_t>(presses * (half + 4)));
    // Nothing is left waiting, not even where the client area was before its bar showed.
    EXPECT_TRUE(Editor().Window()->Pending.isEmpty());
}

// ---- In a real window ------------------------------------------------------------------------

class EditorRepaintOnXServer : public EditorRepaintTest {
protected:
    void SetUp() override
    {
        if (!QvTest::OnXServer())
            GTEST_SKIP() << "runs only inside EditorRepaintRealWindow.OnAnXServer";
        QWindow* window = Editor().Window()->Client()->window()->windowHandle();
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(QvTest::IdleUntil([window] { return window->isExposed(); }));
        // A blinking caret would make two grabs differ by its own cell only.
        Editor().SetOptionFlag(eoNoCaret, true);
    }
};

TEST_F(EditorRepaintOnXServer, ScrollStepsOverVisibleTabsLeaveTheWindowAsAFreshPaint)
{
    ScrollStepsOverVisibleTabs();
}

// Typing after an italic comment and deleting it again leaves the window as a fresh
// paint: the column after the comment's last glyph is painted.
TEST_F(EditorRepaintOnXServer, TypingAndDeletingAfterAnItalicCommentLeavesNoStalePixels)
{
    TFont font;
    font.SetName("DejaVu Sans Mono");
    font.SetSize(20);
    Editor().SetFont(&font);
    TWordHighlighter* words = UseWordHighlighter();
    words->Comment->SetStyle(fsItalic);
    SetText("#if\nx");
    Editor().SetCaretXY(TPoint{4, 1});
    OnScreen();
    Type("W");
    OnScreen();
    Key(VK_BACK);
    const QImage shown = OnScreen();
    const QImage fresh = Fresh();
    ASSERT_EQ(shown.size(), fresh.size());
    EXPECT_EQ(Differences(shown, fresh, Rect(0, 0, shown.width(), shown.height())), 0);
}

// The window after page downs is a fresh paint of the new view, and each took one paint.
TEST_F(EditorRepaintOnXServer, PageDownsPaintOnceAndLeaveTheWindowAsAFreshPaint)
{
    Editor().SetOptionFlag(eoNoCaret, false);
    constexpr int presses = 4;
    EXPECT_EQ(PaintsOfPageDowns(presses), presses);
    QImage shown = OnScreen();
    QImage fresh = Fresh();
    ASSERT_EQ(shown.size(), fresh.size());
    // The caret blinks: its cell is left out of the comparison.
    const QRect caret = CaretRectOf(&Editor());
    EXPECT_FALSE(caret.isEmpty());
    for (QImage* image : {&shown, &fresh})
        for (int y = caret.top(); y <= caret.bottom(); ++y)
            for (int x = caret.left(); x <= caret.right(); ++x)
                image->setPixel(x, y, QColor(Qt::black).rgb());
    EXPECT_EQ(Differences(shown, fresh, Rect(0, 0, shown.width(), shown.height())), 0);
}

TEST(EditorRepaintRealWindow, OnAnXServer)
{
    QvTest::ExpectPassOnXServer("EditorRepaintOnXServer.*", 120);
}

}  // namespace

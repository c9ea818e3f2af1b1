// The completion list window as a window: showing and hiding with the editor's caret,
// mouse and wheel, the scroll bar, sizing, placement at the screen's edges and painting.
#include "CompletionListFixture.h"

namespace {

using Log = std::vector<std::string>;

std::vector<std::string> Numbered(int count)
{
    std::vector<std::string> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back("row" + std::to_string(100 + i));
    return rows;
}

LPARAM At(int x, int y)
{
    return MakeLParam(static_cast<Word>(x), static_cast<Word>(y));
}

TEST_F(CompletionListTest, ShowingKeepsTheCaretDrawnAndHidingRestoresIt)
{
    std::vector<std::string> seen;
    SetItems({"a"});
    ASSERT_TRUE(editor->Focused());
    editor->ShowCaretAlways = false;
    list->Activate();
    EXPECT_TRUE(list->Visible());
    EXPECT_TRUE(editor->ShowCaretAlways) << "the editor had the focus";
    EXPECT_EQ(editor->FocusControls, std::vector<TWinControl*>{list});
    list->Deactivate();
    EXPECT_FALSE(list->Visible());
    EXPECT_FALSE(editor->ShowCaretAlways);
    EXPECT_TRUE(editor->FocusControls.empty());
}

// A press outside the open list cancels it as Escape does.
TEST_F(CompletionListTest, PressOutsideCancels)
{
    SetItems({"a", "b"});
    list->Activate();
    list->WindowCloseRequested();
    EXPECT_FALSE(list->Visible());
    EXPECT_EQ(events, Log{"cancel"});
    EXPECT_TRUE(editor->FocusControls.empty());
}

TEST_F(CompletionListTest, ClicksSelectRowsAndNeverTheTitleBar)
{
    SetItems(Numbered(5));
    list->SetTitle("Html tags");
    list->Activate();
    const int title = list->TitleHeight();
    const int item = list->EffectiveItemHeight();
    ASSERT_GT(title, 0);
    list->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(10, title + 2 * item + 1));
    list->Perform(WM_LBUTTONUP, 0, At(10, title + 2 * item + 1));
    EXPECT_EQ(list->Position(), 2);
    // The title bar's top pixels once made row -1.
    list->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(10, 0));
    list->Perform(WM_LBUTTONUP, 0, At(10, 0));
    EXPECT_EQ(list->Position(), 2);
    list->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(10, title + 6 * item));
    list->Perform(WM_LBUTTONUP, 0, At(10, title + 6 * item));
    EXPECT_EQ(list->Position(), 2) << "below the last row";
    EXPECT_TRUE(events.empty());
    list->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, At(10, title + 3 * item));
    EXPECT_EQ(events, Log{"validate 0"});
}

TEST_F(CompletionListTest, WheelMovesByLinesAndAddsUpPartialNotches)
{
    SetItems(Numbered(30));
    list->SetNbLinesInWindow(8);
    UINT lines = 0;
    SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    ASSERT_GT(lines, 0u);
    const int step = std::min(static_cast<int>(lines), 8);
    list->Perform(WM_MOUSEWHEEL, MakeWParam(0, static_cast<Word>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(list->Position(), step);
    list->Perform(WM_MOUSEWHEEL, MakeWParam(0, static_cast<Word>(-WHEEL_DELTA / 2)), 0);
    EXPECT_EQ(list->Position(), step);
    list->Perform(WM_MOUSEWHEEL, MakeWParam(0, static_cast<Word>(-WHEEL_DELTA / 2)), 0);
    EXPECT_EQ(list->Position(), 2 * step);
    list->Perform(WM_MOUSEWHEEL, MakeWParam(MK_CONTROL, static_cast<Word>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(list->Position(), 2 * step + 8) << "with Ctrl a page a notch";
    list->Perform(WM_MOUSEWHEEL, MakeWParam(0, static_cast<Word>(3 * WHEEL_DELTA)), 0);
    EXPECT_EQ(list->Position(), std::max(2 * step + 8 - 3 * step, 0));
}

TEST_F(CompletionListTest, ScrollBarRangeAndTheSelectionFollowingIt)
{
    SetItems(Numbered(20));
    list->SetNbLinesInWindow(8);
    EXPECT_EQ(list->Scroll()->Max(), 12);
    EXPECT_TRUE(list->Scroll()->Enabled());
    list->Scroll()->SetPosition(5);  // the user drags the bar down past the selection
    EXPECT_EQ(list->Position(), 5);
    list->Press(VK_END);
    list->Scroll()->SetPosition(3);
    EXPECT_EQ(list->Position(), 10) << "the last visible row";
    list->Scroll()->SetPosition(2);
    EXPECT_EQ(list->Position(), 9);
    list->SetCurrentString("row105");
    EXPECT_FALSE(list->Scroll()->Enabled()) << "all rows fit";
}

// A list shrunk by the user to less than a row still opens with one row.
TEST_F(CompletionListTest, SizingCountsTheRowsAndNeverLessThanOne)
{
    SetItems(Numbered(20));
    list->SetTitle("PHP");
    list->Activate();
    const int item = list->EffectiveItemHeight();
    const int frame = list->Height() - list->ClientHeight();
    list->SetHeight(frame + list->TitleHeight() + 5 * item + item / 2);
    EXPECT_EQ(list->NbLinesInWindow(), 5);
    list->SetHeight(frame + list->TitleHeight() + 2);
    EXPECT_EQ(list->NbLinesInWindow(), 1);
    list->SetHeight(frame);
    EXPECT_EQ(list->NbLinesInWindow(), 1);
}

TEST_F(CompletionListTest, PlacementFlipsAboveTheCaretLineAndLeftAtTheScreenEdges)
{
    SetItems(Numbered(20));
    list->SetTitle("PHP");
    list->SetNbLinesInWindow(8);
    list->SetWidth(260);
    const int height = list->EffectiveItemHeight() * 8 + list->TitleHeight() + 2 * GetSystemMetrics(SM_CYSIZEFRAME);
    const int screenWidth = Screen->Width();
    const int screenHeight = Screen->Height();

    list->Place(100, 200, 16);
    EXPECT_EQ(list->BoundsRect(), Rect(100, 200, 360, 200 + height));
    list->Place(screenWidth - 100, screenHeight - 10, 16);
    EXPECT_EQ(list->BoundsRect().Left, screenWidth - 100 - 260) << "left of the point";
    EXPECT_EQ(list->BoundsRect().Top, screenHeight - 10 - height - 16 - 2) << "above the caret line";
    // Never off the screen's top-left.
    list->Place(screenWidth - 10, height / 2, 16);
    list->SetWidth(screenWidth + 50);
    list->Place(screenWidth - 10, height / 2, 16);
    EXPECT_EQ(list->Left(), 0);
    list->SetWidth(260);
    list->Place(10, screenHeight - 5, screenHeight);
    EXPECT_EQ(list->Top(), 0);
}

TEST_F(CompletionListTest, HintIsAsWideAsItsWidestRow)
{
    SetItems({"short", "a much longer row"});
    list->SetDisplayKind(ctHint);
    TBitmap measure;
    measure.GetCanvas()->SetFont(list->Font());
    const int widest = measure.GetCanvas()->TextWidth("a much longer row");
    list->Place(10, 10, 16);
    EXPECT_EQ(list->Width(), widest + 2 * list->Margin() + 2);
    EXPECT_EQ(list->Height(), 2 * list->EffectiveItemHeight() + 2 + 2 * list->Margin());
}

// Rows are painted with the list's colours, the selected one highlighted, under a title
// bar of its own colour.
TEST_F(CompletionListTest, PaintsTitleRowsAndTheSelection)
{
    SetItems(Numbered(20));
    list->SetTitle("Html tags");
    list->ClSelect = clRed;
    list->ClBackground = clWhite;
    list->ClTitleBackground = clYellow;
    list->Font()->SetColor(clBlack);
    list->Activate();
    list->Press(VK_DOWN);
    TBitmap image;
    image.SetSize(list->Width(), list->Height());
    list->PaintTo(image.GetCanvas(), 0, 0);
    TCanvas& c = *image.GetCanvas();
    const int border = (list->Width() - list->ClientWidth()) / 2;
    const int title = list->TitleHeight();
    const int item = list->EffectiveItemHeight();
    // Pixels of the colour in a row; of any colour but the background for clNone.
    const auto count = [&](int row, TColor colour) {
        int n = 0;
        for (int y = border + title + row * item; y < border + title + (row + 1) * item; ++y)
            for (int x = border + 1; x < border + 60; ++x) {
                const TColor pixel = c.GetPixel(x, y);
                n += colour == clNone ? pixel != clWhite && pixel != clRed : pixel == colour;
            }
        return n;
    };
    EXPECT_EQ(c.GetPixel(border + 1, border + 1), clYellow);
    EXPECT_GT(count(1, clRed), 0) << "row 1 is selected";
    EXPECT_EQ(count(0, clRed), 0);
    EXPECT_GT(count(0, clNone), 0) << "row 0 has text";
    EXPECT_GT(count(list->NbLinesInWindow() - 1, clNone), 0) << "the last visible row";
}

// A hint shows without taking the keyboard from the editor, framed, its rows drawn as
// formatted text.
TEST_F(CompletionListTest, HintShowsWithoutTheFocusAndPaintsItsRows)
{
    SetItems({"\\style{+B}strlen\\style{-B}(string $s)"});
    list->SetDisplayKind(ctHint);
    list->ClBackground = clWhite;
    list->Place(50, 50, 16);
    list->Activate();
    Application->ProcessMessages();
    EXPECT_TRUE(list->Visible());
    EXPECT_TRUE(editor->Focused());
    EXPECT_TRUE(editor->FocusControls.empty());
    EXPECT_FALSE(list->Scroll()->Visible());

    TBitmap image;
    image.SetSize(list->Width(), list->Height());
    list->PaintTo(image.GetCanvas(), 0, 0);
    TCanvas& c = *image.GetCanvas();
    EXPECT_EQ(c.GetPixel(0, 0), ColorToRGB(cl3DLight));
    EXPECT_EQ(c.GetPixel(list->Width() - 1, list->Height() - 1), ColorToRGB(cl3DDkShadow));
    int ink = 0;
    for (int x = 1; x < list->Width() - 1; ++x)
        for (int y = 1; y < list->Height() - 1; ++y)
            ink += c.GetPixel(x, y) != clWhite;
    EXPECT_GT(ink, 0);
}

TEST_F(CompletionListTest, SelectionChangesAreReportedWhileShown)
{
    std::vector<int> changes;
    struct TSink {
        std::vector<int>* Changes;
        void Changed(TObject*, int index) { Changes->push_back(index); }
    } sink{&changes};
    list->OnChange = TCompletionChange(&sink, &TSink::Changed);
    SetItems({"ab", "x", "ac", "ad"});
    list->SetCurrentString("a");
    list->Press(VK_DOWN);
    EXPECT_TRUE(changes.empty()) << "hidden";
    list->Activate();
    list->Press(VK_DOWN);
    list->Press(VK_DOWN);
    EXPECT_EQ(changes, (std::vector<int>{3})) << "the ItemList index, once per change";
}

}  // namespace

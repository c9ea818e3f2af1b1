// Painting and measuring formatted item text on a bitmap, and the columns it lays out.
#include "qvedit/completion/QvCompletionFormat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>

namespace {

constexpr Integer W = 400;
constexpr Integer H = 40;

class CompletionPaint : public ::testing::Test {
protected:
    void SetUp() override
    {
        bitmap_.SetSize(W, H);
        Canvas().GetFont()->SetName("DejaVu Sans");
        Canvas().GetFont()->SetSize(16);
        Canvas().GetFont()->SetColor(clBlack);
        Canvas().GetBrush()->SetColor(clWhite);
        Canvas().FillRect(Rect(0, 0, W, H));
    }

    TCanvas& Canvas() { return *bitmap_.GetCanvas(); }

    Integer Paint(const std::string& text, TProposalColumns* columns = nullptr, TImageList* images = nullptr,
                  Integer right = W)
    {
        TFormatChunkList chunks;
        ParseFormattedString(text, chunks, {});
        return PaintFormatChunks(Canvas(), Rect(0, 0, right, H), chunks, false, images, columns);
    }
    Integer Width(const std::string& text, TProposalColumns* columns = nullptr, TImageList* images = nullptr)
    {
        return FormattedTextWidth(Canvas(), text, columns, images);
    }
    Integer TextWidth(const std::string& text, TFontStyles style = {})
    {
        Canvas().GetFont()->SetStyle(style);
        const Integer width = Canvas().TextWidth(text);
        Canvas().GetFont()->SetStyle({});
        return width;
    }

    // How many pixels match (or, with 'other', differ from) the colour, and their x range.
    struct TFound {
        int Count = 0;
        Integer MinX = INT_MAX;
        Integer MaxX = -1;
    };
    TFound Find(TColor color, bool other = false)
    {
        TFound found;
        for (Integer y = 0; y < H; ++y)
            for (Integer x = 0; x < W; ++x)
                if ((Canvas().GetPixel(x, y) == color) != other) {
                    ++found.Count;
                    found.MinX = std::min(found.MinX, x);
                    found.MaxX = std::max(found.MaxX, x);
                }
        return found;
    }

    TBitmap bitmap_;
};

TEST_F(CompletionPaint, ColourCommandsAndTheRestoredFont)
{
    Paint("\\style{+B}\\color{clRed}WWW");
    EXPECT_GT(Find(clRed).Count, 20);
    EXPECT_EQ(Find(clBlack).Count, 0);
    EXPECT_TRUE(Canvas().GetFont()->GetStyle().Empty()) << "the canvas font is put back";
    EXPECT_EQ(Canvas().GetFont()->GetColor(), clBlack);
}

TEST_F(CompletionPaint, SelectedRowKeepsItsTextColour)
{
    FormattedTextOut(Canvas(), Rect(0, 0, W, H), "\\style{+B}\\color{clRed}WWW", true, nullptr, nullptr);
    EXPECT_EQ(Find(clRed).Count, 0);
    EXPECT_GT(Find(clBlack).Count, 20);
}

TEST_F(CompletionPaint, TextIsDrawnTransparently)
{
    Canvas().GetBrush()->SetColor(clYellow);
    Canvas().FillRect(Rect(0, 0, W, H));
    Canvas().GetBrush()->SetColor(clWhite);
    Paint("WWW");
    EXPECT_EQ(Find(clWhite).Count, 0) << "no text cell is filled with the brush";
}

TEST_F(CompletionPaint, MeasuringReturnsThePaintedWidth)
{
    TProposalColumns columns;
    columns.Add()->SetBiggestWord("Wide");
    const std::string text = "ab\\style{+B}cd\\hspace{7}\\column{}e\\style{-B}\\color{clBlue}f";
    const Integer painted = Paint(text, &columns);
    EXPECT_EQ(Width(text, &columns), painted);
    EXPECT_LE(Find(clWhite, true).MaxX, painted) << "no ink beyond the x reached";
    EXPECT_GT(Width("\\style{+B}WWWW"), TextWidth("WWWW"));
    EXPECT_EQ(Width("\\style{~B}\\style{~B}\\color{clRed}WWWW"), TextWidth("WWWW"));
}

TEST_F(CompletionPaint, ColumnJumpLandsAtTheMeasuredColumnStart)
{
    TProposalColumns columns;
    columns.Add()->SetBiggestWord("WWW");
    const Integer first = TextWidth("WWW ");
    EXPECT_EQ(Width("ab\\column{}", &columns), first);
    Paint("ab\\column{}\\color{clRed}\\style{+B}I", &columns);
    const TFound red = Find(clRed);
    ASSERT_GT(red.Count, 0);
    EXPECT_GE(red.MinX, first);
    EXPECT_LT(red.MaxX, first + TextWidth("WW"));
    EXPECT_EQ(Width("ab\\column{}"), TextWidth("ab")) << "without columns nothing moves";
}

// Each column begins in its own style and is measured in it; after the last column the
// style stays and further jumps do nothing.
TEST_F(CompletionPaint, ColumnStylesAndJumpsPastTheLast)
{
    TProposalColumns columns;
    columns.Add()->SetBiggestWord("WWW");
    TProposalColumn* second = columns.Add();
    second->SetBiggestWord("ii");
    second->SetDefaultFontStyle(fsBold);
    const Integer both = TextWidth("WWW ") + TextWidth("ii ", fsBold);
    EXPECT_EQ(Width("\\column{}\\column{}WW", &columns), both + TextWidth("WW", fsBold));
    EXPECT_EQ(Width("x\\column{}\\column{}\\column{}\\column{}", &columns), both);

    columns.Items(0)->SetDefaultFontStyle(fsBold);
    EXPECT_EQ(columns.Items(0)->GetCachedWidth(), -1) << "a new style is measured again";
    EXPECT_EQ(Width("WWWW", &columns), TextWidth("WWWW", fsBold));
    EXPECT_EQ(columns.Items(0)->GetCachedWidth(), -1) << "no column was crossed";
    Width("\\column{}", &columns);
    EXPECT_EQ(columns.Items(0)->GetCachedWidth(), TextWidth("WWW ", fsBold));
}

TEST_F(CompletionPaint, StopsPastTheRightEdge)
{
    EXPECT_EQ(Paint("\\hspace{60}\\color{clRed}WWW", nullptr, nullptr, 50), 60);
    const Integer wide = TextWidth("WWW");
    EXPECT_EQ(Paint("WWW\\color{clRed}WWW", nullptr, nullptr, wide - 1), wide);
    EXPECT_EQ(Find(clRed).Count, 0);
}

// Pixel counts from item texts must not wrap the x position round.
TEST_F(CompletionPaint, HugeSpacesSaturate)
{
    EXPECT_EQ(Width("\\hspace{2147483647}\\hspace{10}x"), INT_MAX);
    EXPECT_EQ(Width("\\hspace{-2147483647}\\hspace{-10}"), INT_MIN);
}

TEST_F(CompletionPaint, ImagesDrawAndTakeTheListWidth)
{
    TImageList images;
    images.SetWidth(12);
    images.SetHeight(12);
    TBitmap red;
    red.SetSize(12, 12);
    red.GetCanvas()->GetBrush()->SetColor(clRed);
    red.GetCanvas()->FillRect(Rect(0, 0, 12, 12));
    ASSERT_EQ(images.Add(&red, nullptr), 0);

    EXPECT_EQ(Paint("\\hspace{5}\\image{0}", nullptr, &images), 17);
    const TFound found = Find(clRed);
    EXPECT_EQ(found.Count, 144);
    EXPECT_EQ(found.MinX, 5);
    EXPECT_EQ(found.MaxX, 16);

    // A missing image keeps its room and draws nothing; without a list it is skipped.
    Canvas().GetBrush()->SetColor(clWhite);  // painting left the brush clear
    Canvas().FillRect(Rect(0, 0, W, H));
    EXPECT_EQ(Paint("\\image{1}\\image{-1}", nullptr, &images), 24);
    EXPECT_EQ(Paint("\\image{0}"), 0);
    EXPECT_EQ(Find(clWhite).Count, W * H);
}

}  // namespace

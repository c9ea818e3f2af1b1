// Headers and footers drawn on a bitmap page: where the frame and the texts land.
#include "qvedit/print/QvEditPrintHeaderFooter.h"

#include "platform/runtime/SysUtils.h"
#include "qvedit/print/QvEditPrintMargins.h"
#include "qvedit/print/QvEditPrinterInfo.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

constexpr Integer PageWidth = 400;
constexpr Integer PageHeight = 300;

class HeaderFooterDrawTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        page_.SetSize(PageWidth, PageHeight);
        ASSERT_TRUE(info_.FillFromDevice(Canvas()->GetHandle(), PageWidth, PageHeight));
        margins_.InitPage(Canvas(), 1, &info_, false, false, 0);
        font_.SetName("Arial");
        font_.SetSize(10);
        font_.SetColor(clBlack);
    }

    TCanvas* Canvas() { return page_.GetCanvas(); }

    // The bounding box of the non-white pixels in rows top..bottom-1 and columns
    // left..right-1; Left is INT_MAX when there are none.
    TRect Ink(Integer top, Integer bottom, Integer left = 0, Integer right = PageWidth)
    {
        TRect box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
        for (Integer y = std::max(top, 0); y < std::min(bottom, PageHeight); ++y) {
            for (Integer x = left; x < right; ++x) {
                if (Canvas()->GetPixel(x, y) == clWhite)
                    continue;
                box.Left = std::min(box.Left, x);
                box.Right = std::max(box.Right, x + 1);
                box.Top = std::min(box.Top, y);
                box.Bottom = std::max(box.Bottom, y + 1);
            }
        }
        return box;
    }

    Integer WidthOf(const std::string& text)
    {
        Canvas()->SetFont(&font_);
        return Canvas()->TextWidth(text);
    }
    Integer RowHeight()
    {
        Canvas()->SetFont(&font_);
        return Canvas()->TextHeight("W");
    }

    TBitmap page_;
    TQvEditPrinterInfo info_;
    TQvEditPrintMargins margins_;
    TFont font_;
};

TEST_F(HeaderFooterDrawTest, HeaderTextSitsAboveItsLineAtTheLeftIndent)
{
    THeader header;
    header.Add("Header", &font_, taLeftJustify, 1);
    header.InitPrint(Canvas(), 5, "Doc", &margins_);
    header.Print(Canvas(), 1);

    const Integer lineY = margins_.PHeader();
    EXPECT_EQ(Canvas()->GetPixel(margins_.PLeft(), lineY), clBlack);
    EXPECT_EQ(Canvas()->GetPixel((margins_.PLeft() + margins_.PRight()) / 2, lineY), clBlack);
    EXPECT_EQ(Canvas()->GetPixel(margins_.PRight() - 2, lineY), clBlack);
    EXPECT_EQ(Canvas()->GetPixel(margins_.PRight() + 1, lineY), clWhite);

    const TRect text = Ink(0, lineY);
    ASSERT_NE(text.Left, INT_MAX) << "no text drawn";
    EXPECT_NEAR(text.Left, margins_.PLeftHFTextIndent(), 3);
    EXPECT_LT(text.Right, margins_.PLeftHFTextIndent() + WidthOf("Header") + 2);
    // The text lies between the top of the block and the line.
    const Integer blockTop = lineY - (RowHeight() + 2 * margins_.PHFInternalMargin());
    EXPECT_GE(text.Top, blockTop);
    EXPECT_LT(text.Bottom, lineY);
    EXPECT_EQ(Ink(lineY + 1, PageHeight).Left, INT_MAX);  // nothing below the line
}

TEST_F(HeaderFooterDrawTest, MirroredLeftItemPrintsAtTheRightOnEvenPages)
{
    THeader header;
    header.SetMirrorPosition(true);
    header.SetFrameTypes({});
    header.Add("Left", &font_, taLeftJustify, 1);
    header.InitPrint(Canvas(), 5, "", &margins_);

    header.Print(Canvas(), 2);
    const TRect even = Ink(0, PageHeight);
    ASSERT_NE(even.Left, INT_MAX);
    EXPECT_NEAR(even.Right, margins_.PRightHFTextIndent(), 3);

    page_.SetSize(0, 0);
    page_.SetSize(PageWidth, PageHeight);
    header.Print(Canvas(), 3);
    const TRect odd = Ink(0, PageHeight);
    EXPECT_NEAR(odd.Left, margins_.PLeftHFTextIndent(), 3);
}

TEST_F(HeaderFooterDrawTest, ItemsOnLinesThreeAndSevenPrintOnConsecutiveLines)
{
    THeader header;
    header.SetFrameTypes({});
    header.Add("W", &font_, taLeftJustify, 7);
    header.Add("W", &font_, taRightJustify, 3);
    header.InitPrint(Canvas(), 1, "", &margins_);
    EXPECT_EQ(header.Get(0)->LineNumber(), 1);  // ordered by line, renumbered
    EXPECT_EQ(header.Get(0)->Alignment(), taRightJustify);
    EXPECT_EQ(header.Get(1)->LineNumber(), 2);
    header.Print(Canvas(), 1);
    // The right item's ink is one row above the left item's.
    const Integer middle = (margins_.PLeft() + margins_.PRight()) / 2;
    const Integer leftTop = Ink(0, PageHeight, 0, middle).Top;
    const Integer rightTop = Ink(0, PageHeight, middle, PageWidth).Top;
    ASSERT_NE(rightTop, INT_MAX);
    EXPECT_EQ(leftTop - rightTop, RowHeight());
}

TEST_F(HeaderFooterDrawTest, DateMacroUsesTheDateFormat)
{
    const std::string oldDate = ShortDateFormat();
    const std::string oldTime = LongTimeFormat();
    SetShortDateFormat("'WWWWWWWW'");
    SetLongTimeFormat("'nn'");
    THeader header;
    header.SetFrameTypes({});
    header.Add("$DATE$", &font_, taRightJustify, 1);
    header.InitPrint(Canvas(), 1, "", &margins_);
    SetShortDateFormat(oldDate);
    SetLongTimeFormat(oldTime);
    header.Print(Canvas(), 1);
    const TRect text = Ink(0, PageHeight);
    ASSERT_NE(text.Left, INT_MAX);
    EXPECT_NEAR(text.Right, margins_.PRightHFTextIndent(), 3);
    EXPECT_NEAR(text.Left, margins_.PRightHFTextIndent() - WidthOf("WWWWWWWW"), 3);
}

TEST_F(HeaderFooterDrawTest, WithoutItemsNothingIsDrawnAndTheCanvasIsUntouched)
{
    THeader header;
    header.SetFrameTypes({ftLine, ftBox, ftShaded});
    header.InitPrint(Canvas(), 1, "", &margins_);
    Canvas()->GetPen()->SetColor(clRed);
    Canvas()->GetBrush()->SetColor(clYellow);
    header.Print(Canvas(), 1);
    EXPECT_EQ(Ink(0, PageHeight).Left, INT_MAX);
    EXPECT_EQ(Canvas()->GetPen()->GetColor(), clRed);
    EXPECT_EQ(Canvas()->GetBrush()->GetColor(), clYellow);
}

}  // namespace

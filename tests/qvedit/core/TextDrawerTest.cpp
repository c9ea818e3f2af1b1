#include "qvedit/core/QvTextDrawer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

namespace {

// Draws text with a drawer, black on white, on a fresh bitmap as wide as its cells.
void DrawWith(TQvTextDrawer& drawer, TBitmap& target, const std::string& text)
{
    const Integer width = drawer.GetCharWidth() * static_cast<Integer>(text.size()) + 10;
    target.SetSize(width, drawer.GetCharHeight());
    drawer.SetForeColor(clBlack);
    drawer.SetBackColor(clWhite);
    drawer.BeginDrawing(target.GetCanvas()->GetHandle());
    drawer.ExtTextOut(0, 0, ETO_OPAQUE, TRect{0, 0, width, drawer.GetCharHeight()}, text.data(),
                      static_cast<Integer>(text.size()));
    drawer.EndDrawing();
}

// "M M M ...": ink belongs in the even cells only.
std::string Alternating(std::size_t cells)
{
    std::string text;
    for (std::size_t i = 0; i < cells; ++i)
        text += (i % 2 == 0) ? 'M' : ' ';
    return text;
}

class TextDrawerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        font.SetName("Courier New");
        font.SetSize(10);
        drawer = std::make_unique<TQvTextDrawer>(TFontStyles(fsBold), &font);
    }

    void Draw(const std::string& text) { DrawWith(*drawer, bitmap, text); }

    // Every "M" cell has ink and no blank cell has any.
    void ExpectInkOnlyInTheCellsOfM(const std::string& text)
    {
        const Integer cell = drawer->GetCharWidth();
        for (std::size_t i = 0; i < text.size(); ++i) {
            bool ink = false;
            const auto left = static_cast<Integer>(i) * cell;
            for (Integer x = left; x < left + cell; ++x)
                for (Integer y = 0; y < bitmap.GetHeight(); ++y)
                    ink = ink || bitmap.GetCanvas()->GetPixel(x, y) != clWhite;
            EXPECT_EQ(ink, text[i] == 'M') << "cell " << i << " of width " << cell;
        }
    }

    TFont font;
    std::unique_ptr<TQvTextDrawer> drawer;
    TBitmap bitmap;
};

TEST_F(TextDrawerTest, DistanceArrayGrowsInBlocksOf64AndHoldsTheCellWidth)
{
    // Each length is drawn first after a new base font dropped the array.
    for (const auto& [length, size] : {std::pair{1, 64}, std::pair{63, 64}, std::pair{64, 128},
                                       std::pair{100, 128}, std::pair{128, 192}}) {
        drawer->SetBaseFont(&font);
        EXPECT_TRUE(drawer->GetDistanceArray().empty());
        Draw(std::string(static_cast<std::size_t>(length), 'a'));
        EXPECT_EQ(drawer->GetDistanceArray().size(), static_cast<std::size_t>(size)) << length;
    }
    for (Integer distance : drawer->GetDistanceArray())
        ASSERT_EQ(distance, drawer->GetCharWidth());
    Draw(std::string(20, 'a'));
    EXPECT_EQ(drawer->GetDistanceArray().size(), 192u);
    Draw(std::string(200, 'a'));
    EXPECT_EQ(drawer->GetDistanceArray().size(), 256u);
}

TEST_F(TextDrawerTest, EveryByteOfARunStaysInItsCell)
{
    const std::string text = Alternating(61);
    for (TFontStyles style : {TFontStyles(), TFontStyles(fsBold), TFontStyles(fsItalic)}) {
        SCOPED_TRACE(static_cast<int>(style.Value()));
        drawer->SetStyle(style);
        Draw(text);
        ExpectInkOnlyInTheCellsOfM(text);
    }
}

TEST_F(TextDrawerTest, CharExtraChangeRebuildsTheDistances)
{
    const Integer plainWidth = drawer->GetCharWidth();
    Draw("abc");
    drawer->SetCharExtra(3);
    EXPECT_EQ(drawer->GetCharWidth(), plainWidth + 3);
    const std::string text = Alternating(31);
    Draw(text);
    for (Integer distance : drawer->GetDistanceArray())
        ASSERT_EQ(distance, plainWidth + 3);
    ExpectInkOnlyInTheCellsOfM(text);
}

TEST_F(TextDrawerTest, CellWidthIsTheBaseStylesAdvanceWhateverTheCurrentStyle)
{
    TQvFontStock stock(&font);
    stock.SetStyle(fsBold);
    EXPECT_EQ(drawer->GetStyle(), TFontStyles());
    EXPECT_EQ(drawer->GetCharWidth(), stock.GetCharAdvance());
    EXPECT_EQ(drawer->GetCharHeight(), stock.GetCharHeight());
}

TEST_F(TextDrawerTest, DrawingBracketNestsAppliesSettingsAndRestoresTheContext)
{
    bitmap.SetSize(100, drawer->GetCharHeight());
    HDC dc = bitmap.GetCanvas()->GetHandle();
    SetTextColor(dc, static_cast<COLORREF>(clGreen));
    drawer->BeginDrawing(dc);
    drawer->BeginDrawing(dc);
    drawer->SetForeColor(clRed);
    drawer->SetBackColor(clBlue);
    drawer->SetCharExtra(2);
    EXPECT_EQ(GetTextColor(dc), static_cast<COLORREF>(clRed));
    EXPECT_EQ(GetBkColor(dc), static_cast<COLORREF>(clBlue));
    EXPECT_EQ(GetTextCharacterExtra(dc), 2);
    drawer->ExtTextOut(0, 0, ETO_OPAQUE, TRect{0, 0, 100, 5}, "", 0);
    EXPECT_EQ(bitmap.GetCanvas()->GetPixel(50, 2), clBlue);
    drawer->EndDrawing();
    EXPECT_EQ(GetTextColor(dc), static_cast<COLORREF>(clRed));  // still drawing
    drawer->EndDrawing();
    EXPECT_EQ(GetTextColor(dc), static_cast<COLORREF>(clGreen));
    EXPECT_EQ(GetTextCharacterExtra(dc), 0);
}

TEST_F(TextDrawerTest, UsageErrorsRaise)
{
    TBitmap other;
    other.SetSize(10, 10);
    bitmap.SetSize(10, 10);
    drawer->BeginDrawing(bitmap.GetCanvas()->GetHandle());
    EXPECT_THROW(drawer->BeginDrawing(other.GetCanvas()->GetHandle()), EQvTextDrawerException);
    drawer->EndDrawing();
    EXPECT_THROW(drawer->EndDrawing(), EQvTextDrawerException);
    EXPECT_THROW(drawer->BeginDrawing(nullptr), EQvTextDrawerException);
    try {
        drawer->SetBaseFont(nullptr);
        FAIL();
    } catch (const EQvTextDrawerException& e) {
        EXPECT_EQ(e.Message(), "SetBaseFont: 'Value' must be specified.");
    }
}

TEST_F(TextDrawerTest, DrawsAgainAfterReleasingTemporaryResources)
{
    drawer->SetStyle(fsBold);
    drawer->ReleaseTemporaryResources();
    const std::string text = Alternating(9);
    Draw(text);
    ExpectInkOnlyInTheCellsOfM(text);
}

// The font selected into a context now.
HGDIOBJ SelectedFont(HDC dc)
{
    HGDIOBJ current = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    SelectObject(dc, current);
    return current;
}

TEST_F(TextDrawerTest, Drawer2ReusesItsStyleFontsAndForgetsThemWithANewFont)
{
    TQvTextDrawer2 drawer2(TFontStyles(fsBold), &font);
    bitmap.SetSize(10, 10);
    HDC dc = bitmap.GetCanvas()->GetHandle();
    drawer2.BeginDrawing(dc);
    drawer2.SetStyle(fsItalic);
    const HGDIOBJ italic = SelectedFont(dc);
    drawer2.SetStyle(TFontStyles());
    EXPECT_NE(SelectedFont(dc), italic);
    drawer2.SetStyle(fsItalic);
    EXPECT_EQ(SelectedFont(dc), italic);
    drawer2.EndDrawing();

    TFont larger;
    larger.Assign(&font);
    larger.SetSize(20);
    drawer2.SetBaseFont(&larger);
    drawer2.SetStyle(fsItalic);
    drawer2.BeginDrawing(dc);
    LOGFONTA logFont{};
    ASSERT_GT(GetObjectA(SelectedFont(dc), sizeof logFont, &logFont), 0);
    EXPECT_EQ(logFont.lfHeight, larger.GetLogFont().lfHeight);
    drawer2.EndDrawing();
}

TEST(TextDrawerEx, PadsEachStyleToTheCellLikeTheDistanceArray)
{
    // A proportional face whose bold "M" is wider than its plain one.
    TFont serif;
    serif.SetName("Times New Roman");
    serif.SetSize(12);
    TQvTextDrawer reference(TFontStyles(fsBold), &serif);
    TQvTextDrawerEx padded(TFontStyles(fsBold), &serif);
    TQvFontStock stock(&serif);
    ASSERT_GT(reference.GetCharWidth(), stock.GetCharAdvance());
    EXPECT_EQ(padded.GetStyleCharExtra(), reference.GetCharWidth() - stock.GetCharAdvance());

    const std::string text = "MMMMMMMMMMMM";
    for (TFontStyles style : {TFontStyles(), TFontStyles(fsItalic), TFontStyles(fsUnderline)}) {
        SCOPED_TRACE(static_cast<int>(style.Value()));
        reference.SetStyle(style);
        padded.SetStyle(style);
        padded.SetCharExtra(style.Contains(fsUnderline) ? 2 : 0);
        reference.SetCharExtra(padded.GetCharExtra());
        TBitmap expected;
        TBitmap actual;
        DrawWith(reference, expected, text);
        DrawWith(padded, actual, text);
        Integer differing = 0;
        for (Integer y = 0; y < expected.GetHeight(); ++y)
            for (Integer x = 0; x < expected.GetWidth(); ++x)
                differing += expected.GetCanvas()->GetPixel(x, y) != actual.GetCanvas()->GetPixel(x, y);
        EXPECT_EQ(differing, 0);
    }
}

}  // namespace

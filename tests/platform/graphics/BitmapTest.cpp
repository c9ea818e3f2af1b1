// Bitmaps, canvas drawing on them, copies and image lists, checked pixel by pixel.
#include "platform/graphics/GraphicsQt.h"
#include "platform/runtime/CodePages.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

// Counts the pixels of one colour in [left, right) x [top, bottom).
int CountColor(TCanvas* canvas, const TRect& area, TColor color)
{
    int count = 0;
    for (int y = area.Top; y < area.Bottom; ++y)
        for (int x = area.Left; x < area.Right; ++x)
            count += canvas->GetPixel(x, y) == color ? 1 : 0;
    return count;
}

std::unique_ptr<TBitmap> WhiteBitmap(int width, int height)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(width, height);
    return bitmap;
}

TEST(BitmapTest, ResizingKeepsOldPixelsAndAddsWhite)
{
    TBitmap bitmap;
    EXPECT_TRUE(bitmap.Empty());
    bitmap.SetSize(4, 3);
    EXPECT_EQ(bitmap.GetCanvas()->GetPixel(3, 2), clWhite);
    bitmap.GetCanvas()->SetPixel(1, 1, clRed);
    bitmap.SetSize(6, 5);
    EXPECT_EQ(bitmap.GetWidth(), 6);
    EXPECT_EQ(bitmap.GetCanvas()->GetPixel(1, 1), clRed);
    EXPECT_EQ(bitmap.GetCanvas()->GetPixel(5, 4), clWhite);
    EXPECT_EQ(bitmap.GetCanvas()->GetPixel(6, 0), -1);
    EXPECT_EQ(GetDeviceCaps(bitmap.GetCanvas()->GetHandle(), HORZRES), 6);
    EXPECT_EQ(bitmap.GetCanvas()->GetClipRect(), Rect(0, 0, 6, 5));
    bitmap.SetSize(-3, 5);
    EXPECT_TRUE(bitmap.Empty());
    bitmap.GetCanvas()->FillRect(Rect(0, 0, 5, 5));  // drawing on nothing does nothing
}

TEST(BitmapTest, RectanglesAndLinesCoverExactlyTheirPixels)
{
    auto bitmap = WhiteBitmap(20, 20);
    TCanvas* canvas = bitmap->GetCanvas();
    canvas->GetBrush()->SetColor(clBlue);
    canvas->FillRect(Rect(2, 3, 6, 8));
    EXPECT_EQ(CountColor(canvas, Rect(0, 0, 20, 20), clBlue), 4 * 5);
    EXPECT_EQ(CountColor(canvas, Rect(2, 3, 6, 8), clBlue), 4 * 5);

    canvas->GetBrush()->SetColor(clLime);
    canvas->FrameRect(Rect(10, 10, 15, 14));
    EXPECT_EQ(CountColor(canvas, Rect(10, 10, 15, 14), clLime), 5 * 4 - 3 * 2);
    EXPECT_EQ(canvas->GetPixel(12, 12), clWhite);

    canvas->GetPen()->SetColor(clRed);
    canvas->MoveTo(0, 18);
    canvas->LineTo(10, 18);
    EXPECT_EQ(CountColor(canvas, Rect(0, 18, 20, 19), clRed), 10) << "the end point is left out";
    EXPECT_EQ(canvas->GetPenPos(), Point(10, 18));
    canvas->LineTo(10, 10);
    EXPECT_EQ(CountColor(canvas, Rect(10, 11, 11, 19), clRed), 8);

    canvas->GetBrush()->SetColor(clYellow);
    canvas->Rectangle(0, 0, 4, 3);
    EXPECT_EQ(CountColor(canvas, Rect(0, 0, 4, 3), clRed), 4 + 4 + 2);
    EXPECT_EQ(canvas->GetPixel(1, 1), clYellow);
}

TEST(BitmapTest, CanvasTextUsesTheFontAndBrush)
{
    SetAnsiCodePage(1252);
    auto bitmap = WhiteBitmap(120, 30);
    TCanvas* canvas = bitmap->GetCanvas();
    canvas->GetFont()->SetName("Courier New");
    canvas->GetFont()->SetPixelsPerInch(96);
    canvas->GetFont()->SetSize(10);
    canvas->GetFont()->SetColor(clBlack);
    canvas->GetBrush()->SetColor(clAqua);
    const TSize extent = canvas->TextExtent("Hello");
    EXPECT_EQ(extent.cx, 5 * 8);
    EXPECT_EQ(canvas->TextHeight("Hello"), extent.cy);
    canvas->TextOut(4, 2, "Hello");
    EXPECT_EQ(canvas->GetPenPos(), Point(4 + extent.cx, 2));
    const int aqua = CountColor(canvas, Rect(4, 2, 4 + extent.cx, 2 + extent.cy), clAqua);
    const int black = CountColor(canvas, Rect(4, 2, 4 + extent.cx, 2 + extent.cy), clBlack);
    EXPECT_GT(aqua, 0);
    EXPECT_GT(black, 0);
    EXPECT_EQ(CountColor(canvas, Rect(0, 0, 120, 30), clAqua), aqua) << "background beyond the text";

    // TextRect clips to its rectangle and fills it.
    canvas->GetBrush()->SetColor(clWhite);
    canvas->FillRect(Rect(0, 0, 120, 30));
    canvas->GetBrush()->SetColor(clFuchsia);
    canvas->TextRect(Rect(10, 5, 30, 25), 0, 5, "WWWWWWWWWW");
    for (int y = 0; y < 30; ++y) {
        EXPECT_EQ(canvas->GetPixel(9, y), clWhite);
        EXPECT_EQ(canvas->GetPixel(30, y), clWhite);
    }
    EXPECT_EQ(canvas->GetPixel(11, 24), clFuchsia);
}

TEST(BitmapTest, CopyRectAndBrushCopyMovePixels)
{
    auto source = WhiteBitmap(10, 10);
    source->GetCanvas()->GetBrush()->SetColor(clRed);
    source->GetCanvas()->FillRect(Rect(0, 0, 5, 10));
    auto target = WhiteBitmap(20, 20);
    TCanvas* canvas = target->GetCanvas();

    canvas->CopyRect(Rect(10, 10, 20, 20), source->GetCanvas(), Rect(0, 0, 10, 10));
    EXPECT_EQ(CountColor(canvas, Rect(0, 0, 20, 20), clRed), 50);
    EXPECT_EQ(canvas->GetPixel(14, 15), clRed);
    EXPECT_EQ(canvas->GetPixel(15, 15), clWhite);
    // Scaled: a 5x10 strip doubled in width.
    canvas->CopyRect(Rect(0, 0, 10, 10), source->GetCanvas(), Rect(0, 0, 5, 10));
    EXPECT_EQ(CountColor(canvas, Rect(0, 0, 10, 10), clRed), 100);

    // Red becomes the brush colour, white is copied as it is.
    canvas->GetBrush()->SetColor(clGreen);
    canvas->BrushCopy(Rect(0, 0, 10, 10), source.get(), Rect(0, 0, 10, 10), clRed);
    EXPECT_EQ(CountColor(canvas, Rect(0, 0, 10, 10), clGreen), 50);
    EXPECT_EQ(CountColor(canvas, Rect(0, 0, 10, 10), clWhite), 50);

    TCanvas detached;
    EXPECT_THROW(detached.FillRect(Rect(0, 0, 1, 1)), EInvalidOperation);
    EXPECT_THROW(canvas->CopyRect(Rect(0, 0, 1, 1), &detached, Rect(0, 0, 1, 1)), EInvalidOperation);
}

TEST(BitmapTest, TransparentBitmapsLeaveOutTheirKeyColour)
{
    auto glyph = WhiteBitmap(4, 4);
    glyph->GetCanvas()->GetBrush()->SetColor(clBlue);
    glyph->GetCanvas()->FillRect(Rect(1, 0, 3, 3));  // the bottom-left pixel stays white
    EXPECT_EQ(glyph->GetTransparentColor(), clWhite);
    glyph->SetTransparent(true);

    auto target = WhiteBitmap(8, 8);
    TCanvas* canvas = target->GetCanvas();
    canvas->GetBrush()->SetColor(clRed);
    canvas->FillRect(Rect(0, 0, 8, 8));
    canvas->Draw(2, 2, glyph.get());
    EXPECT_EQ(CountColor(canvas, Rect(0, 0, 8, 8), clBlue), 6);
    EXPECT_EQ(CountColor(canvas, Rect(0, 0, 8, 8), clRed), 64 - 6);

    glyph->SetTransparent(false);
    canvas->StretchDraw(Rect(0, 0, 8, 8), glyph.get());
    EXPECT_EQ(CountColor(canvas, Rect(0, 0, 8, 8), clRed), 0);
}

TEST(BitmapTest, FilesRoundTripAndBadFilesRaise)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = dir.path().toStdString();
    auto bitmap = WhiteBitmap(7, 5);
    bitmap->GetCanvas()->SetPixel(6, 4, clNavy);
    for (const char* name : {"/a.png", "/a.BMP"}) {
        bitmap->SaveToFile(folder + name);
        TBitmap loaded;
        loaded.LoadFromFile(folder + name);
        EXPECT_EQ(loaded.GetWidth(), 7) << name;
        EXPECT_EQ(loaded.GetCanvas()->GetPixel(6, 4), clNavy) << name;
        EXPECT_EQ(loaded.GetCanvas()->GetPixel(0, 0), clWhite) << name;
    }
    {
        std::ofstream junk(folder + "/junk.png", std::ios::binary);
        junk << "not an image";
    }
    TBitmap target;
    target.SetSize(2, 2);
    EXPECT_THROW(target.LoadFromFile(folder + "/junk.png"), EInvalidGraphic);
    EXPECT_EQ(target.GetWidth(), 2) << "a failed load keeps the old image";
    EXPECT_THROW(target.LoadFromFile(folder + "/missing.png"), EFOpenError);
    EXPECT_THROW(target.LoadFromResourceName("NoSuchBuiltInImage"), EResNotFound);
    EXPECT_THROW(target.LoadFromResourceName(""), EResNotFound);
    target.LoadFromResourceName("QvEditInternalImages");  // the editor's built-in glyphs
    EXPECT_FALSE(target.Empty());
    TBitmap empty;
    EXPECT_THROW(empty.SaveToFile(folder + "/empty.png"), EInvalidGraphic);
    EXPECT_FALSE(QFile::exists(dir.path() + "/empty.png"));

    TBitmap copy;
    bitmap->SetTransparent(true);
    copy.Assign(bitmap.get());
    EXPECT_TRUE(copy.GetTransparent());
    EXPECT_EQ(copy.GetCanvas()->GetPixel(6, 4), clNavy);
}

// An image format plugin mapped into this process, or an empty string.
std::string MappedImageFormatPlugin()
{
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        if (line.find("/imageformats/") != std::string::npos)
            return line;
    }
    return {};
}

// A built-in image is read by the reader of the format its name gives: the image format
// plugins, which the toolkit would otherwise all load to look at its bytes, stay unloaded.
TEST(BitmapTest, ABuiltInImageLoadsNoImageFormatPlugin)
{
    if (!MappedImageFormatPlugin().empty())
        GTEST_SKIP() << "an earlier test in this process loaded the plugins";
    TBitmap target;
    target.LoadFromResourceName("QvEditInternalImages");
    EXPECT_FALSE(target.Empty());
    EXPECT_EQ(MappedImageFormatPlugin(), "");
}

TEST(ImageListTest, StripsAreCutIntoImagesDrawnWithTheirMask)
{
    TImageList list;
    list.SetWidth(3);
    list.SetHeight(3);
    auto strip = WhiteBitmap(9, 3);  // three images side by side
    TCanvas* s = strip->GetCanvas();
    s->GetBrush()->SetColor(clFuchsia);
    s->FillRect(Rect(0, 0, 9, 3));
    s->GetBrush()->SetColor(clRed);
    s->FillRect(Rect(1, 1, 2, 2));  // image 0: one red dot in the middle
    s->GetBrush()->SetColor(clBlue);
    s->FillRect(Rect(6, 0, 9, 3));  // image 2: all blue
    EXPECT_EQ(list.AddMasked(strip.get(), clFuchsia), 0);
    EXPECT_EQ(list.Count(), 3);

    auto target = WhiteBitmap(10, 10);
    TCanvas* canvas = target->GetCanvas();
    list.Draw(canvas, 4, 4, 0);
    EXPECT_EQ(CountColor(canvas, Rect(0, 0, 10, 10), clWhite), 99);
    EXPECT_EQ(canvas->GetPixel(5, 5), clRed);
    list.Draw(canvas, 0, 0, 2);
    EXPECT_EQ(CountColor(canvas, Rect(0, 0, 3, 3), clBlue), 9);
    list.Draw(canvas, 0, 0, 7);  // out of range: nothing
    list.Draw(canvas, 6, 0, 2, false);
    EXPECT_NE(canvas->GetPixel(7, 1), clBlue) << "disabled images are greyed";
    EXPECT_NE(canvas->GetPixel(7, 1), clWhite);

    auto mask = WhiteBitmap(3, 3);
    mask->GetCanvas()->GetBrush()->SetColor(clBlack);
    mask->GetCanvas()->FillRect(Rect(0, 0, 1, 3));  // only the left column is opaque
    EXPECT_EQ(list.Add(strip.get(), mask.get()), 3);
    EXPECT_EQ(list.Count(), 6);
    auto masked = WhiteBitmap(3, 3);
    list.Draw(masked->GetCanvas(), 0, 0, 3);
    EXPECT_EQ(CountColor(masked->GetCanvas(), Rect(0, 0, 3, 3), clFuchsia), 3);
    EXPECT_EQ(CountColor(masked->GetCanvas(), Rect(1, 0, 3, 3), clWhite), 6) << "red dot masked too";
    list.SetWidth(4);
    EXPECT_EQ(list.Count(), 0);
}

}  // namespace

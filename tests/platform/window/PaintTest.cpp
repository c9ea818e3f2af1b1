// Painting: what was invalidated is what Paint is asked for, Update paints it now, and
// scrolling asks only for the uncovered strip.
#include "window/RecordingControl.h"

#include <gtest/gtest.h>

namespace {

class PaintTest : public ::testing::Test {
protected:
    PaintTest()
    {
        QApplication::processEvents();
        ui.Control->PaintClips.clear();
    }

    TRecordingForm ui;
};

TEST_F(PaintTest, UpdatePaintsExactlyWhatWasInvalidated)
{
    ui.Control->Update();
    EXPECT_TRUE(ui.Control->PaintClips.empty());

    const TRect r = Rect(10, 20, 30, 25);
    ui.Control->InvalidateRect(&r, true);
    EXPECT_TRUE(ui.Control->PaintClips.empty());  // not before Update or the event loop
    ui.Control->Update();
    ASSERT_EQ(ui.Control->PaintClips.size(), 1u);
    EXPECT_EQ(ui.Control->PaintClips[0], r);

    // Two areas are painted as one pass whose clip box holds both.
    ui.Control->PaintClips.clear();
    const TRect a = Rect(0, 0, 5, 5);
    const TRect b = Rect(50, 40, 60, 45);
    ui.Control->InvalidateRect(&a, false);
    ui.Control->InvalidateRect(&b, false);
    ui.Control->Update();
    ASSERT_EQ(ui.Control->PaintClips.size(), 1u);
    EXPECT_EQ(ui.Control->PaintClips[0], Rect(0, 0, 60, 45));

    ui.Control->PaintClips.clear();
    ui.Control->Repaint();
    ASSERT_EQ(ui.Control->PaintClips.size(), 1u);
    EXPECT_EQ(ui.Control->PaintClips[0], ui.Control->ClientRect());
}

TEST_F(PaintTest, InvalidAreaOutsideTheClientIsIgnored)
{
    const TRect outside = Rect(500, 500, 600, 600);
    ui.Control->InvalidateRect(&outside, false);
    ui.Control->Update();
    EXPECT_TRUE(ui.Control->PaintClips.empty());
}

TEST_F(PaintTest, ScrollingPaintsOnlyTheUncoveredStrip)
{
    ui.Control->ScrollWindow(0, -10, nullptr, nullptr);
    ui.Control->Update();
    ASSERT_FALSE(ui.Control->PaintClips.empty());
    EXPECT_EQ(ui.Control->PaintClips[0], Rect(0, 70, 100, 80));

    ui.Control->PaintClips.clear();
    const TRect area = Rect(20, 0, 100, 80);
    ui.Control->ScrollWindow(8, 0, &area, nullptr);
    ui.Control->Update();
    ASSERT_FALSE(ui.Control->PaintClips.empty());
    EXPECT_EQ(ui.Control->PaintClips[0], Rect(20, 0, 28, 80));
}

TEST_F(PaintTest, BackgroundIsErasedWithTheControlColourUnlessTheControlDeclines)
{
    auto* plain = new TCustomControl(ui.Form);
    plain->SetParent(ui.Form);
    plain->SetBounds(150, 10, 40, 40);
    plain->SetColor(clRed);
    QApplication::processEvents();
    EXPECT_EQ(plain->Window()->Client()->grab().toImage().pixelColor(20, 20), QColor(Qt::red));

    // The recording control answers WM_ERASEBKGND itself and paints blue.
    ui.Control->PaintColor = clBlue;
    ui.Control->SetColor(clRed);
    EXPECT_EQ(ui.Control->Grab().pixelColor(20, 20), QColor(Qt::blue));
}

TEST_F(PaintTest, PaintToDrawsTheControlWithItsFrameOnACanvas)
{
    ui.Control->PaintColor = clBlue;
    TBitmap bitmap;
    bitmap.SetSize(300, 200);
    bitmap.GetCanvas()->GetBrush()->SetColor(clWhite);
    bitmap.GetCanvas()->FillRect(Rect(0, 0, 300, 200));
    ui.Form->PaintTo(bitmap.GetCanvas(), 5, 7);
    // The control sits at (10, 10) of the form's client area.
    const TPoint inControl = ui.Control->ClientToScreen({50, 40});
    const TPoint formOrigin = ui.Form->ClientToScreen({0, 0});
    const int x = 5 + inControl.X - formOrigin.X + (formOrigin.X - ui.Form->Left());
    const int y = 7 + inControl.Y - formOrigin.Y + (formOrigin.Y - ui.Form->Top());
    EXPECT_EQ(bitmap.GetCanvas()->GetPixel(x, y), clBlue);
    EXPECT_EQ(bitmap.GetCanvas()->GetPixel(2, 2), clWhite) << "nothing drawn left of (5, 7)";
}

TEST_F(PaintTest, AlignedChildrenShareTheClientArea)
{
    auto* top = new TCustomControl(ui.Form);
    top->SetParent(ui.Form);
    top->SetHeight(30);
    top->SetAlign(alTop);
    auto* fill = new TCustomControl(ui.Form);
    fill->SetParent(ui.Form);
    fill->SetAlign(alClient);
    const int width = ui.Form->ClientWidth();
    const int height = ui.Form->ClientHeight();
    EXPECT_EQ(top->BoundsRect(), Rect(0, 0, width, 30));
    EXPECT_EQ(fill->BoundsRect(), Rect(0, 30, width, height));

    ui.Form->SetBounds(ui.Form->Left(), ui.Form->Top(), 400, 300);
    EXPECT_EQ(fill->BoundsRect(), Rect(0, 30, ui.Form->ClientWidth(), ui.Form->ClientHeight()));
    EXPECT_EQ(ui.Form->ClientWidth(), 400);

    top->SetVisible(false);
    EXPECT_EQ(fill->Top(), 0);
}

}  // namespace

#include "window/RecordingControl.h"

#include "platform/graphics/Colors.h"
#include "platform/window/HintWindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

namespace {

QColor RgbOf(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

int CountPixels(const QImage& image, const QColor& color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).rgb() == color.rgb())
                ++count;
    return count;
}

}  // namespace

TEST(HintWindow, CalcHintRectWrapsLongTextAtTheMaximumWidth)
{
    THintWindow hint(nullptr);
    const TRect one = hint.CalcHintRect(200, "Top Line: 12");
    EXPECT_EQ(one.Left, 0);
    EXPECT_EQ(one.Top, 0);
    EXPECT_GT(one.Width(), 20);
    EXPECT_LT(one.Width(), 200);
    EXPECT_GT(one.Height(), 8);

    const std::string words = "alpha beta gamma delta epsilon zeta eta theta iota kappa lambda mu";
    const TRect wrapped = hint.CalcHintRect(120, words);
    EXPECT_LE(wrapped.Width(), 120 + 6);
    EXPECT_GE(wrapped.Height(), 3 * (one.Height() - 4));
    const TRect wide = hint.CalcHintRect(0, words);  // no limit: one line
    EXPECT_EQ(wide.Height(), one.Height());
    EXPECT_GT(wide.Width(), 200);

    EXPECT_GT(hint.CalcHintRect(200, "two\nlines").Height(), one.Height());
}

TEST(HintWindow, ActivateHintShowsTheTextWithoutTakingTheFocus)
{
    TRecordingForm form;
    form.Control->SetFocus();
    QApplication::processEvents();
    ASSERT_TRUE(form.Control->Focused());
    QWidget* active = QApplication::activeWindow();

    THintWindow hint(nullptr);
    EXPECT_FALSE(hint.HandleAllocated());
    TRect r = hint.CalcHintRect(200, "Top Line: 12");
    const TPoint at = form.Control->ClientToScreen({20, 30});
    r = {at.X, at.Y, at.X + r.Width(), at.Y + r.Height()};
    hint.ActivateHint(r, "Top Line: 12");
    QApplication::processEvents();

    EXPECT_TRUE(hint.HandleAllocated());
    EXPECT_TRUE(hint.Visible());
    EXPECT_EQ(hint.BoundsRect(), r);
    EXPECT_EQ(hint.Caption(), "Top Line: 12");
    QWidget* window = hint.Window()->Frame();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isWindow());
    EXPECT_EQ(window->windowType(), Qt::ToolTip);
    EXPECT_TRUE(window->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(form.Control->Focused());
    EXPECT_EQ(QApplication::activeWindow(), active);

    // The info-tip background with text drawn on it.
    const QImage image = hint.Window()->Client()->grab().toImage();
    const int background = CountPixels(image, RgbOf(clInfoBk));
    EXPECT_GT(background, image.width() * image.height() / 2);
    EXPECT_LT(background, image.width() * image.height());

    hint.ReleaseHandle();
    EXPECT_FALSE(hint.HandleAllocated());
    EXPECT_FALSE(window->isVisible());
    hint.ActivateHint(r, "Top Line: 13");
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(hint.Caption(), "Top Line: 13");
}

TEST(HintWindow, AHintStickingOutOfTheScreenMovesInside)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const QRect area = screen->geometry();
    THintWindow hint(nullptr);
    hint.ActivateHint({area.right() - 10, area.bottom() - 5, area.right() + 70, area.bottom() + 15}, "hint");
    EXPECT_EQ(hint.BoundsRect(), (TRect{area.right() + 1 - 80, area.bottom() + 1 - 20, area.right() + 1,
                                        area.bottom() + 1}));
    hint.ActivateHint({area.left() - 30, area.top() - 40, area.left() + 50, area.top()}, "hint");
    EXPECT_EQ(hint.BoundsRect(), (TRect{area.left(), area.top(), area.left() + 80, area.top() + 40}));
}

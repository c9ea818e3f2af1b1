// The caret: hidden until shown as often as it was hidden, drawn inverted over the
// control's painting, and never left behind by scrolling.
#include "window/RecordingControl.h"

#include "platform/window/Caret.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyleHints>
#include <QThread>

#include <gtest/gtest.h>

namespace {

class CaretTest : public ::testing::Test {
protected:
    CaretTest() { handle = ui.Control->Handle(); }
    ~CaretTest() override { DestroyCaret(); }

    bool InvertedAt(int x, int y) { return ui.Control->Grab().pixelColor(x, y) == QColor(Qt::black); }

    TRecordingForm ui;
    HWND handle = nullptr;
};

TEST_F(CaretTest, ShowsOnlyWhenShownAsOftenAsHidden)
{
    ASSERT_EQ(CreateCaret(handle, nullptr, 2, 10), TRUE);
    ASSERT_EQ(SetCaretPos(5, 5), TRUE);
    EXPECT_FALSE(InvertedAt(5, 5));  // a new caret starts hidden

    EXPECT_EQ(ShowCaret(handle), TRUE);
    EXPECT_TRUE(InvertedAt(5, 5));
    EXPECT_TRUE(InvertedAt(6, 14));
    EXPECT_FALSE(InvertedAt(7, 5));
    EXPECT_FALSE(InvertedAt(5, 15));

    HideCaret(handle);
    HideCaret(handle);
    ShowCaret(handle);
    EXPECT_FALSE(InvertedAt(5, 5));
    ShowCaret(handle);
    EXPECT_TRUE(InvertedAt(5, 5));
    // More shows than hides do not bank visibility.
    ShowCaret(handle);
    HideCaret(nullptr);
    EXPECT_FALSE(InvertedAt(5, 5));
}

TEST_F(CaretTest, BelongsToOneWindowAndGoesWithIt)
{
    auto* other = new TRecordingControl(ui.Form);
    other->SetParent(ui.Form);
    ASSERT_EQ(CreateCaret(handle, nullptr, 2, 10), TRUE);
    EXPECT_EQ(ShowCaret(other->Handle()), FALSE);
    EXPECT_EQ(HideCaret(other->Handle()), FALSE);
    EXPECT_EQ(ShowCaret(handle), TRUE);

    // Another window's caret replaces this one.
    ASSERT_EQ(CreateCaret(other->Handle(), nullptr, 3, 3), TRUE);
    EXPECT_FALSE(InvertedAt(0, 0));
    EXPECT_EQ(ShowCaret(handle), FALSE);

    TPoint p{-1, -1};
    EXPECT_EQ(GetCaretPos(&p), TRUE);
    EXPECT_EQ(p, Point(0, 0));
    delete other;  // its window goes, and the caret with it
    EXPECT_EQ(GetCaretPos(&p), FALSE);
    EXPECT_EQ(DestroyCaret(), FALSE);
    EXPECT_EQ(CreateCaret(nullptr, nullptr, 1, 1), FALSE);
}

// What is on the screen (the window's backing store), not a fresh rendering.
QImage OnScreen(QWidget* widget)
{
    QApplication::processEvents();
    const QPoint at = widget->mapTo(widget->window(), QPoint(0, 0));
    return widget->window()->screen()->grabWindow(widget->window()->winId(), at.x(), at.y(), widget->width(),
                                                  widget->height()).toImage();
}

int InvertedPixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == QColor(Qt::black) ? 1 : 0;
    return count;
}

TEST_F(CaretTest, ScrollingLeavesNoTraceOfTheCaret)
{
    CreateCaret(handle, nullptr, 2, 10);
    SetCaretPos(20, 20);
    ShowCaret(handle);
    QImage before = OnScreen(ui.Client());
    ASSERT_EQ(InvertedPixels(before), 20);

    ui.Control->ScrollWindow(0, 15, nullptr, nullptr);
    ui.Control->ScrollWindow(7, -30, nullptr, nullptr);
    ui.Control->Update();
    const QImage after = OnScreen(ui.Client());
    EXPECT_EQ(InvertedPixels(after), 20);
    EXPECT_EQ(after.pixelColor(20, 20), QColor(Qt::black));
}

// A control that hides the caret while it paints (as the editor does) and may move it
// on its first paint.
class TCaretHidingControl : public TRecordingControl {
public:
    using TRecordingControl::TRecordingControl;
    TPoint MoveOnFirstPaint{-1, -1};

protected:
    void Paint() override
    {
        HideCaret(Handle());
        TRecordingControl::Paint();
        if (MoveOnFirstPaint.X >= 0 && PaintClips.size() == 1)
            SetCaretPos(MoveOnFirstPaint.X, MoveOnFirstPaint.Y);
        ShowCaret(Handle());
    }
};

class CaretPaintTest : public ::testing::Test {
protected:
    CaretPaintTest() : savedFlashTime_(QGuiApplication::styleHints()->cursorFlashTime())
    {
        // No blinking: every paint below comes from the control or the caret's moves.
        QGuiApplication::styleHints()->setCursorFlashTime(0);
        control = new TCaretHidingControl(ui.Form);
        control->SetBounds(150, 10, 100, 60);
        control->SetParent(ui.Form);
        handle = control->Handle();
    }
    ~CaretPaintTest() override
    {
        DestroyCaret();
        QGuiApplication::styleHints()->setCursorFlashTime(savedFlashTime_);
    }
    static void Settle()
    {
        for (int i = 0; i < 20; ++i)
            QApplication::processEvents();
    }

    TRecordingForm ui;
    TCaretHidingControl* control = nullptr;
    HWND handle = nullptr;

private:
    int savedFlashTime_;
};

TEST_F(CaretPaintTest, HidingTheCaretWhilePaintingAsksForNoFurtherPaint)
{
    CreateCaret(handle, nullptr, 2, 10);
    SetCaretPos(20, 20);
    ShowCaret(handle);
    Settle();
    control->PaintClips.clear();

    control->Invalidate();
    Settle();
    EXPECT_EQ(control->PaintClips.size(), 1u) << "each paint must not schedule the next";
    EXPECT_EQ(InvertedPixels(OnScreen(control->Window()->Client())), 20);
}

TEST_F(CaretPaintTest, ACaretMovedWhilePaintingShowsOnlyAtItsNewPlace)
{
    CreateCaret(handle, nullptr, 2, 10);
    SetCaretPos(20, 20);
    ShowCaret(handle);
    Settle();
    ASSERT_EQ(InvertedPixels(OnScreen(control->Window()->Client())), 20);
    control->PaintClips.clear();

    // A paint of a strip that holds neither place moves the caret: both are painted again.
    control->MoveOnFirstPaint = TPoint{60, 5};
    const TRect strip = Rect(0, 40, 100, 50);
    control->InvalidateRect(&strip, false);
    Settle();
    const QImage screen = OnScreen(control->Window()->Client());
    EXPECT_EQ(InvertedPixels(screen), 20);
    EXPECT_EQ(screen.pixelColor(60, 5), QColor(Qt::black));
    EXPECT_NE(screen.pixelColor(20, 20), QColor(Qt::black));
    EXPECT_LE(control->PaintClips.size(), 3u);
}

TEST_F(CaretPaintTest, BlinksAlthoughItsWindowHidesItWhilePainting)
{
    QGuiApplication::styleHints()->setCursorFlashTime(100);  // 50 ms phases
    CreateCaret(handle, nullptr, 2, 10);
    SetCaretPos(20, 20);
    ShowCaret(handle);
    bool seenOn = false;
    bool seenOff = false;
    for (int i = 0; i < 60 && !(seenOn && seenOff); ++i) {
        QThread::msleep(10);
        const int inverted = InvertedPixels(OnScreen(control->Window()->Client()));
        seenOn = seenOn || inverted == 20;
        seenOff = seenOff || inverted == 0;
    }
    EXPECT_TRUE(seenOn);
    EXPECT_TRUE(seenOff) << "the blink's dark phase must survive the paint it causes";
}

TEST(CaretBlinkTest, FollowsTheDesktopRate)
{
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (flash > 0)
        EXPECT_EQ(GetCaretBlinkTime(), static_cast<UINT>(flash / 2));
    else
        EXPECT_EQ(GetCaretBlinkTime(), 0xFFFFFFFFu);
}

}  // namespace

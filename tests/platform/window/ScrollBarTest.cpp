// Scroll bars keep the window system's rules: hidden or disabled when the page covers
// the range, moved only by the program, user actions reported as SB_* codes.
#include "window/RecordingControl.h"

#include "platform/window/ScrollBars.h"

#include <QPointer>
#include <QScrollBar>

#include <gtest/gtest.h>

namespace {

using Log = std::vector<std::string>;

SCROLLINFO Info(UINT mask, int min, int max, UINT page, int pos)
{
    SCROLLINFO info;
    info.fMask = mask;
    info.nMin = min;
    info.nMax = max;
    info.nPage = page;
    info.nPos = pos;
    return info;
}

TEST(ScrollBarStateTest, PageCoveringTheRangeHidesOrDisables)
{
    TScrollBarState bar;
    EXPECT_EQ(bar.Apply(Info(SIF_RANGE | SIF_PAGE | SIF_POS, 1, 100, 10, 200)), 91);
    EXPECT_TRUE(bar.Visible);
    EXPECT_TRUE(bar.Enabled);
    EXPECT_EQ(bar.MaxPos(), 91);

    bar.Apply(Info(SIF_RANGE | SIF_PAGE, 1, 10, 10, 0));
    EXPECT_FALSE(bar.Visible);
    EXPECT_EQ(bar.Pos, 1);

    bar.Apply(Info(SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL, 1, 10, 10, 0));
    EXPECT_TRUE(bar.Visible);
    EXPECT_FALSE(bar.Enabled);

    // One line more than the page scrolls again, and is enabled again.
    bar.Apply(Info(SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL, 1, 11, 10, 0));
    EXPECT_TRUE(bar.Visible);
    EXPECT_TRUE(bar.Enabled);
    EXPECT_EQ(bar.MaxPos(), 2);
}

TEST(ScrollBarStateTest, PositionAloneLeavesVisibilityAndIsClamped)
{
    TScrollBarState bar;
    bar.Apply(Info(SIF_RANGE | SIF_PAGE, 0, 10, 20, 0));
    EXPECT_EQ(bar.Page, 11u);  // never more than the range
    EXPECT_FALSE(bar.Visible);
    EXPECT_EQ(bar.Apply(Info(SIF_POS, 0, 0, 0, -5)), 0);
    EXPECT_FALSE(bar.Visible);

    bar.Apply(Info(SIF_RANGE | SIF_PAGE, 0, 32767, 100, 0));
    EXPECT_EQ(bar.Apply(Info(SIF_POS, 0, 0, 0, 40000)), 32668);
    // A reversed range collapses instead of making a negative span.
    bar.Apply(Info(SIF_RANGE, 10, 5, 0, 0));
    EXPECT_EQ(bar.Max, 10);
    EXPECT_FALSE(bar.CanScroll());
}

class TBarControl : public TRecordingControl {
public:
    using TRecordingControl::TRecordingControl;
    bool Edge = true;

protected:
    void CreateParams(TCreateParams& params) override
    {
        TRecordingControl::CreateParams(params);
        params.Style |= WS_VSCROLL | WS_HSCROLL;
        if (Edge)
            params.ExStyle |= WS_EX_CLIENTEDGE;
    }
};

class ScrollBarTest : public ::testing::Test {
protected:
    ScrollBarTest()
    {
        control->SetParent(form);
        control->SetBounds(0, 0, 200, 150);
        form->Show();
        handle = control->Handle();
        SCROLLINFO info = Info(SIF_RANGE | SIF_PAGE | SIF_POS, 1, 100, 10, 5);
        SetScrollInfo(handle, SB_VERT, &info, TRUE);
        control->Log.clear();
    }
    ~ScrollBarTest() override { delete form; }

    QScrollBar* VBar() const { return control->Window()->Bar(SB_VERT); }

    TForm* form = new TForm(nullptr);
    TBarControl* control = new TBarControl(form);
    HWND handle = nullptr;
};

TEST_F(ScrollBarTest, BarsAndBorderAreOutsideTheClientArea)
{
    const int bar = GetSystemMetrics(SM_CXVSCROLL);
    EXPECT_EQ(control->ClientWidth(), 200 - 4 - bar);
    EXPECT_EQ(control->ClientHeight(), 150 - 4 - GetSystemMetrics(SM_CYHSCROLL));

    // Hiding a bar gives its room to the client area, with WM_SIZE.
    SCROLLINFO fits = Info(SIF_RANGE | SIF_PAGE, 1, 10, 10, 0);
    SetScrollInfo(handle, SB_VERT, &fits, TRUE);
    EXPECT_EQ(control->ClientWidth(), 200 - 4);
    EXPECT_EQ(control->Log, (Log{"size " + std::to_string(196) + "x" + std::to_string(control->ClientHeight())}));

    ShowScrollBar(handle, SB_BOTH, FALSE);
    EXPECT_EQ(control->ClientRect(), Rect(0, 0, 196, 146));
    EXPECT_FALSE(VBar()->isVisible());
}

TEST_F(ScrollBarTest, UserActionsArriveAsCodesAndTheBarStaysWhereTheProgramPutIt)
{
    VBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    VBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
    VBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    VBar()->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(control->Log, (Log{"vscroll 1 0", "vscroll 2 0", "vscroll 7 0", "vscroll 6 0"}));
    EXPECT_EQ(VBar()->value(), 5);
    EXPECT_EQ(GetScrollPos(handle, SB_VERT), 5);

    // Dragging the thumb: track positions, then the final position and the end.
    control->Log.clear();
    VBar()->setSliderDown(true);
    VBar()->setSliderPosition(40);
    EXPECT_EQ(control->Log, (Log{"vscroll 5 40"}));
    SCROLLINFO track;
    track.fMask = SIF_TRACKPOS | SIF_POS;
    ASSERT_EQ(GetScrollInfo(handle, SB_VERT, &track), TRUE);
    EXPECT_EQ(track.nTrackPos, 40);
    EXPECT_EQ(track.nPos, 5);
    EXPECT_EQ(VBar()->sliderPosition(), 5);

    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), VBar()->mapToGlobal(QPointF(2, 2)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(VBar(), &release);
    EXPECT_EQ(control->Log, (Log{"vscroll 5 40", "vscroll 4 40", "vscroll 8 0"}));
}

TEST_F(ScrollBarTest, OnlyBothArrowsDisabledDisableTheBar)
{
    BOOL visible = FALSE;
    BOOL enabled = FALSE;
    EnableScrollBar(handle, SB_VERT, ESB_DISABLE_UP);
    EXPECT_TRUE(VBar()->isEnabled());
    ASSERT_EQ(GetScrollBarState(handle, SB_VERT, &visible, &enabled), TRUE);
    EXPECT_TRUE(visible);
    EXPECT_TRUE(enabled);
    EnableScrollBar(handle, SB_VERT, ESB_DISABLE_BOTH);
    EXPECT_FALSE(VBar()->isEnabled());
    GetScrollBarState(handle, SB_VERT, &visible, &enabled);
    EXPECT_TRUE(visible);
    EXPECT_FALSE(enabled);
    ShowScrollBar(handle, SB_VERT, FALSE);
    GetScrollBarState(handle, SB_VERT, &visible, nullptr);
    EXPECT_FALSE(visible);
    ShowScrollBar(handle, SB_VERT, TRUE);
    EnableScrollBar(handle, SB_VERT, ESB_ENABLE_BOTH);
    EXPECT_TRUE(VBar()->isEnabled());
}

TEST_F(ScrollBarTest, RecreatingTheWindowAppliesFreshParameters)
{
    ShowScrollBar(handle, SB_BOTH, FALSE);
    control->Log.clear();
    control->Edge = false;
    control->RecreateWnd();
    EXPECT_NE(control->Handle(), handle);
    EXPECT_EQ(FindControl(handle), nullptr);
    EXPECT_EQ(FindControl(control->Handle()), control);
    // No edge now, and the window's scroll bars are back as its style asks.
    const int width = 200 - GetSystemMetrics(SM_CXVSCROLL);
    const int height = 150 - GetSystemMetrics(SM_CYHSCROLL);
    EXPECT_EQ(control->ClientRect(), Rect(0, 0, width, height));
    EXPECT_EQ(control->Log, (Log{"size " + std::to_string(width) + "x" + std::to_string(height)}));
}

class TClosingControl : public TBarControl {
public:
    using TBarControl::TBarControl;
    TForm** Form = nullptr;

protected:
    void WMVScroll(TWMScroll&) override
    {
        TForm* dying = *Form;
        *Form = nullptr;
        delete dying;  // this control goes with its form
    }
};

TEST_F(ScrollBarTest, AControlFreedByItsOwnScrollHandlerIsLeftAlone)
{
    auto* closing = new TClosingControl(form);
    closing->Form = &form;
    closing->SetParent(form);
    closing->SetBounds(0, 0, 100, 100);
    SCROLLINFO info = Info(SIF_RANGE | SIF_PAGE, 0, 100, 10, 0);
    SetScrollInfo(closing->Handle(), SB_VERT, &info, TRUE);
    const QPointer<QScrollBar> bar = closing->Window()->Bar(SB_VERT);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(form, nullptr);
    // The bar finished its own work and goes with the next turn of the event loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(bar.isNull());
}

TEST_F(ScrollBarTest, CallsOnAHandleThatIsGoneDoNothing)
{
    delete form;
    form = nullptr;
    SCROLLINFO info = Info(SIF_POS, 0, 0, 0, 3);
    EXPECT_EQ(SetScrollInfo(handle, SB_VERT, &info, TRUE), 0);
    EXPECT_EQ(GetScrollInfo(handle, SB_VERT, &info), FALSE);
    EXPECT_EQ(ShowScrollBar(handle, SB_VERT, TRUE), FALSE);
    EXPECT_EQ(FindControl(handle), nullptr);
}

}  // namespace

// A window's own bars are made when one is first shown: a control without them makes
// none, and what was set while none was shown (range, page, position, enabling) is what
// the bar shows once it appears.
TEST(ScrollBarMaking, ABarIsMadeWhenFirstShownWithTheStateSetBefore)
{
    TForm form(nullptr);
    auto* control = new TRecordingControl(&form);
    control->SetParent(&form);
    control->SetBounds(0, 0, 200, 150);
    form.Show();
    QApplication::processEvents();
    const HWND handle = control->Handle();
    EXPECT_TRUE(control->Window()->Frame()->findChildren<QScrollBar*>().isEmpty());

    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 5;
    info.nMax = 99;
    info.nPage = 95;  // covers the range: the bar stays hidden
    info.nPos = 42;
    SetScrollInfo(handle, SB_VERT, &info, TRUE);
    EnableScrollBar(handle, SB_VERT, ESB_DISABLE_BOTH);
    EXPECT_TRUE(control->Window()->Frame()->findChildren<QScrollBar*>().isEmpty()) << "made while none is shown";

    ShowScrollBar(handle, SB_VERT, TRUE);
    const QList<QScrollBar*> bars = control->Window()->Frame()->findChildren<QScrollBar*>();
    ASSERT_EQ(bars.size(), 2);
    const QScrollBar* bar = bars[0]->orientation() == Qt::Vertical ? bars[0] : bars[1];
    EXPECT_TRUE(bar->isVisible());
    SCROLLINFO set{};
    set.cbSize = sizeof(set);
    set.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(handle, SB_VERT, &set));
    EXPECT_EQ(bar->minimum(), 5);
    EXPECT_EQ(bar->maximum(), 5);
    EXPECT_EQ(bar->pageStep(), 95);
    EXPECT_EQ(bar->value(), set.nPos);
    EXPECT_FALSE(bar->isEnabled());
    EXPECT_EQ(control->ClientWidth(), 200 - GetSystemMetrics(SM_CXVSCROLL));
}

// The mouse reaches a control in the classic order: double clicks, capture, the shift
// state of releases, WM_SETCURSOR before moves, the context menu after the release.
#include "window/RecordingControl.h"

#include "platform/window/Menus.h"

#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {

using Log = std::vector<std::string>;

class MouseTest : public ::testing::Test {
protected:
    void Clear() { ui.Control->Log.clear(); }
    const Log& Seen() const { return ui.Control->Log; }
    void Send(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons, QPoint pos,
              Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        SendMouse(ui.Client(), type, button, buttons, pos, mods);
    }

    TRecordingForm ui;
};

// The release that ends a double click is no click of its own.
TEST_F(MouseTest, DoubleClickArrivesAsDblClickThenMouseDownWithDouble)
{
    const QPoint at(5, 6);
    Send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, at);
    Send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, at);
    Send(QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, at);
    Send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, at);
    EXPECT_EQ(Seen(), (Log{"mousedown left left @5,6 [captured]", "capturechanged", "click", "mouseup left @5,6",
                           "dblclick [captured]", "mousedown left left double @5,6 [captured]", "capturechanged",
                           "mouseup left @5,6"}));
}

TEST_F(MouseTest, ReleasedButtonIsNotInTheShiftStateOfItsMouseUp)
{
    Send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {1, 1}, Qt::ShiftModifier);
    Send(QEvent::MouseButtonPress, Qt::RightButton, Qt::LeftButton | Qt::RightButton, {1, 1}, Qt::ShiftModifier);
    Send(QEvent::MouseButtonRelease, Qt::RightButton, Qt::LeftButton, {1, 1}, Qt::ShiftModifier);
    Send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {1, 1});
    EXPECT_EQ(Seen(), (Log{"mousedown left shift left @1,1 [captured]",
                           "mousedown right shift left right @1,1 [captured]", "mouseup right shift left @1,1 [captured]",
                           "capturechanged", "click", "mouseup left @1,1"}));
}

TEST_F(MouseTest, ReleaseOutsideGivesNoClickAndCaptureKeepsNegativePositions)
{
    Send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {3, 3});
    Clear();
    Send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {-20, 300});
    Send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {-20, 300});
    // No WM_SETCURSOR while captured; the release outside the client area is no click.
    EXPECT_EQ(Seen(), (Log{"mousemove left @-20,300", "capturechanged", "mouseup left @-20,300"}));
}

TEST_F(MouseTest, SetCursorPrecedesEveryMoveWithoutCapture)
{
    Send(QEvent::MouseMove, Qt::NoButton, Qt::NoButton, {10, 10});
    Send(QEvent::MouseMove, Qt::NoButton, Qt::NoButton, {11, 10});
    EXPECT_EQ(Seen(), (Log{"setcursor", "mousemove @10,10", "setcursor", "mousemove @11,10"}));

    // The control's cursor is what the default handling shows.
    ui.Control->SetCursor(crIBeam);
    Send(QEvent::MouseMove, Qt::NoButton, Qt::NoButton, {12, 10});
    EXPECT_EQ(ui.Client()->cursor().shape(), Qt::IBeamCursor);
    ui.Control->SetCursor(crHandPoint);
    Send(QEvent::MouseMove, Qt::NoButton, Qt::NoButton, {13, 10});
    EXPECT_EQ(ui.Client()->cursor().shape(), Qt::PointingHandCursor);

    // The screen's cursor overrides every control's until it is the default again.
    Screen->SetCursor(crHourGlass);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    Screen->SetCursor(crDefault);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(MouseTest, CaptureMovesWithChangedNotices)
{
    auto* other = new TRecordingControl(ui.Form);
    other->SetParent(ui.Form);
    other->Log.clear();
    ui.Control->SetMouseCapture(true);
    EXPECT_TRUE(ui.Control->MouseCapture());
    EXPECT_EQ(GetCaptureControl(), ui.Control);
    other->SetMouseCapture(true);
    EXPECT_FALSE(ui.Control->MouseCapture());
    EXPECT_EQ(Seen(), (Log{"capturechanged"}));
    other->SetMouseCapture(false);
    EXPECT_EQ(other->Log, (Log{"capturechanged"}));
    EXPECT_EQ(GetCaptureControl(), nullptr);

    // A control that dies with the capture leaves none behind.
    other->SetMouseCapture(true);
    delete other;
    EXPECT_EQ(GetCaptureControl(), nullptr);
}

struct TPopupWatch {
    TRecordingControl* Control;
    std::vector<std::string> Seen;
    void Popped(TObject*) { Seen.push_back("popup after " + Control->Log.back()); }
};

TEST_F(MouseTest, ContextMenuOpensAfterTheRightRelease)
{
    auto* menu = new TPopupMenu(ui.Form);
    auto* item = new TMenuItem(ui.Form);
    item->SetCaption("Copy");
    menu->Items()->Add(item);
    TPopupWatch watch{ui.Control, {}};
    menu->OnPopup = TNotifyEvent(&watch, &TPopupWatch::Popped);
    ui.Control->SetPopupMenu(menu);

    Send(QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, {4, 4});
    EXPECT_TRUE(watch.Seen.empty());
    Send(QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, {4, 4});
    EXPECT_EQ(watch.Seen, (std::vector<std::string>{"popup after mouseup right @4,4"}));
    EXPECT_EQ(menu->PopupComponent(), ui.Control);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("QMenu"))
            w->close();

    // A menu that goes away is forgotten by the control.
    delete menu;
    EXPECT_EQ(ui.Control->PopupMenu(), nullptr);
}

TEST_F(MouseTest, WheelArrivesWithItsDelta)
{
    const QPoint at(5, 5);
    QWheelEvent half(QPointF(at), ui.Client()->mapToGlobal(QPointF(at)), QPoint(), QPoint(0, -60), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(ui.Client(), &half);
    QWheelEvent notch(QPointF(at), ui.Client()->mapToGlobal(QPointF(at)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(ui.Client(), &notch);
    EXPECT_EQ(Seen(), (Log{"wheel -60", "wheel 120"}));
}

TEST_F(MouseTest, ClientAndScreenCoordinatesConvertBothWays)
{
    const TPoint screen = ui.Control->ClientToScreen(Point(3, 4));
    const QPoint expected = ui.Client()->mapToGlobal(QPoint(3, 4));
    EXPECT_EQ(screen, Point(expected.x(), expected.y()));
    EXPECT_EQ(ui.Control->ScreenToClient(screen), Point(3, 4));
    // The client area starts inside the control's bounds on the form.
    const TPoint formClient = ui.Form->ScreenToClient(screen);
    EXPECT_EQ(formClient, Point(ui.Control->Left() + 3, ui.Control->Top() + 4));
}

TEST(SystemMetricsTest, ComeFromTheDesktop)
{
    EXPECT_GT(GetSystemMetrics(SM_CXVSCROLL), 0);
    EXPECT_GT(GetSystemMetrics(SM_CXDRAG), 0);
    EXPECT_GT(GetDoubleClickTime(), 0u);
    UINT lines = 0;
    EXPECT_EQ(SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0), TRUE);
    EXPECT_EQ(lines, static_cast<UINT>(QApplication::wheelScrollLines()));
    EXPECT_EQ(SystemParametersInfo(0x1234, 0, &lines, 0), FALSE);
}

TEST(CursorPosTest, TheMouseGoesWhereItIsPut)
{
    ASSERT_TRUE(SetCursorPos(123, 45));
    TPoint at;
    ASSERT_TRUE(GetCursorPos(&at));
    EXPECT_EQ(at.X, 123);
    EXPECT_EQ(at.Y, 45);
}

}  // namespace

// Pop-up windows: a grabbing pop-up takes every key while it is open and gives the
// keyboard back when it hides; a press outside closes it; a sizing frame resizes it.
#include "window/RecordingControl.h"

#include "platform/window/PopupWindow.h"

#include <QWindow>

#include <gtest/gtest.h>

namespace {

class TRecordingPopup : public TCustomPopupWindow {
public:
    explicit TRecordingPopup(TComponent* owner) : TCustomPopupWindow(owner) {}

    std::vector<std::string> Log;
    DWORD ExtraStyle = 0;

protected:
    void CreateParams(TCreateParams& params) override
    {
        TCustomPopupWindow::CreateParams(params);
        params.Style |= ExtraStyle;
    }
    void KeyDown(Word& key, TShiftState shift) override
    {
        Log.push_back("down " + std::to_string(key));
        TCustomPopupWindow::KeyDown(key, shift);
    }
    void KeyPress(char& key) override { Log.push_back("char " + std::to_string(static_cast<unsigned char>(key))); }
    void WMGetDlgCode(TWMGetDlgCode& message) override { message.Result() = DLGC_WANTALLKEYS; }
    void Dismissed() override
    {
        Log.push_back("dismissed");
        TCustomPopupWindow::Dismissed();
    }
};

// A key as the window system delivers it: to the window, which hands it on to the
// focused widget or to the open pop-up.
void SendKeyToWindow(QWidget* widget, int key, const QString& text, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QWindow* window = widget->window()->windowHandle();
    ASSERT_NE(window, nullptr);
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(window, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(window, &release);
}

void PressOnWindow(QWidget* widget, QPoint pos)
{
    QWindow* window = widget->window()->windowHandle();
    ASSERT_NE(window, nullptr);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(pos), widget->window()->mapToGlobal(QPointF(pos)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(pos), widget->window()->mapToGlobal(QPointF(pos)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(window, &release);
}

class PopupWindowTest : public ::testing::Test {
protected:
    PopupWindowTest()
    {
        popup->SetBounds(150, 150, 120, 90);
        ui.Control->SetFocus();
        QApplication::processEvents();
        ui.Control->Log.clear();
    }
    ~PopupWindowTest() override { delete popup; }

public:
    void NoteDismiss(TObject*) { dismissals.push_back("OnDismiss"); }
    void OpenOnSpace(TObject*, Word& key, TShiftState)
    {
        if (key == VK_SPACE) {
            popup->Popup(paGrab);
            key = 0;
        }
    }

protected:
    TRecordingForm ui;
    TRecordingPopup* popup = new TRecordingPopup(nullptr);
    std::vector<std::string> dismissals;
};

TEST_F(PopupWindowTest, GrabbingPopupTakesEveryKeyAndGivesTheFocusBack)
{
    popup->Popup(paGrab);
    QApplication::processEvents();
    ASSERT_TRUE(popup->Visible());
    EXPECT_TRUE(popup->Focused());
    SendKeyToWindow(ui.Client(), Qt::Key_Down, {});
    SendKeyToWindow(ui.Client(), Qt::Key_A, "a");
    SendKeyToWindow(ui.Client(), Qt::Key_Tab, "\t");
    EXPECT_EQ(popup->Log, (std::vector<std::string>{"down 40", "down 65", "char 97", "down 9", "char 9"}));
    EXPECT_TRUE(ui.Control->Log.empty());

    popup->Hide();
    QApplication::processEvents();
    EXPECT_TRUE(ui.Control->Focused());
    SendKeyToWindow(ui.Client(), Qt::Key_B, "b");
    EXPECT_EQ(ui.Control->Log, (std::vector<std::string>{"down 66", "char 98", "up 66"}));
    EXPECT_EQ(popup->Log.size(), 5u) << "a hidden pop-up gets nothing";
}

// The key that opens a pop-up still types its character into the control that had it
// (which may swallow it); only the next key goes to the pop-up, so nothing is lost or
// typed twice.
TEST_F(PopupWindowTest, TheCharacterOfTheOpeningKeyStaysWithTheControl)
{
    ui.Control->OnKeyDown = TKeyEvent(this, &PopupWindowTest::OpenOnSpace);
    SendKeyToWindow(ui.Client(), Qt::Key_Space, " ", Qt::ControlModifier);
    EXPECT_EQ(ui.Control->Log, (std::vector<std::string>{"down 32 ctrl", "char 32"}));
    EXPECT_TRUE(popup->Log.empty());
    SendKeyToWindow(ui.Client(), Qt::Key_X, "x");
    EXPECT_EQ(popup->Log, (std::vector<std::string>{"down 88", "char 120"}));
}

TEST_F(PopupWindowTest, PressOutsideClosesItAndTellsIt)
{
    popup->OnDismiss = TNotifyEvent(this, &PopupWindowTest::NoteDismiss);
    popup->Popup(paGrab);
    QApplication::processEvents();
    PressOnWindow(popup->Window()->Client(), QPoint(10, 10));
    EXPECT_TRUE(popup->Visible()) << "a press inside keeps it open";
    EXPECT_TRUE(dismissals.empty());

    PressOnWindow(popup->Window()->Client(), QPoint(-60, -60));
    QApplication::processEvents();
    EXPECT_FALSE(popup->Visible());
    EXPECT_FALSE(popup->Window()->Frame()->isVisible());
    EXPECT_EQ(popup->Log, (std::vector<std::string>{"dismissed"}));
    EXPECT_EQ(dismissals, (std::vector<std::string>{"OnDismiss"}));
    EXPECT_TRUE(ui.Control->Focused());

    // Hiding it from the program is no dismissal.
    popup->Popup(paGrab);
    popup->Hide();
    EXPECT_EQ(dismissals.size(), 1u);
}

TEST_F(PopupWindowTest, NonActivatingPopupLeavesTheFocus)
{
    popup->Popup(paNoActivate);
    EXPECT_TRUE(popup->Visible());
    EXPECT_TRUE(ui.Control->Focused());
    SendKeyToWindow(ui.Client(), Qt::Key_A, "a");
    EXPECT_EQ(ui.Control->Log, (std::vector<std::string>{"down 65", "char 97", "up 65"}));
    EXPECT_TRUE(popup->Log.empty());
    EXPECT_EQ(popup->Activation(), paNoActivate);
    // Reopened grabbing, it takes the keys.
    popup->Popup(paGrab);
    SendKeyToWindow(ui.Client(), Qt::Key_A, "a");
    EXPECT_EQ(popup->Log, (std::vector<std::string>{"down 65", "char 97"}));
}

TEST_F(PopupWindowTest, FramesAndResizingBySizingFrame)
{
    popup->ExtraStyle = WS_THICKFRAME;
    popup->Popup(paGrab);
    const int frame = GetSystemMetrics(SM_CXSIZEFRAME);
    EXPECT_EQ(popup->ClientWidth(), 120 - 2 * frame);
    EXPECT_EQ(popup->ClientHeight(), 90 - 2 * frame);

    QWidget* w = popup->Window()->Frame();
    const QPoint bottom(60, 90 - 1);
    SendMouse(w, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, bottom);
    SendMouse(w, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, bottom + QPoint(0, 30));
    SendMouse(w, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, bottom + QPoint(0, 30));
    EXPECT_EQ(popup->Height(), 120);
    EXPECT_EQ(popup->Width(), 120);
    EXPECT_EQ(popup->Top(), 150);
    EXPECT_TRUE(popup->Visible()) << "a press on the frame is inside";

    // Dragged up past its frame, the window keeps room for the frame itself.
    const QPoint top(60, 0);
    SendMouse(w, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, top);
    SendMouse(w, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, top + QPoint(0, 500));
    SendMouse(w, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, top + QPoint(0, 500));
    EXPECT_EQ(popup->Height(), 2 * frame);
    EXPECT_EQ(popup->Top() + popup->Height(), 270);

    popup->Hide();
    popup->ExtraStyle = WS_DLGFRAME;
    popup->RecreateWnd();
    popup->Popup(paGrab);
    EXPECT_EQ(popup->ClientWidth(), 120 - 2 * GetSystemMetrics(SM_CXDLGFRAME));
}

}  // namespace

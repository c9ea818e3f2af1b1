// TCustomPopupWindow over a Qt pop-up (keyboard and mouse grab, closed by a press outside)
// or a tool-tip window (never activated).
#include "platform/window/PopupWindow.h"

#include "platform/window/ControlsQt.h"

TCustomPopupWindow::TCustomPopupWindow(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetVisible(false);
}

TCustomPopupWindow::~TCustomPopupWindow()
{
    BeforeDestruction();
}

void TCustomPopupWindow::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.Style &= ~WS_CHILD;
}

void TCustomPopupWindow::Popup(TPopupActivation How)
{
    HandleNeeded();
    QWidget* frame = Window()->Frame();
    QWidget* client = Window()->Client();
    const Qt::WindowFlags flags = How == paGrab ? Qt::Popup | Qt::FramelessWindowHint
                                                : Qt::ToolTip | Qt::FramelessWindowHint |
                                                      Qt::WindowDoesNotAcceptFocus | Qt::WindowStaysOnTopHint;
    if (Visible() && (How != activation_ || frame->windowFlags() != flags))
        SetVisible(false);
    activation_ = How;
    if (frame->windowFlags() != flags) {
        frame->setWindowFlags(flags);
        frame->setGeometry(Left(), Top(), Width(), Height());
    }
    frame->setAttribute(Qt::WA_ShowWithoutActivating, How == paNoActivate);
    client->setFocusPolicy(How == paGrab ? Qt::StrongFocus : Qt::NoFocus);
    if (How == paGrab && !Visible()) {
        TWinControl* focused = FindFocusedControl();
        focusBefore_ = focused != nullptr && focused != this && focused->HandleAllocated() ? focused->Handle() : nullptr;
    }
    SetVisible(true);
    frame->raise();
    if (How == paGrab)
        client->setFocus(Qt::PopupFocusReason);
}

void TCustomPopupWindow::SetVisible(bool Value)
{
    const bool closing = !Value && Visible() && HandleAllocated() && activation_ == paGrab;
    TCustomControl::SetVisible(Value);
    if (!closing)
        return;
    TWinControl* previous = FindControl(focusBefore_);
    focusBefore_ = nullptr;
    TWinControl* now = FindFocusedControl();
    if (previous != nullptr && (now == nullptr || now == this) && !previous->Focused() && previous->CanFocus())
        previous->SetFocus();
}

void TCustomPopupWindow::WindowCloseRequested()
{
    if (!Visible())
        return;
    SetVisible(false);
    Dismissed();
}

void TCustomPopupWindow::Dismissed()
{
    if (OnDismiss)
        OnDismiss(this);
}

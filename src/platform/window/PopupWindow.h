// TCustomPopupWindow: a window of its own, without caption, that opens over the others at
// a screen position (drop-down lists, hints). It opens in one of two ways:
// - paGrab: it takes the keyboard and the mouse while it is open. Every key goes to it;
//   the window that had the focus keeps looking active and gets the keyboard back when the
//   pop-up hides. A press outside the pop-up closes it: it hides, then Dismissed runs.
// - paNoActivate: it shows on top without taking the focus or the mouse.
// Its frame comes from CreateParams (WS_THICKFRAME for a frame the user resizes it by,
// WS_DLGFRAME, WS_BORDER or none); Left and Top are screen coordinates.
#pragma once

#include "platform/window/Controls.h"

enum TPopupActivation { paGrab, paNoActivate };

class TCustomPopupWindow : public TCustomControl {
public:
    explicit TCustomPopupWindow(TComponent* AOwner);
    ~TCustomPopupWindow() override;

    // Shows the window at its bounds the given way (a visible one is shown again that way).
    void Popup(TPopupActivation How);
    // How it was last opened.
    TPopupActivation Activation() const { return activation_; }
    // Hiding a grabbing pop-up gives the focus back to the control that had it when the
    // pop-up opened, unless the focus went elsewhere in between.
    void SetVisible(bool Value) override;

    // Runs when a press outside closed the window (it is hidden already); the base calls
    // OnDismiss.
    TNotifyEvent OnDismiss;

    // The window system closed the pop-up: it hides and Dismissed runs.
    void WindowCloseRequested() override;

protected:
    void CreateParams(TCreateParams& Params) override;
    virtual void Dismissed();

private:
    TPopupActivation activation_ = paGrab;
    HWND focusBefore_ = nullptr;  // by handle: a control that went finds nothing
};

// Controls: TControl, TWinControl and TCustomControl, window controls that receive
// window messages and input in the classic order.
//
// Every message goes through the virtual WndProc, which dispatches it to a virtual
// handler per message (WMSize, WMKeyDown, WMLButtonDown, ...); a handler a descendant
// does not override falls back to DefaultHandler, the window system's default
// processing. A descendant overrides a handler and calls the base handler where the
// class library's handling should run ("inherited"). Perform sends a message directly.
//
// Input arrives in the classic order: key down (after menu shortcuts and the form's
// key preview), then the character of the key, then key up; mouse presses, a double
// click as DblClick then MouseDown with ssDouble; the context menu on right release.
//
// A window control has a window (HandleAllocated) from HandleNeeded on: when it is
// shown, placed on a parent that has one, or asked for its Handle. CreateParams,
// CreateWnd and DestroyWnd are the hooks around it; RecreateWnd applies changed
// parameters (border, scroll bars).
#pragma once

#include "platform/graphics/Colors.h"
#include "platform/graphics/Graphics.h"
#include "platform/runtime/Classes.h"
#include "platform/runtime/Types.h"
#include "platform/window/DragDrop.h"
#include "platform/window/Keys.h"
#include "platform/window/Messages.h"
#include "platform/window/WinApi.h"

#include <memory>
#include <string>
#include <vector>

class TWinControl;
class TPopupMenu;
class TControlWindow;  // the Qt side, in platform/window/ControlsQt.h
class TDragManager;    // the drag in progress, in DragDrop.cpp

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TScrollBarKind { sbHorizontal, sbVertical };
// Borders of controls (bsNone, bsSingle) and of forms (all of them).
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;
// The state of a top-level window (a form's WindowState).
enum TWindowState { wsNormal, wsMinimized, wsMaximized };

// Control style flags.
using TControlStyle = unsigned;
inline constexpr TControlStyle csCaptureMouse = 0x01;  // a press captures the mouse until release
inline constexpr TControlStyle csClickEvents = 0x02;   // press and release inside give Click
inline constexpr TControlStyle csDoubleClicks = 0x04;  // double clicks give DblClick
inline constexpr TControlStyle csOpaque = 0x08;        // paints its whole client area
inline constexpr TControlStyle csSetCaption = 0x10;    // the name becomes the caption at design

using TMouseEvent = TEvent<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = TEvent<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = TEvent<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = TEvent<void(TObject* Sender, char& Key)>;

// What a window is made with; CreateParams fills it, CreateWnd applies it. Styles
// understood: WS_HSCROLL, WS_VSCROLL (the scroll bars start shown), WS_BORDER (a
// one-pixel frame), WS_EX_CLIENTEDGE (a sunken two-pixel edge), WS_DLGFRAME (a raised
// frame, SM_CXDLGFRAME wide), WS_THICKFRAME (a raised sizing frame, SM_CXSIZEFRAME wide,
// whose edges and corners resize a window without parent when dragged).
struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    HWND WndParent = nullptr;
    struct {
        UINT style = CS_HREDRAW | CS_VREDRAW;
    } WindowClass;
};

// The largest size a control takes, whoever sizes it (its own code, its parent's
// alignment, a splitter); 0 sets no limit.
struct TSizeConstraints {
    int MaxWidth = 0;
    int MaxHeight = 0;
};

// ---- TControl ----------------------------------------------------------------------------

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* AParent);

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool Value);

    // Position in the parent's client area (for a window without parent, on the screen).
    int Left() const { return bounds_.Left; }
    int Top() const { return bounds_.Top; }
    int Width() const { return bounds_.Width(); }
    int Height() const { return bounds_.Height(); }
    void SetLeft(int Value) { SetBounds(Value, Top(), Width(), Height()); }
    void SetTop(int Value) { SetBounds(Left(), Value, Width(), Height()); }
    void SetWidth(int Value) { SetBounds(Left(), Top(), Value, Height()); }
    void SetHeight(int Value) { SetBounds(Left(), Top(), Width(), Value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return bounds_; }
    void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
    const TSizeConstraints& Constraints() const { return constraints_; }
    // Shrinks the control at once when it is larger.
    void SetConstraints(const TSizeConstraints& Value);

    // The area inside the border and the scroll bars, from (0, 0).
    TRect ClientRect() const;
    int ClientWidth() const { return ClientRect().Right; }
    int ClientHeight() const { return ClientRect().Bottom; }
    TPoint ClientToScreen(const TPoint& P) const;
    TPoint ScreenToClient(const TPoint& P) const;

    TAlign Align() const { return align_; }
    void SetAlign(TAlign Value);

    TColor Color() const { return color_; }
    void SetColor(TColor Value);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool Value);
    TFont* Font() const { return font_.get(); }
    void SetFont(TFont* Value) { font_->Assign(Value); }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool Value);
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor Value);
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* Value);
    const std::string& Hint() const { return hint_; }  // UTF-8
    void SetHint(const std::string& Value);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool Value);
    TControlStyle ControlStyle() const { return controlStyle_; }
    void SetControlStyle(TControlStyle Value) { controlStyle_ = Value; }

    // Sends a message to this control now and returns its result.
    LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);
    virtual void WndProc(TMessage& Message);
    // Calls the handler of Message.Msg, or DefaultHandler when there is none.
    virtual void Dispatch(TMessage& Message);
    // The window system's default processing of a message.
    virtual void DefaultHandler(TMessage& Message);

    // Marks the whole client area for painting (without erasing: the control paints
    // every pixel of what it is asked to paint).
    void Invalidate();
    // Paints what is pending now.
    void Update();
    // Invalidate, then Update.
    void Repaint();

    // The capture: while set, mouse messages keep coming to this control wherever the
    // mouse is. Losing or releasing it sends WM_CAPTURECHANGED.
    bool MouseCapture() const;
    void SetMouseCapture(bool Value);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnResize;

    // In-process drag and drop (the rules are in DragDrop.h).
    // Starts dragging this control from the mouse's position: at once when Immediate,
    // otherwise once the mouse has moved Threshold pixels in either direction (a negative
    // Threshold means the system's drag distance). Ends a drag already in progress first.
    void BeginDrag(bool Immediate, int Threshold = -1);
    // True from BeginDrag until the drag ends, while this control is dragged.
    bool Dragging() const;
    // Ends the drag of this control: with Drop, dropped where the mouse is when the target
    // there accepts; otherwise cancelled.
    void EndDrag(bool Drop);
    // dmAutomatic: a left press on the control begins a drag (after the system's drag
    // distance) instead of reaching the control.
    TDragMode DragMode() const { return dragMode_; }
    void SetDragMode(TDragMode Value) { dragMode_ = Value; }
    // The cursor shown while this control accepts what is dragged over it.
    TCursor DragCursor() const { return dragCursor_; }
    void SetDragCursor(TCursor Value) { dragCursor_ = Value; }
    // The target's part: Accept starts as whether OnDragOver is assigned; the base calls
    // OnDragOver. A descendant may call it, then decide.
    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    // The drop on this target; the base calls OnDragDrop.
    virtual void DragDrop(TObject* Source, int X, int Y);

    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TNotifyEvent OnStartDrag;
    TEndDragEvent OnEndDrag;

    // The Qt side (platform use only).
    TControlWindow* Window() const { return window_.get(); }

protected:
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void Resize();
    // The parent's font or colour changed, or this control took them over.
    virtual void ParentFontChanged();
    virtual void ParentColorChanged();
    // The source's part of a drag: it started (the base calls OnStartDrag), it ended
    // without a drop (the base does nothing), and it ended (the base calls OnEndDrag):
    // Target is the control that took the drop, with X, Y in its client area, or nullptr,
    // with X, Y in the source's.
    virtual void DoStartDrag();
    virtual void DragCanceled();
    virtual void DoEndDrag(TObject* Target, int X, int Y);

    virtual void WMMouseMove(TWMMouse& Message);
    virtual void WMLButtonDown(TWMMouse& Message);
    virtual void WMLButtonUp(TWMMouse& Message);
    virtual void WMLButtonDblClk(TWMMouse& Message);
    virtual void WMRButtonDown(TWMMouse& Message);
    virtual void WMRButtonUp(TWMMouse& Message);
    virtual void WMRButtonDblClk(TWMMouse& Message);
    virtual void WMMButtonDown(TWMMouse& Message);
    virtual void WMMButtonUp(TWMMouse& Message);
    virtual void WMMButtonDblClk(TWMMouse& Message);
    virtual void WMContextMenu(TWMContextMenu& Message);
    virtual void WMCancelMode(TWMCancelMode& Message);
    virtual void WMCaptureChanged(TWMCaptureChanged& Message);

    void Notification(TComponent* AComponent, TOperation Operation) override;

    // Shows or hides the window as Visible and the window's existence say.
    void UpdateWindowState();
    void FontChanged(TObject* Sender);

private:
    friend class TDragManager;
    void DoMouseDown(TWMMouse& Message, TMouseButton Button, TShiftState Extra);
    void DoMouseUp(TWMMouse& Message, TMouseButton Button);

    std::unique_ptr<TControlWindow> window_;
    TWinControl* parent_ = nullptr;
    TRect bounds_;
    TSizeConstraints constraints_;
    bool visible_ = true;
    bool enabled_ = true;
    bool clicked_ = false;
    TAlign align_ = alNone;
    TColor color_ = clBtnFace;
    bool parentColor_ = true;
    std::unique_ptr<TFont> font_;
    bool parentFont_ = true;
    bool adoptingFont_ = false;
    TCursor cursor_ = crDefault;
    TPopupMenu* popupMenu_ = nullptr;
    std::string hint_;
    bool showHint_ = false;
    TControlStyle controlStyle_ = csCaptureMouse | csClickEvents | csDoubleClicks;
    TDragMode dragMode_ = dmManual;
    TCursor dragCursor_ = crDrag;
};

// ---- TWinControl ---------------------------------------------------------------------

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    // Child controls in the order they were placed.
    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int Index) const;

    HWND Handle();  // creates the window when needed
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded();
    // Destroys and re-creates the window with fresh CreateParams (when it exists).
    void RecreateWnd();

    virtual void SetFocus();
    bool Focused() const;
    // Visible and enabled, with every parent up to the form.
    bool CanFocus() const;
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool Value);

    // Moves the pixels of the client area (or of Rect) by (DX, DY) and marks the
    // uncovered part for painting. ClipRect limits what changes.
    void ScrollWindow(int DX, int DY, const TRect* Rect, const TRect* ClipRect);
    // Marks Rect (the whole client area when null) for painting; Erase is ignored.
    void InvalidateRect(const TRect* Rect, bool Erase);
    // Draws the control as it looks now, frame and children included, on Canvas with its
    // top-left corner at (X, Y).
    void PaintTo(TCanvas* Canvas, int X, int Y);

    // Lays the aligned children out in the client area.
    void Realign();

    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;

    // Platform use: what the form does for the controls on it. A control asks itself;
    // a window control passes the request to its parent, so the nearest form (the control
    // itself when it is one) answers; with no form, nothing happens. The form overrides
    // them and ignores requests about its own keys and focus.
    // The form's main menu clicks the item with ShortCut: true when it took the key.
    virtual bool MenuShortCut(TShortCut ShortCut);
    // Key preview: the form handles Control's Msg (WM_KEYDOWN, WM_KEYUP or WM_CHAR)
    // first; true when that used the key up.
    virtual bool PreviewKey(TWinControl* Control, UINT Msg, TWMKey& Message);
    // Control has, or is getting, the focus: the form remembers it as its active control.
    virtual void NoteActiveControl(TWinControl* Control);
    // Control takes the focus: the form remembers it and comes to the front.
    virtual void ActivateForControl(TWinControl* Control);
    // Enter or Escape that the focused control did not want: the form's default or cancel
    // button takes it. True when a button took it.
    virtual bool OfferDialogKey(Word Key);
    // Platform use: a dialog button clicks on Key and returns true (Enter when Focused;
    // otherwise Enter as the default button, Escape as the cancel button).
    virtual bool TakeDialogKey(Word /*Key*/, bool /*Focused*/) { return false; }

    // Platform use, for a top-level window: the close button of its frame was pressed,
    // or the window system minimized, maximized or restored it. Ignored unless a form.
    virtual void WindowCloseRequested() {}
    virtual void WindowStateChanged(TWindowState /*State*/) {}

protected:
    virtual void CreateParams(TCreateParams& Params);
    virtual void CreateWnd();
    virtual void DestroyWnd();

    virtual void KeyDown(Word& Key, TShiftState Shift);
    virtual void KeyUp(Word& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    // A child control was placed on this control (Inserted) or taken off it. Containers
    // that arrange their children themselves (tool bars, page controls) override it.
    virtual void ControlListChanged(TControl* /*Control*/, bool /*Inserted*/) {}

    void Dispatch(TMessage& Message) override;

    virtual void WMSize(TWMSize& Message);
    virtual void WMSetFocus(TWMSetFocus& Message);
    virtual void WMKillFocus(TWMKillFocus& Message);
    virtual void WMEraseBkgnd(TWMEraseBkgnd& Message);
    virtual void WMGetDlgCode(TWMGetDlgCode& Message);
    virtual void WMKeyDown(TWMKey& Message);
    virtual void WMKeyUp(TWMKey& Message);
    virtual void WMChar(TWMChar& Message);
    virtual void WMSysKeyDown(TWMKey& Message);
    virtual void WMSysKeyUp(TWMKey& Message);
    virtual void WMSysChar(TWMChar& Message);
    virtual void WMHScroll(TWMScroll& Message);
    virtual void WMVScroll(TWMScroll& Message);
    virtual void WMMouseWheel(TWMMouseWheel& Message);
    virtual void WMSetCursor(TWMSetCursor& Message);
    virtual void WMImeComposition(TWMImeComposition& Message);
    virtual void WMImeNotify(TWMImeNotify& Message);
    virtual void WMDropFiles(TWMDropFiles& Message);
    virtual void WMCut(TWMCut& Message);
    virtual void WMCopy(TWMCopy& Message);
    virtual void WMPaste(TWMPaste& Message);
    virtual void WMPaint(TWMPaint& Message);
    virtual void WMClose(TWMClose& Message);

    // The control's own handling of a key message (Msg as for PreviewKey), without the
    // form's preview: KeyDown, KeyUp or KeyPress. True when the key was used up.
    bool HandleKey(UINT Msg, TWMKey& Message);
    // The first visible, enabled control in the tree below this one that takes the dialog
    // key (TakeDialogKey, not focused): true when one did.
    bool ChildTakesDialogKey(Word Key);

private:
    friend class TControl;
    bool DoKeyDown(TWMKey& Message);
    bool DoKeyPress(TWMKey& Message);
    bool DoKeyUp(TWMKey& Message);
    void DestroyHandle();
    void InsertControl(TControl* Control);
    void RemoveControl(TControl* Control);

    std::vector<TControl*> controls_;
    HWND handle_ = nullptr;
    bool tabStop_ = false;
    bool realigning_ = false;
};

// The window control with this handle, or nullptr when none lives with it.
TWinControl* FindControl(HWND Handle);
// The window control that has the keyboard focus, or nullptr.
TWinControl* FindFocusedControl();

// ---- TCustomControl --------------------------------------------------------------------

// A window control that paints itself: Paint draws on Canvas, whose ClipRect is the
// bounding box of the area being painted.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;

    TCanvas* Canvas() const { return canvas_.get(); }

protected:
    virtual void Paint();
    void WMPaint(TWMPaint& Message) override;

private:
    std::unique_ptr<TCanvas> canvas_;
};

// ---- Mouse position and cursor ---------------------------------------------------------

// The mouse position in screen coordinates.
BOOL GetCursorPos(TPoint* Point);
// Moves the mouse to a point in screen coordinates.
BOOL SetCursorPos(int X, int Y);
// Shows Cursor for the mouse now (until the next WM_SETCURSOR picks another); used in
// WM_SETCURSOR handlers.
void SetCursor(TCursor Cursor);
// The control that has the mouse captured, or nullptr.
TControl* GetCaptureControl();

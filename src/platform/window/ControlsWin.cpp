// TWinControl: the window (handle) and its parameters, child controls and their
// alignment, focus, and the dispatch of the window messages.
#include "platform/window/Controls.h"

#include "platform/window/ControlsQt.h"

#include <QApplication>
#include <QScrollBar>

#include <algorithm>
#include <unordered_map>

namespace {

// Live windows by handle. Handles are never reused, so a stale one finds nothing.
struct THandleRegistry {
    std::unordered_map<HWND, TWinControl*> Controls;
    std::uintptr_t Next = 1;
};

THandleRegistry& Registry()
{
    static THandleRegistry registry;
    return registry;
}

}  // namespace

TWinControl* FindControl(HWND Handle)
{
    const auto& controls = Registry().Controls;
    const auto it = controls.find(Handle);
    return it == controls.end() ? nullptr : it->second;
}

TWinControl* FindFocusedControl()
{
    return dynamic_cast<TWinControl*>(ControlOfWidget(QApplication::focusWidget()));
}

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner)
{
    SetTabStop(false);
}

TWinControl::~TWinControl()
{
    BeforeDestruction();
    Window()->Detach();
    while (!controls_.empty())
        controls_.back()->SetParent(nullptr);
    DestroyHandle();
}

TControl* TWinControl::Controls(int Index) const
{
    if (Index < 0 || Index >= ControlCount())
        throw EListError("Control index out of bounds (" + std::to_string(Index) + ")");
    return controls_[static_cast<std::size_t>(Index)];
}

void TWinControl::InsertControl(TControl* Control)
{
    controls_.push_back(Control);
    if (Control->Align() != alNone)
        Realign();
    ControlListChanged(Control, true);
}

void TWinControl::RemoveControl(TControl* Control)
{
    controls_.erase(std::remove(controls_.begin(), controls_.end(), Control), controls_.end());
    if (Control->Align() != alNone)
        Realign();
    ControlListChanged(Control, false);
}

// ---- The window ----------------------------------------------------------------------------

HWND TWinControl::Handle()
{
    HandleNeeded();
    return handle_;
}

void TWinControl::HandleNeeded()
{
    if (handle_ != nullptr)
        return;
    if (Parent() != nullptr)
        Parent()->HandleNeeded();
    if (handle_ == nullptr)  // the parent's creation creates its children's windows
        CreateWnd();
}

void TWinControl::CreateParams(TCreateParams& Params)
{
    Params = TCreateParams{};
    Params.Style = WS_CHILD | WS_CLIPCHILDREN;
    if (Visible())
        Params.Style |= WS_VISIBLE;
    if (TabStop())
        Params.Style |= WS_TABSTOP;
    Params.X = Left();
    Params.Y = Top();
    Params.Width = Width();
    Params.Height = Height();
    if (Parent() != nullptr)
        Params.WndParent = Parent()->handle_;
}

void TWinControl::CreateWnd()
{
    TCreateParams params;
    CreateParams(params);
    TControlWindow* window = Window();
    window->SetBorder((params.ExStyle & WS_EX_CLIENTEDGE) != 0   ? 2
                      : (params.Style & WS_THICKFRAME) != 0      ? GetSystemMetrics(SM_CXSIZEFRAME)
                      : (params.Style & WS_DLGFRAME) != 0        ? GetSystemMetrics(SM_CXDLGFRAME)
                      : (params.Style & WS_BORDER) != 0          ? 1
                                                                 : 0);
    window->SetSizingFrame((params.Style & WS_THICKFRAME) != 0);
    for (int bar : {SB_HORZ, SB_VERT}) {
        TScrollBarState& state = window->BarState(bar);
        state = TScrollBarState{};
        state.Visible = (params.Style & (bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)) != 0;
        window->ShowBarState(bar);
    }
    auto& registry = Registry();
    handle_ = reinterpret_cast<HWND>(registry.Next++);
    registry.Controls[handle_] = this;
    window->ResetSizeNotice();
    window->Layout();
    for (TControl* child : controls_)
        if (auto* win = dynamic_cast<TWinControl*>(child))
            win->HandleNeeded();
    UpdateWindowState();
}

void TWinControl::DestroyWnd()
{
    if (handle_ == nullptr)
        return;
    WindowDestroyed(this);
    if (GetCaptureControl() == this)
        SetMouseCapture(false);
    Registry().Controls.erase(handle_);
    handle_ = nullptr;
    UpdateWindowState();
}

void TWinControl::DestroyHandle()
{
    for (TControl* child : controls_)
        if (auto* win = dynamic_cast<TWinControl*>(child))
            win->DestroyHandle();
    if (handle_ != nullptr)
        DestroyWnd();
}

void TWinControl::RecreateWnd()
{
    if (handle_ == nullptr)
        return;
    const bool hadFocus = Focused();
    DestroyHandle();
    HandleNeeded();
    if (hadFocus)
        Window()->Client()->setFocus(Qt::OtherFocusReason);
}

// ---- Focus ----------------------------------------------------------------------------------

void TWinControl::SetFocus()
{
    if (!CanFocus())
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    HandleNeeded();
    ActivateForControl(this);
    Window()->Client()->setFocus(Qt::OtherFocusReason);
}

bool TWinControl::Focused() const
{
    return Window()->Client()->hasFocus();
}

bool TWinControl::CanFocus() const
{
    for (const TControl* c = this; c != nullptr; c = c->Parent())
        if (!c->Visible() || !c->Enabled())
            return false;
    return true;
}

void TWinControl::SetTabStop(bool Value)
{
    tabStop_ = Value;
    if (Window()->Hosted() != nullptr)
        Window()->ApplyHostedTabStop(Value);
    else
        Window()->Client()->setFocusPolicy(Value ? Qt::TabFocus : Qt::NoFocus);
}

// ---- Alignment ------------------------------------------------------------------------------

void TWinControl::Realign()
{
    if (realigning_)
        return;
    realigning_ = true;
    TRect r = ClientRect();
    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* c : controls_) {
            if (c->Align() != align || !c->Visible())
                continue;
            switch (align) {
            case alTop:
                c->SetBounds(r.Left, r.Top, r.Width(), c->Height());
                r.Top += c->Height();
                break;
            case alBottom:
                c->SetBounds(r.Left, r.Bottom - c->Height(), r.Width(), c->Height());
                r.Bottom -= c->Height();
                break;
            case alLeft:
                c->SetBounds(r.Left, r.Top, c->Width(), r.Height());
                r.Left += c->Width();
                break;
            case alRight:
                c->SetBounds(r.Right - c->Width(), r.Top, c->Width(), r.Height());
                r.Right -= c->Width();
                break;
            default:
                c->SetBounds(r.Left, r.Top, r.Width(), r.Height());
                break;
            }
        }
    }
    realigning_ = false;
}

// ---- Messages -------------------------------------------------------------------------------

void TWinControl::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SIZE: { TWMSize m(Message); WMSize(m); break; }
    case WM_SETFOCUS: { TWMSetFocus m(Message); WMSetFocus(m); break; }
    case WM_KILLFOCUS: { TWMKillFocus m(Message); WMKillFocus(m); break; }
    case WM_ERASEBKGND: { TWMEraseBkgnd m(Message); WMEraseBkgnd(m); break; }
    case WM_GETDLGCODE: { TWMGetDlgCode m(Message); WMGetDlgCode(m); break; }
    case WM_KEYDOWN: { TWMKey m(Message); WMKeyDown(m); break; }
    case WM_KEYUP: { TWMKey m(Message); WMKeyUp(m); break; }
    case WM_CHAR: { TWMChar m(Message); WMChar(m); break; }
    case WM_SYSKEYDOWN: { TWMKey m(Message); WMSysKeyDown(m); break; }
    case WM_SYSKEYUP: { TWMKey m(Message); WMSysKeyUp(m); break; }
    case WM_SYSCHAR: { TWMChar m(Message); WMSysChar(m); break; }
    case WM_HSCROLL: { TWMScroll m(Message); WMHScroll(m); break; }
    case WM_VSCROLL: { TWMScroll m(Message); WMVScroll(m); break; }
    case WM_MOUSEWHEEL: { TWMMouseWheel m(Message); WMMouseWheel(m); break; }
    case WM_SETCURSOR: { TWMSetCursor m(Message); WMSetCursor(m); break; }
    case WM_IME_COMPOSITION: { TWMImeComposition m(Message); WMImeComposition(m); break; }
    case WM_IME_NOTIFY: { TWMImeNotify m(Message); WMImeNotify(m); break; }
    case WM_DROPFILES: { TWMDropFiles m(Message); WMDropFiles(m); break; }
    case WM_CUT: { TWMCut m(Message); WMCut(m); break; }
    case WM_COPY: { TWMCopy m(Message); WMCopy(m); break; }
    case WM_PASTE: { TWMPaste m(Message); WMPaste(m); break; }
    case WM_PAINT: { TWMPaint m(Message); WMPaint(m); break; }
    case WM_CLOSE: { TWMClose m(Message); WMClose(m); break; }
    default: TControl::Dispatch(Message); break;
    }
}

void TWinControl::WMSize(TWMSize& Message)
{
    Realign();
    Resize();
    DefaultHandler(Message.Message);
}

void TWinControl::WMSetCursor(TWMSetCursor& Message)
{
    if (Message.CursorWnd() == handle_ && Message.HitTest() == HTCLIENT && Cursor() != crDefault) {
        ::SetCursor(Cursor());
        Message.Result() = 1;
        return;
    }
    DefaultHandler(Message.Message);
}

void TWinControl::WMSetFocus(TWMSetFocus& Message) { DefaultHandler(Message.Message); }
void TWinControl::WMKillFocus(TWMKillFocus& Message) { DefaultHandler(Message.Message); }
void TWinControl::WMEraseBkgnd(TWMEraseBkgnd& Message) { DefaultHandler(Message.Message); }
void TWinControl::WMGetDlgCode(TWMGetDlgCode& Message) { DefaultHandler(Message.Message); }
void TWinControl::WMClose(TWMClose& Message) { DefaultHandler(Message.Message); }
void TWinControl::WMSysChar(TWMChar& Message) { DefaultHandler(Message.Message); }
void TWinControl::WMHScroll(TWMScroll& Message) { DefaultHandler(Message.Message); }
void TWinControl::WMVScroll(TWMScroll& Message) { DefaultHandler(Message.Message); }
void TWinControl::WMMouseWheel(TWMMouseWheel& Message) { DefaultHandler(Message.Message); }
void TWinControl::WMImeComposition(TWMImeComposition& Message) { DefaultHandler(Message.Message); }
void TWinControl::WMImeNotify(TWMImeNotify& Message) { DefaultHandler(Message.Message); }
void TWinControl::WMDropFiles(TWMDropFiles& Message) { DefaultHandler(Message.Message); }
void TWinControl::WMCut(TWMCut& Message) { DefaultHandler(Message.Message); }
void TWinControl::WMCopy(TWMCopy& Message) { DefaultHandler(Message.Message); }
void TWinControl::WMPaste(TWMPaste& Message) { DefaultHandler(Message.Message); }
void TWinControl::WMPaint(TWMPaint& Message) { DefaultHandler(Message.Message); }

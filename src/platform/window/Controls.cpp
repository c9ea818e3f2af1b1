// TControl: placement, appearance, message dispatch and the window system's default
// processing of messages.
#include "platform/window/Controls.h"

#include "platform/graphics/GraphicsQt.h"
#include "platform/window/ControlsQt.h"
#include "platform/window/Menus.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>

#include <algorithm>

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner), window_(std::make_unique<TControlWindow>(this)), font_(std::make_unique<TFont>())
{
    font_->OnChange = TNotifyEvent(this, &TControl::FontChanged);
    DragControlCreated(this);
}

TControl::~TControl()
{
    DragControlDestroyed(this);
    BeforeDestruction();
    if (GetCaptureControl() == this)
        SetMouseCapture(false);
    window_->Detach();
    SetParent(nullptr);
    font_->OnChange = nullptr;
}

void TControl::SetParent(TWinControl* AParent)
{
    if (parent_ == AParent)
        return;
    for (TControl* p = AParent; p != nullptr; p = p->parent_)
        if (p == this)
            throw EInvalidOperation("A control cannot have itself or its child as its parent");
    if (parent_ != nullptr)
        parent_->RemoveControl(this);
    parent_ = AParent;
    QWidget* frame = window_->Frame();
    const bool focused = frame->isAncestorOf(QApplication::focusWidget());
    frame->setParent(AParent != nullptr ? AParent->Window()->Client() : nullptr);
    window_->SettingGeometry = true;
    frame->setGeometry(bounds_.Left, bounds_.Top, bounds_.Width(), bounds_.Height());
    window_->SettingGeometry = false;
    if (focused && AParent == nullptr)
        frame->clearFocus();
    if (AParent != nullptr) {
        AParent->InsertControl(this);
        ParentFontChanged();
        ParentColorChanged();
        if (auto* self = dynamic_cast<TWinControl*>(this); self != nullptr && AParent->HandleAllocated())
            self->HandleNeeded();
    }
    UpdateWindowState();
}

void TControl::SetVisible(bool Value)
{
    if (visible_ == Value)
        return;
    visible_ = Value;
    // A window shown on its own, or on a parent that has its window, gets one too.
    auto* self = dynamic_cast<TWinControl*>(this);
    if (self != nullptr && Value && (parent_ == nullptr || parent_->HandleAllocated()))
        self->HandleNeeded();
    UpdateWindowState();
    if (parent_ != nullptr && align_ != alNone)
        parent_->Realign();
}

void TControl::SetEnabled(bool Value)
{
    if (enabled_ == Value)
        return;
    enabled_ = Value;
    UpdateWindowState();
}

void TControl::UpdateWindowState()
{
    auto* self = dynamic_cast<TWinControl*>(this);
    const bool exists = self == nullptr || self->HandleAllocated();
    QWidget* frame = window_->Frame();
    frame->setEnabled(enabled_);
    frame->setVisible(visible_ && exists);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (constraints_.MaxWidth > 0)
        AWidth = std::min(AWidth, constraints_.MaxWidth);
    if (constraints_.MaxHeight > 0)
        AHeight = std::min(AHeight, constraints_.MaxHeight);
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    const TRect next{ALeft, ATop, ALeft + AWidth, ATop + AHeight};
    if (next == bounds_)
        return;
    bounds_ = next;
    window_->SettingGeometry = true;
    window_->Frame()->setGeometry(ALeft, ATop, AWidth, AHeight);
    window_->SettingGeometry = false;
    window_->Layout();
    if (parent_ != nullptr && align_ != alNone)
        parent_->Realign();
}

void TControl::SetConstraints(const TSizeConstraints& Value)
{
    constraints_ = Value;
    SetBounds(Left(), Top(), Width(), Height());
}

TRect TControl::ClientRect() const
{
    const QRect client = window_->ClientGeometry();
    return {0, 0, client.width(), client.height()};
}

TPoint TControl::ClientToScreen(const TPoint& P) const
{
    const QPoint q = window_->Client()->mapToGlobal(QPoint(P.X, P.Y));
    return {q.x(), q.y()};
}

TPoint TControl::ScreenToClient(const TPoint& P) const
{
    const QPoint q = window_->Client()->mapFromGlobal(QPoint(P.X, P.Y));
    return {q.x(), q.y()};
}

void TControl::SetAlign(TAlign Value)
{
    if (align_ == Value)
        return;
    align_ = Value;
    if (parent_ != nullptr)
        parent_->Realign();
}

// ---- Colour, font, cursor, hint, pop-up menu ---------------------------------------------

void TControl::SetColor(TColor Value)
{
    parentColor_ = false;
    if (color_ == Value)
        return;
    color_ = Value;
    window_->ApplyHostedLook();
    Invalidate();
    if (auto* self = dynamic_cast<TWinControl*>(this))
        for (int i = 0; i < self->ControlCount(); ++i)
            self->Controls(i)->ParentColorChanged();
}

void TControl::SetParentColor(bool Value)
{
    parentColor_ = Value;
    ParentColorChanged();
}

void TControl::ParentColorChanged()
{
    if (!parentColor_ || parent_ == nullptr || color_ == parent_->Color())
        return;
    SetColor(parent_->Color());
    parentColor_ = true;
}

void TControl::SetParentFont(bool Value)
{
    parentFont_ = Value;
    ParentFontChanged();
}

void TControl::ParentFontChanged()
{
    if (!parentFont_ || parent_ == nullptr)
        return;
    adoptingFont_ = true;
    font_->Assign(parent_->Font());
    adoptingFont_ = false;
}

void TControl::FontChanged(TObject*)
{
    if (!adoptingFont_)
        parentFont_ = false;
    window_->ApplyHostedLook();
    Invalidate();
    if (auto* self = dynamic_cast<TWinControl*>(this))
        for (int i = 0; i < self->ControlCount(); ++i)
            self->Controls(i)->ParentFontChanged();
}

void TControl::SetCursor(TCursor Value)
{
    cursor_ = Value;
    window_->ApplyHostedLook();
}

void TControl::SetHint(const std::string& Value)
{
    hint_ = Value;
    window_->Client()->setToolTip(showHint_ ? QString::fromUtf8(hint_) : QString());
}

void TControl::SetShowHint(bool Value)
{
    showHint_ = Value;
    SetHint(hint_);
}

void TControl::SetPopupMenu(TPopupMenu* Value)
{
    if (popupMenu_ == Value)
        return;
    if (popupMenu_ != nullptr)
        popupMenu_->RemoveFreeNotification(this);
    popupMenu_ = Value;
    if (Value != nullptr)
        Value->FreeNotification(this);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == popupMenu_)
        popupMenu_ = nullptr;
}

void TControl::Resize()
{
    if (OnResize)
        OnResize(this);
}

// ---- Messages ---------------------------------------------------------------------------

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TMessage message{Msg, WParam, LParam, 0};
    WndProc(message);
    return message.Result;
}

void TControl::WndProc(TMessage& Message)
{
    Dispatch(Message);
}

void TControl::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_MOUSEMOVE: { TWMMouse m(Message); WMMouseMove(m); break; }
    case WM_LBUTTONDOWN: { TWMMouse m(Message); WMLButtonDown(m); break; }
    case WM_LBUTTONUP: { TWMMouse m(Message); WMLButtonUp(m); break; }
    case WM_LBUTTONDBLCLK: { TWMMouse m(Message); WMLButtonDblClk(m); break; }
    case WM_RBUTTONDOWN: { TWMMouse m(Message); WMRButtonDown(m); break; }
    case WM_RBUTTONUP: { TWMMouse m(Message); WMRButtonUp(m); break; }
    case WM_RBUTTONDBLCLK: { TWMMouse m(Message); WMRButtonDblClk(m); break; }
    case WM_MBUTTONDOWN: { TWMMouse m(Message); WMMButtonDown(m); break; }
    case WM_MBUTTONUP: { TWMMouse m(Message); WMMButtonUp(m); break; }
    case WM_MBUTTONDBLCLK: { TWMMouse m(Message); WMMButtonDblClk(m); break; }
    case WM_CONTEXTMENU: { TWMContextMenu m(Message); WMContextMenu(m); break; }
    case WM_CANCELMODE: { TWMCancelMode m(Message); WMCancelMode(m); break; }
    case WM_CAPTURECHANGED: { TWMCaptureChanged m(Message); WMCaptureChanged(m); break; }
    default: DefaultHandler(Message); break;
    }
}

void TControl::DefaultHandler(TMessage& Message)
{
    Message.Result = 0;
    switch (Message.Msg) {
    case WM_RBUTTONUP: {
        // A right-button release asks for the context menu at the mouse position.
        TWMMouse mouse(Message);
        const TPoint p = ClientToScreen({mouse.XPos(), mouse.YPos()});
        auto* self = dynamic_cast<TWinControl*>(this);
        Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(self != nullptr ? self->Handle() : nullptr),
                MakeLParam(static_cast<Word>(p.X), static_cast<Word>(p.Y)));
        break;
    }
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL:
        // Unhandled, these go up to the parent.
        if (parent_ != nullptr)
            Message.Result = parent_->Perform(Message.Msg, Message.WParam, Message.LParam);
        break;
    case WM_SETCURSOR:
        if (parent_ != nullptr && parent_->Perform(Message.Msg, Message.WParam, Message.LParam) != 0) {
            Message.Result = 1;
        } else {
            ::SetCursor(crArrow);
            Message.Result = 1;
        }
        break;
    case WM_CANCELMODE:
        if (GetCaptureControl() == this)
            SetMouseCapture(false);
        break;
    case WM_ERASEBKGND: {
        TWMEraseBkgnd erase(Message);
        if (HDC dc = erase.DC()) {
            QPainter& painter = dc->BeginOperation();
            painter.fillRect(dc->ClipBox(), QColorFromColor(color_));
            painter.restore();
        }
        Message.Result = 1;
        break;
    }
    case WM_IME_COMPOSITION: {
        // Committed text the control did not take arrives as its characters.
        TWMImeComposition composition(Message);
        const std::string* committed = CurrentImeResult();
        if (!composition.HasResultString() || committed == nullptr)
            break;
        const std::string text = *committed;
        for (char c : text)
            Perform(WM_CHAR, static_cast<unsigned char>(c), 1);
        break;
    }
    default:
        break;
    }
}

// The mouse: Qt mouse events become button, move, double-click and wheel messages in
// the classic order (WM_SETCURSOR before each move while nothing holds the capture),
// and the messages become MouseDown/MouseMove/MouseUp/Click/DblClick. Also the capture,
// the cursor shapes and the mouse position.
#include "platform/window/Controls.h"

#include "platform/window/ControlsQt.h"
#include "platform/window/Guarded.h"
#include "platform/window/Menus.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPointer>
#include <QWheelEvent>

namespace {

QPointer<QWidget> captureWidget;  // the client widget of the control holding the capture
TControl* captureControl = nullptr;
QPointer<QWidget> mouseWidget;    // the client widget the mouse last talked to

WPARAM MouseKeys(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    WPARAM keys = 0;
    if (buttons.testFlag(Qt::LeftButton))
        keys |= MK_LBUTTON;
    if (buttons.testFlag(Qt::RightButton))
        keys |= MK_RBUTTON;
    if (buttons.testFlag(Qt::MiddleButton))
        keys |= MK_MBUTTON;
    if (modifiers.testFlag(Qt::ShiftModifier))
        keys |= MK_SHIFT;
    if (modifiers.testFlag(Qt::ControlModifier))
        keys |= MK_CONTROL;
    return keys;
}

TShiftState KeysToShiftState(WPARAM keys)
{
    TShiftState shift = 0;
    if (keys & MK_SHIFT)
        shift |= ssShift;
    if (keys & MK_CONTROL)
        shift |= ssCtrl;
    if (keys & MK_LBUTTON)
        shift |= ssLeft;
    if (keys & MK_RBUTTON)
        shift |= ssRight;
    if (keys & MK_MBUTTON)
        shift |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0)
        shift |= ssAlt;
    return shift;
}

LPARAM PointParam(const QPoint& p)
{
    return MakeLParam(static_cast<Word>(static_cast<SmallInt>(p.x())), static_cast<Word>(static_cast<SmallInt>(p.y())));
}

// The message of a press, release or double click of a button; 0 for other buttons.
UINT ButtonMessage(Qt::MouseButton button, QEvent::Type type)
{
    const int index = type == QEvent::MouseButtonPress ? 0 : type == QEvent::MouseButtonRelease ? 1 : 2;
    switch (button) {
    case Qt::LeftButton: return WM_LBUTTONDOWN + static_cast<UINT>(index);
    case Qt::RightButton: return WM_RBUTTONDOWN + static_cast<UINT>(index);
    case Qt::MiddleButton: return WM_MBUTTONDOWN + static_cast<UINT>(index);
    default: return 0;
    }
}

void NoteMouseEvent(QWidget* widget, const QMouseEvent& e)
{
    mouseWidget = widget;
    NoteKeyboardModifiers(e.modifiers());
    NoteMouseButtons(e.buttons());
}

}  // namespace

// ---- Qt events ---------------------------------------------------------------------------------

namespace {

void SendButton(QvClientWidget* widget, TControl* control, QMouseEvent* e, QEvent::Type type)
{
    e->accept();
    if (control == nullptr)
        return;
    NoteMouseEvent(widget, *e);
    if (type == QEvent::MouseButtonDblClick && (control->ControlStyle() & csDoubleClicks) == 0)
        type = QEvent::MouseButtonPress;
    const UINT msg = ButtonMessage(e->button(), type);
    if (msg == 0)
        return;
    CallGuarded(control, [&] {
        control->Perform(msg, MouseKeys(e->buttons(), e->modifiers()), PointParam(e->position().toPoint()));
    });
}

}  // namespace

void QvClientWidget::mousePressEvent(QMouseEvent* e)
{
    SendButton(this, window_->Control(), e, QEvent::MouseButtonPress);
}

void QvClientWidget::mouseReleaseEvent(QMouseEvent* e)
{
    SendButton(this, window_->Control(), e, QEvent::MouseButtonRelease);
}

void QvClientWidget::mouseDoubleClickEvent(QMouseEvent* e)
{
    SendButton(this, window_->Control(), e, QEvent::MouseButtonDblClick);
}

void QvClientWidget::mouseMoveEvent(QMouseEvent* e)
{
    e->accept();
    TControl* control = window_->Control();
    if (control == nullptr)
        return;
    NoteMouseEvent(this, *e);
    const QPointer<QvClientWidget> alive(this);
    auto* win = dynamic_cast<TWinControl*>(control);
    if (captureControl == nullptr && win != nullptr && win->HandleAllocated()) {
        const Word hit = rect().contains(e->position().toPoint()) ? HTCLIENT : 0;
        CallGuarded(control, [&] {
            control->Perform(WM_SETCURSOR, reinterpret_cast<WPARAM>(win->Handle()), MakeLParam(hit, WM_MOUSEMOVE));
        });
    }
    if (alive.isNull() || window_->Control() == nullptr)
        return;
    CallGuarded(control, [&] {
        control->Perform(WM_MOUSEMOVE, MouseKeys(e->buttons(), e->modifiers()), PointParam(e->position().toPoint()));
    });
}

void QvClientWidget::wheelEvent(QWheelEvent* e)
{
    e->accept();
    TControl* control = window_->Control();
    const int delta = e->angleDelta().y();
    if (control == nullptr || delta == 0)
        return;
    NoteKeyboardModifiers(e->modifiers());
    const WPARAM keys = MouseKeys(e->buttons(), e->modifiers());
    const int clamped = std::clamp(delta, -32768, 32767);
    const QPoint global = e->globalPosition().toPoint();
    CallGuarded(control, [&] {
        control->Perform(WM_MOUSEWHEEL, MakeWParam(static_cast<Word>(keys), static_cast<Word>(static_cast<SmallInt>(clamped))),
                         PointParam(global));
    });
}

// ---- Mouse messages -----------------------------------------------------------------------------

void TControl::DoMouseDown(TWMMouse& Message, TMouseButton Button, TShiftState Extra)
{
    MouseDown(Button, static_cast<TShiftState>(KeysToShiftState(Message.Keys()) | Extra), Message.XPos(), Message.YPos());
}

void TControl::DoMouseUp(TWMMouse& Message, TMouseButton Button)
{
    MouseUp(Button, KeysToShiftState(Message.Keys()), Message.XPos(), Message.YPos());
}

void TControl::WMLButtonDown(TWMMouse& Message)
{
    if (controlStyle_ & csCaptureMouse)
        SetMouseCapture(true);
    if (controlStyle_ & csClickEvents)
        clicked_ = true;
    DoMouseDown(Message, mbLeft, 0);
}

void TControl::WMLButtonDblClk(TWMMouse& Message)
{
    if (controlStyle_ & csCaptureMouse)
        SetMouseCapture(true);
    if (controlStyle_ & csClickEvents)
        DblClick();
    DoMouseDown(Message, mbLeft, ssDouble);
}

void TControl::WMLButtonUp(TWMMouse& Message)
{
    if (controlStyle_ & csCaptureMouse)
        SetMouseCapture(false);
    if (clicked_) {
        clicked_ = false;
        if (PtInRect(ClientRect(), TPoint{Message.XPos(), Message.YPos()}))
            Click();
    }
    DoMouseUp(Message, mbLeft);
}

void TControl::WMRButtonDown(TWMMouse& Message) { DoMouseDown(Message, mbRight, 0); }
void TControl::WMRButtonDblClk(TWMMouse& Message) { DoMouseDown(Message, mbRight, ssDouble); }
void TControl::WMMButtonDown(TWMMouse& Message) { DoMouseDown(Message, mbMiddle, 0); }
void TControl::WMMButtonDblClk(TWMMouse& Message) { DoMouseDown(Message, mbMiddle, ssDouble); }
void TControl::WMMButtonUp(TWMMouse& Message) { DoMouseUp(Message, mbMiddle); }

void TControl::WMRButtonUp(TWMMouse& Message)
{
    DoMouseUp(Message, mbRight);
    DefaultHandler(Message.Message);  // asks for the context menu
}

void TControl::WMMouseMove(TWMMouse& Message)
{
    MouseMove(KeysToShiftState(Message.Keys()), Message.XPos(), Message.YPos());
}

void TControl::WMContextMenu(TWMContextMenu& Message)
{
    if (popupMenu_ != nullptr && popupMenu_->AutoPopup()) {
        TPoint p{Message.XPos(), Message.YPos()};
        if (p.X == -1 && p.Y == -1)
            p = ClientToScreen({0, 0});
        popupMenu_->SetPopupComponent(this);
        popupMenu_->Popup(p.X, p.Y);
        Message.Result() = 1;
        return;
    }
    DefaultHandler(Message.Message);
}

void TControl::WMCancelMode(TWMCancelMode& Message) { DefaultHandler(Message.Message); }
void TControl::WMCaptureChanged(TWMCaptureChanged& Message) { DefaultHandler(Message.Message); }

void TControl::Click()
{
    if (OnClick)
        OnClick(this);
}

void TControl::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y)
{
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

// ---- Capture -------------------------------------------------------------------------------------

bool TControl::MouseCapture() const
{
    return captureControl == this;
}

void TControl::SetMouseCapture(bool Value)
{
    if (Value == MouseCapture())
        return;
    TControl* previous = captureControl;
    QWidget* client = window_->Client();
    if (Value) {
        captureControl = this;
        if (captureWidget)
            captureWidget->releaseMouse();
        captureWidget = client;
        if (client->isVisible())
            client->grabMouse();
        auto* self = dynamic_cast<TWinControl*>(this);
        const HWND handle = self != nullptr && self->HandleAllocated() ? self->Handle() : nullptr;
        if (previous != nullptr)
            previous->Perform(WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(handle));
    } else {
        captureControl = nullptr;
        if (captureWidget)
            captureWidget->releaseMouse();
        captureWidget = nullptr;
        if (!HasState(csDestroying))
            Perform(WM_CAPTURECHANGED, 0, 0);
    }
}

TControl* GetCaptureControl()
{
    return captureControl;
}

// ---- Cursor and position ---------------------------------------------------------------------------

Qt::CursorShape QtCursorShape(TCursor cursor)
{
    switch (cursor) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass: return Qt::WaitCursor;
    case crDrag: return Qt::DragMoveCursor;
    case crMultiDrag: return Qt::DragCopyCursor;
    case crNoDrop:
    case crNo: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    case crAppStart: return Qt::BusyCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
    }
}

void SetCursor(TCursor Cursor)
{
    if (QWidget* widget = captureWidget ? captureWidget.data() : mouseWidget.data())
        widget->setCursor(QtCursorShape(Cursor));
}

BOOL SetCursorPos(int X, int Y)
{
    QCursor::setPos(X, Y);
    return TRUE;
}

BOOL GetCursorPos(TPoint* Point)
{
    if (Point == nullptr)
        return FALSE;
    const QPoint p = QCursor::pos();
    *Point = {p.x(), p.y()};
    return TRUE;
}

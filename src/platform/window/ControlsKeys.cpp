// Keys and focus: a key event becomes, in order, an offer to the menus' shortcuts, the
// dialog keys (Tab and arrows the control does not want move the focus), WM_KEYDOWN,
// Enter or Escape that the control does not want offered to the form's buttons, the
// key's characters as WM_CHAR, and on release WM_KEYUP. Focus changes arrive as
// WM_SETFOCUS/WM_KILLFOCUS; committed input-method text as WM_IME_COMPOSITION.
#include "platform/window/Controls.h"

#include "platform/window/ControlsQt.h"
#include "platform/window/Guarded.h"
#include "platform/window/Menus.h"

#include <QApplication>
#include <QFont>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPointer>

namespace {

LPARAM KeyData(const QKeyEvent& e, bool systemKey, bool up)
{
    LPARAM data = 1 | static_cast<LPARAM>((e.nativeScanCode() & 0xFF) << 16);
    if (systemKey)
        data |= KF_ALTDOWN_BIT;
    if (up)
        data |= (LPARAM(1) << 30) | (LPARAM(1) << 31);
    else if (e.isAutoRepeat())
        data |= LPARAM(1) << 30;
    return data;
}

// The pop-up menus of the control and its parents, then the form's menu: the first
// that has the shortcut clicks its item and takes the key.
bool OfferShortCut(TWinControl* control, TShortCut shortCut)
{
    if (shortCut == scNone)
        return false;
    for (TControl* c = control; c != nullptr; c = c->Parent())
        if (TPopupMenu* menu = c->PopupMenu(); menu != nullptr && menu->IsShortCut(shortCut))
            return true;
    return control->MenuShortCut(shortCut);
}

// Tab and the arrows move the focus unless the control asks for them.
bool HandleDialogKey(TWinControl* control, QvClientWidget* widget, const TKeyInput& in)
{
    if ((in.Shift & ssAlt) != 0)
        return false;
    const bool tab = in.Key == VK_TAB && (in.Shift & ssCtrl) == 0;
    const bool arrow = in.Key >= VK_LEFT && in.Key <= VK_DOWN;
    if (!tab && !arrow)
        return false;
    const LRESULT code = control->Perform(WM_GETDLGCODE, in.Key, 0);
    if ((code & DLGC_WANTALLKEYS) != 0)
        return false;
    if (tab) {
        if ((code & DLGC_WANTTAB) != 0)
            return false;
        widget->MoveFocus((in.Shift & ssShift) == 0);
        return true;
    }
    if ((code & DLGC_WANTARROWS) != 0)
        return false;
    widget->MoveFocus(in.Key == VK_RIGHT || in.Key == VK_DOWN);
    return true;
}

// Enter on a focused button clicks it, as if it were the default one; otherwise Enter or
// Escape goes to the form's default or cancel button.
bool PerformDialogKey(TWinControl* focused, Word key)
{
    return focused->TakeDialogKey(key, true) || focused->OfferDialogKey(key);
}

// After WM_KEYDOWN left the key as it was: Enter or Escape without Ctrl or Alt, unless the
// control asks for it, goes to the form's buttons; whether one took it.
bool OfferEnterOrEscape(TWinControl* control, const TKeyInput& in)
{
    if ((in.Key != VK_RETURN && in.Key != VK_ESCAPE) || (in.Shift & (ssCtrl | ssAlt)) != 0)
        return false;
    bool taken = false;
    CallGuarded(control, [&] {
        taken = (control->Perform(WM_GETDLGCODE, in.Key, 0) & DLGC_WANTALLKEYS) == 0 && PerformDialogKey(control, in.Key);
    });
    return taken;
}

HWND HandleOf(TWinControl* control)
{
    return control != nullptr && control->HandleAllocated() ? control->Handle() : nullptr;
}

HWND lastFocusLost = nullptr;

}  // namespace

bool QvClientWidget::event(QEvent* e)
{
    // Every key, Tab included, takes the classic route rather than Qt's focus chain.
    if (e->type() == QEvent::KeyPress) {
        keyPressEvent(static_cast<QKeyEvent*>(e));
        return true;
    }
    return QWidget::event(e);
}

void QvClientWidget::keyPressEvent(QKeyEvent* e)
{
    e->accept();
    TWinControl* control = window_->WinControl();
    if (control == nullptr)
        return;
    NoteKeyboardModifiers(e->modifiers());
    const TKeyInput in = ReadKeyEvent(*e);
    if (in.Key != 0)
        NoteKeyState(in.Key, true);
    const QPointer<QvClientWidget> alive(this);
    const auto deliverable = [&] { return !alive.isNull() && window_->Control() != nullptr; };

    if (in.Key != 0) {
        bool taken = false;
        CallGuarded(control, [&] { taken = OfferShortCut(control, ShortCut(in.Key, in.Shift)); });
        if (taken || !deliverable())
            return;
        CallGuarded(control, [&] { taken = HandleDialogKey(control, this, in); });
        if (taken || !deliverable())
            return;
        TMessage down{static_cast<UINT>(in.SystemKey ? WM_SYSKEYDOWN : WM_KEYDOWN), in.Key,
                      KeyData(*e, in.SystemKey, false), 0};
        CallGuarded(control, [&] { control->WndProc(down); });
        if (down.WParam != 0 && deliverable() && OfferEnterOrEscape(control, in))
            return;
    }
    // The characters go to the control that had the key down, whatever it did with it.
    for (char c : in.Chars) {
        if (!deliverable())
            return;
        CallGuarded(control, [&] {
            control->Perform(in.SystemKey ? WM_SYSCHAR : WM_CHAR, static_cast<unsigned char>(c),
                             KeyData(*e, in.SystemKey, false));
        });
    }
}

void QvClientWidget::keyReleaseEvent(QKeyEvent* e)
{
    e->accept();
    TWinControl* control = window_->WinControl();
    if (control == nullptr || e->isAutoRepeat())
        return;
    NoteKeyboardModifiers(e->modifiers());
    const TKeyInput in = ReadKeyEvent(*e);
    if (in.Key == 0)
        return;
    NoteKeyState(in.Key, false);
    CallGuarded(control, [&] {
        control->Perform(in.SystemKey ? WM_SYSKEYUP : WM_KEYUP, in.Key, KeyData(*e, in.SystemKey, true));
    });
}

void QvClientWidget::focusInEvent(QFocusEvent* e)
{
    TWinControl* control = window_->WinControl();
    // A pop-up menu opening and closing does not take the focus away, as on Windows.
    if (control == nullptr || e->reason() == Qt::PopupFocusReason)
        return;
    control->NoteActiveControl(control);
    const HWND previous = lastFocusLost;
    CallGuarded(control, [&] { control->Perform(WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0); });
}

void QvClientWidget::focusOutEvent(QFocusEvent* e)
{
    TWinControl* control = window_->WinControl();
    if (control == nullptr || e->reason() == Qt::PopupFocusReason)
        return;
    lastFocusLost = HandleOf(control);
    const HWND next = HandleOf(FindFocusedControl());
    CallGuarded(control, [&] { control->Perform(WM_KILLFOCUS, reinterpret_cast<WPARAM>(next), 0); });
}

void QvClientWidget::inputMethodEvent(QInputMethodEvent* e)
{
    e->accept();
    TWinControl* control = window_->WinControl();
    if (control == nullptr || e->commitString().isEmpty())
        return;
    const std::string text = PrintableAnsi(e->commitString());
    if (text.empty())
        return;
    SetImeResult(&text);
    CallGuarded(control, [&] { control->Perform(WM_IME_COMPOSITION, 0, static_cast<LPARAM>(GCS_RESULTSTR)); });
    SetImeResult(nullptr);
}

QVariant QvClientWidget::inputMethodQuery(Qt::InputMethodQuery query) const
{
    TWinControl* control = window_->WinControl();
    if (control == nullptr)
        return QWidget::inputMethodQuery(query);
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImCursorRectangle:
        return ImeCursorRect(control);
    case Qt::ImFont: {
        QFont font;
        return ImeFont(control, font) ? QVariant(font) : QWidget::inputMethodQuery(query);
    }
    default:
        return QWidget::inputMethodQuery(query);
    }
}

// ---- Key messages ------------------------------------------------------------------------------

namespace {

TShiftState CurrentShiftState()
{
    TShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        shift |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0)
        shift |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0)
        shift |= ssAlt;
    return shift;
}

}  // namespace

bool TWinControl::DoKeyDown(TWMKey& Message)
{
    return PreviewKey(this, WM_KEYDOWN, Message) || HandleKey(WM_KEYDOWN, Message);
}

bool TWinControl::DoKeyUp(TWMKey& Message)
{
    return PreviewKey(this, WM_KEYUP, Message) || HandleKey(WM_KEYUP, Message);
}

bool TWinControl::DoKeyPress(TWMKey& Message)
{
    return PreviewKey(this, WM_CHAR, Message) || HandleKey(WM_CHAR, Message);
}

bool TWinControl::HandleKey(UINT Msg, TWMKey& Message)
{
    if (Msg == WM_CHAR) {
        char key = static_cast<char>(Message.CharCode());
        KeyPress(key);
        Message.SetCharCode(static_cast<unsigned char>(key));
        return key == 0;
    }
    Word key = Message.CharCode();
    if (Msg == WM_KEYDOWN)
        KeyDown(key, CurrentShiftState());
    else
        KeyUp(key, CurrentShiftState());
    Message.SetCharCode(key);
    return key == 0;
}

// ---- What the form does for its controls: passed up to the nearest form -------------------

bool TWinControl::MenuShortCut(TShortCut ShortCut)
{
    return Parent() != nullptr && Parent()->MenuShortCut(ShortCut);
}

bool TWinControl::PreviewKey(TWinControl* Control, UINT Msg, TWMKey& Message)
{
    return Parent() != nullptr && Parent()->PreviewKey(Control, Msg, Message);
}

void TWinControl::NoteActiveControl(TWinControl* Control)
{
    if (Parent() != nullptr)
        Parent()->NoteActiveControl(Control);
}

void TWinControl::ActivateForControl(TWinControl* Control)
{
    if (Parent() != nullptr)
        Parent()->ActivateForControl(Control);
}

bool TWinControl::OfferDialogKey(Word Key)
{
    return Parent() != nullptr && Parent()->OfferDialogKey(Key);
}

bool TWinControl::ChildTakesDialogKey(Word Key)
{
    for (TControl* child : controls_) {
        auto* win = dynamic_cast<TWinControl*>(child);
        if (win == nullptr || !win->Visible() || !win->Enabled())
            continue;
        if (win->TakeDialogKey(Key, false) || win->ChildTakesDialogKey(Key))
            return true;
    }
    return false;
}

void TWinControl::KeyDown(Word& Key, TShiftState Shift)
{
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(Word& Key, TShiftState Shift)
{
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key)
{
    if (OnKeyPress)
        OnKeyPress(this, Key);
}

void TWinControl::WMKeyDown(TWMKey& Message)
{
    if (!DoKeyDown(Message))
        DefaultHandler(Message.Message);
}

void TWinControl::WMSysKeyDown(TWMKey& Message)
{
    if (!DoKeyDown(Message))
        DefaultHandler(Message.Message);
}

void TWinControl::WMKeyUp(TWMKey& Message)
{
    if (!DoKeyUp(Message))
        DefaultHandler(Message.Message);
}

void TWinControl::WMSysKeyUp(TWMKey& Message)
{
    if (!DoKeyUp(Message))
        DefaultHandler(Message.Message);
}

void TWinControl::WMChar(TWMChar& Message)
{
    if (!DoKeyPress(Message))
        DefaultHandler(Message.Message);
}

// ---- Keys of hosted widgets ----------------------------------------------------------------

bool RouteHostedKey(TWinControl* control, QKeyEvent* e)
{
    NoteKeyboardModifiers(e->modifiers());
    const TKeyInput in = ReadKeyEvent(*e);
    if (in.Key != 0)
        NoteKeyState(in.Key, true);
    const QPointer<QvClientWidget> alive(control->Window()->Client());
    const auto gone = [&] { return alive.isNull() || alive->OwnerWindow()->Control() == nullptr; };
    bool taken = false;
    if (in.Key != 0) {
        CallGuarded(control, [&] { taken = OfferShortCut(control, ShortCut(in.Key, in.Shift)); });
        if (taken || gone())
            return true;
        const bool tab = in.Key == VK_TAB && (in.Shift & (ssCtrl | ssAlt)) == 0;
        if (tab && (control->Perform(WM_GETDLGCODE, in.Key, 0) & (DLGC_WANTTAB | DLGC_WANTALLKEYS)) == 0) {
            alive->MoveFocus((in.Shift & ssShift) == 0);
            return true;
        }
        TMessage down{static_cast<UINT>(in.SystemKey ? WM_SYSKEYDOWN : WM_KEYDOWN), in.Key,
                      KeyData(*e, in.SystemKey, false), 0};
        CallGuarded(control, [&] { control->WndProc(down); });
        if (down.WParam == 0 || gone())
            return true;
        if (OfferEnterOrEscape(control, in) || gone())
            return true;
    }
    for (char c : in.Chars) {
        TMessage chr{static_cast<UINT>(in.SystemKey ? WM_SYSCHAR : WM_CHAR), static_cast<unsigned char>(c),
                     KeyData(*e, in.SystemKey, false), 0};
        CallGuarded(control, [&] { control->WndProc(chr); });
        if (chr.WParam == 0 || gone())
            return true;
    }
    return false;
}

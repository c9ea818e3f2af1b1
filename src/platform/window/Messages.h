// Window messages as records: TMessage carries the number, the two parameters and the
// result; the typed records are views over one TMessage that name its parts, so a
// handler reads Message.Width() or sets Message.Result() without unpacking bits.
#pragma once

#include "platform/window/WinApi.h"

#include <string>

struct TMessage {
    UINT Msg = WM_NULL;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// Base of the typed views: the message itself and its result.
class TMessageView {
public:
    explicit TMessageView(TMessage& message) : Message(message) {}
    UINT Msg() const { return Message.Msg; }
    LRESULT& Result() const { return Message.Result; }

    TMessage& Message;
};

// WM_SIZE: the new client size.
class TWMSize : public TMessageView {
public:
    using TMessageView::TMessageView;
    WPARAM SizeType() const { return Message.WParam; }
    Word Width() const { return LoWord(static_cast<std::uintptr_t>(Message.LParam)); }
    Word Height() const { return HiWord(static_cast<std::uintptr_t>(Message.LParam)); }
};

// WM_HSCROLL/WM_VSCROLL: the notification code and, for thumb codes, the 16-bit position.
class TWMScroll : public TMessageView {
public:
    using TMessageView::TMessageView;
    Word ScrollCode() const { return LoWord(Message.WParam); }
    SmallInt Pos() const { return static_cast<SmallInt>(HiWord(Message.WParam)); }
    HWND ScrollBar() const { return reinterpret_cast<HWND>(Message.LParam); }
};
using TWMHScroll = TWMScroll;
using TWMVScroll = TWMScroll;

// WM_MOUSEWHEEL: the rotation in multiples of WHEEL_DELTA per notch (finer wheels send
// parts of it), the mouse-key flags and the mouse position in screen coordinates.
class TWMMouseWheel : public TMessageView {
public:
    using TMessageView::TMessageView;
    WPARAM Keys() const { return LoWord(Message.WParam); }
    SmallInt WheelDelta() const { return static_cast<SmallInt>(HiWord(Message.WParam)); }
    SmallInt XPos() const { return static_cast<SmallInt>(LoWord(static_cast<std::uintptr_t>(Message.LParam))); }
    SmallInt YPos() const { return static_cast<SmallInt>(HiWord(static_cast<std::uintptr_t>(Message.LParam))); }
};

// Mouse button and move messages: the mouse-key flags and the client position.
class TWMMouse : public TMessageView {
public:
    using TMessageView::TMessageView;
    WPARAM Keys() const { return Message.WParam; }
    SmallInt XPos() const { return static_cast<SmallInt>(LoWord(static_cast<std::uintptr_t>(Message.LParam))); }
    SmallInt YPos() const { return static_cast<SmallInt>(HiWord(static_cast<std::uintptr_t>(Message.LParam))); }
};

// WM_KEYDOWN/WM_KEYUP/WM_SYSKEYDOWN/WM_SYSKEYUP and WM_CHAR/WM_SYSCHAR: the virtual-key
// code or the character (writable, so a handler can change or swallow it), and the key
// data (repeat count in the low word; bit 29 set when Alt is held).
class TWMKey : public TMessageView {
public:
    using TMessageView::TMessageView;
    Word CharCode() const { return static_cast<Word>(Message.WParam); }
    void SetCharCode(Word code) { Message.WParam = code; }
    LPARAM KeyData() const { return Message.LParam; }
};
using TWMChar = TWMKey;
using TWMKeyDown = TWMKey;
using TWMKeyUp = TWMKey;

constexpr LPARAM KF_ALTDOWN_BIT = LPARAM(1) << 29;

// WM_GETDLGCODE: the handler answers DLGC_* flags in Result.
class TWMGetDlgCode : public TMessageView {
public:
    using TMessageView::TMessageView;
};

// WM_SETFOCUS/WM_KILLFOCUS: the window losing, respectively receiving, the focus (0 if
// none of ours).
class TWMSetFocus : public TMessageView {
public:
    using TMessageView::TMessageView;
    HWND FocusedWnd() const { return reinterpret_cast<HWND>(Message.WParam); }
};
using TWMKillFocus = TWMSetFocus;

// WM_SETCURSOR: the window under the mouse, the hit-test code and the mouse message
// that caused it. A handler that sets the cursor returns 1.
class TWMSetCursor : public TMessageView {
public:
    using TMessageView::TMessageView;
    HWND CursorWnd() const { return reinterpret_cast<HWND>(Message.WParam); }
    Word HitTest() const { return LoWord(static_cast<std::uintptr_t>(Message.LParam)); }
    Word MouseMsg() const { return HiWord(static_cast<std::uintptr_t>(Message.LParam)); }
};

// WM_DROPFILES: the drop handle (read it with the drop-query calls, release it with
// the drop-finish call).
class TWMDropFiles : public TMessageView {
public:
    using TMessageView::TMessageView;
    void* Drop() const { return reinterpret_cast<void*>(Message.WParam); }
};

// WM_IME_COMPOSITION: which parts changed (GCS_RESULTSTR when text was committed); the
// text itself is read with ImmGetCompositionStringA while the message is handled.
class TWMImeComposition : public TMessageView {
public:
    using TMessageView::TMessageView;
    DWORD Flags() const { return static_cast<DWORD>(Message.LParam); }
    bool HasResultString() const { return (Flags() & GCS_RESULTSTR) != 0; }
};

// WM_IME_NOTIFY: the notice (IMN_SETOPENSTATUS, ...).
class TWMImeNotify : public TMessageView {
public:
    using TMessageView::TMessageView;
    WPARAM Command() const { return Message.WParam; }
};

// WM_CAPTURECHANGED: the window that takes the capture (0 when it is just released).
class TWMCaptureChanged : public TMessageView {
public:
    using TMessageView::TMessageView;
    HWND NewCapture() const { return reinterpret_cast<HWND>(Message.LParam); }
};

// WM_ERASEBKGND: the context to erase with. A handler that erased (or decided nothing
// needs erasing) returns 1.
class TWMEraseBkgnd : public TMessageView {
public:
    using TMessageView::TMessageView;
    HDC DC() const { return reinterpret_cast<HDC>(Message.WParam); }
};

// WM_PAINT: the control paints its invalid area now.
class TWMPaint : public TMessageView {
public:
    using TMessageView::TMessageView;
};

// WM_CONTEXTMENU: the window and the screen position (-1, -1 from the keyboard).
class TWMContextMenu : public TMessageView {
public:
    using TMessageView::TMessageView;
    SmallInt XPos() const { return static_cast<SmallInt>(LoWord(static_cast<std::uintptr_t>(Message.LParam))); }
    SmallInt YPos() const { return static_cast<SmallInt>(HiWord(static_cast<std::uintptr_t>(Message.LParam))); }
};

// Messages without parameters of their own (WM_CANCELMODE, WM_CUT, WM_COPY, WM_PASTE,
// WM_CLOSE).
class TWMNoParams : public TMessageView {
public:
    using TMessageView::TMessageView;
};
using TWMCancelMode = TWMNoParams;
using TWMCut = TWMNoParams;
using TWMCopy = TWMNoParams;
using TWMPaste = TWMNoParams;
using TWMClose = TWMNoParams;

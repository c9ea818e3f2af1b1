// The caret: one per application, owned by one window control, drawn inverted over
// what the control painted and blinking at the system rate. A new caret starts hidden
// (hide count 1); ShowCaret lowers the count, HideCaret raises it, and the caret shows
// while the count is 0. Scrolling and painting never leave traces of it.
//
// Also the input-method calls that go with it: where the composition window sits, which
// font it uses, and the committed text of WM_IME_COMPOSITION.
#pragma once

#include "platform/graphics/Gdi.h"
#include "platform/runtime/Types.h"
#include "platform/window/WinApi.h"

// Creates the caret for Window (replacing any other), Width x Height pixels (a width
// of 0 means the system's border width). Bitmap is accepted for the classic signature;
// the caret is always drawn solid. FALSE when Window is not a live window control.
BOOL CreateCaret(HWND Window, const void* Bitmap, int Width, int Height);
// Removes the caret (whoever owns it). FALSE when there is none.
BOOL DestroyCaret();
// Moves the caret, in client coordinates of its window. FALSE without a caret.
BOOL SetCaretPos(int X, int Y);
BOOL GetCaretPos(TPoint* Point);
// Lower, respectively raise, the hide count of the caret of Window (nullptr: of
// whichever window owns it). FALSE when Window has no caret. The count never goes
// below 0.
BOOL ShowCaret(HWND Window);
BOOL HideCaret(HWND Window);
// Milliseconds between blink phases.
UINT GetCaretBlinkTime();

// ---- Input method --------------------------------------------------------------------------

struct HIMC__;
using HIMC = HIMC__*;

constexpr DWORD CFS_POINT = 0x0002;

struct COMPOSITIONFORM {
    DWORD dwStyle = 0;
    TPoint ptCurrentPos;
    TRect rcArea;
};

// The input context of a window control (nullptr for none); release it when done.
HIMC ImmGetContext(HWND Window);
BOOL ImmReleaseContext(HWND Window, HIMC Context);
// With GCS_RESULTSTR, the text committed by the WM_IME_COMPOSITION being handled, as
// bytes of the ANSI code page: Buffer null or Length 0 asks for its length in bytes;
// otherwise up to Length bytes are copied (no terminating 0) and their count returned.
// Any other index, or no committed text, gives 0.
LONG ImmGetCompositionStringA(HIMC Context, DWORD Index, void* Buffer, DWORD Length);
// Where the input method shows its composition (client coordinates of the window).
BOOL ImmSetCompositionWindow(HIMC Context, const COMPOSITIONFORM* Form);
// The font the input method composes with.
BOOL ImmSetCompositionFontA(HIMC Context, const LOGFONTA* Font);

// The window messages the editor takes over: resizing, focus (the commands 700 and 701
// that tell command hooks about it), dialog keys, erasing, the input method and the
// clipboard messages. Each handler does one thing and calls the operation that does it.
#include "qvedit/editor/QvEdit.h"

#include "platform/window/Caret.h"

void TCustomQvEdit::WndProc(TMessage& Message)
{
    // Alt+Backspace is the undo key: its character must not reach the menus.
    const bool altBackspaceChar = Message.Msg == WM_SYSCHAR && Message.WParam == VK_BACK &&
                                  (Message.LParam & KF_ALTDOWN_BIT) != 0;
    if (altBackspaceChar)
        return;
    TCustomControl::WndProc(Message);
}

void TCustomQvEdit::SetFocus()
{
    if (!focusList_.empty())
        focusList_.back()->SetFocus();
    else
        TCustomControl::SetFocus();
}

void TCustomQvEdit::WMSize(TWMSize& Message)
{
    TCustomControl::WMSize(Message);
    SizeOrFontChanged(false);
}

void TCustomQvEdit::WMSetFocus(TWMSetFocus&)
{
    CommandProcessor(QvEditFocusGainedCommand, '\0', nullptr);
    InitializeCaret();
    if (hideSelection_ && GetSelAvail())
        Invalidate();
}

void TCustomQvEdit::WMKillFocus(TWMKillFocus& Message)
{
    TCustomControl::WMKillFocus(Message);
    CommandProcessor(QvEditFocusLostCommand, '\0', nullptr);
    if (!alwaysShowCaret_ && !Focused()) {
        HideCaret();
        ::DestroyCaret();
    }
    if (hideSelection_ && GetSelAvail())
        Invalidate();
}

void TCustomQvEdit::WMEraseBkgnd(TWMEraseBkgnd& Message)
{
    // The paint covers every pixel it is asked for.
    Message.Result() = 1;
}

void TCustomQvEdit::WMCancelMode(TWMCancelMode&)
{
}

void TCustomQvEdit::WMGetDlgCode(TWMGetDlgCode& Message)
{
    TCustomControl::WMGetDlgCode(Message);
    Message.Result() = DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (wantTabs_)
        Message.Result() |= DLGC_WANTTAB;
    // Enter types a line break; Escape stays the dialog's, whose Cancel it gives.
    if (wantReturns_ && Message.Message.WParam != VK_ESCAPE)
        Message.Result() |= DLGC_WANTALLKEYS;
}

void TCustomQvEdit::WMImeComposition(TWMImeComposition& Message)
{
    if (Message.HasResultString()) {
        HIMC context = ImmGetContext(Handle());
        if (context != nullptr) {
            const LONG length = ImmGetCompositionStringA(context, GCS_RESULTSTR, nullptr, 0);
            if (length > 0) {
                std::string text(static_cast<std::size_t>(length), '\0');
                ImmGetCompositionStringA(context, GCS_RESULTSTR, text.data(),
                                         static_cast<DWORD>(length));
                // The window system follows the result with a key press per byte; those
                // are skipped while this count lasts.
                imeCount_ = length;
                CommandProcessor(ecImeStr, '\0', text.data());
            }
            ImmReleaseContext(Handle(), context);
        }
    }
    TCustomControl::WMImeComposition(Message);
}

void TCustomQvEdit::WMImeNotify(TWMImeNotify& Message)
{
    if (Message.Command() == IMN_SETOPENSTATUS) {
        HIMC context = ImmGetContext(Handle());
        if (context != nullptr) {
            const LOGFONTA font = Font()->GetLogFont();
            ImmSetCompositionFontA(context, &font);
            ImmReleaseContext(Handle(), context);
        }
    }
    TCustomControl::WMImeNotify(Message);
}

void TCustomQvEdit::WMCut(TWMCut& Message)
{
    if (!GetReadOnly())
        CutToClipboard();
    Message.Result() = 1;
}

void TCustomQvEdit::WMCopy(TWMCopy& Message)
{
    CopyToClipboard();
    Message.Result() = 1;
}

void TCustomQvEdit::WMPaste(TWMPaste& Message)
{
    if (!GetReadOnly())
        PasteFromClipboard();
    Message.Result() = 1;
}

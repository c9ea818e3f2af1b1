// The completion list window's input: keys, typed characters, mouse and wheel.
#include "qvedit/completion/QvCompletionProposalForm.h"

#include "platform/controls/StdCtrls.h"

#include <algorithm>

void TQvBaseCompletionProposalForm::KeyDown(Word& Key, TShiftState Shift)
{
    TCustomPopupWindow::KeyDown(Key, Shift);
    if (displayKind_ != ctCode)
        return;
    const bool ctrl = (Shift & ssCtrl) != 0;
    switch (Key) {
    case VK_BACK:
        if (Shift != 0)
            break;
        // The typed text shrinks with the editor's; with nothing typed the list closes.
        if (DropLastFilterCharacter()) {
            SendToEditor(ecDeleteLastChar);
        } else {
            SendToEditor(ecDeleteLastChar);
            Cancel();
        }
        break;
    case VK_TAB:
        if (CompleteWithTab)
            Validate(Shift, '\0');
        break;
    case VK_RETURN:
        if (CompleteWithEnter)
            Validate(Shift, '\0');
        break;
    case VK_ESCAPE: Cancel(); break;
    case VK_PRIOR: MoveLine(-nbLinesInWindow_); break;
    case VK_NEXT: MoveLine(nbLinesInWindow_); break;
    case VK_END: SetPosition(LastRow()); break;
    case VK_HOME: SetPosition(0); break;
    case VK_UP:
        if (ctrl)
            SetPosition(0);
        else
            MoveLine(-1);
        break;
    case VK_DOWN:
        if (ctrl)
            SetPosition(LastRow());
        else
            MoveLine(1);
        break;
    case VK_LEFT:
        if (DropLastFilterCharacter()) {
            SendToEditor(ecLeft);
        } else {
            SendToEditor(ecLeft);
            Cancel();
        }
        break;
    case VK_RIGHT: {
        // The caret moves over the next character: part of the token it extends the
        // typed text, anything else ends the completion.
        const char next = CurrentEditor != nullptr ? CurrentEditor->CharRightOfCaret() : ' ';
        const bool ends = next == '\t' || next == ' ' || EndOfToken.test(static_cast<unsigned char>(next));
        if (ends)
            Cancel();
        else
            SetCurrentString(currentString_ + next);
        SendToEditor(ecRight);
        break;
    }
    case VK_DELETE: SendToEditor(ecDeleteChar); break;
    default: break;
    }
    Invalidate();
}

void TQvBaseCompletionProposalForm::KeyPress(char& Key)
{
    // The character of a key whose key-down closed the list (Tab or Enter completing,
    // Escape, Backspace on an empty filter) belongs to that key and is dropped: it must
    // neither reach the editor nor open anything.
    if (displayKind_ != ctCode || !Visible())
        return;
    const auto code = static_cast<unsigned char>(Key);
    if (Key == '\r' || Key == '\x1b')
        return;
    if (Key == '\b') {
        TCustomPopupWindow::KeyPress(Key);
        return;
    }
    if (code >= ' ' && code <= 'z') {
        // An end-of-token character completes the selected row first; it is typed after it.
        if (EndOfToken.test(code))
            Validate(0, Key);
        currentString_ += Key;
        if (Visible())
            SetCurrentString(currentString_);
        TCustomPopupWindow::KeyPress(Key);
        return;
    }
    SendToEditor(ecChar, Key);
    Cancel();
}

void TQvBaseCompletionProposalForm::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomPopupWindow::MouseDown(Button, Shift, X, Y);
    // Only a press on a row selects: the title bar and the room below the last row hold
    // none.
    const int titleHeight = TitleHeight();
    if (displayKind_ != ctCode || Y < titleHeight)
        return;
    const int row = scroll_->Position() + (Y - titleHeight) / EffectiveItemHeight();
    if (row > LastRow())
        return;
    SetPosition(row);
}

void TQvBaseCompletionProposalForm::DblClick()
{
    TCustomPopupWindow::DblClick();
    if (displayKind_ == ctCode && Visible())
        Validate(0, '\0');
}

void TQvBaseCompletionProposalForm::WMMouseWheel(TWMMouseWheel& Message)
{
    UINT lines = 3;
    SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    const bool ctrl = (Message.Keys() & MK_CONTROL) != 0;
    int step = static_cast<int>(lines);
    if (ctrl || lines == WHEEL_PAGESCROLL || lines > static_cast<UINT>(nbLinesInWindow_))
        step = nbLinesInWindow_;
    // Finer wheels send parts of a notch: they add up to whole notches.
    wheelRemainder_ += Message.WheelDelta();
    const int notches = wheelRemainder_ / WHEEL_DELTA;
    wheelRemainder_ %= WHEEL_DELTA;
    if (notches != 0)
        MoveLine(-notches * step);
    Message.Result() = 1;
}

// The mouse: placing the caret, selecting and extending a selection, words by double
// click, auto-scrolling while the mouse selects beyond the text area, the start of a
// text drag, gutter clicks and the mouse cursor.
#include "qvedit/editor/QvEdit.h"

#include "platform/window/Keys.h"
#include "qvedit/editor/QvEditMarks.h"

#include <algorithm>
#include <cstdlib>

// ---- Pressing, moving, releasing -------------------------------------------------------------------

void TCustomQvEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbRight && options_.Contains(eoRightMouseMovesCursor) && GetSelAvail() &&
        !IsPointInSelection(PixelsToRowColumn(TPoint{X, Y}))) {
        blockEnd_ = blockBegin_;
        InvalidateLines(-1, -1);
        StatusChanged(TQvStatusChanges{scSelection});
    }
    const TPoint anchor = blockBegin_;
    if (Button != mbLeft && GetSelAvail())
        return;
    bool wasSelected = false;
    if (Button == mbLeft) {
        if ((Shift & ssDouble) != 0)
            return;
        if (GetSelAvail()) {
            wasSelected = true;
            mouseDownX_ = X;
            mouseDownY_ = Y;
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
    kbdHandler_->ExecuteMouseDown(this, Button, Shift, X, Y);

    if (Button == mbLeft || (Button == mbRight && options_.Contains(eoRightMouseMovesCursor)))
        ComputeCaret(X, Y);
    bool startDrag = false;
    if (Button == mbLeft) {
        SetMouseCapture(true);
        stateFlags_.Exclude(sfWaitForDragging);
        startDrag = wasSelected && options_.Contains(eoDragDropEditing) && X >= gutterWidth_ + 2 &&
                    selectionMode_ == smNormal && IsPointInSelection(GetCaretXY());
        if (!startDrag) {
            TPoint target = GetCaretXY();
            CommandProcessor(ecGotoXY, '\0', &target);
        }
    }
    if (startDrag) {
        stateFlags_.Include(sfWaitForDragging);
    } else if (!stateFlags_.Contains(sfDblClicked)) {
        if ((Shift & ssShift) != 0) {
            // The selection grows from where it was first anchored, not from the caret.
            SetBlockBegin(anchor);
            SetBlockEnd(GetCaretXY());
        } else {
            SetBlockBegin(GetCaretXY());
            if (options_.Contains(eoAltSetsColumnMode) && selectionMode_ != smLine)
                SetSelectionMode((Shift & ssAlt) != 0 ? smColumn : smNormal);
        }
    }
    if (X < gutterWidth_) {
        stateFlags_.Include(sfPossibleGutterClick);
        if (Button == mbRight)
            DoOnGutterClick(Button, X, Y);
    }
    TCustomControl::SetFocus();
}

void TCustomQvEdit::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseMove(Shift, X, Y);
    if (MouseCapture() && stateFlags_.Contains(sfWaitForDragging)) {
        if (std::abs(mouseDownX_ - X) >= GetSystemMetrics(SM_CXDRAG) ||
            std::abs(mouseDownY_ - Y) >= GetSystemMetrics(SM_CYDRAG)) {
            stateFlags_.Exclude(sfWaitForDragging);
            BeginDrag(true);
        }
        return;
    }
    if ((Shift & ssLeft) == 0 || !MouseCapture())
        return;
    ComputeScroll(X, Y);
    TPoint p = PixelsToRowColumn(TPoint{X, Y});
    // While the view scrolls the timer moves the caret along that direction.
    if (scrollDeltaX_ != 0)
        p.X = caretX_;
    if (scrollDeltaY_ != 0)
        p.Y = caretY_;
    InternalSetCaretXY(p);
    if (selectionMode_ == smColumn && !options_.Contains(eoScrollPastEol)) {
        p.X = std::min(p.X, lines_->GetLengthOfLongestLine() + 1);
        SetBlockEnd(p);
    } else {
        SetBlockEnd(GetCaretXY());
    }
}

void TCustomQvEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseUp(Button, Shift, X, Y);
    scrollTimer_->SetEnabled(false);
    if (Button == mbRight && Shift == ssRight && PopupMenu() != nullptr)
        return;
    SetMouseCapture(false);
    if (stateFlags_.Contains(sfPossibleGutterClick) && X < gutterWidth_ && Button != mbRight) {
        DoOnGutterClick(Button, X, Y);
    } else if (stateFlags_.Contains(sfWaitForDragging) && !stateFlags_.Contains(sfDblClicked)) {
        // A press on the selection that never became a drag: a plain click.
        ComputeCaret(X, Y);
        SetBlockBegin(GetCaretXY());
        SetBlockEnd(GetCaretXY());
        stateFlags_.Exclude(sfWaitForDragging);
    }
    stateFlags_.Exclude(sfDblClicked);
    stateFlags_.Exclude(sfPossibleGutterClick);
}

void TCustomQvEdit::DblClick()
{
    TPoint mouse;
    GetCursorPos(&mouse);
    mouse = ScreenToClient(mouse);
    if (mouse.X < gutterWidth_ + 2) {
        TCustomControl::DblClick();
        return;
    }
    if (!options_.Contains(eoNoSelection))
        SetWordBlock(GetCaretXY());
    TCustomControl::DblClick();
    stateFlags_.Include(sfDblClicked);
    SetMouseCapture(false);
}

// ---- Auto-scroll -----------------------------------------------------------------------------------

void TCustomQvEdit::ComputeScroll(Integer X, Integer Y)
{
    if (!MouseCapture() && !Dragging()) {
        scrollTimer_->SetEnabled(false);
        return;
    }
    TRect bounds{gutterWidth_, 0, gutterWidth_ + charsInWindow_ * charWidth_, linesInWindow_ * lineHeight_};
    if (borderStyle_ == bsNone)
        bounds = TRect{bounds.Left + 2, bounds.Top + 2, bounds.Right - 2, bounds.Bottom - 2};
    // How far outside the area, in whole steps; 0 inside.
    auto delta = [](Integer At, Integer Low, Integer High, Integer Step) {
        if (At < Low)
            return (At - Low) / Step - 1;
        if (At >= High)
            return (At - High) / Step + 1;
        return 0;
    };
    scrollDeltaX_ = delta(X, bounds.Left, bounds.Right, std::max(charWidth_, 1));
    scrollDeltaY_ = delta(Y, bounds.Top, bounds.Bottom, std::max(lineHeight_, 1));
    scrollTimer_->SetEnabled(scrollDeltaX_ != 0 || scrollDeltaY_ != 0);
}

void TCustomQvEdit::ScrollTimerHandler(TObject* /*Sender*/)
{
    TPoint mouse;
    GetCursorPos(&mouse);
    mouse = ScreenToClient(mouse);
    TPoint target = PixelsToRowColumn(mouse);
    if (scrollDeltaX_ != 0) {
        SetLeftChar(leftChar_ + scrollDeltaX_);
        target.X = leftChar_ + (scrollDeltaX_ > 0 ? charsInWindow_ - 1 : 0);
    }
    if (scrollDeltaY_ != 0) {
        const bool byPage = GetKeyState(VK_SHIFT) < 0;
        SetTopLine(topLine_ + (byPage ? scrollDeltaY_ * linesInWindow_ : scrollDeltaY_));
        target.Y = topLine_ + (scrollDeltaY_ > 0 ? linesInWindow_ - 1 : 0);
    }
    if (target != GetCaretXY()) {
        TQvPaintLockScope lock(*this);
        InternalSetCaretXY(target);
        if (MouseCapture())
            SetBlockEnd(GetCaretXY());
    }
    ComputeScroll(mouse.X, mouse.Y);
}

// ---- The gutter and the cursor -----------------------------------------------------------------

void TCustomQvEdit::DoOnGutterClick(TMouseButton Button, Integer X, Integer Y)
{
    if (!OnGutterClick)
        return;
    const Integer line = PixelsToRowColumn(TPoint{X, Y}).Y;
    if (line > lines_->Count())
        return;
    TQvEditMarks marks{};
    marks_->GetMarksForLine(line, marks);
    TQvEditMark* clicked = nullptr;
    Integer offset = 0;
    for (TQvEditMark* mark : marks) {
        if (mark == nullptr)
            continue;
        offset += bookMarkOptions_->GetXoffset();
        if (X < offset) {
            clicked = mark;
            break;
        }
    }
    OnGutterClick(this, Button, X, Y, line, clicked);
}

void TCustomQvEdit::WMSetCursor(TWMSetCursor& Message)
{
    if (Message.HitTest() != HTCLIENT || Message.CursorWnd() != Handle() || HasState(csDesigning)) {
        TCustomControl::WMSetCursor(Message);
        return;
    }
    TPoint mouse;
    GetCursorPos(&mouse);
    mouse = ScreenToClient(mouse);
    if (mouse.X < gutterWidth_) {
        ::SetCursor(gutter_->GetCursor());
    } else if (options_.Contains(eoDragDropEditing) && IsPointInSelection(PixelsToRowColumn(mouse))) {
        ::SetCursor(crArrow);
    } else {
        TCustomControl::WMSetCursor(Message);
        return;
    }
    Message.Result() = 1;
}

void TCustomQvEdit::WMCaptureChanged(TWMCaptureChanged& Message)
{
    scrollTimer_->SetEnabled(false);
    TCustomControl::WMCaptureChanged(Message);
}

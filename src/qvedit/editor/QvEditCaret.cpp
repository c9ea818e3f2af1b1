// The caret: placing it (always clamped to where it may stand), remembering its display
// column, its shape in insert and overwrite mode, and the system caret that shows it.
#include "qvedit/editor/QvEdit.h"

#include "platform/window/Caret.h"

#include <algorithm>

// ---- Placing ---------------------------------------------------------------------------------

void TCustomQvEdit::SetCaretX(Integer Value)
{
    SetCaretXY(TPoint{Value, caretY_});
}

void TCustomQvEdit::SetCaretY(Integer Value)
{
    SetCaretXY(TPoint{caretX_, Value});
}

void TCustomQvEdit::SetCaretXY(const TPoint& Value)
{
    SetCaretXYEx(true, Value);
    CollapseSelectionToCaret();
}

void TCustomQvEdit::CollapseSelectionToCaret()
{
    if (GetSelAvail())
        InvalidateLines(blockBegin_.Y, blockEnd_.Y);
    blockBegin_ = GetCaretXY();
    blockEnd_ = blockBegin_;
}

void TCustomQvEdit::InternalSetCaretXY(const TPoint& Value)
{
    SetCaretXYEx(true, Value);
}

void TCustomQvEdit::InternalSetCaretX(Integer Value)
{
    InternalSetCaretXY(TPoint{Value, caretY_});
}

void TCustomQvEdit::InternalSetCaretY(Integer Value)
{
    InternalSetCaretXY(TPoint{caretX_, Value});
}

TPoint TCustomQvEdit::ClampCaretPoint(TPoint Value) const
{
    const bool pastEol = options_.Contains(eoScrollPastEol);
    Integer y = std::min(Value.Y, lines_->GetCount());
    Int64 limit = Int64{maxLineWidth_} + 1;
    if (y >= 1) {
        // A line longer than the maximum width keeps its end within the caret's reach.
        const Int64 lineEnd = Int64{static_cast<Integer>(lines_->GetView(y - 1).size())} + 1;
        limit = pastEol ? std::max(limit, lineEnd) : lineEnd;
    } else {
        y = 1;
        if (!pastEol)
            limit = 1;
    }
    Integer x = Value.X;
    if (x > limit && !options_.Contains(eoAutoSizeMaxLineWidth))
        x = static_cast<Integer>(limit);
    return TPoint{std::max(x, 1), y};
}

void TCustomQvEdit::SetCaretXYEx(bool CallEnsureCursorPosVisible, TPoint Value)
{
    DoOnPaintTransient(ttBefore);
    const TPoint clamped = ClampCaretPoint(Value);
    const Integer x = clamped.X;
    const Integer y = clamped.Y;

    if (x == caretX_ && y == caretY_) {
        UpdateLastCaretX();
        DoOnPaintTransient(ttAfter);
        return;
    }
    ++caretMoves_;
    {
        TQvPaintLockScope lock(*this);
        if (x != caretX_) {
            caretX_ = x;
            StatusChanged({scCaretX});
        }
        if (y != caretY_) {
            const bool highlightLine = options_.Contains(eoHighlightCurrentLine);
            if (highlightLine)
                InvalidateLine(caretY_);
            caretY_ = y;
            StatusChanged({scCaretY});
            if (highlightLine)
                InvalidateLine(caretY_);
        }
        UpdateLastCaretX();
        if (CallEnsureCursorPosVisible)
            EnsureCursorPosVisible();
        stateFlags_.Include(sfCaretChanged);
        stateFlags_.Include(sfScrollbarChanged);
    }
    DoOnPaintTransient(ttAfter);
}

void TCustomQvEdit::ComputeCaret(Integer X, Integer Y)
{
    InternalSetCaretXY(PixelsToRowColumn(TPoint{X, Y}));
}

void TCustomQvEdit::UpdateLastCaretX()
{
    mbcsStepAside_ = false;
    // A batch moves the caret once a change: the column, a walk along the line where it
    // has tabs, is wanted only where the caret ends up.
    if (viewBatch_.Depth > 0) {
        viewBatch_.CaretXStale = true;
        return;
    }
    lastCaretX_ = DisplayX();
}

// ---- Shape -----------------------------------------------------------------------------------

void TCustomQvEdit::SetInsertCaret(TQvEditCaretType Value)
{
    if (Value == insertCaret_)
        return;
    insertCaret_ = Value;
    InitializeCaret();
}

void TCustomQvEdit::SetOverwriteCaret(TQvEditCaretType Value)
{
    if (Value == overwriteCaret_)
        return;
    overwriteCaret_ = Value;
    InitializeCaret();
}

void TCustomQvEdit::SetAlwaysShowCaret(bool Value)
{
    if (Value == alwaysShowCaret_)
        return;
    alwaysShowCaret_ = Value;
    if (HasState(csDestroying) || Focused())
        return;
    if (Value) {
        InitializeCaret();
        return;
    }
    HideCaret();
    // Only the caret this editor owns: another control may own the one caret there is.
    if (HandleAllocated() && ::HideCaret(Handle()))
        ::DestroyCaret();
}

void TCustomQvEdit::InitializeCaret()
{
    const TQvEditCaretType shape = insertMode_ ? insertCaret_ : overwriteCaret_;
    const Integer cellHeight = std::max(lineHeight_ - 2, 1);
    Integer width = charWidth_;
    Integer height = cellHeight;
    switch (shape) {
    case ctVerticalLine:
        width = 2;
        caretOffset_ = TPoint{-1, 0};
        break;
    case ctHorizontalLine:
        height = 2;
        caretOffset_ = TPoint{0, lineHeight_ - 2};
        break;
    case ctHalfBlock:
        height = std::max(cellHeight / 2, 1);
        caretOffset_ = TPoint{0, height};
        break;
    case ctBlock:
        caretOffset_ = TPoint{0, 0};
        break;
    }
    stateFlags_.Exclude(sfCaretVisible);
    if (!HandleAllocated() || !(Focused() || alwaysShowCaret_))
        return;
    ::CreateCaret(Handle(), nullptr, width, height);
    UpdateCaret();
}

// ---- The system caret ------------------------------------------------------------------------

void TCustomQvEdit::UpdateCaret()
{
    if (PaintLocked() || !HandleAllocated() || (!Focused() && !alwaysShowCaret_)) {
        stateFlags_.Include(sfCaretChanged);
        return;
    }
    stateFlags_.Exclude(sfCaretChanged);
    const TPoint point{CaretXPix() + caretOffset_.X, CaretYPix() + caretOffset_.Y + 1};
    TRect textArea = ClientRect();
    textArea.Left = gutterWidth_;
    if (PtInRect(textArea, point)) {
        ::SetCaretPos(point.X, point.Y);
        ShowCaret();
    } else {
        HideCaret();
        ::SetCaretPos(point.X, point.Y);
    }
    HIMC context = ImmGetContext(Handle());
    if (context != nullptr) {
        COMPOSITIONFORM form;
        form.dwStyle = CFS_POINT;
        form.ptCurrentPos = point;
        ImmSetCompositionWindow(context, &form);
        ImmReleaseContext(Handle(), context);
    }
}

void TCustomQvEdit::ShowCaret()
{
    if (options_.Contains(eoNoCaret) || stateFlags_.Contains(sfCaretVisible) || !HandleAllocated())
        return;
    if (::ShowCaret(Handle()))
        stateFlags_.Include(sfCaretVisible);
}

void TCustomQvEdit::HideCaret()
{
    if (!stateFlags_.Contains(sfCaretVisible) || !HandleAllocated())
        return;
    if (::HideCaret(Handle()))
        stateFlags_.Exclude(sfCaretVisible);
}

// Batches of changes: a replace all or an undo step changes the text many times over, and
// each change would invalidate its line and bring the caret into view, scrolling the
// window. Inside a batch both wait: the invalid lines are collected as line numbers (so
// that they stay right whatever the view does meanwhile), and the end scrolls at most once
// and invalidates once.
#include "qvedit/editor/QvEdit.h"

#include <algorithm>
#include <exception>
#include <limits>

void TCustomQvEdit::BeginViewBatch()
{
    IncPaintLock();
    ++viewBatch_.Depth;
}

void TCustomQvEdit::EndViewBatch()
{
    if (viewBatch_.Depth <= 0)
        return;
    if (viewBatch_.Depth == 1) {
        // The batch's own view calls run as usual from here on.
        viewBatch_.Depth = 0;
        if (viewBatch_.CaretXStale)
            UpdateLastCaretX();
        try {
            FlushViewBatch();
        } catch (...) {
            viewBatch_ = TViewBatch{};
            DecPaintLock();
            throw;
        }
        viewBatch_ = TViewBatch{};
    } else {
        --viewBatch_.Depth;
    }
    DecPaintLock();
}

void TCustomQvEdit::AbandonViewBatch()
{
    if (viewBatch_.Depth <= 0)
        return;
    if (--viewBatch_.Depth == 0) {
        const bool caretXStale = viewBatch_.CaretXStale;
        viewBatch_ = TViewBatch{};
        if (caretXStale)
            UpdateLastCaretX();
        if (Visible() && HandleAllocated())
            InvalidateClient(ClientRect());
    }
    DecPaintLockAfterException();
}

void TCustomQvEdit::FlushViewBatch()
{
    if (!HandleAllocated())
        return;
    if (viewBatch_.ShowCaret)
        EnsureCursorPosVisibleEx(viewBatch_.CentreCaret);
    if (!Visible())
        return;
    if (viewBatch_.Everything) {
        InvalidateClient(ClientRect());
        return;
    }
    const Int64 lastVisible = Int64{topLine_} + linesInWindow_;
    const Int64 first = std::max<Int64>(viewBatch_.FirstLine, topLine_);
    const Int64 last = std::min<Int64>(viewBatch_.LastLine, lastVisible);
    if (first > last || viewBatch_.Left >= viewBatch_.Right)
        return;
    InvalidateClient(Rect(viewBatch_.Left, static_cast<Integer>((first - topLine_) * lineHeight_),
                          viewBatch_.Right, static_cast<Integer>((last - topLine_ + 1) * lineHeight_)));
}

void TCustomQvEdit::CollectInvalid(const TRect& ARect)
{
    if (ARect.Left >= ARect.Right || ARect.Top >= ARect.Bottom || viewBatch_.Everything)
        return;
    const Integer height = std::max(lineHeight_, 1);
    const auto clamp = [](Int64 Value) {
        return static_cast<Integer>(std::clamp<Int64>(Value, 1, std::numeric_limits<Integer>::max()));
    };
    const Integer first = clamp(Int64{topLine_} + std::max(ARect.Top, 0) / height);
    const Integer last = clamp(Int64{topLine_} + (std::max(ARect.Bottom, 1) - 1) / height);
    if (viewBatch_.FirstLine > viewBatch_.LastLine) {
        viewBatch_.FirstLine = first;
        viewBatch_.LastLine = last;
        viewBatch_.Left = ARect.Left;
        viewBatch_.Right = ARect.Right;
        return;
    }
    viewBatch_.FirstLine = std::min(viewBatch_.FirstLine, first);
    viewBatch_.LastLine = std::max(viewBatch_.LastLine, last);
    viewBatch_.Left = std::min(viewBatch_.Left, ARect.Left);
    viewBatch_.Right = std::max(viewBatch_.Right, ARect.Right);
}

TQvViewBatchScope::~TQvViewBatchScope() noexcept(false)
{
    if (std::uncaught_exceptions() > exceptions_)
        editor_.AbandonViewBatch();
    else
        editor_.EndViewBatch();
}

// ---- The client area ---------------------------------------------------------------------------

void TCustomQvEdit::InvalidateClient(const TRect& ARect)
{
    TWinControl::InvalidateRect(&ARect, false);
}

void TCustomQvEdit::ScrollClient(int DX, int DY, const TRect* Area)
{
    ScrollWindow(DX, DY, Area, Area);
}

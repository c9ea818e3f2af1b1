// The editor's view: LeftChar and TopLine kept within bounds, the scroll bars kept in step
// (scaled to 16 bits for long texts), the scroll messages with the thumb's hint, and the
// mouse wheel.
#include "qvedit/editor/QvEdit.h"

#include "platform/forms/Forms.h"
#include "platform/window/HintWindow.h"
#include "platform/window/ScrollBars.h"
#include "platform/runtime/SysUtils.h"
#include "qvedit/core/QvEditMiscProcs.h"
#include "qvedit/core/QvEditStrConst.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

// The highest value the thumb messages carry; longer ranges are scaled to it.
constexpr Integer MaxScroll = 32767;

Integer ClampToInteger(Int64 Value)
{
    return static_cast<Integer>(std::clamp<Int64>(Value, std::numeric_limits<Integer>::min(),
                                                  std::numeric_limits<Integer>::max()));
}

// One scroll bar's range, page and position, scaled when the range is too long.
SCROLLINFO BarInfo(Integer Range, Integer Page, Integer Pos, bool DisableNoScroll)
{
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | (DisableNoScroll ? SIF_DISABLENOSCROLL : 0);
    if (Range > MaxScroll) {
        info.nMin = 0;
        info.nMax = MaxScroll;
        info.nPage = static_cast<UINT>(std::max(MulDiv(MaxScroll, Page, Range), 0));
        info.nPos = MulDiv(MaxScroll, Pos, Range);
    } else {
        info.nMin = 1;
        info.nMax = Range;
        info.nPage = static_cast<UINT>(std::max(Page, 0));
        info.nPos = Pos;
    }
    return info;
}

// The one hint window of the whole run, shown while the thumb is dragged.
THintWindow* ScrollHintWindow()
{
    static THintWindow* const hint = new THintWindow(Application);
    return hint;
}

}  // namespace

// ---- LeftChar and TopLine --------------------------------------------------------------------

void TCustomQvEdit::SetLeftChar(Integer Value)
{
    Int64 maximum;
    if (options_.Contains(eoScrollPastEol)) {
        if (options_.Contains(eoAutoSizeMaxLineWidth)) {
            maximum = Int64{std::numeric_limits<Integer>::max()} - charsInWindow_;
        } else {
            maximum = Int64{maxLineWidth_} - charsInWindow_ + 1;
            // The caret reaches the end of a line longer than the maximum width; the view
            // goes there with it. The longest line is looked up only when it can matter.
            if (Value > maximum)
                maximum = Int64{WidestColumn()} - charsInWindow_ + 1;
        }
    } else {
        maximum = lines_->GetLengthOfLongestLine();
        if (maximum > charsInWindow_)
            maximum -= charsInWindow_ - 1;
    }
    Value = static_cast<Integer>(std::max<Int64>(std::min<Int64>(Value, maximum), 1));
    if (Value == leftChar_)
        return;
    const Int64 delta = Int64{leftChar_} - Value;
    leftChar_ = Value;
    UpdateTextOffset();
    if (HandleAllocated() && Visible()) {
        if (InViewBatch()) {
            viewBatch_.Everything = true;
        } else if (std::llabs(delta) < charsInWindow_) {
            const TRect area = Rect(gutterWidth_ + 2, 0, ClientWidth(), ClientHeight());
            ScrollClient(static_cast<int>(delta * charWidth_), 0, &area);
        } else {
            InvalidateLines(-1, -1);
        }
    }
    const Int64 visibleEnd = Int64{leftChar_} + charsInWindow_;
    if (options_.Contains(eoAutoSizeMaxLineWidth) && options_.Contains(eoScrollPastEol) &&
        visibleEnd > maxLineWidth_)
        SetMaxLineWidth(ClampToInteger(visibleEnd));
    else
        UpdateScrollBars();
    StatusChanged({scLeftChar});
}

void TCustomQvEdit::SetTopLine(Integer Value)
{
    const Int64 count = lines_->GetCount();
    const Int64 maximum = options_.Contains(eoScrollPastEof) ? count : count + 1 - linesInWindow_;
    Value = static_cast<Integer>(std::max<Int64>(std::min<Int64>(Value, maximum), 1));
    if (Value == topLine_)
        return;
    const Int64 delta = Int64{topLine_} - Value;
    topLine_ = Value;
    if (HandleAllocated() && Visible()) {
        if (InViewBatch())
            viewBatch_.Everything = true;
        else if (std::llabs(delta) < linesInWindow_)
            ScrollClient(0, static_cast<int>(delta * lineHeight_), nullptr);
        else
            InvalidateClient(ClientRect());
    }
    UpdateScrollBars();
    StatusChanged({scTopLine});
}

// ---- Keeping the caret in view -------------------------------------------------------------

void TCustomQvEdit::EnsureCursorPosVisible()
{
    EnsureCursorPosVisibleEx(false);
}

void TCustomQvEdit::EnsureCursorPosVisibleEx(bool ForceToMiddle)
{
    if (InViewBatch()) {
        viewBatch_.ShowCaret = true;
        viewBatch_.CentreCaret = viewBatch_.CentreCaret || ForceToMiddle;
        return;
    }
    TQvPaintLockScope lock(*this);
    // The caret's display column, also past the line's end where tabs still widen it.
    const Int64 column = DisplayX();
    if (column < leftChar_)
        SetLeftChar(ClampToInteger(column));
    else if (column > Int64{leftChar_} + charsInWindow_)
        SetLeftChar(ClampToInteger(column - charsInWindow_ + 1));
    else
        SetLeftChar(leftChar_);
    if (ForceToMiddle) {
        // A caret anywhere above the window is centred, the line just above it included.
        if (caretY_ < topLine_)
            SetTopLine(std::max(caretY_ - linesInWindow_ / 2 + 1, 1));
        else if (Int64{caretY_} > Int64{topLine_} + linesInWindow_ - 2)
            SetTopLine(ClampToInteger(Int64{caretY_} - (linesInWindow_ - 1) + linesInWindow_ / 2));
    } else if (caretY_ < topLine_) {
        SetTopLine(caretY_);
    } else if (Int64{caretY_} > Int64{topLine_} + std::max(1, linesInWindow_) - 1) {
        SetTopLine(ClampToInteger(Int64{caretY_} - (linesInWindow_ - 1)));
    } else {
        SetTopLine(topLine_);
    }
}

// ---- Scroll bars -----------------------------------------------------------------------------

Integer TCustomQvEdit::WidestColumn()
{
    const Int64 lineEnd = Int64{lines_->GetLengthOfLongestLine()} + 1;
    return ClampToInteger(std::max<Int64>(maxLineWidth_, lineEnd));
}

Integer TCustomQvEdit::HorzScrollRange()
{
    if (options_.Contains(eoScrollPastEol)) {
        // Only a line longer than the maximum width takes the view beyond it; then the bar
        // spans that line too, so that the thumb shows where the view is.
        if (!options_.Contains(eoAutoSizeMaxLineWidth) &&
            Int64{leftChar_} + charsInWindow_ - 1 > maxLineWidth_)
            return WidestColumn();
        return maxLineWidth_;
    }
    return std::max(lines_->GetLengthOfLongestLine(), 1);
}

void TCustomQvEdit::UpdateScrollBars()
{
    if (!HandleAllocated() || paintLock_ != 0) {
        stateFlags_.Include(sfScrollbarChanged);
        return;
    }
    // Showing or hiding a bar resizes the client area, and the resize updates the bars
    // again from inside this call; the outer call then has nothing left to do.
    if (updatingScrollBars_) {
        scrollBarsAgain_ = true;
        return;
    }
    updatingScrollBars_ = true;
    try {
        // A bar that appears may take the room that made it necessary: at most three
        // rounds, so that such a text does not flicker forever.
        for (int round = 0; round < 3; ++round) {
            scrollBarsAgain_ = false;
            ApplyScrollBars();
            if (!scrollBarsAgain_)
                break;
        }
    } catch (...) {
        updatingScrollBars_ = false;
        throw;
    }
    updatingScrollBars_ = false;
}

void TCustomQvEdit::ApplyScrollBars()
{
    stateFlags_.Exclude(sfScrollbarChanged);
    HWND handle = Handle();
    if (scrollBars_ == ssNone) {
        ShowScrollBar(handle, SB_BOTH, FALSE);
        return;
    }
    // A bar the style leaves out goes, as it may have been shown under another style.
    if (scrollBars_ == ssVertical)
        ShowScrollBar(handle, SB_HORZ, FALSE);
    else if (scrollBars_ == ssHorizontal)
        ShowScrollBar(handle, SB_VERT, FALSE);
    const bool hideShow = options_.Contains(eoHideShowScrollbars);
    const bool disableArrows = options_.Contains(eoDisableScrollArrows);

    if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) {
        const Integer range = HorzScrollRange();
        const SCROLLINFO info = BarInfo(range, charsInWindow_, leftChar_, !hideShow);
        SetScrollInfo(handle, SB_HORZ, &info, TRUE);
        const bool fits = range <= charsInWindow_;
        ShowScrollBar(handle, SB_HORZ, !(hideShow && range <= MaxScroll && fits));
        const bool atLeft = leftChar_ < 2;
        const bool atRight = Int64{leftChar_} + charsInWindow_ - 1 >= range;
        if (disableArrows || fits) {
            if (atLeft && atRight) {
                EnableScrollBar(handle, SB_HORZ, ESB_DISABLE_BOTH);
            } else {
                EnableScrollBar(handle, SB_HORZ, ESB_ENABLE_BOTH);
                if (atLeft)
                    EnableScrollBar(handle, SB_HORZ, ESB_DISABLE_LEFT);
                else if (atRight)
                    EnableScrollBar(handle, SB_HORZ, ESB_DISABLE_RIGHT);
            }
        } else {
            EnableScrollBar(handle, SB_HORZ, ESB_ENABLE_BOTH);
        }
    }

    if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) {
        const Int64 count = lines_->GetCount();
        const Integer range = ClampToInteger(
            count + (options_.Contains(eoScrollPastEof) ? linesInWindow_ - 1 : 0));
        const SCROLLINFO info = BarInfo(std::max(1, range), linesInWindow_, topLine_, !hideShow);
        SetScrollInfo(handle, SB_VERT, &info, TRUE);
        const bool fits = range <= linesInWindow_;
        ShowScrollBar(handle, SB_VERT, !(hideShow && range <= MaxScroll && fits));
        if (!disableArrows && range > linesInWindow_) {
            EnableScrollBar(handle, SB_VERT, ESB_ENABLE_BOTH);
        } else if (topLine_ < 2 && fits) {
            EnableScrollBar(handle, SB_VERT, ESB_DISABLE_BOTH);
        } else {
            EnableScrollBar(handle, SB_VERT, ESB_ENABLE_BOTH);
            if (topLine_ < 2)
                EnableScrollBar(handle, SB_VERT, ESB_DISABLE_UP);
            else if (count - topLine_ - linesInWindow_ + 1 == 0)
                EnableScrollBar(handle, SB_VERT, ESB_DISABLE_DOWN);
        }
    }
}

// ---- Scroll messages -------------------------------------------------------------------------

void TCustomQvEdit::WMHScroll(TWMScroll& Message)
{
    const Integer page = charsInWindow_ - (options_.Contains(eoScrollByOneLess) ? 1 : 0);
    switch (Message.ScrollCode()) {
    case SB_LINELEFT:
        SetLeftChar(leftChar_ - 1);
        break;
    case SB_LINERIGHT:
        SetLeftChar(ClampToInteger(Int64{leftChar_} + 1));
        break;
    case SB_PAGELEFT:
        SetLeftChar(ClampToInteger(Int64{leftChar_} - page));
        break;
    case SB_PAGERIGHT:
        SetLeftChar(ClampToInteger(Int64{leftChar_} + page));
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        const Integer range = HorzScrollRange();
        const Integer pos = static_cast<Word>(Message.Pos());
        SetLeftChar(range > MaxScroll ? MulDiv(range, pos, MaxScroll) : pos);
        break;
    }
    case SB_LEFT:
        SetLeftChar(1);
        break;
    case SB_RIGHT:
        SetLeftChar(ClampToInteger(Int64{maxLineWidth_} - charsInWindow_ + 1));
        break;
    default:
        break;
    }
    Message.Result() = 0;
    if (OnScroll)
        OnScroll(this, sbHorizontal);
}

void TCustomQvEdit::WMVScroll(TWMScroll& Message)
{
    const Integer page = linesInWindow_ - (options_.Contains(eoScrollByOneLess) ? 1 : 0);
    switch (Message.ScrollCode()) {
    case SB_LINEUP:
        SetTopLine(topLine_ - 1);
        break;
    case SB_LINEDOWN:
        SetTopLine(ClampToInteger(Int64{topLine_} + 1));
        break;
    case SB_PAGEUP:
        SetTopLine(ClampToInteger(Int64{topLine_} - page));
        break;
    case SB_PAGEDOWN:
        SetTopLine(ClampToInteger(Int64{topLine_} + page));
        break;
    case SB_TOP:
        SetTopLine(1);
        break;
    case SB_BOTTOM:
        SetTopLine(lines_->GetCount());
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        const Integer count = lines_->GetCount();
        const Integer pos = static_cast<Word>(Message.Pos());
        if (count > MaxScroll)
            SetTopLine(MulDiv(ClampToInteger(Int64{count} + linesInWindow_ - 1), pos, MaxScroll));
        else
            SetTopLine(pos);
        if (options_.Contains(eoShowScrollHint))
            ShowScrollHint();
        break;
    }
    case SB_ENDSCROLL:
        if (options_.Contains(eoShowScrollHint))
            HideScrollHint();
        break;
    default:
        break;
    }
    Message.Result() = 0;
    Update();
    if (OnScroll)
        OnScroll(this, sbVertical);
}

std::string TCustomQvEdit::ScrollHintText() const
{
    if (scrollHintFormat_ == shfTopToBottom) {
        const Int64 last = Int64{topLine_} +
                           std::min<Int64>(linesInWindow_, Int64{lines_->GetCount()} - topLine_);
        return Format(LoadResString(QVS_ScrollInfoFmt), {topLine_, last});
    }
    return Format(LoadResString(QVS_ScrollInfoFmtTop), {topLine_});
}

void TCustomQvEdit::ShowScrollHint()
{
    THintWindow* hint = ScrollHintWindow();
    hint->SetColor(scrollHintColor_);
    const std::string text = ScrollHintText();
    TRect rect = hint->CalcHintRect(200, text);
    const Integer width = rect.Width();
    const Integer height = rect.Height();
    TPoint at{ClientWidth() - width - 4, 10};
    if (options_.Contains(eoScrollHintFollows)) {
        SCROLLINFO info;
        info.fMask = SIF_ALL;
        GetScrollInfo(Handle(), SB_VERT, &info);
        const Integer arrow = GetSystemMetrics(SM_CYVSCROLL);
        const double track = info.nMax > 0 ? static_cast<double>(info.nTrackPos) / info.nMax : 0.0;
        at.Y = static_cast<Integer>(std::lround((ClientHeight() - 2.0 * arrow) * track)) +
               height / 2 + arrow;
    }
    at = ClientToScreen(at);
    rect = Rect(at.X, at.Y, at.X + width, at.Y + height);
    hint->ActivateHint(rect, text);
    hint->Update();
}

void TCustomQvEdit::HideScrollHint()
{
    ScrollHintWindow()->ReleaseHandle();
}

// ---- Wheel -----------------------------------------------------------------------------------

void TCustomQvEdit::WMMouseWheel(TWMMouseWheel& Message)
{
    if (HasState(csDesigning))
        return;
    Integer linesPerNotch;
    if ((Message.Keys() & MK_CONTROL) != 0) {
        linesPerNotch = options_.Contains(eoHalfPageScroll) ? linesInWindow_ / 2 : linesInWindow_;
    } else {
        UINT systemLines = 3;
        SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &systemLines, 0);
        linesPerNotch = systemLines == WHEEL_PAGESCROLL || systemLines > static_cast<UINT>(linesInWindow_)
                            ? linesInWindow_
                            : static_cast<Integer>(systemLines);
    }
    mouseWheelAccumulator_ += Message.WheelDelta();
    const Integer notches = mouseWheelAccumulator_ / WHEEL_DELTA;
    mouseWheelAccumulator_ %= WHEEL_DELTA;
    SetTopLine(ClampToInteger(Int64{topLine_} - Int64{notches} * linesPerNotch));
    Update();
    if (OnScroll)
        OnScroll(this, sbVertical);
}

// The editor's answers to its buffer's notices: the highlighter range stored at the end of
// each line is rescanned from a changed line until it agrees with what is stored, the
// changed lines are repainted, and a batch of changes ends with the selection collapsed to
// the caret and one repaint of everything collected meanwhile. Lines added, inserted or
// deleted in a batch (a whole file loaded is one) are not repainted one by one: the batch
// remembers the first of them and repaints from there down when it ends. Indexes are
// 0-based.
#include "qvedit/editor/QvEdit.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace {

constexpr Integer ToTheEnd = std::numeric_limits<Integer>::max();

}  // namespace

// ---- Range rescan ----------------------------------------------------------------------------

Integer TCustomQvEdit::ScanFrom(Integer Index)
{
    return ScanRanges(Index, Index - 1);
}

Integer TCustomQvEdit::ScanRanges(Integer Index, Integer Through)
{
    Integer result = std::max(Index, 0);
    const Integer count = lines_->GetCount();
    if (result >= count)
        return result;
    if (result > 0)
        highlighter_->SetRange(lines_->GetRange(result - 1));
    else
        highlighter_->ResetRange();
    // The highlighter reads the line in place: it lives until the next SetLine.
    std::string line;
    for (;;) {
        line.assign(lines_->GetView(result));
        highlighter_->ScanLine(line, result);
        // The buffer keeps 32 bits of range per line.
        const auto range = static_cast<Integer>(highlighter_->GetRange());
        if (result > Through && lines_->GetRange(result) == range)
            break;
        lines_->PutRange(result, range);
        if (++result == count) {
            --result;
            break;
        }
    }
    return result;
}

Integer TCustomQvEdit::LastLineMadeByInsertLines(Integer Index) const
{
    Integer last = Index - 1;
    while (last + 1 < lines_->GetCount() && lines_->GetFlags(last + 1).Empty())
        ++last;
    return last;
}

void TCustomQvEdit::ListScanRanges(TObject*)
{
    if (highlighter_ == nullptr || lines_->GetCount() == 0)
        return;
    highlighter_->ResetRange();
    const Integer count = lines_->GetCount();
    std::string line;
    for (Integer i = 0; i < count; ++i) {
        line.assign(lines_->GetView(i));
        highlighter_->ScanLine(line, i);
        lines_->PutRange(i, static_cast<Integer>(highlighter_->GetRange()));
    }
}

// ---- Per-line notices ------------------------------------------------------------------------

// Lines that come outside a change of this editor (another editor on the buffer made
// them) are no first line of this editor's edit.
void TCustomQvEdit::ForgetEmptyStartUnlessEditing()
{
    if (paintLock_ == 0)
        editStartedEmpty_ = false;
}

void TCustomQvEdit::ListAdded(Integer Index, const std::string&)
{
    ForgetEmptyStartUnlessEditing();
    ShiftPendingTrims(Index);
    // Lines made by InsertLines come with range 0, which need not be their range:
    // stopping on one of them would leave the lines after them with ranges that followed
    // from the line before the insertion. So the scan goes through them all.
    if (highlighter_ != nullptr)
        ScanRanges(Index, LastLineMadeByInsertLines(Index));
    InvalidateLinesFrom(Index + 1);
    GrowMaxLineWidthFor(Index);
}

void TCustomQvEdit::ListInserted(Integer Index, const std::string&)
{
    ForgetEmptyStartUnlessEditing();
    ShiftPendingTrims(Index);
    if (highlighter_ != nullptr && lines_->GetCount() > 0)
        ScanFrom(Index);
    InvalidateLinesFrom(Index + 1);
    GrowMaxLineWidthFor(Index);
}

void TCustomQvEdit::ListDeleted(Integer Index)
{
    ShiftPendingTrims(Index);
    if (highlighter_ != nullptr && lines_->GetCount() > 0)
        ScanFrom(Index);
    InvalidateLinesFrom(Index + 1);
    // Another editor on the buffer, or a program, took the lines: the caret, selection and
    // view may point past the end now. They are kept inside when the batch ends.
    linesWent_ = true;
    if (!stateFlags_.Contains(sfLinesChanging))
        KeepPositionsAfterLinesWent();
}

void TCustomQvEdit::ListPutted(Integer Index, const std::string&)
{
    if (highlighter_ != nullptr)
        InvalidateLines(Index + 1, ScanFrom(Index) + 1);
    else
        InvalidateLines(Index + 1, Index + 1);
    GrowMaxLineWidthFor(Index);
}

void TCustomQvEdit::ListCleared(TObject*)
{
    ++caretMoves_;  // a new text: no find put the caret there
    pendingTrims_.clear();
    ClearUndo();
    invalidateRect_ = TRect{};
    Invalidate();
    SetCaretXY(TPoint{1, 1});
    SetTopLine(1);
    SetLeftChar(1);
    statusChanges_.Include(scAll);
}

// Asking for the client's width costs a look at the scroll bars' metrics: once per batch,
// not once per line of a loaded file.
void TCustomQvEdit::InvalidateLinesFrom(Integer Line)
{
    if (stateFlags_.Contains(sfLinesChanging)) {
        invalidFromLine_ = invalidFromLine_ == 0 ? Line : std::min(invalidFromLine_, Line);
        return;
    }
    InvalidateLines(Line, ToTheEnd);
    InvalidateGutterLines(Line, ToTheEnd);
}

void TCustomQvEdit::GrowMaxLineWidthFor(Integer Index)
{
    if (!options_.Contains(eoAutoSizeMaxLineWidth))
        return;
    const Integer length = lines_->GetExpandedStringLength(Index);
    if (length > maxLineWidth_)
        SetMaxLineWidth(length);
}

// ---- Batches ---------------------------------------------------------------------------------

void TCustomQvEdit::LinesChanging(TObject*)
{
    stateFlags_.Include(sfLinesChanging);
}

void TCustomQvEdit::LinesChanged(TObject*)
{
    stateFlags_.Exclude(sfLinesChanging);
    KeepPositionsAfterLinesWent();
    const Integer invalidFrom = std::exchange(invalidFromLine_, 0);
    if (!HandleAllocated())
        return;
    UpdateScrollBars();
    SetBlockBegin(GetCaretXY());
    if (invalidFrom != 0)
        InvalidateLinesFrom(invalidFrom);
    if (!IsRectEmpty(invalidateRect_))
        InvalidateRect(invalidateRect_, false);
    invalidateRect_ = TRect{};
    if (gutter_->GetShowLineNumbers() && gutter_->GetAutoSize())
        gutter_->AutoSizeDigitCount(lines_->GetCount());
    if (!options_.Contains(eoScrollPastEof))
        SetTopLine(topLine_);
}

// The editor's answers to its buffer's notices: the highlighter range stored at the end of
// each line is rescanned from the changed lines until it agrees with what is stored, the
// changed lines are repainted, and a batch of changes ends with the selection collapsed to
// the caret and one repaint of everything collected meanwhile. Lines added, inserted or
// deleted in a batch (a whole file loaded is one) are not repainted one by one: the batch
// remembers the first of them and repaints from there down when it ends. Indexes are
// 0-based.
//
// A change does not rescan line by line as its lines come: it collects the span of lines
// it touched, and the span is rescanned once when the change ends (the outermost paint
// lock, or the buffer's batch for a change from outside): through the span whatever its
// lines store, then on until a stored range agrees. Added lines are marked NoRange, so that
// the rescan never stops on one of them. While a change only puts lines, the runs of lines
// it put are kept too: the rescan scans each run through and goes past it only until a
// stored range agrees, so that the unchanged lines between the runs (the lines without a
// match of a replace all) are not scanned. A span holding a very long
// line is not rescanned when the change ends but when a range at or after it is read:
// keys that come while it waits share one rescan. The buffer keeps one stale mark for all
// the editors that show it, and asks its owner when a range past the mark is read; the
// owner has every editor on the buffer whose span waits rescan it.
//
// A new highlighter (or new settings of one) gives every line a new range, but nothing is
// scanned for it then: the lines from the editor's unscanned mark on (the first line, at
// first) have never been scanned with it, and the buffer's stale mark stands there too. A
// read of a range at or after the mark scans from it through the line read and moves the
// mark past that line, so opening a file scans the lines its first paint shows, and a jump
// to the end scans the text once. The mark moves with the lines added or deleted before it;
// no other scan goes past it (the lines there are scanned from it in any case), so a change
// above it costs what it costs in a text scanned through.
#include "qvedit/editor/QvEdit.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace {

constexpr Integer ToTheEnd = std::numeric_limits<Integer>::max();

// Above this many bytes of changed text the rescan waits until a range is read.
constexpr std::size_t LongRescanBytes = 256 * 1024;

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
    // The lines past an unscanned mark are scanned from it when they are read.
    const Integer unscanned = FirstUnscannedLine();
    if (result >= unscanned)
        return result - 1;
    if (result > 0)
        highlighter_->SetRange(lines_->StoredRange(result - 1));
    else
        highlighter_->ResetRange();
    // The highlighter reads the line in place: it lives until the next SetLine.
    std::string scratch;
    for (;;) {
        const std::string_view line = lines_->GetTerminatedView(result, scratch);
        ScanLineForRange(line, result);
        // The buffer keeps 32 bits of range per line.
        const auto range = static_cast<Integer>(highlighter_->GetRange());
        if (result > Through && lines_->StoredRange(result) == range)
            break;
        lines_->StoreRange(result, range);
        if (++result == count || result == unscanned) {
            --result;
            break;
        }
    }
    return result;
}

void TCustomQvEdit::ScanLineForRange(std::string_view Line, Integer Index)
{
    ++rangeLinesScanned_;
    if (Line.size() < CheckpointedLine || !highlighter_->CanResume()) {
        highlighter_->ScanLine(Line, Index);
        rangeBytesScanned_ += Line.size();
        return;
    }
    // The end range needs the tokens from the last checkpoint that holds; the checkpoints
    // after it are made anew on the way.
    TQvLineCheckpoints& points =
        lineCheckpoints_.For(lines_, Index, false, highlighter_, highlighter_->GetRange());
    const Integer from = points.Begin(*highlighter_, Line, Index, std::numeric_limits<Integer>::max(),
                                      lines_->ChangeStamp());
    while (!highlighter_->GetEol()) {
        points.Passed();
        highlighter_->Next();
    }
    rangeBytesScanned_ += Line.size() - static_cast<std::size_t>(from);
}

void TCustomQvEdit::ListScanRanges(TObject*)
{
    ForgetRangeChanges();
    ForgetUnscannedLines();
    if (highlighter_ == nullptr || lines_->GetCount() == 0)
        return;
    // Another highlighter, or new settings of this one: no checkpoint is of use.
    lineCheckpoints_.Clear();
    rangesUnscannedFrom_ = 0;
    if (RangesCanWait()) {
        MarkWaitingRangesStale();
        // Lines painted before are painted anew, in the ranges their reading scans.
        InvalidateLinesFrom(1);
    } else {
        ScanUnscannedLines(lines_->GetCount() - 1);
    }
}

Integer TCustomQvEdit::FirstUnscannedLine() const
{
    Integer first = TQvEditStringList::NoStaleRanges;
    ForEachEditorOnTheBuffer([&](const TCustomQvEdit& E) { first = std::min(first, E.rangesUnscannedFrom_); });
    return first;
}

// Scans from the unscanned mark through line Through (every line whatever it stores: none
// was scanned with this highlighter) and moves the mark past it. Another editor's mark
// before Through stops the scan there; that editor scans on from it.
void TCustomQvEdit::ScanUnscannedLines(Integer Through)
{
    const Integer from = rangesUnscannedFrom_;
    const Integer count = lines_->GetCount();
    if (from > Through)
        return;
    rangesUnscannedFrom_ = Through + 1 < count ? Through + 1 : TQvEditStringList::NoStaleRanges;
    if (highlighter_ != nullptr)
        ScanRanges(from, Through);
}

void TCustomQvEdit::ForgetUnscannedLines()
{
    if (std::exchange(rangesUnscannedFrom_, TQvEditStringList::NoStaleRanges) != TQvEditStringList::NoStaleRanges)
        MarkWaitingRangesStale();
}

// The lines from the unscanned mark on are scanned now: before the editor shows another
// buffer, whose lines the mark does not count.
void TCustomQvEdit::ScanAllUnscannedLines()
{
    if (rangesUnscannedFrom_ == TQvEditStringList::NoStaleRanges)
        return;
    ScanUnscannedLines(lines_->GetCount() - 1);
    rangesUnscannedFrom_ = TQvEditStringList::NoStaleRanges;
    MarkWaitingRangesStale();
}

// A notice of a change at Index: as many lines as the buffer gained since the last notice
// were added there (none for a put; it lost lines when they were deleted). The span only
// grows and moves with the lines after it; lines it covers in excess cost a scan each.
void TCustomQvEdit::NoteRangeChange(Integer Index)
{
    const Integer count = lines_->GetCount();
    const Integer added = count - rangesLineCount_;
    rangesLineCount_ = count;
    // Lines added or deleted before the unscanned mark move it; the buffer's mark follows
    // it up, and a mark left below it costs no scan.
    if (Index < rangesUnscannedFrom_ && rangesUnscannedFrom_ != TQvEditStringList::NoStaleRanges) {
        rangesUnscannedFrom_ = std::max(rangesUnscannedFrom_ + added, Index);
        lines_->SetStaleRangesFrom(std::min(lines_->GetStaleRangesFrom(), rangesUnscannedFrom_));
    }
    if (highlighter_ == nullptr)
        return;
    NotePutRun(Index, added);
    const Integer last = Index + std::max(added, 1) - 1;
    // Lines InsertLines made hold range 0, which need not be theirs: the rescan must not
    // stop on one of them. (Loaded and inserted lines hold NoRange already.)
    for (Integer i = Index; i < Index + added; ++i)
        if (lines_->StoredRange(i) != NoRange)
            lines_->StoreRange(i, NoRange);
    if (rangesFirst_ < 0) {
        rangesFirst_ = Index;
        rangesLast_ = last;
    } else {
        if (rangesLast_ >= Index)
            rangesLast_ = std::max(rangesLast_ + added, Index);
        rangesFirst_ = std::min(rangesFirst_, Index);
        rangesLast_ = std::max(rangesLast_, last);
    }
    if (rangesWaiting_)
        lines_->SetStaleRangesFrom(std::min(lines_->GetStaleRangesFrom(), rangesFirst_));
}

// A line added or deleted moves the runs after it: the span is then rescanned whole.
void TCustomQvEdit::NotePutRun(Integer Index, Integer Added)
{
    if (!rangesOnlyPut_)
        return;
    if (Added != 0) {
        rangesOnlyPut_ = false;
        rangesPut_.clear();
        return;
    }
    if (!rangesPut_.empty()) {
        auto& [first, last] = rangesPut_.back();
        if (Index >= first - 1 && Index <= last + 1) {
            first = std::min(first, Index);
            last = std::max(last, Index);
            return;
        }
    }
    rangesPut_.emplace_back(Index, Index);
}

void TCustomQvEdit::ForgetRangeChanges()
{
    rangesFirst_ = -1;
    rangesLast_ = -1;
    rangesOnlyPut_ = true;
    // A large change's runs are not kept for the next one.
    if (rangesPut_.capacity() > 4096)
        std::vector<std::pair<Integer, Integer>>().swap(rangesPut_);
    else
        rangesPut_.clear();
    rangesLineCount_ = lines_->GetCount();
    if (std::exchange(rangesWaiting_, false))
        MarkWaitingRangesStale();
}

void TCustomQvEdit::MarkWaitingRangesStale()
{
    Integer first = TQvEditStringList::NoStaleRanges;
    ForEachEditorOnTheBuffer([&](const TCustomQvEdit& E) {
        if (E.rangesWaiting_)
            first = std::min(first, E.rangesFirst_);
        first = std::min(first, E.rangesUnscannedFrom_);
    });
    lines_->SetStaleRangesFrom(first);
}

// The buffer's reader reaches its owner, which must be one of the editors on it and still
// the buffer's handler.
bool TCustomQvEdit::RangesCanWait() const
{
    const TCustomQvEdit& owner = bufferOwner_ != nullptr ? *bufferOwner_ : *this;
    return lines_ == owner.ownLines_.get() &&
           lines_->OnRangesWanted ==
               TStringListIndexEvent(const_cast<TCustomQvEdit*>(&owner), &TCustomQvEdit::RangesWanted);
}

// A change ended: its span is rescanned now, or marked in the buffer to be rescanned when a
// range after it is read.
void TCustomQvEdit::RangeChangesEnded()
{
    if (rangesFirst_ < 0)
        return;
    if (highlighter_ != nullptr && RangesCanWait()) {
        std::size_t bytes = 0;
        const Integer last = std::min(rangesLast_, lines_->GetCount() - 1);
        for (Integer i = rangesFirst_; i <= last && bytes <= LongRescanBytes; ++i)
            bytes += lines_->GetView(i).size();
        if (bytes > LongRescanBytes) {
            rangesWaiting_ = true;
            lines_->SetStaleRangesFrom(std::min(lines_->GetStaleRangesFrom(), rangesFirst_));
            // The lines below may take other colours once the rescan runs.
            InvalidateLinesFrom(rangesFirst_ + 1);
            return;
        }
    }
    RescanRangeChanges();
}

// A notice outside any change (a program changing the buffer line by line) is rescanned
// at once.
void TCustomQvEdit::RangeChangesEndedUnlessChanging()
{
    if (paintLock_ == 0 && !stateFlags_.Contains(sfLinesChanging) && !AnotherEditorIsChanging())
        RangeChangesEnded();
}

// A range of this editor's own buffer, of line Wanted, is read at or after the stale mark:
// the lines from a waiting span down were invalidated when it began to wait, and may be
// being painted now. The spans and unscanned marks up to Wanted are taken in the order of
// their lines, so that each line is scanned once; those after it wait on.
void TCustomQvEdit::RangesWanted(Integer Wanted)
{
    // The editors on the buffer: this one, unless it shows another buffer meanwhile, and
    // those that share it.
    const TCustomQvEdit* onTheBuffer = lines_ == ownLines_.get() ? this : nullptr;
    if (onTheBuffer == nullptr && !sharers_.empty())
        onTheBuffer = sharers_.front();
    Integer stale = TQvEditStringList::NoStaleRanges;
    while (onTheBuffer != nullptr) {
        TCustomQvEdit* next = nullptr;
        bool span = false;
        Integer first = Wanted + 1;
        stale = TQvEditStringList::NoStaleRanges;
        onTheBuffer->ForEachEditorOnTheBuffer([&](const TCustomQvEdit& E) {
            if (E.rangesWaiting_ && E.rangesFirst_ < first) {
                next = const_cast<TCustomQvEdit*>(&E);
                span = true;
                first = E.rangesFirst_;
            }
            if (E.rangesUnscannedFrom_ < first) {
                next = const_cast<TCustomQvEdit*>(&E);
                span = false;
                first = E.rangesUnscannedFrom_;
            }
            stale = std::min({stale, E.rangesWaiting_ ? E.rangesFirst_ : stale, E.rangesUnscannedFrom_});
        });
        if (next == nullptr)
            break;
        if (span)
            next->RescanRangeChanges(false);
        else
            next->ScanUnscannedLines(Wanted);
    }
    ownLines_->SetStaleRangesFrom(stale);
}

void TCustomQvEdit::RescanRangeChanges(bool InvalidateScanned)
{
    if (rangesFirst_ < 0) {
        ForgetRangeChanges();
        return;
    }
    const Integer first = rangesFirst_;
    const Integer last = std::min(rangesLast_, lines_->GetCount() - 1);
    std::vector<std::pair<Integer, Integer>> runs;
    if (rangesOnlyPut_)
        runs.swap(rangesPut_);
    ForgetRangeChanges();
    if (highlighter_ == nullptr)
        return;
    // Through the span whatever is stored, then on until a stored range agrees.
    const Integer end = runs.empty() ? ScanRanges(first, last - 1) : ScanPutRuns(runs, last);
    if (InvalidateScanned)
        InvalidateLines(first + 1, end + 1);
}

// The lines between two runs were not changed: where the range a run ends in agrees with
// what its last line stores, they keep theirs.
Integer TCustomQvEdit::ScanPutRuns(std::vector<std::pair<Integer, Integer>>& Runs, Integer Last)
{
    // An undo puts its lines from the bottom up.
    if (std::is_sorted(Runs.rbegin(), Runs.rend()))
        std::reverse(Runs.begin(), Runs.end());
    else if (!std::is_sorted(Runs.begin(), Runs.end()))
        std::sort(Runs.begin(), Runs.end());
    Integer end = -1;
    for (const auto& [first, last] : Runs) {
        if (first > Last)
            break;
        const Integer through = std::min(last, Last);
        if (through <= end)
            continue;
        end = ScanRanges(std::max(first, end + 1), through - 1);
    }
    return end;
}

// ---- Per-line notices ------------------------------------------------------------------------

// Lines that come outside a change of this editor (another editor on the buffer made
// them) are no first line of this editor's edit.
void TCustomQvEdit::ForgetEmptyStartUnlessEditing()
{
    if (paintLock_ == 0)
        editStartedEmpty_ = false;
}

void TCustomQvEdit::ListAdded(Integer Index, std::string_view)
{
    ForgetEmptyStartUnlessEditing();
    ShiftPendingTrims(Index);
    NoteRangeChange(Index);
    InvalidateLinesFrom(Index + 1);
    GrowMaxLineWidthFor(Index);
    RangeChangesEndedUnlessChanging();
}

void TCustomQvEdit::ListInserted(Integer Index, std::string_view)
{
    ForgetEmptyStartUnlessEditing();
    ShiftPendingTrims(Index);
    NoteRangeChange(Index);
    InvalidateLinesFrom(Index + 1);
    GrowMaxLineWidthFor(Index);
    RangeChangesEndedUnlessChanging();
}

void TCustomQvEdit::ListDeleted(Integer Index)
{
    ShiftPendingTrims(Index);
    NoteRangeChange(Index);
    RangeChangesEndedUnlessChanging();
    InvalidateLinesFrom(Index + 1);
    // Another editor on the buffer, or a program, took the lines: the caret, selection and
    // view may point past the end now. They are kept inside when the batch ends.
    linesWent_ = true;
    if (!stateFlags_.Contains(sfLinesChanging))
        KeepPositionsAfterLinesWent();
}

void TCustomQvEdit::ListPutted(Integer Index, std::string_view)
{
    NoteRangeChange(Index);
    InvalidateLines(Index + 1, Index + 1);
    GrowMaxLineWidthFor(Index);
    RangeChangesEndedUnlessChanging();
}

void TCustomQvEdit::ListCleared(TObject*)
{
    ++caretMoves_;  // a new text: no find put the caret there
    pendingTrims_.clear();
    ForgetRangeChanges();
    ForgetUnscannedLines();
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
    // Another editor on the buffer making a change (a replace all, an undo step) ends a
    // batch of the buffer for every line it puts: this editor waits for the change's end
    // (see ChangeEndedForTheOthers) rather than look for its longest line and rescan each
    // time.
    if (paintLock_ == 0 && AnotherEditorIsChanging()) {
        linesChangedLater_ = true;
        return;
    }
    linesChangedLater_ = false;
    if (paintLock_ == 0)
        RangeChangesEnded();
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

bool TCustomQvEdit::AnotherEditorIsChanging() const
{
    bool changing = false;
    ForEachEditorOnTheBuffer([&](const TCustomQvEdit& E) { changing = changing || (&E != this && E.paintLock_ > 0); });
    return changing;
}

void TCustomQvEdit::ChangeEndedForTheOthers()
{
    if (bufferOwner_ == nullptr && sharers_.empty())
        return;
    std::vector<TCustomQvEdit*> waiting;
    ForEachEditorOnTheBuffer([&](const TCustomQvEdit& E) {
        if (&E != this && E.linesChangedLater_)
            waiting.push_back(const_cast<TCustomQvEdit*>(&E));
    });
    for (TCustomQvEdit* e : waiting)
        if (e->linesChangedLater_ && !e->stateFlags_.Contains(sfLinesChanging))
            e->LinesChanged(lines_);
}

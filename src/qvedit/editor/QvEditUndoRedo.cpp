// Undo and redo: which records one step takes together, how each change reason is reversed
// and applied again, how group breaks travel between the two lists, and word wrap.
#include "qvedit/editor/QvEdit.h"
#include "qvedit/editor/QvEditUndoRecords.h"

#include <algorithm>

using namespace QvUndoRecords;

// An undo or redo step under way: the records that change one line go to the working line,
// which the step puts when its records are done; when an exception ends the step, here.
class TCustomQvEdit::TReplayStep {
public:
    explicit TReplayStep(TCustomQvEdit& Editor) : editor_(Editor) { editor_.stepReplaying_ = true; }
    ~TReplayStep()
    {
        editor_.stepReplaying_ = false;
        try {
            editor_.PutWorkingLine();
        } catch (...) {
            editor_.workingLine_.Clear();
        }
    }
    TReplayStep(const TReplayStep&) = delete;
    TReplayStep& operator=(const TReplayStep&) = delete;

private:
    TCustomQvEdit& editor_;
};

bool TCustomQvEdit::GetCanUndo() const
{
    return !GetReadOnly() && undoList_->CanUndo();
}

bool TCustomQvEdit::GetCanRedo() const
{
    return !GetReadOnly() && redoList_->CanUndo();
}

// ---- One user step -------------------------------------------------------------------------

void TCustomQvEdit::Undo()
{
    if (GetReadOnly())
        return;
    // The records of a step scroll and invalidate once, when the step is done.
    TQvViewBatchScope batch(*this);
    TReplayStep replay(*this);
    MoveGroupBreak(*undoList_, *redoList_);
    // Another break below it (around a step that changed nothing): passing the first is
    // the whole step, so that neither is lost.
    if (undoList_->LastChangeReason() == crGroupBreak) {
        UpdateModifiedStatus();
        return;
    }
    // The blanks a change trimmed come back first, then the change as it made its text.
    if (const TQvEditUndoItem* top = undoList_->PeekItem(); top != nullptr && top->ChangeReason == crTrailingBlanks) {
        const Integer number = top->ChangeNumber;
        TBlockNumberScope redoNumber(*redoList_, number);
        while ((top = undoList_->PeekItem()) != nullptr && top->ChangeReason == crTrailingBlanks &&
               top->ChangeNumber == number)
            UndoItem();
        if (top == nullptr || top->ChangeNumber != number)
            return;
    }
    const TQvChangeReason lastReason = undoList_->LastChangeReason();
    const bool bracketed = IsBracketEnd(lastReason);
    const auto matchingBegin = static_cast<TQvChangeReason>(lastReason - 1);
    const TQvEditUndoItem* item = undoList_->PeekItem();
    if (item == nullptr) {
        // Only a group break was left: passing it leaves the saved state.
        UpdateModifiedStatus();
        return;
    }
    const Integer number = item->ChangeNumber;
    TQvUndoStep step(*item, undoList_->GetGroupUndo());
    TBlockNumberScope redoNumber(*redoList_, number);
    const Integer redoCount = redoList_->ItemCount();
    bool madeFirstLine = false;
    for (;;) {
        step.Took(item->ChangeReason);
        madeFirstLine = madeFirstLine || item->MadeFirstLine;
        UndoItem();
        item = undoList_->PeekItem();
        if (item == nullptr)
            break;
        if (bracketed ? item->ChangeReason == matchingBegin : !step.GoesOnWith(*item))
            break;
    }
    PutWorkingLine();
    if (bracketed && item != nullptr && item->ChangeReason == matchingBegin) {
        // A redone bracket gives its opening record the mark: redo made the first line
        // before that record went back on the list.
        madeFirstLine = madeFirstLine || item->MadeFirstLine;
        UndoItem();
        UpdateModifiedStatus();
    }
    if (madeFirstLine)
        TakeFirstLineAway(redoCount);
}

// The step undone gave a text without lines its first line: that line goes again, and the
// first record redo replays makes it again, also when the step put nothing in it.
void TCustomQvEdit::TakeFirstLineAway(Integer RedoCountBefore)
{
    if (lines_->Count() != 1 || !lines_->GetView(0).empty())
        return;
    lines_->Delete(0);
    InternalSetCaretXY(TPoint{1, 1});
    if (redoList_->ItemCount() > RedoCountBefore)
        redoList_->PeekItem()->MadeFirstLine = true;
}

void TCustomQvEdit::Redo()
{
    if (GetReadOnly())
        return;
    // The records of a step scroll and invalidate once, when the step is done.
    TQvViewBatchScope batch(*this);
    TReplayStep replay(*this);
    // An undone step that left nothing to redo (a paste of nothing) leaves a group break
    // on top: going back to the saved point is then the whole step.
    if (redoList_->LastChangeReason() == crGroupBreak) {
        MoveGroupBreak(*redoList_, *undoList_);
        UpdateModifiedStatus();
        return;
    }
    const TQvChangeReason lastReason = redoList_->LastChangeReason();
    const bool bracketed = IsBracketBegin(lastReason);
    const auto matchingEnd = static_cast<TQvChangeReason>(lastReason + 1);
    const TQvEditUndoItem* item = redoList_->PeekItem();
    if (item == nullptr)
        return;
    const Integer number = item->ChangeNumber;
    TQvUndoStep step(*item, redoList_->GetGroupUndo());
    {
        TBlockNumberScope undoNumber(*undoList_, number);
        for (;;) {
            step.Took(item->ChangeReason);
            RedoItem();
            // A redone line break runs a command that brackets its own records; the rest of
            // the step keeps the step's number.
            undoList_->SetBlockChangeNumber(number);
            item = redoList_->PeekItem();
            if (item == nullptr)
                break;
            if (bracketed ? item->ChangeReason == matchingEnd : !step.GoesOnWith(*item))
                break;
        }
        PutWorkingLine();
        if (bracketed && item != nullptr && item->ChangeReason == matchingEnd) {
            const Integer endNumber = item->ChangeNumber;
            RedoItem();
            // The blanks the change trimmed go with it.
            while ((item = redoList_->PeekItem()) != nullptr && item->ChangeReason == crTrailingBlanks &&
                   item->ChangeNumber == endNumber)
                RedoItem();
        }
    }
    MoveGroupBreak(*redoList_, *undoList_);
    UpdateModifiedStatus();
}

// ---- One record ---------------------------------------------------------------------------------

// The record taken becomes the redo record where there is one to make: it is not used after
// it has moved to the mirror.
void TCustomQvEdit::UndoItem()
{
    if (const TQvEditUndoItem* top = undoList_->PeekItem(); top != nullptr && TakesWorkingLine(*top, true)) {
        UndoOnWorkingLine();
        return;
    }
    PutWorkingLine();
    std::unique_ptr<TQvEditUndoItem> item = undoList_->PopItem();
    if (!item)
        return;
    TReplayFrame frame(*this, item->ChangeSelMode);
    const TQvChangeReason reason = item->ChangeReason;
    const TPoint start = item->ChangeStartPos;
    const TPoint end = item->ChangeEndPos;
    const TQvSelectionMode mode = item->ChangeSelMode;
    switch (reason) {
    case crInsert:
    case crPaste:
    case crDragDropInsert: {
        SetCaretAndSelection(start, start, end);
        std::string inserted = SelectedText(false);
        SetSelTextPrimitiveEx(mode, item->ChangeStr.c_str(), false);
        const bool putBack = !item->ChangeStr.empty();
        auto redo = Mirror(std::move(item), *redoList_, std::move(inserted));
        if (putBack)
            redo->RestoredEnd = GetCaretXY();
        PushMirror(*redoList_, std::move(redo));
        InternalSetCaretXY(start);
        break;
    }
    case crDeleteAfterCursor:
    case crDelete:
    case crSilentDelete:
    case crSilentDeleteAfterCursor:
    case crDeleteAll: {
        // Blanks up to the column are put back too: trimming may have taken them.
        const TPoint at = mode == smColumn ? TPoint{std::min(start.X, end.X), std::min(start.Y, end.Y)}
                                           : minPoint(start, end);
        TPoint restoredBegin = at;
        if (IsAfterCursorDelete(reason) && at.Y > lines_->Count() && lines_->Count() > 0) {
            // The deleted last line comes back after a line end of its own (a text without
            // lines had none to delete).
            const Integer last = lines_->Count();
            if (last >= 1)
                restoredBegin = TPoint{static_cast<Integer>(lines_->GetView(last - 1).size()) + 1, last};
            InternalSetCaretXY(TPoint{1, last});
            lines_->Add(std::string());
        }
        SetCaretAndSelection(at, at, at);
        SetSelTextPrimitiveEx(mode, item->ChangeStr.c_str(), false);
        const TPoint restoredEnd = GetCaretXY();
        const TPoint target = IsAfterCursorDelete(reason) ? start : end;
        if (reason == crSilentDelete || reason == crSilentDeleteAfterCursor)
            InternalSetCaretXY(target);
        else
            SetCaretAndSelection(target, start, end);
        // A stream put back is known exactly; line and column blocks are where the
        // record says.
        if (mode == smNormal) {
            // The record's text, which may be the whole file, moves over.
            std::string deleted = std::move(item->ChangeStr);
            auto redo = Mirror(std::move(item), *redoList_, std::string());
            redo->RestoredBegin = restoredBegin;
            redo->RestoredEnd = restoredEnd;
            redo->HasDeleted = true;
            redo->Deleted = std::move(deleted);
            PushMirror(*redoList_, std::move(redo));
        } else {
            redoList_->AddChange(reason, start, end, std::string(), mode);
        }
        if (reason == crDeleteAll) {
            InternalSetCaretXY(TPoint{1, 1});
            blockEnd_ = TPoint{1, 1};
        }
        EnsureCursorPosVisible();
        break;
    }
    case crLineBreak:
        UndoLineBreak(*item);
        break;
    case crIndent:
        redoList_->AddChange(reason, start, end, item->ChangeStr, mode);
        SetCaretAndSelection(end, start, end);
        break;
    case crUnindent: {
        redoList_->AddChange(reason, start, end, item->ChangeStr, mode);
        const Integer x = mode == smColumn ? std::min(start.X, end.X) : 1;
        InsertBlockEx(TPoint{x, start.Y}, TPoint{x, start.Y}, item->ChangeStr.c_str(), false);
        SetCaretAndSelection(start, start, end);
        break;
    }
    case crCaret:
    case crSelection:
        ReplaySelection(*item, *redoList_);
        break;
    case crWhiteSpaceAdd:
        SetCaretAndSelection(start, start, end);
        redoList_->AddChange(reason, start, end, SelectedText(false), mode);
        SetSelTextPrimitive(mode, item->ChangeStr.c_str());
        InternalSetCaretXY(start);
        break;
    case crWrap:
        SetWordWrap(false);
        break;
    case crUnWrap:
        SetWordWrap(true);
        break;
    case crTrailingBlanks:
        ReplayTrailingBlanks(*item, true);
        break;
    default:
        // Bracket markers go over as they are: a bracket with nothing in it (a paste of
        // nothing) may be the saved state, which its number stands for.
        if (IsBracketBegin(reason) || IsBracketEnd(reason)) {
            std::string text = std::move(item->ChangeStr);
            PushMirror(*redoList_, Mirror(std::move(item), *redoList_, std::move(text)));
        }
        break;  // crNothing and group breaks leave no redo record
    }
}

void TCustomQvEdit::RedoItem()
{
    if (const TQvEditUndoItem* top = redoList_->PeekItem(); top != nullptr && TakesWorkingLine(*top, false)) {
        RedoOnWorkingLine();
        return;
    }
    PutWorkingLine();
    const std::unique_ptr<TQvEditUndoItem> item = redoList_->PopItem();
    if (!item)
        return;
    TReplayFrame frame(*this, item->ChangeSelMode);
    if (item->MadeFirstLine && lines_->Count() == 0)
        lines_->Add(std::string());
    stateFlags_.Include(sfInsideRedo);
    try {
        ApplyRedo(*item);
    } catch (...) {
        stateFlags_.Exclude(sfInsideRedo);
        throw;
    }
    stateFlags_.Exclude(sfInsideRedo);
}

// Item is the record being redone, freed afterwards: what it holds may move away.
void TCustomQvEdit::ApplyRedo(TQvEditUndoItem& Item)
{
    const TQvChangeReason reason = Item.ChangeReason;
    const TPoint start = Item.ChangeStartPos;
    const TPoint end = Item.ChangeEndPos;
    const TQvSelectionMode mode = Item.ChangeSelMode;
    switch (reason) {
    case crInsert:
    case crPaste:
    case crDragDropInsert: {
        SelectForRedo(Item, start, start);
        const std::string replaced = SelectedText(false);
        SetSelTextPrimitiveEx(mode, Item.ChangeStr.c_str(), false);
        InternalSetCaretXY(end);
        undoList_->AddChange(reason, start, end, replaced, mode);
        if (reason == crDragDropInsert)
            SetCaretAndSelection(end, start, end);
        break;
    }
    case crDeleteAfterCursor:
    case crSilentDeleteAfterCursor:
    case crDelete:
    case crSilentDelete:
    case crDeleteAll: {
        SelectForRedo(Item, start, end);
        undoList_->AddChange(reason, start, end,
                             Item.Mirrored && Item.HasDeleted ? std::move(Item.Deleted) : SelectedText(false), mode);
        SetSelTextPrimitiveEx(mode, Item.ChangeStr.c_str(), false);
        InternalSetCaretXY(start);
        break;
    }
    case crLineBreak:
        RedoLineBreak(Item);
        break;
    case crIndent:
        undoList_->AddChange(reason, start, end, Item.ChangeStr, mode);
        SetCaretAndSelection(end, start, end);
        break;
    case crUnindent:
        RedoUnindent(Item);
        break;
    case crCaret:
    case crSelection:
        ReplaySelection(Item, *undoList_);
        break;
    case crWhiteSpaceAdd:
        undoList_->AddChange(reason, start, end, std::string(), mode);
        SetCaretAndSelection(end, end, end);
        SetSelTextPrimitive(mode, Item.ChangeStr.c_str());
        InternalSetCaretXY(start);
        break;
    case crWrap:
        SetWordWrap(false);
        break;
    case crUnWrap:
        SetWordWrap(true);
        break;
    case crTrailingBlanks:
        ReplayTrailingBlanks(Item, false);
        break;
    default:
        if (IsBracketBegin(reason) || IsBracketEnd(reason))
            PushMirror(*undoList_, MirrorCopy(Item, *undoList_, Item.ChangeStr));
        break;
    }
}

// Selects what a redo replaces: the text undo put back when the record knows it, else
// Begin..End.
void TCustomQvEdit::SelectForRedo(const TQvEditUndoItem& Item, TPoint Begin, TPoint End)
{
    if (Item.Mirrored) {
        Begin = Item.RestoredBegin;
        End = Item.RestoredEnd;
    }
    SetCaretAndSelection(Begin, Begin, End);
}

// crCaret and crSelection: the caret or the selection as it is now goes to Mirror, the
// recorded one comes back.
void TCustomQvEdit::ReplaySelection(const TQvEditUndoItem& Item, TQvEditUndoList& Mirror)
{
    if (Item.ChangeReason == crCaret) {
        Mirror.AddChange(crCaret, GetCaretXY(), GetCaretXY(), std::string(), selectionMode_);
        InternalSetCaretXY(Item.ChangeStartPos);
    } else {
        Mirror.AddChange(crSelection, blockBegin_, blockEnd_, std::string(), selectionMode_);
        SetCaretAndSelection(GetCaretXY(), Item.ChangeStartPos, Item.ChangeEndPos);
    }
}

void TCustomQvEdit::UndoLineBreak(const TQvEditUndoItem& Item)
{
    SetCaretXY(Item.ChangeStartPos);
    auto redo = MirrorCopy(Item, *redoList_, Item.ChangeStr);
    if (caretY_ >= 1 && caretY_ <= std::max(lines_->Count(), 1)) {
        std::string line = GetLineText();
        const Integer removed = Item.ChangeEndPos.Y;
        if (caretY_ <= lines_->Count() && removed >= 0 && removed < lines_->Count()) {
            redo->BrokenLines = std::make_unique<TQvEditUndoItem::TBrokenLines>(
                TQvEditUndoItem::TBrokenLines{line, lines_->Get(removed)});
        }
        lines_->Put(caretY_ - 1, line + Item.ChangeStr);
        if (removed >= 0 && removed < lines_->Count())
            lines_->Delete(removed);
    } else {
        SetLineText(Item.ChangeStr);
    }
    DoLinesDeleted(caretY_ + 1, 1);
    PushMirror(*redoList_, std::move(redo));
}

// The line break again: the two lines it had made come back as they were (a break made
// anew would indent the new line by the text above it, which the first one may not have).
void TCustomQvEdit::RedoLineBreak(const TQvEditUndoItem& Item)
{
    const TPoint start = Item.ChangeStartPos;
    const TQvEditUndoItem::TBrokenLines* lines = Item.Mirrored ? Item.BrokenLines.get() : nullptr;
    if (lines == nullptr || start.Y < 1 || start.Y > lines_->Count() ||
        Item.ChangeEndPos.Y < 1 || Item.ChangeEndPos.Y > lines_->Count()) {
        SetCaretAndSelection(start, start, start);
        CommandProcessor(ecLineBreak, '\r', nullptr);
        return;
    }
    undoList_->AddChange(crLineBreak, start, Item.ChangeEndPos, Item.ChangeStr, Item.ChangeSelMode);
    lines_->Put(start.Y - 1, lines->BrokenLine);
    lines_->Insert(Item.ChangeEndPos.Y, lines->NewLine);
    DoLinesInserted(start.X == 1 ? start.Y : start.Y + 1, 1);
    SetCaretXY(TPoint{1, Item.ChangeEndPos.Y + 1});
}

void TCustomQvEdit::RedoUnindent(const TQvEditUndoItem& Item)
{
    const TPoint start = Item.ChangeStartPos;
    const TPoint end = Item.ChangeEndPos;
    const bool column = Item.ChangeSelMode == smColumn;
    undoList_->AddChange(crUnindent, start, end, Item.ChangeStr, Item.ChangeSelMode);
    const Integer x = column ? std::min(start.X, end.X) : 1;
    Integer y = start.Y;
    Integer lastLength = 0;
    for (const std::string_view piece : SplitTextLines(Item.ChangeStr)) {
        lastLength = static_cast<Integer>(piece.size());
        if (!piece.empty() && y <= lines_->Count()) {
            std::string line = lines_->Get(y - 1);
            if (x - 1 < static_cast<Integer>(line.size())) {
                line.erase(static_cast<std::size_t>(x - 1), piece.size());
                lines_->Put(y - 1, line);
            }
        }
        ++y;
    }
    if (column)
        SetCaretAndSelection(GetCaretXY(), start, end);
    else
        SetCaretAndSelection(GetCaretXY(), TPoint{std::max(start.X - tabWidth_, 1), start.Y},
                             TPoint{std::max(end.X - lastLength, 1), end.Y});
}

void TCustomQvEdit::ReplayTrailingBlanks(const TQvEditUndoItem& Item, bool Undoing)
{
    const Integer y = Item.ChangeStartPos.Y;
    if (y >= 1 && y <= lines_->Count()) {
        std::string line = lines_->Get(y - 1);
        const auto at = std::min(static_cast<std::size_t>(std::max(Item.ChangeStartPos.X - 1, 0)), line.size());
        if (Undoing)
            line.insert(at, Item.ChangeStr);
        else
            line.erase(at, Item.ChangeStr.size());
        lines_->Put(y - 1, line);
    }
    PushMirror(Undoing ? *redoList_ : *undoList_, MirrorCopy(Item, Undoing ? *redoList_ : *undoList_, Item.ChangeStr));
}

// ---- List notices ------------------------------------------------------------------------------

void TCustomQvEdit::UndoRedoAdded(TObject* Sender)
{
    if (Sender == undoList_ && !pendingTrims_.empty())
        pendingTrimsRecorded_ = true;
    // The first record of an edit that gave an empty buffer its first line is marked, so
    // that undo takes that line away again.
    if (Sender == undoList_ && editStartedEmpty_ && lines_->Count() > 0) {
        TQvEditUndoItem* top = undoList_->PeekItem();
        if (top != nullptr && top->ChangeReason != crGroupBreak) {
            top->MadeFirstLine = true;
            editStartedEmpty_ = false;
        }
    }
    UpdateModifiedStatus();
    if (Sender == undoList_ && !RedoingIntoTheseLists()) {
        // A new edit discards what could be redone; what redo itself records does not,
        // whichever of the editors on these lists redoes.
        const TQvEditUndoItem* top = undoList_->PeekItem();
        if (top != nullptr && top->ChangeReason != crGroupBreak)
            redoList_->Clear();
    }
    const auto* list = dynamic_cast<TQvEditUndoList*>(Sender);
    if (list != nullptr && list->BlockCount() == 0 && OnChange)
        OnChange(this);
}

// ---- Word wrap ----------------------------------------------------------------------------------

void TCustomQvEdit::SetWordWrap(bool Value)
{
    if (Value == wordWrap_)
        return;
    TQvPaintLockScope lock(*this);
    // The caret's line counted in lines that are not continuations, before and after.
    Integer logicalLine = 0;
    for (Integer i = 0; i < caretY_ && i < lines_->Count(); ++i)
        if (!lines_->IsLineWraped(i))
            ++logicalLine;
    wordWrap_ = Value;
    if (Value) {
        saveAltSetsColumnMode_ = options_.Contains(eoAltSetsColumnMode);
        options_.Exclude(eoAltSetsColumnMode);
        if (selectionMode_ == smColumn)
            SetSelectionMode(smNormal);
    } else if (saveAltSetsColumnMode_) {
        options_.Include(eoAltSetsColumnMode);
    }
    lines_->SetWordWrap(Value);
    Integer line = 0;
    for (Integer seen = 0; line < lines_->Count() - 1; ++line)
        if (!lines_->IsLineWraped(line) && ++seen == logicalLine)
            break;
    SetCaretXY(TPoint{1, line + 1});
    Invalidate();
}

// Undo and redo on the working line: the records of a step that change one line only are
// applied to one copy of that line, which the step puts back once.
#include "qvedit/editor/QvEdit.h"
#include "qvedit/editor/QvEditUndoRecords.h"

#include "platform/runtime/CodePages.h"

#include <algorithm>

using namespace QvUndoRecords;

// ---- The working line ------------------------------------------------------------------------

// A record goes to the working line when it changes one line within itself in the stream
// mode (its text has no line break, nor a NUL, where the primitive would stop), and no code
// page of two-byte characters, word wrap or a maximum width that grows with the lines
// makes the caret's place depend on more than the line.
bool TCustomQvEdit::TakesWorkingLine(const TQvEditUndoItem& Item, bool Undoing) const
{
    if (!stepReplaying_ || !stepOnWorkingLine_ || wordWrap_ || options_.Contains(eoAutoSizeMaxLineWidth) ||
        Item.ChangeSelMode != smNormal || LeadBytes().any())
        return false;
    if (!IsInsertion(Item.ChangeReason) && !IsDeletion(Item.ChangeReason))
        return false;
    const Integer y = Item.ChangeStartPos.Y;
    if (y < 1 || y > lines_->Count() || Item.ChangeEndPos.Y != y)
        return false;
    if (!Undoing && Item.Mirrored && (Item.RestoredBegin.Y != y || Item.RestoredEnd.Y != y))
        return false;
    return Item.ChangeStr.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos;
}

// The record's line becomes the working line (another line held is put first), with room
// where the record changes it.
void TCustomQvEdit::StartWorkingLine(const TQvEditUndoItem& Item, TPoint FirstChange)
{
    const Integer y = Item.ChangeStartPos.Y;
    if (workingLine_.Holds() && workingLine_.Line() == y)
        return;
    PutWorkingLine();
    const TQvWorkingLine::TLimits limits{maxLineWidth_, HandleAllocated()};
    workingLine_.Start(y, lines_->GetView(y - 1), static_cast<std::size_t>(std::max(FirstChange.X - 1, 0)), limits,
                       GetCaretXY());
}

// UndoItem's insertion and deletion cases, on the working line.
void TCustomQvEdit::UndoOnWorkingLine()
{
    const TQvEditUndoItem& top = *undoList_->PeekItem();
    const TQvChangeReason reason = top.ChangeReason;
    const TPoint start = top.ChangeStartPos;
    const TPoint end = top.ChangeEndPos;
    const TPoint at = minPoint(start, end);
    StartWorkingLine(top, at);
    TQvWorkingLine& line = workingLine_;
    line.Reserve(top.ChangeStr.size());
    std::unique_ptr<TQvEditUndoItem> item = undoList_->PopItem();
    TQvWorkingLine::TOwed owed;
    if (IsInsertion(reason)) {
        line.SetCaretAndSelection(start, start, end);
        std::string inserted = line.SelectedText();
        if (line.ReplaceSelection(item->ChangeStr))
            DoLinesDeleted(start.Y + 1, 0);
        const bool putBack = !item->ChangeStr.empty();
        owed.Mirror = Mirror(std::move(item), *redoList_, std::move(inserted));
        if (putBack)
            owed.Mirror->RestoredEnd = line.Caret();
        line.SetCaret(start);
    } else {
        line.SetCaretAndSelection(at, at, at);
        line.ReplaceSelection(item->ChangeStr);
        const TPoint restoredEnd = line.Caret();
        const TPoint target = IsAfterCursorDelete(reason) ? start : end;
        if (reason == crSilentDelete || reason == crSilentDeleteAfterCursor)
            line.SetCaret(target);
        else
            line.SetCaretAndSelection(target, start, end);
        line.WantCaretInView();
        std::string deleted = std::move(item->ChangeStr);
        owed.Mirror = Mirror(std::move(item), *redoList_, std::string());
        owed.Mirror->RestoredBegin = at;
        owed.Mirror->RestoredEnd = restoredEnd;
        owed.Mirror->HasDeleted = true;
        owed.Mirror->Deleted = std::move(deleted);
    }
    line.Owe(std::move(owed));
}

// ApplyRedo's insertion and deletion cases, on the working line.
void TCustomQvEdit::RedoOnWorkingLine()
{
    const TQvEditUndoItem& top = *redoList_->PeekItem();
    const TQvChangeReason reason = top.ChangeReason;
    const TPoint start = top.ChangeStartPos;
    const TPoint end = top.ChangeEndPos;
    const bool insertion = IsInsertion(reason);
    const TPoint from = top.Mirrored ? top.RestoredBegin : start;
    const TPoint to = top.Mirrored ? top.RestoredEnd : insertion ? start : end;
    StartWorkingLine(top, minPoint(from, to));
    TQvWorkingLine& line = workingLine_;
    line.Reserve(top.ChangeStr.size());
    const std::unique_ptr<TQvEditUndoItem> item = redoList_->PopItem();
    TQvWorkingLine::TOwed owed{nullptr, reason, start, end, std::string(), undoList_->GetBlockChangeNumber()};
    line.SetCaretAndSelection(from, from, to);
    owed.Text = !insertion && item->Mirrored && item->HasDeleted ? std::move(item->Deleted) : line.SelectedText();
    if (line.ReplaceSelection(item->ChangeStr))
        DoLinesDeleted(from.Y + 1, 0);
    line.SetCaret(insertion ? end : start);
    if (reason == crDragDropInsert)
        line.SetCaretAndSelection(end, start, end);
    line.Owe(std::move(owed));
}

// Puts the working line into the buffer, once, with the caret and the selection its
// records left, and gives the lists what they owe, in order; under a replay frame, as each
// record is replayed (whose end collapses the selection with eoNoSelection).
void TCustomQvEdit::PutWorkingLine()
{
    if (!workingLine_.Holds())
        return;
    const Integer y = workingLine_.Line();
    const TPoint caret = workingLine_.Caret();
    const TPoint begin = workingLine_.SelectionBegin();
    const TPoint end = workingLine_.SelectionEnd();
    const bool caretInView = workingLine_.CaretWantedInView();
    std::vector<TQvWorkingLine::TOwed> owed = workingLine_.TakeOwed();
    const std::string text = workingLine_.TakeText();
    TReplayFrame frame(*this, smNormal);
    lines_->Put(y - 1, text);
    InternalSetCaretXY(caret);
    if (blockBegin_ != begin || blockEnd_ != end) {
        if (GetSelAvail())
            InvalidateLines(GetBlockBegin().Y, GetBlockEnd().Y);
        blockBegin_ = begin;
        blockEnd_ = end;
        InvalidateLine(y);
        StatusChanged(TQvStatusChanges{scSelection});
    }
    StatusChanged(TQvStatusChanges{scCaretX});
    if (caretInView)
        EnsureCursorPosVisible();
    for (TQvWorkingLine::TOwed& record : owed) {
        if (record.Mirror) {
            PushMirror(*redoList_, std::move(record.Mirror));
            continue;
        }
        TBlockNumberScope number(*undoList_, record.BlockNumber);
        stateFlags_.Include(sfInsideRedo);
        try {
            undoList_->AddChange(record.Reason, record.Start, record.End, std::move(record.Text), smNormal);
        } catch (...) {
            stateFlags_.Exclude(sfInsideRedo);
            throw;
        }
        stateFlags_.Exclude(sfInsideRedo);
    }
}

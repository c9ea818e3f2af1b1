// One buffer shown by two editors, the key map's difference from a base map as form
// resources store it, and trailing-blank trimming.
#include "qvedit/editor/QvEdit.h"

#include "platform/runtime/Exceptions.h"

#include <algorithm>
#include <utility>

namespace {

bool SameBinding(const TQvEditKeyStroke* A, const TQvEditKeyStroke* B)
{
    return A->GetShortCut() == B->GetShortCut() && A->GetShortCut2() == B->GetShortCut2() &&
           A->GetCommand() == B->GetCommand();
}

bool Holds(const TQvEditKeyStrokes& Map, const TQvEditKeyStroke* Binding)
{
    for (int i = 0; i < Map.Count(); ++i)
        if (SameBinding(Map.GetItem(i), Binding))
            return true;
    return false;
}

// Into Result, a copy of every binding of From that Other does not hold.
void CopyMissing(const TQvEditKeyStrokes& From, const TQvEditKeyStrokes& Other,
                 TQvEditKeyStrokes& Result)
{
    Result.Clear();
    for (int i = 0; i < From.Count(); ++i)
        if (!Holds(Other, From.GetItem(i)))
            Result.Add()->Assign(From.GetItem(i));
}

}  // namespace

// ---- Shared buffer ---------------------------------------------------------------------------

void TCustomQvEdit::SetLinesPointer(TCustomQvEdit* Editor)
{
    // An editor that shows this one's own buffer (directly or through another sharer)
    // would close a loop: the buffer's notices would come back to it without end.
    if (Editor == nullptr || Editor == this || Editor->lines_ == ownLines_.get())
        return;
    // The buffer's owner is told of too: when it goes, so does the buffer, also for an
    // editor that reached it through another sharer.
    TCustomQvEdit* owner = Editor->bufferOwner_ != nullptr ? Editor->bufferOwner_ : Editor;
    HookTextBuffer(Editor->lines_, Editor->undoList_, Editor->redoList_);
    chainedEditor_ = Editor;
    bufferOwner_ = owner;
    owner->sharers_.push_back(this);
    Editor->FreeNotification(this);
    owner->FreeNotification(this);
}

void TCustomQvEdit::RemoveLinesPointer()
{
    TCustomQvEdit* chained = std::exchange(chainedEditor_, nullptr);
    TCustomQvEdit* owner = bufferOwner_;
    UnhookTextBuffer();
    DropFreeNotice(chained);
    if (owner != chained)
        DropFreeNotice(owner);
}

// A free notice between two editors is one for both ways: it stays while the other
// editor still hooked a buffer through this one, or shows this one's own.
void TCustomQvEdit::DropFreeNotice(TCustomQvEdit* Editor)
{
    if (Editor != nullptr && Editor->chainedEditor_ != this && Editor->bufferOwner_ != this)
        Editor->RemoveFreeNotification(this);
}

void TCustomQvEdit::HookTextBuffer(TQvEditStringList* Buffer, TQvEditUndoList* Undo,
                                   TQvEditUndoList* Redo)
{
    if (chainedEditor_ != nullptr)
        RemoveLinesPointer();
    else if (lines_ != ownLines_.get())
        UnhookTextBuffer();
    // The ranges left to rescan belong to the buffer shown until now.
    RescanRangeChanges();
    ScanAllUnscannedLines();

    saved_.OnAdded = Buffer->OnAdded;
    Buffer->OnAdded = TStringListInsertedEvent(this, &TCustomQvEdit::ChainListAdded);
    saved_.OnCleared = Buffer->OnCleared;
    Buffer->OnCleared = TNotifyEvent(this, &TCustomQvEdit::ChainListCleared);
    saved_.OnDeleted = Buffer->OnDeleted;
    Buffer->OnDeleted = TStringListIndexEvent(this, &TCustomQvEdit::ChainListDeleted);
    saved_.OnInserted = Buffer->OnInserted;
    Buffer->OnInserted = TStringListInsertedEvent(this, &TCustomQvEdit::ChainListInserted);
    saved_.OnPutted = Buffer->OnPutted;
    Buffer->OnPutted = TStringListInsertedEvent(this, &TCustomQvEdit::ChainListPutted);
    saved_.OnChanging = Buffer->OnChanging;
    Buffer->OnChanging = TNotifyEvent(this, &TCustomQvEdit::ChainLinesChanging);
    saved_.OnChange = Buffer->OnChange;
    Buffer->OnChange = TNotifyEvent(this, &TCustomQvEdit::ChainLinesChanged);
    saved_.UndoAdded = Undo->OnAdded;
    Undo->OnAdded = TNotifyEvent(this, &TCustomQvEdit::ChainUndoRedoAdded);
    saved_.RedoAdded = Redo->OnAdded;
    Redo->OnAdded = TNotifyEvent(this, &TCustomQvEdit::ChainUndoRedoAdded);

    lines_ = Buffer;
    undoList_ = Undo;
    redoList_ = Redo;
    LinesHookChanged();
}

void TCustomQvEdit::UnhookTextBuffer()
{
    if (chainedEditor_ != nullptr)
        throw EAssertionFailed("A shared buffer is unhooked while its editor is still chained");
    if (lines_ == ownLines_.get())
        return;
    RescanRangeChanges();
    ScanAllUnscannedLines();
    // Restoring the buffer's handlers while another editor hooked it later would drop that
    // editor from the buffer and leave it calling this one's handlers once this one is
    // gone. That editor takes over this one's saved handlers instead.
    if (TCustomQvEdit* next = NextSharer()) {
        next->saved_ = saved_;
    } else {
        lines_->OnAdded = saved_.OnAdded;
        lines_->OnCleared = saved_.OnCleared;
        lines_->OnDeleted = saved_.OnDeleted;
        lines_->OnInserted = saved_.OnInserted;
        lines_->OnPutted = saved_.OnPutted;
        lines_->OnChanging = saved_.OnChanging;
        lines_->OnChange = saved_.OnChange;
        undoList_->OnAdded = saved_.UndoAdded;
        redoList_->OnAdded = saved_.RedoAdded;
    }
    saved_ = TSavedBufferHandlers{};
    if (bufferOwner_ != nullptr)
        std::erase(bufferOwner_->sharers_, this);
    bufferOwner_ = nullptr;

    lines_ = ownLines_.get();
    undoList_ = ownUndoList_.get();
    redoList_ = ownRedoList_.get();
    LinesHookChanged();
}

TCustomQvEdit* TCustomQvEdit::NextSharer()
{
    // The buffer's handler is the chain handler of the editor that hooked last; each
    // editor's saved handler leads to the one that hooked before it.
    const TStringListInsertedEvent mine(this, &TCustomQvEdit::ChainListAdded);
    TStringListInsertedEvent handler = lines_->OnAdded;
    while (handler && !(handler == mine)) {
        auto* editor = static_cast<TCustomQvEdit*>(handler.Data());
        const bool chain =
            editor != nullptr && handler == TStringListInsertedEvent(editor, &TCustomQvEdit::ChainListAdded);
        if (!chain)
            return nullptr;  // not an editor's chain: no editor hooked after this one
        if (editor->saved_.OnAdded == mine)
            return editor;
        handler = editor->saved_.OnAdded;
    }
    return nullptr;
}

void TCustomQvEdit::LinesHookChanged()
{
    ForgetRangeChanges();
    Invalidate();
    // Modified tells of the lists in use now: a save through this editor must reach them.
    if (const bool modified = !undoList_->GetInitialState(); modified != modified_ && !HasState(csDestroying)) {
        modified_ = modified;
        StatusChanged(TQvStatusChanges{scModified});
    }
    if (options_.Contains(eoAutoSizeMaxLineWidth)) {
        const Integer longest = lines_->GetLengthOfLongestLine();
        if (longest > maxLineWidth_)
            SetMaxLineWidth(longest);
    }
    if (!HasState(csDestroying))
        KeepPositionsInText();
    UpdateScrollBars();
}

void TCustomQvEdit::KeepPositionsInText()
{
    TQvPaintLockScope lock(*this);
    const TPoint anchor = ClampSelectionPoint(blockBegin_);
    const TPoint end = ClampSelectionPoint(blockEnd_);
    if (anchor != blockBegin_ || end != blockEnd_) {
        blockBegin_ = anchor;
        blockEnd_ = end;
        StatusChanged({scSelection});
    }
    // A caret inside keeps the column it remembers for vertical moves.
    if (const TPoint caret = GetCaretXY(); ClampCaretPoint(caret) != caret)
        InternalSetCaretXY(caret);
    SetTopLine(topLine_);
    SetLeftChar(leftChar_);
}

void TCustomQvEdit::KeepPositionsAfterLinesWent()
{
    if (!linesWent_ || paintLock_ > 0 || HasState(csDestroying))
        return;
    linesWent_ = false;
    KeepPositionsInText();
}

bool TCustomQvEdit::RedoingIntoTheseLists() const
{
    bool redoing = false;
    ForEachEditorOnTheBuffer([&](const TCustomQvEdit& E) { redoing = redoing || E.stateFlags_.Contains(sfInsideRedo); });
    return redoing;
}

template <class TEvent, class... TArgs>
void TCustomQvEdit::CallSaved(const TEvent& Saved, TArgs&&... Args) const
{
    if (!Saved)
        return;
    // The owner's own handlers stand first in the chain. While the owner shows another
    // buffer they would act on that one, with this buffer's line numbers.
    if (bufferOwner_ != nullptr && Saved.Data() == static_cast<void*>(bufferOwner_) && bufferOwner_->lines_ != lines_)
        return;
    Saved(std::forward<TArgs>(Args)...);
}

void TCustomQvEdit::ChainListAdded(Integer Index, std::string_view S)
{
    CallSaved(saved_.OnAdded, Index, S);
    ListAdded(Index, S);
}

void TCustomQvEdit::ChainListCleared(TObject* Sender)
{
    CallSaved(saved_.OnCleared, Sender);
    ListCleared(Sender);
}

void TCustomQvEdit::ChainListDeleted(Integer Index)
{
    CallSaved(saved_.OnDeleted, Index);
    ListDeleted(Index);
}

void TCustomQvEdit::ChainListInserted(Integer Index, std::string_view S)
{
    CallSaved(saved_.OnInserted, Index, S);
    ListInserted(Index, S);
}

void TCustomQvEdit::ChainListPutted(Integer Index, std::string_view S)
{
    CallSaved(saved_.OnPutted, Index, S);
    ListPutted(Index, S);
}

void TCustomQvEdit::ChainLinesChanging(TObject* Sender)
{
    CallSaved(saved_.OnChanging, Sender);
    LinesChanging(Sender);
}

void TCustomQvEdit::ChainLinesChanged(TObject* Sender)
{
    CallSaved(saved_.OnChange, Sender);
    LinesChanged(Sender);
}

void TCustomQvEdit::ChainUndoRedoAdded(TObject* Sender)
{
    CallSaved(Sender == undoList_ ? saved_.UndoAdded : saved_.RedoAdded, Sender);
    UndoRedoAdded(Sender);
}

// ---- Key-binding differences -------------------------------------------------------------------

void TCustomQvEdit::GetAddedKeystrokes(const TQvEditKeyStrokes& Base, TQvEditKeyStrokes& Added) const
{
    CopyMissing(*keystrokes_, Base, Added);
}

void TCustomQvEdit::GetRemovedKeystrokes(const TQvEditKeyStrokes& Base,
                                         TQvEditKeyStrokes& Removed) const
{
    CopyMissing(Base, *keystrokes_, Removed);
}

void TCustomQvEdit::ReadAddedKeystrokes(const TQvEditKeyStrokes& Added)
{
    for (int i = 0; i < Added.Count(); ++i)
        keystrokes_->Add()->Assign(Added.GetItem(i));
}

void TCustomQvEdit::ReadRemovedKeystrokes(const TQvEditKeyStrokes& Removed)
{
    for (int i = 0; i < Removed.Count(); ++i) {
        const TQvEditKeyStroke* item = Removed.GetItem(i);
        const int index = keystrokes_->FindShortcut2(item->GetShortCut(), item->GetShortCut2());
        if (index >= 0 && keystrokes_->GetItem(index)->GetCommand() == item->GetCommand())
            keystrokes_->Delete(index);
    }
}

// ---- Trailing blanks ---------------------------------------------------------------------------

std::string TCustomQvEdit::TrimTrailingBlanks(const std::string& S)
{
    const std::size_t end = S.find_last_not_of(" \t");
    return end == std::string::npos ? std::string() : S.substr(0, end + 1);
}

namespace {

bool EndsWithBlank(std::string_view Line)
{
    return !Line.empty() && (Line.back() == ' ' || Line.back() == '\t');
}

}  // namespace

// A change trims the lines it stored when it ends, not while it works: its own records
// (the caret's columns, a line break's text, a paste's extent) are taken from the text as
// it made it, and the trimmed blanks become records of their own after them.
void TCustomQvEdit::TrimmedSetLine(Integer Index, const std::string& Text)
{
    lines_->Put(Index, Text);
    if (options_.Contains(eoTrimTrailingSpaces) && EndsWithBlank(Text))
        TrimWhenChangeEnds(Index);
}

// The buffer takes the lines at once; the lines to trim are marked afterwards.
void TCustomQvEdit::TrimmedSetLines(Integer Index, std::string_view Head, std::string_view Text,
                                    std::string_view Tail)
{
    const Integer stored = lines_->PutLines(Index, Head, Text, Tail);
    if (!options_.Contains(eoTrimTrailingSpaces))
        return;
    for (Integer i = Index; i < Index + stored; ++i)
        if (EndsWithBlank(lines_->GetView(i)))
            TrimWhenChangeEnds(i);
}

void TCustomQvEdit::TrimWhenChangeEnds(Integer Index)
{
    if (pendingTrims_.empty()) {
        pendingTrimsLineCount_ = lines_->Count();
        // The change has records when it records after this, or when it recorded before
        // in the undo block still open.
        pendingTrimsRecorded_ = false;
        pendingTrimsBlockNumber_ = undoList_->BlockCount() > 0 ? undoList_->GetBlockChangeNumber() : 0;
    }
    pendingTrims_.Add(*lines_, Index);
    // Outside any change the line is trimmed at once.
    if (paintLock_ == 0 && undoList_->BlockCount() == 0)
        TrimPendingLines();
}

void TCustomQvEdit::ShiftPendingTrims(Integer Index)
{
    if (pendingTrims_.empty())
        return;
    const Integer count = lines_->Count();
    pendingTrims_.Shift(Index, count - pendingTrimsLineCount_);
    pendingTrimsLineCount_ = count;
}

void TCustomQvEdit::TrimPendingLines()
{
    if (pendingTrims_.empty())
        return;
    const std::vector<Integer> indexes = pendingTrims_.Take();
    // The blanks go with the change's own records, under their number; a change that
    // recorded nothing (the lists locked) gets one number for its blanks alone. Group
    // breaks that caret moves put after the records stay on top.
    std::vector<std::unique_ptr<TQvEditUndoItem>> breaks;
    while (undoList_->LastChangeReason() == crGroupBreak)
        breaks.push_back(undoList_->PopItem());
    const TQvEditUndoItem* top = undoList_->PeekItem();
    const bool recorded = top != nullptr && (pendingTrimsRecorded_ || (pendingTrimsBlockNumber_ != 0 &&
                                                                       top->ChangeNumber == pendingTrimsBlockNumber_));
    Integer number = recorded ? top->ChangeNumber : 0;
    const Integer savedNumber = undoList_->GetBlockChangeNumber();
    const auto restoreList = [&] {
        undoList_->SetBlockChangeNumber(savedNumber);
        for (auto it = breaks.rbegin(); it != breaks.rend(); ++it)
            undoList_->PushItem(std::move(*it));
    };
    // Trimming changes no selection: the buffer's notice would collapse it to the caret.
    const TPoint savedBegin = blockBegin_;
    const TPoint savedEnd = blockEnd_;
    try {
        for (const Integer index : indexes) {
            if (index < 0 || index >= lines_->Count())
                continue;
            const std::string line = lines_->Get(index);
            const std::string kept = TrimTrailingBlanks(line);
            if (kept.size() == line.size())
                continue;
            lines_->Put(index, kept);
            undoList_->SetBlockChangeNumber(number);
            const Integer y = index + 1;
            undoList_->AddChange(crTrailingBlanks, TPoint{static_cast<Integer>(kept.size()) + 1, y},
                                 TPoint{static_cast<Integer>(line.size()) + 1, y},
                                 line.substr(kept.size()), smNormal);
            if (number == 0 && undoList_->PeekItem() != nullptr)
                number = undoList_->PeekItem()->ChangeNumber;
        }
    } catch (...) {
        restoreList();
        throw;
    }
    restoreList();
    blockBegin_ = savedBegin;
    blockEnd_ = savedEnd;
    if (!options_.Contains(eoScrollPastEol))
        InternalSetCaretXY(GetCaretXY());
}

// The undo list: a stack of change records. The editor keeps two (undo and redo) and moves
// records between them. Records of one (nestable) block share a change number; a run of
// records with one number is a step. The list keeps the last MaxUndoActions steps whole,
// however many records each has (dropping older steps whole, oldest first, and never the
// block being recorded), can be locked so that nothing is recorded, and remembers which
// change number stands for the saved state.
#pragma once

#include "platform/runtime/Persistent.h"
#include "platform/runtime/System.h"
#include "platform/runtime/Types.h"
#include "qvedit/core/QvEditTypes.h"

#include <deque>
#include <memory>
#include <string>

enum TQvChangeReason : Byte {
    crInsert,
    crPaste,
    crDragDropInsert,
    crDeleteAfterCursor,
    crDelete,
    crLineBreak,
    crIndent,
    crUnindent,
    crSilentDelete,
    crSilentDeleteAfterCursor,
    crAutoCompleteBegin,
    crAutoCompleteEnd,
    crPasteBegin,
    crPasteEnd,
    crSpecial1Begin,
    crSpecial1End,
    crSpecial2Begin,
    crSpecial2End,
    crCaret,
    crSelection,
    crNothing,
    crGroupBreak,
    crDeleteAll,
    crWrap,
    crUnWrap,
    crWhiteSpaceAdd,
    // The blanks and tabs trimming took from the end of a line: start and end are the
    // columns they stood in, the text holds them.
    crTrailingBlanks
};

// One recorded change: what happened, where, in which selection mode, the text removed
// or inserted, and the number of the change it belongs to.
class TQvEditUndoItem : public TPersistent {
public:
    TQvChangeReason ChangeReason = crNothing;
    TQvSelectionMode ChangeSelMode = smNormal;
    TPoint ChangeStartPos;
    TPoint ChangeEndPos;
    std::string ChangeStr;
    Integer ChangeNumber = 0;
    // The change gave a buffer without lines its first line: undone, the buffer has no
    // line again (rather than one empty line, which saves as a line end).
    bool MadeFirstLine = false;
    // Set by the list that holds the record: it is the oldest record of its step there
    // (group breaks belong to the step below them).
    bool StartsStep = false;

    // Notes of the editor's replay on a record it moved to the other list (a mirror), for
    // replaying it back; Assign does not copy them. A mirror knows what its undo put back,
    // so that redo takes away exactly that: the stream from RestoredBegin to RestoredEnd
    // (characters an overwrite had replaced, a deleted last line); for an undone deletion,
    // the record's text as it was, so that redo records the same deletion again (what it
    // selects may start a line earlier, at the line end undo added); for an undone line
    // break, the two lines the break had made. Replay turns the record it takes into the
    // mirror, so that undoing a million records allocates none.
    struct TBrokenLines {
        std::string BrokenLine;  // the line the break ended
        std::string NewLine;     // the line the break began
    };
    bool Mirrored = false;
    TPoint RestoredBegin;
    TPoint RestoredEnd;
    bool HasDeleted = false;
    std::string Deleted;
    std::unique_ptr<TBrokenLines> BrokenLines;

    void Assign(TPersistent* Source) override;
};

class TQvEditUndoList : public TPersistent {
public:
    TQvEditUndoList();
    ~TQvEditUndoList() override;

    // Records a change (nothing while locked).
    void AddChange(TQvChangeReason AReason, const TPoint& AStart, const TPoint& AEnd,
                   std::string ChangeText, TQvSelectionMode SelMode);
    void BeginBlock();
    void EndBlock();
    // Pushes a crGroupBreak record unless the top record already is one.
    void AddGroupBreak();

    // Puts a record on top; the list owns it from then on. Nothing for a null record.
    void PushItem(std::unique_ptr<TQvEditUndoItem> Item);
    // Removes the top record and hands it to the caller; null when the list is empty.
    std::unique_ptr<TQvEditUndoItem> PopItem();
    // The top record, still owned by the list; null when the list is empty.
    TQvEditUndoItem* PeekItem() const;

    TQvChangeReason LastChangeReason() const;  // crNothing when empty
    bool CanUndo() const { return !items_.empty(); }
    Integer ItemCount() const { return static_cast<Integer>(items_.size()); }

    void Lock() { ++lockCount_; }
    void Unlock();
    Integer LockCount() const { return lockCount_; }

    Integer GetMaxUndoActions() const { return maxUndoActions_; }
    void SetMaxUndoActions(Integer Value);  // negative values count as 0

    // True when the top record carries the saved state's change number (or the list is
    // empty and the saved state is the one before its records).
    bool GetInitialState() const;
    void SetInitialState(bool Value);

    // While a block is open, its number is given to every record added.
    Integer GetBlockChangeNumber() const { return blockChangeNumber_; }
    void SetBlockChangeNumber(Integer Value) { blockChangeNumber_ = Value; }
    Integer BlockCount() const { return blockCount_; }
    // Set when old steps were dropped for the size limit.
    bool FullUndoImpossible() const { return fullUndoImpossible_; }

    void Clear();
    void Assign(TPersistent* Source) override;

    TNotifyEvent OnAdded;

private:
    void EnsureMaxEntries();
    void AdvanceNextChangeNumber();
    // Whether a record with Number, put on top now, begins a step of its own.
    bool BeginsStepOnTop(Integer Number) const;

    Integer blockChangeNumber_ = 0;
    Integer blockCount_ = 0;
    bool fullUndoImpossible_ = false;
    // A deque: the limit takes the oldest steps from the front without moving the rest.
    std::deque<std::unique_ptr<TQvEditUndoItem>> items_;
    // The steps items_ holds: runs of records with one change number, group breaks not
    // counted.
    Integer stepCount_ = 0;
    Integer lockCount_ = 0;
    Integer maxUndoActions_ = 1024;
    Integer nextChangeNumber_ = 1;
    Integer initialChangeNumber_ = 0;
    // The change number of the state an empty list stands for: of the last record the
    // limit dropped, 0 when none was dropped since the list was cleared.
    Integer baseChangeNumber_ = 0;
};

// The undo list: a stack of change records. The editor keeps two (undo and redo) and moves
// records between them. Records of one (nestable) block share a change number; a step is
// what one Undo takes back (TQvUndoStep). The list keeps the last MaxUndoActions steps whole,
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
    // Kept by the list that holds the record, for counting steps as undo takes them. A run
    // is a stretch of records of one change number (group breaks between them skipped).
    // RunStart: the record is the oldest of its run. RunDepth: how many records below it
    // (breaks included) its run reaches. RunReason and RunUniform: with this record on top,
    // the reason of the run's topmost record that is neither trimmed blanks nor a break,
    // and whether all its records but that trimmed top have it; TrimmedTop: the run has
    // trimmed blanks on top. On a run's oldest record, BelowReason is the reason of the
    // record under it (HasBelow), and JoinsBelow whether its run, as it stands, undoes
    // together with the run below when grouping is on.
    bool RunStart = false;
    Integer RunDepth = 0;
    TQvChangeReason RunReason = crNothing;
    bool RunUniform = false;
    bool TrimmedTop = false;
    bool HasBelow = false;
    TQvChangeReason BelowReason = crNothing;
    bool JoinsBelow = false;

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

// Which records one Undo takes back together (the user's step), from the top down: every
// record of one change number goes together; with group undo, the step goes on into the
// next (older) change while all records taken so far, and the next one, share the step's
// first reason (consecutive typing). A change that mixes reasons (a case change, a
// replacement) ends the grouping, so it is never undone together with what came before
// it, nor split; indents, unindents and trimmed blanks never group. The replay walks a
// list with it, and the list counts its steps by the same rule (Joins).
class TQvUndoStep {
public:
    TQvUndoStep(const TQvEditUndoItem& First, bool GroupUndo)
        : reason_(First.ChangeReason), number_(First.ChangeNumber), group_(GroupUndo)
    {
    }
    // Notes a record just taken.
    void Took(TQvChangeReason Reason)
    {
        if (Reason != reason_)
            uniform_ = false;
    }
    // Whether the step goes on with Next.
    bool GoesOnWith(const TQvEditUndoItem& Next)
    {
        if (Next.ChangeNumber == number_)
            return true;
        if (!Joins(group_, reason_, uniform_, Next.ChangeReason))
            return false;
        number_ = Next.ChangeNumber;
        return true;
    }
    // Whether a change whose records (taken so far) all have Reason when Uniform goes on
    // into an older change whose newest record has NextReason.
    static bool Joins(bool GroupUndo, TQvChangeReason Reason, bool Uniform, TQvChangeReason NextReason)
    {
        return GroupUndo && Uniform && NextReason == Reason && Reason != crIndent && Reason != crUnindent &&
               Reason != crTrailingBlanks && Reason != crGroupBreak;
    }

private:
    TQvChangeReason reason_;
    Integer number_;
    bool group_;
    bool uniform_ = true;
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

    // Whether consecutive changes of one reason undo together (told by the editor whose
    // options say so); the limit counts steps by it, and replay walks the list by it.
    bool GetGroupUndo() const { return groupUndo_; }
    void SetGroupUndo(bool Value);
    // The steps the list holds, as undo takes them (group breaks not counted).
    Integer StepCount() const { return runCount_ - (groupUndo_ ? joinCount_ : 0); }

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
    // Sets the run notes of the record just put on top.
    void NoteRunOfTop();
    // Sets whether the top run joins the run below, from its newest record's notes.
    void UpdateTopJoin();
    void SetJoinsBelow(TQvEditUndoItem& RunStart, bool Value);
    bool StartsStep(const TQvEditUndoItem& Item) const
    {
        return Item.RunStart && !(groupUndo_ && Item.JoinsBelow);
    }

    Integer blockChangeNumber_ = 0;
    Integer blockCount_ = 0;
    bool fullUndoImpossible_ = false;
    // A deque: the limit takes the oldest steps from the front without moving the rest.
    std::deque<std::unique_ptr<TQvEditUndoItem>> items_;
    // The runs items_ holds, and how many of them join the run below with grouping on.
    Integer runCount_ = 0;
    Integer joinCount_ = 0;
    bool groupUndo_ = false;
    Integer lockCount_ = 0;
    Integer maxUndoActions_ = 1024;
    Integer nextChangeNumber_ = 1;
    Integer initialChangeNumber_ = 0;
    // The change number of the state an empty list stands for: of the last record the
    // limit dropped, 0 when none was dropped since the list was cleared.
    Integer baseChangeNumber_ = 0;
};

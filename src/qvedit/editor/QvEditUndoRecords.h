// The undo records as undo and redo replay them: the kinds of change reason, a record turned
// into its mirror for the other list, a list's block change number held for a scope, and
// the editor's frame around one replayed record. Internal to the editor's undo and redo
// units.
#pragma once

#include "qvedit/core/QvEditUndoList.h"
#include "qvedit/editor/QvEdit.h"

#include <memory>
#include <string>
#include <utility>

namespace QvUndoRecords {

// The record taken from one list turned into its mirror for the other list To: the same
// reason, places and mode, with Text and the number of the step replayed; nothing put back
// yet.
inline std::unique_ptr<TQvEditUndoItem> Mirror(std::unique_ptr<TQvEditUndoItem> Taken, const TQvEditUndoList& To,
                                        std::string Text)
{
    TQvEditUndoItem& item = *Taken;
    item.ChangeStr = std::move(Text);
    if (To.GetBlockChangeNumber() != 0)
        item.ChangeNumber = To.GetBlockChangeNumber();
    item.MadeFirstLine = false;
    item.Mirrored = true;
    item.RestoredBegin = item.ChangeStartPos;
    item.RestoredEnd = item.ChangeStartPos;
    item.HasDeleted = false;
    item.Deleted.clear();
    item.BrokenLines.reset();
    return Taken;
}

// A mirror of a record that stays where it is.
inline std::unique_ptr<TQvEditUndoItem> MirrorCopy(const TQvEditUndoItem& Record, const TQvEditUndoList& To,
                                            std::string Text)
{
    auto copy = std::make_unique<TQvEditUndoItem>();
    copy->ChangeReason = Record.ChangeReason;
    copy->ChangeSelMode = Record.ChangeSelMode;
    copy->ChangeStartPos = Record.ChangeStartPos;
    copy->ChangeEndPos = Record.ChangeEndPos;
    copy->ChangeNumber = Record.ChangeNumber;
    return Mirror(std::move(copy), To, std::move(Text));
}

inline void PushMirror(TQvEditUndoList& To, std::unique_ptr<TQvEditUndoItem> Item)
{
    if (To.LockCount() == 0)
        To.PushItem(std::move(Item));
}

inline bool IsBracketEnd(TQvChangeReason Reason)
{
    return Reason == crAutoCompleteEnd || Reason == crPasteEnd || Reason == crSpecial1End ||
           Reason == crSpecial2End;
}

inline bool IsBracketBegin(TQvChangeReason Reason)
{
    return Reason == crAutoCompleteBegin || Reason == crPasteBegin || Reason == crSpecial1Begin ||
           Reason == crSpecial2Begin;
}

inline bool IsAfterCursorDelete(TQvChangeReason Reason)
{
    return Reason == crDeleteAfterCursor || Reason == crSilentDeleteAfterCursor;
}

inline bool IsInsertion(TQvChangeReason Reason)
{
    return Reason == crInsert || Reason == crPaste || Reason == crDragDropInsert;
}

inline bool IsDeletion(TQvChangeReason Reason)
{
    return Reason == crDelete || Reason == crSilentDelete || IsAfterCursorDelete(Reason);
}

// Gives a list a block change number for a scope and restores the old one, also when an
// exception passes.
class TBlockNumberScope {
public:
    TBlockNumberScope(TQvEditUndoList& List, Integer Number)
        : list_(List), saved_(List.GetBlockChangeNumber())
    {
        list_.SetBlockChangeNumber(Number);
    }
    ~TBlockNumberScope() { list_.SetBlockChangeNumber(saved_); }
    TBlockNumberScope(const TBlockNumberScope&) = delete;
    TBlockNumberScope& operator=(const TBlockNumberScope&) = delete;

private:
    TQvEditUndoList& list_;
    Integer saved_;
};

// Moves a group break on top of From to To, keeping its change number. It goes over even
// when To has a break on top already: two breaks around a step that changed nothing are
// two states, and one of them may be the saved one.
inline void MoveGroupBreak(TQvEditUndoList& From, TQvEditUndoList& To)
{
    if (From.LastChangeReason() == crGroupBreak)
        To.PushItem(From.PopItem());
}

}  // namespace QvUndoRecords

// The frame of one replayed record: its selection mode and eoScrollPastEol for the
// duration, without trimming (the trimmed blanks have records of their own) and with
// selections allowed (replay selects what it replaces), under the paint lock; the mode
// and the options come back on every exit, and without selections the caret alone stays.
class TCustomQvEdit::TReplayFrame {
public:
    TReplayFrame(TCustomQvEdit& Editor, TQvSelectionMode Mode)
        : editor_(Editor),
          savedMode_(Editor.selectionMode_),
          pastEol_(Editor.options_.Contains(eoScrollPastEol)),
          trim_(Editor.options_.Contains(eoTrimTrailingSpaces)),
          noSelection_(Editor.options_.Contains(eoNoSelection)),
          lock_(Editor)
    {
        editor_.selectionMode_ = Mode;
        editor_.options_.Include(eoScrollPastEol);
        editor_.options_.Exclude(eoTrimTrailingSpaces);
        editor_.options_.Exclude(eoNoSelection);
    }
    ~TReplayFrame()
    {
        editor_.selectionMode_ = savedMode_;
        if (!pastEol_)
            editor_.options_.Exclude(eoScrollPastEol);
        if (trim_)
            editor_.options_.Include(eoTrimTrailingSpaces);
        if (noSelection_) {
            editor_.options_.Include(eoNoSelection);
            editor_.blockBegin_ = editor_.GetCaretXY();
            editor_.blockEnd_ = editor_.blockBegin_;
        }
    }
    TReplayFrame(const TReplayFrame&) = delete;
    TReplayFrame& operator=(const TReplayFrame&) = delete;

private:
    TCustomQvEdit& editor_;
    TQvSelectionMode savedMode_;
    bool pastEol_;
    bool trim_;
    bool noSelection_;
    TQvPaintLockScope lock_;
};

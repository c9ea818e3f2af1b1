// Dragging text: within one editor (a move, or a copy with Ctrl) and between editors (a
// copy, or a move with Shift), each drop one undo step that leaves the dropped text
// selected; and files dropped from the desktop, handed to OnDropFiles.
#include "qvedit/editor/QvEdit.h"

#include "platform/runtime/Classes.h"
#include "platform/window/Keys.h"
#include "qvedit/core/QvEditMiscProcs.h"

namespace {

bool KeyHeld(int VirtKey)
{
    return GetKeyState(VirtKey) < 0;
}

// True when A comes before B in line-then-column order.
bool Before(const TPoint& A, const TPoint& B)
{
    return A.Y < B.Y || (A.Y == B.Y && A.X < B.X);
}

}  // namespace

void TCustomQvEdit::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    TCustomControl::DragOver(Source, X, Y, State, Accept);
    if (dynamic_cast<TCustomQvEdit*>(Source) == nullptr || GetReadOnly())
        return;
    Accept = true;
    SetDragCursor(KeyHeld(VK_CONTROL) ? crMultiDrag : crDrag);
    if (Source != this) {
        ComputeCaret(X, Y);
    } else if (State == dsDragLeave) {
        ComputeCaret(mouseDownX_, mouseDownY_);
    } else {
        TPoint p = PixelsToRowColumn(TPoint{X, Y});
        p.X = MinMax(p.X, leftChar_, leftChar_ + charsInWindow_ - 1);
        p.Y = MinMax(p.Y, topLine_, topLine_ + linesInWindow_ - 1);
        InternalSetCaretXY(p);
        ComputeScroll(X, Y);
    }
}

void TCustomQvEdit::DragCanceled()
{
    scrollTimer_->SetEnabled(false);
    TCustomControl::DragCanceled();
}

void TCustomQvEdit::DragDrop(TObject* Source, int X, int Y)
{
    auto* source = dynamic_cast<TCustomQvEdit*>(Source);
    if (GetReadOnly() || source == nullptr || !source->GetSelAvail()) {
        TCustomControl::DragDrop(Source, X, Y);
        return;
    }
    TQvPaintLockScope lock(*this);
    TCustomControl::DragDrop(Source, X, Y);
    ComputeCaret(X, Y);
    TPoint dropPoint = GetCaretXY();
    const bool sameEditor = source == this;
    bool move;
    if (sameEditor) {
        move = !KeyHeld(VK_CONTROL);
        const TPoint first = GetBlockBegin();
        const TPoint last = GetBlockEnd();
        const bool outside = Before(dropPoint, first) || Before(last, dropPoint);
        const bool onEdge = dropPoint == first || dropPoint == last;
        if (!outside && (move || !onEdge))
            return;
    } else {
        // A read-only source gives a copy: nothing is taken from it.
        move = KeyHeld(VK_SHIFT) && !source->GetReadOnly();
    }
    InUndoBlock([&] {
        const std::string text = source->SelectedText(false);
        if (move && sameEditor)
            dropPoint = MoveSelectionAway(dropPoint, text);
        else if (move)
            source->SetSelTextExternal(std::string());
        InsertDroppedText(dropPoint, text, sameEditor);
    });
    blockEnd_ = GetCaretXY();
    CommandProcessor(ecSelGotoXY, '\0', &dropPoint);
}

// Deletes the selection for a move within this editor, recorded as one deletion, and
// gives the drop point as it stands once the selection is gone.
TPoint TCustomQvEdit::MoveSelectionAway(TPoint DropPoint, const std::string& Text)
{
    const auto [anchor, moving] = StoredSelectionForUndo();
    const TPoint first = minPoint(anchor, moving);
    const TPoint last = maxPoint(anchor, moving);
    WithUndoLocked([&] { SetSelTextExternal(std::string()); });
    undoList_->AddChange(crDelete, anchor, moving, Text, selectionMode_);
    // What followed the selection on its last line now follows its first character.
    if (DropPoint.Y == last.Y && DropPoint.X >= last.X) {
        DropPoint.X = DropPoint.X - last.X + first.X;
        DropPoint.Y = first.Y;
    } else if (DropPoint.Y > last.Y) {
        DropPoint.Y -= last.Y - first.Y;
    }
    return DropPoint;
}

void TCustomQvEdit::InsertDroppedText(const TPoint& DropPoint, const std::string& Text, bool SameEditor)
{
    const bool pastEol = options_.Contains(eoScrollPastEol);
    if (!pastEol)
        SetOptionFlag(eoScrollPastEol, true);
    try {
        InternalSetCaretXY(DropPoint);
        SetBlockBegin(DropPoint);
        // Not with undo locked: the blanks a drop past the line end pads with are recorded
        // by the insertion itself, so that undo takes them away with the text.
        ReplaceSelectionRecorded(Text, SameEditor ? crDragDropInsert : crInsert);
    } catch (...) {
        if (!pastEol)
            SetOptionFlag(eoScrollPastEol, false);
        throw;
    }
    if (!pastEol)
        SetOptionFlag(eoScrollPastEol, false);
}

// ---- Files from the desktop --------------------------------------------------------------------

void TCustomQvEdit::WMDropFiles(TWMDropFiles& Message)
{
    auto* drop = static_cast<HDROP>(Message.Drop());
    try {
        if (OnDropFiles) {
            TPoint point;
            DragQueryPoint(drop, &point);
            TStringList files;
            const UINT count = DragQueryFile(drop, 0xFFFFFFFFu, nullptr);
            for (UINT i = 0; i < count; ++i) {
                // The whole name, however long it is.
                std::string name;
                DragQueryFile(drop, i, &name);
                files.Add(name);
            }
            OnDropFiles(this, point.X, point.Y, &files);
        }
    } catch (...) {
        DragFinish(drop);
        throw;
    }
    DragFinish(drop);
    Message.Result() = 0;
}

// The SelText setter with its undo records, block indent and unindent, case changes, the
// Modified flag and the undo-block brackets.
#include "qvedit/editor/QvEdit.h"

#include "platform/runtime/CodePages.h"
#include "platform/runtime/SysUtils.h"

#include <algorithm>

namespace {

bool IsWordCaseCommand(TQvEditorCommand Cmd)
{
    return Cmd == ecUpperCase || Cmd == ecLowerCase || Cmd == ecToggleCase || Cmd == ecTitleCase;
}

std::string ConvertCase(TQvEditorCommand Cmd, const std::string& Text)
{
    switch (Cmd) {
    case ecUpperCase:
    case ecUpperCaseBlock:
        return AnsiUpperCase(Text);
    case ecLowerCase:
    case ecLowerCaseBlock:
        return AnsiLowerCase(Text);
    case ecTitleCase: {
        std::string result = AnsiLowerCase(Text);
        if (!result.empty())
            result[0] = CharUpperA(result[0]);
        return result;
    }
    default: {  // the toggles
        std::string result = Text;
        for (char& c : result)
            c = CharUpperA(c) == c ? CharLowerA(c) : CharUpperA(c);
        return result;
    }
    }
}

// How much indentation unindent takes from Line at the 0-based Start: one tab, or up to
// TabWidth blanks and a tab directly after fewer than TabWidth of them.
Integer UnindentAmount(const std::string& Line, std::size_t Start, Integer TabWidth)
{
    if (Start >= Line.size())
        return 0;
    if (Line[Start] == '\t')
        return 1;
    Integer blanks = 0;
    while (blanks < TabWidth && Start + static_cast<std::size_t>(blanks) < Line.size() &&
           Line[Start + static_cast<std::size_t>(blanks)] == ' ')
        ++blanks;
    const std::size_t after = Start + static_cast<std::size_t>(blanks);
    if (blanks < TabWidth && after < Line.size() && Line[after] == '\t')
        ++blanks;
    return blanks;
}

}  // namespace

// ---- SelText with undo ----------------------------------------------------------------------

void TCustomQvEdit::SetSelTextExternal(const std::string& Value)
{
    ReplaceSelectionRecorded(Value, crInsert);
}

void TCustomQvEdit::ReplaceSelectionRecorded(const std::string& Value, TQvChangeReason InsertReason)
{
    // Nothing to take away and nothing to put in: the text stays, so nothing is recorded
    // and Modified stays as it is.
    if (Value.empty() && !GetSelAvail())
        return;
    InUndoBlock([&] {
        // Without a selection the text goes in at the caret, wherever the (empty) stored
        // selection was left.
        TPoint startOfBlock = GetCaretXY();
        if (GetSelAvail()) {
            startOfBlock = RecordSelectionDeletion(crDelete);
            OrderStoredSelection();
        } else if (!Value.empty()) {
            // Line mode inserts at the start of the caret's line; with nothing inserted
            // and nothing deleted the text before the caret stays, so it is not recorded.
            startOfBlock = InsertionStart(startOfBlock);
        }
        // The primitive records the blanks it pads a short line with and, in column mode,
        // each row it fills.
        SetSelTextPrimitive(selectionMode_, Value.c_str());
        // Also in line mode the insertion is recorded as the stream it is: from column 1
        // of its first line to the caret. Recorded in line mode, its undo would also take
        // the whole line the caret ended on.
        if (selectionMode_ != smColumn)
            undoList_->AddChange(InsertReason, startOfBlock, GetCaretXY(), std::string(),
                                 smNormal);
    });
}

// ---- Modified and the undo brackets ------------------------------------------------------------

void TCustomQvEdit::SetModified(bool Value)
{
    if (Value != modified_) {
        modified_ = Value;
        if (options_.Contains(eoGroupUndo) && !Value && undoList_->CanUndo())
            undoList_->AddGroupBreak();
        undoList_->SetInitialState(!Value);
        StatusChanged(TQvStatusChanges{scModified});
    }
    // Every editor on the buffer says the same: a save in one, or a step back to the saved
    // text, is the others' too (a program asks any of them before it closes).
    ForEachEditorOnTheBuffer([&](TCustomQvEdit& E) {
        if (&E != this && E.modified_ != Value) {
            E.modified_ = Value;
            E.StatusChanged(TQvStatusChanges{scModified});
        }
    });
}

void TCustomQvEdit::UpdateModifiedStatus()
{
    SetModified(!undoList_->GetInitialState());
}

void TCustomQvEdit::BeginUndoBlock()
{
    undoList_->BeginBlock();
}

void TCustomQvEdit::EndUndoBlock()
{
    undoList_->EndBlock();
    if (paintLock_ == 0 && undoList_->BlockCount() == 0)
        TrimPendingLines();
}

void TCustomQvEdit::LockUndo()
{
    undoList_->Lock();
    redoList_->Lock();
}

void TCustomQvEdit::UnlockUndo()
{
    undoList_->Unlock();
    redoList_->Unlock();
}

void TCustomQvEdit::ClearUndo()
{
    undoList_->Clear();
    redoList_->Clear();
    // The saved state is anchored again: with empty lists "unmodified" must mean the state
    // now, not a record of the text that was there before.
    undoList_->SetInitialState(!modified_);
}

// ---- Block indent and unindent ----------------------------------------------------------------

void TCustomQvEdit::DoBlockIndent()
{
    if (!GetSelAvail())
        return;
    const TPoint bb = GetBlockBegin();
    const TPoint be = GetBlockEnd();
    const TPoint oldCaret = GetCaretXY();
    const bool spaces = options_.Contains(eoTabsToSpaces);
    const Integer caretX = be.X == 1 ? 1 : oldCaret.X + (spaces ? tabWidth_ : 1);
    const Integer lastLine = be.X == 1 ? be.Y - 1 : be.Y;
    if (lastLine < bb.Y)
        return;
    const std::string unit = spaces ? std::string(static_cast<std::size_t>(tabWidth_), ' ') : "\t";
    const auto unitLength = static_cast<Integer>(unit.size());
    std::string text = unit;
    for (Integer y = bb.Y + 1; y <= lastLine; ++y)
        text.append("\r\n").append(unit);

    const TQvSelectionMode oldMode = selectionMode_;
    const Integer x = oldMode == smColumn ? std::min(bb.X, be.X) : 1;
    InUndoBlock([&] {
        InsertBlock(TPoint{x, bb.Y}, TPoint{x, bb.Y}, text.c_str());
        undoList_->AddChange(crIndent, bb, be, std::string(), smColumn);
        undoList_->AddChange(crIndent, TPoint{bb.X + unitLength, bb.Y}, TPoint{be.X + unitLength, be.Y},
                             std::string(), smColumn);
    });
    selectionMode_ = oldMode;
    const TPoint newEnd{be.X > 1 ? be.X + unitLength : be.X, be.Y};
    SetCaretAndSelection(TPoint{caretX, oldCaret.Y}, TPoint{bb.X + unitLength, bb.Y}, newEnd);
}

void TCustomQvEdit::DoBlockUnindent()
{
    if (!GetSelAvail())
        return;
    const TPoint bb = GetBlockBegin();
    const TPoint be = GetBlockEnd();
    TPoint caret = GetCaretXY();
    const bool column = selectionMode_ == smColumn;
    const Integer lastLine = be.X == 1 ? be.Y - 1 : be.Y;
    const Integer deleteAt = column ? std::min(bb.X, be.X) : 1;

    std::vector<Integer> amounts;
    std::string removed;
    bool any = false;
    for (Integer y = bb.Y; y <= lastLine; ++y) {
        const std::string line = lines_->Get(y - 1);
        const Integer start = column ? std::min({bb.X - 1, be.X - 1, static_cast<Integer>(line.size())}) : 0;
        const Integer amount = UnindentAmount(line, static_cast<std::size_t>(start), tabWidth_);
        if (y > bb.Y)
            removed += "\r\n";
        removed.append(line, static_cast<std::size_t>(start), static_cast<std::size_t>(amount));
        amounts.push_back(amount);
        any = any || amount > 0;
        if (y == caret.Y && caret.X != 1)
            caret.X -= amount;
    }
    if (!any)
        return;

    TQvPaintLockScope lock(*this);
    for (Integer y = bb.Y; y <= lastLine; ++y) {
        const Integer amount = amounts[static_cast<std::size_t>(y - bb.Y)];
        if (amount > 0) {
            std::string line = lines_->Get(y - 1);
            line.erase(static_cast<std::size_t>(std::min(deleteAt - 1, static_cast<Integer>(line.size()))),
                       static_cast<std::size_t>(amount));
            lines_->Put(y - 1, line);
        }
    }
    undoList_->AddChange(crUnindent, bb, be, removed, selectionMode_);

    if (column) {
        SetCaretAndSelection(caret, bb, be);
    } else {
        const Integer firstAmount = amounts.front();
        const Integer lastAmount = lastLine == be.Y ? amounts.back() : 0;
        SetCaretAndSelection(caret, TPoint{std::max(bb.X - firstAmount, 1), bb.Y},
                             TPoint{std::max(be.X - lastAmount, 1), be.Y});
    }
}

// ---- Case change -------------------------------------------------------------------------------

void TCustomQvEdit::DoCaseChange(TQvEditorCommand Cmd)
{
    if (Cmd < ecUpperCase || Cmd > ecToggleCaseBlock)
        return;
    const TPoint oldCaret = GetCaretXY();
    const bool hadSelection = GetSelAvail();
    const TPoint oldBegin = blockBegin_;
    const TPoint oldEnd = blockEnd_;
    const bool wordForm = IsWordCaseCommand(Cmd);

    TQvPaintLockScope lock(*this);
    if (wordForm) {
        SetSelWord();
        for (int attempt = 0; attempt < 2 && !GetSelAvail(); ++attempt) {
            SetCaretXY(PrevWordPos());
            SetSelWord();
        }
    } else if (!hadSelection) {
        if (caretX_ <= static_cast<Integer>(GetLineText().size()))
            SetCaretAndSelection(oldCaret, oldCaret, TPoint{caretX_ + 1, caretY_});
        else if (caretY_ < lines_->Count())
            SetCaretXY(TPoint{1, caretY_ + 1});
    }

    const std::string text = SelectedText(false);
    if (!text.empty()) {
        InUndoBlock([&] {
            SetSelTextExternal(ConvertCase(Cmd, text));
            undoList_->AddChange(crCaret, oldCaret, oldCaret, std::string(), selectionMode_);
            if (hadSelection)
                undoList_->AddChange(crSelection, oldBegin, oldEnd, std::string(), selectionMode_);
            else
                undoList_->AddChange(crSelection, oldCaret, oldCaret, std::string(), selectionMode_);
        });
    }

    if (!wordForm && hadSelection)
        SetCaretAndSelection(oldCaret, oldBegin, oldEnd);
    else if (wordForm)
        SetCaretXY(oldCaret);
}

// Command execution, caret movement and the view: moves by characters, words, lines,
// pages and to the text's ends (each with a selecting twin, its code + 100), the Home key,
// selecting all, bracket matching, the selection modes, scrolling the view and the
// insert and overwrite modes.
#include "qvedit/editor/QvEdit.h"

#include <algorithm>

namespace {

// The plain command of a selecting one (code + 100); ecNone for any other code.
TQvEditorCommand PlainMoveCommand(TQvEditorCommand Command)
{
    if (Command >= ecLeft && Command <= ecGotoXY)
        return Command;
    if (Command >= ecSelLeft && Command <= ecSelGotoXY)
        return static_cast<TQvEditorCommand>(Command - (ecSelLeft - ecLeft));
    return ecNone;
}

bool IsBlankOrTab(char C)
{
    return C == ' ' || C == '\t';
}

}  // namespace

void TCustomQvEdit::MoveCaretTo(const TPoint& Target, bool Selection)
{
    MoveCaretAndSelection(GetCaretXY(), Target, Selection);
}

bool TCustomQvEdit::ExecuteMoveCommand(TQvEditorCommand Command, void* Data)
{
    const TQvEditorCommand plain = PlainMoveCommand(Command);
    if (plain == ecNone)
        return ExecuteViewCommand(Command);
    const bool sel = plain != Command;
    switch (plain) {
    case ecLeft:
        MoveCaretHorz(-1, sel);
        break;
    case ecRight:
        MoveCaretHorz(1, sel);
        break;
    case ecUp:
        MoveCaretVert(-1, sel);
        PaintChanges();
        break;
    case ecDown:
        MoveCaretVert(1, sel);
        PaintChanges();
        break;
    case ecWordLeft:
        MoveCaretTo(PrevWordPos(), sel);
        break;
    case ecWordRight:
        MoveCaretTo(NextWordPos(), sel);
        break;
    case ecLineStart:
        DoHomeKey(sel);
        break;
    case ecLineEnd:
        MoveCaretTo(TPoint{static_cast<Integer>(GetLineView().size()) + 1, caretY_}, sel);
        break;
    case ecPageUp:
    case ecPageDown:
        DoPageMove(plain == ecPageDown, sel);
        break;
    case ecPageLeft:
        MoveCaretHorz(-charsInWindow_, sel);
        break;
    case ecPageRight:
        MoveCaretHorz(charsInWindow_, sel);
        break;
    case ecPageTop:
        MoveCaretTo(TPoint{caretX_, topLine_}, sel);
        PaintChanges();
        break;
    case ecPageBottom:
        MoveCaretTo(TPoint{caretX_, topLine_ + linesInWindow_ - 1}, sel);
        PaintChanges();
        break;
    case ecEditorTop:
        MoveCaretTo(TPoint{1, 1}, sel);
        PaintChanges();
        break;
    case ecEditorBottom: {
        const Integer count = lines_->Count();
        const TPoint last = count > 0 ? TPoint{static_cast<Integer>(lines_->GetView(count - 1).size()) + 1, count}
                                      : TPoint{1, 1};
        MoveCaretTo(last, sel);
        PaintChanges();
        break;
    }
    case ecGotoXY:
        if (Data != nullptr) {
            MoveCaretTo(*static_cast<const TPoint*>(Data), sel);
            PaintChanges();
        }
        break;
    default:
        break;
    }
    return true;
}

// Selecting all, bracket matching, selection modes, scrolling and the typing modes.
bool TCustomQvEdit::ExecuteViewCommand(TQvEditorCommand Command)
{
    switch (Command) {
    case ecSelectAll:
        SelectAll();
        break;
    case ecMatchBracket:
        FindMatchingBracket();
        break;
    case ecNormalSelect:
        SetSelectionMode(smNormal);
        break;
    case ecColumnSelect:
        SetSelectionMode(smColumn);
        break;
    case ecLineSelect:
        SetSelectionMode(smLine);
        break;
    case ecScrollUp:
        DoScrollLine(-1);
        break;
    case ecScrollDown:
        DoScrollLine(1);
        break;
    case ecScrollLeft:
        SetLeftChar(leftChar_ - 1);
        PaintChanges();
        break;
    case ecScrollRight:
        SetLeftChar(leftChar_ + 1);
        PaintChanges();
        break;
    case ecInsertMode:
        SetInsertMode(true);
        break;
    case ecOverwriteMode:
        SetInsertMode(false);
        break;
    case ecToggleMode:
        SetInsertMode(!insertMode_);
        break;
    default:
        return false;
    }
    return true;
}

void TCustomQvEdit::DoHomeKey(bool Selection)
{
    Integer target = 1;
    if (options_.Contains(eoEnhanceHomeKey)) {
        // The first non-blank first; from there (or from before it) column 1. The last
        // character is never counted, so a line of blanks stops one short of its end.
        const std::string_view line = GetLineView();
        Integer leading = 0;
        while (static_cast<std::size_t>(leading) + 1 < line.size() &&
               IsBlankOrTab(line[static_cast<std::size_t>(leading)]))
            ++leading;
        if (caretX_ - 1 > leading || caretX_ == 1)
            target = leading + 1;
    }
    MoveCaretTo(TPoint{target, caretY_}, Selection);
}

void TCustomQvEdit::DoPageMove(bool Down, bool Selection)
{
    Integer count = linesInWindow_;
    if (options_.Contains(eoHalfPageScroll))
        count >>= 1;
    if (options_.Contains(eoScrollByOneLess))
        --count;
    if (!Down)
        count = -count;
    SetTopLine(topLine_ + count);
    MoveCaretVert(count, Selection);
    PaintChanges();
}

void TCustomQvEdit::DoScrollLine(Integer Delta)
{
    const Integer lastVisible = topLine_ + linesInWindow_ - 1;
    if (caretY_ < topLine_ || caretY_ > lastVisible) {
        EnsureCursorPosVisible();
        return;
    }
    SetTopLine(topLine_ + Delta);
    // The caret stays on the nearest line still shown.
    const Integer newLastVisible = topLine_ + std::max(linesInWindow_, 1) - 1;
    if (caretY_ > newLastVisible)
        MoveCaretVert(newLastVisible - caretY_, false);
    else if (caretY_ < topLine_)
        MoveCaretVert(topLine_ - caretY_, false);
    EnsureCursorPosVisible();
    PaintChanges();
}

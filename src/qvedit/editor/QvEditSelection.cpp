// The selection (an anchor and a moving end, in three modes), its flat-index forms, caret
// moves by characters and lines that carry the selection along, words around a position,
// and the leading-blank helpers of auto-indent.
#include "qvedit/editor/QvEdit.h"

#include "platform/runtime/CodePages.h"
#include "qvedit/core/QvEditMiscProcs.h"

#include <algorithm>
#include <limits>

namespace {

// True when the 1-based Index of S is the second byte of a double-byte character.
bool IsTrailByte(std::string_view S, Integer Index)
{
    if (LeadBytes().none())
        return false;
    Integer i = 1;
    while (i < Index)
        i += IsDBCSLeadByte(static_cast<Byte>(S[static_cast<std::size_t>(i - 1)])) ? 2 : 1;
    return i > Index;
}

}  // namespace

// ---- Selection points ------------------------------------------------------------------------

TPoint TCustomQvEdit::GetBlockBegin() const
{
    return minPoint(blockBegin_, blockEnd_);
}

TPoint TCustomQvEdit::GetBlockEnd() const
{
    return maxPoint(blockBegin_, blockEnd_);
}

TPoint TCustomQvEdit::ClampSelectionPoint(TPoint Value) const
{
    Value.Y = MinMax(Value.Y, 1, lines_->GetCount());
    const Integer length =
        Value.Y >= 1 && Value.Y <= lines_->GetCount() ? static_cast<Integer>(lines_->GetView(Value.Y - 1).size()) : 0;
    // A line longer than the maximum width stays selectable to its end, so that undo
    // selects all of what a record past that width covers.
    const Int64 limit = std::max(Int64{maxLineWidth_}, Int64{length}) + 1;
    Value.X = static_cast<Integer>(std::clamp<Int64>(Value.X, 1, limit));
    if (selectionMode_ == smNormal)
        Value.X = Value.Y <= lines_->GetCount() ? std::min(Value.X, length + 1) : 1;
    return Value;
}

void TCustomQvEdit::SetBlockBegin(TPoint Value)
{
    Value = ClampSelectionPoint(Value);
    bool changed;
    if (GetSelAvail()) {
        const Integer first = std::min({Value.Y, blockBegin_.Y, blockEnd_.Y});
        const Integer last = std::max({Value.Y, blockBegin_.Y, blockEnd_.Y});
        blockBegin_ = Value;
        blockEnd_ = Value;
        InvalidateLines(first, last);
        changed = true;
    } else {
        changed = blockBegin_ != Value || blockEnd_ != Value;
        blockBegin_ = Value;
        blockEnd_ = Value;
    }
    if (changed)
        StatusChanged({scSelection});
}

void TCustomQvEdit::SetBlockEnd(TPoint Value)
{
    if (options_.Contains(eoNoSelection))
        return;
    Value = ClampSelectionPoint(Value);
    if (Value == blockEnd_)
        return;
    if (Value.X > 1 && IsTrailByte(lines_->GetView(Value.Y - 1), Value.X)) {
        --Value.X;
        if (Value == blockEnd_)
            return;
    }
    if (selectionMode_ == smColumn && Value.X != blockEnd_.X) {
        InvalidateLines(std::min({blockBegin_.Y, blockEnd_.Y, Value.Y}),
                        std::max({blockBegin_.Y, blockEnd_.Y, Value.Y}));
        blockEnd_ = Value;
    } else {
        const Integer oldLine = blockEnd_.Y;
        blockEnd_ = Value;
        if (selectionMode_ != smColumn || blockBegin_.X != blockEnd_.X)
            InvalidateLines(oldLine, blockEnd_.Y);
    }
    StatusChanged({scSelection});
}

bool TCustomQvEdit::GetSelAvail() const
{
    return blockBegin_.X != blockEnd_.X ||
           (blockBegin_.Y != blockEnd_.Y && selectionMode_ != smColumn);
}

bool TCustomQvEdit::GetSelTabBlock() const
{
    return blockBegin_.Y != blockEnd_.Y && selectionMode_ != smColumn;
}

bool TCustomQvEdit::GetSelTabLine() const
{
    const auto caretLineLength = static_cast<Int64>(lines_->GetView(caretY_ - 1).size());
    return GetBlockBegin().X == 1 && caretLineLength < GetBlockEnd().X && GetSelAvail();
}

void TCustomQvEdit::SetSelectionMode(TQvSelectionMode Value)
{
    if (Value == selectionMode_)
        return;
    selectionMode_ = Value;
    if (GetSelAvail())
        InvalidateLines(GetBlockBegin().Y, GetBlockEnd().Y);
    StatusChanged({scSelection});
}

void TCustomQvEdit::SelectAll()
{
    TPoint last{1, 1};
    const Integer count = lines_->GetCount();
    if (count > 0)
        last = TPoint{static_cast<Integer>(lines_->GetView(count - 1).size()) + 1, count};
    SetCaretAndSelection(last, TPoint{1, 1}, last);
    StatusChanged({scSelection});
}

void TCustomQvEdit::SetCaretAndSelection(const TPoint& ptCaret, const TPoint& ptBefore,
                                         const TPoint& ptAfter)
{
    TQvPaintLockScope lock(*this);
    InternalSetCaretXY(ptCaret);
    SetBlockBegin(ptBefore);
    SetBlockEnd(ptAfter);
}

bool TCustomQvEdit::IsPointInSelection(const TPoint& Value) const
{
    const TPoint first = GetBlockBegin();
    const TPoint last = GetBlockEnd();
    if (Value.Y < first.Y || Value.Y > last.Y || first == last)
        return false;
    switch (selectionMode_) {
    case smLine:
        return true;
    case smColumn: {
        const Integer left = std::min(first.X, last.X);
        const Integer right = std::max(first.X, last.X);
        return Value.X >= left && Value.X < right;
    }
    case smNormal:
        break;
    }
    return (Value.Y > first.Y || Value.X >= first.X) && (Value.Y < last.Y || Value.X < last.X);
}

void TCustomQvEdit::MBCSGetSelRangeInLineWhenColumnSelectionMode(const std::string& S,
                                                                  Integer& ColFrom,
                                                                  Integer& ColTo) const
{
    const auto length = static_cast<Integer>(S.size());
    if (ColFrom > 1 && ColFrom <= length && IsTrailByte(S, ColFrom))
        ++ColFrom;
    if (ColTo > 1 && ColTo <= length && IsTrailByte(S, ColTo))
        ++ColTo;
}

// ---- Flat indexes ----------------------------------------------------------------------------

Integer TCustomQvEdit::GetSelStart() const
{
    return RowColToCharIndex(GetSelAvail() ? GetBlockBegin() : GetCaretXY());
}

void TCustomQvEdit::SetSelStart(Integer Value)
{
    HandleNeeded();
    InternalSetCaretXY(CharIndexToRowCol(Value));
    SetBlockBegin(GetCaretXY());
}

Integer TCustomQvEdit::GetSelEnd() const
{
    return RowColToCharIndex(GetBlockEnd());
}

void TCustomQvEdit::SetSelEnd(Integer Value)
{
    HandleNeeded();
    SetBlockEnd(CharIndexToRowCol(Value));
}

Integer TCustomQvEdit::GetSelLength() const
{
    if (!GetSelAvail())
        return 0;
    return SaturateToInteger(Int64{RowColToCharIndex(GetBlockEnd())} - RowColToCharIndex(GetBlockBegin()));
}

void TCustomQvEdit::SetSelLength(Integer Value)
{
    const TPoint first = GetBlockBegin();
    // An index beyond what an index can hold is past the text's end too.
    const Int64 index = std::min<Int64>(Int64{RowColToCharIndex(first)} + Value, std::numeric_limits<Integer>::max());
    const TPoint other = CharIndexToRowCol(static_cast<Integer>(std::max<Int64>(index, -1)));
    if (Value < 0)
        SetCaretAndSelection(other, other, first);
    else
        SetCaretAndSelection(other, first, other);
}

// ---- Caret moves -----------------------------------------------------------------------------

void TCustomQvEdit::MoveCaretAndSelection(const TPoint& ptBefore, const TPoint& ptAfter,
                                          bool SelectionCommand)
{
    // Every caret move ends an undo group.
    if (options_.Contains(eoGroupUndo) && undoList_->CanUndo())
        undoList_->AddGroupBreak();
    TQvPaintLockScope lock(*this);
    if (SelectionCommand) {
        if (!GetSelAvail())
            SetBlockBegin(ptBefore);
        // A column block stays one column wide rather than empty.
        if (selectionMode_ == smColumn && ptBefore.X == ptAfter.X)
            SetBlockEnd(TPoint{SaturateToInteger(Int64{ptAfter.X} + 1), ptAfter.Y});
        else
            SetBlockEnd(ptAfter);
    } else {
        SetBlockBegin(ptAfter);
    }
    InternalSetCaretXY(ptAfter);
}

void TCustomQvEdit::MoveCaretHorz(Integer DX, bool SelectionCommand)
{
    const std::string_view line = lines_->GetView(caretY_ - 1);
    const auto length = static_cast<Integer>(line.size());
    const bool wrap = !options_.Contains(eoScrollPastEol);
    TPoint target = GetCaretXY();
    if (wrap && DX == -1 && caretX_ == 1 && caretY_ > 1) {
        target = TPoint{static_cast<Integer>(lines_->GetView(caretY_ - 2).size()) + 1, caretY_ - 1};
    } else if (wrap && DX == 1 && caretX_ > length && caretY_ < lines_->GetCount()) {
        target = TPoint{1, caretY_ + 1};
    } else {
        Int64 x = std::max<Int64>(1, Int64{caretX_} + DX);
        if (wrap && DX > 0)
            x = std::min<Int64>(x, Int64{length} + 1);
        target.X = SaturateToInteger(x);
        // Never onto the second byte of a double-byte character.
        if (target.X > 1 && target.X <= length && IsTrailByte(line, target.X))
            target.X += DX > 0 ? 1 : -1;
    }
    MoveCaretAndSelection(blockBegin_, target, SelectionCommand);
}

void TCustomQvEdit::MoveCaretVert(Integer DY, bool SelectionCommand)
{
    const TPoint start = GetDisplayXY();
    Int64 line = Int64{start.Y} + DY;
    line = DY >= 0 ? std::min<Int64>(line, std::max(lines_->GetCount(), 1)) : std::max<Int64>(line, 1);
    TPoint target{start.X, static_cast<Integer>(line)};
    if (target.Y != start.Y && options_.Contains(eoKeepCaretX))
        target.X = lastCaretX_;
    target = PhysicalToLogicalPos(target);
    // The column remembered for the next vertical move survives this one.
    const Integer savedLastCaretX = lastCaretX_;
    MoveCaretAndSelection(blockBegin_, target, SelectionCommand);
    lastCaretX_ = savedLastCaretX;
}

// ---- Words -----------------------------------------------------------------------------------

TPoint TCustomQvEdit::NextWordPos()
{
    return NextWordPosEx(GetCaretXY());
}

TPoint TCustomQvEdit::NextWordPosEx(const TPoint& XY)
{
    return NextWordPosIn(*lines_, XY, PrepareWordChars(highlighter_));
}

TPoint TCustomQvEdit::WordStart()
{
    return WordStartEx(GetCaretXY());
}

TPoint TCustomQvEdit::WordStartEx(const TPoint& XY)
{
    return WordStartIn(*lines_, XY, PrepareWordChars(highlighter_));
}

TPoint TCustomQvEdit::WordEnd()
{
    return WordEndEx(GetCaretXY());
}

TPoint TCustomQvEdit::WordEndEx(const TPoint& XY)
{
    return WordEndIn(*lines_, XY, PrepareWordChars(highlighter_));
}

TPoint TCustomQvEdit::PrevWordPos()
{
    return PrevWordPosEx(GetCaretXY());
}

TPoint TCustomQvEdit::PrevWordPosEx(const TPoint& XY)
{
    return PrevWordPosIn(*lines_, XY, PrepareWordChars(highlighter_));
}

std::string TCustomQvEdit::GetWordAtRowCol(const TPoint& XY) const
{
    return WordAtRowColIn(*lines_, XY, WordIdentChars(highlighter_));
}

std::string TCustomQvEdit::GetWordAtMouse() const
{
    TPoint position;
    if (!GetPositionOfMouse(position))
        return {};
    return GetWordAtRowCol(position);
}

std::string TCustomQvEdit::GetWordAtCursor()
{
    // The text from WordStart to WordEnd, as a normal selection of the caret line would
    // give it, without disturbing the selection.
    const TPoint first = WordStart();
    const TPoint last = WordEnd();
    if (caretY_ < 1 || caretY_ > lines_->GetCount() || last.X <= first.X)
        return {};
    const std::string line = lines_->Get(caretY_ - 1);
    const auto from = static_cast<std::size_t>(first.X - 1);
    if (from >= line.size())
        return {};
    return line.substr(from, static_cast<std::size_t>(last.X - first.X));
}

void TCustomQvEdit::SetWordBlock(TPoint Value)
{
    Value.X = MinMax(Value.X, 1, maxLineWidth_);
    Value.Y = MinMax(Value.Y, 1, lines_->GetCount());
    const std::string text = lines_->Get(Value.Y - 1) + '\0';
    const auto length = static_cast<Integer>(text.size());
    if (Value.X > length) {
        InternalSetCaretXY(TPoint{length, Value.Y});
        return;
    }
    Integer start = Value.X;
    Integer end = Value.X;
    if (highlighter_ != nullptr) {
        const TQvIdentChars ident = PrepareWordChars(highlighter_).Ident;
        WordBlockBounds(text, Value.X, &ident, start, end);
    } else {
        WordBlockBounds(text, Value.X, nullptr, start, end);
    }
    SetCaretAndSelection(TPoint{end, Value.Y}, TPoint{start, Value.Y}, TPoint{end, Value.Y});
    InvalidateLine(Value.Y);
    StatusChanged({scSelection});
}

void TCustomQvEdit::SetSelWord()
{
    SetWordBlock(GetCaretXY());
}

TQvIdentChars TCustomQvEdit::IdentChars() const
{
    return highlighter_ != nullptr ? highlighter_->GetIdentChars() : TQvIdentChars::Range(33, 255);
}

// ---- Leading blanks --------------------------------------------------------------------------

Integer TCustomQvEdit::LeftSpaces(const std::string& Line) const
{
    return LeftSpacesEx(Line, false);
}

Integer TCustomQvEdit::LeftSpacesEx(const std::string& Line, bool WantTabs) const
{
    if (Line.empty() || !options_.Contains(eoAutoIndent))
        return 0;
    Int64 count = 0;
    for (char c : Line) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 1 || byte > 32)
            break;
        count += (c == '\t' && WantTabs) ? tabWidth_ : 1;
    }
    return SaturateToInteger(count);
}

std::string TCustomQvEdit::GetLeftSpacing(Integer CharCount, bool WantTabs) const
{
    if (CharCount <= 0)
        return {};
    if (WantTabs && !options_.Contains(eoTabsToSpaces) && CharCount >= tabWidth_)
        return std::string(static_cast<std::size_t>(CharCount / tabWidth_), '\t') +
               std::string(static_cast<std::size_t>(CharCount % tabWidth_), ' ');
    return std::string(static_cast<std::size_t>(CharCount), ' ');
}

// Command execution, editing: typing a character or input-method text, line breaks,
// the deleting commands and the Tab keys. Each change writes its own undo records, in
// the order undo must replay them backwards; none runs while the editor is read-only.
#include "qvedit/editor/QvEdit.h"

#include "qvedit/core/QvEditMiscProcs.h"

#include <algorithm>

namespace {

bool IsBlank(char C)
{
    return C == ' ';
}

Integer Length(const std::string& S)
{
    return static_cast<Integer>(S.size());
}

std::string Blanks(Integer Count)
{
    return std::string(static_cast<std::size_t>(std::max(Count, 0)), ' ');
}

bool PointBefore(const TPoint& A, const TPoint& B)
{
    return A.Y < B.Y || (A.Y == B.Y && A.X < B.X);
}

// Runs the edit between the before and after notices of transient painting.
template <class Body>
void InTransientBracket(TCustomQvEdit& Editor, void (TCustomQvEdit::*Notify)(TTransientType, bool), Body&& body)
{
    (Editor.*Notify)(ttBefore, true);
    try {
        body();
    } catch (...) {
        (Editor.*Notify)(ttAfter, true);
        throw;
    }
    (Editor.*Notify)(ttAfter, true);
}

}  // namespace

bool TCustomQvEdit::ExecuteEditCommand(TQvEditorCommand Command, char AChar, void* Data)
{
    switch (Command) {
    case ecChar:
    case ecImeStr:
    case ecLineBreak:
    case ecInsertLine:
    case ecTab:
    case ecShiftTab:
        if (!GetReadOnly())
            ExecuteTypingCommand(Command, AChar, Data);
        return true;
    case ecDeleteLastChar:
    case ecDeleteChar:
    case ecDeleteWord:
    case ecDeleteEOL:
    case ecDeleteLastWord:
    case ecDeleteBOL:
        break;
    case ecDeleteLine:
        if (!GetReadOnly())
            DoDeleteLine();
        return true;
    case ecClearAll:
        if (!GetReadOnly())
            ClearAll();
        return true;
    default:
        return false;
    }
    if (GetReadOnly())
        return true;
    InTransientBracket(*this, &TCustomQvEdit::DoOnPaintTransientEx, [&] {
        if (Command == ecDeleteLastChar)
            DoDeleteLastChar();
        else if (Command == ecDeleteChar)
            DoDeleteChar();
        else if (Command == ecDeleteWord || Command == ecDeleteEOL)
            DoDeleteToWordEndOrEol(Command);
        else
            DoDeleteToWordStartOrBol(Command);
    });
    return true;
}

bool TCustomQvEdit::ExecuteTypingCommand(TQvEditorCommand Command, char AChar, void* Data)
{
    switch (Command) {
    case ecChar:
        // Control characters and DEL are never typed; tabs come through ecTab.
        if (static_cast<unsigned char>(AChar) < 32 || AChar == 127)
            return true;
        if (GetSelAvail())
            TypeCharOverSelection(AChar);
        else
            TypeChar(AChar);
        DoOnPaintTransient(ttAfter);
        return true;
    case ecImeStr:
        if (Data != nullptr)
            InsertImeText(static_cast<const char*>(Data));
        return true;
    case ecLineBreak:
    case ecInsertLine:
        DoLineBreak(Command == ecLineBreak);
        return true;
    case ecTab:
        DoTabKey();
        return true;
    case ecShiftTab:
        DoShiftTabKey();
        return true;
    default:
        return false;
    }
}

// ---- Shared steps ------------------------------------------------------------------------------

void TCustomQvEdit::DeleteSelectionForCommand(bool ByDirection)
{
    const bool backwards = ByDirection && !PointBefore(blockBegin_, blockEnd_);
    const auto [begin, end] = StoredSelectionForUndo();
    const std::string text = SelectedText(false);
    SetSelText(std::string());
    undoList_->AddChange(backwards ? crDeleteAfterCursor : crDelete, begin, end, text, selectionMode_);
}

std::string TCustomQvEdit::ReplaceSpan(const TPoint& From, const TPoint& To, const std::string& Text)
{
    if (GetSelAvail())
        InvalidateLines(GetBlockBegin().Y, GetBlockEnd().Y);
    const TQvSelectionMode savedMode = selectionMode_;
    selectionMode_ = smNormal;
    blockBegin_ = From;
    blockEnd_ = To;
    std::string old;
    try {
        old = SelectedText(false);
        SetSelTextPrimitive(smNormal, Text.c_str());
    } catch (...) {
        selectionMode_ = savedMode;
        throw;
    }
    selectionMode_ = savedMode;
    blockBegin_ = GetCaretXY();
    blockEnd_ = blockBegin_;
    return old;
}

void TCustomQvEdit::ScrollToTypedCaret()
{
    if (charsInWindow_ > 1 && caretX_ >= leftChar_ + charsInWindow_)
        SetLeftChar(leftChar_ + std::min(25, charsInWindow_ - 1));
}

// ---- Typing ------------------------------------------------------------------------------------

void TCustomQvEdit::TypeCharOverSelection(char AChar)
{
    InUndoBlock([&] {
        // The deletion is recorded before the insertion: undo replays backwards, so the
        // typed character goes first and the selected text comes back where it was.
        const TPoint start = RecordSelectionDeletion(crDelete);
        SetSelText(std::string(1, AChar));
        if (selectionMode_ != smColumn)
            undoList_->AddChange(crInsert, start, GetCaretXY(), std::string(), smNormal);
    });
}

void TCustomQvEdit::TypeChar(char AChar)
{
    std::string line = GetLineText();
    // Overwrite mode replaces only a character that is there: at and after the line's end
    // the character is added as in insert mode, so that no blank filled in to be replaced
    // is recorded as replaced text.
    const bool replacing = !insertMode_ && caretX_ <= Length(line);
    const bool wasEmpty = line.empty();
    Integer fillerLength = 0;
    if (Length(line) < caretX_ - 1) {
        const Integer count = caretX_ - 1 - Length(line);
        const std::string filler = wasEmpty ? GetLeftSpacing(count, true) : Blanks(count);
        line += filler;
        fillerLength = Length(filler);
    }
    WithOptionOn(eoScrollPastEol, [&] {
        const TPoint start = GetCaretXY();
        if (!replacing) {
            const Integer expanded = CharIndex2CaretPos(Length(line) + 1, tabWidth_, line) - 1;
            if (!options_.Contains(eoAutoSizeMaxLineWidth) &&
                (caretX_ > maxLineWidth_ || expanded >= maxLineWidth_))
                return;
            const Integer at = std::min(caretX_ - 1, Length(line));
            line.insert(static_cast<std::size_t>(at), 1, AChar);
            const Integer newX = wasEmpty ? Length(line) + 1 : caretX_ + 1;
            TrimmedSetLine(caretY_ - 1, line);
            SetCaretX(newX);
            // The records hold character columns: after a filler of tabs the character
            // stands left of the caret's column.
            const TPoint typed{at + 1, start.Y};
            if (fillerLength > 0) {
                InUndoBlock([&] {
                    undoList_->AddChange(crWhiteSpaceAdd, typed, TPoint{typed.X - fillerLength, start.Y},
                                         std::string(), smNormal);
                    undoList_->AddChange(crInsert, typed, GetCaretXY(), std::string(), smNormal);
                });
            } else {
                undoList_->AddChange(crInsert, typed, GetCaretXY(), std::string(), smNormal);
            }
        } else {
            const auto at = static_cast<std::size_t>(caretX_ - 1);
            const std::string replaced = line.substr(at, 1);
            line[at] = AChar;
            TrimmedSetLine(caretY_ - 1, line);
            undoList_->AddChange(crInsert, start, TPoint{caretX_ + Length(replaced), caretY_}, replaced,
                                 smNormal);
            SetCaretX(caretX_ + 1);
        }
        ScrollToTypedCaret();
    });
}

void TCustomQvEdit::InsertImeText(const char* Text)
{
    const std::string text(Text);
    if (GetSelAvail()) {
        // As a typed character over a selection: the deletion in the selection's own mode
        // and first, the insertion as a stream (column rows record themselves).
        InUndoBlock([&] {
            const TPoint start = RecordSelectionDeletion(crDelete);
            SetSelText(text);
            if (selectionMode_ != smColumn)
                undoList_->AddChange(crInsert, start, GetCaretXY(), std::string(), smNormal);
        });
        InvalidateGutter();
        return;
    }
    std::string line = GetLineText();
    // Blanks up to a caret past the line's end are recorded, as typing records its filler,
    // so that undo takes them away with the text.
    const Integer padding = std::max(caretX_ - 1 - Length(line), 0);
    line += Blanks(padding);
    WithOptionOn(eoScrollPastEol, [&] {
        const TPoint start = GetCaretXY();
        const auto at = static_cast<std::size_t>(caretX_ - 1);
        std::string replaced;
        if (!insertMode_) {
            replaced = line.substr(at, text.size());
            line.erase(at, replaced.size());
        }
        line.insert(at, text);
        TrimmedSetLine(caretY_ - 1, line);
        SetCaretX(caretX_ + Length(text));
        InUndoBlock([&] {
            if (padding > 0)
                undoList_->AddChange(crWhiteSpaceAdd, start, TPoint{start.X - padding, start.Y}, std::string(),
                                     smNormal);
            undoList_->AddChange(crInsert, start, GetCaretXY(), replaced, smNormal);
        });
        ScrollToTypedCaret();
    });
}

// ---- Line breaks -------------------------------------------------------------------------------

void TCustomQvEdit::DoLineBreak(bool MoveCaret)
{
    InUndoBlock([&] {
        if (GetSelAvail())
            DeleteSelectionForCommand(false);
        const std::string line = GetLineText();
        const Integer y = caretY_;
        const TPoint caret = GetCaretXY();
        // Where undo joins the lines again. From the virtual space after a line it would
        // pad the line with blanks up to the caret, which were never there.
        const TPoint joinAt{std::min(caretX_, Length(line) + 1), y};
        Integer insertedLine = y;  // the 1-based number the new line gets
        TPoint target = caret;
        if (line.empty()) {
            if (lines_->Count() == 0)
                lines_->Add(std::string());
            Integer indent = 0;
            for (Integer i = y; i >= 1 && options_.Contains(eoAutoIndent); --i) {
                const std::string above = lines_->Get(i - 1);
                if (!above.empty()) {
                    indent = LeftSpacesEx(above, true);
                    break;
                }
            }
            lines_->Insert(y - 1, std::string());
            undoList_->AddChange(crLineBreak, joinAt, joinAt, std::string(), smNormal);
            target = TPoint{indent + 1, y + 1};
        } else if (caretX_ > Length(line)) {
            // After the end of the line: the new line below takes the caret line's
            // indentation, the characters themselves (tabs stay tabs).
            const Integer indent = LeftSpaces(line);
            const std::string spacing = MoveCaret ? line.substr(0, static_cast<std::size_t>(indent)) : std::string();
            lines_->Insert(y, spacing);
            insertedLine = y + 1;
            target = TPoint{indent + 1, y + 1};
            undoList_->AddChange(crLineBreak, joinAt, joinAt, std::string(), smNormal);
        } else if (caretX_ == 1) {
            lines_->Insert(y - 1, std::string());
            undoList_->AddChange(crLineBreak, caret, caret, line, smNormal);
            target = TPoint{1, y + 1};
        } else {
            const auto split = static_cast<std::size_t>(caretX_ - 1);
            const std::string right = line.substr(split);
            const std::string spacing = GetLeftSpacing(LeftSpacesEx(line, true), true);
            lines_->Insert(y, spacing + right);
            try {
                TrimmedSetLine(y - 1, line.substr(0, split));
            } catch (...) {
                // The line stays whole, without a copy of its tail below it.
                lines_->Put(y - 1, line);
                lines_->Delete(y);
                throw;
            }
            insertedLine = y + 1;
            undoList_->AddChange(crLineBreak, caret, caret, right, smNormal);
            target = TPoint{Length(spacing) + 1, y + 1};
        }
        if (MoveCaret)
            InternalSetCaretXY(target);
        DoLinesInserted(insertedLine, 1);
        blockBegin_ = GetCaretXY();
        blockEnd_ = blockBegin_;
        EnsureCursorPosVisible();
        UpdateLastCaretX();
    });
}

// ---- Tab keys ----------------------------------------------------------------------------------

Integer TCustomQvEdit::SmartTabDistance() const
{
    if (caretY_ <= 1 || caretY_ > lines_->Count())
        return 0;
    const Integer column = DisplayX();
    for (Integer y = caretY_ - 1; y >= 1; --y) {
        const std::string above = lines_->Get(y - 1);
        bool insideTab = false;
        const Integer from = CaretPos2CharIndex(column, tabWidth_, above, insideTab);
        if (from > Length(above))
            continue;
        // The rest of the word under the caret's column, then the blanks after it.
        Integer to = from;
        while (to <= Length(above) && !IsBlank(above[static_cast<std::size_t>(to - 1)]))
            ++to;
        while (to <= Length(above) && IsBlank(above[static_cast<std::size_t>(to - 1)]))
            ++to;
        return std::max(CharIndex2CaretPos(to, tabWidth_, above) - column, 0);
    }
    return 0;
}

void TCustomQvEdit::DoTabKey()
{
    if (options_.Contains(eoTabIndent) && (GetSelTabBlock() || GetSelTabLine())) {
        DoBlockIndent();
        // A whole line selected alone keeps its start, not the end the indent moved.
        if (blockBegin_.Y == blockEnd_.Y) {
            if (blockBegin_.X > blockEnd_.X)
                blockBegin_.X = 1;
            else
                blockEnd_.X = 1;
        }
        return;
    }
    const bool smart = options_.Contains(eoSmartTabs);
    const Integer smartDistance = smart ? SmartTabDistance() : 0;
    Integer newX = caretX_;
    InUndoBlock([&] {
        if (GetSelAvail())
            DeleteSelectionForCommand(false);
        const Integer column = DisplayX();
        const Integer toNextStop = tabWidth_ - (column - 1) % tabWidth_;
        std::string text;
        if (options_.Contains(eoTabsToSpaces)) {
            text = Blanks(smartDistance > 0 ? smartDistance : tabWidth_ - (caretX_ - 1) % tabWidth_);
        } else if (options_.Contains(eoTrimTrailingSpaces) && caretX_ > Length(GetLineText())) {
            // Blanks at the end of a line would be trimmed: the caret moves instead.
            newX = caretX_ + (smartDistance > 0 ? smartDistance : toNextStop);
        } else if (smartDistance > 0) {
            Integer distance = smartDistance;
            if (toNextStop <= distance) {
                text += '\t';
                distance -= toNextStop;
            }
            text.append(static_cast<std::size_t>(distance / tabWidth_), '\t');
            text += Blanks(distance % tabWidth_);
        } else {
            text = "\t";
        }
        const TPoint caret = GetCaretXY();
        // Where the text goes in: in line mode at column 1, ahead of the caret.
        TPoint start = caret;
        if (!text.empty()) {
            start = InsertionStart(caret);
            SetSelText(text);
            newX = caret.X + Length(text);
        }
        // Recorded as a stream whatever the mode (in line mode its undo would take the
        // whole line), as long as the text or, when nothing went in, the caret's move.
        const Integer extent = newX - caret.X;
        if (selectionMode_ != smColumn)
            undoList_->AddChange(crInsert, start, TPoint{start.X + extent, start.Y}, std::string(), smNormal);
    });
    WithOptionOn(eoScrollPastEol, [&] { SetCaretX(newX); });
    EnsureCursorPosVisible();
}

void TCustomQvEdit::DoShiftTabKey()
{
    if (options_.Contains(eoTabIndent) && (GetSelTabBlock() || GetSelTabLine())) {
        DoBlockUnindent();
        return;
    }
    const std::string line = GetLineText();
    const Integer y = caretY_;
    Integer newX = caretX_;
    if (options_.Contains(eoSmartTabs) && caretX_ != 1 && y > 1) {
        // Back to the start of the word of the nearest line above that reaches the caret.
        for (Integer i = y - 1; i >= 1; --i) {
            const std::string above = lines_->Get(i - 1);
            if (Length(above) < caretX_ - 1)
                continue;
            Integer x = caretX_ - 1;
            while (x > 1 && IsBlank(above[static_cast<std::size_t>(x - 1)]))
                --x;
            while (x > 1 && !IsBlank(above[static_cast<std::size_t>(x - 2)]))
                --x;
            newX = x;
            break;
        }
    }
    if (newX == caretX_ && caretX_ > 1) {
        // At column 1 there is no stop before the caret (and with tab width 1 the division
        // below would give column 0, before the line's start).
        const Integer prevStop = ((caretX_ - 2) / tabWidth_) * tabWidth_ + 1;
        const bool tabBefore = caretX_ >= 2 && caretX_ - 1 <= Length(line) &&
                               line[static_cast<std::size_t>(caretX_ - 2)] == '\t';
        if (newX > prevStop && tabBefore) {
            --newX;
        } else {
            while (newX > prevStop &&
                   (newX - 1 > Length(line) || IsBlank(line[static_cast<std::size_t>(newX - 2)])))
                --newX;
        }
    }
    if (newX == caretX_)
        return;
    const TPoint oldCaret = GetCaretXY();
    const TPoint from{newX, y};
    const std::string text = ReplaceSpan(from, oldCaret, std::string());
    undoList_->AddChange(crDeleteAfterCursor, from, oldCaret, text, smNormal);
    SetCaretX(newX);
}

// Command execution, deleting: Backspace (with smart-tab delete and tab stops), Delete,
// to the end of a word or of the line, to the start of a word or of the line, and the
// whole line. Each records what it took so that undo puts it back and the caret with it.
#include "qvedit/editor/QvEdit.h"

#include "qvedit/core/QvEditMiscProcs.h"

#include <algorithm>

namespace {

Integer Length(const std::string& S)
{
    return static_cast<Integer>(S.size());
}

// Bytes 1..32 count as leading blanks (tabs among them).
bool IsLeadingBlank(char C)
{
    const auto byte = static_cast<unsigned char>(C);
    return byte >= 1 && byte <= 32;
}

Integer LeadingBlankCount(const std::string& Line)
{
    const auto end = std::find_if_not(Line.begin(), Line.end(), IsLeadingBlank);
    return static_cast<Integer>(end - Line.begin());
}

// The indentation of the nearest line above Line that is indented less than Want; 0 when
// there is none.
Integer LesserIndentAbove(const TCustomQvEdit& Editor, Integer Line, Integer Want)
{
    for (Integer y = Line - 1; y >= 1; --y) {
        const Integer indent = Editor.LeftSpaces(Editor.GetLines()->Get(y - 1));
        if (indent < Want)
            return indent;
    }
    return 0;
}

}  // namespace

void TCustomQvEdit::DoDeleteLastChar()
{
    if (GetSelAvail()) {
        DeleteSelectionForCommand(true);
        return;
    }
    std::string line = GetLineText();
    const Integer length = Length(line);
    const TPoint oldCaret = GetCaretXY();
    std::string deleted;
    if (caretX_ > length + 1) {
        // In the virtual space after the line only the caret moves.
        if (!options_.Contains(eoSmartTabDelete))
            SetCaretX(caretX_ - 1);
        else if (length == 0)
            SetCaretX(LesserIndentAbove(*this, caretY_, caretX_ - 1) + 1);
        else
            SetCaretX(length + 1);
    } else if (caretX_ == 1) {
        if (caretY_ <= 1)
            return;
        const Integer y = caretY_;
        const std::string above = lines_->Get(y - 2);
        SetCaretXY(TPoint{Length(above) + 1, y - 1});
        lines_->Delete(y - 1);
        DoLinesDeleted(y, 1);
        TrimmedSetLine(y - 2, above + line);
        deleted = "\r\n";
    } else {
        const Integer leading = LeadingBlankCount(line);
        const auto before = static_cast<std::size_t>(caretX_ - 2);
        Integer count = 1;
        const bool afterLeadingBlanks = IsLeadingBlank(line[before]) && leading == caretX_ - 1;
        if (afterLeadingBlanks && options_.Contains(eoSmartTabDelete)) {
            count = leading - LesserIndentAbove(*this, caretY_, leading);
        } else if (afterLeadingBlanks) {
            // Back to the previous tab stop, no further than a tab character.
            const Integer column = DisplayX();
            Integer back = (column - 1) % tabWidth_;
            if (back == 0)
                back = tabWidth_;
            const std::string expanded = ConvertTabs(line, tabWidth_);
            count = 0;
            for (Integer x = column - back; x < column && count < tabWidth_ && count < back; ++x) {
                ++count;
                if (x >= 1 && x <= Length(expanded) && expanded[static_cast<std::size_t>(x - 1)] == '\t')
                    break;
            }
        }
        count = std::clamp(count, 1, caretX_ - 1);
        const auto from = static_cast<std::size_t>(caretX_ - 1 - count);
        deleted = line.substr(from, static_cast<std::size_t>(count));
        line.erase(from, static_cast<std::size_t>(count));
        TrimmedSetLine(caretY_ - 1, line);
        SetCaretX(caretX_ - count);
    }
    if (GetCaretXY() != oldCaret)
        undoList_->AddChange(crSilentDelete, GetCaretXY(), oldCaret, deleted, smNormal);
}

void TCustomQvEdit::DoDeleteChar()
{
    if (GetSelAvail()) {
        DeleteSelectionForCommand(true);
        return;
    }
    UpdateLastCaretX();
    std::string line = GetLineText();
    const Integer y = caretY_;
    if (caretX_ > Length(line)) {
        if (y >= lines_->Count())
            return;
        // The next line joins at the caret's column.
        const TPoint from{Length(line) + 1, y};
        line.resize(static_cast<std::size_t>(caretX_ - 1), ' ');
        TrimmedSetLine(y - 1, line + lines_->Get(y));
        lines_->Delete(y);
        DoLinesDeleted(y + 1, 1);
        RecordDeleteAfterCaret(from, TPoint{1, y + 1}, "\r\n");
    } else {
        const auto at = static_cast<std::size_t>(caretX_ - 1);
        const std::string deleted = line.substr(at, 1);
        line.erase(at, 1);
        TrimmedSetLine(y - 1, line);
        RecordDeleteAfterCaret(GetCaretXY(), TPoint{caretX_ + 1, y}, deleted);
    }
}

void TCustomQvEdit::RecordDeleteAfterCaret(const TPoint& From, const TPoint& End, const std::string& Deleted)
{
    InUndoBlock([&] {
        undoList_->AddChange(crSilentDeleteAfterCursor, From, End, Deleted, smNormal);
        if (From != GetCaretXY())
            undoList_->AddChange(crInsert, From, GetCaretXY(), std::string(), smNormal);
    });
}

void TCustomQvEdit::DoDeleteToWordEndOrEol(TQvEditorCommand Command)
{
    const std::string line = GetLineText();
    const Integer length = Length(line);
    TPoint end{length + 1, caretY_};
    if (Command == ecDeleteWord) {
        end = WordEnd();
        std::string endLine = line;
        if (caretX_ >= end.X) {
            if (caretX_ <= length) {
                end.X = caretX_;
                if (line[static_cast<std::size_t>(caretX_ - 1)] != ' ')
                    ++end.X;
            } else if (caretY_ < lines_->Count()) {
                end = TPoint{1, caretY_ + 1};
                endLine = lines_->Get(caretY_);
            }
        }
        while (end.X <= Length(endLine) && endLine[static_cast<std::size_t>(end.X - 1)] == ' ')
            ++end.X;
    }
    const TPoint caret = GetCaretXY();
    if (end.Y < caret.Y || (end.Y == caret.Y && end.X <= caret.X))
        return;
    // From the caret's column: in the virtual space after the line, blanks fill the gap so
    // that the joined text starts at the caret.
    const TPoint from{std::min(caretX_, length + 1), caretY_};
    const std::string deleted = ReplaceSpan(from, end, std::string(static_cast<std::size_t>(caretX_ - from.X), ' '));
    SetCaretXY(caret);
    RecordDeleteAfterCaret(from, end, deleted);
}

void TCustomQvEdit::DoDeleteToWordStartOrBol(TQvEditorCommand Command)
{
    const TPoint start = Command == ecDeleteLastWord ? PrevWordPos() : TPoint{1, caretY_};
    const TPoint caret = GetCaretXY();
    if (start == caret)
        return;
    const std::string deleted = ReplaceSpan(start, caret, std::string());
    undoList_->AddChange(crSilentDelete, start, caret, deleted, smNormal);
    SetCaretXY(start);
}

void TCustomQvEdit::DoDeleteLine()
{
    const Integer count = lines_->Count();
    // Nothing to delete in an empty buffer or one empty line.
    if (count == 0 || (count == 1 && lines_->GetView(0).empty()))
        return;
    DoOnPaintTransient(ttBefore);
    if (GetSelAvail())
        SetBlockBegin(GetCaretXY());
    const Integer y = caretY_;
    std::string text = GetLineText();
    if (count == 1) {
        lines_->Put(0, std::string());
    } else {
        lines_->Delete(y - 1);
        if (y < count)
            text += "\r\n";
        // Only the deleted line's marks and those below move; the line above keeps its own.
        DoLinesDeleted(y, 1);
    }
    undoList_->AddChange(crDeleteAfterCursor, TPoint{1, y}, GetCaretXY(), text, smNormal);
    SetCaretXY(TPoint{1, y});
}

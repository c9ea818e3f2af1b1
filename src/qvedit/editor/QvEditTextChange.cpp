// The one primitive every change of the editor's text goes through: delete the selection
// in the editor's selection mode, insert a text in a mode of its own. Also the selected
// text, the Text and LineText properties, column-block insertion, clearing, and the mark
// and plug-in notices for inserted and deleted lines.
#include "qvedit/editor/QvEdit.h"

#include "platform/runtime/SysUtils.h"
#include "qvedit/core/QvEditLineEnds.h"
#include "qvedit/editor/QvEditMarks.h"

#include <algorithm>
#include <limits>

namespace {

// A column beyond the end of every line.
constexpr Integer ToLineEnd = std::numeric_limits<Integer>::max();

// Runs body inside a batch of the buffer that is closed also when body raises.
template <class Body>
void InBufferBatch(TStrings& Lines, Body&& body)
{
    Lines.BeginUpdate();
    try {
        body();
    } catch (...) {
        Lines.EndUpdate();
        throw;
    }
    Lines.EndUpdate();
}

// The part [From, To) of S (1-based columns), clamped to S.
std::string_view ColumnSpan(std::string_view S, Integer From, Integer To)
{
    const auto len = static_cast<Integer>(S.size());
    From = std::clamp(From, 1, len + 1);
    To = std::clamp(To, From, len + 1);
    return S.substr(static_cast<std::size_t>(From - 1), static_cast<std::size_t>(To - From));
}

std::string Blanks(Integer Count)
{
    return std::string(static_cast<std::size_t>(std::max(Count, 0)), ' ');
}

// The line breaks of a text to insert: the lines it adds to the buffer.
Integer LinesAdded(std::string_view Text)
{
    const std::size_t breaks = CountLineBreaks(Text);
    if (breaks > static_cast<std::size_t>(std::numeric_limits<Integer>::max()))
        throw EOutOfResources("Too many lines");
    return static_cast<Integer>(breaks);
}

}  // namespace

std::vector<std::string_view> TCustomQvEdit::SplitTextLines(std::string_view Text)
{
    std::vector<std::string_view> pieces;
    pieces.reserve(CountLineBreaks(Text) + 1);
    for (TQvTextLines lines(Text); !lines.AtEnd();)
        pieces.push_back(lines.Next());
    return pieces;
}

// ---- Selected text, Text, LineText -----------------------------------------------------------

// Short rows of a column block are padded unless trailing blanks are trimmed (a padded row
// could not be stored as it reads).
std::string TCustomQvEdit::GetSelText() const
{
    return SelectedText(!options_.Contains(eoTrimTrailingSpaces));
}

// A column block's rows are the text in them; with PadColumns (the copy) a row shorter
// than the block is filled with blanks, so that the block pastes back rectangular. Undo
// records and the editor's own replacements take the rows unpadded, so that undoing a
// deletion or changing the case of a block adds no blanks to a line.
std::string TCustomQvEdit::SelectedText(bool PadColumns) const
{
    if (!GetSelAvail())
        return std::string();
    const TPoint bb = GetBlockBegin();
    const TPoint be = GetBlockEnd();
    const Integer count = lines_->Count();
    const Integer first = std::clamp(bb.Y, 1, std::max(count, 1));
    const Integer last = std::clamp(be.Y, first, std::max(count, 1));
    const Integer colFrom = std::min(bb.X, be.X);
    const Integer colTo = std::max(bb.X, be.X);
    // The selected part of a line, read in place, and the blanks a padded row gets after it.
    struct TRow {
        std::string_view Text;
        std::size_t Pad = 0;
    };
    const auto row = [&](Integer y) -> TRow {
        const std::string_view line = lines_->GetView(y - 1);
        switch (selectionMode_) {
        case smNormal:
            return {ColumnSpan(line, y == first ? bb.X : 1, y == last ? be.X : ToLineEnd)};
        case smColumn: {
            Integer from = colFrom;
            Integer to = colTo;
            MBCSGetSelRangeInLineWhenColumnSelectionMode(std::string(line), from, to);
            const std::string_view span = ColumnSpan(line, from, to);
            return {span, PadColumns ? static_cast<std::size_t>(to - from) - span.size() : 0};
        }
        case smLine:
            break;
        }
        return {line};
    };
    // A stream over several lines: the first line's tail, the lines between whole and the
    // last line's head, read in place without looking at each line's columns.
    if (selectionMode_ == smNormal && first < last)
        return SelectedStream(TPoint{bb.X, first}, TPoint{be.X, last});
    // Every line of a line block but the buffer's last ends with a line end.
    const bool finalLineEnd = selectionMode_ == smLine && last < count;
    // The length first, then one allocation filled with block copies.
    std::size_t length = 2 * static_cast<std::size_t>(last - first + (finalLineEnd ? 1 : 0));
    for (Integer y = first; y <= last; ++y) {
        const TRow r = row(y);
        length += r.Text.size() + r.Pad;
    }
    std::string result;
    result.reserve(length);
    for (Integer y = first; y <= last; ++y) {
        const TRow r = row(y);
        result.append(r.Text).append(r.Pad, ' ');
        if (y < last || finalLineEnd)
            result.append("\r\n");
    }
    return result;
}

std::string TCustomQvEdit::SelectedStream(TPoint From, TPoint To) const
{
    const std::string_view head = ColumnSpan(lines_->GetView(From.Y - 1), From.X, ToLineEnd);
    const std::string_view tail = ColumnSpan(lines_->GetView(To.Y - 1), 1, To.X);
    std::size_t length = head.size() + tail.size() + 2 * static_cast<std::size_t>(To.Y - From.Y);
    for (Integer y = From.Y + 1; y < To.Y; ++y)
        length += lines_->GetView(y - 1).size();
    std::string result;
    result.reserve(length);
    result.append(head).append("\r\n");
    for (Integer y = From.Y + 1; y < To.Y; ++y)
        result.append(lines_->GetView(y - 1)).append("\r\n");
    result.append(tail);
    return result;
}

std::string TCustomQvEdit::QvGetText() const
{
    std::string text = lines_->GetText();
    if (text.size() >= 2)
        text.resize(text.size() - 2);
    return text;
}

void TCustomQvEdit::QvSetText(const std::string& Value)
{
    lines_->SetText(Value);
}

std::string TCustomQvEdit::GetLineText() const
{
    if (caretY_ >= 1 && caretY_ <= lines_->Count())
        return lines_->Get(caretY_ - 1);
    return std::string();
}

std::string_view TCustomQvEdit::GetLineView() const
{
    if (caretY_ >= 1 && caretY_ <= lines_->Count())
        return lines_->GetView(caretY_ - 1);
    return {};
}

void TCustomQvEdit::SetLineText(const std::string& Value)
{
    if (caretY_ >= 1 && caretY_ <= std::max(1, lines_->Count()))
        lines_->Put(caretY_ - 1, Value);
}

std::pair<TPoint, TPoint> TCustomQvEdit::StoredSelectionForUndo() const
{
    TPoint begin = blockBegin_;
    TPoint end = blockEnd_;
    // A stream selection that was made past a line's end (in another mode) deletes from
    // the line's end; that is where the undo record must put the text back.
    if (selectionMode_ == smNormal) {
        for (TPoint* p : {&begin, &end})
            if (p->Y >= 1 && p->Y <= lines_->Count())
                p->X = std::min(p->X, static_cast<Integer>(lines_->GetView(p->Y - 1).size()) + 1);
    }
    return {begin, end};
}

void TCustomQvEdit::OrderStoredSelection()
{
    const TPoint first = GetBlockBegin();
    blockEnd_ = GetBlockEnd();
    blockBegin_ = first;
}

TPoint TCustomQvEdit::InsertionStart(TPoint At) const
{
    if (selectionMode_ == smLine)
        At.X = 1;
    return At;
}

TPoint TCustomQvEdit::RecordSelectionDeletion(TQvChangeReason Reason)
{
    const auto [begin, end] = StoredSelectionForUndo();
    undoList_->AddChange(Reason, begin, end, SelectedText(false), selectionMode_);
    return InsertionStart(minPoint(begin, end));
}

// ---- Clearing --------------------------------------------------------------------------------

void TCustomQvEdit::ClearAll()
{
    lines_->Clear();
    // The bookmark slots point into the mark list: empty them through ClearBookMark before
    // the list frees its marks, so that no slot is left holding a freed mark.
    for (Integer i = 0; i < static_cast<Integer>(bookMarks_.size()); ++i)
        if (bookMarks_[static_cast<std::size_t>(i)] != nullptr)
            ClearBookMark(i);
    marks_->Clear();
    bookMarks_.fill(nullptr);
    // Both lists go and the saved state is anchored anew, also when the buffer was empty
    // already and told nobody it was cleared.
    ClearUndo();
    SetModified(false);
}

void TCustomQvEdit::ClearSelection()
{
    if (GetSelAvail())
        SetSelTextExternal(std::string());
}

// ---- Column blocks ---------------------------------------------------------------------------

void TCustomQvEdit::InsertBlock(const TPoint& BB, const TPoint& BE, const char* ChangeStr)
{
    InsertBlockEx(BB, BE, ChangeStr, true);
}

void TCustomQvEdit::InsertBlockEx(const TPoint& BB, const TPoint& BE, const char* ChangeStr,
                                  bool AddToUndoList)
{
    SetCaretAndSelection(BB, BB, BE);
    selectionMode_ = smColumn;
    SetSelTextPrimitiveEx(smColumn, ChangeStr, AddToUndoList);
    StatusChanged(TQvStatusChanges{scSelection});
}

// ---- The primitive -----------------------------------------------------------------------------

void TCustomQvEdit::SetSelText(const std::string& Value)
{
    SetSelTextPrimitive(selectionMode_, Value.c_str());
}

void TCustomQvEdit::SetSelTextPrimitive(TQvSelectionMode PasteMode, const char* Value)
{
    SetSelTextPrimitiveEx(PasteMode, Value, true);
}

void TCustomQvEdit::SetSelTextPrimitiveEx(TQvSelectionMode PasteMode, const char* Value,
                                          bool AddToUndoList)
{
    TQvPaintLockScope lock(*this);
    InBufferBatch(*lines_, [&] {
        TPoint bb = GetBlockBegin();
        const TPoint be = GetBlockEnd();
        if (GetSelAvail()) {
            DeleteSelectedBlock(bb, be);
            InternalSetCaretXY(bb);
        }
        if (Value != nullptr && *Value != '\0')
            InsertTextByMode(PasteMode, std::string_view(Value), AddToUndoList);
        if (caretY_ < 1)
            caretY_ = 1;
    });
}

// Deletes BB..BE in the editor's selection mode. BB becomes where the caret goes: the
// join point in normal mode, the block's left column in column mode, column 1 in line mode.
void TCustomQvEdit::DeleteSelectedBlock(TPoint& BB, const TPoint& BE)
{
    switch (selectionMode_) {
    case smNormal: {
        if (lines_->Count() > 0) {
            // Both lines are read in place: the joined line is made before either changes.
            const std::string_view first = lines_->GetView(BB.Y - 1);
            // A selection begun beyond the line's end (made in another mode) joins at
            // the end, and that is where the caret goes.
            BB.X = std::min(BB.X, static_cast<Integer>(first.size()) + 1);
            const std::string_view head = ColumnSpan(first, 1, BB.X);
            const std::string_view tail = ColumnSpan(lines_->GetView(BE.Y - 1), BE.X, ToLineEnd);
            std::string joined;
            joined.reserve(head.size() + tail.size());
            joined.append(head).append(tail);
            if (BE.Y > BB.Y)
                lines_->DeleteLines(BB.Y, BE.Y - BB.Y);
            lines_->Put(BB.Y - 1, joined);
            if (options_.Contains(eoScrollPastEol) && options_.Contains(eoTrimTrailingSpaces))
                TrimWhenChangeEnds(BB.Y - 1);
        }
        InternalSetCaretXY(BB);
        // The lines after BB.Y went; BB.Y itself stays (it takes the tail of BE.Y).
        DoLinesDeleted(BB.Y + 1, BE.Y - BB.Y);
        break;
    }
    case smColumn: {
        const Integer right = std::max(BB.X, BE.X);
        BB.X = std::min(BB.X, BE.X);
        for (Integer y = BB.Y; y <= BE.Y && y <= lines_->Count(); ++y) {
            std::string line = lines_->Get(y - 1);
            Integer from = BB.X;
            Integer to = right;
            MBCSGetSelRangeInLineWhenColumnSelectionMode(line, from, to);
            const std::string_view span = ColumnSpan(line, from, to);
            // A line the block does not reach is left as it is, trailing blanks included.
            if (span.empty())
                continue;
            line.erase(static_cast<std::size_t>(span.data() - line.data()), span.size());
            TrimmedSetLine(y - 1, line);
        }
        InternalSetCaretXY(TPoint{BB.X, blockEnd_.Y});
        break;
    }
    case smLine: {
        const Integer count = lines_->Count();
        if (count > 0) {
            const Integer last = std::min(BE.Y, count);
            if (last == count) {
                lines_->Put(last - 1, std::string());
                lines_->DeleteLines(BB.Y - 1, last - BB.Y);
            } else {
                lines_->DeleteLines(BB.Y - 1, last - BB.Y + 1);
            }
        }
        // Whole lines went: what comes in goes to column 1 of the line that followed.
        BB.X = 1;
        InternalSetCaretXY(BB);
        DoLinesDeleted(BB.Y, BE.Y - BB.Y + 1);
        break;
    }
    }
}

void TCustomQvEdit::InsertTextByMode(TQvSelectionMode PasteMode, std::string_view Text,
                                     bool AddToUndoList)
{
    Integer startLine = caretY_;
    const Integer startColumn = caretX_;
    const Integer oldCount = lines_->Count();
    Integer added = 0;
    switch (PasteMode) {
    case smNormal:
        added = InsertNormal(Text, AddToUndoList);
        if (startColumn >= 2)
            ++startLine;
        break;
    case smColumn:
        added = InsertColumn(Text, AddToUndoList);
        // Only lines appended after the old last line are new; no existing line moved.
        startLine = oldCount + 1;
        break;
    case smLine:
        added = InsertLine(Text);
        break;
    }
    if (added > 0)
        DoLinesInserted(startLine, added);
    InternalSetCaretXY(TPoint{caretX_, caretY_});
}

Integer TCustomQvEdit::InsertNormal(std::string_view Text, bool AddToUndoList)
{
    // A text of a million lines goes in without a list of its lines: the buffer splits it
    // as it stores it.
    const Integer ends = LinesAdded(Text);
    // The caret line is read in place, and copied from before it changes.
    const std::string_view line = lines_->GetView(caretY_ - 1);
    const auto keep = static_cast<std::size_t>(std::max(caretX_ - 1, 0));
    const std::string_view rightOfCaret = keep < line.size() ? line.substr(keep) : std::string_view();
    std::string left;
    left.reserve(keep + (ends == 0 ? Text.size() + rightOfCaret.size() : 0));
    left.append(line.substr(0, std::min(keep, line.size())));
    // A caret beyond the line's end gets blanks up to it; they are recorded, as typing
    // records its filler, so that undo takes them away with the text. (Nothing is right
    // of such a caret: the line is not read again after the record.)
    if (left.size() < keep && AddToUndoList)
        undoList_->AddChange(crWhiteSpaceAdd, TPoint{caretX_, caretY_},
                             TPoint{static_cast<Integer>(line.size()) + 1, caretY_}, std::string(), smNormal);
    left.resize(keep, ' ');
    const auto rightLength = static_cast<Integer>(rightOfCaret.size());
    if (ends == 0) {
        TrimmedSetLine(caretY_ - 1, left.append(Text).append(rightOfCaret));
    } else {
        // What goes after the last piece is copied before the lines move. The caret line
        // and the new lines after it are the lines of the text between what was left and
        // right of the caret, stored at once.
        const std::string right(rightOfCaret);
        InsertTextLines(caretY_ - 1, ends, false, left, Text, right);
        caretY_ += ends;
    }
    // After the text as it went in: trimming comes at the end of the change.
    caretX_ = static_cast<Integer>(lines_->GetView(caretY_ - 1).size()) + 1 - rightLength;
    StatusChanged(TQvStatusChanges{scCaretX});
    return ends;
}

Integer TCustomQvEdit::InsertColumn(std::string_view Text, bool AddToUndoList)
{
    const Integer col = caretX_;
    // A column row recorded in line mode would select whole lines when undone.
    const TQvSelectionMode recordMode = selectionMode_ == smLine ? smColumn : selectionMode_;
    const std::vector<std::string_view> pieces = SplitTextLines(Text);
    Integer added = 0;
    Integer lastLength = 0;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const std::string_view piece = pieces[i];
        if (!piece.empty()) {
            // Rows below the last line get lines of their own, each one recorded, also
            // for empty rows in between, so that undo takes every appended line away.
            while (caretY_ > lines_->Count()) {
                const Integer prev = lines_->Count();
                lines_->Add(std::string());
                ++added;
                if (AddToUndoList && prev >= 1) {
                    const TPoint at{static_cast<Integer>(lines_->GetView(prev - 1).size()) + 1, prev};
                    undoList_->AddChange(crLineBreak, at, at, std::string(), smNormal);
                }
            }
            std::string line = lines_->Get(caretY_ - 1);
            const auto len = static_cast<Integer>(line.size());
            if (len < col - 1) {
                line += Blanks(col - 1 - len);
                line += piece;
                // The blanks that reach the column are a change of their own, so that undo
                // takes them away with the piece.
                if (AddToUndoList)
                    undoList_->AddChange(crWhiteSpaceAdd, TPoint{col, caretY_}, TPoint{len + 1, caretY_},
                                         std::string(), smNormal);
            } else {
                Integer from = col;
                Integer to = col;
                MBCSGetSelRangeInLineWhenColumnSelectionMode(line, from, to);
                line.insert(static_cast<std::size_t>(std::min(from, len + 1) - 1), piece);
            }
            TrimmedSetLine(caretY_ - 1, line);
            lastLength = static_cast<Integer>(piece.size());
            if (AddToUndoList)
                undoList_->AddChange(crPaste, TPoint{col, caretY_}, TPoint{col + lastLength, caretY_},
                                     std::string(), recordMode);
        }
        if (i + 1 < pieces.size())
            ++caretY_;
    }
    caretX_ = col + lastLength;
    return added;
}

Integer TCustomQvEdit::InsertLine(std::string_view Text)
{
    caretX_ = 1;
    const Integer whole = LinesAdded(Text);
    const Integer at = std::min(caretY_ - 1, lines_->Count());
    // The pieces before the last line break are new lines; the last goes in front of the
    // caret line, which follows them. They are stored at once.
    const std::string after = lines_->Get(at);
    InsertTextLines(at, whole, true, std::string_view(), Text, after);
    caretY_ = at + 1 + whole;
    const std::size_t lastBreak = Text.find_last_of("\r\n");
    caretX_ = static_cast<Integer>(lastBreak == std::string_view::npos ? Text.size() : Text.size() - lastBreak - 1) + 1;
    StatusChanged(TQvStatusChanges{scCaretX});
    return whole;
}

void TCustomQvEdit::InsertTextLines(Integer Line, Integer Count, bool LinesBefore, std::string_view Head,
                                    std::string_view Text, std::string_view Tail)
{
    // An empty buffer, or a caret below its last line, gets the line first.
    const bool appended = Line >= lines_->Count();
    const std::string original = appended ? std::string() : lines_->Get(Line);
    if (appended)
        lines_->Add(std::string());
    const Integer opened = LinesBefore ? Line : Line + 1;
    bool linesOpened = false;
    try {
        lines_->InsertLines(opened, Count);
        linesOpened = true;
        TrimmedSetLines(Line, Head, Text, Tail);
    } catch (...) {
        // The new lines go and the split line gets its text back (a line appended goes).
        if (linesOpened)
            lines_->DeleteLines(opened, Count);
        if (appended)
            lines_->Delete(Line);
        else
            lines_->Put(Line, original);
        throw;
    }
}

// ---- Marks and plug-ins ----------------------------------------------------------------------

void TCustomQvEdit::DoLinesInserted(Integer FirstLine, Integer Count)
{
    for (int i = 0; i < marks_->Count(); ++i) {
        TQvEditMark* mark = marks_->Get(i);
        if (mark->GetLine() >= FirstLine)
            mark->SetLine(mark->GetLine() + Count);
    }
    for (std::size_t i = 0; i < plugins_.size(); ++i)
        plugins_[i]->LinesInserted(FirstLine, Count);
}

void TCustomQvEdit::DoLinesDeleted(Integer FirstLine, Integer Count)
{
    for (int i = 0; i < marks_->Count(); ++i) {
        TQvEditMark* mark = marks_->Get(i);
        if (mark->GetLine() >= FirstLine + Count - 1)
            mark->SetLine(std::max(mark->GetLine() - Count, 1));
        else if (mark->GetLine() > FirstLine)
            mark->SetLine(std::max(FirstLine, 1));
    }
    for (std::size_t i = 0; i < plugins_.size(); ++i)
        plugins_[i]->LinesDeleted(FirstLine, Count);
}

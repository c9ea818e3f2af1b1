// The search-and-replace driver: it hands the lines of a range to the search engine one
// at a time, selects each match that lies in the range, asks the application when told
// to, and lets the engine write the replacement. Also bracket matching, which skips
// brackets inside strings and comments, and the highlighter token at a position.
#include "qvedit/editor/QvEdit.h"

#include "qvedit/search/QvEditRegexSearch.h"
#include "qvedit/search/QvEditSearch.h"

#include <algorithm>

namespace {

TCustomQvEdit& EditorOf(TObject* AEditor)
{
    auto* editor = dynamic_cast<TCustomQvEdit*>(AEditor);
    if (editor == nullptr)
        throw EQvEditError("The search engine was given no editor to replace in");
    return *editor;
}

// The eight brackets: an even index opens, its partner is the index with the lowest bit
// flipped.
constexpr char Brackets[] = {'(', ')', '[', ']', '{', '}', '<', '>'};

}  // namespace

// The engines' access to the editor (declared with the plain engine).
std::string QvEditGetSelText(TObject* AEditor)
{
    return EditorOf(AEditor).GetSelText();
}

void QvEditSetSelTextExternal(TObject* AEditor, const std::string& Value)
{
    EditorOf(AEditor).SetSelTextExternal(Value);
}

void TCustomQvEdit::SetSearchEngine(TQvEditSearchCustom* Value)
{
    if (Value == searchEngine_)
        return;
    if (searchEngine_ != nullptr)
        searchEngine_->RemoveFreeNotification(this);
    searchEngine_ = Value;
    lineMatches_ = TLineMatches{};
    if (Value != nullptr)
        Value->FreeNotification(this);
}

TQvReplaceAction TCustomQvEdit::DoOnReplaceText(const std::string& ASearch, const std::string& AReplace,
                                                Integer Line, Integer Column)
{
    TQvReplaceAction action = raCancel;
    if (OnReplaceText)
        OnReplaceText(this, ASearch, AReplace, Line, Column, action);
    return action;
}

// ---- The search range --------------------------------------------------------------------------

TCustomQvEdit::TSearchRange TCustomQvEdit::SearchRangeFor(TQvSearchOptions AOptions) const
{
    TSearchRange range;
    range.Mode = selectionMode_;
    if (AOptions.Contains(ssoSelectedOnly)) {
        range.Start = GetBlockBegin();
        range.End = GetBlockEnd();
        if (range.Mode == smLine) {
            range.Start.X = 1;
            range.End.X = static_cast<Integer>(lines_->GetView(range.End.Y - 1).size()) + 1;
        } else if (range.Mode == smColumn && range.Start.X > range.End.X) {
            std::swap(range.Start.X, range.End.X);
        }
        return range;
    }
    range.Mode = smNormal;
    const Integer count = lines_->Count();
    range.Start = TPoint{1, 1};
    range.End = TPoint{static_cast<Integer>(lines_->GetView(count - 1).size()) + 1, count};
    if (!AOptions.Contains(ssoEntireScope)) {
        range.FromCaret = true;
        if (AOptions.Contains(ssoBackwards))
            range.End = GetCaretXY();
        else
            range.Start = GetCaretXY();
    }
    return range;
}

bool TCustomQvEdit::TSearchRange::Contains(Integer Line, Integer Found, Integer Len) const
{
    switch (Mode) {
    case smNormal:
        return !(Line == Start.Y && Found < Start.X) && !(Line == End.Y && Found + Len > End.X);
    case smColumn:
        return (Found >= Start.X && Found + Len <= End.X) || End.X - Start.X < 1;
    case smLine:
        break;
    }
    return true;
}

// ---- Selecting and replacing one match -----------------------------------------------------------

void TCustomQvEdit::SelectSearchMatch(Integer Line, Integer Found, Integer Len, bool Backward)
{
    SetBlockBegin(TPoint{Found, Line});
    // Column 1 first, so that a line brought into view is shown from its start and
    // centred when it was off-screen.
    SetCaretXYEx(false, TPoint{1, Line});
    EnsureCursorPosVisibleEx(true);
    SetBlockEnd(TPoint{Found + Len, Line});
    InternalSetCaretXY(TPoint{Backward ? Found : Found + Len, Line});
}

Integer TCustomQvEdit::SearchReplace(const std::string& ASearch, const std::string& AReplace,
                                     TQvSearchOptions AOptions)
{
    if (searchEngine_ == nullptr)
        throw EQvEditError("No search engine has been assigned");
    if (ASearch.empty())
        return 0;
    if (!GetSelAvail())
        AOptions.Exclude(ssoSelectedOnly);
    TSearchRun run;
    run.Backward = AOptions.Contains(ssoBackwards);
    run.Prompt = AOptions.Contains(ssoPrompt);
    run.Replace = AOptions.Contains(ssoReplace);
    run.ReplaceAll = AOptions.Contains(ssoReplaceAll);
    run.Range = SearchRangeFor(AOptions);
    run.UserMode = selectionMode_;
    run.Options = AOptions;

    searchEngine_->SetOptions(AOptions);
    searchEngine_->SetPattern(ASearch);
    run.Pattern = searchEngine_->GetPattern();
    DoOnPaintTransient(ttBefore);
    if (run.ReplaceAll) {
        BeginViewBatch();
        run.Batched = true;
        if (!run.Prompt)
            OpenSearchUndoBlock(run);
    }
    // Matches are selected and replaced as streams whatever the user's mode, so that a
    // line-mode selection never takes the whole line with a match.
    SetSelectionMode(smNormal);
    try {
        TQvRegexSearchOperation operation(searchEngine_);
        RunSearch(run, ASearch, AReplace);
    } catch (...) {
        EndSearchRun(run);
        throw;
    }
    EndSearchRun(run);
    return run.Result;
}

const TCustomQvEdit::TLineMatches& TCustomQvEdit::MatchesOfLine(const TSearchRun& Run, Integer Line)
{
    TLineMatches& kept = lineMatches_;
    // A replacement is made from the engine's own results of the line: they are renewed.
    if (!Run.Replace && !Run.ReplaceAll && kept.Engine == searchEngine_ && kept.Lines == lines_ &&
        kept.Stamp == lines_->ChangeStamp() && kept.Line == Line && kept.Options == Run.Options &&
        kept.Pattern == Run.Pattern)
        return kept;
    kept.Engine = nullptr;
    const Integer count = searchEngine_->FindAll(lines_->Get(Line - 1));
    kept.Found.resize(static_cast<std::size_t>(count));
    kept.Length.resize(static_cast<std::size_t>(count));
    for (Integer n = 0; n < count; ++n) {
        kept.Found[static_cast<std::size_t>(n)] = searchEngine_->GetResult(n);
        kept.Length[static_cast<std::size_t>(n)] = searchEngine_->GetLength(n);
    }
    if (count == 0)
        return kept;  // nothing worth keeping
    kept.Engine = searchEngine_;
    kept.Lines = lines_;
    kept.Stamp = lines_->ChangeStamp();
    kept.Line = Line;
    kept.Options = Run.Options;
    kept.Pattern = Run.Pattern;
    return kept;
}

void TCustomQvEdit::RunSearch(TSearchRun& Run, const std::string& ASearch, const std::string& AReplace)
{
    TSearchRange& range = Run.Range;
    Integer line = Run.Backward ? range.End.Y : range.Start.Y;
    while (line >= range.Start.Y && line <= range.End.Y) {
        const TLineMatches& matches = MatchesOfLine(Run, line);
        Integer count = static_cast<Integer>(matches.Found.size());
        if (Run.ReplaceAll && !Run.Prompt) {
            line = ReplaceMatchesOfLine(Run, line, AReplace) + (Run.Backward ? -1 : 1);
            continue;
        }
        // Later matches of the line move by Delta once an earlier one was replaced.
        Integer delta = 0;
        Integer n = Run.Backward ? count - 1 : 0;
        // The matches before the range's start on its first line (going backward, those
        // starting after its end on its last) are passed over at once: going through a line
        // of many matches looks at each of them once, not on every find.
        if (range.Mode == smNormal && !Run.Backward && line == range.Start.Y) {
            n = static_cast<Integer>(std::lower_bound(matches.Found.begin(), matches.Found.end(), range.Start.X) -
                                     matches.Found.begin());
            count -= n;
        } else if (range.Mode == smNormal && Run.Backward && line == range.End.Y) {
            count = static_cast<Integer>(std::upper_bound(matches.Found.begin(), matches.Found.end(), range.End.X) -
                                         matches.Found.begin());
            n = count - 1;
        }
        for (; count > 0; --count, n += Run.Backward ? -1 : 1) {
            const Integer original = matches.Found[static_cast<std::size_t>(n)];
            const Integer found = original + delta;
            const Integer len = matches.Length[static_cast<std::size_t>(n)];
            // A block's columns are those of the line as it was searched.
            if (!range.Contains(line, range.Mode == smColumn ? original : found, len))
                continue;
            // An empty match where the last find left the caret is the one found then:
            // finding from the caret goes on to the next one instead of finding it again.
            // Where anything else put the caret, the empty match there is the next one.
            if (len == 0 && range.FromCaret && !Run.Replace && !Run.ReplaceAll &&
                GetCaretXY() == TPoint{found, line} && CaretWhereTheLastFindLeftIt())
                continue;
            ++Run.Result;
            SelectSearchMatch(line, found, len, Run.Backward);
            if (!Run.Replace && !Run.ReplaceAll) {
                lastFindCaret_ = GetCaretXY();
                lastFindCaretMoves_ = caretMoves_;
                return;
            }
            TQvReplaceAction action = raReplace;
            if (Run.Prompt && OnReplaceText)
                action = DoOnReplaceText(ASearch, AReplace, line, found);
            if (action == raCancel)
                return;
            if (action != raSkip) {
                if (action == raReplaceAll) {
                    if (!Run.ReplaceAll) {
                        Run.ReplaceAll = true;
                        BeginViewBatch();
                        Run.Batched = true;
                    }
                    Run.Prompt = false;
                    OpenSearchUndoBlock(Run);
                }
                // Made from the match in its line as it was searched, as replacing every
                // match of the line makes it.
                SetSelTextExternal(searchEngine_->ReplacementFor(n, AReplace));
                // Going backward the next search ends before what was just inserted.
                if (Run.Backward)
                    InternalSetCaretXY(TPoint{found, line});
            }
            if (!Run.Backward) {
                if (action == raSkip) {
                    InternalSetCaretX(found + len);
                } else {
                    // The caret stands right after what was inserted, whatever its length
                    // and however many lines it took: the rest of the line follows there.
                    const TPoint after = GetCaretXY();
                    delta = after.X - (original + len);
                    // The range follows the text; the selection stays what the
                    // replacement left (nothing after it on the line is selected).
                    if (range.Mode != smColumn && line == range.End.Y) {
                        range.End.X += after.X - (found + len);
                        range.End.Y = after.Y;
                    } else {
                        range.End.Y += after.Y - line;
                    }
                    line = after.Y;
                }
            }
            if (!Run.ReplaceAll)
                return;
        }
        line += Run.Backward ? -1 : 1;
    }
}

Integer TCustomQvEdit::ReplaceMatchesOfLine(TSearchRun& Run, Integer Line, const std::string& AReplace)
{
    // One change from the first match in the range to the last: the text between them as
    // it is, each match as the engine replaces it. The line is written, rescanned and
    // recorded for undo once, however many matches it holds.
    const TSearchRange& range = Run.Range;
    const std::string text = lines_->Get(Line - 1);
    std::string replaced;
    Integer first = 0;  // the span's 1-based columns, first to last exclusive
    Integer last = 0;
    const Integer count = searchEngine_->GetResultCount();
    for (Integer n = 0; n < count; ++n) {
        const Integer found = searchEngine_->GetResult(n);
        const Integer len = searchEngine_->GetLength(n);
        if (!range.Contains(Line, found, len))
            continue;
        ++Run.Result;
        if (first == 0)
            first = found;
        else
            replaced.append(text, static_cast<std::size_t>(last - 1), static_cast<std::size_t>(found - last));
        replaced += searchEngine_->ReplacementFor(n, AReplace);
        last = found + len;
    }
    if (first == 0)
        return Line;
    SetCaretAndSelection(TPoint{last, Line}, TPoint{first, Line}, TPoint{last, Line});
    SetSelTextExternal(replaced);
    if (Run.Backward) {
        // Going backward the next search ends before what was just inserted.
        InternalSetCaretXY(TPoint{first, Line});
        return Line;
    }
    // A replacement with line breaks moves the lines after it down.
    const Integer after = GetCaretY();
    Run.Range.End.Y += after - Line;
    return after;
}

bool TCustomQvEdit::CaretWhereTheLastFindLeftIt() const
{
    return lastFindCaretMoves_ == caretMoves_ && lastFindCaret_ == GetCaretXY();
}

void TCustomQvEdit::OpenSearchUndoBlock(TSearchRun& Run)
{
    if (Run.UndoBlockOpen)
        return;
    BeginUndoBlock();
    Run.UndoBlockOpen = true;
}

void TCustomQvEdit::EndSearchRun(TSearchRun& Run)
{
    SetSelectionMode(Run.UserMode);
    if (Run.Batched) {
        Run.Batched = false;
        EndViewBatch();
    }
    if (Run.UndoBlockOpen) {
        Run.UndoBlockOpen = false;
        EndUndoBlock();
    }
    DoOnPaintTransient(ttAfter);
}

// ---- Brackets ------------------------------------------------------------------------------------

void TCustomQvEdit::FindMatchingBracket()
{
    const TPoint match = GetMatchingBracket();
    if (match.X >= 1 && match.Y >= 1)
        SetCaretXY(match);
}

TPoint TCustomQvEdit::GetMatchingBracket()
{
    return GetMatchingBracketEx(GetCaretXY(), false);
}

TPoint TCustomQvEdit::GetMatchingBracketEx(const TPoint& APoint, bool AdjustForTabs)
{
    if (APoint.Y < 1 || APoint.Y > lines_->Count() || APoint.X < 1)
        return TPoint{0, 0};
    const std::string start = lines_->Get(APoint.Y - 1);
    if (static_cast<Integer>(start.size()) < APoint.X)
        return TPoint{0, 0};
    const char* bracket = std::find(std::begin(Brackets), std::end(Brackets), start[static_cast<std::size_t>(APoint.X - 1)]);
    if (bracket == std::end(Brackets))
        return TPoint{0, 0};
    const auto index = static_cast<std::size_t>(bracket - Brackets);
    const char same = Brackets[index];
    const char other = Brackets[index ^ 1];
    const bool forward = index % 2 == 0;

    Integer depth = 1;
    Integer y = APoint.Y;
    std::string text = start;
    // Columns of the line that lie in a string or a comment; read once per line, and only
    // for lines that hold a candidate.
    std::vector<bool> skipped;
    bool skippedRead = false;
    Integer x = APoint.X;
    for (;;) {
        x += forward ? 1 : -1;
        if (x < 1 || x > static_cast<Integer>(text.size())) {
            y += forward ? 1 : -1;
            if (y < 1 || y > lines_->Count())
                return TPoint{0, 0};
            text = lines_->Get(y - 1);
            skippedRead = false;
            x = forward ? 0 : static_cast<Integer>(text.size()) + 1;
            continue;
        }
        const char c = text[static_cast<std::size_t>(x - 1)];
        if (c != same && c != other)
            continue;
        if (!skippedRead) {
            skipped = StringOrCommentColumns(y, text);
            skippedRead = true;
        }
        if (skipped[static_cast<std::size_t>(x - 1)])
            continue;
        depth += c == same ? 1 : -1;
        if (depth == 0)
            break;
    }
    TPoint result{x, y};
    if (AdjustForTabs) {
        const auto tabs = std::count(text.begin(), text.begin() + (x - 1), '\t');
        result.X += static_cast<Integer>(tabs) * (tabWidth_ - 1);
    }
    return result;
}

void TCustomQvEdit::StartHighlighterAt(Integer Line, const std::string& Text)
{
    if (Line == 1)
        highlighter_->ResetRange();
    else
        highlighter_->SetRange(lines_->GetRange(Line - 2));
    highlighter_->SetLine(Text, Line - 1);
}

std::vector<bool> TCustomQvEdit::StringOrCommentColumns(Integer Line, const std::string& Text)
{
    std::vector<bool> columns(Text.size(), false);
    if (highlighter_ == nullptr)
        return columns;
    TQvHighlighterAttributes* const stringAttr = highlighter_->GetDefaultAttribute(QV_ATTRIB_STRING);
    TQvHighlighterAttributes* const commentAttr = highlighter_->GetDefaultAttribute(QV_ATTRIB_COMMENT);
    StartHighlighterAt(Line, Text);
    while (!highlighter_->GetEol()) {
        TQvHighlighterAttributes* attr = highlighter_->GetTokenAttribute();
        if (attr != nullptr && (attr == stringAttr || attr == commentAttr)) {
            const auto from = static_cast<std::size_t>(std::max(highlighter_->GetTokenPos(), 0));
            const std::size_t to = std::min(from + highlighter_->GetToken().size(), columns.size());
            for (std::size_t i = from; i < to; ++i)
                columns[i] = true;
        }
        highlighter_->Next();
    }
    return columns;
}

// ---- The token at a position ---------------------------------------------------------------------

bool TCustomQvEdit::GetHighlighterAttriAtRowCol(const TPoint& XY, std::string& Token,
                                                TQvHighlighterAttributes*& Attri)
{
    Integer tokenType = 0;
    Integer start = 0;
    return GetHighlighterAttriAtRowColEx(XY, Token, tokenType, start, Attri);
}

bool TCustomQvEdit::GetHighlighterAttriAtRowColEx(const TPoint& XY, std::string& Token, Integer& TokenType,
                                                  Integer& Start, TQvHighlighterAttributes*& Attri)
{
    Token.clear();
    Attri = nullptr;
    if (highlighter_ == nullptr || XY.Y < 1 || XY.Y > lines_->Count())
        return false;
    const std::string text = lines_->Get(XY.Y - 1);
    StartHighlighterAt(XY.Y, text);
    if (XY.X < 1 || XY.X > static_cast<Integer>(text.size()))
        return false;
    while (!highlighter_->GetEol()) {
        Start = highlighter_->GetTokenPos() + 1;
        Token = highlighter_->GetToken();
        if (Start <= XY.X && XY.X < Start + static_cast<Integer>(Token.size())) {
            Attri = highlighter_->GetTokenAttribute();
            TokenType = highlighter_->GetTokenKind();
            return true;
        }
        highlighter_->Next();
    }
    Token.clear();
    return false;
}

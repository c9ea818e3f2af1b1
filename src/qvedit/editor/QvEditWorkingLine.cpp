#include "qvedit/editor/QvEditWorkingLine.h"

#include <algorithm>

void TQvWorkingLine::Start(Integer Line, std::string_view Text, std::size_t FirstChange, const TLimits& Limits,
                           TPoint Caret)
{
    text_.Assign(Text, FirstChange, Text.size() / 16 + 4096);
    line_ = Line;
    limits_ = Limits;
    caret_ = Caret;
    begin_ = end_ = TPoint{1, Line};
    caretInView_ = false;
    owed_.clear();
}

void TQvWorkingLine::Reserve(std::size_t Bytes)
{
    text_.Reserve(Bytes);
    owed_.reserve(owed_.size() + 1);
}

// As the editor clamps a caret while it replays (eoScrollPastEol on): within the maximum
// width, or the line's end when that is further.
TPoint TQvWorkingLine::ClampCaret(TPoint P) const
{
    const Int64 lineEnd = static_cast<Int64>(text_.Size()) + 1;
    const Int64 limit = std::max(Int64{limits_.MaxLineWidth} + 1, lineEnd);
    return TPoint{static_cast<Integer>(std::clamp<Int64>(P.X, 1, limit)), line_};
}

// A stream selection's end stays within the line.
TPoint TQvWorkingLine::ClampSelection(TPoint P) const
{
    return TPoint{static_cast<Integer>(std::clamp<Int64>(P.X, 1, static_cast<Int64>(text_.Size()) + 1)), line_};
}

void TQvWorkingLine::MoveCaret(TPoint P)
{
    if (P != caret_)
        caretInView_ = true;
    caret_ = P;
}

void TQvWorkingLine::SetCaretAndSelection(TPoint Caret, TPoint Begin, TPoint End)
{
    MoveCaret(ClampCaret(Caret));
    begin_ = ClampSelection(Begin);
    end_ = ClampSelection(End);
}

void TQvWorkingLine::SetCaret(TPoint Caret)
{
    MoveCaret(ClampCaret(Caret));
}

std::string TQvWorkingLine::SelectedText() const
{
    const Integer from = std::min(begin_.X, end_.X);
    const Integer to = std::max(begin_.X, end_.X);
    return text_.Substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(to - from));
}

bool TQvWorkingLine::ReplaceSelection(std::string_view Text)
{
    const bool selected = begin_.X != end_.X;
    if (selected) {
        const auto end = static_cast<Integer>(text_.Size()) + 1;
        const Integer from = std::min({begin_.X, end_.X, end});
        const Integer to = std::clamp(std::max(begin_.X, end_.X), from, end);
        text_.Erase(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(to - from));
        MoveCaret(TPoint{from, line_});
    }
    if (!Text.empty()) {
        const auto keep = static_cast<std::size_t>(caret_.X - 1);
        const std::size_t size = text_.Size();
        text_.Insert(std::min(keep, size), keep > size ? keep - size : 0, Text);
        caret_.X = static_cast<Integer>(keep + Text.size()) + 1;
    }
    if (limits_.CollapseAfterChange)
        begin_ = end_ = ClampSelection(caret_);
    return selected;
}

std::string TQvWorkingLine::TakeText()
{
    line_ = 0;
    return text_.Take();
}

std::vector<TQvWorkingLine::TOwed> TQvWorkingLine::TakeOwed()
{
    std::vector<TOwed> owed = std::move(owed_);
    owed_.clear();
    return owed;
}

void TQvWorkingLine::Clear()
{
    line_ = 0;
    text_.Take();
    owed_.clear();
}

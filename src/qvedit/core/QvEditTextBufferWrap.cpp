// The text buffer's word wrap: a line longer than the wrap width is cut at its last break
// character into the line and continuation lines marked sfWrapped, and joined again when
// wrapping ends or the line is rewrapped.
#include "qvedit/core/QvEditTextBuffer.h"

#include <string>
#include <string_view>

namespace {

bool IsWrapBreak(char c)
{
    return c == '\t' || c == ' ' || c == ',' || c == ';' || c == '>';
}

}  // namespace

// Cuts the next piece off Rest: without word wrap all of it; with it, up to and including
// the last break character within the wrap width, else the first one after it, else all.
std::string_view TQvEditStringList::WrapString(std::string_view& Rest) const
{
    std::size_t width = static_cast<std::size_t>(Max(wrapWidth_, 1));
    std::size_t cut = Rest.size();
    if (wordWrap_ && Rest.size() > width) {
        std::size_t p = width;
        while (p > 0 && !IsWrapBreak(Rest[p - 1]))
            --p;
        if (p == 0) {
            p = width;
            while (p < Rest.size() && !IsWrapBreak(Rest[p - 1]))
                ++p;
        }
        cut = p;
    }
    std::string_view piece = Rest.substr(0, cut);
    Rest.remove_prefix(cut);
    return piece;
}

void TQvEditStringList::WrapLine(Integer Index)
{
    std::string text(Rec(Index).Text.View());
    std::string_view rest = text;
    AssignText(Rec(Index).Text, WrapString(rest));
    Rec(Index).ExpandedLength = -1;
    Rec(Index).Flags = TQvEditStringFlags{sfExpandedLengthUnknown};
    indexOfLongestLine_ = -1;
    for (Integer p = Index + 1; !rest.empty(); ++p)
        InsertRecord(p, WrapString(rest), true);
}

void TQvEditStringList::DoWrapLines(Integer First, Integer Last)
{
    Updating([&] {
        for (Integer i = Last; i >= First; --i)
            WrapLine(i);
    });
}

// The first line of the range takes what is carried even when it is a continuation
// itself (the line it continued was deleted): the text has nowhere else to go.
void TQvEditStringList::DoUnWrapLines(Integer First, Integer Last)
{
    Updating([&] {
        std::string carried;
        for (Integer i = Last; i >= First; --i) {
            TQvEditStringRec& rec = Rec(i);
            if (i > First && rec.Flags.Contains(sfWrapped)) {
                carried.insert(0, rec.Text.View());
                Delete(i);
            } else {
                std::string joined(rec.Text.View());
                joined += carried;
                AssignText(rec.Text, joined);
                rec.ExpandedLength = -1;
                rec.Flags = TQvEditStringFlags{sfExpandedLengthUnknown};
                carried.clear();
                indexOfLongestLine_ = -1;
            }
        }
    });
}

void TQvEditStringList::SetWordWrap(bool Value)
{
    if (Value == wordWrap_)
        return;
    wordWrap_ = Value;
    if (Value)
        DoWrapLines(0, count_ - 1);
    else
        DoUnWrapLines(0, count_ - 1);
}

Integer TQvEditStringList::ReWrapLine(Integer Index)
{
    if (!wordWrap_ || Index < 0 || Index >= count_)
        return Index;
    Integer first = Index;
    while (first > 0 && Rec(first).Flags.Contains(sfWrapped))
        --first;
    Integer last = Index;
    while (last + 1 < count_ && Rec(last + 1).Flags.Contains(sfWrapped))
        ++last;
    Updating([&] {
        DoUnWrapLines(first, last);
        WrapLine(first);
    });
    return first;
}

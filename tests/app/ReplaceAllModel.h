// What a replace all must give, line by line, built on the engines' own matching: a line
// the range holds whole is replaced by the expression engine's own Replace; a line the
// range cuts gets the same matches (Exec and ExecNext) with the same substitution, only
// those the range keeps; the plain engine's matches take the replacement as it stands. Each
// line that a replacement wrote, split where the replacement brings line ends, loses its
// trailing blanks and tabs when the editor trims them. Also how the tests set the editor up
// for a replace all.
#pragma once

#include "LinesByteByByte.h"
#include "qvedit/editor/QvEdit.h"
#include "qvedit/search/QvEditSearch.h"
#include "qvedit/search/QvRegex.h"

#include <algorithm>
#include <string>
#include <vector>

namespace replacemodel {

// The part of the text a replace all covers, as the driver takes it from a selection (or
// from the whole text: Whole).
struct TRange {
    bool Whole = true;
    TQvSelectionMode Mode = smNormal;
    TPoint Start{1, 1};
    TPoint End{1, 1};

    bool HoldsLine(Integer Line) const { return Whole || (Line >= Start.Y && Line <= End.Y); }
    // Whether a match on a line of the range is replaced.
    bool Keeps(Integer Line, Integer Found, Integer Len) const
    {
        if (Whole || Mode == smLine)
            return true;
        if (Mode == smColumn)
            return (Found >= Start.X && Found + Len <= End.X) || End.X - Start.X < 1;
        return !(Line == Start.Y && Found < Start.X) && !(Line == End.Y && Found + Len > End.X);
    }
};

struct TResult {
    std::string Text;
    int Count = 0;
};

inline std::string TrimmedOfBlanks(std::string Line)
{
    while (!Line.empty() && (Line.back() == ' ' || Line.back() == '\t'))
        Line.pop_back();
    return Line;
}

struct TMatch {
    Integer Found;
    Integer Len;
    std::string With;
};

class TModel {
public:
    // Expression: the expression engine with its default modifiers but i from
    // ssoMatchCase; otherwise the plain engine with ssoMatchCase and ssoWholeWord.
    TModel(bool Expression, const std::string& Pattern, const std::string& Replacement, TQvSearchOptions Options)
        : expression_(Expression), replacement_(Replacement), plain_(nullptr)
    {
        if (Expression) {
            regex_.SetExpression(Pattern);
            regex_.SetModifier(1, !Options.Contains(ssoMatchCase));
        } else {
            plain_.SetOptions(Options);
            plain_.SetPattern(Pattern);
        }
    }

    TResult Apply(const std::vector<std::string>& Lines, const TRange& Range, bool Trim)
    {
        TResult result;
        std::vector<std::string> out;
        for (std::size_t i = 0; i < Lines.size(); ++i) {
            const auto line = static_cast<Integer>(i) + 1;
            const std::string& text = Lines[i];
            std::vector<TMatch> matches = Range.HoldsLine(line) ? Matches(text) : std::vector<TMatch>{};
            const std::size_t all = matches.size();
            std::erase_if(matches, [&](const TMatch& m) { return !Range.Keeps(line, m.Found, m.Len); });
            if (matches.empty()) {
                out.push_back(text);
                continue;
            }
            result.Count += static_cast<int>(matches.size());
            std::string replaced;
            if (expression_ && matches.size() == all) {
                replaced = regex_.Replace(text, replacement_, true);
            } else {
                std::size_t at = 0;
                for (const TMatch& m : matches) {
                    replaced.append(text, at, static_cast<std::size_t>(m.Found - 1) - at);
                    replaced += m.With;
                    at = static_cast<std::size_t>(m.Found - 1 + m.Len);
                }
                replaced.append(text, at);
            }
            // A lone empty match replaced by nothing leaves its line as it was.
            const bool written = !(matches.size() == 1 && matches[0].Len == 0 && matches[0].With.empty());
            for (const std::string& piece : LinesByteByByte(replaced))
                out.push_back(Trim && written ? TrimmedOfBlanks(piece) : piece);
        }
        for (std::size_t i = 0; i < out.size(); ++i)
            result.Text += i == 0 ? out[i] : "\r\n" + out[i];
        return result;
    }

private:
    std::vector<TMatch> Matches(const std::string& Line)
    {
        std::vector<TMatch> matches;
        if (expression_) {
            for (bool found = regex_.Exec(Line); found; found = regex_.ExecNext())
                matches.push_back({regex_.MatchPos(0), regex_.MatchLen(0), regex_.Substitute(replacement_)});
        } else {
            const Integer count = plain_.FindAll(Line);
            for (Integer n = 0; n < count; ++n)
                matches.push_back({plain_.GetResult(n), plain_.GetLength(n), replacement_});
        }
        return matches;
    }

    bool expression_;
    std::string replacement_;
    TRegex regex_;
    TQvEditSearch plain_;
};

// The editor's lines, one string each.
inline std::vector<std::string> LinesOf(TCustomQvEdit& Editor)
{
    std::vector<std::string> lines;
    for (Integer i = 0; i < Editor.GetLines()->Count(); ++i)
        lines.push_back(Editor.GetLines()->Get(i));
    return lines;
}

// Sets the editor up for a replace all over Range (a selection, or from the top with the
// whole scope) and adds the options for it to Options.
inline TQvSearchOptions Prepare(TCustomQvEdit& Editor, const TRange& Range, TQvSearchOptions Options)
{
    TQvSearchOptions options = Options;
    options.Include(ssoReplaceAll);
    if (Range.Whole) {
        Editor.SetSelectionMode(smNormal);
        Editor.SetCaretXY(TPoint{1, 1});
        options.Include(ssoEntireScope);
    } else {
        Editor.SetSelectionMode(Range.Mode);
        Editor.SetCaretAndSelection(Range.End, Range.Start, Range.End);
        options.Include(ssoSelectedOnly);
    }
    return options;
}

}  // namespace replacemodel

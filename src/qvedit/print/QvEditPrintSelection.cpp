// The print engine's attached editor: its text and settings, and its selection, which
// decides the lines printed and the part of each line when only the selection is printed.
#include "qvedit/print/QvEditPrint.h"

#include "qvedit/core/QvEditMiscProcs.h"
#include "qvedit/editor/QvEdit.h"

#include <algorithm>
#include <limits>

namespace {

constexpr Integer ToLineEnd = std::numeric_limits<Integer>::max();

// The column, with the tabs expanded, of character X (1-based) of Line; a character past
// the line's end lies that far past its expanded end.
Integer ExpandedColumn(const std::string& Line, Integer X, Integer TabWidth, TConvertTabsProc ConvertTabs)
{
    if (X == ToLineEnd)
        return ToLineEnd;
    const auto chars = static_cast<std::size_t>(std::max<Integer>(X - 1, 0));
    const std::size_t inLine = std::min(chars, Line.size());
    const std::size_t expanded = ConvertTabs(Line.substr(0, inLine), TabWidth).size();
    return static_cast<Integer>(std::min<std::size_t>(expanded + (chars - inLine), ToLineEnd - 1));
}

}  // namespace

void TQvEditPrint::SetSelectedOnly(bool Value)
{
    selectedOnly_ = Value;
    ForgetPages();
}

void TQvEditPrint::SetQvEdit(TCustomQvEdit* Value)
{
    selAvail_ = false;
    selFirstLine_ = 0;
    selSpans_.clear();
    ForgetPages();
    if (Value == nullptr)
        return;
    SetHighlighter(Value->GetHighlighter());
    SetFont(Value->GetFont());
    tabWidth_ = Value->GetTabWidth();
    TStrings* lines = Value->GetLines();
    SetLines(lines);
    if (!Value->GetSelAvail() || lines->Count() == 0)
        return;

    // The editor's columns count characters; the printed lines have their tabs expanded,
    // so each bound is moved to the column its character lands on.
    const TPoint first = Value->GetBlockBegin();
    const TPoint last = Value->GetBlockEnd();
    const TQvSelectionMode mode = Value->GetSelectionMode();
    const Integer firstLine = std::clamp<Integer>(first.Y, 1, lines->Count());
    const Integer lastLine = std::clamp<Integer>(last.Y, firstLine, lines->Count());
    const TConvertTabsProc convertTabs = GetBestConvertTabsProc(tabWidth_);
    for (Integer y = firstLine; y <= lastLine; ++y) {
        Integer from = 1;
        Integer to = ToLineEnd;
        if (mode == smColumn) {
            from = std::min(first.X, last.X);
            to = std::max(first.X, last.X);
        } else if (mode == smNormal) {
            from = y == firstLine ? first.X : 1;
            to = y == lastLine ? last.X : ToLineEnd;
        }
        const std::string line = lines->Strings(y - 1);
        selSpans_.push_back(TColumnSpan{ExpandedColumn(line, from, tabWidth_, convertTabs),
                                        ExpandedColumn(line, to, tabWidth_, convertTabs)});
    }
    selFirstLine_ = firstLine - 1;
    selAvail_ = true;
}

Integer TQvEditPrint::FirstPrintedLine() const
{
    const auto count = static_cast<Integer>(lines_.size());
    return PrintsSelection() ? std::min(selFirstLine_, count) : 0;
}

Integer TQvEditPrint::EndPrintedLine() const
{
    const auto count = static_cast<Integer>(lines_.size());
    if (!PrintsSelection())
        return count;
    return std::min(selFirstLine_ + static_cast<Integer>(selSpans_.size()), count);
}

TQvEditPrint::TColumnSpan TQvEditPrint::PrintedSpan(Integer LineIndex) const
{
    // The lines may have been set anew since the editor was attached: the part never
    // reaches past the line.
    const auto length = static_cast<Integer>(lines_[static_cast<std::size_t>(LineIndex)].size());
    if (!PrintsSelection())
        return TColumnSpan{0, length};
    const TColumnSpan span = selSpans_[static_cast<std::size_t>(LineIndex - selFirstLine_)];
    const Integer start = std::min(span.Start, length);
    return TColumnSpan{start, std::clamp(span.End, start, length)};
}

std::string TQvEditPrint::PrintedPart(Integer LineIndex) const
{
    const TColumnSpan span = PrintedSpan(LineIndex);
    return lines_[static_cast<std::size_t>(LineIndex)].substr(static_cast<std::size_t>(span.Start),
                                                                static_cast<std::size_t>(span.End - span.Start));
}

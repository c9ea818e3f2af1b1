#include "qvedit/editor/QvEditPendingTrims.h"

#include <algorithm>

void TQvPendingTrims::Add(TQvEditStringList& Lines, Integer Index)
{
    // A line a listener took away as it was stored has nothing left to trim.
    if (Index < 0 || Index >= Lines.Count())
        return;
    Lines.SetTrimPending(Index, true);
    if (lines_ == nullptr) {
        lines_ = &Lines;
        first_ = Index;
        last_ = Index;
        return;
    }
    first_ = std::min(first_, Index);
    last_ = std::max(last_, Index);
}

void TQvPendingTrims::Shift(Integer Index, Integer Delta)
{
    if (lines_ == nullptr || Delta == 0)
        return;
    if (Delta > 0) {
        if (first_ >= Index)
            first_ += Delta;
        if (last_ >= Index)
            last_ += Delta;
        return;
    }
    // Lines Index .. Index - Delta - 1 went, and their marks with them: the first marked
    // line left is at Index or later, the last before Index or where it moved.
    const Integer gone = Index - Delta;
    if (first_ >= gone)
        first_ += Delta;
    else if (first_ >= Index)
        first_ = Index;
    if (last_ >= gone)
        last_ += Delta;
    else if (last_ >= Index)
        last_ = Index - 1;
    if (last_ < first_)
        lines_ = nullptr;
}

template <class Visit>
void TQvPendingTrims::TakeMarks(Visit&& visit)
{
    if (lines_ == nullptr)
        return;
    TQvEditStringList& lines = *lines_;
    lines_ = nullptr;
    const Integer last = std::min(last_, lines.Count() - 1);
    for (Integer i = std::max(first_, 0); i <= last; ++i) {
        ++visited_;
        if (lines.GetFlags(i).Contains(sfTrimPending)) {
            lines.SetTrimPending(i, false);
            visit(i);
        }
    }
}

std::vector<Integer> TQvPendingTrims::Take()
{
    std::vector<Integer> marked;
    TakeMarks([&](Integer Index) { marked.push_back(Index); });
    return marked;
}

void TQvPendingTrims::clear()
{
    TakeMarks([](Integer) {});
}

// The lines a change stored with trailing blanks, which lose them when the change ends.
#pragma once

#include "qvedit/core/QvEditTextBuffer.h"

#include <cstddef>
#include <vector>

// Each line is marked in the buffer, where the mark moves with the line, so that lines
// inserted or deleted while the change goes on cost nothing per line waiting: only the
// first and the last marked line follow them. The end of the change looks for the marks
// between those two, the lines the change spans.
class TQvPendingTrims {
public:
    bool empty() const { return lines_ == nullptr; }
    // Marks line Index (0-based) of Lines; every line of one change is in the same buffer.
    void Add(TQvEditStringList& Lines, Integer Index);
    // Delta lines were inserted at Index (Delta > 0) or removed from Index on (Delta < 0).
    void Shift(Integer Index, Integer Delta);
    // The marked lines in order, the marks taken off; the list is empty afterwards.
    std::vector<Integer> Take();
    // Takes the marks off: the lines keep their blanks.
    void clear();
    // Lines looked at for marks over the list's life: the work beyond the marks themselves.
    std::size_t LinesVisited() const { return visited_; }

private:
    // Calls Visit for every marked line, taking its mark off.
    template <class Visit>
    void TakeMarks(Visit&& visit);

    TQvEditStringList* lines_ = nullptr;
    Integer first_ = 0;
    Integer last_ = 0;
    std::size_t visited_ = 0;
};

#include "HighlighterTestSupport.h"

#include <algorithm>
#include <set>

int KindOfWholeLine(TQvCustomHighlighter& h, const std::string& line)
{
    h.ResetRange();
    h.SetLine(line, 0);
    const int kind = h.GetTokenKind();
    const bool whole = h.GetToken() == line;
    h.Next();
    if (whole && h.GetEol())
        return kind;
    // An empty line gives the end-of-line token at once.
    static const std::string empty;
    h.ResetRange();
    h.SetLine(empty, 0);
    return h.GetTokenKind();
}

std::int64_t LargestKeywordHash(const TQvKeywordTable& table,
                                const std::vector<std::string>& words)
{
    std::set<std::int64_t> slots;
    std::int64_t largest = 0;
    for (const std::string& word : words) {
        Integer length = 0;
        const std::int64_t hash = table.KeyHash(word.c_str(), length);
        EXPECT_EQ(length, static_cast<Integer>(word.size())) << word;
        slots.insert(hash);
        largest = std::max(largest, hash);
    }
    EXPECT_EQ(table.OccupiedSlots(), static_cast<Integer>(slots.size()));
    return largest;
}

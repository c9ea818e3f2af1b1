#pragma once
// Checks the highlighter tests share.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "qvedit/core/QvEditHighlighter.h"
#include "qvedit/highlighters/QvHighlighterBase.h"
#include "GuardedLine.h"

// The kind of the single token a line gives when the whole line is one token; else the
// highlighter's end-of-line kind. The range is reset first.
int KindOfWholeLine(TQvCustomHighlighter& h, const std::string& line);

// The roles comment, identifier, key, string, space and symbol are the attributes of
// those names; there is no seventh role.
template <class THighlighter>
void ExpectCodeRoleAttributes(const THighlighter& h)
{
    EXPECT_EQ(h.GetDefaultAttribute(0), h.CommentAttri());
    EXPECT_EQ(h.GetDefaultAttribute(1), h.IdentifierAttri());
    EXPECT_EQ(h.GetDefaultAttribute(2), h.KeyAttri());
    EXPECT_EQ(h.GetDefaultAttribute(3), h.StringAttri());
    EXPECT_EQ(h.GetDefaultAttribute(4), h.SpaceAttri());
    EXPECT_EQ(h.GetDefaultAttribute(5), h.SymbolAttri());
    EXPECT_EQ(h.GetDefaultAttribute(6), nullptr);
}

// Random lines over several alphabets: every byte but NUL, the characters that open and
// close constructs, words and blanks, and sequences of whole constructs of the languages.
std::vector<std::string> RandomLines(unsigned seed, int count);

// The bytes of a text in hexadecimal, for failure messages.
std::string HexBytes(const std::string& text);

// The start ranges to try a highlighter from: every value below 256 that it keeps as it is
// (its own ranges), then values it does not know, which it must handle all the same.
std::vector<TQvHighlighterRange> StartRanges(TQvCustomHighlighter& h);

// The largest hash the table gives the words. Checks that every word hashes over its
// whole length and that the table occupies one slot per distinct hash.
std::int64_t LargestKeywordHash(const TQvKeywordTable& table,
                                const std::vector<std::string>& words);

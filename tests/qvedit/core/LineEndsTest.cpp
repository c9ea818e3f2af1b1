// Line ends found and counted sixteen bytes at a time give what a byte-by-byte reading
// gives, wherever the ends fall among the blocks of sixteen (a CR LF split between two
// blocks, ends in the last bytes that no whole block covers).
#include "LinesByteByByte.h"
#include "qvedit/core/QvEditLineEnds.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

TEST(LineEnds, FoundAndCountedAsByteByByte)
{
    std::mt19937 random(7);
    const char alphabet[] = {'a', 'b', '\r', '\n', '\0', ' '};
    for (int round = 0; round < 3000; ++round) {
        // Now and then a text long enough for the counts to be summed on the way.
        std::string text(round % 50 == 0 ? 9000 + random() % 2000 : random() % 70, 'x');
        for (char& c : text)
            c = alphabet[random() % (round % 3 == 0 ? 6 : 2 + random() % 4)];
        const std::size_t from = text.empty() ? 0 : random() % (text.size() + 1);
        std::size_t end = from;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n' && text[end] != '\0')
            ++end;
        ASSERT_EQ(FindLineEnd(text.data(), from, text.size()), end) << round;
        std::size_t brk = from;
        while (brk < text.size() && text[brk] != '\r' && text[brk] != '\n')
            ++brk;
        ASSERT_EQ(FindLineBreak(text, from), brk) << round;

        const std::vector<std::string> expected = LinesByteByByte(text);
        ASSERT_EQ(CountLineBreaks(text), expected.size() - 1) << round;
        std::vector<std::string> pieces;
        for (TQvTextLines lines(text); !lines.AtEnd();)
            pieces.emplace_back(lines.Next());
        ASSERT_EQ(pieces, expected) << round;
    }
}

TEST(LineEnds, APairAcrossTwoBlocksIsOneBreak)
{
    const std::string text = std::string(15, 'a') + "\r\n" + std::string(14, 'b') + "\r" + "\r\n\n";
    EXPECT_EQ(CountLineBreaks(text), 4u);
    std::vector<std::string> pieces;
    for (TQvTextLines lines(text); !lines.AtEnd();)
        pieces.emplace_back(lines.Next());
    EXPECT_EQ(pieces, (std::vector<std::string>{std::string(15, 'a'), std::string(14, 'b'), "", "", ""}));
}

}  // namespace

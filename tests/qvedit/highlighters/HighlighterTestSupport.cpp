#include "HighlighterTestSupport.h"

#include <algorithm>
#include <iterator>
#include <random>
#include <set>

namespace {

// Pieces that open, continue and close constructs of the languages.
const char* const Fragments[] = {
    "\"", "'", "`", "$a", "$", "['", "[", "]", "->", "{$", "${", "{", "}", "/*", "*/", "//",
    "#", "\\", " ", "\t", "x", "if", "1", "0x", ".", "<<=", "<", ">", "<?", "?>", "<!--",
    "-->", "&amp;", "&#", "<![CDATA[", "]]>", "=", ";", "@", "%", "\r", "\n", "\xE9"};

}  // namespace

std::vector<std::string> RandomLines(unsigned seed, int count)
{
    const std::string alphabets[] = {
        "",  // every byte 1..255
        "\"'$\\{}[]->/*#",
        "\"'$\\{}[]->/*#<?!&;@%=+|^.:,()ab_x1 \t\r\n",
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_0123456789 .-",
        "",  // fragments
    };
    std::mt19937 random(seed);
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) {
        const std::size_t mode = static_cast<std::size_t>(i) % std::size(alphabets);
        const std::string& alphabet = alphabets[mode];
        const bool fragments = mode == std::size(alphabets) - 1;
        const int length = static_cast<int>(random() % (fragments ? 30 : 81));
        std::string line;
        for (int j = 0; j < length; ++j) {
            if (fragments)
                line += Fragments[random() % std::size(Fragments)];
            else if (alphabet.empty())
                line += static_cast<char>(1 + random() % 255);
            else
                line += alphabet[random() % alphabet.size()];
        }
        lines.push_back(line);
    }
    return lines;
}

std::string HexBytes(const std::string& text)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        out += digits[c >> 4];
        out += digits[c & 15];
        out += ' ';
    }
    return out;
}

std::vector<TQvHighlighterRange> StartRanges(TQvCustomHighlighter& h)
{
    std::vector<TQvHighlighterRange> ranges;
    for (TQvHighlighterRange v = 0; v < 256; ++v) {
        h.SetRange(v);
        if (h.GetRange() == v)
            ranges.push_back(v);
    }
    if (ranges.empty())
        return ranges;
    for (TQvHighlighterRange v : {TQvHighlighterRange{255}, TQvHighlighterRange{1000},
                                  TQvHighlighterRange{-1}, ranges.back() + 1})
        ranges.push_back(v);
    return ranges;
}

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

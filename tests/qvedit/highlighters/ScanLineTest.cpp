// The range scan of a whole line (ScanLine), which the editor runs over every line of an
// opened file, against the tokens: whatever a highlighter passes over to find the range a
// line ends in, it must end where SetLine and Next up to the end of the line end, in the
// same range, at the same position and token, from every start range. Lines end right
// after their NUL, so that the address sanitizer reports a read past it.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "CountingHighlighter.h"
#include "GoldenDriver.h"
#include "HighlighterTestSupport.h"
#include "qvedit/highlighters/QvHighlighterPHP.h"

namespace {

// Where a highlighter stands after the last token of a line.
struct TLineEnd {
    TQvHighlighterRange Range;
    Integer Pos;
    std::string Token;
    bool Eol;
    bool operator==(const TLineEnd&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TLineEnd& end)
{
    return out << "range " << end.Range << ", position " << end.Pos << ", token `" << end.Token
               << "`" << (end.Eol ? "" : ", not at the end");
}

TLineEnd EndOf(const TQvCustomHighlighter& h)
{
    return {h.GetRange(), h.GetTokenPos(), h.GetToken(), h.GetEol()};
}

TLineEnd ByTokens(TQvCustomHighlighter& h, const TGuardedLine& line, TQvHighlighterRange start)
{
    h.SetRange(start);
    h.SetLine(line.Text(), 7);
    h.NextToEol();
    return EndOf(h);
}

TLineEnd ByScanLine(TQvCustomHighlighter& h, const TGuardedLine& line, TQvHighlighterRange start)
{
    h.SetRange(start);
    h.ScanLine(line.Text(), 7);
    return EndOf(h);
}

// Every line from every start range of the highlighter; stops at the first difference.
void ExpectScanLineEndsAsTheTokens(TQvHighlighterClass cls, const std::vector<std::string>& lines)
{
    std::unique_ptr<TQvCustomHighlighter> tokens(cls->Create(nullptr));
    std::unique_ptr<TQvCustomHighlighter> scanner(cls->Create(nullptr));
    SCOPED_TRACE(tokens->GetLanguageName());
    const std::vector<TQvHighlighterRange> starts = StartRanges(*tokens);
    ASSERT_FALSE(starts.empty());
    for (const std::string& text : lines) {
        const TGuardedLine line(text);
        for (TQvHighlighterRange start : starts) {
            const TLineEnd expected = ByTokens(*tokens, line, start);
            const TLineEnd scanned = ByScanLine(*scanner, line, start);
            if (scanned != expected) {
                ADD_FAILURE() << "line " << HexBytes(text) << "from range " << start
                              << ": ScanLine ends in " << scanned << ", the tokens in "
                              << expected;
                return;
            }
        }
    }
}

}  // namespace

// Runs over the registered list, so a highlighter that scans its ranges its own way later
// is covered without a change.
TEST(HighlighterScanLine, RandomLinesEndAsTheirTokensFromEveryRange)
{
    TQvHighlighterList* list = GetPlaceableHighlighters();
    ASSERT_GT(list->Count(), 0);
    const std::vector<std::string> lines = RandomLines(4242, 2000);
    for (Integer i = 0; i < list->Count(); ++i)
        ExpectScanLineEndsAsTheTokens(list->Items(i), lines);
}

TEST(HighlighterScanLine, GoldenLinesEndAsTheirTokensFromEveryRange)
{
    const std::vector<std::string> lines = GoldenLines();
    ASSERT_GT(lines.size(), 100u);
    TQvHighlighterList* list = GetPlaceableHighlighters();
    for (Integer i = 0; i < list->Count(); ++i)
        ExpectScanLineEndsAsTheTokens(list->Items(i), lines);
}

// Strings with variable expansions, escapes and line ends inside are where the PHP range
// turns most often: many more random lines of the characters that make them.
TEST(HighlighterScanLine, PHPStringsAndCommentsOfEveryShape)
{
    const char* const pieces[] = {"\"", "'", "\\", "\\\\", "$", "$a", "{$", "${", "{", "}",
                                  "[", "]", "['k']", "['", "[b]", "->", "->c", "/*", "*/",
                                  "/", "*", "//", "#", " ", "x", "1", "\r", "\n", "\r\n", "=",
                                  "<<=", "?>", "\xE9"};
    std::mt19937 random(7);
    std::vector<std::string> lines;
    for (int i = 0; i < 20000; ++i) {
        std::string line;
        for (auto n = random() % 24; n > 0; --n)
            line += pieces[random() % std::size(pieces)];
        lines.push_back(line);
    }
    ExpectScanLineEndsAsTheTokens(HighlighterClassOf<TQvPHPHighlighter>(), lines);
}

// The scan for the range alone makes no token through the interface: words, numbers,
// variables and operators are passed over, strings and comments scanned directly. The
// same line scanned by its tokens calls Next once a token.
TEST(HighlighterScanLine, PHPScanMakesNoTokenThroughTheInterface)
{
    TCountingHighlighter<TQvPHPHighlighter> h(nullptr);
    const std::string line = "  $total = count($items) + 0x1F; /* a */ echo \"$a[1] {$b}\" . 'c'; // d";
    h.ResetRange();
    h.ScanLine(line, 0);
    EXPECT_EQ(h.NextCalls, 0);
    EXPECT_TRUE(h.GetEol());
    EXPECT_EQ(h.GetRange(), QvPHP::rsUnKnown);

    // The count does count: the same line by its tokens.
    h.ResetRange();
    h.SetLine(line, 0);
    h.NextToEol();
    EXPECT_GT(h.NextCalls, 30);
}

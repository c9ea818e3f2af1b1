// The expression engine's work over one long line of many matches, as the editor's replace
// all takes it: one FindAll, then each replacement made from its match again. Counted in
// steps and in bytes scanned, in any case (the find dialog's default) and with Match case:
// twice the line takes twice the work, not four times, and the matches found without
// regard to case are those found with it once the expression is written in the line's case.
#include "qvedit/search/QvEditRegexSearch.h"
#include "qvedit/search/QvRegex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <string>
#include <vector>

namespace {

struct TReplaceAllRun {
    std::vector<Integer> Positions;
    std::vector<Integer> Lengths;
    std::string Replaced;  // each match as "[$&]" makes it
    long Steps = 0;
    long Bytes = 0;
};

TReplaceAllRun ReplaceAllOfLine(const std::string& Expression, const std::string& Line, bool MatchCase)
{
    TQvEditRegexSearch engine(nullptr);
    engine.SetOptions(MatchCase ? TQvSearchOptions{ssoMatchCase} : TQvSearchOptions{});
    engine.SetPattern(Expression);
    TReplaceAllRun run;
    TQvRegexSearchOperation operation(&engine);
    const Integer count = engine.FindAll(Line);
    for (Integer n = 0; n < count; ++n) {
        run.Positions.push_back(engine.GetResult(n));
        run.Lengths.push_back(engine.GetLength(n));
        run.Replaced += engine.ReplacementFor(n, "[$&]");
    }
    run.Steps = engine.StepsUsed();
    run.Bytes = engine.BytesScanned();
    return run;
}

std::string Lower(std::string Text)
{
    std::transform(Text.begin(), Text.end(), Text.begin(), [](unsigned char c) { return std::tolower(c); });
    return Text;
}

std::string Line(std::size_t Bytes)
{
    std::string text;
    while (text.size() < Bytes)
        text += "a ";
    return text;
}

}  // namespace

TEST(RegexSearchLongLine, ReplaceAllTakesWorkInTheLinesLengthInEitherCase)
{
    // Expressions with a literal every match contains, one whose first character is absent
    // from the line ('A' with Match case, 'b' in "a|b"), and one of a class.
    const char* const expressions[] = {"a", "a ", "[a]", "a+", "(a)", "A", "a|b", "\\w"};
    constexpr std::size_t Bytes = 20'000;
    const std::string single = Line(Bytes);
    const std::string twice = Line(2 * Bytes);
    for (const char* expression : expressions) {
        for (const bool matchCase : {false, true}) {
            SCOPED_TRACE(std::string(expression) + (matchCase ? ", match case" : ", any case"));
            const TReplaceAllRun one = ReplaceAllOfLine(expression, single, matchCase);
            const TReplaceAllRun two = ReplaceAllOfLine(expression, twice, matchCase);
            EXPECT_LE(two.Bytes, 2 * one.Bytes + 64);
            EXPECT_LE(two.Steps, 2 * one.Steps + 64);
            EXPECT_LE(two.Bytes, 4 * static_cast<long>(twice.size()));
            const bool absent = matchCase && expression == std::string("A");
            EXPECT_EQ(two.Positions.size(), absent ? 0 : twice.size() / 2);
            if (matchCase)
                continue;
            // The same matches as with Match case for the expression in the line's case.
            const TReplaceAllRun cased = ReplaceAllOfLine(Lower(expression), twice, true);
            EXPECT_EQ(two.Positions, cased.Positions);
            EXPECT_EQ(two.Lengths, cased.Lengths);
            EXPECT_EQ(two.Replaced, cased.Replaced);
        }
    }
}

TEST(RegexSearchLongLine, SearchesFromAnyPlaceInAnyOrderFindWhatAFirstSearchFinds)
{
    // What one search found out about where a match may begin serves the next ones of the
    // same input, forward or back: each must find what a search made first from its place
    // finds.
    std::mt19937 rng(11);
    const char letters[] = "aAbB x";
    for (const char* expression : {"(?i)a", "a|b", "(?i)ab", "[ab]x", "(?i)b+ ?a"}) {
        SCOPED_TRACE(expression);
        std::string input;
        for (int i = 0; i < 300; ++i)
            input += letters[std::uniform_int_distribution<int>(0, 5)(rng)];
        TRegex re;
        re.SetExpression(expression);
        re.SetInputString(input);
        for (int i = 0; i < 400; ++i) {
            const int offset = std::uniform_int_distribution<int>(1, static_cast<int>(input.size()) + 1)(rng);
            TRegex first;
            first.SetExpression(expression);
            first.SetInputString(input);
            const bool expected = first.ExecPos(offset);
            ASSERT_EQ(re.ExecPos(offset), expected) << "from " << offset;
            if (expected) {
                ASSERT_EQ(re.MatchPos(0), first.MatchPos(0)) << "from " << offset;
            }
        }
    }
}

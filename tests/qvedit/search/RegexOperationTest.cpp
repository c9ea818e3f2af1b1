// The two bounds of an operation over many lines: each search keeps its own cap, and the
// operation's budget grows with the text scanned, the way the search engine grows it. The
// budgets are small so that the sanitizer build stays quick; outcomes and step counts are
// checked, and time only on a clock that moves at a known rate.
#include "qvedit/search/QvEditRegexSearch.h"
#include "qvedit/search/QvRegex.h"

#include "FakeRegexClock.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace {

constexpr long PerByte = TRegex::StepsPerByte;

// Lines of PHP as an editor user meets them: code, comments, strings, markup.
std::vector<std::string> PhpLines(int count)
{
    static const char* const Templates[] = {
        "<?php",
        "function get_item_%($post_id, $args = array()) {",
        "    $value_% = isset($args['key_%']) ? $args['key_%'] : null;",
        "    // TODO: return the cached item, or false when it is missing (#%).",
        "    return apply_filters('item_%', $value, $post_id);",
        "}",
        "echo '<div class=\"entry-%\">' . esc_html($title) . '</div>';",
        "",
        "    if ( ! empty( $items[%] ) && is_array( $items ) ) {",
        " * @param int    $id_% The identifier of the post.",
    };
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) {
        std::string line = Templates[i % 10];
        for (std::size_t at = line.find('%'); at != std::string::npos; at = line.find('%', at))
            line.replace(at, 1, std::to_string(i));
        lines.push_back(line);
    }
    return lines;
}

// Searches one line as the engine's FindAll does: grows the operation by the line, then
// lists every match. Returns the matches.
int FindAllInLine(TRegex& re, const std::string& line)
{
    re.GrowOperation(static_cast<long>(line.size()));
    int count = 0;
    for (bool found = re.Exec(line); found; found = re.ExecNext())
        ++count;
    return count;
}

// The steps one line's FindAll takes alone.
long StepsOfOneLine(const std::string& expression, const std::string& line)
{
    TRegex re;
    re.SetExpression(expression);
    (void)FindAllInLine(re, line);
    return re.StepsUsed();
}

}  // namespace

TEST(RegexOperation, OrdinaryExpressionsOverManyLinesNeverReachTheBudget)
{
    const std::vector<std::string> lines = PhpLines(20'000);
    long bytes = 0;
    for (const std::string& line : lines)
        bytes += static_cast<long>(line.size());
    const char* const expressions[] = {
        "return", "function\\s+\\w+", "\\$\\w+\\s*=", "(?i)todo|fixme", "'[^']*'", "^\\s*//.*$", "<(\\w+)[^>]*>",
        "\\bid_\\d+\\b",
    };
    for (const char* expression : expressions) {
        SCOPED_TRACE(expression);
        TRegex re;
        re.SetExpression(expression);
        // A start far below what the whole text takes: only the growth carries it through.
        constexpr long Start = 10'000;
        TRegexOperation operation(re, Start);
        int matches = 0;
        for (const std::string& line : lines)
            matches += FindAllInLine(re, line);
        EXPECT_GT(matches, 0);
        EXPECT_GT(re.StepsUsed(), Start);
        EXPECT_EQ(re.OperationBudget(), Start + PerByte * bytes);
        // A few steps a byte: a wide margin below the growth.
        EXPECT_LT(re.StepsUsed(), bytes * PerByte / 8);
    }
}

TEST(RegexOperation, ExpressionCostlyOnEveryLineEndsAfterABoundedNumberOfLines)
{
    const std::string expression = "(x+x+)+y";
    const std::string line = std::string(12, 'x') + "!y";
    const long perLine = StepsOfOneLine(expression, line);
    const long growth = PerByte * static_cast<long>(line.size());
    ASSERT_GT(perLine, 20 * growth);  // costly, yet far within one search's cap

    constexpr long Start = 1'000'000;
    TRegex re;
    re.SetExpression(expression);
    TRegexOperation operation(re, Start);
    long searched = 0;
    try {
        for (; searched < 1'000'000; ++searched)
            EXPECT_EQ(FindAllInLine(re, line), 0);
        FAIL() << "the operation never ended";
    } catch (const ERegex& e) {
        EXPECT_EQ(e.ErrorCode(), reeBacktrackLimitExceeded);
    }
    // Every line nets perLine - growth steps: the lines that fit in the start, then the error.
    EXPECT_EQ(searched, Start / (perLine - growth));
    EXPECT_EQ(re.OperationBudget(), Start + (searched + 1) * growth);
    EXPECT_GT(re.StepsUsed(), re.OperationBudget());
    EXPECT_LE(re.StepsUsed(), re.OperationBudget() + static_cast<long>(line.size()));

    // A spent operation stays spent: more text does not buy more searches.
    const long used = re.StepsUsed();
    EXPECT_THROW(FindAllInLine(re, "xxy"), ERegex);
    EXPECT_EQ(re.OperationBudget(), Start + (searched + 1) * growth);
    EXPECT_LE(re.StepsUsed(), used + 1);
}

TEST(RegexOperation, CatastrophicLineInsideALongOperationEndsAtTheSearchCap)
{
    constexpr long Cap = 500'000;
    const std::string catastrophic = std::string(2'000, 'x') + "!y";
    const std::vector<std::string> ordinary = PhpLines(200);
    TRegex re;
    re.SetExpression("(x+x+)+y|item_\\d+");
    TRegexOperation operation(re, std::numeric_limits<long>::max(), Cap);

    int matches = 0;
    for (const std::string& line : ordinary)
        matches += FindAllInLine(re, line);
    EXPECT_EQ(matches, 40);
    long before = re.StepsUsed();
    EXPECT_THROW(FindAllInLine(re, catastrophic), ERegex);
    EXPECT_EQ(re.LastError(), reeBacktrackLimitExceeded);
    EXPECT_GT(re.StepsUsed() - before, Cap);
    EXPECT_LE(re.StepsUsed() - before, Cap + static_cast<long>(catastrophic.size()));

    // The operation goes on: the next line has a cap of its own again.
    EXPECT_EQ(FindAllInLine(re, ordinary[1]), 1);

    // A replacement on such text is one search too: it ends at the cap and changes nothing.
    before = re.StepsUsed();
    EXPECT_THROW((void)re.Replace(catastrophic, "-", true), ERegex);
    EXPECT_GT(re.StepsUsed() - before, Cap);
    EXPECT_LE(re.StepsUsed() - before, Cap + static_cast<long>(catastrophic.size()));
    EXPECT_EQ(re.GetInputString(), ordinary[1]);
    EXPECT_EQ(re.Replace("xxy item_7", "-", true), "- -");
}

TEST(RegexOperation, GrowingCountsOnlyInsideAnOperation)
{
    TRegex re;
    re.SetExpression("a");
    re.GrowOperation(1'000);
    EXPECT_TRUE(re.Exec("a"));
    EXPECT_EQ(re.OperationBudget(), TRegex::Unbounded);
    {
        TRegexOperation operation(re, 100);
        re.GrowOperation(50);
        re.GrowOperation(-10);
        EXPECT_EQ(re.OperationBudget(), 100 + 50 * PerByte);
        re.GrowOperation(std::numeric_limits<long>::max());
        EXPECT_EQ(re.OperationBudget(), std::numeric_limits<long>::max());
    }
    EXPECT_TRUE(re.Exec("a"));
    EXPECT_EQ(re.OperationBudget(), TRegex::Unbounded);
}

TEST(RegexOperation, TheOperationsTimeGrowsWithTheTextAndEndsACostlyRun)
{
    // Ten milliseconds pass every ClockEvery steps: the operation's second plus its growth
    // lasts a known number of steps, and a search of its own never reaches its second here.
    constexpr std::int64_t Tick = 10'000'000;
    const std::string line = std::string(18, 'x') + "!y";
    ASSERT_GT(StepsOfOneLine("(x+x+)+y", line), TRegex::ClockEvery);
    const TFakeRegexClock clock(Tick);

    TRegex re;
    re.SetExpression("(x+x+)+y");
    TRegexOperation operation(re);
    long searched = 0;
    try {
        for (; searched < 1'000'000; ++searched)
            EXPECT_EQ(FindAllInLine(re, line), 0);
        FAIL() << "the operation never ended";
    } catch (const ERegex& e) {
        EXPECT_EQ(e.ErrorCode(), reeBacktrackLimitExceeded);
    }
    const std::int64_t allowance = TRegex::SearchTime + TRegex::TimePerByte * static_cast<std::int64_t>(line.size()) * (searched + 1);
    // The first reading past the allowance ends the operation.
    const long limit = static_cast<long>(allowance * TRegex::ClockEvery / Tick);
    EXPECT_GT(re.StepsUsed(), limit);
    EXPECT_LE(re.StepsUsed(), limit + TRegex::ClockEvery + static_cast<long>(line.size()));
    EXPECT_GT(searched, 0);
    EXPECT_THROW(FindAllInLine(re, "xxy"), ERegex);
}

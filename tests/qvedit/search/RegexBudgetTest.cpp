// The bounds: every kind of work counts as steps, a step budget or a second of time ends
// the classic runaway expressions on long subjects, and one bound serves a whole
// operation (a loop of ExecNext, a Replace, a Split, or the searches between
// BeginOperation and EndOperation).
#include "qvedit/search/QvRegex.h"

#include "FakeRegexClock.h"

#include "platform/runtime/Classes.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

std::string Repeat(const std::string& unit, std::size_t n)
{
    std::string text;
    while (text.size() < n)
        text += unit;
    return text.substr(0, n);
}

constexpr int Exhausted = -1;
constexpr int NoMatch = 0;
constexpr int Found = 1;

// Runs one search in an operation of `budget` steps; returns Exhausted, NoMatch or Found.
int Outcome(TRegex& re, const std::string& subject, long budget)
{
    TRegexOperation operation(re, budget);
    try {
        return re.Exec(subject) ? Found : NoMatch;
    } catch (const ERegex& e) {
        EXPECT_EQ(e.ErrorCode(), reeBacktrackLimitExceeded) << e.Message();
        EXPECT_EQ(re.MatchPos(0), -1);  // no half-made result is left behind
        return Exhausted;
    }
}

struct HostileCase {
    const char* expression;
    std::string (*subject)(std::size_t n);
    int outcome[3];  // at 1 KB, 10 KB and 100 KB
};

// Each would run for seconds to hours on 100 KB without a budget, most because some work
// was not counted: the bytes a back-reference compares, its repetitions, the characters
// a repeat scans.
const HostileCase HostileCases[] = {
    {"(a+)\\1c", [](std::size_t n) { return Repeat("a", n) + "!c"; }, {Exhausted, Exhausted, Exhausted}},
    {"(?i)(a+)\\1c", [](std::size_t n) { return Repeat("aA", n) + "!c"; }, {Exhausted, Exhausted, Exhausted}},
    {"(a+)+b", [](std::size_t n) { return Repeat("a", n) + "!b"; }, {Exhausted, Exhausted, Exhausted}},
    {"(x+x+)+y", [](std::size_t n) { return Repeat("x", n) + "!y"; }, {Exhausted, Exhausted, Exhausted}},
    {"(\\w+\\s?)+$", [](std::size_t n) { return Repeat("a", n) + "!"; }, {Exhausted, Exhausted, Exhausted}},
    {"(.*?,){11}P", [](std::size_t n) { return "P" + Repeat("1,", n); }, {Exhausted, Exhausted, Exhausted}},
    {"(a*)(\\1)*b", [](std::size_t n) { return Repeat("a", n) + "!b"; }, {Exhausted, Exhausted, Exhausted}},
    {"(a|aa)*b", [](std::size_t n) { return Repeat("a", n) + "!b"; }, {Exhausted, Exhausted, Exhausted}},
    {"(\\w+)*\\d", [](std::size_t n) { return Repeat("w", n); }, {Exhausted, Exhausted, Exhausted}},
    {"x.*\\d", [](std::size_t n) { return Repeat("x", n); }, {NoMatch, Exhausted, Exhausted}},
    {"(.*z|a)*[!?]", [](std::size_t n) { return Repeat("a", n); }, {Exhausted, Exhausted, Exhausted}},
    {"(a?)(\\1){99999999}b", [](std::size_t n) { return "b" + Repeat("a", n); }, {Exhausted, Exhausted, Exhausted}},
    {"(\\w)\\1*\\d", [](std::size_t n) { return Repeat("q", n); }, {NoMatch, Exhausted, Exhausted}},
};

// Runs the hostile cases from `first` to before `last` at the three sizes.
void ExpectTheHostileCasesEndAtTheBudget(std::size_t first, std::size_t last)
{
    constexpr long Budget = 2'000'000;  // a small budget keeps the sanitizer build quick
    const std::size_t sizes[] = {1'000, 10'000, 100'000};
    for (std::size_t k = first; k < last; ++k) {
        const HostileCase& c = HostileCases[k];
        TRegex re;
        re.SetExpression(c.expression);
        for (int i = 0; i < 3; ++i) {
            SCOPED_TRACE(std::string(c.expression) + " on " + std::to_string(sizes[i]) + " characters");
            const std::string subject = c.subject(sizes[i]);
            EXPECT_EQ(Outcome(re, subject, Budget), c.outcome[i]);
            // Work is counted before it is done: past the budget by at most one comparison.
            if (c.outcome[i] == Exhausted) {
                EXPECT_GT(re.StepsUsed(), Budget);
                EXPECT_LE(re.StepsUsed(), Budget + static_cast<long>(subject.size()));
            } else {
                EXPECT_LE(re.StepsUsed(), Budget);
            }
        }
    }
}

}  // namespace

// In two parts, so that a parallel run spreads the work.
TEST(RegexBudget, HostileExpressionsEndAtTheBudgetPart1)
{
    ExpectTheHostileCasesEndAtTheBudget(0, std::size(HostileCases) / 2);
}

TEST(RegexBudget, HostileExpressionsEndAtTheBudgetPart2)
{
    ExpectTheHostileCasesEndAtTheBudget(std::size(HostileCases) / 2, std::size(HostileCases));
}

TEST(RegexBudget, ARunawaySearchEndsAfterASecondOfItsOwnTime)
{
    {
        // A clock that moves a tenth of a second every ClockEvery steps: the search ends
        // at the first reading past its second (and 320 ns for each of its 10,002 bytes),
        // the eleventh; its first ClockEvery steps count too.
        const TFakeRegexClock clock(100'000'000);
        TRegex re;
        re.SetExpression("(x+x+)+y");
        EXPECT_THROW(re.Exec(Repeat("x", 10'000) + "!y"), ERegex);
        EXPECT_EQ(re.LastError(), reeBacktrackLimitExceeded);
        EXPECT_EQ(TFakeRegexClock::Readings(), 11);
        EXPECT_GE(re.StepsUsed(), 11 * TRegex::ClockEvery);
        EXPECT_LT(re.StepsUsed(), 12 * TRegex::ClockEvery);
        // A new input starts a new bound.
        EXPECT_TRUE(re.Exec("xxy"));
        EXPECT_LT(re.StepsUsed(), 100);
    }
    // On the real clock, the same search ends too, with the same error.
    const TRealRegexClock real;
    TRegex re;
    re.SetExpression("(x+x+)+y");
    EXPECT_THROW(re.Exec(Repeat("x", 10'000) + "!y"), ERegex);
    EXPECT_EQ(re.LastError(), reeBacktrackLimitExceeded);
}

TEST(RegexBudget, ReplaceSharesOneBudgetAndChangesNothingOnError)
{
    const TFakeRegexClock clock(10'000'000);
    // Each block holds a match that takes about a million steps to reach: one search is
    // well within the budget, ten thousand are not.
    const std::string blocks = Repeat("xxxxxxxxxxxxxxxxxxxx!xxy", 24 * 10'000);
    TRegex re;
    re.SetExpression("(x+x+)+y");
    ASSERT_TRUE(re.Exec("before xxy"));
    try {
        (void)re.Replace(blocks, "-");
        FAIL() << "no error";
    } catch (const ERegex& e) {
        EXPECT_EQ(e.ErrorCode(), reeBacktrackLimitExceeded);
    }
    EXPECT_GT(TFakeRegexClock::Readings(), 100);
    // The object's input and last match are those from before the call.
    EXPECT_EQ(re.GetInputString(), "before xxy");
    EXPECT_EQ(re.MatchPos(0), 8);
    EXPECT_EQ(re.Match(1), "xx");

    auto pieces = std::make_unique<TStringList>();
    pieces->Add("kept");
    {
        TRegexOperation operation(re, 1'000'000);
        EXPECT_THROW(re.Split(blocks, pieces.get()), ERegex);
    }
    ASSERT_EQ(pieces->Count(), 1);
    EXPECT_EQ(pieces->Strings(0), "kept");
    EXPECT_EQ(re.GetInputString(), "before xxy");

    // A few blocks are replaced within one budget.
    EXPECT_EQ(re.Replace(Repeat("xxxxxxxxxx!xxy", 14 * 3), "-"), "xxxxxxxxxx!-xxxxxxxxxx!-xxxxxxxxxx!-");
}

TEST(RegexBudget, ExecNextGoesOnWithTheSameBudget)
{
    TRegex re;
    re.SetExpression("\\d+");
    ASSERT_TRUE(re.Exec("1 22 333"));
    long previous = re.StepsUsed();
    while (re.ExecNext()) {
        EXPECT_GT(re.StepsUsed(), previous);
        previous = re.StepsUsed();
    }

    // After an error on ExecNext the previous match stands.
    re.SetExpression("(x+x+)+y|z");
    ASSERT_TRUE(re.Exec("z" + Repeat("x", 5'000) + "!y"));
    {
        TRegexOperation operation(re, 100'000);
        EXPECT_THROW(re.ExecNext(), ERegex);
    }
    EXPECT_EQ(re.MatchPos(0), 1);
    EXPECT_EQ(re.MatchLen(0), 1);
}

TEST(RegexBudget, AnOperationSpansManyInputs)
{
    TRegex re;
    re.SetExpression("(a|aa)*c\\d");
    const std::string line = Repeat("a", 12) + "c!";  // thousands of steps each
    {
        TRegexOperation operation(re, 200'000);
        int searched = 0;
        try {
            for (; searched < 200; ++searched)
                EXPECT_FALSE(re.Exec(line));
            FAIL() << "the budget never ran out";
        } catch (const ERegex& e) {
            EXPECT_EQ(e.ErrorCode(), reeBacktrackLimitExceeded);
        }
        EXPECT_GT(searched, 3);
        EXPECT_LT(searched, 200);
        // Nested operations keep the outer budget: it is spent.
        re.BeginOperation();
        EXPECT_THROW(re.Exec(line), ERegex);
        re.EndOperation();
    }
    // Outside any operation every Exec has a budget of its own again.
    for (int i = 0; i < 200; ++i)
        ASSERT_FALSE(re.Exec(line));
    EXPECT_LT(re.StepsUsed(), 200'000 / 3);
}

TEST(RegexBudget, LongAlternationsCompile)
{
    std::string expression;
    for (int i = 0; i < 40'000; ++i)
        expression += "ab" + std::to_string(i % 100) + "|";
    expression += "last";
    TRegex re;
    re.SetExpression("(" + expression + "){1,2}!");
    EXPECT_TRUE(re.Exec("xx last!"));
    EXPECT_EQ(re.MatchPos(0), 4);
    EXPECT_EQ(re.MatchLen(1), 4);
}

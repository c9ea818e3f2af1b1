// Whatever the expression and however long the input, a search ends: with a result, or
// with ERegex when the recursion or the backtracking reaches its bound. Each case here
// would crash (stack overflow) or run for hours without the bounds. Time runs on a clock
// that moves at a known rate, so that outcomes do not depend on the speed of the build.
#include "qvedit/search/QvRegex.h"

#include "FakeRegexClock.h"

#include "platform/runtime/Classes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Runs one search; returns the error code raised, or 0 with `found` set.
int SearchCode(const std::string& expression, const std::string& input, bool& found,
               const char* modifiers = nullptr)
{
    TRegex re;
    if (modifiers)
        re.SetModifierStr(modifiers);
    re.SetExpression(expression);
    try {
        found = re.Exec(input);
    } catch (const ERegex& e) {
        EXPECT_GE(e.ErrorCode(), 1000) << e.Message();
        EXPECT_EQ(re.MatchPos(0), -1);  // no half-made result is left behind
        return e.ErrorCode();
    }
    return 0;
}

}  // namespace

TEST(RegexBounds, CatastrophicBacktrackingEndsWithAnError)
{
    const TFakeRegexClock clock(10'000'000);
    bool found = false;
    EXPECT_EQ(SearchCode("(a|aa)*b", std::string(40, 'a') + "!b", found), reeBacktrackLimitExceeded);
    EXPECT_EQ(SearchCode("(x+x+)+y", std::string(30, 'x') + "!y", found), reeBacktrackLimitExceeded);
    EXPECT_EQ(SearchCode("(\\w+)*\\d", std::string(40, 'w'), found), reeBacktrackLimitExceeded);
    // Each round of the loop scans the rest of the line for the repeat and looks for a "z"
    // there: work that visits no node still counts.
    EXPECT_EQ(SearchCode("(\\w*z|a)*[!?]", std::string(2'000, 'a'), found), reeBacktrackLimitExceeded);
    EXPECT_EQ(SearchCode("(.*z|a)*[!?]", std::string(2'000, 'a'), found), reeBacktrackLimitExceeded);

    // Without the required literal in the input, no match is tried at all.
    EXPECT_EQ(SearchCode("(a|aa)*b", std::string(40, 'a'), found), 0);
    EXPECT_FALSE(found);
    EXPECT_EQ(SearchCode("(x+x+)+y", std::string(30, 'x'), found), 0);
    EXPECT_FALSE(found);

    TRegex re;
    re.SetExpression("(a|aa)*b");
    EXPECT_THROW(re.Exec(std::string(40, 'a') + "!b"), ERegex);
    EXPECT_EQ(re.LastError(), reeBacktrackLimitExceeded);
    EXPECT_TRUE(re.Exec("aab"));  // the object stays usable
    EXPECT_EQ(re.MatchLen(0), 3);
}

TEST(RegexBounds, LongLoopsNeedNoStack)
{
    const TFakeRegexClock stopped(0);
    // Every loop round of a complex operand leaves a choice point; they are kept on the
    // matcher's own stack, so long lines match without touching the call stack's limit.
    bool found = false;
    TRegex re;
    re.SetExpression("(a|b)*c");
    ASSERT_TRUE(re.Exec(std::string(300'000, 'a') + "c"));
    EXPECT_EQ(re.MatchLen(0), 300'001);

    re.SetExpression("(?-s).*x");
    ASSERT_TRUE(re.Exec(std::string(1'000'000, 'y') + "x"));
    EXPECT_EQ(re.MatchLen(0), 1'000'001);

    std::string pairs;
    for (int i = 0; i < 100'000; ++i)
        pairs += "ab";
    re.SetExpression("(ab)+");
    ASSERT_TRUE(re.Exec(pairs));
    EXPECT_EQ(re.MatchLen(0), 200'000);
    EXPECT_EQ(re.MatchPos(1), 199'999);

    // Beyond a bound on open choice points the search ends with an error.
    EXPECT_EQ(SearchCode("(a|b)*c", std::string(2'000'000, 'a') + "c", found), reeBacktrackStackExceeded);
}

TEST(RegexBounds, OrdinaryLongLinesStayWithinTheBounds)
{
    // At a tenth of the release build's slowest rate of steps, they still get their time.
    const TFakeRegexClock clock(TRegex::SearchTime * TRegex::ClockEvery / 20'000'000);
    const std::string line = std::string(100'000, 'x') + " function foo()";
    bool found = false;
    EXPECT_EQ(SearchCode("\\bfunction\\s+\\w+", line, found), 0);
    EXPECT_TRUE(found);
    EXPECT_EQ(SearchCode("x.*y", std::string(5'000, 'x'), found), 0);
    EXPECT_FALSE(found);
    // Every position of the line starts a try that scans the rest of it: work in the
    // square of the line's length, which a line of a few thousand characters must get.
    EXPECT_EQ(SearchCode("x.*\\d", std::string(4'000, 'x'), found), 0);
    EXPECT_FALSE(found);
    EXPECT_EQ(SearchCode("(ab)*c", "ababababababc", found), 0);
    EXPECT_TRUE(found);
}

TEST(RegexBounds, LoopRoundsThatConsumeNothingEndTheLoop)
{
    const TFakeRegexClock clock(10'000'000);
    bool found = false;
    // A back-reference to an empty group can repeat without moving.
    EXPECT_EQ(SearchCode("(a?)(\\1)*b", "b", found), 0);
    EXPECT_TRUE(found);
    EXPECT_EQ(SearchCode("(a?)(\\1){2,}b", "xb", found), 0);
    EXPECT_TRUE(found);
    EXPECT_EQ(SearchCode("(a?)(\\1)+?b", "b", found), 0);
    EXPECT_TRUE(found);
    EXPECT_EQ(SearchCode("(a?)(\\1){0,99999999}c", std::string(1000, 'b') + "c", found), 0);
    EXPECT_TRUE(found);
    EXPECT_EQ(SearchCode("(a?)\\1*b", "b", found), 0);
    EXPECT_TRUE(found);
    // A loop whose minimum is huge and whose rounds are empty ends at the time bound.
    EXPECT_EQ(SearchCode("(a?)(\\1){99999999}b", "b", found), reeBacktrackLimitExceeded);
}

TEST(RegexBounds, LoopStackDepth)
{
    std::string expression = "ab";
    for (int i = 0; i < 11; ++i)
        expression = "(" + expression + "){1,2}";
    TRegex re;
    re.SetExpression(expression);
    EXPECT_NO_THROW(re.Compile());  // eleven nested loops compile, but exceed the loop stack
    try {
        re.Exec("ab");
        FAIL() << "no error";
    } catch (const ERegex& e) {
        EXPECT_EQ(e.ErrorCode(), reeLoopStackExceeded);
        EXPECT_EQ(e.Message(), "TRegex(exec): Loop Stack Exceeded");
    }
    std::string ten = "ab";
    for (int i = 0; i < 10; ++i)
        ten = "(" + ten + "){1,2}";
    re.SetExpression(ten);
    EXPECT_TRUE(re.Exec("ab"));
}

TEST(RegexBounds, ApiErrors)
{
    TRegex re;
    re.SetExpression("a");
    try {
        re.GetInputString();
        FAIL() << "no error";
    } catch (const ERegex& e) {
        EXPECT_EQ(e.ErrorCode(), 1008);
    }
    try {
        re.ExecPos(1);
        FAIL() << "no error";
    } catch (const ERegex& e) {
        EXPECT_EQ(e.ErrorCode(), 1005);
    }
    try {
        re.ExecNext();
        FAIL() << "no error";
    } catch (const ERegex& e) {
        EXPECT_EQ(e.ErrorCode(), 1007);
        EXPECT_EQ(e.Message(), "TRegex(exec): ExecNext Without Exec[Pos]");
    }
    re.SetInputString("abc");
    try {
        re.ExecPos(0);
        FAIL() << "no error";
    } catch (const ERegex& e) {
        EXPECT_EQ(e.ErrorCode(), 1006);
    }
}

TEST(RegexBounds, AFailedReplaceOrSplitLeavesTheInputSearchable)
{
    // Every match begins with 'x' or 'y' and contains '='; "=a" takes eleven nested loops,
    // which exceed the loop stack. A Replace or Split of such a text fails and leaves the
    // earlier input: the search of it goes on to its last match as if nothing had failed,
    // nothing learnt about the failed text taken for the earlier one.
    std::string nested = "a";
    for (int i = 0; i < 11; ++i)
        nested = "(" + nested + "){1,2}";
    const std::string input = "x=1" + std::string(50, ' ') + "y=1";
    for (const bool split : {false, true}) {
        SCOPED_TRACE(split ? "Split" : "Replace");
        TRegex re;
        re.SetExpression("[xy]=(1|" + nested + ")");
        ASSERT_TRUE(re.Exec(input));
        TStringList pieces;
        try {
            if (split)
                re.Split("x=a", &pieces);
            else
                re.Replace("x=a", "z");
            FAIL() << "no error";
        } catch (const ERegex& e) {
            EXPECT_EQ(e.ErrorCode(), reeLoopStackExceeded);
        }
        EXPECT_EQ(re.GetInputString(), input);
        EXPECT_EQ(re.MatchPos(0), 1);
        ASSERT_TRUE(re.ExecNext());
        EXPECT_EQ(re.MatchPos(0), 54);
        EXPECT_EQ(re.Match(0), "y=1");
    }
}

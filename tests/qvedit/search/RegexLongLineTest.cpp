// Ordinary expressions on one long line of minified script with an embedded source map:
// the same matches as PCRE2, in steps linear in the line's length, because a repeat whose
// follower cannot begin with what it takes never gives characters back, and no try starts
// after the last place of a literal every match needs.
#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include "qvedit/search/QvRegex.h"

#include "FakeRegexClock.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

// About 300 KB: identifiers, calls, lists, strings and attributes, then a base64 blob.
std::string MinifiedLine()
{
    std::mt19937 rng(7);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    static const char Word[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_$";
    static const char* const Glue[] = {"(", ")", "{", "}", ";", ",", ".", "=", "+", ":", ", ", "&&", "!", "=\""};
    std::string text;
    while (text.size() < 240'000) {
        const int length = 1 + pick(8);
        for (int i = 0; i < length; ++i)
            text += Word[pick(63)];
        text += Glue[pick(14)];
        if (text.back() == '"') {  // an attribute value
            for (int i = pick(12); i > 0; --i)
                text += Word[pick(64)];
            text += "\" ";
        }
    }
    text += "//# sourceMappingURL=data:application/json;base64,";
    static const char Base64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    while (text.size() < 300'000)
        text += Base64[pick(64)];
    return text;
}

long PcreCount(const char* expression, const std::string& line)
{
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(expression), PCRE2_ZERO_TERMINATED, PCRE2_DOTALL,
                                     &error, &offset, nullptr);
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
    long count = 0;
    PCRE2_SIZE start = 0;
    while (start <= line.size() &&
           pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(line.data()), line.size(), start, 0, data, nullptr) >= 0) {
        const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
        ++count;
        start = ovector[1] > ovector[0] ? ovector[1] : ovector[1] + 1;
    }
    pcre2_match_data_free(data);
    pcre2_code_free(code);
    return count;
}

}  // namespace

TEST(RegexLongLine, MinifiedTextTakesLinearSteps)
{
    const std::string line = MinifiedLine();
    const char* const expressions[] = {
        "(\\w+,\\s*){2,4}\\w+",      "(\\w+\\.){1,3}?\\w+", "(\\s*\\w+\\s*=\\s*\"[^\"]*\")+",
        "((\\w+)(\\.\\w+)*\\s*,\\s*){2,}", "(\\w+,)+",           "\\w+\\(\\w*\\)",
    };
    for (const char* expression : expressions) {
        SCOPED_TRACE(expression);
        TRegex re;
        re.SetExpression(expression);
        long count = 0;
        {
            TRegexOperation operation(re);
            for (bool found = re.Exec(line); found; found = re.ExecNext())
                ++count;
        }
        EXPECT_EQ(count, PcreCount(expression, line));
        EXPECT_GT(count, 0);
        EXPECT_LT(re.StepsUsed(), 40 * static_cast<long>(line.size()));
    }
}

TEST(RegexLongLine, RepeatsThatNeverGiveBack)
{
    const struct {
        const char* expression;
        bool possessive;
    } cases[] = {
        {"\\w+,", true},
        {"[^\"]*\"", true},
        {"\\d+?x", true},        // lazy too: every shorter try would fail
        {"a{2,5}b|c", true},
        {"\\s*(\\w)", true},     // through the group's start
        {"a*$", true},           // '$' never passes before an 'a'
        {"a*\\b", false},        // an assertion may let the match end there
        {"\\w+\\d", false},      // a digit is a word character
        {"(?i)a+A", false},
        {"a+(b|a)", false},      // one alternative begins with what the repeat takes
        {"(a)b*\\1", false},     // a back-reference may match anything
        {"(\\w+\\s?)+$", false}, // the loop comes back to the repeat
        {"(?m)a*$", true},
    };
    for (const auto& c : cases) {
        TRegex re;
        re.SetExpression(c.expression);
        EXPECT_EQ(re.Dump().find("possessive") != std::string::npos, c.possessive) << c.expression << "\n"
                                                                                   << re.Dump();
    }
    // In multi-line mode '$' passes only before a line separator.
    TRegex re;
    re.SetExpression("(?m)a+$");
    EXPECT_NE(re.Dump().find("possessive"), std::string::npos);
    re.SetExpression("(?m)\\s+$");
    EXPECT_EQ(re.Dump().find("possessive"), std::string::npos);
    ASSERT_TRUE(re.Exec("x \n\ny"));
    EXPECT_EQ(re.MatchLen(0), 2);
}

TEST(RegexLongLine, RequiredLiteral)
{
    TRegex re;
    const struct {
        const char* expression;
        const char* must;  // nullptr: none
    } cases[] = {
        {"(\\w+,\\s*){2,4}\\w+", ","},
        {"(ab|cd)*xyz", "xyz"},
        {"(abc){1,2}d", "abc"},
        {"(abc){0,2}d", "d"},
        {"(?i).*function", "function"},
        {"a|b", nullptr},
        {"(abc)?", nullptr},
    };
    for (const auto& c : cases) {
        re.SetExpression(c.expression);
        const std::string dump = re.Dump();
        const std::size_t at = dump.find("must have ");
        if (c.must == nullptr)
            EXPECT_EQ(at, std::string::npos) << c.expression << "\n" << dump;
        else
            EXPECT_EQ(dump.substr(at + 10, dump.find('\r', at) - at - 10), c.must) << c.expression << "\n" << dump;
    }
    // No try begins after the literal's last place; the last place is found again for
    // each input.
    re.SetExpression("\\w+=\\d");
    EXPECT_FALSE(re.Exec("a=b" + std::string(50'000, 'w')));
    EXPECT_LT(re.StepsUsed(), 100);
    ASSERT_TRUE(re.Exec("a=1 b=2"));
    ASSERT_TRUE(re.ExecNext());
    EXPECT_EQ(re.MatchPos(0), 5);
    EXPECT_FALSE(re.Exec("a=b"));
}

TEST(RegexLongLine, WorkInTheSquareOfALongWordGetsItsSecond)
{
    // Every place of a 12,000-character word starts a try that takes the rest of the word:
    // about 72 million steps before the call at the end is found. That is well within a
    // second of a release build; the clock here moves as it would at 200 million steps a
    // second, whatever the speed of this build.
    const TFakeRegexClock clock(TFakeRegexClock::ReleaseTick);
    const std::string line = std::string(12'000, 'a') + ";f(x)";
    TRegex re;
    re.SetExpression("(\\w+)\\(");
    long count = 0;
    {
        TRegexOperation operation(re);
        re.GrowOperation(static_cast<long>(line.size()));
        for (bool found = re.Exec(line); found; found = re.ExecNext())
            ++count;
    }
    EXPECT_EQ(count, PcreCount("(\\w+)\\(", line));
    EXPECT_EQ(re.Match(1), "f");
    EXPECT_GT(re.StepsUsed(), 70'000'000);
}

TEST(RegexLongLine, AnOrdinarySearchOfALongInputGetsTimeForItsBytes)
{
    // A 2 MB line where every place is tried and none matches: one run of the matcher over
    // the whole line. The clock is set so that the search takes its second and nine tenths
    // of what its bytes add: it ends where a second alone would have stopped it.
    const std::string line(2'000'000, 'a');
    auto findAll = [&](TRegex& re) {
        long count = 0;
        for (bool found = re.Exec(line); found; found = re.ExecNext())
            ++count;
        return count;
    };
    TRegex re;
    re.SetExpression("a\\d");
    long steps = 0;
    {
        const TFakeRegexClock stopped(0);
        EXPECT_EQ(findAll(re), 0);
        steps = re.StepsUsed();
    }
    const std::int64_t growth = TRegex::TimePerByte * static_cast<std::int64_t>(line.size());
    const std::int64_t time = TRegex::SearchTime + growth * 9 / 10;
    ASSERT_GT(steps - TRegex::ClockEvery, steps / 20 * 19);  // the last reading is past the second
    const TFakeRegexClock clock(static_cast<std::int64_t>(static_cast<long double>(time) * TRegex::ClockEvery / steps));
    EXPECT_EQ(findAll(re), 0);
    EXPECT_EQ(re.StepsUsed(), steps);
}

TEST(RegexLongLine, ACaselessRequiredLiteralSkipsTheRestOfTheLine)
{
    // A line of style rules without the word: no try is made at all. A line with it near
    // the start: one match, then no try after its last place. Both would take work in the
    // square of the line's length otherwise.
    const TFakeRegexClock stopped(0);
    std::string rules;
    while (rules.size() < 30'000)
        rules += ".fa-glass:before{content:\"\\f000\"}";
    TRegex re;
    re.SetExpression("(?i).*function");
    EXPECT_FALSE(re.Exec(rules));
    EXPECT_LT(re.StepsUsed(), 100);

    const std::string script = "var f=FUNCTION(a){return a};" + rules;
    ASSERT_TRUE(re.Exec(script));
    EXPECT_EQ(re.Match(0), "var f=FUNCTION");
    EXPECT_FALSE(re.ExecNext());
    EXPECT_LT(re.StepsUsed(), 10 * static_cast<long>(script.size()));

    // The literal is found whatever the case of the input and of the expression.
    re.SetExpression("(?i)x*FuNcTiOn");
    ASSERT_TRUE(re.Exec("a function b"));
    EXPECT_EQ(re.MatchPos(0), 3);
    EXPECT_EQ(PcreCount("(?i).*function", script), 1);
}

// The two search engines on single lines: the plain engine against a straightforward
// scan, the regular-expression engine's match lists, and the options each one reads.
#include "qvedit/search/QvEditRegexSearch.h"
#include "qvedit/search/QvEditSearch.h"

#include "FakeRegexClock.h"

#include "platform/runtime/CodePages.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::vector<Integer> Positions(TQvEditSearchCustom& Engine, const std::string& Line)
{
    std::vector<Integer> result;
    const Integer count = Engine.FindAll(Line);
    for (Integer i = 0; i < count; ++i)
        result.push_back(Engine.GetResult(i));
    return result;
}

std::vector<Integer> Lengths(TQvEditSearchCustom& Engine)
{
    std::vector<Integer> result;
    for (Integer i = 0; i < Engine.GetResultCount(); ++i)
        result.push_back(Engine.GetLength(i));
    return result;
}

// Sets the code page for one test and puts the old one back.
class CodePageScope {
public:
    explicit CodePageScope(Cardinal cp) : saved_(GetACP()) { SetAnsiCodePage(cp); }
    ~CodePageScope() { SetAnsiCodePage(saved_); }

private:
    Cardinal saved_;
};

bool IsWordChar(char c)
{
    return c == '_' || IsCharAlphaNumericA(c);
}

// The straightforward scan: every start position in order; a hit that passes the word
// test is taken and the scan goes on after it.
std::vector<Integer> ReferenceFind(const std::string& Text, const std::string& Pattern, bool MatchCase,
                                   bool WholeWord)
{
    auto fold = [&](char c) { return MatchCase ? c : CharLowerA(c); };
    std::vector<Integer> result;
    const std::size_t m = Pattern.size();
    for (std::size_t i = 0; i + m <= Text.size();) {
        bool equal = true;
        for (std::size_t k = 0; k < m && equal; ++k)
            equal = fold(Text[i + k]) == fold(Pattern[k]);
        if (equal && WholeWord)
            equal = (i == 0 || !IsWordChar(Text[i - 1])) && (i + m == Text.size() || !IsWordChar(Text[i + m]));
        if (equal) {
            result.push_back(static_cast<Integer>(i + 1));
            i += m;
        } else {
            ++i;
        }
    }
    return result;
}

}  // namespace

TEST(PlainSearch, FindsNonOverlappingMatchesWithCaseAndWholeWord)
{
    CodePageScope cp(1252);
    struct Case {
        const char* pattern;
        const char* text;
        TQvSearchOptions options;
        std::vector<Integer> expected;
    };
    const Case cases[] = {
        {"aa", "aaaa", {}, {1, 3}},
        {"ABC", "xabcx", {}, {2}},
        {"ABC", "xabcx", {ssoMatchCase}, {}},
        {"cat", "concat", {ssoWholeWord}, {}},
        {"cat", "cat_s", {ssoWholeWord}, {}},
        {"cat", "cat.", {ssoWholeWord}, {1}},
        {"cat", "(cat)", {ssoWholeWord}, {2}},
        {"cat", "cat", {ssoWholeWord}, {1}},
        {"cat", "concat cat", {ssoWholeWord}, {8}},
        {"abc", "ab", {}, {}},
        {"x", "", {}, {}},
        {"aba", "ababababa", {}, {1, 5}},
        {"\xC9t\xC9", "\xE9t\xE9 \xC9T\xC9", {}, {1, 5}},  // Latin-1 letters fold too
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " in " + c.text);
        TQvEditSearch engine(nullptr);
        engine.SetOptions(c.options);
        engine.SetPattern(c.pattern);
        EXPECT_EQ(Positions(engine, c.text), c.expected);
        for (Integer i = 0; i < engine.GetResultCount(); ++i)
            EXPECT_EQ(engine.GetLength(i), static_cast<Integer>(std::string(c.pattern).size()));
    }
}

TEST(PlainSearch, FoldsCyrillicInCodePage1251)
{
    CodePageScope cp(1251);
    TQvEditSearch engine(nullptr);
    engine.SetPattern("\xCF\xD0\xC8\xC2\xC5\xD2");  // upper-case "privet"
    EXPECT_EQ(Positions(engine, "echo '\xEF\xF0\xE8\xE2\xE5\xF2';"), std::vector<Integer>{7});
    engine.SetOptions({ssoMatchCase});
    EXPECT_TRUE(Positions(engine, "echo '\xEF\xF0\xE8\xE2\xE5\xF2';").empty());
    // Cyrillic letters are word characters for the whole-word test.
    engine.SetOptions({ssoWholeWord});
    EXPECT_TRUE(Positions(engine, "\xE0\xEF\xF0\xE8\xE2\xE5\xF2").empty());
    EXPECT_EQ(Positions(engine, "-\xEF\xF0\xE8\xE2\xE5\xF2-"), std::vector<Integer>{2});
}

TEST(PlainSearch, LongPatternsEmptyPatternAndResultsOutOfRange)
{
    TQvEditSearch engine(nullptr);
    std::string pattern;
    for (int i = 0; i < 300; ++i)
        pattern += static_cast<char>('a' + i % 23);
    engine.SetPattern(pattern);
    EXPECT_EQ(Positions(engine, "zz" + pattern + "z" + pattern), (std::vector<Integer>{3, 304}));
    EXPECT_EQ(engine.GetResult(2), 0);
    EXPECT_EQ(engine.GetResult(-1), 0);

    engine.SetPattern("");
    try {
        engine.FindAll("text");
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Pattern is empty");
    }
    EXPECT_EQ(engine.GetResultCount(), 0);
}

TEST(PlainSearch, AgreesWithAStraightforwardScan)
{
    CodePageScope cp(1252);
    std::mt19937 random(20261207);
    const std::string alphabet = "abA_ \xE9\xC9";
    auto pick = [&](std::size_t n) {
        std::string s;
        for (std::size_t i = 0; i < n; ++i)
            s += alphabet[random() % alphabet.size()];
        return s;
    };
    for (int round = 0; round < 4000; ++round) {
        const std::string text = pick(random() % 40);
        const std::string pattern = pick(1 + random() % 4);
        const bool matchCase = round % 2 == 0;
        const bool wholeWord = round % 4 >= 2;
        TQvEditSearch engine(nullptr);
        TQvSearchOptions options;
        if (matchCase)
            options.Include(ssoMatchCase);
        if (wholeWord)
            options.Include(ssoWholeWord);
        engine.SetOptions(options);
        engine.SetPattern(pattern);
        ASSERT_EQ(Positions(engine, text), ReferenceFind(text, pattern, matchCase, wholeWord))
            << "'" << pattern << "' in '" << text << "' case " << matchCase << " word " << wholeWord;
    }
}

TEST(RegexSearch, ListsMatchesWithLengthsAndIgnoresWholeWord)
{
    TQvEditRegexSearch engine(nullptr);
    engine.SetPattern("a+");
    EXPECT_EQ(Positions(engine, "baaab aa"), (std::vector<Integer>{2, 7}));
    EXPECT_EQ(Lengths(engine), (std::vector<Integer>{3, 2}));

    engine.SetPattern("x*");
    EXPECT_TRUE(Positions(engine, "abc").empty());
    EXPECT_EQ(Positions(engine, "xx"), std::vector<Integer>{1});
    EXPECT_EQ(Lengths(engine), std::vector<Integer>{2});

    engine.SetOptions({ssoWholeWord});
    engine.SetPattern("cat");
    EXPECT_EQ(Positions(engine, "concat"), std::vector<Integer>{4});
    EXPECT_THROW(engine.GetResult(1), EListError);
    EXPECT_THROW(engine.GetLength(-1), EListError);
}

TEST(RegexSearch, CaseFollowsMatchCaseBetweenCalls)
{
    TQvEditRegexSearch engine(nullptr);
    engine.SetPattern("abc");
    // A new engine has the expression's default modifiers: case counts.
    EXPECT_EQ(Positions(engine, "ABC abc"), std::vector<Integer>{5});
    engine.SetOptions({});
    EXPECT_EQ(Positions(engine, "ABC abc"), (std::vector<Integer>{1, 5}));
    engine.SetOptions({ssoMatchCase});
    EXPECT_EQ(Positions(engine, "ABC abc"), std::vector<Integer>{5});
    engine.SetOptions({});
    EXPECT_EQ(Positions(engine, "ABC abc"), (std::vector<Integer>{1, 5}));
}

TEST(RegexSearch, ErrorsPassOutAndKeepWhatWasFound)
{
    TQvEditRegexSearch engine(nullptr);
    engine.SetPattern("(a");
    EXPECT_THROW(engine.FindAll("a"), ERegex);

    // A line that is costly for the expression ends with the engine's bound; a second
    // passes every two million steps, so that it comes quickly.
    const TFakeRegexClock clock(TRegex::SearchTime * TRegex::ClockEvery / 2'000'000);
    engine.SetPattern("(x+x+)+y");
    EXPECT_EQ(Positions(engine, "xxy"), std::vector<Integer>{1});
    try {
        engine.FindAll(std::string(400, 'x') + "!y");
        FAIL() << "no error";
    } catch (const ERegex& e) {
        EXPECT_EQ(e.ErrorCode(), reeBacktrackLimitExceeded);
    }
    EXPECT_EQ(engine.GetResultCount(), 0);
}

// Matching: positions and lengths of the whole match and of the groups, modifiers,
// anchors, sets, back-references, repeats and the search drivers.
#include "qvedit/search/QvRegex.h"

#include "platform/runtime/CodePages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct MatchCase {
    const char* expression;
    std::string input;
    int pos;  // 1-based position of the whole match, 0 = no match
    int len;
    std::vector<std::pair<int, int>> groups = {};  // (pos, len) of groups 1.., -1 = not set
};

void ExpectMatch(TRegex& re, const MatchCase& c)
{
    SCOPED_TRACE(std::string("expression '") + c.expression + "' on '" + c.input + "'");
    re.SetExpression(c.expression);
    const bool found = re.Exec(c.input);
    ASSERT_EQ(found, c.pos > 0);
    if (!found)
        return;
    EXPECT_EQ(re.MatchPos(0), c.pos);
    EXPECT_EQ(re.MatchLen(0), c.len);
    for (std::size_t g = 0; g < c.groups.size(); ++g) {
        EXPECT_EQ(re.MatchPos(static_cast<int>(g) + 1), c.groups[g].first) << "group " << g + 1;
        EXPECT_EQ(re.MatchLen(static_cast<int>(g) + 1), c.groups[g].second) << "group " << g + 1;
    }
}

void ExpectTable(const std::vector<MatchCase>& cases, const char* modifiers = nullptr)
{
    for (const MatchCase& c : cases) {
        TRegex re;
        if (modifiers)
            re.SetModifierStr(modifiers);
        ExpectMatch(re, c);
    }
}

}  // namespace

TEST(RegexMatch, DefaultModifiers)
{
    ExpectTable({
        {"b+", "aabbb", 3, 3},
        {"(a)|(b)", "b", 1, 1, {{-1, -1}, {1, 1}}},
        {"x*", "abc", 0, 0},  // no attempt where no match can begin
        {"x*", "xx", 1, 2},
        {"a*", "", 0, 0},
        {"^", "", 1, 0},
        {"$", "abc", 0, 0},
        {"c$", "abc", 3, 1},
        {"c$", "abc\n", 0, 0},
        {"a.c", "a\nc", 1, 3},
        {"a{2,3}?", "aaaa", 1, 2},
        {"a{2,3}", "aaaa", 1, 3},
        {"(a+)b\\1", "aaabaa", 2, 5, {{2, 2}}},
        {"(a(?i)b)c", "aBc", 1, 3},
        {"(a(?i)b)c", "aBC", 0, 0},
        {"(?i)ABC", "xabc", 2, 3},
        {"\\bcat\\b", "concat cat", 8, 3},
        {"\\Bcat", "concat cat", 4, 3},
        {"a|ab", "ab", 1, 1},
        {"(ab)*c", "ababc", 1, 5, {{3, 2}}},
        {"(a|ab){2}x", "abax", 1, 4, {{3, 1}}},
        {"a.*?c", "abcbc", 1, 3},
        {"a.*c", "abcbc", 1, 5},
        {"\\x41\\x{42}", "AB", 1, 2},
        {"[\\W]", "W", 1, 1},
        {"[\\W]", "!", 0, 0},
        {"\\z", "z", 1, 1},
        {"(a)\\10", "aa0", 1, 3},
        {"\\s", "a\x0b" "b", 0, 0},
        {"\\s", "a\x0c" "b", 2, 1},
        {"a{,3}", "a{,3}", 1, 5},
        {"{", "x{", 2, 1},
        {"a*{x", "aa{x", 1, 4},
        {"\\d+\\D", "ab12c", 3, 3},
        {"\\w+", "  foo_1 ", 3, 5},
        {"\\W+", "ab -+cd", 3, 3},
        {"\\S+", " \tab\t", 3, 2},
        {"\\Aab", "ab", 1, 2},
        {"ab\\Z", "xab", 2, 2},
        {"\\t\\n\\r\\f\\e\\a", "\t\n\r\f\x1b\x07", 1, 6},
        {"\\.\\*\\\\", "a.*\\", 2, 3},
        // A loop whose body can match empty may be passed whatever its minimum, so a match
        // can begin after it.
        {"((b){0,2}){2}a", "xa", 2, 1},
        {"((b){0,2}){2}a", "xba", 2, 2},
    });
}

TEST(RegexMatch, SetsAndRanges)
{
    ExpectTable({
        {"[]a]+", "x]a]", 2, 3},
        {"[^]a]+", "]a-b", 3, 2},
        {"[a-]+", "x-a-", 2, 3},
        {"[a-c-e]+", "xab-ed", 2, 4},
        {"[a-\\d]+", "x-a5", 2, 3},  // "-" before a class escape is a member
        {"[\\d-z]+", "xz-9", 2, 3},
        {"[\\x41-\\x43]+", "xABCD", 2, 3},
        {"[\\n\\t]", "a\tb", 2, 1},
        {"[\\D]", "aD", 2, 1},  // inside brackets a class letter stands for itself
        {"[^abc]", "abcd", 4, 1},
        {"[^a-y]", "abcz", 4, 1},
        {"[abcd]", "xxd", 3, 1},
        {"[a-c]+", "xbcay", 2, 3},
    });
}

TEST(RegexMatch, RussianRangesFollowModifierR)
{
    const std::string yo = "\xB8";  // small io of code page 1251
    const std::string bigYo = "\xA8";
    ExpectTable({{"[\xE0-\xFF]", yo, 1, 1}, {"[\xC0-\xDF]", bigYo, 1, 1}, {"[\xE0-\xDF]+", yo + bigYo, 1, 2}});
    ExpectTable({{"[\xE0-\xFF]", yo, 0, 0}, {"[\xC0-\xDF]", bigYo, 0, 0}}, "-r");
}

TEST(RegexMatch, CaseInsensitive)
{
    ExpectTable({
        {"abc", "xABC", 2, 3},
        {"[a-c]+", "xABCd", 2, 3},
        {"[^a]", "Aab", 3, 1},
        {"(ab)\\1", "abAB", 1, 4},
        {"a+", "xAaA", 2, 3},
    }, "i");
}

TEST(RegexMatch, CaseInsensitiveFollowsTheCodePage)
{
    const Cardinal saved = GetACP();
    SetAnsiCodePage(1251);
    ExpectTable({{"\xFF\xE0", "x\xDF\xC0", 2, 2}}, "i");  // 'яа' finds 'ЯА'
    SetAnsiCodePage(saved);
}

TEST(RegexMatch, GreedinessAndNonGreedyForms)
{
    ExpectTable({
        {"a+?", "aaa", 1, 1},
        {"a*?b", "aab", 1, 3},
        {"a??b", "ab", 1, 2},
        {"(ab)+?", "ababab", 1, 2, {{1, 2}}},
        {"(ab)*?c", "ababc", 1, 5, {{3, 2}}},
        {"(ab)??c", "abc", 1, 3},
        {"(ab){1,2}?", "ababab", 1, 2},
        {"(ab){2,}", "abababx", 1, 6, {{5, 2}}},
        {"<.+>", "<a><b>", 1, 6},
        {"<.+?>", "<a><b>", 1, 3},
    });
    // Without g every quantifier is non-greedy.
    ExpectTable({{"a+", "aaa", 1, 1}, {"a{2,3}", "aaaa", 1, 2}, {"(ab)+", "abab", 1, 2}}, "-g");
}

TEST(RegexMatch, DotAndAnchorsInMultiLineMode)
{
    ExpectTable({
        {"^b", "a\r\nb", 4, 1},
        {"a$", "a\r\nb", 1, 1},
        {"^$", "a\r\n\r\nb", 0, 0},  // an empty match is only tried where a character could begin it
        {"^\r", "a\r\n\r\nb", 4, 1},
        {"b$", "a\nb\r", 3, 1},
        {"^b", "a\rb", 3, 1},
    }, "m");
    // The dot without s stops at line separators.
    ExpectTable({{"a.c", "a\nc", 0, 0}, {"a.c", "a\rc", 0, 0}, {"a.+", "ab\r\ncd", 1, 2}}, "-s");
}

TEST(RegexMatch, ExtendedSyntax)
{
    ExpectTable({
        {"a b # note", "xab", 2, 2},
        {"a *", "aaa", 1, 3},  // blanks do not part a quantifier from its atom
        {"(a) +", "aaa", 1, 3},
        {"\\d *x", "12x", 1, 3},
        {"ab *", "abbb", 1, 4},
        {"a#c\n+", "aa", 1, 2},
        {"[ ]", "a b", 2, 1},  // a blank in brackets is a member
    }, "x");
}

TEST(RegexMatch, BackReferences)
{
    ExpectTable({
        {"(ab)\\1*", "abababx", 1, 6},  // a repeated back-reference backs off in whole repetitions
        {"(ab)\\1*c", "ababc", 1, 5},
        {"(ab)\\1*?x", "ababx", 1, 5},
        {"(a*)b\\1+", "aabaaaa", 1, 7},
        {"(a?)(\\1)*b", "b", 1, 1},
        {"(x)?\\1", "a", 0, 0},  // a group that did not take part matches nothing
        {"(a)|\\1b", "b", 0, 0},
        {"(a*)\\1*b", "b", 1, 1},
        // Reopened in the second round, group 2 has a new start before its new end: it
        // counts as not set, so the optional reference is skipped.
        {"((b\\2?)c)+", "bcbc", 1, 4, {{3, 2}, {3, 1}}},
    });
}

TEST(RegexMatch, NulNeverMatches)
{
    ExpectTable({
        {"a[\\x00]b", "a", 0, 0},
        {"a[\\x00]", "a", 0, 0},
        {"a\\x00b", "ab", 0, 0},
        {"a\\x{}", "a", 0, 0},
        {"\\x00*b", "b", 1, 1},
        {"[^\\x00]", "", 0, 0},
    });
    TRegex re;
    re.SetExpression("\\x{}(b)*.");  // the program stays walkable after a NUL literal
    const std::string dump = re.Dump();
    EXPECT_NE(dump.find(" 6EXACTLY (12) \r\n12BRANCH"), std::string::npos) << dump;
    EXPECT_FALSE(re.Exec("bbb"));
    re.SetExpression("a.");
    EXPECT_FALSE(re.Exec(std::string("a\0b", 3)));  // the input ends at a NUL
    EXPECT_EQ(re.GetInputString(), "a");
}

TEST(RegexMatch, ExecNextWalksAllMatches)
{
    TRegex re;
    re.SetExpression("a+");
    ASSERT_TRUE(re.Exec("baaab aa"));
    EXPECT_EQ(re.MatchPos(0), 2);
    ASSERT_TRUE(re.ExecNext());
    EXPECT_EQ(re.MatchPos(0), 7);
    EXPECT_EQ(re.MatchLen(0), 2);
    EXPECT_FALSE(re.ExecNext());

    re.SetExpression("b+");
    ASSERT_TRUE(re.Exec("aabbb"));
    EXPECT_FALSE(re.ExecNext());

    // After an empty match the next search starts one further on, so the loop ends.
    re.SetExpression("x*");
    ASSERT_TRUE(re.Exec("xaxx"));
    std::vector<int> positions{re.MatchPos(0)};
    while (re.ExecNext())
        positions.push_back(re.MatchPos(0));
    EXPECT_EQ(positions, (std::vector<int>{1, 3}));

    re.SetExpression("^");
    ASSERT_TRUE(re.Exec("abc"));
    EXPECT_EQ(re.MatchLen(0), 0);
    EXPECT_FALSE(re.ExecNext());
}

TEST(RegexMatch, ExecPosAndResultAccessors)
{
    TRegex re;
    re.SetExpression("(a)(b)?");
    re.SetInputString("xaab");
    ASSERT_TRUE(re.ExecPos(3));
    EXPECT_EQ(re.MatchPos(0), 3);
    EXPECT_EQ(re.Match(0), "ab");
    EXPECT_EQ(re.Match(2), "b");
    EXPECT_EQ(re.SubExprMatchCount(), 2);
    EXPECT_EQ(re.MatchPos(15), -1);
    EXPECT_EQ(re.MatchLen(-1), -1);
    EXPECT_EQ(re.Match(15), "");
    EXPECT_FALSE(re.ExecPos(6));  // beyond length + 1
    EXPECT_EQ(re.MatchPos(0), 3);  // nothing attempted: the last match stays

    ASSERT_TRUE(re.ExecPos(1));
    EXPECT_EQ(re.MatchPos(0), 2);
    EXPECT_EQ(re.MatchPos(2), -1);
    EXPECT_EQ(re.SubExprMatchCount(), 1);

    TRegex fresh;
    EXPECT_EQ(fresh.SubExprMatchCount(), -1);
    EXPECT_EQ(fresh.MatchPos(0), -1);
}

// A search of the caller's bytes in place: the positions answer, the text is not kept
// (nothing reads it once the search is over), and a changed text at the same address is
// searched afresh, caselessly too, where the engine remembers where a literal lies last.
TEST(RegexMatch, ExecInPlaceSearchesTheCallersBytesWithoutKeepingThem)
{
    TRegex re;
    re.SetExpression("b+c");
    re.SetInputString("xxbc");
    ASSERT_TRUE(re.ExecPos(1));
    std::string text = "aabbbcaa";
    ASSERT_TRUE(re.ExecInPlace(text));
    EXPECT_EQ(re.MatchPos(0), 3);
    EXPECT_EQ(re.MatchLen(0), 4);
    EXPECT_EQ(re.Match(0), "") << "the text searched in place is not kept";
    EXPECT_FALSE(re.ExecNext());
    EXPECT_EQ(re.GetInputString(), "");

    text = "bcaaaaBC";  // same address, same length, other places
    re.SetModifierStr("i");
    ASSERT_TRUE(re.ExecInPlace(text));
    EXPECT_EQ(re.MatchPos(0), 1);
    text[0] = 'x';
    ASSERT_TRUE(re.ExecInPlace(text));
    EXPECT_EQ(re.MatchPos(0), 7);
    text = "zz";
    EXPECT_FALSE(re.ExecInPlace(std::string_view(text)));

    // Up to the first NUL, as with an input set.
    const std::string withNul("a\0bc", 4);
    EXPECT_FALSE(re.ExecInPlace(withNul));

    // An input set afterwards is searched as before.
    re.SetInputString("abbc");
    ASSERT_TRUE(re.ExecPos(1));
    EXPECT_EQ(re.Match(0), "bbc");
}

TEST(RegexMatch, ModifierChangesRecompile)
{
    TRegex re;
    re.SetExpression("abc");
    EXPECT_FALSE(re.Exec("ABC"));
    re.SetModifier(1, true);
    EXPECT_TRUE(re.Exec("ABC"));
    re.SetModifierStr("-i");
    EXPECT_FALSE(re.Exec("ABC"));
}

TEST(RegexMatch, LineSeparatorSettings)
{
    TRegex re;
    re.SetModifierStr("m");
    re.SetLineSeparators(";");
    re.SetLinePairedSeparator("");
    re.SetExpression("^b");
    ASSERT_TRUE(re.Exec("a;b"));
    EXPECT_EQ(re.MatchPos(0), 3);
    EXPECT_FALSE(re.Exec("a\nb"));
}

TEST(RegexMatch, WordCharsAreReadLiveByBoundaries)
{
    TRegex re;
    re.SetExpression("\\bx");
    EXPECT_TRUE(re.Exec("-x"));  // "-" is no word character, so there is a boundary
    re.SetWordChars("x-");
    EXPECT_FALSE(re.Exec("-x"));
    EXPECT_TRUE(re.Exec("a x"));
}

// Substitution templates, Replace and Split, and the helpers that wrap them.
#include "qvedit/search/QvRegex.h"

#include "platform/runtime/Classes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Lines(const TStrings& list)
{
    std::vector<std::string> lines;
    for (int i = 0; i < list.Count(); ++i)
        lines.push_back(list.Strings(i));
    return lines;
}

}  // namespace

TEST(RegexSubstitute, Templates)
{
    TRegex re;
    re.SetExpression("(\\w+) (\\w+)");
    ASSERT_TRUE(re.Exec("ab cd"));
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"$2-$1", "cd-ab"},
        {"${1}0", "ab0"},
        {"$10", ""},  // group 10 did not take part
        {"\\$1", "$1"},
        {"$&!", "ab cd!"},
        {"${&}", "ab cd"},
        {"${}", "ab cd"},
        {"$0", "ab cd"},
        {"a$", "a$"},
        {"${x}", "${x}"},
        {"${1", "${1"},
        {"$x", "$x"},
        {"x\\", "x\\"},
        {"\\\\\\n", "\\n"},
        {"$99999999999", ""},  // saturates instead of overflowing
        {"$0000000000000000000001", "ab"},
        {"", ""},
    };
    for (const auto& [templ, expected] : cases)
        EXPECT_EQ(re.Substitute(templ), expected) << "template '" << templ << "'";
}

TEST(RegexSubstitute, NeedsAnInput)
{
    TRegex re;
    re.SetExpression("a");
    try {
        re.Substitute("$1");
        FAIL() << "no error";
    } catch (const ERegex& e) {
        EXPECT_EQ(e.ErrorCode(), 1005);
    }
}

TEST(RegexSubstitute, Replace)
{
    TRegex re;
    re.SetExpression("a");
    EXPECT_EQ(re.Replace("a.c", "x"), "x.c");
    EXPECT_EQ(re.Replace("xyz", "q"), "xyz");
    EXPECT_EQ(re.Replace("aba", "$&$&", true), "aabaa");
    EXPECT_EQ(re.Replace("aba", "$&$&", false), "$&$&b$&$&");
    re.SetExpression("^");
    EXPECT_EQ(re.Replace("abc", "X"), "Xabc");
    re.SetExpression("x*");
    EXPECT_EQ(re.Replace("axxbx", "-"), "a-b-");
    re.SetExpression("(\\w+)=(\\w+)");
    EXPECT_EQ(re.Replace("a=bb c=dd", "$2=$1", true), "bb=a dd=c");
    EXPECT_EQ(ReplaceRegex("o", "foo", "0"), "f00");
}

TEST(RegexSubstitute, Split)
{
    TStringList pieces;
    TRegex re;
    re.SetExpression(",");
    re.Split("a,,b", &pieces);
    EXPECT_EQ(Lines(pieces), (std::vector<std::string>{"a", "", "b"}));
    re.Split("", &pieces);
    EXPECT_EQ(Lines(pieces), (std::vector<std::string>{""}));
    re.Split("a,", &pieces);
    EXPECT_EQ(Lines(pieces), (std::vector<std::string>{"a", ""}));
    SplitRegex("\\s+", "one  two\tthree", &pieces);
    EXPECT_EQ(Lines(pieces), (std::vector<std::string>{"one", "two", "three"}));
}

TEST(RegexSubstitute, ExecRegex)
{
    EXPECT_TRUE(ExecRegex("b+", "abbc"));
    EXPECT_FALSE(ExecRegex("d", "abbc"));
    EXPECT_THROW(ExecRegex("(", "abbc"), ERegex);
}

TEST(RegexSubstitute, SubExpressions)
{
    TStringList list;
    EXPECT_EQ(RegexSubExpressions("a(b(c))[(]\\(d", &list, false), 0);
    ASSERT_EQ(Lines(list), (std::vector<std::string>{"a(b(c))[(]\\(d", "b(c)", "c"}));
    const auto packed = [&](int i) { return reinterpret_cast<std::intptr_t>(list.Objects(i)); };
    EXPECT_EQ(packed(0), 1 + (13 << 16));
    EXPECT_EQ(packed(1), 3 + (4 << 16));
    EXPECT_EQ(packed(2), 5 + (1 << 16));

    EXPECT_EQ(RegexSubExpressions("(ab)", &list, false), 0);
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"ab"}));  // the group spans it all

    EXPECT_EQ(RegexSubExpressions("(?x)a # (\n(b)", &list, false), 0);
    EXPECT_EQ(list.Count(), 2);

    EXPECT_EQ(RegexSubExpressions("(a", &list, false), -1);
    EXPECT_EQ(RegexSubExpressions("(?i", &list, false), -1);
    EXPECT_EQ(RegexSubExpressions("ab)", &list, false), 3);
    EXPECT_EQ(RegexSubExpressions("ab[c", &list, false), -4);
}

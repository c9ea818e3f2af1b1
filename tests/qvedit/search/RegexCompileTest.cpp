// Compiling: error codes, messages and positions, the settings that control the compiler,
// and the program's form (node choice, optimisation data).
#include "qvedit/search/QvRegex.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

struct ErrorCase {
    std::string expression;
    int code;
    const char* modifiers = nullptr;
};

// Compiles and returns the raised error, or nothing when compiling succeeds.
std::optional<ERegex> CompileError(const std::string& expression, const char* modifiers = nullptr)
{
    TRegex re;
    if (modifiers)
        re.SetModifierStr(modifiers);
    re.SetExpression(expression);
    try {
        re.Compile();
    } catch (const ERegex& e) {
        return e;
    }
    return std::nullopt;
}

std::string Groups(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += std::string("(") + static_cast<char>('a' + i) + ")";
    return text;
}

}  // namespace

TEST(RegexCompile, ErrorCodes)
{
    const std::vector<ErrorCase> cases = {
        {"(a", 103},
        {"a)", 104},
        {Groups(15), 102},
        {"x**", 107},
        {"a+?+", 107},
        {"a*{2}", 107},
        {"*a", 115},
        {"+", 115},
        {"a|?", 115},
        {"(*)", 115},
        {"(a*)*", 106},
        {"(a|)*", 106},
        {"^*", 106},
        {"^{", 106},
        {"\\b+", 106},
        {"(a?){2}", 106},
        {"(?i)*", 106},
        {"a{2,1}", 124},
        {"a{123456789}", 122},
        {"a{1,123456789}", 122},
        {"[abc", 113},
        {"[]", 113},
        {"[^]", 113},
        {"[z-a]", 109},
        {"[\xE0-\xDF]", 109, "-r"},
        {"\\x4", 111},
        {"\\x", 111},
        {"\\xG0", 108},
        {"\\x{100}", 112},
        {"\\x{41", 111},
        {"\\x{4g}", 108},
        {"a\\", 116},
        {"[a\\", 110},
        {"[a-\\", 110},
        {"(?z)", 127},
        {"(?:a)", 127},
        {"(?=a)", 127},
        {"(?i", 127},
        {"(?#note", 125},
    };
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE("expression '" + c.expression + "'");
        const std::optional<ERegex> error = CompileError(c.expression, c.modifiers);
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->ErrorCode(), c.code);
        const std::string suffix = " (pos " + std::to_string(error->CompilerErrorPos()) + ")";
        EXPECT_TRUE(error->Message().ends_with(suffix)) << error->Message();
    }
}

TEST(RegexCompile, MessagesAndPositions)
{
    EXPECT_EQ(CompileError("(a")->Message(), "TRegex(comp): ParseReg Unmatched () (pos 2)");
    EXPECT_EQ(CompileError("a)")->Message(), "TRegex(comp): ParseReg Unmatched () (pos 1)");
    EXPECT_EQ(CompileError("x**")->Message(), "TRegex(comp): Nested *?+ (pos 2)");
    EXPECT_EQ(CompileError("*a")->Message(), "TRegex(comp): ?+*{ Follows Nothing (pos 0)");
    EXPECT_EQ(CompileError("a{2,1}")->Message(), "TRegex(comp): BRACE Min Param Greater then Max (pos 6)");
    EXPECT_EQ(CompileError("[z-a]")->Message(), "TRegex(comp): Invalid [] Range (pos 4)");
    EXPECT_EQ(CompileError("a\\")->Message(), "TRegex(comp): Trailing \\ (pos 2)");
    EXPECT_EQ(CompileError("\\x{100}")->Message(), "TRegex(comp): Hex Code After \\x Is Too Big (pos 5)");
    EXPECT_EQ(CompileError("(?#note")->Message(), "TRegex(comp): Unclosed (?#Comment) (pos 7)");
    EXPECT_EQ(CompileError("(?z)")->Message(), "TRegex(comp): Urecognized Modifier (pos 2)");
}

TEST(RegexCompile, AcceptedForms)
{
    for (const std::string& expression :
         {Groups(14), std::string("a{12345678}"), std::string("a{,3}"), std::string("{"),
          std::string("a{"), std::string("a{x"), std::string("a*{x"), std::string("(?#note)a"),
          std::string("(?imsx-rg)a"), std::string("(?)a"), std::string("[a-\\d]"),
          std::string("a??"), std::string("(a|b)?"), std::string("(a?)?"), std::string("[\xE0-\xDF]"),
          std::string("\\x{}"), std::string("\\x{0ff}")}) {
        SCOPED_TRACE("expression '" + expression + "'");
        EXPECT_FALSE(CompileError(expression).has_value());
    }
}

TEST(RegexCompile, AfterAnErrorTheObjectStaysUsable)
{
    TRegex re;
    re.SetExpression("(a");
    EXPECT_THROW(re.Compile(), ERegex);
    EXPECT_EQ(re.CompilerErrorPos(), 2);
    EXPECT_EQ(re.LastError(), 103);
    EXPECT_EQ(re.LastError(), 0);  // reading resets it
    EXPECT_THROW(re.Exec("a"), ERegex);  // still no program
    re.SetExpression("(a)");
    EXPECT_TRUE(re.Exec("a"));
    EXPECT_EQ(re.CompilerErrorPos(), 0);
}

TEST(RegexCompile, ObjectErrors)
{
    TRegex re;
    try {
        re.Compile();
        FAIL() << "no error";
    } catch (const ERegex& e) {
        EXPECT_EQ(e.ErrorCode(), 1003);
        EXPECT_EQ(e.Message(), "TRegex(exec): Not Assigned Expression Property");
    }
    try {
        re.SetModifier(7, true);
        FAIL() << "no error";
    } catch (const ERegex& e) {
        EXPECT_EQ(e.ErrorCode(), 1013);
        EXPECT_EQ(e.Message(), "Unknown error");
    }
    EXPECT_THROW(re.SetModifierStr("iq"), ERegex);
    EXPECT_THROW(re.DumpOp(69), ERegex);

    EXPECT_THROW(re.SetLinePairedSeparator("x"), ERegex);
    EXPECT_THROW(re.SetLinePairedSeparator("xx"), ERegex);
    EXPECT_THROW(re.SetLinePairedSeparator("abc"), ERegex);
    EXPECT_EQ(re.GetLinePairedSeparator(), "\r\n");  // unchanged by the failed settings
    re.SetLinePairedSeparator("");
    EXPECT_EQ(re.GetLinePairedSeparator(), "");
}

TEST(RegexCompile, Modifiers)
{
    TRegex re;
    EXPECT_EQ(re.GetModifierStr(), "gsr-imx");
    re.SetModifierStr("i-g");
    EXPECT_EQ(re.GetModifierStr(), "sri-gmx");  // each letter that is on goes in front
    EXPECT_TRUE(re.GetModifier(1));
    EXPECT_FALSE(re.GetModifier(4));
    re.SetModifierStr("IRSGMX");
    EXPECT_EQ(re.GetModifierStr(), "xmgsri");

    int mask = 0;
    EXPECT_TRUE(TRegex::ParseModifiersStr("is-i", mask));
    EXPECT_EQ(mask, rmS);
    EXPECT_FALSE(TRegex::ParseModifiersStr("m?", mask));
    EXPECT_EQ(mask, rmS | rmM);  // letters before the bad one stay applied
}

TEST(RegexCompile, InlineModifiersEndWithTheirGroup)
{
    TRegex re;
    re.SetExpression("((?i)a)a");
    EXPECT_TRUE(re.Exec("Aa"));
    EXPECT_FALSE(re.Exec("AA"));
    re.SetExpression("(?i)a|b");
    EXPECT_TRUE(re.Exec("B"));  // to the end of the expression, across alternatives
    EXPECT_EQ(re.GetModifierStr(), "gsr-imx");  // the object's modifiers are untouched
}

TEST(RegexCompile, ProgramForm)
{
    TRegex re;
    re.SetExpression("abc*");
    const std::string dump = re.Dump();
    // The literal run leaves its last character to the quantifier.
    // The repeat ends the match, so its first try succeeds: it never gives back.
    EXPECT_NE(dump.find(" 6EXACTLY (14) ab\r\n14STAR (26)  possessive\r\n19EXACTLY (0)c\r\n"), std::string::npos)
        << dump;
    EXPECT_NE(dump.find("STAR"), std::string::npos) << dump;
    EXPECT_NE(dump.find("start a"), std::string::npos) << dump;

    re.SetExpression("[ab]x|[^a-z]");
    const std::string sets = re.Dump();
    EXPECT_NE(sets.find("ANYOFTINYSET (14) abb"), std::string::npos) << sets;
    EXPECT_NE(sets.find("ANYOFFULLSET"), std::string::npos) << sets;

    re.SetExpression("^ab");
    EXPECT_NE(re.Dump().find("anchored"), std::string::npos);

    re.SetExpression("x*abc+de");  // of two equally long literals the later one is taken
    EXPECT_NE(re.Dump().find("must have de"), std::string::npos) << re.Dump();

    re.SetExpression("(ab){2,3}");
    const std::string loop = re.Dump();
    EXPECT_NE(loop.find("LOOPENTRY"), std::string::npos) << loop;
    EXPECT_NE(loop.find("34LOOP (51)  -> (11) {2,3}"), std::string::npos) << loop;

    EXPECT_EQ(re.DumpOp(0), "END");
    EXPECT_EQ(re.DumpOp(20), "EXACTLY/CI");
    EXPECT_EQ(re.DumpOp(41), "OPEN[2]");
}

TEST(RegexCompile, FirstCharSetAndStartChar)
{
    TRegex re;
    re.SetExpression("(a|b*c)d");
    const std::string dump = re.Dump();
    EXPECT_TRUE(dump.ends_with("FirstCharSet:abc\r\n")) << dump;
    re.SetExpression("x?[0-2]");
    EXPECT_TRUE(re.Dump().ends_with("FirstCharSet:012x\r\n")) << re.Dump();
    re.SetExpression("(?i)k");
    EXPECT_TRUE(re.Dump().ends_with("FirstCharSet:Kk\r\n")) << re.Dump();
}

TEST(RegexCompile, QuoteRegexMetaChars)
{
    EXPECT_EQ(QuoteRegexMetaChars("a.b*[c]{d}"), "a\\.b\\*\\[c\\]\\{d\\}");
    const std::string all = "^$.[()|?+*\\{]}";
    TRegex re;
    re.SetExpression(QuoteRegexMetaChars(all));
    ASSERT_TRUE(re.Exec("x" + all));
    EXPECT_EQ(re.MatchPos(0), 2);
}

TEST(RegexCompile, VersionAndDefaults)
{
    EXPECT_EQ(TRegex::VersionMajor(), 1);
    EXPECT_EQ(TRegex::VersionMinor(), 0);
    TRegex re;
    EXPECT_EQ(re.GetSpaceChars(), " \t\n\r\f");
    EXPECT_EQ(re.GetLineSeparators(), "\r\n");
    EXPECT_EQ(re.GetInvertCase()('a'), 'A');
    EXPECT_EQ(re.GetInvertCase()('A'), 'a');
    EXPECT_EQ(re.GetInvertCase()('1'), '1');
}

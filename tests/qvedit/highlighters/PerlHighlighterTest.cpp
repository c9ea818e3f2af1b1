#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>

#include "GoldenDriver.h"
#include "HighlighterTestSupport.h"
#include "qvedit/highlighters/QvHighlighterPerl.h"

using namespace QvPerl;

namespace {

const std::map<std::string, int> PerlKindNames = {
    {"tkComment", tkComment}, {"tkIdentifier", tkIdentifier}, {"tkKey", tkKey},
    {"tkNull", tkNull},       {"tkNumber", tkNumber},         {"tkOperator", tkOperator},
    {"tkPragma", tkPragma},   {"tkSpace", tkSpace},           {"tkString", tkString},
    {"tkSymbol", tkSymbol},   {"tkUnknown", tkUnknown},       {"tkVariable", tkVariable},
};

// Samples of each kind of word, kept apart from the implementation's list.
const std::pair<const char*, TtkTokenKind> SampleWords[] = {
    {"abs", tkKey},          {"getprotobynumber", tkKey}, {"m", tkKey},
    {"qq", tkKey},           {"write", tkKey},            {"$ACCUMULATOR", tkVariable},
    {"$FORMAT_LINE_BREAK_CHARACTERS", tkVariable},        {"$SUBSEP", tkVariable},
    {"%INC", tkVariable},    {"@ARGV", tkVariable},       {"@INC", tkVariable},
    {"and", tkOperator},     {"cmp", tkOperator},         {"xor", tkOperator},
    {"constant", tkPragma},  {"vars", tkPragma},          {"integer", tkPragma},
};

}  // namespace

TEST(PerlHighlighter, GoldenTokenStreams)
{
    TQvPerlHighlighter highlighter(nullptr);
    RunGoldenFile(highlighter, "perl.golden", PerlKindNames);
}

TEST(PerlHighlighter, WordTableMatchesTheLanguage)
{
    const TQvKeywordTable& table = TQvPerlHighlighter::Keywords();
    EXPECT_EQ(table.WordCount(), 208 + 54 + 11 + 9);
    EXPECT_EQ(table.SlotCount(), 2168);
    // The hash is the sum of the codes over '$', '%', '@' and word characters.
    Integer length = 0;
    EXPECT_EQ(table.KeyHash("m", length), 109);
    EXPECT_EQ(table.KeyHash("$ENV{x}", length), 36 + 69 + 78 + 86);
    EXPECT_EQ(length, 4);
    EXPECT_EQ(table.KeyHash("$FORMAT_LINE_BREAK_CHARACTERS", length), 2167);

    TQvPerlHighlighter h(nullptr);
    for (const auto& [word, kind] : SampleWords) {
        EXPECT_EQ(KindOfWholeLine(h, word), kind) << word;
        std::string upper = word;
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
        if (upper != word) {
            EXPECT_EQ(KindOfWholeLine(h, upper), tkIdentifier) << upper;
        }
    }
}

TEST(PerlHighlighter, HugeWordsNeitherOverflowNorIndexOutside)
{
    // Twenty million letters sum far beyond 32 bits; the word is still one identifier.
    const std::string word(20'000'000, 'z');
    TQvPerlHighlighter h(nullptr);
    EXPECT_EQ(KindOfWholeLine(h, word), tkIdentifier);
}

TEST(PerlHighlighter, InterfaceValues)
{
    TQvPerlHighlighter h(nullptr);
    EXPECT_EQ(h.GetLanguageName(), "Perl");
    EXPECT_EQ(h.GetDefaultFilter(), "Perl Files (*.pl,*.pm,*.cgi)|*.pl;*.pm;*.cgi");
    ExpectCodeRoleAttributes(h);
    const std::tuple<TQvHighlighterAttributes*, const char*, TFontStyles> attributes[] = {
        {h.CommentAttri(), "Comment", fsItalic},
        {h.IdentifierAttri(), "Identifier", {}},
        {h.InvalidAttri(), "Illegal Char", {}},
        {h.KeyAttri(), "Reserved Word", fsBold},
        {h.NumberAttri(), "Number", {}},
        {h.OperatorAttri(), "Operator", {}},
        {h.PragmaAttri(), "Pragma", fsBold},
        {h.SpaceAttri(), "Space", {}},
        {h.StringAttri(), "String", {}},
        {h.SymbolAttri(), "Symbol", {}},
        {h.VariableAttri(), "Variable", fsBold},
    };
    for (const auto& [attribute, name, style] : attributes) {
        EXPECT_EQ(attribute->GetName(), name);
        EXPECT_TRUE(attribute->GetStyle() == style) << name;
    }
    EXPECT_EQ(h.SpaceAttri()->GetForeground(), clWindow);
    EXPECT_FALSE(h.SpaceAttri()->IsForegroundStored());
    EXPECT_EQ(h.GetAttribCount(), 11);

    // No range is kept.
    h.SetRange(3);
    EXPECT_EQ(h.GetRange(), 0);

    const TQvIdentChars chars = h.GetIdentChars();
    for (char c : {'$', '%', '@', '_', '0', 'Z'})
        EXPECT_TRUE(chars.Contains(c)) << c;
    EXPECT_TRUE(chars.Contains(static_cast<char>(192)));
    EXPECT_FALSE(chars.Contains(static_cast<char>(215)));
    EXPECT_FALSE(chars.Contains('&'));
}

TEST(PerlHighlighter, TokenAttributesFollowTheKinds)
{
    TQvPerlHighlighter h(nullptr);
    const std::pair<const char*, TQvHighlighterAttributes*> firstTokens[] = {
        {"# c", h.CommentAttri()}, {"foo", h.IdentifierAttri()}, {"`", h.InvalidAttri()},
        {"print", h.KeyAttri()},   {"12", h.NumberAttri()},      {"eq", h.OperatorAttri()},
        {"vars", h.PragmaAttri()}, {" ", h.SpaceAttri()},        {"'s'", h.StringAttri()},
        {"+", h.SymbolAttri()},    {"$_", h.VariableAttri()},
    };
    for (const auto& [text, attribute] : firstTokens) {
        const std::string line = text;
        h.SetLine(line, 0);
        EXPECT_EQ(h.GetTokenAttribute(), attribute) << text;
    }
}

TEST(PerlHighlighter, SampleSourceShowsTheLanguage)
{
    TQvPerlHighlighter h(nullptr);
    TStringList lines;
    const std::string sample = h.GetSampleSource();
    lines.SetText(sample);
    ASSERT_EQ(lines.Count(), 10);
    EXPECT_EQ(std::count(sample.begin(), sample.end(), '\r'), 9);
    EXPECT_NE(sample.back(), '\n');
    std::set<int> kinds;
    for (int i = 0; i < lines.Count(); ++i) {
        const std::string line = lines.Strings(i);
        for (h.SetLine(line, i); !h.GetEol(); h.Next())
            kinds.insert(h.GetTokenKind());
    }
    EXPECT_EQ(kinds, (std::set<int>{tkComment, tkIdentifier, tkKey, tkNumber, tkOperator,
                                    tkPragma, tkSpace, tkString, tkSymbol, tkVariable}));
}

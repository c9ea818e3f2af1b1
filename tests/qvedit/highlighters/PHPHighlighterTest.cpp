#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

#include "GoldenDriver.h"
#include "HighlighterTestSupport.h"
#include "qvedit/highlighters/QvHighlighterPHP.h"

using namespace QvPHP;

namespace {

const std::map<std::string, int> PhpKindNames = {
    {"tkComment", tkComment}, {"tkIdentifier", tkIdentifier}, {"tkInvalidSymbol", tkInvalidSymbol},
    {"tkKey", tkKey},         {"tkNull", tkNull},             {"tkNumber", tkNumber},
    {"tkSpace", tkSpace},     {"tkString", tkString},         {"tkSymbol", tkSymbol},
    {"tkUnknown", tkUnknown}, {"tkVariable", tkVariable},
};

// The keywords as the language defines them, kept apart from the implementation's list.
const char* const PhpKeywords[] = {
    "and", "array", "break", "case", "cfunction", "class", "const", "continue", "default",
    "die", "do", "double", "echo", "else", "elseif", "empty", "endfor", "endif",
    "endswitch", "endwhile", "eval", "exit", "extends", "false", "float", "for", "function",
    "global", "highlight_file", "highlight_string", "if", "include", "int", "integer",
    "isset", "list", "new", "object", "old_function", "or", "print", "real", "require",
    "return", "show_source", "static", "string", "switch", "true", "unset", "var", "while",
    "xor", "__FILE__", "__LINE__"};

}  // namespace

TEST(PHPHighlighter, GoldenTokenStreams)
{
    TQvPHPHighlighter highlighter(nullptr);
    RunGoldenFile(highlighter, "php.golden", PhpKindNames);
}

TEST(PHPHighlighter, EveryKeywordInAnyCaseIsAKey)
{
    TQvPHPHighlighter h(nullptr);
    for (const char* keyword : PhpKeywords) {
        std::string upper = keyword;
        std::string mixed = keyword;
        for (std::size_t i = 0; i < upper.size(); ++i) {
            upper[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(upper[i])));
            if (i % 2 == 0)
                mixed[i] = upper[i];
        }
        EXPECT_EQ(KindOfWholeLine(h, keyword), tkKey) << keyword;
        EXPECT_EQ(KindOfWholeLine(h, upper), tkKey) << upper;
        EXPECT_EQ(KindOfWholeLine(h, mixed), tkKey) << mixed;
        // One more word character makes it an identifier.
        EXPECT_EQ(KindOfWholeLine(h, std::string(keyword) + "x"), tkIdentifier) << keyword;
        EXPECT_EQ(KindOfWholeLine(h, std::string(keyword) + "1"), tkIdentifier) << keyword;
    }
}

TEST(PHPHighlighter, KeywordTableMatchesTheLanguage)
{
    const TQvKeywordTable& table = TQvPHPHighlighter::Keywords();
    EXPECT_EQ(table.WordCount(), 55);
    EXPECT_EQ(table.SlotCount(), 207);
    EXPECT_EQ(std::size(PhpKeywords), 55u);
    // Hash values by the letter sum: "if" 9 + 6, "__FILE__" 4 * 31 + 6 + 9 + 12 + 5.
    Integer length = 0;
    EXPECT_EQ(table.KeyHash("if", length), 15);
    EXPECT_EQ(length, 2);
    EXPECT_EQ(table.KeyHash("__FILE__ x", length), 156);
    EXPECT_EQ(length, 8);
    EXPECT_LT(LargestKeywordHash(table, {std::begin(PhpKeywords), std::end(PhpKeywords)}), 207);
}

TEST(PHPHighlighter, HugeWordsNeitherOverflowNorIndexOutside)
{
    // Thirty million letters sum far beyond 32 bits; the word is still one identifier.
    const std::string word(30'000'000, 'z');
    TQvPHPHighlighter h(nullptr);
    EXPECT_EQ(KindOfWholeLine(h, word), tkIdentifier);
    Integer length = 0;
    EXPECT_EQ(TQvPHPHighlighter::Keywords().KeyHash(word.c_str(), length), 26LL * 30'000'000);
    EXPECT_EQ(length, 30'000'000);
}

TEST(PHPHighlighter, InterfaceValues)
{
    TQvPHPHighlighter h(nullptr);
    EXPECT_EQ(h.GetLanguageName(), "PHP");
    EXPECT_EQ(h.GetDefaultFilter(),
              "PHP Files (*.php,*.php3,*.phtml,*.inc)|*.php;*.php3;*.phtml;*.inc");
    ExpectCodeRoleAttributes(h);
    EXPECT_EQ(h.GetDefaultAttribute(-1), nullptr);
    EXPECT_TRUE(h.CommentAttri()->GetStyle() == TFontStyles(fsItalic));
    EXPECT_TRUE(h.KeyAttri()->GetStyle() == TFontStyles(fsBold));

    // Attributes listed by name, case-insensitively sorted.
    ASSERT_EQ(h.GetAttribCount(), 9);
    EXPECT_EQ(h.GetAttribute(0)->GetName(), "Comment");
    EXPECT_EQ(h.GetAttribute(1)->GetName(), "Identifier");
    EXPECT_EQ(h.GetAttribute(2)->GetName(), "Invalid Symbol");
    EXPECT_EQ(h.GetAttribute(8)->GetName(), "Variable");
    EXPECT_EQ(h.GetAttribute(9), nullptr);

    const TQvIdentChars chars = h.GetIdentChars();
    EXPECT_TRUE(chars.Contains('_'));
    EXPECT_TRUE(chars.Contains('7'));
    EXPECT_TRUE(chars.Contains(static_cast<char>(192)));
    EXPECT_FALSE(chars.Contains(static_cast<char>(215)));
    EXPECT_FALSE(chars.Contains(static_cast<char>(247)));
    EXPECT_FALSE(chars.Contains('$'));
}

TEST(PHPHighlighter, TokenAttributesFollowTheKinds)
{
    TQvPHPHighlighter h(nullptr);
    const std::string line = "\\ x";
    h.SetLine(line, 0);
    EXPECT_EQ(h.GetTokenKind(), tkUnknown);
    EXPECT_EQ(h.GetTokenAttribute(), h.IdentifierAttri());  // unknown shows as identifier
    h.Next();
    EXPECT_EQ(h.GetTokenAttribute(), h.SpaceAttri());
    h.Next();
    h.Next();
    EXPECT_TRUE(h.GetEol());
    EXPECT_EQ(h.GetTokenAttribute(), nullptr);
    // Further calls stay at the end.
    h.Next();
    EXPECT_TRUE(h.GetEol());
    EXPECT_EQ(h.GetTokenPos(), 3);
}

TEST(PHPHighlighter, SampleSourceScansToTheEnd)
{
    TQvPHPHighlighter h(nullptr);
    const std::string sample = h.GetSampleSource();
    EXPECT_EQ(std::count(sample.begin(), sample.end(), '\n'), 12);
    EXPECT_NE(sample.substr(sample.size() - 1), "\n");
    h.ResetRange();
    h.SetLine(sample, 0);
    std::set<int> kinds;
    while (!h.GetEol()) {
        kinds.insert(h.GetTokenKind());
        h.Next();
    }
    // The sample shows every kind but the unknown character.
    EXPECT_EQ(kinds, (std::set<int>{tkComment, tkIdentifier, tkInvalidSymbol, tkKey, tkNumber,
                                    tkSpace, tkString, tkSymbol, tkVariable}));
}

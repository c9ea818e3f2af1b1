#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "GoldenDriver.h"
#include "qvedit/highlighters/QvHighlighterHtml.h"

using namespace QvHTML;

namespace {

const std::map<std::string, int> HtmlKindNames = {
    {"tkAmpersand", tkAmpersand}, {"tkComment", tkComment}, {"tkIdentifier", tkIdentifier},
    {"tkKey", tkKey},             {"tkNull", tkNull},       {"tkSpace", tkSpace},
    {"tkSymbol", tkSymbol},       {"tkText", tkText},       {"tkUndefKey", tkUndefKey},
    {"tkValue", tkValue},
};

// The tags as the language defines them, kept apart from the implementation's list.
const char* const Tags[] = {
    "A", "ABBR", "ACRONYM", "ADDRESS", "APPLET", "AREA", "B", "BASE", "BASEFONT", "BGSOUND",
    "BIG", "BLINK", "BLOCKQUOTE", "BODY", "BR", "BUTTON", "CAPTION", "CENTER", "CITE", "CODE",
    "COL", "COLGROUP", "COMMENT", "DD", "DEL", "DFN", "DIR", "DIV", "DL", "DT", "EM", "EMBED",
    "FIELDSET", "FONT", "FORM", "FRAME", "FRAMESET", "H1", "H2", "H3", "H4", "H5", "H6",
    "HEAD", "HR", "HTML", "I", "IFRAME", "ILAYER", "IMG", "INPUT", "INS", "ISINDEX", "KBD",
    "KEYGEN", "LABEL", "LAYER", "LEGEND", "LI", "LINK", "LISTING", "MAP", "MARQUEE", "MENU",
    "META", "MULTICOL", "NEXTID", "NOBR", "NOEMBED", "NOFRAMES", "NOLAYER", "NOSCRIPT",
    "OBJECT", "OL", "OPTION", "P", "PARAM", "PLAINTEXT", "PRE", "Q", "S", "SAMP", "SCRIPT",
    "SELECT", "SERVER", "SMALL", "SPACER", "SPAN", "STRIKE", "STRONG", "STYLE", "SUB", "SUP",
    "TABLE", "TBODY", "TD", "TEXTAREA", "TFOOT", "TH", "THEAD", "TITLE", "TR", "TT", "U",
    "UL", "VAR", "WBR", "XMP"};

// Tags that have no closing word.
const std::set<std::string> EmptyTags = {
    "AREA", "BASE", "BASEFONT", "BGSOUND", "BR", "COL", "FRAME", "HR", "IMG", "INPUT",
    "ISINDEX", "KEYGEN", "LINK", "META", "NEXTID", "PARAM", "PLAINTEXT", "SPACER", "WBR"};

using TTokens = std::vector<std::pair<int, std::string>>;

// The tokens of one line scanned from `range`.
TTokens Scan(TQvHTMLHighlighter& h, const std::string& line, TQvHighlighterRange range)
{
    TTokens tokens;
    h.SetRange(range);
    h.SetLine(line, 0);
    for (std::size_t guard = 0; !h.GetEol() && guard <= 3 * line.size() + 3; ++guard) {
        EXPECT_LE(h.GetTokenPos() + static_cast<Integer>(h.GetToken().size()),
                  static_cast<Integer>(line.size()));
        tokens.emplace_back(h.GetTokenKind(), h.GetToken());
        h.Next();
    }
    EXPECT_TRUE(h.GetEol()) << line;
    return tokens;
}

// The kind of a tag word written right after "<", or -1 when the word is not one token.
int TagWordKind(TQvHTMLHighlighter& h, const std::string& word)
{
    const TTokens tokens = Scan(h, "<" + word + ">", rsText);
    if (tokens.size() != 3 || tokens[1].second != word)
        return -1;
    return tokens[1].first;
}

std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

TEST(HTMLHighlighter, GoldenTokenStreams)
{
    TQvHTMLHighlighter highlighter(nullptr);
    RunGoldenFile(highlighter, "html.golden", HtmlKindNames);
}

TEST(HTMLHighlighter, EveryTagAndItsClosingWordInAnyCase)
{
    TQvHTMLHighlighter h(nullptr);
    for (const char* tag : Tags) {
        const std::string closing = std::string("/") + tag;
        EXPECT_EQ(TagWordKind(h, tag), tkKey) << tag;
        EXPECT_EQ(TagWordKind(h, Lower(tag)), tkKey) << tag;
        const int closingKind = TagWordKind(h, Lower(closing));
        if (EmptyTags.count(tag))
            EXPECT_NE(closingKind, tkKey) << closing;
        else
            EXPECT_EQ(closingKind, tkKey) << closing;
        // One more letter makes a different word.
        EXPECT_NE(TagWordKind(h, std::string(tag) + "Z"), tkKey) << tag;
    }
    EXPECT_EQ(TagWordKind(h, "!DocType"), tkKey);
}

TEST(HTMLHighlighter, TagTableMatchesTheLanguage)
{
    const TQvHtmlTagTable& table = TQvHTMLHighlighter::TagWords();
    EXPECT_EQ(std::size(Tags), 108u);
    EXPECT_EQ(EmptyTags.size(), 19u);
    EXPECT_EQ(table.WordCount(), 108 + 89 + 1);
    EXPECT_EQ(table.OccupiedSlots(), 135);
    // Letters count 1..26, "/" 122, "!" 123, digits their value; the word stops after
    // the digits that follow its letters.
    Integer length = 0;
    EXPECT_EQ(TQvHtmlTagTable::KeyHash("H1", length), 9);
    EXPECT_EQ(TQvHtmlTagTable::KeyHash("/BLOCKQUOTE", length), 243);
    EXPECT_EQ(length, 11);
    EXPECT_EQ(TQvHtmlTagTable::KeyHash("!doctype x", length), 211);
    EXPECT_EQ(length, 8);
    EXPECT_EQ(TQvHtmlTagTable::KeyHash("h19a", length), 18);
    EXPECT_EQ(length, 3);
    EXPECT_EQ(TQvHtmlTagTable::KeyHash("-a", length), 0);
    EXPECT_EQ(length, 0);
}

TEST(HTMLHighlighter, HugeTagWordNeitherOverflowsNorIndexesOutside)
{
    // Twenty million slashes sum far beyond 32 bits: still one identifier word.
    const std::string line = "<" + std::string(20'000'000, '/');
    TQvHTMLHighlighter h(nullptr);
    h.ResetRange();
    h.SetLine(line, 0);
    h.Next();
    EXPECT_EQ(h.GetTokenKind(), tkIdentifier);
    EXPECT_EQ(h.GetTokenPos(), 1);
    h.Next();
    EXPECT_TRUE(h.GetEol());
    EXPECT_EQ(h.GetTokenPos(), static_cast<Integer>(line.size()));
}

TEST(HTMLHighlighter, EveryEntityIsRecognisedWhole)
{
    EXPECT_STREQ(EscapeAmps[0], "&Alpha;");
    EXPECT_STREQ(EscapeAmps[248], "&circ;");
    std::set<std::string> distinct;
    TQvHTMLHighlighter h(nullptr);
    for (const char* entity : EscapeAmps) {
        ASSERT_NE(entity, nullptr);
        const std::string text = entity;
        distinct.insert(text);
        EXPECT_EQ(Scan(h, "x" + text + "y", rsText),
                  (TTokens{{tkText, "x"}, {tkAmpersand, text}, {tkText, "y"}}));
        // Without its semicolon it is text.
        const std::string cut = text.substr(0, text.size() - 1);
        EXPECT_EQ(Scan(h, cut, rsText), (TTokens{{tkText, cut}})) << cut;
    }
    EXPECT_EQ(distinct.size(), static_cast<std::size_t>(EscapeAmpCount));
}

TEST(HTMLHighlighter, EntityFoundAheadDoesNotOutliveItsLine)
{
    // The scan stops right after the text before a long entity, as a lookup of the
    // token at a column does; the next line then starts in the entity range.
    TQvHTMLHighlighter h(nullptr);
    const std::string first = "a&thetasym;";
    h.ResetRange();
    h.SetLine(first, 0);
    ASSERT_EQ(h.GetToken(), "a");
    ASSERT_EQ(h.GetRange(), rsAmpersand);
    const std::string second = "&x";
    EXPECT_EQ(Scan(h, second, rsAmpersand), (TTokens{{tkText, "&"}, {tkText, "x"}}));
    // With nothing found ahead on this line, an entity range set from outside takes the
    // "&" as text, as a fresh instance does.
    TQvHTMLHighlighter fresh(nullptr);
    h.SetLine(first, 0);
    EXPECT_EQ(Scan(h, "&lt;", rsAmpersand), (TTokens{{tkText, "&"}, {tkText, "lt;"}}));
    EXPECT_EQ(Scan(fresh, "&lt;", rsAmpersand), Scan(h, "&lt;", rsAmpersand));
}

TEST(HTMLHighlighter, InterfaceValuesAndAttributeDefaults)
{
    TQvHTMLHighlighter h(nullptr);
    EXPECT_EQ(h.GetLanguageName(), "HTML");
    EXPECT_EQ(h.GetDefaultFilter(), "HTML Documents (*.htm,*.html)|*.htm;*.html");
    EXPECT_EQ(h.GetRange(), rsText);
    EXPECT_EQ(h.GetDefaultAttribute(0), h.CommentAttri());
    EXPECT_EQ(h.GetDefaultAttribute(1), h.IdentifierAttri());
    EXPECT_EQ(h.GetDefaultAttribute(2), h.KeyAttri());
    EXPECT_EQ(h.GetDefaultAttribute(3), nullptr);
    EXPECT_EQ(h.GetDefaultAttribute(4), h.SpaceAttri());
    EXPECT_EQ(h.GetDefaultAttribute(5), h.SymbolAttri());
    EXPECT_EQ(h.GetDefaultAttribute(6), nullptr);

    // Colours and styles, and they count as the defaults that are not streamed.
    struct TExpected {
        TQvHighlighterAttributes* Attribute;
        const char* Name;
        bool Bold;
        TColor Foreground;
    };
    const TExpected expected[] = {
        {h.CommentAttri(), "Comment", false, clNone},
        {h.IdentifierAttri(), "Identifier", true, clNone},
        {h.KeyAttri(), "Reserved Word", true, 0x00FF0080},
        {h.SpaceAttri(), "Space", false, clNone},
        {h.SymbolAttri(), "Symbol", true, clNone},
        {h.TextAttri(), "Text", false, clNone},
        {h.UndefKeyAttri(), "Unknown Word", true, 0x000000FF},
        {h.ValueAttri(), "Value", false, 0x00FF8000},
        {h.AndAttri(), "Escape Ampersand", true, 0x0000FF00},
    };
    EXPECT_EQ(h.GetAttribCount(), 9);
    for (const TExpected& e : expected) {
        EXPECT_EQ(e.Attribute->GetName(), e.Name);
        EXPECT_TRUE(e.Attribute->GetStyle() == (e.Bold ? TFontStyles(fsBold) : TFontStyles()))
            << e.Name;
        EXPECT_EQ(e.Attribute->GetForeground(), e.Foreground) << e.Name;
        EXPECT_EQ(e.Attribute->GetBackground(), clNone) << e.Name;
        EXPECT_FALSE(e.Attribute->IsForegroundStored()) << e.Name;
        EXPECT_FALSE(e.Attribute->IsStyleStored()) << e.Name;
    }

    const TQvIdentChars chars = h.GetIdentChars();
    EXPECT_TRUE(chars.Contains('_') && chars.Contains('9') && chars.Contains('z'));
    EXPECT_TRUE(chars.Contains(static_cast<char>(192)) && chars.Contains(static_cast<char>(255)));
    EXPECT_FALSE(chars.Contains(static_cast<char>(215)) || chars.Contains(static_cast<char>(247)));
    EXPECT_FALSE(chars.Contains('-') || chars.Contains('!') || chars.Contains('&'));
}

TEST(HTMLHighlighter, SampleSourceShowsEveryKindWithItsAttribute)
{
    TQvHTMLHighlighter h(nullptr);
    const std::string sample = h.GetSampleSource();
    ASSERT_EQ(std::count(sample.begin(), sample.end(), '\n'), 10);
    EXPECT_NE(sample.back(), '\n');

    TQvHighlighterAttributes* const attributeOf[] = {
        h.AndAttri(), h.CommentAttri(), h.IdentifierAttri(), h.KeyAttri(), nullptr,
        h.SpaceAttri(), h.SymbolAttri(), h.TextAttri(), h.UndefKeyAttri(), h.ValueAttri()};
    std::set<int> kinds;
    std::vector<TQvHighlighterRange> endRanges;
    h.ResetRange();
    std::size_t start = 0;
    while (start <= sample.size()) {
        std::size_t end = sample.find("\r\n", start);
        if (end == std::string::npos)
            end = sample.size();
        const std::string line = sample.substr(start, end - start);
        h.SetLine(line, 0);
        while (!h.GetEol()) {
            kinds.insert(h.GetTokenKind());
            EXPECT_EQ(h.GetTokenAttribute(), attributeOf[h.GetTokenKind()]);
            h.Next();
        }
        EXPECT_EQ(h.GetTokenAttribute(), nullptr);
        endRanges.push_back(h.GetRange());
        h.SetRange(h.GetRange());
        start = end + 2;
    }
    EXPECT_EQ(kinds, (std::set<int>{tkAmpersand, tkComment, tkIdentifier, tkKey, tkSpace,
                                    tkSymbol, tkText, tkUndefKey, tkValue}));
    // Only the input's value runs on into the next line.
    std::vector<TQvHighlighterRange> expected(11, rsText);
    expected[5] = rsQuoteValue;
    EXPECT_EQ(endRanges, expected);
}

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

#include "GoldenDriver.h"
#include "HighlighterTestSupport.h"
#include "qvedit/highlighters/QvHighlighterCss.h"

using namespace QvCSS;

namespace {

const std::map<std::string, int> CssKindNames = {
    {"tkComment", tkComment}, {"tkIdentifier", tkIdentifier}, {"tkKey", tkKey},
    {"tkNull", tkNull},       {"tkNumber", tkNumber},         {"tkSpace", tkSpace},
    {"tkString", tkString},   {"tkSymbol", tkSymbol},         {"tkUnknown", tkUnknown},
};

// The keywords as the language defines them, kept apart from the implementation's list:
// units, font descriptors, and property names with other words.
const char* const CssKeywords[] = {
    "cm", "deg", "em", "ex", "grad", "Hz", "in", "kHz", "mm", "ms", "pc", "pt", "px", "rad",
    "s",
    "ascent", "baseline", "b-box", "cap-height", "centerline", "definition-src", "descent",
    "mathline", "panose-1", "slope", "src", "stemh", "stemv", "top-line", "unicode-range",
    "units-per-em", "widths", "x-height",
    "azimuth", "background", "background-attachment", "background-color",
    "background-image", "background-position", "background-position-x",
    "background-position-y", "behavior", "border", "border-bottom", "border-bottom-color",
    "border-bottom-style", "border-bottom-width", "border-collapse", "border-color",
    "border-left", "border-left-color", "border-left-style", "border-left-width",
    "border-right", "border-right-color", "border-right-style", "border-right-width",
    "border-spacing", "border-style", "border-top", "border-top-color", "border-top-style",
    "border-top-width", "border-width", "bottom", "caption-side", "clear", "clip", "color",
    "content", "counter", "counter-increment", "counter-reset", "cue", "cue-after",
    "cue-before", "cursor", "direction", "display", "elevation", "empty-cells", "filter",
    "float", "font", "font-family", "font-size", "font-size-adjust", "font-stretch",
    "font-style", "font-variant", "font-weight", "height", "ime-mode", "layout-grid",
    "layout-grid-line", "layout-grid-mode", "layout-grid-type", "left", "letter-spacing",
    "line-break", "line-height", "list-style", "list-style-image", "list-style-position",
    "list-style-type", "margin", "margin-bottom", "margin-left", "margin-right",
    "margin-top", "marker-offset", "marks", "max-height", "max-width", "min-height",
    "min-width", "orphans", "outline", "outline-color", "outline-style", "outline-width",
    "overflow", "overflow-x", "overflow-y", "padding", "padding-bottom", "padding-left",
    "padding-right", "padding-top", "page", "page-break-after", "page-break-before",
    "page-break-inside", "pause", "pause-after", "pause-before", "pitch", "pitch-range",
    "play-during", "position", "quotes", "richness", "right", "ruby-align", "ruby-overhang",
    "ruby-position", "run-in", "scrollbar-3d-light-color", "scrollbar-arrow-color",
    "scrollbar-base-color", "scrollbar-dark-shadow-color", "scrollbar-face-color",
    "scrollbar-highlight-color", "scrollbar-shadow-color", "size", "speak", "speak-header",
    "speak-numeral", "speak-punctuation", "speech-rate", "stress", "table-layout",
    "text-align", "text-autospace", "text-decoration", "text-indent", "text-justify",
    "text-kashida-space", "text-shadow", "text-transform", "text-underline-position", "top",
    "unicode-bidi", "vertical-align", "visibility", "voice-family", "volume", "white-space",
    "widows", "width", "word-break", "word-spacing", "word-wrap", "writing-mode", "z-index",
    "zoom",
};

}  // namespace

TEST(CSSHighlighter, GoldenTokenStreams)
{
    TQvCssHighlighter highlighter(nullptr);
    RunGoldenFile(highlighter, "css.golden", CssKindNames);
}

TEST(CSSHighlighter, KeywordTableMatchesTheLanguage)
{
    const TQvKeywordTable& table = TQvCssHighlighter::Keywords();
    EXPECT_EQ(table.WordCount(), 15 + 18 + 153);
    EXPECT_EQ(table.SlotCount(), 256);
    EXPECT_EQ(table.OccupiedSlots(), 116);
    // Letters 1..26, "_" 31, "-" -19, digits nothing.
    Integer length = 0;
    EXPECT_EQ(table.KeyHash("cm", length), 16);
    EXPECT_EQ(table.KeyHash("a-b-c;", length), -32);
    EXPECT_EQ(length, 5);
    EXPECT_EQ(table.KeyHash("_9", length), 31);
    std::int64_t lowest = 1000;
    std::int64_t highest = -1000;
    for (const TQvKeyword& keyword : KeywordList()) {
        const std::int64_t hash = table.KeyHash(keyword.Word, length);
        lowest = std::min(lowest, hash);
        highest = std::max(highest, hash);
    }
    EXPECT_EQ(lowest, 16);
    EXPECT_EQ(highest, 250);
}

TEST(CSSHighlighter, EveryKeywordInAnyCaseIsAKey)
{
    EXPECT_EQ(std::size(CssKeywords), 15u + 18u + 153u);
    TQvCssHighlighter h(nullptr);
    for (const char* keyword : CssKeywords) {
        const std::string word = keyword;
        std::string upper = word;
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(KindOfWholeLine(h, word), tkKey) << word;
        EXPECT_EQ(KindOfWholeLine(h, upper), tkKey) << upper;
        EXPECT_EQ(KindOfWholeLine(h, word + "_"), tkIdentifier) << word;
        EXPECT_EQ(KindOfWholeLine(h, word + "-"), tkIdentifier) << word;
    }
    // The implementation lists no word beyond these.
    const std::set<std::string> listed(std::begin(CssKeywords), std::end(CssKeywords));
    for (const TQvKeyword& keyword : KeywordList())
        EXPECT_TRUE(listed.count(keyword.Word)) << keyword.Word;
    for (const char* word : {"hz1", "colour", "fontsize", "font_size", "box", "b_box"})
        EXPECT_EQ(KindOfWholeLine(h, word), tkIdentifier) << word;
}

TEST(CSSHighlighter, HugeWordNeitherOverflowsNorIndexesOutside)
{
    const std::string word(20'000'000, 'z');
    TQvCssHighlighter h(nullptr);
    EXPECT_EQ(KindOfWholeLine(h, word), tkIdentifier);
    const std::string dashes = "a" + std::string(20'000'000, '-');
    EXPECT_EQ(KindOfWholeLine(h, dashes), tkIdentifier);
}

TEST(CSSHighlighter, InterfaceValuesAndAttributeDefaults)
{
    TQvCssHighlighter h(nullptr);
    EXPECT_EQ(h.GetLanguageName(), "Cascading Style Sheet");
    EXPECT_EQ(h.GetDefaultFilter(), "Cascading Stylesheets (*.css)|*.css");
    EXPECT_EQ(h.GetRange(), rsUnknown);
    ExpectCodeRoleAttributes(h);
    EXPECT_EQ(h.GetAttribCount(), 7);
    EXPECT_EQ(h.KeyAttri()->GetName(), "Key");
    EXPECT_TRUE(h.CommentAttri()->GetStyle() == TFontStyles(fsItalic));
    EXPECT_TRUE(h.KeyAttri()->GetStyle() == TFontStyles(fsBold));
    EXPECT_TRUE(h.NumberAttri()->GetStyle() == TFontStyles());

    const TQvIdentChars chars = h.GetIdentChars();
    EXPECT_TRUE(chars.Contains('-') && chars.Contains('_') && chars.Contains('0'));
    EXPECT_TRUE(chars.Contains(static_cast<char>(214)) && chars.Contains(static_cast<char>(248)));
    EXPECT_FALSE(chars.Contains(static_cast<char>(215)) || chars.Contains(static_cast<char>(247)));
    EXPECT_FALSE(chars.Contains('#') || chars.Contains('.'));
}

TEST(CSSHighlighter, UnknownCharactersShowAsIdentifiers)
{
    TQvCssHighlighter h(nullptr);
    const std::string line = ":a(";
    h.SetLine(line, 0);
    EXPECT_EQ(h.GetTokenKind(), tkUnknown);
    EXPECT_EQ(h.GetTokenAttribute(), h.IdentifierAttri());
    h.Next();
    EXPECT_EQ(h.GetTokenAttribute(), h.IdentifierAttri());
    h.Next();
    EXPECT_EQ(h.GetTokenAttribute(), h.SymbolAttri());
    h.Next();
    EXPECT_TRUE(h.GetEol());
    EXPECT_EQ(h.GetTokenAttribute(), nullptr);
}

TEST(CSSHighlighter, SampleSourceScansToTheEnd)
{
    TQvCssHighlighter h(nullptr);
    const std::string sample = h.GetSampleSource();
    EXPECT_EQ(std::count(sample.begin(), sample.end(), '\n'), 5);
    EXPECT_EQ(sample.substr(0, 27), "/* Syntax highlighting */\r\n");
    EXPECT_NE(sample.back(), '\n');
    h.ResetRange();
    h.SetLine(sample, 0);
    std::set<int> kinds;
    while (!h.GetEol()) {
        kinds.insert(h.GetTokenKind());
        h.Next();
    }
    EXPECT_EQ(h.GetRange(), rsUnknown);
    EXPECT_EQ(kinds, (std::set<int>{tkComment, tkIdentifier, tkKey, tkNumber, tkSpace, tkString,
                                    tkUnknown}));
}

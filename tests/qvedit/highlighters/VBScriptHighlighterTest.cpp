#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

#include "GoldenDriver.h"
#include "HighlighterTestSupport.h"
#include "qvedit/highlighters/QvHighlighterVBScript.h"

using namespace QvVBScript;

namespace {

const std::map<std::string, int> VBScriptKindNames = {
    {"tkComment", tkComment}, {"tkIdentifier", tkIdentifier}, {"tkKey", tkKey},
    {"tkNull", tkNull},       {"tkNumber", tkNumber},         {"tkSpace", tkSpace},
    {"tkString", tkString},   {"tkSymbol", tkSymbol},         {"tkUnknown", tkUnknown},
};

// The keywords as the language defines them, kept apart from the implementation's list.
const char* const VBScriptKeywords[] = {
    "And", "As", "Boolean", "ByRef", "Byte", "ByVal", "Call", "Case", "Class", "Const",
    "Currency", "Debug", "Dim", "Do", "Double", "Each", "Else", "ElseIf", "Empty", "End",
    "EndIf", "Enum", "Eqv", "Erase", "Error", "Event", "Exit", "Explicit", "False", "For",
    "Function", "Get", "GoTo", "If", "Imp", "Implements", "In", "Integer", "Is", "Let",
    "Like", "Long", "Loop", "LSet", "Me", "Mod", "New", "Next", "Not", "Nothing", "Null",
    "On", "Option", "Optional", "Or", "ParamArray", "Preserve", "Private", "property",
    "Public", "RaiseEvent", "Randomize", "ReDim", "Rem", "Resume", "RSet", "Select", "Set",
    "Shared", "Single", "Static", "Stop", "Sub", "Then", "To", "True", "Type", "TypeOf",
    "Until", "Variant", "Wend", "While", "With", "Xor",};

}  // namespace

TEST(VBScriptHighlighter, GoldenTokenStreams)
{
    TQvVBScriptHighlighter highlighter(nullptr);
    RunGoldenFile(highlighter, "vbscript.golden", VBScriptKindNames);
}

TEST(VBScriptHighlighter, EveryKeywordInAnyCaseIsAKey)
{
    TQvVBScriptHighlighter h(nullptr);
    for (const char* keyword : VBScriptKeywords) {
        std::string upper = keyword;
        std::string lower = keyword;
        std::string alternating = keyword;
        for (std::size_t i = 0; i < upper.size(); ++i) {
            const auto c = static_cast<unsigned char>(upper[i]);
            upper[i] = static_cast<char>(std::toupper(c));
            lower[i] = static_cast<char>(std::tolower(c));
            alternating[i] = i % 2 == 0 ? upper[i] : lower[i];
        }
        EXPECT_EQ(KindOfWholeLine(h, keyword), tkKey) << keyword;
        EXPECT_EQ(KindOfWholeLine(h, upper), tkKey) << upper;
        EXPECT_EQ(KindOfWholeLine(h, lower), tkKey) << lower;
        EXPECT_EQ(KindOfWholeLine(h, alternating), tkKey) << alternating;
        // One more word character makes it an identifier.
        EXPECT_EQ(KindOfWholeLine(h, std::string(keyword) + "0"), tkIdentifier) << keyword;
        EXPECT_EQ(KindOfWholeLine(h, "_" + std::string(keyword)), tkIdentifier) << keyword;
    }
}

TEST(VBScriptHighlighter, KeywordTableMatchesTheLanguage)
{
    EXPECT_EQ(std::size(VBScriptKeywords), 84u);
    const TQvKeywordTable& table = TQvVBScriptHighlighter::Keywords();
    EXPECT_EQ(table.WordCount(), 84);
    EXPECT_EQ(table.SlotCount(), 134);
    // The slot count leaves no room to spare.
    EXPECT_EQ(LargestKeywordHash(table, {std::begin(VBScriptKeywords), std::end(VBScriptKeywords)}),
              133);
}

TEST(VBScriptHighlighter, InterfaceValues)
{
    TQvVBScriptHighlighter h(nullptr);
    EXPECT_EQ(h.GetLanguageName(), "MS VBScript");
    EXPECT_EQ(h.GetDefaultFilter(), "VBScript Files (*.vbs)|*.vbs");
    EXPECT_GE(GetPlaceableHighlighters()->FindByName("MS VBScript"), 0);

    ExpectCodeRoleAttributes(h);
    EXPECT_EQ(h.GetDefaultAttribute(-1), nullptr);
    EXPECT_TRUE(h.CommentAttri()->GetStyle() == TFontStyles(fsItalic));
    EXPECT_TRUE(h.KeyAttri()->GetStyle() == TFontStyles(fsBold));

    std::set<std::string> names;
    for (Integer i = 0; i < h.GetAttribCount(); ++i)
        names.insert(h.GetAttribute(i)->GetName());
    EXPECT_EQ(names, (std::set<std::string>{"Comment", "Identifier", "Reserved Word", "Number",
                                            "Space", "String", "Symbol"}));

    const TQvIdentChars chars = h.GetIdentChars();
    EXPECT_TRUE(chars.Contains('0'));
    EXPECT_TRUE(chars.Contains(static_cast<char>(192)));
    EXPECT_FALSE(chars.Contains(static_cast<char>(247)));
    EXPECT_FALSE(chars.Contains('#'));
}

TEST(VBScriptHighlighter, HasNoRange)
{
    TQvVBScriptHighlighter h(nullptr);
    for (TQvHighlighterRange value : {TQvHighlighterRange{1}, TQvHighlighterRange{255},
                                      TQvHighlighterRange{256}, TQvHighlighterRange{-1}}) {
        h.SetRange(value);
        EXPECT_EQ(h.GetRange(), 0) << value;
    }
}

TEST(VBScriptHighlighter, UnknownCharactersShowAsIdentifiers)
{
    TQvVBScriptHighlighter h(nullptr);
    const std::string line = "$x";
    h.SetLine(line, 0);
    EXPECT_EQ(h.GetTokenID(), tkIdentifier);
    EXPECT_EQ(h.GetToken(), "$");
    EXPECT_EQ(h.GetTokenAttribute(), h.IdentifierAttri());
    h.Next();
    EXPECT_EQ(h.GetToken(), "x");
    h.Next();
    EXPECT_TRUE(h.GetEol());
    EXPECT_EQ(h.GetTokenAttribute(), nullptr);
}

TEST(VBScriptHighlighter, SampleSourceScansToTheEnd)
{
    TQvVBScriptHighlighter h(nullptr);
    const std::string sample = h.GetSampleSource();
    EXPECT_EQ(std::count(sample.begin(), sample.end(), '\n'), 7);
    EXPECT_EQ(std::count(sample.begin(), sample.end(), '\r'), 7);
    EXPECT_NE(sample.back(), '\n');
    h.SetLine(sample, 0);
    std::set<int> kinds;
    while (!h.GetEol()) {
        kinds.insert(h.GetTokenKind());
        h.Next();
    }
    EXPECT_EQ(kinds, (std::set<int>{tkComment, tkIdentifier, tkKey, tkNumber, tkSpace, tkString,
                                    tkSymbol}));
}

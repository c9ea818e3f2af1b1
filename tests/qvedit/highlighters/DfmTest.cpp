#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "GoldenDriver.h"
#include "qvedit/highlighters/QvHighlighterDfm.h"

using namespace QvDfm;

namespace {

const std::map<std::string, int> DfmKindNames = {
    {"tkComment", tkComment}, {"tkIdentifier", tkIdentifier}, {"tkKey", tkKey},
    {"tkNull", tkNull},       {"tkNumber", tkNumber},         {"tkSpace", tkSpace},
    {"tkString", tkString},   {"tkSymbol", tkSymbol},         {"tkUnknown", tkUnknown},
};

}  // namespace

TEST(DfmHighlighter, GoldenTokenStreams)
{
    TQvDfmHighlighter highlighter(nullptr);
    RunGoldenFile(highlighter, "dfm.golden", DfmKindNames);
}

TEST(DfmHighlighter, DescribesItself)
{
    TQvDfmHighlighter h(nullptr);
    EXPECT_EQ(h.GetLanguageName(), "Form Definitions");
    EXPECT_EQ(h.GetDefaultFilter(), "Form Definition Files (*.dfm;*.xfm)|*.dfm;*.xfm");
    EXPECT_EQ(h.GetSampleSource(),
              "{ Form Definitions }\r\nobject TestForm: TTestForm\r\n  Left = 273\r\n"
              "  Top = 103\r\n  Caption = 'Editor sample source'\r\nend");
    EXPECT_GE(GetPlaceableHighlighters()->FindByName("Form Definitions"), 0);
    EXPECT_EQ(h.GetRange(), rsUnKnown);
    h.SetRange(rsComment);
    h.ResetRange();
    EXPECT_EQ(h.GetRange(), rsUnKnown);

    const TQvIdentChars chars = h.GetIdentChars();
    int count = 0;
    for (int c = 0; c < 256; ++c)
        count += chars.Contains(static_cast<char>(c)) ? 1 : 0;
    EXPECT_EQ(count, 10 + 26 + 26 + 1 + 62);
    for (int c : std::initializer_list<int>{'0', '9', 'A', 'z', '_', 192, 214, 216, 246, 248, 255})
        EXPECT_TRUE(chars.Contains(static_cast<char>(c))) << c;
    for (int c : std::initializer_list<int>{'-', '.', '$', 191, 215, 247})
        EXPECT_FALSE(chars.Contains(static_cast<char>(c))) << c;
}

TEST(DfmHighlighter, AttributesByKindAndRole)
{
    TQvDfmHighlighter h(nullptr);
    EXPECT_EQ(h.GetAttribCount(), 7);
    EXPECT_EQ(h.CommentAttri()->GetName(), "Comment");
    EXPECT_EQ(h.CommentAttri()->GetStyle(), TFontStyles{fsItalic});
    EXPECT_EQ(h.KeyAttri()->GetName(), "Key");
    EXPECT_EQ(h.KeyAttri()->GetStyle(), TFontStyles{fsBold});
    EXPECT_EQ(h.IdentifierAttri()->GetStyle(), TFontStyles{});

    // One token of each kind, and the attribute it is shown with.
    const struct {
        const char* Line;
        TtkTokenKind Kind;
        TQvHighlighterAttributes* Attribute;
    } tokens[] = {
        {"{c}", tkComment, h.CommentAttri()},   {"name", tkIdentifier, h.IdentifierAttri()},
        {"end", tkKey, h.KeyAttri()},           {"12", tkNumber, h.NumberAttri()},
        {" ", tkSpace, h.SpaceAttri()},         {"'s'", tkString, h.StringAttri()},
        {"=", tkSymbol, h.SymbolAttri()},       {";", tkUnknown, h.IdentifierAttri()},
        {"", tkNull, nullptr},
    };
    for (const auto& token : tokens) {
        const std::string line = token.Line;
        h.ResetRange();
        h.SetLine(line, 0);
        EXPECT_EQ(h.GetTokenID(), token.Kind) << line;
        EXPECT_EQ(h.GetTokenAttribute(), token.Attribute) << line;
    }

    TQvHighlighterAttributes* const roles[] = {h.CommentAttri(), h.IdentifierAttri(),
                                               h.KeyAttri(),     h.StringAttri(),
                                               h.SpaceAttri(),   h.SymbolAttri()};
    for (int role = 0; role < 6; ++role)
        EXPECT_EQ(h.GetDefaultAttribute(role), roles[role]) << role;
    EXPECT_EQ(h.GetDefaultAttribute(6), nullptr);
    EXPECT_EQ(h.GetDefaultAttribute(-1), nullptr);
}

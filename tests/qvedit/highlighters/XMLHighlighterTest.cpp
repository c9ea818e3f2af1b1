#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "GoldenDriver.h"
#include "platform/graphics/Colors.h"
#include "qvedit/highlighters/QvHighlighterXML.h"

using namespace QvXML;

namespace {

const std::map<std::string, int> XmlKindNames = {
    {"tkAposAttrValue", tkAposAttrValue},
    {"tkAposEntityRef", tkAposEntityRef},
    {"tkAttribute", tkAttribute},
    {"tkCDATA", tkCDATA},
    {"tkComment", tkComment},
    {"tkElement", tkElement},
    {"tkEntityRef", tkEntityRef},
    {"tkEqual", tkEqual},
    {"tkNull", tkNull},
    {"tkProcessingInstruction", tkProcessingInstruction},
    {"tkQuoteAttrValue", tkQuoteAttrValue},
    {"tkQuoteEntityRef", tkQuoteEntityRef},
    {"tkSpace", tkSpace},
    {"tkSymbol", tkSymbol},
    {"tkText", tkText},
    {"tknsAposAttrValue", tknsAposAttrValue},
    {"tknsAposEntityRef", tknsAposEntityRef},
    {"tknsAttribute", tknsAttribute},
    {"tknsEqual", tknsEqual},
    {"tknsQuoteAttrValue", tknsQuoteAttrValue},
    {"tknsQuoteEntityRef", tknsQuoteEntityRef},
    {"tkDocType", tkDocType},
};

struct TExpectedAttribute {
    const char* Name;
    TColor Foreground;
    TColor Background;
    TFontStyles Style;
};

}  // namespace

TEST(XMLHighlighter, GoldenTokenStreams)
{
    TQvXMLHighlighter highlighter(nullptr);
    RunGoldenFile(highlighter, "xml.golden", XmlKindNames);
}

TEST(XMLHighlighter, StartsAndResetsInText)
{
    TQvXMLHighlighter h(nullptr);
    EXPECT_EQ(h.GetRange(), rsText) << "a new instance holds the start value";
    h.SetRange(rsComment);
    EXPECT_EQ(h.GetRange(), rsComment);
    h.SetRange(0x100 + rsCDATA);
    EXPECT_EQ(h.GetRange(), rsCDATA) << "only the low byte counts";
    h.ResetRange();
    EXPECT_EQ(h.GetRange(), rsText);
}

// The colours are the defaults: nothing differs from them, so nothing is stored.
TEST(XMLHighlighter, AttributesCarryTheirColoursAsDefaults)
{
    TQvXMLHighlighter h(nullptr);
    const std::pair<TQvHighlighterAttributes*, TExpectedAttribute> expected[] = {
        {h.ElementAttri(), {"Element Name", clMaroon, clNone, fsBold}},
        {h.TextAttri(), {"Text", clBlack, clNone, fsBold}},
        {h.SpaceAttri(), {"Whitespace", clNone, clNone, {}}},
        {h.EntityRefAttri(), {"Entity Reference", clBlue, clNone, fsBold}},
        {h.ProcessingInstructionAttri(), {"Processing Instruction", clBlue, clNone, {}}},
        {h.CDATAAttri(), {"CDATA Section", clOlive, clNone, fsItalic}},
        {h.CommentAttri(), {"Comment", clGray, clSilver, {fsBold, fsItalic}}},
        {h.DocTypeAttri(), {"DOCTYPE Section", clBlue, clNone, fsItalic}},
        {h.AttributeAttri(), {"Attribute Name", clMaroon, clNone, {}}},
        {h.NamespaceAttributeAttri(), {"Namespace Attribute Name", clRed, clNone, {}}},
        {h.AttributeValueAttri(), {"Attribute Value", clNavy, clNone, fsBold}},
        {h.NamespaceAttributeValueAttri(), {"Namespace Attribute Value", clRed, clNone, fsBold}},
        {h.SymbolAttri(), {"Symbol", clBlue, clNone, {}}},
    };
    EXPECT_EQ(h.GetAttribCount(), 13);
    for (const auto& [attribute, want] : expected) {
        ASSERT_NE(attribute, nullptr);
        SCOPED_TRACE(want.Name);
        EXPECT_EQ(attribute->GetName(), want.Name);
        EXPECT_EQ(attribute->GetForeground(), want.Foreground);
        EXPECT_EQ(attribute->GetBackground(), want.Background);
        EXPECT_EQ(attribute->GetStyle(), want.Style);
        EXPECT_FALSE(attribute->IsForegroundStored());
        EXPECT_FALSE(attribute->IsBackgroundStored());
        EXPECT_FALSE(attribute->IsStyleStored());
    }
    EXPECT_EQ(h.GetDefaultAttribute(QV_ATTRIB_COMMENT), h.CommentAttri());
    EXPECT_EQ(h.GetDefaultAttribute(QV_ATTRIB_IDENTIFIER), h.AttributeAttri());
    EXPECT_EQ(h.GetDefaultAttribute(QV_ATTRIB_KEYWORD), h.ElementAttri());
    EXPECT_EQ(h.GetDefaultAttribute(QV_ATTRIB_STRING), nullptr);
    EXPECT_EQ(h.GetDefaultAttribute(QV_ATTRIB_WHITESPACE), h.SpaceAttri());
    EXPECT_EQ(h.GetDefaultAttribute(QV_ATTRIB_SYMBOL), h.SymbolAttri());
}

TEST(XMLHighlighter, TokensShowWithTheirAttributes)
{
    TQvXMLHighlighter h(nullptr);
    // One line touching the kinds that share an attribute.
    const std::string line = "<a xmlns=\"&x;\" b='&y;'>&z;";
    const std::pair<TtkTokenKind, TQvHighlighterAttributes*> expected[] = {
        {tkSymbol, h.SymbolAttri()},
        {tkElement, h.ElementAttri()},
        {tkSpace, h.SpaceAttri()},
        {tknsAttribute, h.NamespaceAttributeAttri()},
        {tknsEqual, h.SymbolAttri()},
        {tknsQuoteAttrValue, h.NamespaceAttributeValueAttri()},
        {tknsQuoteEntityRef, h.EntityRefAttri()},
        {tknsQuoteAttrValue, h.NamespaceAttributeValueAttri()},
        {tkSymbol, h.SymbolAttri()},
        {tkSpace, h.SpaceAttri()},
        {tkAttribute, h.AttributeAttri()},
        {tkEqual, h.SymbolAttri()},
        {tkAposAttrValue, h.AttributeValueAttri()},
        {tkAposEntityRef, h.EntityRefAttri()},
        {tkAposAttrValue, h.AttributeValueAttri()},
        {tkSymbol, h.SymbolAttri()},
        {tkSymbol, h.SymbolAttri()},
        {tkText, h.TextAttri()},
        {tkEntityRef, h.EntityRefAttri()},
    };
    h.ResetRange();
    h.SetLine(line, 0);
    for (const auto& [kind, attribute] : expected) {
        ASSERT_FALSE(h.GetEol());
        EXPECT_EQ(h.GetTokenKind(), kind) << h.GetToken();
        // The typed kind is the same ordinal.
        EXPECT_EQ(h.GetTokenID(), kind) << h.GetToken();
        EXPECT_EQ(h.GetTokenAttribute(), attribute) << h.GetToken();
        h.Next();
    }
    EXPECT_TRUE(h.GetEol());
    EXPECT_EQ(h.GetTokenID(), tkNull);
    EXPECT_EQ(h.GetTokenAttribute(), nullptr);
}

TEST(XMLHighlighter, InterfaceValues)
{
    TQvXMLHighlighter h(nullptr);
    EXPECT_EQ(h.GetLanguageName(), "XML");
    EXPECT_EQ(h.GetDefaultFilter(),
              "XML Files (*.xml,*.xsd,*.xsl,*.xslt,*.dtd)|*.xml;*.xsd;*.xsl;*.xslt;*.dtd");
    EXPECT_TRUE(h.GetWantBracesParsed());
    const TQvIdentChars chars = h.GetIdentChars();
    for (char c : {'-', '.', '0', 'Z', '_', 'a'})
        EXPECT_TRUE(chars.Contains(c)) << c;
    for (char c : {':', ' ', '<', static_cast<char>(215), static_cast<char>(247)})
        EXPECT_FALSE(chars.Contains(c)) << int(static_cast<unsigned char>(c));
    EXPECT_TRUE(chars.Contains(static_cast<char>(192)));

    const std::string sample = h.GetSampleSource();
    EXPECT_EQ(sample,
              "<?xml version=\"1.0\"?>\r\n<!DOCTYPE root [\r\n  ]>\r\n<!-- Comment -->\r\n"
              "<root version=\"&test;\">\r\n  <![CDATA[ **CDATA section** ]]>\r\n</root>");
}

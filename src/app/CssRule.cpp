#include "app/CssRule.h"

namespace {

const char* const selectorItems[] = {"a",  "a:link", "a:visited", "a:active", "a:hover", "b",
                                     "body", "div",  "h1",        "h2",       "h3",      "h4",
                                     "h5", "h6",     "i",         "li",       "ol",      "p",
                                     "pre", "span",  "u",         "ul"};
const char* const fontSizeItems[] = {"6", "8", "10", "12", "14", "16", "18", "20"};
const char* const fontUnitItems[] = {"%", "mm", "pt", "px"};
const char* const textDecorationItems[] = {"blink", "line-through", "none", "overline", "underline"};
const char* const textAlignItems[] = {"left", "center", "right", "justify"};
const char* const borderItems[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
const char* const borderStyleItems[] = {"none",  "solid", "double", "groove", "ridge",
                                        "inset", "outset", "dotted", "dashed"};

void AddProperty(std::string& rule, const char* name, const std::optional<std::string>& value)
{
    if (value)
        rule += std::string("  ") + name + ": " + *value + ";\n";
}

}  // namespace

std::string BuildCssRule(const TCssRuleChoices& Choices)
{
    std::string rule = Choices.Selector + "\n{\n";
    AddProperty(rule, "font-family", Choices.FontFamily);
    if (Choices.FontSize)
        AddProperty(rule, "font-size", Choices.FontSize->Size + Choices.FontSize->Unit);
    AddProperty(rule, "background-color", Choices.BackgroundColor);
    AddProperty(rule, "color", Choices.Color);
    AddProperty(rule, "text-decoration", Choices.TextDecoration);
    AddProperty(rule, "text-align", Choices.TextAlign);
    AddProperty(rule, "border", Choices.Border);
    if (Choices.BorderStyle)
        rule += "  border-style: " + *Choices.BorderStyle + ";";
    return rule + "\n}\n\n";
}

std::span<const char* const> CssSelectorItems() { return selectorItems; }
std::span<const char* const> CssFontSizeItems() { return fontSizeItems; }
std::span<const char* const> CssFontUnitItems() { return fontUnitItems; }
std::span<const char* const> CssTextDecorationItems() { return textDecorationItems; }
std::span<const char* const> CssTextAlignItems() { return textAlignItems; }
std::span<const char* const> CssBorderItems() { return borderItems; }
std::span<const char* const> CssBorderStyleItems() { return borderStyleItems; }

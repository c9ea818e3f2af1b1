// The CSS rule dialog's rule text and the choices it offers. The dialog hands over what
// its rows hold; a row whose check box is off is left empty (std::nullopt). Texts are
// taken as typed, without any check.
#pragma once

#include <optional>
#include <span>
#include <string>

struct TCssFontSize {
    std::string Size;  // "12"
    std::string Unit;  // "px": written directly after the size, "12px"
};

struct TCssRuleChoices {
    std::string Selector = "";
    std::optional<std::string> FontFamily = std::nullopt;
    std::optional<TCssFontSize> FontSize = std::nullopt;
    std::optional<std::string> Color = std::nullopt;
    std::optional<std::string> BackgroundColor = std::nullopt;
    std::optional<std::string> TextDecoration = std::nullopt;
    std::optional<std::string> TextAlign = std::nullopt;
    std::optional<std::string> Border = std::nullopt;
    std::optional<std::string> BorderStyle = std::nullopt;
};

// One rule: the selector, "{", one line "  property: value;" per checked row (the
// background colour before the colour), "}" and an empty line. Every property line but
// the border style's ends with a line feed, so an empty line stands before the "}"
// unless the border style is the last line.
std::string BuildCssRule(const TCssRuleChoices& Choices);

// The items of the dialog's combo boxes, in order, with the text each starts with.
std::span<const char* const> CssSelectorItems();        // initial "a"
std::span<const char* const> CssFontSizeItems();        // initial "10"
std::span<const char* const> CssFontUnitItems();        // initial "pt"
std::span<const char* const> CssTextDecorationItems();  // initial "none"
std::span<const char* const> CssTextAlignItems();       // initial "left"
std::span<const char* const> CssBorderItems();          // initial "3"
std::span<const char* const> CssBorderStyleItems();     // initial "none"
// The initial text of the two colour rows.
inline constexpr const char* CssInitialColor = "#000000";

// The save dialog of the rule editor: "css" is added to a name typed without an
// extension, and the second filter entry lists every file.
inline constexpr const char* CssSaveDefaultExt = "css";
inline constexpr const char* CssSaveFilter = "Css files (*.css)|*.css|All files (*.*)|*.*";

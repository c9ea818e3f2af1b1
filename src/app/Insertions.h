// The ready-made texts of the side pane: HTML and PHP fragments on speed buttons,
// character entities, and the tag and attribute lists with the text each row inserts.
// Line breaks inside a fragment are single line feeds. Texts that go into the edited
// text are bytes of code page 1251; captions and hints are UTF-8.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

// Wrap puts the selected text between Before and After; Insert replaces the selection
// with Before alone (After is empty).
enum class TInsertionKind { Wrap, Insert };

struct TInsertion {
    const char* Control;  // the speed button, e.g. "SpeedButton5"
    const char* Place;    // its page or group: "tInsert", "gChars", "TabSheet1", "gTemplates"
    const char* Caption;  // "" when the button shows only a glyph
    const char* Hint;     // "" when it has none
    TInsertionKind Kind;
    const char* Before;
    const char* After;
};

// Every fragment button, in the order of the side pane's pages.
std::span<const TInsertion> Insertions();
// The button's row; nullptr for a control that inserts no fixed text.
const TInsertion* FindInsertion(std::string_view Control);
// The text a button hands to the editor, given the selected text ("" for none).
std::string InsertionText(const TInsertion& Insertion, std::string_view SelText);

// The text each HTML tag row (HtmlTagRows of the completion lists, shared by the tag list
// and the HTML completion list) inserts. The comment row inserts "<!--  -->" from the
// completion list and "<!-- Комментарии -->" from the side pane.
enum class TTagListUse { Completion, SidePane };
std::vector<std::string> HtmlTagInsertRows(TTagListUse Use);

// The attribute rows as shown ("action=\"..\"" to "wrap=\"..\"", 74 rows) and the text
// each inserts ("action=\"\"").
std::vector<std::string> HtmlAttributeRows();
std::vector<std::string> HtmlAttributeInsertRows();

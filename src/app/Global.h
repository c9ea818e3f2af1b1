// Helpers the main window and its dialogs share.
#pragma once

#include "platform/graphics/Colors.h"

#include <string>

// The six lower-case hexadecimal digits of a colour in the order red, green, blue, as
// HTML and CSS write it: RGB(0, 128, 255) gives "0080ff". A system colour is first
// resolved to the colour it stands for; other values lose their top byte (so the colour
// boxes' Default entry, which is no colour of its own, gives black).
std::string ColorToHtmlHex(TColor Color);

// The colour as the insertion commands and the CSS dialog write it: "#" and the digits
// of ColorToHtmlHex in upper case, "#0080FF".
std::string HtmlColorText(TColor Color);

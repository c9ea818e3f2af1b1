// The text a control's native widget shows, for suites that do not include Qt themselves.
#pragma once

#include <string>

class TControl;

// As UTF-8: a label's or panel's text, a button's, check box's or radio button's text, a
// group box's title; "<no text>" for any other widget.
std::string ShownText(const TControl* Control);

// Whether a label, button, check box or radio button is as wide as its text needs in its
// font and style (with the check mark's room), so that none of the text is cut off.
bool ShowsTextWhole(const TControl* Control);

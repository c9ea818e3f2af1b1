// Placeholder definitions that let the library link until this unit is written: each
// raises EQvEditError naming the operation. The unit's owner replaces this whole file.
#include "qvedit/editor/QvEdit.h"

bool TCustomQvEdit::GetSelAvail() const { QvEditNotBuilt("GetSelAvail"); }

TPoint TCustomQvEdit::NextWordPos() { QvEditNotBuilt("NextWordPos"); }

TPoint TCustomQvEdit::NextWordPosEx(const TPoint&) { QvEditNotBuilt("NextWordPosEx"); }

TPoint TCustomQvEdit::WordStart() { QvEditNotBuilt("WordStart"); }

TPoint TCustomQvEdit::WordStartEx(const TPoint&) { QvEditNotBuilt("WordStartEx"); }

TPoint TCustomQvEdit::WordEnd() { QvEditNotBuilt("WordEnd"); }

TPoint TCustomQvEdit::WordEndEx(const TPoint&) { QvEditNotBuilt("WordEndEx"); }

TPoint TCustomQvEdit::PrevWordPos() { QvEditNotBuilt("PrevWordPos"); }

TPoint TCustomQvEdit::PrevWordPosEx(const TPoint&) { QvEditNotBuilt("PrevWordPosEx"); }

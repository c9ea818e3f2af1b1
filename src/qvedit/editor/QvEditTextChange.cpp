// Placeholder definitions that let the library link until this unit is written: each
// raises EQvEditError naming the operation. The unit's owner replaces this whole file.
#include "qvedit/editor/QvEdit.h"

std::string TCustomQvEdit::QvGetText() const { QvEditNotBuilt("QvGetText"); }

void TCustomQvEdit::QvSetText(const std::string&) { QvEditNotBuilt("QvSetText"); }

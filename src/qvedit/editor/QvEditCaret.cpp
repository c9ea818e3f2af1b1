// Placeholder definitions that let the library link until this unit is written: each
// raises EQvEditError naming the operation. The unit's owner replaces this whole file.
#include "qvedit/editor/QvEdit.h"

void TCustomQvEdit::SetCaretXY(const TPoint&) { QvEditNotBuilt("SetCaretXY"); }

void TCustomQvEdit::InternalSetCaretXY(const TPoint&) { QvEditNotBuilt("InternalSetCaretXY"); }

void TCustomQvEdit::SetCaretXYEx(bool, TPoint) { QvEditNotBuilt("SetCaretXYEx"); }

void TCustomQvEdit::InternalSetCaretX(Integer) { QvEditNotBuilt("InternalSetCaretX"); }

void TCustomQvEdit::InitializeCaret() { QvEditNotBuilt("InitializeCaret"); }

void TCustomQvEdit::UpdateCaret() { QvEditNotBuilt("UpdateCaret"); }

void TCustomQvEdit::HideCaret() { QvEditNotBuilt("HideCaret"); }

void TCustomQvEdit::ShowCaret() { QvEditNotBuilt("ShowCaret"); }

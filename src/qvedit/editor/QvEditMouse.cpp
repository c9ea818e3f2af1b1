// Placeholder definitions that let the library link until this unit is written: each
// raises EQvEditError naming the operation. The unit's owner replaces this whole file.
#include "qvedit/editor/QvEdit.h"

void TCustomQvEdit::MouseDown(TMouseButton, TShiftState, int, int) { QvEditNotBuilt("MouseDown"); }

void TCustomQvEdit::MouseMove(TShiftState, int, int) { QvEditNotBuilt("MouseMove"); }

void TCustomQvEdit::MouseUp(TMouseButton, TShiftState, int, int) { QvEditNotBuilt("MouseUp"); }

void TCustomQvEdit::DblClick() { QvEditNotBuilt("DblClick"); }

void TCustomQvEdit::WMSetCursor(TWMSetCursor&) { QvEditNotBuilt("WMSetCursor"); }

void TCustomQvEdit::WMCaptureChanged(TWMCaptureChanged&) { QvEditNotBuilt("WMCaptureChanged"); }

void TCustomQvEdit::DoOnGutterClick(TMouseButton, Integer, Integer) { QvEditNotBuilt("DoOnGutterClick"); }

void TCustomQvEdit::ScrollTimerHandler(TObject*) { QvEditNotBuilt("ScrollTimerHandler"); }

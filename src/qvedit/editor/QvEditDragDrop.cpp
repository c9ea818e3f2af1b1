// Placeholder definitions that let the library link until this unit is written: each
// raises EQvEditError naming the operation. The unit's owner replaces this whole file.
#include "qvedit/editor/QvEdit.h"

void TCustomQvEdit::DragOver(TObject*, int, int, TDragState, bool&) { QvEditNotBuilt("DragOver"); }

void TCustomQvEdit::DragDrop(TObject*, int, int) { QvEditNotBuilt("DragDrop"); }

void TCustomQvEdit::DragCanceled() { QvEditNotBuilt("DragCanceled"); }

void TCustomQvEdit::WMDropFiles(TWMDropFiles&) { QvEditNotBuilt("WMDropFiles"); }

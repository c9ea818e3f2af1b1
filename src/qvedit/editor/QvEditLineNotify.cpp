// Placeholder definitions that let the library link until this unit is written: each
// raises EQvEditError naming the operation. The unit's owner replaces this whole file.
#include "qvedit/editor/QvEdit.h"

void TCustomQvEdit::ListAdded(Integer, const std::string&) { QvEditNotBuilt("ListAdded"); }

void TCustomQvEdit::ListInserted(Integer, const std::string&) { QvEditNotBuilt("ListInserted"); }

void TCustomQvEdit::ListDeleted(Integer) { QvEditNotBuilt("ListDeleted"); }

void TCustomQvEdit::ListPutted(Integer, const std::string&) { QvEditNotBuilt("ListPutted"); }

void TCustomQvEdit::ListCleared(TObject*) { QvEditNotBuilt("ListCleared"); }

void TCustomQvEdit::LinesChanging(TObject*) { QvEditNotBuilt("LinesChanging"); }

void TCustomQvEdit::LinesChanged(TObject*) { QvEditNotBuilt("LinesChanged"); }

void TCustomQvEdit::ListScanRanges(TObject*) { QvEditNotBuilt("ListScanRanges"); }

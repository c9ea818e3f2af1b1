// Placeholder definitions that let the library link until this unit is written: each
// raises EQvEditError naming the operation. The unit's owner replaces this whole file.
#include "qvedit/editor/QvEdit.h"

void TCustomQvEdit::ExecuteCommand(TQvEditorCommand, char, void*) { QvEditNotBuilt("ExecuteCommand"); }

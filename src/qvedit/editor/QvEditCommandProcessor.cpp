// Placeholder definitions that let the library link until this unit is written: each
// raises EQvEditError naming the operation. The unit's owner replaces this whole file.
#include "qvedit/editor/QvEdit.h"

void TCustomQvEdit::CommandProcessor(TQvEditorCommand, char, void*) { QvEditNotBuilt("CommandProcessor"); }

void TCustomQvEdit::NotifyHookedCommandHandlers(bool, TQvEditorCommand&, char&, void*)
{
    QvEditNotBuilt("NotifyHookedCommandHandlers");
}

void TCustomQvEdit::DoOnProcessCommand(TQvEditorCommand&, char&, void*) { QvEditNotBuilt("DoOnProcessCommand"); }

void TCustomQvEdit::DoOnCommandProcessed(TQvEditorCommand, char, void*) { QvEditNotBuilt("DoOnCommandProcessed"); }

void TCustomQvEdit::SetDefaultKeystrokes()
{
    keystrokes_->ResetDefaults();
}

void TCustomQvEdit::KeyDown(Word&, TShiftState) { QvEditNotBuilt("KeyDown"); }

void TCustomQvEdit::KeyUp(Word&, TShiftState) { QvEditNotBuilt("KeyUp"); }

void TCustomQvEdit::KeyPress(char&) { QvEditNotBuilt("KeyPress"); }

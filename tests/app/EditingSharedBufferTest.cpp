// Editors sharing one buffer, and a paste into an empty text undone and redone, with the
// main window's editing settings (the same checks run with the editor's defaults).
#include "../qvedit/editor/EditorFixture.h"
#include "../qvedit/editor/SharingChecks.h"

#include "app/EditorSettings.h"

namespace {

using EditingSharedBufferTest = TEditorFixture<>;

void Settings(TCustomQvEdit& E)
{
    ApplyEditingSettings(E);
}

TEST_F(EditingSharedBufferTest, AChainOfSharersLetsGoWhenTheBufferGoes)
{
    sharing::CheckAChainOfSharersLetsGo(Form(), Settings);
}

TEST_F(EditingSharedBufferTest, AHookBackToASharerIsRefused)
{
    sharing::CheckAHookBackIsRefused(Form(), Settings);
}

TEST_F(EditingSharedBufferTest, EachEditorHearsOnlyTheBufferItShows)
{
    sharing::CheckEachEditorHearsOnlyTheBufferItShows(Form(), Settings);
}

TEST_F(EditingSharedBufferTest, RedoInASharerReplaysTheWholeStep)
{
    sharing::CheckRedoInASharerReplaysTheWholeStep(Form(), Settings);
}

TEST_F(EditingSharedBufferTest, TheOthersStayInsideWhenLinesGo)
{
    sharing::CheckTheOthersStayInsideWhenLinesGo(Form(), Settings);
}

TEST_F(EditingSharedBufferTest, EveryEditorTellsTheSameModified)
{
    sharing::CheckEveryEditorTellsTheSameModified(Form(), Settings);
}

TEST_F(EditingSharedBufferTest, ASharerHearsOfAnotherAfterItLetGo)
{
    sharing::CheckASharerHearsOfAnotherAfterItLetGo(Form(), Settings);
}

TEST_F(EditingSharedBufferTest, APasteIntoNothingUndoesToNothing)
{
    sharing::CheckAPasteIntoNothingUndoesToNothing(Form(), Settings);
}

}  // namespace

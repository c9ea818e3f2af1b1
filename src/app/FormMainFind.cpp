// The main window's openers of the find-and-replace and the go-to-line dialogs.
#include "app/FormGoTo.h"
#include "app/FormSearch.h"
#include "app/MainForm.h"
#include "platform/controls/ComCtrls.h"
#include "qvedit/core/QvEditTextBuffer.h"
#include "qvedit/editor/QvEdit.h"

void TfrmEdit::mnuEditFindClick(TObject*)
{
    frmSearch->SetVisible(true);
}

void TfrmEdit::mnuEditReplaceClick(TObject*)
{
    frmSearch->SetVisible(true);
}

void TfrmEdit::mnuEditGoToClick(TObject*)
{
    // Every line of the text can be reached, however long the text is.
    frmGoTo->LineNum->SetMax(Editor->GetLines()->Count());
    frmGoTo->ShowModal();
}

// The main window's openers of the find-and-replace and the go-to-line dialogs. Each
// dialog is made at its first opening, titled in the language in use, and kept.
#include "app/FormGoTo.h"
#include "app/FormSearch.h"
#include "app/MainForm.h"
#include "platform/controls/ComCtrls.h"
#include "qvedit/core/QvEditTextBuffer.h"
#include "qvedit/editor/QvEdit.h"

template <class TDialog>
void TfrmEdit::MakeDialog(TDialog*& Dialog)
{
    if (Dialog != nullptr)
        return;
    Application->CreateForm(Dialog);
    ApplyPendingTitles();
}

void TfrmEdit::mnuEditFindClick(TObject*)
{
    MakeDialog(frmSearch);
    frmSearch->SetVisible(true);
}

void TfrmEdit::mnuEditReplaceClick(TObject*)
{
    MakeDialog(frmSearch);
    frmSearch->SetVisible(true);
}

void TfrmEdit::mnuEditGoToClick(TObject*)
{
    MakeDialog(frmGoTo);
    // Every line of the text can be reached, however long the text is.
    frmGoTo->LineNum->SetMax(Editor->GetLines()->Count());
    frmGoTo->ShowModal();
}

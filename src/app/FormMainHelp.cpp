// The main window's Help menu: its four links, the about box, and the CSS rule dialog of
// the File menu.
#include "app/FormAbout.h"
#include "app/FormCssMaker.h"
#include "app/MainForm.h"

void TfrmEdit::mnuHelpHomePageClick(TObject*)
{
    OpenAddress(this, AboutLinks::ProductPage);
}

void TfrmEdit::N99Click(TObject*)
{
    OpenAddress(this, AboutLinks::MakerScripts);
}

void TfrmEdit::mnuHelpMakerSiteClick(TObject*)
{
    OpenAddress(this, AboutLinks::MakerSite);
}

void TfrmEdit::N100Click(TObject*)
{
    OpenAddress(this, AboutLinks::MakerJobs);
}

// The about box and the CSS rule dialog are made at their first showing, so that the
// program's start does not wait for them; nothing of them is seen before.
void TfrmEdit::mnuHelpAboutClick(TObject*)
{
    if (frmAbout == nullptr)
        Application->CreateForm(frmAbout);
    frmAbout->ShowModal();
}

void TfrmEdit::CSSMaker1Click(TObject*)
{
    if (frmCssMaker == nullptr)
        Application->CreateForm(frmCssMaker);
    frmCssMaker->ShowModal();
}

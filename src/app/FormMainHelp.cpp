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

void TfrmEdit::mnuHelpAboutClick(TObject*)
{
    frmAbout->ShowModal();
}

void TfrmEdit::CSSMaker1Click(TObject*)
{
    frmCssMaker->ShowModal();
}

#include "app/FormAbout.h"

TfrmAbout* frmAbout = nullptr;

TfrmAbout::TfrmAbout(TComponent* AOwner) : TForm(AOwner)
{
    SetName("frmAbout");
    SetCaption("About");
    SetBorderStyle(bsDialog);
}

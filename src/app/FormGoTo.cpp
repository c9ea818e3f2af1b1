#include "app/FormGoTo.h"

TfrmGoTo* frmGoTo = nullptr;

TfrmGoTo::TfrmGoTo(TComponent* AOwner) : TForm(AOwner)
{
    SetName("frmGoTo");
    SetCaption("Go To...");
    SetBorderStyle(bsDialog);
}

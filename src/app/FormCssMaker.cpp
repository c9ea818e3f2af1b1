#include "app/FormCssMaker.h"

TfrmCssMaker* frmCssMaker = nullptr;

TfrmCssMaker::TfrmCssMaker(TComponent* AOwner) : TForm(AOwner)
{
    SetName("frmCssMaker");
    SetCaption("CSS Maker");
    SetBorderStyle(bsDialog);
}

#include "app/FormSearch.h"

TfrmSearch* frmSearch = nullptr;

TfrmSearch::TfrmSearch(TComponent* AOwner) : TForm(AOwner)
{
    SetName("frmSearch");
    SetCaption("Find and replace");
    SetBorderStyle(bsDialog);
}

#include "app/FormGoTo.h"

#include "app/MainForm.h"
#include "app/MainFormParts.h"
#include "platform/controls/ComCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "qvedit/editor/QvEdit.h"

TfrmGoTo* frmGoTo = nullptr;

TfrmGoTo::TfrmGoTo(TComponent* AOwner) : TForm(AOwner)
{
    SetName("frmGoTo");
    SetCaption("Go To...");
    SetBorderStyle(bsDialog);
    // Over the window it works on, not over its menus at the screen's corner.
    SetPosition(poMainFormCenter);
    SetBounds(0, 0, 236, 100);

    lblTitle = MakeControl<TLabel>(this, this, "lblTitle");
    lblTitle->SetCaption("Line number:");
    lblTitle->SetBounds(8, 12, 80, 16);
    txtLines = MakeControl<TEdit>(this, this, "txtLines");
    txtLines->SetBounds(92, 8, 100, 21);
    LineNum = MakeControl<TUpDown>(this, this, "LineNum");
    LineNum->SetBounds(192, 8, 16, 21);
    LineNum->SetMin(0);
    LineNum->SetMax(32767);
    LineNum->SetWrap(false);
    LineNum->SetAssociate(txtLines);
    LineNum->SetPosition(0);
    txtLines->SetText("0");

    bGo = MakeControl<TButton>(this, this, "bGo");
    bGo->SetCaption("Go");
    bGo->SetBounds(28, 44, 80, 25);
    bGo->SetDefault(true);
    bGo->SetModalResult(mrOk);
    bGo->OnClick = TNotifyEvent(this, &TfrmGoTo::bGoClick);
    bCancel = MakeControl<TButton>(this, this, "bCancel");
    bCancel->SetCaption("Cancel");
    bCancel->SetBounds(120, 44, 80, 25);
    bCancel->SetCancel(true);
    bCancel->SetModalResult(mrCancel);
    OnShow = TNotifyEvent(this, &TfrmGoTo::FormShow);
}

void TfrmGoTo::bGoClick(TObject*)
{
    frmEdit->Editor->SetCaretY(LineNum->Position());
    txtLines->SetText("0");
    SetModalResult(mrOk);
    SetVisible(false);
}

void TfrmGoTo::FormShow(TObject*)
{
    if (txtLines->CanFocus())
        txtLines->SetFocus();
}

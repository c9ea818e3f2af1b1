// TfrmGoTo, the go-to-line dialog of the main window: shown modally, made once at
// start-up after the main window and kept for the whole run.
#pragma once

#include "platform/forms/Forms.h"

class TButton;
class TEdit;
class TLabel;
class TUpDown;

class TfrmGoTo : public TForm {
public:
    explicit TfrmGoTo(TComponent* AOwner);

    TLabel* lblTitle;
    TEdit* txtLines;
    TUpDown* LineNum;  // 0 up to the text's line count
    TButton *bGo, *bCancel;

    // Moves the editor's caret to the chosen line (0 and 1 both the first, a number past
    // the end the last), sets the field back to "0" and closes with OK.
    void bGoClick(TObject* Sender);
    void FormShow(TObject* Sender);
};

extern TfrmGoTo* frmGoTo;

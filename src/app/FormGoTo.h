// TfrmGoTo, the go-to-line dialog of the main window. Made once at start-up, after the main window, and
// kept for the whole run.
#pragma once

#include "platform/forms/Forms.h"

class TfrmGoTo : public TForm {
public:
    explicit TfrmGoTo(TComponent* AOwner);
};

extern TfrmGoTo* frmGoTo;

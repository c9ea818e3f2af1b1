// TfrmAbout, the about box of the main window. Made once at start-up, after the main window, and
// kept for the whole run.
#pragma once

#include "platform/forms/Forms.h"

class TfrmAbout : public TForm {
public:
    explicit TfrmAbout(TComponent* AOwner);
};

extern TfrmAbout* frmAbout;

// TfrmCssMaker, the CSS rule dialog of the main window. Made once at start-up, after the main window, and
// kept for the whole run.
#pragma once

#include "platform/forms/Forms.h"

class TfrmCssMaker : public TForm {
public:
    explicit TfrmCssMaker(TComponent* AOwner);
};

extern TfrmCssMaker* frmCssMaker;

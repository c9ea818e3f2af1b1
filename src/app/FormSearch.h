// TfrmSearch, the find-and-replace dialog of the main window. Made once at start-up, after the main window, and
// kept for the whole run.
#pragma once

#include "platform/forms/Forms.h"

class TfrmSearch : public TForm {
public:
    explicit TfrmSearch(TComponent* AOwner);
};

extern TfrmSearch* frmSearch;

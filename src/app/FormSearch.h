// TfrmSearch, the find-and-replace dialog of the main window: modeless, on top of the
// other windows, made once at start-up after the main window and kept for the whole run.
// It searches the main window's editor with the plain or the regular-expression engine
// and keeps its texts and check marks between uses.
#pragma once

#include "platform/forms/Forms.h"
#include "qvedit/core/QvEditTypes.h"

class TButton;
class TCheckBox;
class TGroupBox;
class TLabel;
class TMemo;
class TPageControl;
class TRadioButton;
class TTabSheet;

class TfrmSearch : public TForm {
public:
    explicit TfrmSearch(TComponent* AOwner);

    TPageControl* PageControl1;
    TTabSheet* tSearchAndReplace;
    TLabel *lblSearchFor, *lblReplaceWith;
    TMemo *txtSearch, *txtReplace;
    TGroupBox* tSearchSettings;
    TCheckBox *chReg, *chWhole, *chSel, *chUseReg;
    TRadioButton *chBk, *chFw;
    TButton *bFind, *bFindNext, *bReplaceAll, *bCancel;

    // Find selects the next match in the chosen direction; with "Forward" it starts at
    // the top of the text. Find Next goes on from the caret, which stands after the
    // current match, so repeating it walks through the matches.
    void SearchClick(TObject* Sender);
    void SearchNextClick(TObject* Sender);
    void bReplaceAllClick(TObject* Sender);
    void bCancelClick(TObject* Sender);
    void FormShow(TObject* Sender);

    // The options the check marks stand for. FromCaret leaves out the whole-text scope
    // that "Forward" otherwise adds.
    TQvSearchOptions SearchOptions(bool FromCaret) const;

private:
    void BuildControls();
    // Makes the chosen engine the editor's, runs one search or replacement and tells the
    // user when nothing was found; the focus goes back to the editor.
    void Run(const std::string& Replacement, TQvSearchOptions Options);
};

extern TfrmSearch* frmSearch;

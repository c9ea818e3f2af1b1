#include "app/FormSearch.h"

#include "app/MainForm.h"
#include "app/MainFormParts.h"
#include "platform/controls/ComCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/forms/Dialogs.h"
#include "qvedit/editor/QvEdit.h"
#include "qvedit/search/QvEditRegexSearch.h"
#include "qvedit/search/QvEditSearch.h"

TfrmSearch* frmSearch = nullptr;

TfrmSearch::TfrmSearch(TComponent* AOwner) : TForm(AOwner)
{
    SetName("frmSearch");
    SetCaption("Find and replace");
    SetBorderStyle(bsDialog);
    SetFormStyle(fsStayOnTop);
    // Over the window it works on, not over its menus at the screen's corner.
    SetPosition(poMainFormCenter);
    // The window system adds the title bar: the buttons' row ends 8 pixels above the edge.
    SetBounds(0, 0, 402, 273);
    BuildControls();
    OnShow = TNotifyEvent(this, &TfrmSearch::FormShow);
}

void TfrmSearch::BuildControls()
{
    PageControl1 = MakeControl<TPageControl>(this, this, "PageControl1");
    PageControl1->SetBounds(6, 6, 382, 226);
    tSearchAndReplace = MakeControl<TTabSheet>(this, nullptr, "tSearchAndReplace");
    tSearchAndReplace->SetPageControl(PageControl1);
    tSearchAndReplace->SetCaption("Find and replace");

    lblSearchFor = MakeControl<TLabel>(this, tSearchAndReplace, "lblSearchFor");
    lblSearchFor->SetCaption("Search for:");
    lblSearchFor->SetBounds(8, 6, 200, 16);
    txtSearch = MakeControl<TMemo>(this, tSearchAndReplace, "txtSearch");
    txtSearch->SetBounds(8, 22, 360, 40);
    lblReplaceWith = MakeControl<TLabel>(this, tSearchAndReplace, "lblReplaceWith");
    lblReplaceWith->SetCaption("Replace with:");
    lblReplaceWith->SetBounds(8, 66, 200, 16);
    txtReplace = MakeControl<TMemo>(this, tSearchAndReplace, "txtReplace");
    txtReplace->SetBounds(8, 82, 360, 40);

    tSearchSettings = MakeControl<TGroupBox>(this, tSearchAndReplace, "tSearchSettings");
    tSearchSettings->SetCaption("Search settings");
    tSearchSettings->SetBounds(8, 126, 360, 68);
    auto check = [&](const char* Name, const char* Caption, int Left, int Top) {
        auto* box = MakeControl<TCheckBox>(this, tSearchSettings, Name);
        box->SetCaption(Caption);
        box->SetBounds(Left, Top, 130, 18);
        return box;
    };
    chReg = check("chReg", "Match case", 8, 16);
    chWhole = check("chWhole", "Only whole words", 8, 32);
    chSel = check("chSel", "Selected text", 8, 48);
    chUseReg = check("chUseReg", "Regular expression", 140, 48);
    chBk = MakeControl<TRadioButton>(this, tSearchSettings, "chBk");
    chBk->SetCaption("Back");
    chBk->SetBounds(140, 16, 100, 18);
    chFw = MakeControl<TRadioButton>(this, tSearchSettings, "chFw");
    chFw->SetCaption("Forward");
    chFw->SetBounds(140, 32, 100, 18);
    chFw->SetChecked(true);

    auto button = [&](const char* Name, const char* Caption, int Left, void (TfrmSearch::*Click)(TObject*)) {
        auto* b = MakeControl<TButton>(this, this, Name);
        b->SetCaption(Caption);
        b->SetBounds(Left, 240, 88, 25);
        b->OnClick = TNotifyEvent(this, Click);
        return b;
    };
    bFind = button("bFind", "Find", 6, &TfrmSearch::SearchClick);
    bFind->SetDefault(true);
    bFindNext = button("bFindNext", "Find Next", 100, &TfrmSearch::SearchNextClick);
    bReplaceAll = button("bReplaceAll", "Replace all", 194, &TfrmSearch::bReplaceAllClick);
    bCancel = button("bCancel", "Cancel", 300, &TfrmSearch::bCancelClick);
    bCancel->SetCancel(true);
}

TQvSearchOptions TfrmSearch::SearchOptions(bool FromCaret) const
{
    TQvSearchOptions options;
    if (chReg->Checked())
        options.Include(ssoMatchCase);
    if (chWhole->Checked())
        options.Include(ssoWholeWord);
    if (chBk->Checked())
        options.Include(ssoBackwards);
    if (chFw->Checked() && !FromCaret)
        options.Include(ssoEntireScope);
    if (chSel->Checked())
        options.Include(ssoSelectedOnly);
    return options;
}

void TfrmSearch::Run(const std::string& Replacement, TQvSearchOptions Options)
{
    TQvEdit* editor = frmEdit->Editor;
    TQvEditSearchCustom* engine = chUseReg->Checked()
                                      ? static_cast<TQvEditSearchCustom*>(frmEdit->QvEditRegexSearch1)
                                      : static_cast<TQvEditSearchCustom*>(frmEdit->QvEditSearch1);
    editor->SetSearchEngine(engine);
    engine->SetOptions(Options);
    const std::string searchText = txtSearch->Text();
    if (editor->SearchReplace(searchText, Replacement, Options) == 0)
        MessageBox("Не удаётся найти \"" + AnsiToUtf8(searchText) + "\"", Application->Title(), MB_OK);
    if (editor->CanFocus())
        editor->SetFocus();
}

void TfrmSearch::SearchClick(TObject*)
{
    Run("", SearchOptions(false));
}

void TfrmSearch::SearchNextClick(TObject*)
{
    Run("", SearchOptions(true));
}

void TfrmSearch::bReplaceAllClick(TObject*)
{
    TQvSearchOptions options = SearchOptions(false);
    options.Include(ssoReplaceAll);
    Run(txtReplace->Text(), options);
}

void TfrmSearch::bCancelClick(TObject*)
{
    SetVisible(false);
}

void TfrmSearch::FormShow(TObject*)
{
    if (txtSearch->CanFocus())
        txtSearch->SetFocus();
}

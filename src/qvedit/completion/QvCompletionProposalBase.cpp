// The completion component without an editor: its rows, options and size, and opening
// its window at a screen point.
#include "qvedit/completion/QvCompletionProposal.h"

#include "platform/runtime/SysUtils.h"

TQvBaseCompletionProposal::TQvBaseCompletionProposal(TComponent* AOwner)
    : TComponent(AOwner), form_(new TQvBaseCompletionProposalForm(this))
{
    form_->OnShow = TNotifyEvent(this, &TQvBaseCompletionProposal::FormShown);
    form_->OnClose = TNotifyEvent(this, &TQvBaseCompletionProposal::FormClosed);
    SetOptions(QvDefaultCompletionOptions);
}

TQvBaseCompletionProposal::~TQvBaseCompletionProposal()
{
    BeforeDestruction();
}

void TQvBaseCompletionProposal::SetOptions(TQvCompletionOptions Value)
{
    options_ = Value;
    form_->AnsiStrings = Value.Contains(scoAnsiStrings);
    form_->CaseSensitive = Value.Contains(scoCaseSensitive);
    form_->LimitToMatchedText = Value.Contains(scoLimitToMatchedText);
    form_->TitleIsCentered = Value.Contains(scoTitleIsCentered);
    form_->UseInsertList = Value.Contains(scoUseInsertList);
    form_->UsePrettyText = Value.Contains(scoUsePrettyText);
    form_->CompleteWithTab = Value.Contains(scoCompleteWithTab);
    form_->CompleteWithEnter = Value.Contains(scoCompleteWithEnter);
}

void TQvBaseCompletionProposal::EditorCancelMode(TObject*)
{
    if (form_->DisplayKind() == ctParams)
        form_->Deactivate();
}

// ---- Rows ----------------------------------------------------------------------------------

void TQvBaseCompletionProposal::AddItem(const std::string& DisplayText, const std::string& InsertText)
{
    form_->ItemList()->Add(DisplayText);
    form_->InsertList()->Add(InsertText);
}

void TQvBaseCompletionProposal::AddItemAt(int Index, const std::string& DisplayText, const std::string& InsertText)
{
    // Both lists take the row or neither does.
    if (Index < 0 || Index > form_->ItemList()->Count() || Index > form_->InsertList()->Count())
        throw Exception("Cannot insert item at position " + IntToStr(Index));
    form_->ItemList()->Insert(Index, DisplayText);
    form_->InsertList()->Insert(Index, InsertText);
}

void TQvBaseCompletionProposal::ClearList()
{
    form_->ItemList()->Clear();
    form_->InsertList()->Clear();
}

std::string TQvBaseCompletionProposal::DisplayItem(int Index) const
{
    TStrings* items = form_->ItemList();
    return Index >= 0 && Index < items->Count() ? items->Strings(Index) : std::string();
}

std::string TQvBaseCompletionProposal::InsertItem(int Index) const
{
    TStrings* inserts = form_->InsertList();
    return Index >= 0 && Index < inserts->Count() ? inserts->Strings(Index) : std::string();
}

// ---- Opening --------------------------------------------------------------------------------

void TQvBaseCompletionProposal::Execute(const std::string& CurrentInput, int X, int Y)
{
    ExecuteEx(CurrentInput, X, Y, form_->DefaultKind());
}

void TQvBaseCompletionProposal::ExecuteEx(const std::string& CurrentInput, int X, int Y, QvCompletionType Kind)
{
    form_->SetDisplayKind(Kind);
    std::string input = CurrentInput;
    canExecute_ = true;
    if (OnExecute)
        OnExecute(Kind, this, input, X, Y, canExecute_);
    if (!canExecute_ || form_->ItemList()->Count() == 0) {
        if (Kind == ctParams && form_->Visible())
            form_->Deactivate();
        return;
    }
    form_->ResetAssignedList();
    if (Kind == ctCode) {
        form_->SetBounds(form_->Left(), form_->Top(), width_, form_->Height());
        form_->SetNbLinesInWindow(nbLinesInWindow_);
        form_->SetCurrentString(input);
    }
    form_->Place(X, Y, CaretLineHeight());
    form_->Activate();
}

void TQvBaseCompletionProposal::FormShown(TObject* Sender)
{
    if (OnShow)
        OnShow(Sender);
}

// A list the user resized opens with that size next time.
void TQvBaseCompletionProposal::FormClosed(TObject* Sender)
{
    if (form_->DisplayKind() == ctCode) {
        width_ = form_->Width();
        nbLinesInWindow_ = form_->NbLinesInWindow();
    }
    if (OnClose)
        OnClose(Sender);
}

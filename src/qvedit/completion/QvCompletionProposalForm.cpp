// The completion list window: construction, lists and filtering, the selection, showing,
// hiding, sizing and placement.
#include "qvedit/completion/QvCompletionProposalForm.h"

#include "platform/controls/StdCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/runtime/SysUtils.h"

#include <algorithm>

namespace {

// Measured for the item and title fonts alike.
constexpr const char* HeightSample = "CompletionProposal";

void SetDefaultFont(TFont& font, bool bold)
{
    font.SetName("MS Sans Serif");
    font.SetSize(8);
    if (bold) {
        font.SetStyle(fsBold);
        font.SetColor(clBtnText);
    }
}

// The number of parameters FormatParameterHint makes of a parameter list.
int ParameterCount(const std::string& parameters)
{
    TStringList list;
    list.SetCommaText(parameters);
    return list.Count();
}

}  // namespace

TQvBaseCompletionProposalForm::TQvBaseCompletionProposalForm(TComponent* AOwner)
    : TCustomPopupWindow(AOwner), itemList_(std::make_unique<TStringList>()),
      insertList_(std::make_unique<TStringList>()), assignedList_(std::make_unique<TStringList>()),
      scroll_(new TScrollBar(this)), itemBitmap_(std::make_unique<TBitmap>()),
      titleBitmap_(std::make_unique<TBitmap>()), measureBitmap_(std::make_unique<TBitmap>()), titleFont_(std::make_unique<TFont>()),
      columns_(std::make_unique<TProposalColumns>(this))
{
    measureBitmap_->SetSize(1, 1);
    SetDefaultFont(*Font(), false);
    SetDefaultFont(*titleFont_, true);
    SetColor(clWindow);
    itemList_->OnChange = TNotifyEvent(this, &TQvBaseCompletionProposalForm::ItemListChanged);
    scroll_->SetKind(sbVertical);
    scroll_->SetParent(this);
    scroll_->OnChange = TNotifyEvent(this, &TQvBaseCompletionProposalForm::ScrollBarChanged);
    SetBounds(0, 0, 260, 100);
}

TQvBaseCompletionProposalForm::~TQvBaseCompletionProposalForm()
{
    itemList_->OnChange = nullptr;
    scroll_->OnChange = nullptr;
    BeforeDestruction();
}

void TQvBaseCompletionProposalForm::CreateParams(TCreateParams& Params)
{
    TCustomPopupWindow::CreateParams(Params);
    // A list the user may resize has a sizing frame, a fixed one a thin raised frame;
    // hints and parameter lists paint their own frame.
    if (displayKind_ == ctCode)
        Params.Style |= resizeable_ ? WS_THICKFRAME : WS_DLGFRAME;
}

void TQvBaseCompletionProposalForm::WMGetDlgCode(TWMGetDlgCode& Message)
{
    Message.Result() = DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void TQvBaseCompletionProposalForm::WMEraseBkgnd(TWMEraseBkgnd& Message)
{
    Message.Result() = 1;  // the paint covers everything
}

// ---- Showing and hiding -----------------------------------------------------------------

void TQvBaseCompletionProposalForm::Activate()
{
    if (displayKind_ == ctCode) {
        // Opened again while open, the list is still the editor's focus control once only:
        // one Deactivate must give the editor its focus back.
        if (CurrentEditor != nullptr) {
            CurrentEditor->RemoveFocusControl(this);
            CurrentEditor->AddFocusControl(this);
        }
        Popup(paGrab);
    } else {
        Popup(paNoActivate);
        Repaint();
    }
}

void TQvBaseCompletionProposalForm::Deactivate()
{
    if (displayKind_ == ctCode && CurrentEditor != nullptr)
        CurrentEditor->RemoveFocusControl(this);
    Hide();
}

void TQvBaseCompletionProposalForm::SetVisible(bool Value)
{
    if (Value == Visible()) {
        TCustomPopupWindow::SetVisible(Value);
        return;
    }
    // The caret stays drawn in the editor while the list has the keyboard.
    if (Value && CurrentEditor != nullptr) {
        savedAlwaysShowCaret_ = CurrentEditor->AlwaysShowCaret();
        CurrentEditor->SetAlwaysShowCaret(CurrentEditor->Control()->Focused());
    }
    TCustomPopupWindow::SetVisible(Value);
    if (!Value && CurrentEditor != nullptr)
        CurrentEditor->SetAlwaysShowCaret(savedAlwaysShowCaret_);
    if (HasState(csDestroying))
        return;
    if (Value && OnShow)
        OnShow(this);
    if (!Value && OnClose)
        OnClose(this);
}

// A press outside the list closes it the way Escape does.
void TQvBaseCompletionProposalForm::Dismissed()
{
    TCustomPopupWindow::Dismissed();
    Cancel();
}

void TQvBaseCompletionProposalForm::Cancel()
{
    if (OnCancel)
        OnCancel(this);
}

void TQvBaseCompletionProposalForm::Validate(TShiftState Shift, char EndToken)
{
    if (OnValidate)
        OnValidate(this, Shift, EndToken);
}

void TQvBaseCompletionProposalForm::SendToEditor(TQvEditorCommand Command, char AChar)
{
    if (CurrentEditor != nullptr)
        CurrentEditor->ExecuteCommand(Command, AChar);
}

// ---- Lists and filtering ----------------------------------------------------------------

void TQvBaseCompletionProposalForm::SetItemList(TStrings* Value)
{
    itemList_->Assign(Value);
    ResetAssignedList();
    SetCurrentString(currentString_);
}

void TQvBaseCompletionProposalForm::SetInsertList(TStrings* Value)
{
    insertList_->Assign(Value);
}

void TQvBaseCompletionProposalForm::ResetAssignedList()
{
    assignedList_->Assign(itemList_.get());
    assignedIndex_.resize(static_cast<std::size_t>(itemList_->Count()));
    for (std::size_t i = 0; i < assignedIndex_.size(); ++i)
        assignedIndex_[i] = static_cast<int>(i);
    AdjustScrollBar();
}

int TQvBaseCompletionProposalForm::LogicalToPhysicalIndex(int Index) const
{
    if (Index < 0 || static_cast<std::size_t>(Index) >= assignedIndex_.size())
        return -1;
    return assignedIndex_[static_cast<std::size_t>(Index)];
}

bool TQvBaseCompletionProposalForm::MatchesCurrentString(const std::string& Row) const
{
    const std::string text = UsePrettyText && !UseInsertList ? StripFormatCommands(Row) : Row;
    // A row shorter than the typed text cannot begin with it.
    if (text.size() < currentString_.size())
        return false;
    const std::string_view head(text.data(), currentString_.size());
    if (AnsiStrings)
        return (CaseSensitive ? AnsiCompareStr(head, currentString_) : AnsiCompareText(head, currentString_)) == 0;
    return (CaseSensitive ? CompareStr(head, currentString_) : CompareText(head, currentString_)) == 0;
}

bool TQvBaseCompletionProposalForm::RowMatches(int I) const
{
    if (UseInsertList)
        return I < insertList_->Count() && MatchesCurrentString(insertList_->Strings(I));
    return MatchesCurrentString(itemList_->Strings(I));
}

void TQvBaseCompletionProposalForm::RebuildAssignedList()
{
    assignedList_->BeginUpdate();
    assignedList_->Clear();
    assignedIndex_.clear();
    for (int i = 0; i < itemList_->Count(); ++i) {
        if (!RowMatches(i))
            continue;
        assignedList_->Add(itemList_->Strings(i));
        assignedIndex_.push_back(i);
    }
    assignedList_->EndUpdate();
}

void TQvBaseCompletionProposalForm::SetCurrentString(const std::string& Value)
{
    currentString_ = Value;
    if (displayKind_ != ctCode)
        return;
    if (LimitToMatchedText) {
        RebuildAssignedList();
        position_ = 0;
        AdjustScrollBar();
        ScrollTo(0);
        Invalidate();
        return;
    }
    int first = 0;
    while (first < itemList_->Count() && !RowMatches(first))
        ++first;
    SetPosition(first < itemList_->Count() ? first : 0);
}

bool TQvBaseCompletionProposalForm::DropLastFilterCharacter()
{
    if (currentString_.empty())
        return false;
    SetCurrentString(currentString_.substr(0, currentString_.size() - 1));
    return true;
}

void TQvBaseCompletionProposalForm::ItemListChanged(TObject*)
{
    AdjustScrollBar();
}

// ---- Selection ---------------------------------------------------------------------------

void TQvBaseCompletionProposalForm::SetPosition(int Value)
{
    Value = std::max(Value, 0);
    if (Value == position_ || Value > LastRow())
        return;
    position_ = Value;
    const int top = scroll_->Position();
    if (Value < top)
        ScrollTo(Value);
    else if (Value > top + nbLinesInWindow_ - 1)
        ScrollTo(Value - nbLinesInWindow_ + 1);
    if (Visible() && OnChange && displayKind_ == ctCode)
        OnChange(Owner(), LogicalToPhysicalIndex(Value));
    Invalidate();
}

void TQvBaseCompletionProposalForm::MoveLine(int Delta)
{
    const int count = assignedList_->Count();
    if (Delta >= 1)
        SetPosition(count - Delta <= position_ ? count - 1 : position_ + Delta);
    else
        SetPosition(position_ + Delta < 1 ? 0 : position_ + Delta);
}

// ---- Look and size ------------------------------------------------------------------------

void TQvBaseCompletionProposalForm::SetNbLinesInWindow(int Value)
{
    nbLinesInWindow_ = std::max(Value, 1);
    AdjustScrollBar();
}

void TQvBaseCompletionProposalForm::SetTitle(const std::string& Value)
{
    title_ = Value;
    Resize();
    Invalidate();
}

void TQvBaseCompletionProposalForm::SetTitleFont(TFont* Value)
{
    titleFont_->Assign(Value);
    Resize();
    Invalidate();
}

void TQvBaseCompletionProposalForm::SetResizeable(bool Value)
{
    if (resizeable_ == Value)
        return;
    resizeable_ = Value;
    RecreateWnd();
}

void TQvBaseCompletionProposalForm::SetDisplayKind(QvCompletionType Value)
{
    if (displayKind_ == Value)
        return;
    displayKind_ = Value;
    RecreateWnd();
}

void TQvBaseCompletionProposalForm::SetItemHeight(int Value)
{
    itemHeight_ = Value;
    Resize();
    Invalidate();
}

void TQvBaseCompletionProposalForm::SetColumns(TProposalColumns* Value)
{
    columns_->Assign(Value);
}

int TQvBaseCompletionProposalForm::TextHeightOf(TFont* font) const
{
    TCanvas* canvas = measureBitmap_->GetCanvas();
    canvas->SetFont(font);
    return canvas->TextHeight(HeightSample);
}

int TQvBaseCompletionProposalForm::EffectiveItemHeight() const
{
    return itemHeight_ >= 1 ? itemHeight_ : std::max(TextHeightOf(Font()), 1);
}

int TQvBaseCompletionProposalForm::TitleHeight() const
{
    return title_.empty() ? 0 : TextHeightOf(titleFont_.get()) + 4;
}

void TQvBaseCompletionProposalForm::Resize()
{
    TCustomPopupWindow::Resize();
    const int titleHeight = TitleHeight();
    // A list shrunk by the user still shows one row when it opens again.
    nbLinesInWindow_ = std::max((ClientHeight() - titleHeight) / EffectiveItemHeight(), 1);
    const int barWidth = displayKind_ == ctCode ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    scroll_->SetBounds(ClientWidth() - barWidth, titleHeight, barWidth, std::max(ClientHeight() - titleHeight, 0));
    itemBitmap_->SetSize(std::max(ClientWidth() - barWidth, 1), std::max(ClientHeight() - titleHeight, 1));
    titleBitmap_->SetSize(std::max(ClientWidth(), 1), std::max(titleHeight, 1));
    AdjustScrollBar();
}

void TQvBaseCompletionProposalForm::AdjustScrollBar()
{
    if (adjustingScroll_)
        return;
    adjustingScroll_ = true;
    const int hidden = assignedList_->Count() - nbLinesInWindow_;
    // Positions are the first shown row; the page, a window of rows, sizes the thumb.
    scroll_->SetParams(std::clamp(scroll_->Position(), 0, std::max(hidden, 0)), 0, std::max(hidden, 0));
    scroll_->SetPageSize(nbLinesInWindow_);
    scroll_->SetLargeChange(nbLinesInWindow_);
    scroll_->SetEnabled(hidden > 0);
    scroll_->SetVisible(displayKind_ == ctCode);
    adjustingScroll_ = false;
    Invalidate();
}

void TQvBaseCompletionProposalForm::ScrollTo(int Top)
{
    adjustingScroll_ = true;
    scroll_->SetPosition(Top);
    adjustingScroll_ = false;
}

// The user moved the bar: the selection follows when it scrolled out of sight. The
// keyboard stays with the list (the editor's focus goes to the list while it is open).
void TQvBaseCompletionProposalForm::ScrollBarChanged(TObject*)
{
    if (adjustingScroll_)
        return;
    const int top = scroll_->Position();
    if (position_ < top)
        SetPosition(top);
    else if (position_ > top + nbLinesInWindow_ - 1)
        SetPosition(top + nbLinesInWindow_ - 1);
    else
        Invalidate();
    if (Visible() && displayKind_ == ctCode && !Focused() && CanFocus())
        SetFocus();
}

// ---- Placement ---------------------------------------------------------------------------

int TQvBaseCompletionProposalForm::HintWidth()
{
    TCanvas& canvas = *measureBitmap_->GetCanvas();
    canvas.SetFont(Font());
    int widest = 0;
    for (int i = 0; i < assignedList_->Count(); ++i) {
        const std::string item = assignedList_->Strings(i);
        int width = 0;
        if (displayKind_ == ctParams) {
            const int count = ParameterCount(item);
            for (int p = 0; p < std::max(count, 1); ++p)
                width = std::max(width, FormattedTextWidth(canvas, FormatParameterHint(item, p), columns_.get(), images_));
            if (OnMeasureItem)
                OnMeasureItem(this, LogicalToPhysicalIndex(i), canvas, width);
        } else {
            width = FormattedTextWidth(canvas, item, columns_.get(), images_);
        }
        widest = std::max(widest, width);
    }
    return widest + 2 * margin_ + 2;
}

void TQvBaseCompletionProposalForm::Place(int X, int Y, int LineHeight)
{
    int width = Width();
    int height = 0;
    if (displayKind_ == ctCode) {
        height = EffectiveItemHeight() * nbLinesInWindow_ + TitleHeight() + 2 * GetSystemMetrics(SM_CYSIZEFRAME);
    } else {
        height = assignedList_->Count() * EffectiveItemHeight() + 2 + 2 * margin_;
        width = HintWidth();
    }
    const TRect screen = Screen->MonitorRect({X, Y});
    if (X + width > screen.Right)
        X = std::max(X - width, static_cast<int>(screen.Left));
    if (Y + height > screen.Bottom)
        Y = std::max(Y - height - LineHeight - 2, static_cast<int>(screen.Top));
    SetBounds(X, Y, width, height);
}

// The completion component bound to editors: the shortcut and the trigger timer, the text
// typed before the caret, the command hook, and inserting the picked row as one undo step.
#include "qvedit/completion/QvCompletionProposal.h"

#include "platform/forms/Forms.h"
#include "platform/runtime/SysUtils.h"
#include "platform/window/Keys.h"
#include "qvedit/editor/QvEdit.h"

#include <algorithm>

namespace {

Integer LineLength(const std::string& Line)
{
    return static_cast<Integer>(Line.size());
}

bool IsTriggerChar(const std::string& TriggerChars, char C)
{
    return C != '\0' && TriggerChars.find(C) != std::string::npos;
}

}  // namespace

// What the list window needs of one bound editor.
class TQvCompletionProposal::TEditorLink : public TQvCompletionEditorLink {
public:
    explicit TEditorLink(TCustomQvEdit* AEditor) : Editor(AEditor) {}

    TWinControl* Control() override { return Editor; }
    void ExecuteCommand(TQvEditorCommand Command, char AChar) override
    {
        Editor->CommandProcessor(Command, AChar, nullptr);
    }
    char CharRightOfCaret() override
    {
        const std::string line = Editor->GetLineText();
        const Integer x = Editor->GetCaretX();
        return x >= 1 && x <= LineLength(line) ? line[static_cast<std::size_t>(x - 1)] : ' ';
    }
    bool AlwaysShowCaret() override { return Editor->GetAlwaysShowCaret(); }
    void SetAlwaysShowCaret(bool Value) override { Editor->SetAlwaysShowCaret(Value); }
    void AddFocusControl(TWinControl* AControl) override { Editor->AddFocusControl(AControl); }
    void RemoveFocusControl(TWinControl* AControl) override { Editor->RemoveFocusControl(AControl); }

    TCustomQvEdit* const Editor;
};

TQvCompletionProposal::TQvCompletionProposal(TComponent* AOwner) : TQvBaseCompletionProposal(AOwner)
{
    SetEndOfTokenChr("()[]. ");
    SetTriggerChars(".");
    SetOptions(QvDefaultCompletionOptions);
    form_->OnKeyPress = TKeyPressEvent(this, &TQvCompletionProposal::HandleOnKeyPress);
    form_->OnValidate = TValidateEvent(this, &TQvCompletionProposal::HandleOnValidate);
    form_->OnCancel = TNotifyEvent(this, &TQvCompletionProposal::HandleOnCancel);
}

TQvCompletionProposal::~TQvCompletionProposal()
{
    CloseList();
    while (!links_.empty())
        RemoveEditor(links_.back()->Editor);
    BeforeDestruction();
}

// ---- Editors -------------------------------------------------------------------------------

TQvCompletionProposal::TEditorLink* TQvCompletionProposal::LinkOf(TCustomQvEdit* AEditor) const
{
    for (const auto& link : links_)
        if (link->Editor == AEditor)
            return link.get();
    return nullptr;
}

TCustomQvEdit* TQvCompletionProposal::CurrentEditor() const
{
    for (const auto& link : links_)
        if (link.get() == form_->CurrentEditor)
            return link->Editor;
    return nullptr;
}

void TQvCompletionProposal::SetCurrentEditor(TCustomQvEdit* AEditor)
{
    form_->CurrentEditor = LinkOf(AEditor);
}

void TQvCompletionProposal::SetEditor(TCustomQvEdit* Value)
{
    if (Value == editor_)
        return;
    if (editor_ != nullptr)
        RemoveEditor(editor_);
    AddEditor(Value);
    editor_ = Value;
}

void TQvCompletionProposal::AddEditor(TCustomQvEdit* AEditor)
{
    if (AEditor == nullptr || LinkOf(AEditor) != nullptr)
        return;
    AEditor->FreeNotification(this);
    links_.push_back(std::make_unique<TEditorLink>(AEditor));
    AEditor->AddKeyDownHandler(TKeyEvent(this, &TQvCompletionProposal::EditorKeyDown));
    AEditor->AddKeyPressHandler(TKeyPressEvent(this, &TQvCompletionProposal::EditorKeyPress));
    AEditor->RegisterCommandHandler(THookedCommandEvent(this, &TQvCompletionProposal::HookedEditorCommand), nullptr);
}

void TQvCompletionProposal::RemoveEditor(TCustomQvEdit* AEditor)
{
    TEditorLink* link = LinkOf(AEditor);
    if (link == nullptr)
        return;
    if (form_->CurrentEditor == link) {
        if (form_->Visible())
            CancelCompletion();
        form_->CurrentEditor = nullptr;
    }
    AEditor->RemoveKeyDownHandler(TKeyEvent(this, &TQvCompletionProposal::EditorKeyDown));
    AEditor->RemoveKeyPressHandler(TKeyPressEvent(this, &TQvCompletionProposal::EditorKeyPress));
    AEditor->UnregisterCommandHandler(THookedCommandEvent(this, &TQvCompletionProposal::HookedEditorCommand));
    AEditor->RemoveFreeNotification(this);
    std::erase_if(links_, [&](const auto& l) { return l.get() == link; });
    if (editor_ == AEditor)
        editor_ = nullptr;
}

void TQvCompletionProposal::Notification(TComponent* AComponent, TOperation Operation)
{
    TQvBaseCompletionProposal::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    for (const auto& link : links_) {
        if (static_cast<TComponent*>(link->Editor) == AComponent) {
            RemoveEditor(link->Editor);
            return;
        }
    }
}

int TQvCompletionProposal::CaretLineHeight() const
{
    const TCustomQvEdit* editor = CurrentEditor();
    return editor != nullptr ? editor->GetLineHeight() : 0;
}

// ---- Options and the timer ---------------------------------------------------------------

void TQvCompletionProposal::SetOptions(TQvCompletionOptions Value)
{
    TQvBaseCompletionProposal::SetOptions(Value);
    if (Value.Contains(scoUseBuiltInTimer) && timer_ == nullptr) {
        timer_ = new TTimer(this);
        timer_->SetEnabled(false);
        timer_->SetInterval(timerInterval_);
        timer_->OnTimer = TNotifyEvent(this, &TQvCompletionProposal::TimerExecute);
    } else if (!Value.Contains(scoUseBuiltInTimer) && timer_ != nullptr) {
        delete timer_;
        timer_ = nullptr;
    }
}

void TQvCompletionProposal::SetTimerInterval(Cardinal Value)
{
    timerInterval_ = Value;
    if (timer_ != nullptr)
        timer_->SetInterval(Value);
}

void TQvCompletionProposal::StopTimer()
{
    if (timer_ != nullptr)
        timer_->SetEnabled(false);
}

void TQvCompletionProposal::TimerExecute(TObject*)
{
    StopTimer();
    if (!Application->Active()) {
        if (form_->Visible())
            form_->Deactivate();
        return;
    }
    if (TCustomQvEdit* editor = CurrentEditor())
        DoExecute(editor);
}

// ---- Keys and commands in the editors ---------------------------------------------------

void TQvCompletionProposal::EditorKeyDown(TObject* Sender, Word& Key, TShiftState Shift)
{
    // A character awaited from an earlier key that typed none is not coming any more.
    swallowNextChar_ = false;
    auto* editor = dynamic_cast<TCustomQvEdit*>(Sender);
    Word key = 0;
    TShiftState shift = 0;
    ShortCutToKey(shortCut_, key, shift);
    if (shortCut_ == scNone || editor == nullptr || Key != key || Shift != shift || editor->GetReadOnly())
        return;
    SetCurrentEditor(editor);
    Key = 0;
    // The shortcut's own character (the blank of Ctrl+Space) still comes to the editor.
    swallowNextChar_ = DoExecute(editor) && form_->DefaultKind() == ctCode;
}

void TQvCompletionProposal::EditorKeyPress(TObject* Sender, char& Key)
{
    if (swallowNextChar_) {
        swallowNextChar_ = false;
        Key = '\0';
        return;
    }
    if (timer_ == nullptr)
        return;
    StopTimer();
    if (IsTriggerChar(TriggerChars(), Key)) {
        SetCurrentEditor(dynamic_cast<TCustomQvEdit*>(Sender));
        timer_->SetEnabled(true);
    }
}

void TQvCompletionProposal::HookedEditorCommand(TObject* Sender, bool AfterProcessing, bool&,
                                                TQvEditorCommand& Command, char& AChar, void*, void*)
{
    if (!form_->Visible()) {
        if (Command != ecChar || !IsTriggerChar(TriggerChars(), AChar))
            StopTimer();
        return;
    }
    if (!AfterProcessing)
        return;
    if (form_->DisplayKind() == ctHint) {
        CancelCompletion();
    } else if (form_->DisplayKind() == ctParams) {
        const bool ends = (Command == ecChar && AChar == '\x1B') || Command == QvEditFocusGainedCommand ||
                          Command == QvEditFocusLostCommand;
        if (ends)
            CancelCompletion();
        else if (auto* editor = dynamic_cast<TCustomQvEdit*>(Sender))
            DoExecute(editor);
    }
}

// ---- Opening -----------------------------------------------------------------------------

void TQvCompletionProposal::ActivateCompletion()
{
    DoExecute(editor_);
}

void TQvCompletionProposal::ExecuteEx(const std::string& CurrentInput, int X, int Y, QvCompletionType Kind)
{
    TQvBaseCompletionProposal::ExecuteEx(CurrentInput, X, Y, Kind);
    StopTimer();
}

bool TQvCompletionProposal::DoExecute(TCustomQvEdit* AEditor)
{
    if (AEditor == nullptr || LinkOf(AEditor) == nullptr || AEditor->GetReadOnly())
        return false;
    TPoint point;
    if (form_->DefaultKind() == ctHint)
        GetCursorPos(&point);
    else
        point = AEditor->ClientToScreen(
            TPoint{AEditor->CaretXPix(), AEditor->CaretYPix() + AEditor->GetLineHeight()});
    SetCurrentEditor(AEditor);
    BuildEndOfTokenSet(AEditor);
    previousToken_ = ReadPreviousToken(AEditor);
    const std::string input = GetCurrentInput(AEditor);
    ExecuteEx(input, point.X, point.Y, form_->DefaultKind());
    return canExecute_;
}

void TQvCompletionProposal::BuildEndOfTokenSet(TCustomQvEdit* AEditor)
{
    TQvCharSet chars;
    if (Options().Contains(scoConsiderWordBreakChars)) {
        const TQvCustomHighlighter* highlighter = AEditor->GetHighlighter();
        chars = highlighter != nullptr ? highlighter->GetWordBreakChars() : DefaultWordBreakChars();
    }
    for (char c : EndOfTokenChr())
        chars.Include(c);
    form_->EndOfToken.reset();
    for (int c = 0; c < 256; ++c)
        if (chars.Contains(static_cast<char>(c)))
            form_->EndOfToken.set(static_cast<std::size_t>(c));
}

std::string TQvCompletionProposal::ReadPreviousToken(TCustomQvEdit* AEditor) const
{
    const std::string line = AEditor->GetLineText();
    const auto ends = [&](Integer i) {
        const char c = line[static_cast<std::size_t>(i - 1)];
        return c == ' ' || c == '\t' || form_->EndOfToken.test(static_cast<unsigned char>(c));
    };
    // i is the 1-based index of the character looked at, left of the caret.
    Integer i = std::min(AEditor->GetCaretX() - 1, LineLength(line));
    if (i >= 1 && form_->EndOfToken.test(static_cast<unsigned char>(line[static_cast<std::size_t>(i - 1)])))
        --i;
    const Integer last = i;
    while (i >= 1 && !ends(i))
        --i;
    return line.substr(static_cast<std::size_t>(i), static_cast<std::size_t>(last - i));
}

std::string TQvCompletionProposal::GetCurrentInput(TCustomQvEdit* AEditor)
{
    const std::string line = AEditor->GetLineText();
    const Integer caretX = AEditor->GetCaretX();
    if (caretX > LineLength(line) + 1) {
        // Past the line's end the editor may fill the gap with tabs once text is typed
        // there: the display column is what stays put until the row is inserted.
        completionStart_ = AEditor->DisplayX();
        startIsDisplayColumn_ = true;
        return std::string();
    }
    Integer i = caretX - 1;
    while (i >= 1) {
        const auto c = static_cast<unsigned char>(line[static_cast<std::size_t>(i - 1)]);
        if (c <= ' ' || form_->EndOfToken.test(c))
            break;
        --i;
    }
    completionStart_ = i + 1;
    startIsDisplayColumn_ = false;
    return line.substr(static_cast<std::size_t>(i), static_cast<std::size_t>(caretX - 1 - i));
}

// ---- The list's handlers -------------------------------------------------------------------

void TQvCompletionProposal::HandleOnKeyPress(TObject*, char& Key)
{
    TCustomQvEdit* editor = CurrentEditor();
    if (editor == nullptr)
        return;
    editor->CommandProcessor(ecChar, Key, nullptr);
    // Input stays waiting: the next key must not be handled inside this one.
    Application->ProcessMessagesExceptInput();
    // "." right after a completion opens the list again.
    if (IsTriggerChar(TriggerChars(), Key) && !form_->Visible())
        DoExecute(CurrentEditor());
}

std::string TQvCompletionProposal::PickedValue(char EndToken, const std::string& SelectedText) const
{
    const int row = form_->Position();
    const int index = form_->LogicalToPhysicalIndex(row);
    if (index < 0 || (EndToken != '\0' && !Options().Contains(scoEndCharCompletion)))
        return SelectedText;
    if (!Options().Contains(scoUseInsertList))
        return form_->AssignedList()->Strings(row);
    return index < InsertList()->Count() ? InsertList()->Strings(index) : SelectedText;
}

void TQvCompletionProposal::HandleOnValidate(TObject*, TShiftState Shift, char EndToken)
{
    TCustomQvEdit* editor = CurrentEditor();
    if (editor == nullptr) {
        CloseList();
        return;
    }
    TQvPaintLockScope lock(*editor);
    editor->BeginUndoBlock();
    // The typed text is replaced as a stream, whatever selection mode the user chose.
    const TQvSelectionMode savedMode = editor->GetSelectionMode();
    try {
        editor->SetSelectionMode(smNormal);
        const TPoint caret = editor->GetCaretXY();
        if (startIsDisplayColumn_) {
            completionStart_ = editor->PhysicalToLogicalPos(TPoint{completionStart_, caret.Y}).X;
            startIsDisplayColumn_ = false;
        }
        // Without an end token the rest of the word right of the caret goes too; past the
        // line's end there is none.
        TPoint blockEnd = EndToken != '\0' ? caret : editor->WordEnd();
        if (blockEnd.X < caret.X)
            blockEnd = caret;
        editor->SetBlockBegin(TPoint{std::min(completionStart_, caret.X), caret.Y});
        editor->SetBlockEnd(blockEnd);
        const std::string selected = editor->GetSelText();
        std::string value = PickedValue(EndToken, selected);
        const int index = form_->LogicalToPhysicalIndex(form_->Position());
        if (OnCodeCompletion)
            OnCodeCompletion(this, value, Shift, index, EndToken);
        if (selected != value)
            editor->SetSelTextExternal(value);
        CloseList();
        if (editor->CanFocus())
            editor->SetFocus();
        editor->EnsureCursorPosVisible();
        editor->SetCaretXY(editor->GetBlockEnd());
        editor->SetSelectionMode(savedMode);
        if (OnAfterCodeCompletion)
            OnAfterCodeCompletion(this, value, Shift, index, EndToken);
    } catch (...) {
        editor->SetSelectionMode(savedMode);
        editor->EndUndoBlock();
        throw;
    }
    editor->EndUndoBlock();
}

void TQvCompletionProposal::HandleOnCancel(TObject*)
{
    TCustomQvEdit* editor = CurrentEditor();
    CloseList();
    if (editor != nullptr)
        FocusEditor(editor);
    if (OnCancelled)
        OnCancelled(this);
}

void TQvCompletionProposal::FocusEditor(TCustomQvEdit* AEditor)
{
    if (AEditor->HasState(csDestroying))
        return;
    if (auto* owner = dynamic_cast<TWinControl*>(AEditor->Owner()); owner != nullptr && owner->Visible() && owner->CanFocus())
        owner->SetFocus();
    if (AEditor->CanFocus())
        AEditor->SetFocus();
}

// ---- Closing -------------------------------------------------------------------------------

void TQvCompletionProposal::CloseList()
{
    StopTimer();
    swallowNextChar_ = false;
    // Also when a press outside hid the list already: it stops being the focus control.
    form_->Deactivate();
}

void TQvCompletionProposal::CancelCompletion()
{
    CloseList();
    if (OnCancelled)
        OnCancelled(this);
}

void TQvCompletionProposal::EditorCancelMode(TObject*)
{
    if (form_->DisplayKind() == ctParams)
        CancelCompletion();
}

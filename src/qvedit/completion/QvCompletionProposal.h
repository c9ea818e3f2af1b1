// The completion component: a non-visual component that owns a completion list window and
// opens it at a screen point (TQvBaseCompletionProposal), and its binding to editors
// (TQvCompletionProposal). Bound to an editor it opens the list on its shortcut or, a
// moment after a trigger character, finds the text already typed before the caret, and
// replaces that text by the row the user picks, as one undo step.
#pragma once

#include "platform/window/Timer.h"
#include "qvedit/completion/QvCompletionProposalForm.h"
#include "qvedit/core/QvEditTypes.h"

#include <memory>
#include <string>
#include <vector>

class TCustomQvEdit;

enum TQvCompletionOption {
    scoAnsiStrings,             // filtering compares by the locale
    scoCaseSensitive,           // filtering is case-sensitive
    scoLimitToMatchedText,      // the list shows only the matching rows
    scoTitleIsCentered,
    scoUseInsertList,           // rows are matched and inserted by their InsertList text
    scoUsePrettyText,           // rows are formatted text
    scoUseBuiltInTimer,         // a trigger character opens the list after TimerInterval
    scoEndCharCompletion,       // an end-of-token character typed into the list inserts the row
    scoConsiderWordBreakChars,  // the highlighter's word-break characters also end a token
    scoCompleteWithTab,
    scoCompleteWithEnter,
};
using TQvCompletionOptions = TSet<TQvCompletionOption, 16>;

inline constexpr TQvCompletionOptions QvDefaultCompletionOptions{
    scoLimitToMatchedText, scoEndCharCompletion, scoCompleteWithTab, scoCompleteWithEnter};

using TCompletionExecute = TEvent<void(QvCompletionType Kind, TObject* Sender, std::string& CurrentInput,
                                       int& X, int& Y, bool& CanExecute)>;
using TCodeCompletionEvent =
    TEvent<void(TObject* Sender, std::string& Value, TShiftState Shift, int Index, char EndToken)>;
using TAfterCodeCompletionEvent =
    TEvent<void(TObject* Sender, const std::string& Value, TShiftState Shift, int Index, char EndToken)>;

class TQvBaseCompletionProposal : public TComponent {
public:
    explicit TQvBaseCompletionProposal(TComponent* AOwner);
    ~TQvBaseCompletionProposal() override;

    // The list window (owned).
    TQvBaseCompletionProposalForm* Form() const { return form_; }

    // Opens the window of the default kind at the screen point (X, Y).
    void Execute(const std::string& CurrentInput, int X, int Y);
    // Opens the window of Kind: OnExecute may change the input and the point or refuse;
    // nothing opens when it refuses or the list has no rows.
    virtual void ExecuteEx(const std::string& CurrentInput, int X, int Y, QvCompletionType Kind);
    void Activate() { form_->Activate(); }
    void Deactivate() { form_->Deactivate(); }

    TQvCompletionOptions Options() const { return options_; }
    virtual void SetOptions(TQvCompletionOptions Value);
    // Cancels a parameter list (the editor's cancel mode).
    virtual void EditorCancelMode(TObject* Sender);

    // ---- Rows ----------------------------------------------------------------------------
    TStrings* ItemList() const { return form_->ItemList(); }
    void SetItemList(TStrings* Value) { form_->SetItemList(Value); }
    TStrings* InsertList() const { return form_->InsertList(); }
    void SetInsertList(TStrings* Value) { form_->SetInsertList(Value); }
    void AddItem(const std::string& DisplayText, const std::string& InsertText);
    // Raises when Index is outside 0 .. the row count; then neither list changes.
    void AddItemAt(int Index, const std::string& DisplayText, const std::string& InsertText);
    void ClearList();
    // The display and insertion texts of row Index of ItemList ("" for no such row).
    std::string DisplayItem(int Index) const;
    std::string InsertItem(int Index) const;

    // ---- What the window shows -------------------------------------------------------
    const std::string& CurrentString() const { return form_->CurrentString(); }
    void SetCurrentString(const std::string& Value) { form_->SetCurrentString(Value); }
    int Position() const { return form_->Position(); }
    void SetPosition(int Value) { form_->SetPosition(Value); }
    QvCompletionType DisplayKind() const { return form_->DisplayKind(); }
    void SetDisplayKind(QvCompletionType Value) { form_->SetDisplayKind(Value); }
    QvCompletionType DefaultType() const { return form_->DefaultKind(); }
    void SetDefaultType(QvCompletionType Value) { form_->SetDefaultKind(Value); }
    // The list's size, kept when the user resizes it (written back when it hides).
    int Width() const { return width_; }
    void SetWidth(int Value) { width_ = Value; }
    int NbLinesInWindow() const { return nbLinesInWindow_; }
    void SetNbLinesInWindow(int Value) { nbLinesInWindow_ = Value; }
    const std::string& EndOfTokenChr() const { return form_->EndOfTokenChr; }
    void SetEndOfTokenChr(const std::string& Value) { form_->EndOfTokenChr = Value; }
    const std::string& TriggerChars() const { return form_->TriggerChars; }
    void SetTriggerChars(const std::string& Value) { form_->TriggerChars = Value; }
    const std::string& Title() const { return form_->Title(); }
    void SetTitle(const std::string& Value) { form_->SetTitle(Value); }
    // The previous token: the word before the text typed so far, for event handlers.
    const std::string& PreviousToken() const { return previousToken_; }

    // OnShow and OnClose get the window as Sender.
    TNotifyEvent OnShow;
    TNotifyEvent OnClose;
    TCompletionExecute OnExecute;

protected:
    // The line height of the editor the window opens for (0 without one): a window that
    // would pass the screen's bottom opens above that line.
    virtual int CaretLineHeight() const { return 0; }

    TQvBaseCompletionProposalForm* form_;  // owned as a component
    std::string previousToken_;
    bool canExecute_ = false;

private:
    void FormShown(TObject* Sender);
    void FormClosed(TObject* Sender);

    int width_ = 260;
    int nbLinesInWindow_ = 8;
    TQvCompletionOptions options_ = QvDefaultCompletionOptions;
};

class TQvCompletionProposal : public TQvBaseCompletionProposal {
public:
    explicit TQvCompletionProposal(TComponent* AOwner);
    ~TQvCompletionProposal() override;

    void ExecuteEx(const std::string& CurrentInput, int X, int Y, QvCompletionType Kind) override;
    void SetOptions(TQvCompletionOptions Value) override;
    void EditorCancelMode(TObject* Sender) override;

    // The editor bound last (setting it unbinds the previous one).
    TCustomQvEdit* Editor() const { return editor_; }
    void SetEditor(TCustomQvEdit* Value);
    void AddEditor(TCustomQvEdit* AEditor);
    void RemoveEditor(TCustomQvEdit* AEditor);
    int EditorCount() const { return static_cast<int>(links_.size()); }

    // The key that opens the list in a bound editor; 0 for none.
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut Value) { shortCut_ = Value; }
    Cardinal TimerInterval() const { return timerInterval_; }
    void SetTimerInterval(Cardinal Value);
    // The built-in timer, present with scoUseBuiltInTimer.
    TTimer* Timer() const { return timer_; }

    // Opens the list for Editor, as its shortcut does.
    void ActivateCompletion();
    void CancelCompletion();

    // The handlers every bound editor runs for its keys; an owner that binds the component
    // while a key is being handled passes that key on to them.
    void EditorKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void EditorKeyPress(TObject* Sender, char& Key);

    TCodeCompletionEvent OnCodeCompletion;
    TAfterCodeCompletionEvent OnAfterCodeCompletion;
    TNotifyEvent OnCancelled;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    int CaretLineHeight() const override;
    // Opens the window for AEditor at its caret, with the text typed before the caret;
    // true unless OnExecute refused.
    bool DoExecute(TCustomQvEdit* AEditor);
    void HookedEditorCommand(TObject* Sender, bool AfterProcessing, bool& Handled, TQvEditorCommand& Command,
                             char& AChar, void* Data, void* HandlerData);

private:
    class TEditorLink;

    void TimerExecute(TObject* Sender);
    // The window's handlers.
    void HandleOnKeyPress(TObject* Sender, char& Key);
    void HandleOnValidate(TObject* Sender, TShiftState Shift, char EndToken);
    void HandleOnCancel(TObject* Sender);

    TEditorLink* LinkOf(TCustomQvEdit* AEditor) const;
    // The editor the window works for now.
    TCustomQvEdit* CurrentEditor() const;
    void SetCurrentEditor(TCustomQvEdit* AEditor);
    void BuildEndOfTokenSet(TCustomQvEdit* AEditor);
    std::string ReadPreviousToken(TCustomQvEdit* AEditor) const;
    std::string GetCurrentInput(TCustomQvEdit* AEditor);
    // The value a validation inserts: the picked row, or the selected text itself.
    std::string PickedValue(char EndToken, const std::string& SelectedText) const;
    // Timer off, nothing to swallow, the window closed.
    void CloseList();
    void StopTimer();
    // Gives the focus back to the editor (and first to its form).
    static void FocusEditor(TCustomQvEdit* AEditor);

    std::vector<std::unique_ptr<TEditorLink>> links_;
    TCustomQvEdit* editor_ = nullptr;
    TShortCut shortCut_ = scCtrl | VK_SPACE;
    bool swallowNextChar_ = false;
    Integer completionStart_ = 1;
    bool startIsDisplayColumn_ = false;
    TTimer* timer_ = nullptr;  // owned as a component
    Cardinal timerInterval_ = 1000;
};

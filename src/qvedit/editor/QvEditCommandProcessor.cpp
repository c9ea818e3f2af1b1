// Key input and the command processor. A key becomes a command through the key map (one
// stroke, or two for a chord); a typed character becomes ecChar. Every command, whatever
// its source, passes CommandProcessor: the application's events and the registered hooks
// see it, may change it or swallow it, before and after the editor executes it.
#include "qvedit/editor/QvEdit.h"

#include <algorithm>
#include <iterator>

namespace {

// Unbound keys in this range (VK_ACCEPT .. VK_SCROLL) may start a two-stroke binding.
constexpr Word FirstChordKey = 30;
constexpr Word LastChordKey = 145;

}  // namespace

// ---- Keys ------------------------------------------------------------------------------------

void TCustomQvEdit::KeyDown(Word& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    kbdHandler_->ExecuteKeyDown(this, Key, Shift);
    // No binding of this system supplies command data, so there is none to free after.
    void* data = nullptr;
    const TQvEditorCommand command = TranslateKeyCode(Key, Shift, data);
    if (command != ecNone) {
        Key = 0;
        stateFlags_.Include(sfIgnoreNextChar);
        CommandProcessor(command, '\0', data);
    } else {
        stateFlags_.Exclude(sfIgnoreNextChar);
    }
}

void TCustomQvEdit::KeyUp(Word& Key, TShiftState Shift)
{
    TCustomControl::KeyUp(Key, Shift);
    kbdHandler_->ExecuteKeyUp(this, Key, Shift);
}

bool TCustomQvEdit::HasImeCharsToSkip()
{
    if (imeCount_ <= 0)
        return false;
    --imeCount_;
    return true;
}

void TCustomQvEdit::KeyPress(char& Key)
{
    if (HasImeCharsToSkip())
        return;
    if (stateFlags_.Contains(sfIgnoreNextChar)) {
        stateFlags_.Exclude(sfIgnoreNextChar);
        return;
    }
    TCustomControl::KeyPress(Key);
    kbdHandler_->ExecuteKeyPress(this, Key);
    CommandProcessor(ecChar, Key, nullptr);
}

TQvEditorCommand TCustomQvEdit::TranslateKeyCode(Word Code, TShiftState Shift, void*& Data)
{
    TQvEditorCommand command = ecNone;
    int index = -1;
    if (lastKey_ != 0)
        index = keystrokes_->FindKeycode2(lastKey_, lastShiftState_, Code, Shift);
    if (index < 0)
        index = keystrokes_->FindKeycode(Code, Shift);
    if (index >= 0)
        command = keystrokes_->GetItem(index)->GetCommand();
    if (command == ecNone && Code >= FirstChordKey && Code <= LastChordKey) {
        lastKey_ = Code;
        lastShiftState_ = Shift;
    } else {
        lastKey_ = 0;
        lastShiftState_ = 0;
    }
    Data = nullptr;
    return command;
}

// ---- The command processor ---------------------------------------------------------------------

void TCustomQvEdit::CommandProcessor(TQvEditorCommand Command, char AChar, void* Data)
{
    DoOnProcessCommand(Command, AChar, Data);
    if (Command != ecNone) {
        NotifyHookedCommandHandlers(false, Command, AChar, Data);
        if (Command >= 1 && Command < ecUserFirst)
            ExecuteCommand(Command, AChar, Data);
        if (Command != ecNone)
            NotifyHookedCommandHandlers(true, Command, AChar, Data);
    }
    DoOnCommandProcessed(Command, AChar, Data);
}

void TCustomQvEdit::DoOnProcessCommand(TQvEditorCommand& Command, char& AChar, void* Data)
{
    if (Command < ecUserFirst) {
        if (OnProcessCommand)
            OnProcessCommand(this, Command, AChar, Data);
    } else if (OnProcessUserCommand) {
        OnProcessUserCommand(this, Command, AChar, Data);
    }
}

void TCustomQvEdit::DoOnCommandProcessed(TQvEditorCommand Command, char AChar, void* Data)
{
    if (OnCommandProcessed)
        OnCommandProcessed(this, Command, AChar, Data);
}

// ---- Command hooks -----------------------------------------------------------------------------

void TCustomQvEdit::NotifyHookedCommandHandlers(bool AfterProcessing, TQvEditorCommand& Command,
                                                char& AChar, void* Data)
{
    bool handled = false;
    // Hooks may register or unregister hooks while they run: the walk covers the hooks
    // registered when it began and skips those that are gone by their turn.
    const std::vector<THookedCommandHandlerEntry> hooks = hookedCommandHandlers_;
    for (const THookedCommandHandlerEntry& hook : hooks) {
        const Integer index = FindHookedCmdEvent(hook.Event);
        if (index < 0)
            continue;
        void* handlerData = hookedCommandHandlers_[static_cast<std::size_t>(index)].Data;
        hook.Event(this, AfterProcessing, handled, Command, AChar, Data, handlerData);
    }
    if (handled)
        Command = ecNone;
}

void TCustomQvEdit::RegisterCommandHandler(const THookedCommandEvent& AHandlerProc, void* AHandlerData)
{
    if (!AHandlerProc || FindHookedCmdEvent(AHandlerProc) >= 0)
        return;
    hookedCommandHandlers_.push_back(THookedCommandHandlerEntry{AHandlerProc, AHandlerData});
}

void TCustomQvEdit::UnregisterCommandHandler(const THookedCommandEvent& AHandlerProc)
{
    if (!AHandlerProc)
        return;
    const Integer index = FindHookedCmdEvent(AHandlerProc);
    if (index >= 0)
        hookedCommandHandlers_.erase(hookedCommandHandlers_.begin() + index);
}

Integer TCustomQvEdit::GetHookedCommandHandlersCount() const
{
    return static_cast<Integer>(hookedCommandHandlers_.size());
}

Integer TCustomQvEdit::FindHookedCmdEvent(const THookedCommandEvent& AHandlerProc) const
{
    for (auto i = static_cast<Integer>(hookedCommandHandlers_.size()) - 1; i >= 0; --i)
        if (hookedCommandHandlers_[static_cast<std::size_t>(i)].Event.Ref() == AHandlerProc.Ref())
            return i;
    return -1;
}

// ---- Handler chains, focus controls, the key map -----------------------------------------------

void TCustomQvEdit::AddKeyDownHandler(const TKeyEvent& aHandler)
{
    kbdHandler_->AddKeyDownHandler(aHandler);
}

void TCustomQvEdit::RemoveKeyDownHandler(const TKeyEvent& aHandler)
{
    kbdHandler_->RemoveKeyDownHandler(aHandler);
}

void TCustomQvEdit::AddKeyUpHandler(const TKeyEvent& aHandler)
{
    kbdHandler_->AddKeyUpHandler(aHandler);
}

void TCustomQvEdit::RemoveKeyUpHandler(const TKeyEvent& aHandler)
{
    kbdHandler_->RemoveKeyUpHandler(aHandler);
}

void TCustomQvEdit::AddKeyPressHandler(const TKeyPressEvent& aHandler)
{
    kbdHandler_->AddKeyPressHandler(aHandler);
}

void TCustomQvEdit::RemoveKeyPressHandler(const TKeyPressEvent& aHandler)
{
    kbdHandler_->RemoveKeyPressHandler(aHandler);
}

void TCustomQvEdit::AddMouseDownHandler(const TMouseEvent& aHandler)
{
    kbdHandler_->AddMouseDownHandler(aHandler);
}

void TCustomQvEdit::RemoveMouseDownHandler(const TMouseEvent& aHandler)
{
    kbdHandler_->RemoveMouseDownHandler(aHandler);
}

void TCustomQvEdit::AddFocusControl(TWinControl* aControl)
{
    focusList_.push_back(aControl);
}

void TCustomQvEdit::RemoveFocusControl(TWinControl* aControl)
{
    const auto found = std::find(focusList_.rbegin(), focusList_.rend(), aControl);
    if (found != focusList_.rend())
        focusList_.erase(std::next(found).base());
}

void TCustomQvEdit::AddKey(TQvEditorCommand Command, Word Key1, TShiftState SS1, Word Key2, TShiftState SS2)
{
    TQvEditKeyStroke* binding = keystrokes_->Add();
    binding->SetCommand(Command);
    binding->SetKey(Key1);
    binding->SetShift(SS1);
    binding->SetKey2(Key2);
    binding->SetShift2(SS2);
}

void TCustomQvEdit::SetKeystrokes(TQvEditKeyStrokes* Value)
{
    if (Value == nullptr)
        keystrokes_->Clear();
    else
        keystrokes_->Assign(Value);
}

void TCustomQvEdit::SetDefaultKeystrokes()
{
    keystrokes_->ResetDefaults();
}

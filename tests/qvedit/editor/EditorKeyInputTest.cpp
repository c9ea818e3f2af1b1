// Key input and the command processor: two-stroke bindings, the character of a bound key,
// the key handler chains, the command events and the command hooks in their order.
#include "EditorFixture.h"

#include <string>
#include <vector>

namespace {

// Records what the events and hooks see, in the order they see it.
struct TCommandLog {
    std::vector<std::string> Calls;
    TQvEditorCommand CancelBefore = ecNone;  // a hook that handles this command before it runs
    bool HandleInA = false;
    TCustomQvEdit* Editor = nullptr;

    void Hook(const char* Name, bool After, bool& Handled, TQvEditorCommand Command)
    {
        Calls.push_back(std::string(Name) + (After ? " after " : " before ") + std::to_string(Command));
        if (!After && Command == CancelBefore && std::string(Name) == "A")
            Handled = true;
    }
    void HookA(TObject*, bool After, bool& Handled, TQvEditorCommand& Command, char&, void*, void* Data)
    {
        EXPECT_EQ(Data, this);
        Hook("A", After, Handled, Command);
    }
    void HookB(TObject*, bool After, bool& Handled, TQvEditorCommand& Command, char&, void*, void*)
    {
        Hook("B", After, Handled, Command);
    }
    // Takes hook B away when it runs.
    void HookRemovingB(TObject*, bool, bool&, TQvEditorCommand&, char&, void*, void*)
    {
        Calls.push_back("remover");
        Editor->UnregisterCommandHandler(THookedCommandEvent(this, &TCommandLog::HookB));
    }
    void Processed(TObject*, TQvEditorCommand& Command, char&, void*)
    {
        Calls.push_back("processed " + std::to_string(Command));
    }
    void UserCommand(TObject*, TQvEditorCommand& Command, char&, void*)
    {
        Calls.push_back("user " + std::to_string(Command));
    }
    // Types 'b' for every 'a'; cancels ecDeleteChar.
    void Process(TObject*, TQvEditorCommand& Command, char& AChar, void*)
    {
        Calls.push_back("process " + std::to_string(Command));
        if (Command == ecChar && AChar == 'a')
            AChar = 'b';
        if (Command == ecDeleteChar)
            Command = ecNone;
    }
    void KeyDownFirst(TObject*, Word& Key, TShiftState) { Calls.push_back("down first " + std::to_string(Key)); }
    void KeyDownSwallowing(TObject*, Word& Key, TShiftState)
    {
        Calls.push_back("down swallowing " + std::to_string(Key));
        if (Key == VK_RETURN)
            Key = 0;
    }
    void KeyPressUpper(TObject*, char& Key)
    {
        if (Key >= 'a' && Key <= 'z')
            Key = static_cast<char>(Key - 'a' + 'A');
    }
};

using EditorKeyInputTest = EditorFixture;

TEST_F(EditorKeyInputTest, ABoundKeyTypesNoCharacterAndAnUnboundKeyTypesIt)
{
    TQvEdit& e = Editor();
    SetText("");
    e.AddKey(ecLineBreak, 'Q', 0, 0, 0);
    Type("aqb");
    EXPECT_EQ(e.QvGetText(), "a\r\nb");
    // Bytes above 127 are typed as they are, not dropped as negative characters.
    Type("\xE9\xF0");
    EXPECT_EQ(e.GetLines()->Get(1), "b\xE9\xF0");
    // Control characters and Tab as a character type nothing.
    e.CommandProcessor(ecChar, '\t', nullptr);
    e.CommandProcessor(ecChar, '\x7F', nullptr);
    EXPECT_EQ(e.GetLines()->Get(1), "b\xE9\xF0");
}

TEST_F(EditorKeyInputTest, ATwoStrokeBindingRunsOnItsSecondKeyAndAnUnboundKeyRestartsTheChord)
{
    TQvEdit& e = Editor();
    SetText("abc");
    e.AddKey(ecSelectAll, 'K', ssCtrl, 'B', 0);

    Key('K', ssCtrl);
    EXPECT_FALSE(e.GetSelAvail());
    Key('B');
    EXPECT_EQ(e.GetSelText(), "abc");
    EXPECT_EQ(e.QvGetText(), "abc");  // the B of the chord is not typed

    // Ctrl+K then J: J is unbound, so it is typed and becomes the chord start itself;
    // B after J is no binding and is typed too.
    e.SetCaretXY(TPoint{4, 1});
    Key('K', ssCtrl);
    Key('J');
    Key('B');
    EXPECT_FALSE(e.GetSelAvail());
    EXPECT_EQ(e.QvGetText(), "abcjb");

    // A key outside the chord range (Enter) forgets a chord start.
    Key('K', ssCtrl);
    Key(VK_RETURN);
    Key('B');
    EXPECT_EQ(e.QvGetText(), "abcjb\r\nb");
}

TEST_F(EditorKeyInputTest, KeyChainsRunNewestFirstAndAClearedKeyRunsNoCommand)
{
    TQvEdit& e = Editor();
    TCommandLog log;
    SetText("ab");
    e.SetCaretXY(TPoint{2, 1});
    e.AddKeyDownHandler(TKeyEvent(&log, &TCommandLog::KeyDownFirst));
    e.AddKeyDownHandler(TKeyEvent(&log, &TCommandLog::KeyDownSwallowing));
    e.AddKeyPressHandler(TKeyPressEvent(&log, &TCommandLog::KeyPressUpper));

    Key(VK_RETURN);  // swallowed by the newest handler: the older one never sees it
    EXPECT_EQ(log.Calls, (std::vector<std::string>{"down swallowing 13"}));
    EXPECT_EQ(e.QvGetText(), "ab");

    Key('X');  // unbound: both handlers see it, the key-press handler changes its character
    EXPECT_EQ(log.Calls.back(), "down first 88");
    EXPECT_EQ(e.QvGetText(), "aXb");

    e.RemoveKeyDownHandler(TKeyEvent(&log, &TCommandLog::KeyDownSwallowing));
    Key(VK_RETURN);
    EXPECT_EQ(e.GetLines()->Count(), 2);
}

TEST_F(EditorKeyInputTest, EventsAndHooksSeeEveryCommandInTheirOrder)
{
    TQvEdit& e = Editor();
    TCommandLog log;
    log.Editor = &e;
    SetText("abc");
    e.OnProcessCommand = TProcessCommandEvent(&log, &TCommandLog::Process);
    e.OnCommandProcessed = TProcessCommandEvent(&log, &TCommandLog::Processed);
    e.RegisterCommandHandler(THookedCommandEvent(&log, &TCommandLog::HookA), &log);
    e.RegisterCommandHandler(THookedCommandEvent(&log, &TCommandLog::HookB), nullptr);
    e.RegisterCommandHandler(THookedCommandEvent(&log, &TCommandLog::HookA), nullptr);  // kept once
    EXPECT_EQ(e.GetHookedCommandHandlersCount(), 2);

    Key(VK_END);
    EXPECT_EQ(log.Calls, (std::vector<std::string>{"process 8", "A before 8", "B before 8", "A after 8",
                                                   "B after 8", "processed 8"}));
    EXPECT_EQ(e.GetCaretX(), 4);

    // The event may change the character; it types what the event left.
    log.Calls.clear();
    Type("a");
    EXPECT_EQ(e.QvGetText(), "abcb");

    // The event may cancel: no hook and no execution, but the end notice comes.
    log.Calls.clear();
    e.SetCaretXY(TPoint{1, 1});
    Key(VK_DELETE);
    EXPECT_EQ(log.Calls, (std::vector<std::string>{"process 502", "processed 0"}));
    EXPECT_EQ(e.QvGetText(), "abcb");

    // A hook that handles a command before it runs stops it and the after-hooks; every
    // before-hook still sees it.
    log.Calls.clear();
    log.CancelBefore = ecLineBreak;
    Key(VK_RETURN);
    EXPECT_EQ(log.Calls, (std::vector<std::string>{"process 509", "A before 509", "B before 509", "processed 0"}));
    EXPECT_EQ(e.GetLines()->Count(), 1);

    e.UnregisterCommandHandler(THookedCommandEvent(&log, &TCommandLog::HookA));
    e.UnregisterCommandHandler(THookedCommandEvent(&log, &TCommandLog::HookA));
    EXPECT_EQ(e.GetHookedCommandHandlersCount(), 1);
}

TEST_F(EditorKeyInputTest, UserCommandsGoToTheirOwnEventAndTheHooksOnly)
{
    TQvEdit& e = Editor();
    TCommandLog log;
    SetText("abc");
    e.OnProcessCommand = TProcessCommandEvent(&log, &TCommandLog::Process);
    e.OnProcessUserCommand = TProcessCommandEvent(&log, &TCommandLog::UserCommand);
    e.RegisterCommandHandler(THookedCommandEvent(&log, &TCommandLog::HookB), nullptr);

    e.CommandProcessor(ecUserFirst, '\0', nullptr);
    e.CommandProcessor(QvEditFocusGainedCommand, '\0', nullptr);  // no case of its own
    EXPECT_EQ(log.Calls, (std::vector<std::string>{"user 1001", "B before 1001", "B after 1001", "process 700",
                                                   "B before 700", "B after 700"}));
    EXPECT_EQ(e.QvGetText(), "abc");
}

TEST_F(EditorKeyInputTest, AHookRemovedDuringTheWalkIsNotCalled)
{
    TQvEdit& e = Editor();
    TCommandLog log;
    log.Editor = &e;
    SetText("abc");
    e.RegisterCommandHandler(THookedCommandEvent(&log, &TCommandLog::HookRemovingB), nullptr);
    e.RegisterCommandHandler(THookedCommandEvent(&log, &TCommandLog::HookB), nullptr);
    e.CommandProcessor(ecRight, '\0', nullptr);
    EXPECT_EQ(log.Calls, (std::vector<std::string>{"remover", "remover"}));
    EXPECT_EQ(e.GetHookedCommandHandlersCount(), 1);
}

TEST_F(EditorKeyInputTest, TheKeyMapCanBeReplacedClearedAndReset)
{
    TQvEdit& e = Editor();
    SetText("abc");
    TQvEditKeyStrokes only(nullptr);
    only.AddKey(ecLineEnd, VK_HOME, 0);
    e.SetKeystrokes(&only);
    Key(VK_HOME);
    EXPECT_EQ(e.GetCaretX(), 4);
    Key(VK_LEFT);  // no longer bound
    EXPECT_EQ(e.GetCaretX(), 4);

    e.SetKeystrokes(nullptr);
    EXPECT_EQ(e.GetKeystrokes()->Count(), 0);
    e.SetDefaultKeystrokes();
    Key(VK_HOME);
    EXPECT_EQ(e.GetCaretX(), 1);
}

}  // namespace

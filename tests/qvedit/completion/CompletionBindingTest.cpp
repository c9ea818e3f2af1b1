// The completion component bound to an editor, driven by key and mouse messages: opening by
// the shortcut and by the trigger timer, filtering, inserting the picked row as one undo
// step, cancelling, and the editor going while the list is open.
#include "CompletionBindingFixture.h"

#include "qvedit/completion/QvCompletionLists.h"

#include <functional>
#include <utility>

namespace {

using Rows = std::vector<std::string>;

TEST_F(CompletionBindingTest, TheShortcutOpensTheListWithTheTypedTextAndItsBlankIsNotTyped)
{
    SetTextAndCaret("x = str|");
    CtrlSpace();
    ASSERT_TRUE(ListOpen());
    EXPECT_EQ(List().CurrentString(), "str");
    EXPECT_EQ(Shown(), (Rows{"strlen", "strpos"}));
    EXPECT_EQ(Text(), "x = str");
    // Typing narrows the list and reaches the editor.
    TypeChars("p");
    EXPECT_EQ(Shown(), Rows{"strpos"});
    EXPECT_EQ(Text(), "x = strp");
    Press(VK_ESCAPE, 0, 27);
    EXPECT_FALSE(ListOpen());
    EXPECT_EQ(Text(), "x = strp");
    EXPECT_TRUE(Editor().Focused());
    EXPECT_EQ(cancelled, 1);
    // The next character is typed: nothing was left to swallow.
    TypeChars("o");
    EXPECT_EQ(Text(), "x = strpo");
}

TEST_F(CompletionBindingTest, OnlyTheExactShortcutOpensTheListAndShortcutZeroNone)
{
    SetTextAndCaret("str|");
    Press(VK_SPACE, ssCtrl | ssShift, ' ');
    EXPECT_FALSE(ListOpen());
    proposal->SetShortCut(0);
    CtrlSpace();
    EXPECT_FALSE(ListOpen());
    proposal->SetShortCut(ShortCut(VK_F2, 0));
    SetTextAndCaret("str|");
    Press(VK_F2);
    EXPECT_TRUE(ListOpen());
    Press(VK_ESCAPE, 0, 27);
    // F2 types no character: the next real one is not swallowed in its place, also when
    // there was no row to show and no list opened.
    proposal->ClearList();
    Press(VK_F2);
    EXPECT_FALSE(ListOpen());
    TypeChars("x");
    EXPECT_EQ(Text(), "strx");
}

TEST_F(CompletionBindingTest, EnterTabAndDoubleClickInsertTheRowAsOneUndoStep)
{
    const auto dblClick = [this] {
        const LPARAM at = MakeLParam(5, static_cast<Word>(List().TitleHeight() + 1));
        List().Perform(WM_LBUTTONDOWN, MK_LBUTTON, at);
        List().Perform(WM_LBUTTONUP, 0, at);
        List().Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    };
    const std::vector<std::pair<const char*, std::function<void()>>> picks = {
        {"Enter", [this] { Press(VK_RETURN, 0, 13); }},
        {"Tab", [this] { Press(VK_TAB, 0, 9); }},
        {"double click", dblClick}};
    for (const auto& [name, pick] : picks) {
        SCOPED_TRACE(name);
        SetTextAndCaret("a(arr|");
        Editor().ClearUndo();
        CtrlSpace();
        ASSERT_TRUE(ListOpen());
        pick();
        EXPECT_FALSE(ListOpen());
        EXPECT_EQ(Text(), "a(array_pop");
        EXPECT_EQ(Editor().GetCaretXY(), (TPoint{12, 1}));
        EXPECT_FALSE(Editor().GetSelAvail());
        EXPECT_TRUE(Editor().Focused());
        Editor().Undo();
        EXPECT_EQ(Text(), "a(arr");
        EXPECT_FALSE(Editor().GetCanUndo());
    }
}

TEST_F(CompletionBindingTest, InsideAWordTheRestOfTheWordIsReplacedToo)
{
    SetTextAndCaret("x = str|xyz + 1");
    CtrlSpace();
    Press(VK_DOWN);
    Press(VK_RETURN, 0, 13);
    EXPECT_EQ(Text(), "x = strpos + 1");
    EXPECT_EQ(Editor().GetCaretX(), 11);
}

TEST_F(CompletionBindingTest, AnEndOfTokenCharacterInsertsTheRowThenItselfAndATriggerReopens)
{
    SetTextAndCaret("arr|");
    Editor().ClearUndo();
    CtrlSpace();
    Press(VK_DOWN);
    TypeChars("(");
    EXPECT_EQ(Text(), "array_push(");
    EXPECT_FALSE(ListOpen());
    Editor().Undo();
    Editor().Undo();
    EXPECT_EQ(Text(), "arr");

    // "." ends the token and is a trigger character: the list opens again after it.
    SetTextAndCaret("str|");
    CtrlSpace();
    TypeChars(".");
    EXPECT_EQ(Text(), "strlen.");
    EXPECT_TRUE(ListOpen());
    EXPECT_EQ(List().CurrentString(), "");
    Press(VK_ESCAPE, 0, 27);
}

TEST_F(CompletionBindingTest, BackspaceOnAnEmptyFilterDeletesLeftOfTheCaretAndCancels)
{
    SetTextAndCaret("ab |");
    CtrlSpace();
    ASSERT_TRUE(ListOpen());
    EXPECT_EQ(Shown().size(), 4u);
    Press(VK_BACK, 0, 8);
    EXPECT_FALSE(ListOpen());
    EXPECT_EQ(Text(), "ab");
    EXPECT_EQ(cancelled, 1);
}

TEST_F(CompletionBindingTest, APressOutsideCancelsAndTheEditorKeepsItsFocus)
{
    SetTextAndCaret("st|");
    CtrlSpace();
    ASSERT_TRUE(ListOpen());
    List().WindowCloseRequested();
    EXPECT_FALSE(ListOpen());
    EXPECT_EQ(cancelled, 1);
    // The list is no longer where the editor sends its focus.
    Editor().SetFocus();
    EXPECT_TRUE(Editor().Focused());
    TypeChars("r");
    EXPECT_EQ(Text(), "str");
}

TEST_F(CompletionBindingTest, TheTriggerOpensTheListWhenTheTimerFiresUnlessAnotherKeyCameFirst)
{
    proposal->SetOptions(proposal->Options() + TQvCompletionOptions{scoUseBuiltInTimer, scoUseInsertList});
    proposal->SetTimerInterval(100);
    proposal->SetTriggerChars("<");
    TStringList tags, inserts;
    for (const TQvCompletionRow& row : HtmlTagRows()) {
        tags.Add(row.Display);
        inserts.Add(row.Insert);
    }
    proposal->SetItemList(&tags);
    proposal->SetInsertList(&inserts);
    TTimer& timer = *proposal->Timer();

    SetTextAndCaret("x |");
    TypeChars("<");
    EXPECT_TRUE(timer.Enabled());
    TypeChars("b");  // another character stops it
    EXPECT_FALSE(timer.Enabled());
    TypeChars("<");
    Press(VK_LEFT);  // and so does a command
    EXPECT_FALSE(timer.Enabled());

    SetTextAndCaret("x |");
    TypeChars("<");
    ASSERT_TRUE(Application->Active());
    timer.Tick();
    EXPECT_FALSE(timer.Enabled());
    ASSERT_TRUE(ListOpen());
    EXPECT_EQ(List().CurrentString(), "<");
    TypeChars("br");
    Press(VK_RETURN, 0, 13);
    EXPECT_EQ(Text(), "x <br>");
    // The list opened by the timer left nothing to swallow.
    TypeChars("z");
    EXPECT_EQ(Text(), "x <br>z");
}

// With the caret past the end of a line holding tabs, the row goes in at the caret: the
// display column is what is kept, never the character index read as one.
TEST_F(CompletionBindingTest, PastTheEndOfALineWithTabsTheRowGoesInAtTheCaret)
{
    Editor().SetTabWidth(4);
    SetText("\t\tab");
    Editor().SetCaretXY(TPoint{8, 1});  // display column 8 + 4 past "\t\tab"
    const Integer display = Editor().DisplayX();
    CtrlSpace();
    ASSERT_TRUE(ListOpen());
    EXPECT_EQ(List().CurrentString(), "");
    Press(VK_RETURN, 0, 13);
    const std::string line = Editor().GetLines()->Get(0);
    EXPECT_EQ(line.substr(0, 4), "\t\tab") << "no text before the caret was replaced";
    EXPECT_EQ(line.substr(line.size() - 9), "array_pop");
    Editor().SetCaretXY(TPoint{static_cast<Integer>(line.size()) - 8, 1});
    EXPECT_EQ(Editor().DisplayX(), display);
}

TEST_F(CompletionBindingTest, AnEditorFreedWhileTheListIsOpenIsUnboundAndTheListCloses)
{
    auto* other = new TQvEdit(&Form());
    other->SetParent(&Form());
    other->SetBounds(0, EditorHeight, EditorWidth, 60);
    proposal->AddEditor(other);
    other->SetFocus();
    other->GetLines()->SetText("str");
    other->SetCaretXY(TPoint{4, 1});
    SetInputShiftState(ssCtrl);
    other->Perform(WM_KEYDOWN, VK_SPACE, 1);
    SetInputShiftState(0);
    ASSERT_TRUE(ListOpen());
    delete other;
    EXPECT_FALSE(ListOpen());
    EXPECT_EQ(proposal->EditorCount(), 1);
    // The component still serves the editor left.
    SetTextAndCaret("arr|");
    Editor().SetFocus();
    CtrlSpace();
    Press(VK_RETURN, 0, 13);
    EXPECT_EQ(Text(), "array_pop");
}

TEST_F(CompletionBindingTest, OpenedTwiceTheListStillGivesTheEditorItsFocusBackOnClosing)
{
    SetTextAndCaret("st|");
    proposal->ActivateCompletion();
    proposal->ActivateCompletion();
    ASSERT_TRUE(ListOpen());
    Press(VK_ESCAPE, 0, 27);
    Editor().SetFocus();
    EXPECT_TRUE(Editor().Focused());
    TypeChars("r");
    EXPECT_EQ(Text(), "str");
}

TEST_F(CompletionBindingTest, RowsAreAddedInBothListsOrNotAtAll)
{
    proposal->ClearList();
    proposal->AddItem("<b>..</b>", "<b></b>");
    proposal->AddItemAt(0, "<a>..</a>", "<a></a>");
    EXPECT_EQ(proposal->DisplayItem(0), "<a>..</a>");
    EXPECT_EQ(proposal->InsertItem(1), "<b></b>");
    EXPECT_THROW(proposal->AddItemAt(3, "x", "y"), Exception);
    EXPECT_EQ(proposal->ItemList()->Count(), 2);
    EXPECT_EQ(proposal->InsertList()->Count(), 2);
}

}  // namespace

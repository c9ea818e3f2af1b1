// The main window's two completion lists, used as a user would: keys typed into the
// editor of the shown window, the tag list opened by "<" and its timer, Ctrl+Space going
// to the list chosen on the tool bar.
#include "MainFormFixture.h"

#include "platform/controls/StdCtrls.h"
#include "platform/window/Keys.h"
#include "platform/window/Timer.h"
#include "qvedit/completion/QvCompletionLists.h"
#include "qvedit/completion/QvCompletionProposal.h"
#include "qvedit/editor/QvEdit.h"

namespace {

class CompletionListsTest : public TMainFormFixture {
protected:
    CompletionListsTest()
    {
        Start();
        Application->ProcessMessages();
        Form().Editor->SetFocus();
    }

    TQvBaseCompletionProposalForm& TagList() { return *Form().QvCompletionProposal1->Form(); }
    TQvBaseCompletionProposalForm& PhpList() { return *Form().QvCompletionProposal2->Form(); }
    // The list that has the keyboard, or nullptr while both are closed (or not yet made).
    TQvBaseCompletionProposalForm* OpenList()
    {
        if (Form().QvCompletionProposal1 == nullptr)
            return nullptr;
        if (TagList().Visible())
            return &TagList();
        return PhpList().Visible() ? &PhpList() : nullptr;
    }

    // One key, sent where the window system sends it (the open list, else the editor):
    // down, its character when it types one (ch >= 0), up.
    void Press(Word key, TShiftState shift = 0, int ch = -1)
    {
        TWinControl* target = OpenList() != nullptr ? static_cast<TWinControl*>(OpenList()) : Form().Editor;
        SetInputShiftState(shift);
        target->Perform(WM_KEYDOWN, key, 1);
        if (ch >= 0)
            target->Perform(WM_CHAR, static_cast<WPARAM>(ch), 1);
        target->Perform(WM_KEYUP, key, 1);
        SetInputShiftState(0);
    }
    // Lower-case letters and "<", each with its key on a US layout.
    void Type(const std::string& text)
    {
        for (char c : text) {
            if (c == '<')
                Press(VK_OEM_COMMA, ssShift, c);
            else
                Press(static_cast<Word>(c - 'a' + 'A'), 0, c);
        }
    }
    void CtrlSpace() { Press(VK_SPACE, ssCtrl, ' '); }
    void ChooseInComboBox(const std::string& Item)
    {
        Form().ComboBox1->SetText(Item);
        Form().ComboBox1->OnSelect(Form().ComboBox1);
    }
    std::string Text() { return Form().Editor->QvGetText(); }
    void SetText(const std::string& text)
    {
        Form().Editor->QvSetText(text);
        Form().Editor->SetCaretXY(TPoint{static_cast<Integer>(text.size()) + 1, 1});
    }
};

// The lists are left out of start-up: typing and a painted window make none, the first
// Ctrl+Space or "<" makes both with all their rows and is handled by them as before.
TEST_F(CompletionListsTest, TheListsAreMadeWholeByTheFirstKeyThatCanOpenOne)
{
    const auto made = [this] {
        const bool tags = Form().FindComponent("QvCompletionProposal1") != nullptr;
        EXPECT_EQ(tags, Form().FindComponent("QvCompletionProposal2") != nullptr);
        EXPECT_EQ(tags, Form().QvCompletionProposal1 != nullptr);
        return tags;
    };
    const auto expectWhole = [this] {
        EXPECT_EQ(Form().QvCompletionProposal1->ItemList()->Count(), static_cast<int>(HtmlTagRows().size()));
        EXPECT_EQ(Form().QvCompletionProposal1->InsertList()->Count(), static_cast<int>(HtmlTagRows().size()));
        EXPECT_EQ(Form().QvCompletionProposal2->ItemList()->Count(), static_cast<int>(PhpCompletionRows().size()));
        EXPECT_GT(PhpCompletionRows().size(), 1000u);
    };
    Form().Repaint();
    Application->ProcessMessages();
    EXPECT_FALSE(made()) << "made before the window's first paint";
    SetText("");
    Type("ab");
    Press(VK_SPACE, ssShift, ' ');
    Press(VK_OEM_PERIOD, 0, '.');
    EXPECT_FALSE(made()) << "made by keys that open no list";

    // HTML chosen before the lists exist: the first Ctrl+Space goes to the tag list, and
    // its blank is not typed.
    ChooseInComboBox("HTML");
    SetText("<b");
    CtrlSpace();
    ASSERT_TRUE(made());
    expectWhole();
    ASSERT_EQ(OpenList(), &TagList());
    EXPECT_EQ(TagList().CurrentString(), "<b");
    Press(VK_ESCAPE, 0, 27);
    EXPECT_EQ(Text(), "<b");
    EXPECT_EQ(Form().QvCompletionProposal2->ShortCut(), 0);
}

TEST_F(CompletionListsTest, AFirstLessThanMakesTheListsAndOpensTheTagList)
{
    SetText("x ");
    Type("<");
    ASSERT_NE(Form().QvCompletionProposal1, nullptr);
    EXPECT_EQ(Form().QvCompletionProposal2->ItemList()->Count(), static_cast<int>(PhpCompletionRows().size()));
    EXPECT_EQ(Text(), "x <");
    EXPECT_TRUE(Form().QvCompletionProposal1->Timer()->Enabled());
    Form().QvCompletionProposal1->Timer()->Tick();
    ASSERT_EQ(OpenList(), &TagList());
    EXPECT_EQ(TagList().CurrentString(), "<");
    EXPECT_EQ(Form().QvCompletionProposal1->ShortCut(), 0) << "PHP is the tool bar's choice";
    EXPECT_EQ(Form().QvCompletionProposal2->ShortCut(), scCtrl | VK_SPACE);
}

TEST_F(CompletionListsTest, LessThanOpensTheTagListAfterItsTimerAndEnterInsertsOneUndoStep)
{
    SetText("x ");
    Type("<");
    TTimer& timer = *Form().QvCompletionProposal1->Timer();
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 100u);
    EXPECT_EQ(OpenList(), nullptr) << "the list waits for its timer";
    ASSERT_TRUE(Application->Active());
    timer.Tick();
    ASSERT_EQ(OpenList(), &TagList());
    EXPECT_EQ(TagList().Title(), "Html tags");
    EXPECT_EQ(TagList().CurrentString(), "<");

    Type("tab");
    Press(VK_RETURN, 0, 13);
    EXPECT_EQ(OpenList(), nullptr);
    EXPECT_EQ(Text(), "x <table></table>") << "the insert row goes in, without the \"..\"";
    // The replacement (the typed "<tab" out, the row in) is one undo step of its own:
    // Undo gives the typed text back, never half a row, and Redo puts the row back.
    Form().Editor->Undo();
    EXPECT_EQ(Text(), "x <tab");
    Form().Editor->Redo();
    EXPECT_EQ(Text(), "x <table></table>");
}

TEST_F(CompletionListsTest, TheTagListOpensAfterLessThanWhicheverListHoldsCtrlSpace)
{
    for (const char* choice : {"PHP", "HTML"}) {
        ChooseInComboBox(choice);
        SetText("");
        Type("<");
        Form().QvCompletionProposal1->Timer()->Tick();
        EXPECT_EQ(OpenList(), &TagList()) << choice;
        Press(VK_ESCAPE, 0, 27);
    }
}

TEST_F(CompletionListsTest, CtrlSpaceOpensThePhpListUntilHtmlIsChosen)
{
    EXPECT_EQ(Form().ComboBox1->Text(), "PHP");
    SetText("echo str");
    CtrlSpace();
    ASSERT_EQ(OpenList(), &PhpList());
    EXPECT_EQ(PhpList().Title(), "PHP");
    EXPECT_EQ(PhpList().CurrentString(), "str");
    EXPECT_GT(PhpList().AssignedList()->Count(), 0);
    Type("len");
    Press(VK_RETURN, 0, 13);
    EXPECT_EQ(Text(), "echo strlen");
    Type("x");  // the blank of Ctrl+Space was swallowed once, not this
    EXPECT_EQ(Text(), "echo strlenx");

    ChooseInComboBox("HTML");
    EXPECT_EQ(Form().QvCompletionProposal1->ShortCut(), scCtrl | VK_SPACE);
    EXPECT_EQ(Form().QvCompletionProposal2->ShortCut(), 0);
    SetText("<b");
    CtrlSpace();
    ASSERT_EQ(OpenList(), &TagList());
    EXPECT_FALSE(PhpList().Visible());
    EXPECT_EQ(TagList().CurrentString(), "<b");
    Press(VK_RETURN, 0, 13);
    EXPECT_EQ(Text(), "<b></b>");

    ChooseInComboBox("PHP");
    SetText("");
    CtrlSpace();
    EXPECT_EQ(OpenList(), &PhpList());
}

TEST_F(CompletionListsTest, EscapeClosesTheListAndLeavesTheText)
{
    SetText("ar");
    CtrlSpace();
    ASSERT_EQ(OpenList(), &PhpList());
    Press(VK_ESCAPE, 0, 27);
    EXPECT_EQ(OpenList(), nullptr);
    EXPECT_EQ(Text(), "ar");
    Type("r");  // typing goes on in the editor
    EXPECT_EQ(Text(), "arr");
}

}  // namespace

// Editors sharing one buffer: any of them may let go first, the others keep hearing its
// notices and nothing calls a freed editor; an editor that changes buffers keeps its
// caret, selection and view inside the buffer it shows now. The checks of SharingChecks.h
// run here with the editor's defaults.
#include "EditorFixture.h"
#include "RealWindow.h"
#include "SharingChecks.h"
#include "XServer.h"

#include <memory>
#include <string>

namespace {

using EditorShareLinesTest = EditorFixture;

std::string NumberedLines(int Count)
{
    std::string text;
    for (int i = 1; i <= Count; ++i)
        text += "line " + std::to_string(i) + "\n";
    return text;
}

TEST_F(EditorShareLinesTest, SharersLetGoInAnyOrderAndTheOthersKeepHearingTheBuffer)
{
    for (bool hookOrder : {true, false}) {
        SCOPED_TRACE(hookOrder ? "freed in the order they hooked" : "freed last hooked first");
        SetText("one\ntwo\nthree");
        auto b = std::make_unique<TQvEdit>(nullptr);
        auto c = std::make_unique<TQvEdit>(nullptr);
        b->SetLinesPointer(&Editor());
        c->SetLinesPointer(&Editor());
        auto& first = hookOrder ? b : c;
        auto& second = hookOrder ? c : b;
        second->SetCaretXY(TPoint{3, 3});

        first.reset();
        // The one left still hears the buffer: clearing it moves its caret home.
        Editor().GetLines()->Clear();
        EXPECT_EQ(second->GetCaretXY(), (TPoint{1, 1}));
        EXPECT_EQ(second->GetLines(), Editor().GetLines());

        second.reset();
        Editor().GetLines()->Add("four");
        Type("x");  // an undo record: the undo list's notice reaches only live editors
        EXPECT_EQ(Editor().GetLines()->Get(0), "xfour");
        EXPECT_TRUE(Editor().GetUndoList()->CanUndo());
    }
}

TEST_F(EditorShareLinesTest, TheOwnerMayGoWhileTwoShareItsBuffer)
{
    auto owner = std::make_unique<TQvEdit>(nullptr);
    owner->GetLines()->SetText("shared\ntext");
    auto b = std::make_unique<TQvEdit>(nullptr);
    b->SetLinesPointer(owner.get());
    Editor().SetLinesPointer(owner.get());
    owner.reset();
    EXPECT_EQ(b->GetLines()->GetCount(), 0);
    EXPECT_EQ(Editor().GetLines()->GetCount(), 0);
    // Each is back on its own buffer, hearing only that one.
    b->GetLines()->Add("b's");
    Editor().GetLines()->Add("mine");
    EXPECT_EQ(b->GetLines()->Get(0), "b's");
    EXPECT_EQ(Editor().GetLines()->Get(0), "mine");
    b.reset();
    Type("x");
    EXPECT_EQ(Editor().GetLines()->Get(0), "xmine");
}

TEST_F(EditorShareLinesTest, CaretSelectionAndViewStayInsideTheBufferShownNow)
{
    auto owner = std::make_unique<TQvEdit>(&Form());
    owner->GetLines()->SetText(NumberedLines(100));
    Editor().SetLinesPointer(owner.get());
    Editor().SetCaretXY(TPoint{3, 60});
    Editor().SetBlockBegin(TPoint{1, 55});
    Editor().SetBlockEnd(TPoint{3, 60});
    Editor().SetTopLine(43);
    ASSERT_EQ(Editor().GetCaretY(), 60);
    ASSERT_TRUE(Editor().GetSelAvail());

    // The owner goes: back on its own empty buffer.
    owner.reset();
    ASSERT_EQ(Editor().GetLines()->GetCount(), 0);
    EXPECT_EQ(Editor().GetCaretY(), 1);
    EXPECT_EQ(Editor().GetTopLine(), 1);
    EXPECT_EQ(Editor().GetBlockBegin().Y, 1);
    EXPECT_EQ(Editor().GetBlockEnd().Y, 1);
    Type("ab");
    Key(VK_RETURN);
    Type("c");
    ASSERT_EQ(Editor().GetLines()->GetCount(), 2);
    EXPECT_EQ(Editor().GetLines()->Get(0).substr(Editor().GetLines()->Get(0).size() - 2), "ab");
    EXPECT_EQ(Editor().GetLines()->Get(1).back(), 'c');

    // Hooking a shorter buffer clamps the same way; letting go of it too.
    SetText(NumberedLines(100));
    Editor().SetCaretXY(TPoint{4, 80});
    Editor().SetTopLine(70);
    auto shortOwner = std::make_unique<TQvEdit>(&Form());
    shortOwner->GetLines()->SetText("one\ntwo");
    Editor().SetLinesPointer(shortOwner.get());
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{4, 2}));
    EXPECT_EQ(Editor().GetTopLine(), 1);
    Key(VK_BACK);
    EXPECT_EQ(shortOwner->GetLines()->Get(1), "tw");
    Editor().RemoveLinesPointer();
    EXPECT_EQ(Editor().GetLines()->GetCount(), 100);
    EXPECT_EQ(Editor().GetCaretY(), 2);
}

}  // namespace

namespace {

// The checks the main window's editing settings run too (tests/app), with the defaults.
void Defaults(TCustomQvEdit&) {}

TEST_F(EditorShareLinesTest, AChainOfSharersLetsGoWhenTheBufferGoes)
{
    sharing::CheckAChainOfSharersLetsGo(Form(), Defaults);
}

TEST_F(EditorShareLinesTest, AHookBackToASharerIsRefused)
{
    sharing::CheckAHookBackIsRefused(Form(), Defaults);
}

TEST_F(EditorShareLinesTest, EachEditorHearsOnlyTheBufferItShows)
{
    sharing::CheckEachEditorHearsOnlyTheBufferItShows(Form(), Defaults);
}

TEST_F(EditorShareLinesTest, RedoInASharerReplaysTheWholeStep)
{
    sharing::CheckRedoInASharerReplaysTheWholeStep(Form(), Defaults);
}

TEST_F(EditorShareLinesTest, TheOthersStayInsideWhenLinesGo)
{
    sharing::CheckTheOthersStayInsideWhenLinesGo(Form(), Defaults);
}

TEST_F(EditorShareLinesTest, EveryEditorTellsTheSameModified)
{
    sharing::CheckEveryEditorTellsTheSameModified(Form(), Defaults);
}

TEST_F(EditorShareLinesTest, ASharerHearsOfAnotherAfterItLetGo)
{
    sharing::CheckASharerHearsOfAnotherAfterItLetGo(Form(), Defaults);
}

TEST_F(EditorShareLinesTest, APasteIntoNothingUndoesToNothing)
{
    sharing::CheckAPasteIntoNothingUndoesToNothing(Form(), Defaults);
}

}  // namespace

namespace {

// In a real X window: the focused editor's caret and view follow the lines another editor
// on its buffer deleted, the screen shows what a fresh paint shows, and keys typed there
// land in the text that is left.
class EditorShareLinesOnX : public EditorFixture {
protected:
    void SetUp() override
    {
        if (!QvTest::OnXServer())
            GTEST_SKIP() << "runs only inside EditorShareLinesOnXServer.Run";
    }
};

TEST_F(EditorShareLinesOnX, TheFocusedEditorFollowsLinesAnotherDeleted)
{
    QvTest::TSteadyCaret steady;
    SetText(NumberedLines(100));
    auto other = std::make_unique<TQvEdit>(nullptr);
    other->SetBounds(EditorWidth + 10, 0, 80, 80);
    other->SetParent(&Form());
    other->SetLinesPointer(&Editor());
    ASSERT_TRUE(QvTest::FocusWindowOf(Form()));
    Editor().SetFocus();
    ASSERT_TRUE(QvTest::IdleUntil([this] { return Editor().Focused(); }));
    Editor().SetCaretXY(TPoint{3, 95});
    QvTest::Idle(200);
    ASSERT_GT(Editor().GetTopLine(), 11);

    TPoint from{1, 11};
    TPoint to{9, 100};
    other->CommandProcessor(ecGotoXY, '\0', &from);
    other->CommandProcessor(ecSelGotoXY, '\0', &to);
    other->SetSelTextExternal("");
    QvTest::Idle(200);
    ASSERT_EQ(Editor().GetLines()->Count(), 11);
    EXPECT_LE(Editor().GetCaretY(), 11);
    EXPECT_EQ(Editor().GetTopLine(), 1);
    EXPECT_GT(QvTest::CaretRect(Editor()).Width(), 0);
    EXPECT_EQ(QvTest::StaleClientPixels(Editor()), 0);

    ASSERT_TRUE(QvTest::XType("q"));
    ASSERT_TRUE(QvTest::IdleUntil([this] { return Editor().QvGetText().find('q') != std::string::npos; }));
    QvTest::Idle(200);
    EXPECT_EQ(Editor().GetLines()->Count(), 11);
    EXPECT_EQ(QvTest::StaleClientPixels(Editor()), 0);
}

TEST(EditorShareLinesOnXServer, Run)
{
    QvTest::ExpectPassOnXServer("EditorShareLinesOnX.*", 120);
}

}  // namespace

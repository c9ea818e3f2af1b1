// Options, the font, setters that clamp, the highlighter's attachment, a buffer shared by
// two editors, key-binding differences and trailing blanks.
#include "EditorFixture.h"
#include "TestHighlighter.h"

#include <limits>

namespace {

using EditorOptionsTest = EditorFixture;

TEST_F(EditorOptionsTest, AProportionalFontBecomesFixedPitchAndAFixedOneIsTakenAsItIs)
{
    TFont proportional;
    proportional.SetName("DejaVu Sans");
    proportional.SetSize(14);
    proportional.SetStyle(fsItalic);
    proportional.SetColor(clRed);
    Editor().SetFont(&proportional);
    EXPECT_EQ(Editor().GetFont()->GetName(), "DejaVu Sans");
    EXPECT_EQ(Editor().GetFont()->GetSize(), 14);
    EXPECT_EQ(Editor().GetFont()->GetStyle(), TFontStyles(fsItalic));
    EXPECT_EQ(Editor().GetFont()->GetColor(), clRed);
    EXPECT_EQ(Editor().GetFont()->GetPitch(), fpFixed);

    TFont fixed;
    fixed.SetName("Liberation Mono");
    fixed.SetSize(12);
    Editor().SetFont(&fixed);
    EXPECT_EQ(Editor().GetFont()->GetName(), "Liberation Mono");
    EXPECT_EQ(Editor().GetFont()->GetSize(), 12);
    EXPECT_EQ(Editor().GetFont()->GetPitch(), fpDefault);
}

TEST_F(EditorOptionsTest, SettersClampWhatTheyCannotTake)
{
    TQvEdit& e = Editor();
    e.SetTabWidth(0);
    EXPECT_EQ(e.GetTabWidth(), 1);
    EXPECT_EQ(e.GetLines()->GetTabWidth(), 1);
    e.SetTabWidth(300);
    EXPECT_EQ(e.GetTabWidth(), 256);
    e.SetTabWidth(-7);
    EXPECT_EQ(e.GetTabWidth(), 1);
    e.SetMaxLineWidth(0);
    EXPECT_EQ(e.GetMaxLineWidth(), 1);
    e.SetMaxLineWidth(std::numeric_limits<Integer>::max());
    EXPECT_EQ(e.GetMaxLineWidth(), 0x7FFFFFFE);
    e.SetMaxUndo(5);
    EXPECT_EQ(e.GetUndoList()->GetMaxUndoActions(), 5);
    EXPECT_EQ(e.GetRedoList()->GetMaxUndoActions(), 5);
    e.SetMaxUndo(-1);
    EXPECT_EQ(e.GetMaxUndo(), 5);
}

// However negative the extra spacing, a line keeps a height of at least one pixel, so the
// view, the paint and the mouse never divide by zero.
TEST_F(EditorOptionsTest, LineHeightNeverFallsBelowOnePixel)
{
    const Integer normal = Editor().GetLineHeight();
    Editor().SetExtraLineSpacing(-1000);
    EXPECT_EQ(Editor().GetExtraLineSpacing(), -1000);
    EXPECT_EQ(Editor().GetLineHeight(), 1);
    EXPECT_EQ(Editor().GetLinesInWindow(), Editor().ClientHeight());
    SetText("one\ntwo\nthree");
    Grab();
    Editor().SetTopLine(2);
    EXPECT_EQ(Editor().GetTopLine(), 1);  // three lines fit easily
    Editor().SetExtraLineSpacing(-normal);
    EXPECT_EQ(Editor().GetLineHeight(), 1);
    Editor().SetExtraLineSpacing(3);
    EXPECT_EQ(Editor().GetLineHeight(), normal + 3);
}

TEST_F(EditorOptionsTest, OptionFlagsSwitchOneMemberAndSpecialCharactersFollowTheOption)
{
    Editor().SetOptionFlag(eoShowSpecialChars, true);
    EXPECT_TRUE(Editor().GetOptions().Contains(eoShowSpecialChars));
    Editor().SetOptionFlag(eoAutoIndent, false);
    EXPECT_EQ(Editor().GetOptions().ToBits(), (0x03360092u | (1u << 19)) & ~(1u << 1));
    Editor().SetOptions(Editor().GetOptions());
    EXPECT_EQ(Editor().GetOptions().ToBits(), (0x03360092u | (1u << 19)) & ~(1u << 1));
}

TEST_F(EditorOptionsTest, AHighlighterIsMeasuredAndDroppedWhenItIsFreed)
{
    SetText("if x\nfor y");
    auto* words = new TWordHighlighter(nullptr);
    Editor().SetHighlighter(words);
    EXPECT_EQ(Editor().GetHighlighter(), words);
    // Attaching scans no line: a range read scans the lines through its own.
    EXPECT_TRUE(words->LinesSet.empty());
    Editor().GetLines()->GetRange(1);
    EXPECT_EQ(words->LinesSet, (std::vector<Integer>{0, 1}));
    delete words;
    EXPECT_EQ(Editor().GetHighlighter(), nullptr);
    Grab();  // paints as plain text
}

TEST_F(EditorOptionsTest, TwoEditorsShareOneBufferUntilTheOwnerGoes)
{
    SetText("first\nsecond");
    auto* other = new TQvEdit(&Form());
    other->SetParent(&Form());
    other->SetBounds(0, 0, 200, 100);
    other->SetLinesPointer(&Editor());
    EXPECT_EQ(other->GetLines(), Editor().GetLines());
    EXPECT_EQ(other->GetUndoList(), Editor().GetUndoList());
    Editor().GetLines()->Add("third");
    EXPECT_EQ(other->GetLines()->GetCount(), 3);

    other->RemoveLinesPointer();
    EXPECT_NE(other->GetLines(), Editor().GetLines());
    EXPECT_EQ(other->GetLines()->GetCount(), 0);

    // Freeing the editor that owns the buffer sends the other back to its own.
    auto* owner = new TQvEdit(&Form());
    owner->SetParent(&Form());
    owner->GetLines()->SetText("a\nb");
    other->SetLinesPointer(owner);
    EXPECT_EQ(other->GetLines()->GetCount(), 2);
    delete owner;
    EXPECT_EQ(other->GetLines()->GetCount(), 0);
    other->GetLines()->Add("own");
    EXPECT_EQ(other->GetLines()->GetCount(), 1);
}

TEST_F(EditorOptionsTest, KeyBindingsAreStoredAsTheirDifferenceFromTheDefaultMap)
{
    TQvEditKeyStrokes base(nullptr);
    base.ResetDefaults();
    TQvEditKeyStrokes added(nullptr);
    TQvEditKeyStrokes removed(nullptr);
    Editor().GetAddedKeystrokes(base, added);
    Editor().GetRemovedKeystrokes(base, removed);
    EXPECT_EQ(added.Count(), 0);
    EXPECT_EQ(removed.Count(), 0);

    // The main window's resource: context help moves from F1 to Ctrl+F1.
    TQvEditKeyStrokes toRemove(nullptr);
    toRemove.AddKey(ecContextHelp, VK_F1, 0);
    TQvEditKeyStrokes toAdd(nullptr);
    toAdd.AddKey(ecContextHelp, VK_F1, ssCtrl);
    Editor().ReadRemovedKeystrokes(toRemove);
    Editor().ReadAddedKeystrokes(toAdd);
    TQvEditKeyStrokes* keys = Editor().GetKeystrokes();
    EXPECT_EQ(keys->FindKeycode(VK_F1, 0), -1);
    ASSERT_GE(keys->FindKeycode(VK_F1, ssCtrl), 0);
    EXPECT_EQ(keys->GetItem(keys->FindKeycode(VK_F1, ssCtrl))->GetCommand(), ecContextHelp);

    Editor().GetAddedKeystrokes(base, added);
    Editor().GetRemovedKeystrokes(base, removed);
    ASSERT_EQ(added.Count(), 1);
    EXPECT_EQ(added.GetItem(0)->GetShortCut(), ShortCut(VK_F1, ssCtrl));
    ASSERT_EQ(removed.Count(), 1);
    EXPECT_EQ(removed.GetItem(0)->GetShortCut(), ShortCut(VK_F1, 0));

    // A removal whose command differs leaves the binding.
    TQvEditKeyStrokes wrongCommand(nullptr);
    wrongCommand.AddKey(ecUndo, VK_F1, ssCtrl);
    Editor().ReadRemovedKeystrokes(wrongCommand);
    EXPECT_GE(keys->FindKeycode(VK_F1, ssCtrl), 0);
}

TEST(TrimTrailingBlanksTest, OnlyTrailingBlanksAndTabsGo)
{
    EXPECT_EQ(TCustomQvEdit::TrimTrailingBlanks("a b \t \t"), "a b");
    EXPECT_EQ(TCustomQvEdit::TrimTrailingBlanks(" \t "), "");
    EXPECT_EQ(TCustomQvEdit::TrimTrailingBlanks("\tx"), "\tx");
    EXPECT_EQ(TCustomQvEdit::TrimTrailingBlanks("x\r\n "), "x\r\n");
    EXPECT_EQ(TCustomQvEdit::TrimTrailingBlanks(""), "");
}

}  // namespace

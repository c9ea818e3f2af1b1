// Undo and redo: replacements in every selection mode come back exactly, steps group by
// block, reason and bracket, group breaks mark the saved state, and the redo list is
// emptied by new edits only.
#include "EditScript.h"
#include "TextEditProbe.h"

namespace {

using Lines = std::vector<std::string>;
using EditorUndoRedoTest = TTextEditFixture;

TEST_F(EditorUndoRedoTest, AReplacementInEveryModeUndoesAndRedoesExactly)
{
    for (TQvSelectionMode mode : {smNormal, smLine, smColumn}) {
        TTextEditProbe& e = Editor();
        e.ClearAll();
        const std::string before = "abcd\r\nefgh\r\nijkl\r\nmnop";
        e.QvSetText(before);
        e.Select({2, 1}, {3, 2}, mode);
        e.SetSelTextExternal("X\r\nY\rZ");
        const std::string after = e.QvGetText();
        ASSERT_NE(after, before);
        e.Undo();
        EXPECT_EQ(e.QvGetText(), before) << int(mode);
        EXPECT_FALSE(e.GetModified()) << int(mode);
        e.Redo();
        EXPECT_EQ(e.QvGetText(), after) << int(mode);
        EXPECT_TRUE(e.GetModified()) << int(mode);
        EXPECT_FALSE(e.GetCanRedo());
    }
}

// Upper case over a line-mode selection, then Undo: the line after the selection stays.
TEST_F(EditorUndoRedoTest, UndoOfALineModeReplacementKeepsTheFollowingLine)
{
    TTextEditProbe& e = Editor();
    SetText("one\ntwo\nthree\nfour\nfive");
    e.Select({1, 3}, {2, 4}, smLine);
    e.DoCaseChange(ecUpperCaseBlock);
    EXPECT_EQ(e.QvGetText(), "one\r\ntwo\r\nTHREE\r\nFOUR\r\nfive");
    e.Undo();
    EXPECT_EQ(e.QvGetText(), "one\r\ntwo\r\nthree\r\nfour\r\nfive");
}

TEST_F(EditorUndoRedoTest, RecordsOfTheSameReasonGroupOnlyWithGroupUndo)
{
    for (bool group : {true, false}) {
        TTextEditProbe& e = Editor();
        e.ClearAll();
        e.SetOptionFlag(eoGroupUndo, group);
        for (const char* s : {"a", "b", "c"})
            e.SetSelTextExternal(s);
        ASSERT_EQ(e.QvGetText(), "abc");
        e.Undo();
        EXPECT_EQ(e.QvGetText(), group ? "" : "ab");
    }
}

// Modified := False is the save: a group break separates what was typed before and after,
// and undoing back to it leaves the editor unmodified.
TEST_F(EditorUndoRedoTest, TheSavedStateSplitsGroupsAndClearsModified)
{
    TTextEditProbe& e = Editor();
    e.SetSelTextExternal("a");
    e.SetSelTextExternal("b");
    e.SetModified(false);
    e.SetModified(false);
    EXPECT_EQ(e.UndoReasons(), (std::vector<TQvChangeReason>{crInsert, crInsert, crGroupBreak}));
    e.SetSelTextExternal("c");
    EXPECT_TRUE(e.GetModified());
    e.Undo();
    EXPECT_EQ(e.QvGetText(), "ab");
    EXPECT_FALSE(e.GetModified());
    e.Undo();
    EXPECT_EQ(e.QvGetText(), "");
    EXPECT_TRUE(e.GetModified());
    e.Redo();
    EXPECT_EQ(e.QvGetText(), "ab");
    EXPECT_FALSE(e.GetModified());
    e.Redo();
    EXPECT_EQ(e.QvGetText(), "abc");
    EXPECT_TRUE(e.GetModified());
}

// After a save, a new text (the buffer cleared and loaded) starts unmodified, and an edit
// undone brings it back to unmodified.
TEST_F(EditorUndoRedoTest, ANewTextIsTheSavedStateAgain)
{
    TTextEditProbe& e = Editor();
    e.SetSelTextExternal("a");
    e.SetModified(false);
    SetText("other file");
    EXPECT_FALSE(e.GetModified());
    EXPECT_FALSE(e.GetCanUndo());
    e.SetSelTextExternal("x");
    EXPECT_TRUE(e.GetModified());
    e.Undo();
    EXPECT_EQ(e.QvGetText(), "other file");
    EXPECT_FALSE(e.GetModified());
}

// ClearAll on a buffer that is empty already (which tells nobody it was cleared) still
// makes the empty text the saved state.
TEST_F(EditorUndoRedoTest, ClearAllMakesTheEmptyTextTheSavedState)
{
    TTextEditProbe& e = Editor();
    SetText("x");
    e.SetSelTextExternal("a");
    e.SetModified(false);
    e.GetLines()->Delete(0);
    e.ClearAll();
    EXPECT_FALSE(e.GetModified());
    e.SetSelTextExternal("z");
    e.Undo();
    EXPECT_EQ(e.QvGetText(), "");
    EXPECT_FALSE(e.GetModified());
    EXPECT_TRUE(e.GetCanRedo());
}

TEST_F(EditorUndoRedoTest, ANewEditEmptiesTheRedoListButRedoItselfDoesNot)
{
    TTextEditProbe& e = Editor();
    e.SetOptionFlag(eoGroupUndo, false);
    e.SetSelTextExternal("a");
    e.SetSelTextExternal("b");
    e.Undo();
    e.Undo();
    ASSERT_EQ(e.GetRedoList()->ItemCount(), 2);
    e.Redo();
    EXPECT_TRUE(e.GetCanRedo());
    e.SetSelTextExternal("z");
    EXPECT_FALSE(e.GetCanRedo());
    EXPECT_EQ(e.QvGetText(), "az");
}

TEST_F(EditorUndoRedoTest, ABracketedStepUndoesWhateverIsInsideIt)
{
    TTextEditProbe& e = Editor();
    SetText("x");
    TQvEditUndoList* undo = e.GetUndoList();
    undo->AddChange(crSpecial1Begin, {1, 1}, {1, 1}, "", smNormal);
    e.SetSelTextExternal("a");
    e.SetCaretXY({1, 1});
    e.SetSelTextExternal("b");
    undo->AddChange(crSpecial1End, {1, 1}, {1, 1}, "", smNormal);
    ASSERT_EQ(e.QvGetText(), "bax");
    e.Undo();
    EXPECT_EQ(e.QvGetText(), "x");
    EXPECT_FALSE(e.GetCanUndo());
    // The markers are not mirrored; the records undone together keep one number.
    e.Redo();
    EXPECT_EQ(e.QvGetText(), "bax");
    EXPECT_FALSE(e.GetCanRedo());
}

// Typing over characters records what it replaced; redo must replace it again.
TEST_F(EditorUndoRedoTest, RedoOfAnOverwriteReplacesInsteadOfInserting)
{
    TTextEditProbe& e = Editor();
    SetText("xyzdef");
    e.GetUndoList()->AddChange(crInsert, {1, 1}, {4, 1}, "abc", smNormal);
    e.Undo();
    EXPECT_EQ(e.QvGetText(), "abcdef");
    e.Redo();
    EXPECT_EQ(e.QvGetText(), "xyzdef");
    e.Undo();
    EXPECT_EQ(e.QvGetText(), "abcdef");
}

// A line longer than the maximum width: a change past that width is undone whole.
TEST_F(EditorUndoRedoTest, AChangePastTheMaximumWidthOfALongLineUndoesWhole)
{
    TTextEditProbe& e = Editor();
    e.SetMaxLineWidth(20);
    const std::string line(40, 'x');
    SetText(line);
    e.GetUndoList()->AddChange(crInsert, {15, 1}, {31, 1}, "abc", smNormal);
    e.Undo();
    EXPECT_EQ(e.QvGetText(), std::string(14, 'x') + "abc" + std::string(10, 'x'));
    e.Redo();
    EXPECT_EQ(e.QvGetText(), line);

    e.GetUndoList()->AddChange(crDelete, {31, 1}, {34, 1}, "abc", smNormal);
    e.Undo();
    EXPECT_EQ(e.QvGetText(), std::string(30, 'x') + "abc" + std::string(10, 'x'));
    e.Redo();
    EXPECT_EQ(e.QvGetText(), line);
}

// Delete Line records the line from column 1 to the caret; redo must take the whole line
// again, also the last one, whose undo brought it back after a line end of its own.
TEST_F(EditorUndoRedoTest, RedoOfDeleteLineTakesTheWholeLine)
{
    TTextEditProbe& e = Editor();
    for (Integer line : {1, 2}) {
        SetText("first line\nlast line");
        e.SetCaretXY({3, line});
        e.CommandProcessor(ecDeleteLine, '\0', nullptr);
        const std::string deleted = e.QvGetText();
        e.Undo();
        EXPECT_EQ(e.QvGetText(), "first line\r\nlast line");
        e.Redo();
        EXPECT_EQ(e.QvGetText(), deleted) << line;
    }
}

// A line break comes back as the two lines it made, not as a new Enter, which would indent
// the new line by the line above.
TEST_F(EditorUndoRedoTest, RedoOfALineBreakGivesBackTheLinesItMade)
{
    TTextEditProbe& e = Editor();
    ASSERT_TRUE(e.GetOptions().Contains(eoAutoIndent));
    e.SetOptionFlag(eoTrimTrailingSpaces, false);
    SetText("  top\n    x");
    e.SetCaretXY({2, 2});
    e.SetSelTextPrimitive(smColumn, "a\r\nb");
    const std::string pasted = e.QvGetText();
    ASSERT_EQ(pasted, "  top\r\n a   x\r\n b");
    while (e.GetCanUndo())
        e.Undo();
    EXPECT_EQ(e.QvGetText(), "  top\r\n    x");
    while (e.GetCanRedo())
        e.Redo();
    EXPECT_EQ(e.QvGetText(), pasted);
}

TEST_F(EditorUndoRedoTest, AReadOnlyEditorNeitherUndoesNorRedoes)
{
    TTextEditProbe& e = Editor();
    e.SetSelTextExternal("a");
    e.SetReadOnly(true);
    EXPECT_FALSE(e.GetCanUndo());
    e.Undo();
    EXPECT_EQ(e.QvGetText(), "a");
    e.SetReadOnly(false);
    e.Undo();
    e.SetReadOnly(true);
    EXPECT_FALSE(e.GetCanRedo());
    e.Redo();
    EXPECT_EQ(e.QvGetText(), "");
}

TEST_F(EditorUndoRedoTest, OnChangeFiresOncePerUndoBlock)
{
    struct TCounter : TObject {
        int Count = 0;
        void Changed(TObject*) { ++Count; }
    } counter;
    TTextEditProbe& e = Editor();
    SetText("abc");
    e.OnChange = TNotifyEvent(&counter, &TCounter::Changed);
    e.Select({1, 1}, {3, 1});
    e.SetSelTextExternal("xy");
    EXPECT_EQ(counter.Count, 1);
    e.OnChange = nullptr;
}

// ---- Block indent, unindent and case --------------------------------------------------------

TEST_F(EditorUndoRedoTest, BlockIndentAndUnindentEachUndoInOneStep)
{
    TTextEditProbe& e = Editor();
    e.SetTabWidth(2);
    SetText("a\n b\n\tc\nd");
    e.Select({1, 1}, {1, 4});
    e.DoBlockIndent();
    EXPECT_EQ(e.LineList(), (Lines{"  a", "   b", "  \tc", "d"}));
    EXPECT_EQ(e.GetBlockBegin(), (TPoint{3, 1}));
    e.DoBlockUnindent();
    e.DoBlockUnindent();
    EXPECT_EQ(e.LineList(), (Lines{"a", "b", "c", "d"}));
    e.Undo();
    EXPECT_EQ(e.LineList(), (Lines{"a", " b", "\tc", "d"}));
    e.Undo();
    EXPECT_EQ(e.LineList(), (Lines{"  a", "   b", "  \tc", "d"}));
    e.Redo();
    EXPECT_EQ(e.LineList(), (Lines{"a", " b", "\tc", "d"}));
    e.Undo();
    e.Undo();
    EXPECT_EQ(e.LineList(), (Lines{"a", " b", "\tc", "d"}));
}

TEST_F(EditorUndoRedoTest, ColumnBlockIndentAndUnindentWorkAtTheBlocksColumn)
{
    TTextEditProbe& e = Editor();
    e.SetTabWidth(2);
    e.SetOptionFlag(eoTabsToSpaces, false);
    SetText("ab\ncd\nef");
    e.Select({2, 1}, {3, 2}, smColumn);
    e.DoBlockIndent();
    EXPECT_EQ(e.LineList(), (Lines{"a\tb", "c\td", "ef"}));
    EXPECT_EQ(e.GetSelectionMode(), smColumn);
    e.Select({2, 1}, {3, 2}, smColumn);
    e.DoBlockUnindent();
    EXPECT_EQ(e.LineList(), (Lines{"ab", "cd", "ef"}));
    e.Undo();
    EXPECT_EQ(e.LineList(), (Lines{"a\tb", "c\td", "ef"}));
    e.Redo();
    EXPECT_EQ(e.LineList(), (Lines{"ab", "cd", "ef"}));
}

TEST_F(EditorUndoRedoTest, CaseChangesOfWordsAndBlocks)
{
    TTextEditProbe& e = Editor();
    SetText("hello wORLD x");
    e.SetCaretXY({2, 1});
    e.DoCaseChange(ecUpperCase);
    EXPECT_EQ(e.QvGetText(), "HELLO wORLD x");
    EXPECT_EQ(e.GetCaretXY(), (TPoint{2, 1}));
    e.SetCaretXY({8, 1});
    e.DoCaseChange(ecTitleCase);
    EXPECT_EQ(e.QvGetText(), "HELLO World x");
    e.Select({1, 1}, {12, 1});
    e.DoCaseChange(ecToggleCaseBlock);
    EXPECT_EQ(e.QvGetText(), "hello wORLD x");
    EXPECT_EQ(e.GetSelText(), "hello wORLD");
    // Without a selection the block forms take the character at the caret.
    e.SetCaretXY({13, 1});
    e.DoCaseChange(ecUpperCaseBlock);
    EXPECT_EQ(e.QvGetText(), "hello wORLD X");
}

TEST_F(EditorUndoRedoTest, CaseFollowsTheCodePage)
{
    TTextEditProbe& e = Editor();
    SetText("\xE9t\xE9");  // été in code page 1252
    e.SelectAll();
    e.DoCaseChange(ecUpperCaseBlock);
    EXPECT_EQ(e.QvGetText(), "\xC9T\xC9");
}

}  // namespace

namespace {

// A paste that changes nothing is still a step: going back before the save that followed
// it leaves the editor modified, also after a redo to the save and a second undo.
TEST_F(EditorUndoRedoTest, UndoBeforeASaveAfterAPasteOfNothingIsModifiedEachTime)
{
    TTextEditProbe& e = Editor();
    SetText("ab");
    e.SetSelectionMode(smNormal);
    editscript::PutOnClipboard("\r\n", smColumn);
    e.CommandProcessor(ecPaste, '\0', nullptr);
    ASSERT_EQ(e.QvGetText(), "ab");
    e.SetModified(false);
    for (int cycle = 0; cycle < 2; ++cycle) {
        e.Undo();
        EXPECT_TRUE(e.GetModified()) << "cycle " << cycle;
        e.Redo();
        EXPECT_FALSE(e.GetModified()) << "cycle " << cycle;
    }
}

}  // namespace

namespace {

// Undo selects what it replaces, also where the user may select nothing; the user is
// left with the caret alone.
TEST_F(EditorUndoRedoTest, UndoAndRedoWorkWhereNothingCanBeSelected)
{
    TTextEditProbe& e = Editor();
    e.SetOptionFlag(eoNoSelection, true);
    SetText("abc");
    e.SetCaretXY({2, 1});
    e.CommandProcessor(ecChar, 'x', nullptr);
    e.CommandProcessor(ecDeleteChar, '\0', nullptr);
    ASSERT_EQ(e.QvGetText(), "axc");
    e.Undo();
    e.Undo();
    EXPECT_EQ(e.QvGetText(), "abc");
    EXPECT_FALSE(e.GetSelAvail());
    e.Redo();
    e.Redo();
    EXPECT_EQ(e.QvGetText(), "axc");
    EXPECT_FALSE(e.GetSelAvail());
}

}  // namespace

namespace {

// Redo of a line break that has to break the line anew (the text had no line) keeps the
// step's number, which stands for the saved state without group undo.
TEST_F(EditorUndoRedoTest, RedoingTheSavedLineBreakOfAnEmptyTextIsUnmodified)
{
    TTextEditProbe& e = Editor();
    e.SetOptionFlag(eoGroupUndo, false);
    e.ClearAll();
    e.CommandProcessor(ecLineBreak, '\r', nullptr);
    ASSERT_EQ(e.QvGetText(), "\r\n");
    e.SetModified(false);
    e.Undo();
    EXPECT_TRUE(e.GetModified());
    e.Redo();
    EXPECT_EQ(e.QvGetText(), "\r\n");
    EXPECT_FALSE(e.GetModified());
}

}  // namespace

namespace {

// Without group undo the saved state is the number of the change on top; a paste of
// nothing keeps its number through undo and redo.
TEST_F(EditorUndoRedoTest, RedoingASavedPasteOfNothingIsUnmodified)
{
    TTextEditProbe& e = Editor();
    e.SetOptionFlag(eoGroupUndo, false);
    SetText("ab");
    e.CommandProcessor(ecChar, 'x', nullptr);
    editscript::PutOnClipboard("\r\n", smColumn);
    e.CommandProcessor(ecPaste, '\0', nullptr);
    e.SetModified(false);
    for (int cycle = 0; cycle < 2; ++cycle) {
        while (e.GetCanUndo())
            e.Undo();
        EXPECT_TRUE(e.GetModified()) << "cycle " << cycle;
        while (e.GetCanRedo())
            e.Redo();
        EXPECT_EQ(e.QvGetText(), "xab");
        EXPECT_FALSE(e.GetModified()) << "cycle " << cycle;
    }
}

}  // namespace

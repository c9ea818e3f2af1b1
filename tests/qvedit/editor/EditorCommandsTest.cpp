// Command execution driven by keys: typing, line breaks, deleting, tabs, bookmarks and
// pages, each with what undo brings back; the editing commands in every selection mode.
#include "EditorFixture.h"

#include "platform/window/Clipboard.h"

#include <string>
#include <vector>

namespace {

class EditorCommandsTest : public EditorFixture {
protected:
    using Lines = std::vector<std::string>;
};

TEST_F(EditorCommandsTest, TypingPastTheLineEndFillsWithBlanksAndUndoesInOneStep)
{
    TQvEdit& e = Editor();
    SetText("abc");
    e.SetCaretXY(TPoint{10, 1});
    Type("x");
    EXPECT_EQ(AllLines(), (Lines{"abc      x"}));
    EXPECT_EQ(e.GetCaretXY(), (TPoint{11, 1}));
    Key('Z', ssCtrl);
    EXPECT_EQ(AllLines(), (Lines{"abc"}));
    EXPECT_EQ(e.GetCaretXY(), (TPoint{10, 1}));
    EXPECT_FALSE(e.GetCanUndo());

    // Overwrite mode replaces, and undo gives the replaced characters back.
    e.SetCaretXY(TPoint{1, 1});
    Key(VK_INSERT);
    Type("xy");
    EXPECT_EQ(AllLines(), (Lines{"xyc"}));
    while (e.GetCanUndo())
        Key('Z', ssCtrl);
    EXPECT_EQ(AllLines(), (Lines{"abc"}));
}

TEST_F(EditorCommandsTest, EnterCopiesTheIndentationWithTabsWhenTabsAreKept)
{
    TQvEdit& e = Editor();
    e.SetTabWidth(4);
    SetText("        foo bar");
    e.SetCaretXY(TPoint{13, 1});
    Key(VK_RETURN);
    EXPECT_EQ(AllLines(), (Lines{"        foo", "        bar"}));  // tabs to spaces (default)
    EXPECT_EQ(e.GetCaretXY(), (TPoint{9, 2}));

    e.SetOptionFlag(eoTabsToSpaces, false);
    SetText("        foo bar");
    e.SetCaretXY(TPoint{13, 1});
    Key(VK_RETURN);
    EXPECT_EQ(AllLines(), (Lines{"        foo", "\t\tbar"}));
    EXPECT_EQ(e.GetCaretXY(), (TPoint{3, 2}));
    Key('Z', ssCtrl);
    EXPECT_EQ(AllLines(), (Lines{"        foo bar"}));
}

TEST_F(EditorCommandsTest, EnterAtTheLineEndTakesTheIndentationOfTheCaretLine)
{
    TQvEdit& e = Editor();
    SetText("x\n\t  foo");
    e.SetCaretXY(TPoint{1, 2});
    Key(VK_END);
    Key(VK_RETURN);
    EXPECT_EQ(AllLines(), (Lines{"x", "\t  foo", "\t  "}));
    EXPECT_EQ(e.GetCaretXY(), (TPoint{4, 3}));
    Key('Z', ssCtrl);
    EXPECT_EQ(AllLines(), (Lines{"x", "\t  foo"}));
}

TEST_F(EditorCommandsTest, EnterAtColumnOneMovesTheLineDownAndOnAnEmptyLineIndentsFromAbove)
{
    TQvEdit& e = Editor();
    SetText("ab\ncd");
    e.SetCaretXY(TPoint{1, 2});
    Key(VK_RETURN);
    EXPECT_EQ(AllLines(), (Lines{"ab", "", "cd"}));
    EXPECT_EQ(e.GetCaretXY(), (TPoint{1, 3}));

    SetText("  x\n\n");
    e.SetCaretXY(TPoint{1, 2});
    Key(VK_RETURN);
    EXPECT_EQ(AllLines(), (Lines{"  x", "", ""}));
    EXPECT_EQ(e.GetCaretXY(), (TPoint{3, 3}));
}

TEST_F(EditorCommandsTest, UndoOfEnterAfterTheLineEndAddsNoBlanks)
{
    TQvEdit& e = Editor();
    e.SetOptionFlag(eoTrimTrailingSpaces, false);
    SetText("abc\n\nz");
    e.SetCaretXY(TPoint{10, 1});
    Key(VK_RETURN);
    e.SetCaretXY(TPoint{5, 3});  // the empty line, now the third
    Key(VK_RETURN);
    EXPECT_EQ(AllLines(), (Lines{"abc", "", "", "", "z"}));
    Key('Z', ssCtrl);
    Key('Z', ssCtrl);
    EXPECT_EQ(AllLines(), (Lines{"abc", "", "z"}));
}

TEST_F(EditorCommandsTest, BackspaceJoinsLinesAndGoesBackToTheIndentationAbove)
{
    TQvEdit& e = Editor();
    SetText("ab\ncd");
    e.SetCaretXY(TPoint{1, 2});
    Key(VK_BACK);
    EXPECT_EQ(AllLines(), (Lines{"abcd"}));
    EXPECT_EQ(e.GetCaretXY(), (TPoint{3, 1}));
    e.SetCaretXY(TPoint{1, 1});
    Key(VK_BACK);
    EXPECT_EQ(AllLines(), (Lines{"abcd"}));
    Key('Z', ssCtrl);
    EXPECT_EQ(AllLines(), (Lines{"ab", "cd"}));

    // Smart-tab delete: right after the leading blanks, to the nearest lesser indent above.
    SetText("if\n    a\n        b");
    e.SetCaretXY(TPoint{9, 3});
    Key(VK_BACK);
    EXPECT_EQ(e.GetLines()->Get(2), "    b");
    EXPECT_EQ(e.GetCaretXY(), (TPoint{5, 3}));
    Key(VK_BACK);
    EXPECT_EQ(e.GetLines()->Get(2), "b");

    // Without it, to the previous tab stop.
    e.SetOptionFlag(eoSmartTabDelete, false);
    e.SetTabWidth(4);
    SetText("      x");
    e.SetCaretXY(TPoint{7, 1});
    Key(VK_BACK);
    EXPECT_EQ(AllLines(), (Lines{"    x"}));
    SetText("  \tx");
    e.SetCaretXY(TPoint{4, 1});
    Key(VK_BACK);
    EXPECT_EQ(AllLines(), (Lines{"x"}));  // a tab ends the step and goes with it
}

TEST_F(EditorCommandsTest, DeleteAndDeleteWordJoinTheNextLineAtTheCaretsColumn)
{
    TQvEdit& e = Editor();
    SetText("ab\ncd");
    e.SetCaretXY(TPoint{5, 1});
    Key(VK_DELETE);
    EXPECT_EQ(AllLines(), (Lines{"ab  cd"}));
    Key('Z', ssCtrl);
    EXPECT_EQ(AllLines(), (Lines{"ab", "cd"}));
    e.SetCaretXY(TPoint{3, 2});
    Key(VK_DELETE);  // at the end of the last line: nothing
    EXPECT_EQ(AllLines(), (Lines{"ab", "cd"}));

    // Undo takes the blanks of the join away too, also where they are kept.
    e.SetOptionFlag(eoTrimTrailingSpaces, false);
    for (TShiftState shift : {TShiftState{0}, TShiftState{ssCtrl}}) {
        e.SetCaretXY(TPoint{5, 1});
        Key(shift == 0 ? VK_DELETE : 'T', shift);
        EXPECT_EQ(AllLines(), (Lines{"ab  cd"}));
        Key('Z', ssCtrl);
        EXPECT_EQ(AllLines(), (Lines{"ab", "cd"}));
        Key('Z', ssCtrl | ssShift);
        EXPECT_EQ(AllLines(), (Lines{"ab  cd"}));
        Key('Z', ssCtrl);
    }
}

TEST_F(EditorCommandsTest, PageDownWithHalfPageAndOneLessMovesFourteenOfThirtyLines)
{
    TQvEdit& e = Editor();
    std::string text;
    for (int i = 1; i <= 100; ++i)
        text += "line\n";
    SetText(text);
    SetSize(EditorWidth, 30 * e.GetLineHeight() + e.Height() - e.ClientHeight());
    ASSERT_EQ(e.GetLinesInWindow(), 30);
    e.SetOptionFlag(eoHalfPageScroll, true);
    e.SetOptionFlag(eoScrollByOneLess, true);
    Key(VK_NEXT);
    EXPECT_EQ(e.GetCaretXY(), (TPoint{1, 15}));
    EXPECT_EQ(e.GetTopLine(), 15);
}

TEST_F(EditorCommandsTest, TheBookmarkKeysToggleMoveAndGoToABookmark)
{
    TQvEdit& e = Editor();
    SetText("one\ntwo\nthree");
    Integer x = 0;
    Integer y = 0;
    e.SetCaretXY(TPoint{2, 2});
    Key('5', ssShift | ssCtrl);
    ASSERT_TRUE(e.GetBookMark(5, x, y));
    EXPECT_EQ((TPoint{x, y}), (TPoint{2, 2}));
    Key('5', ssShift | ssCtrl);  // same line: off
    EXPECT_FALSE(e.IsBookmark(5));

    Key('5', ssShift | ssCtrl);
    e.SetCaretXY(TPoint{1, 3});
    Key('5', ssShift | ssCtrl);  // another line: moved
    ASSERT_TRUE(e.GetBookMark(5, x, y));
    EXPECT_EQ(y, 3);
    e.SetCaretXY(TPoint{1, 1});
    Key('5', ssCtrl);
    EXPECT_EQ(e.GetCaretY(), 3);

    e.GetBookMarkOptions()->SetEnableKeys(false);
    Key('5', ssShift | ssCtrl);
    EXPECT_TRUE(e.IsBookmark(5));
}

TEST_F(EditorCommandsTest, DeleteLineKeepsTheBookmarksOfOtherLinesAndDoesNothingOnAnEmptyBuffer)
{
    TQvEdit& e = Editor();
    SetText("one\ntwo\nthree\nfour");
    e.SetBookMark(1, 1, 2);
    e.SetBookMark(3, 1, 4);
    e.SetCaretXY(TPoint{2, 3});
    Key('Y', ssCtrl);
    EXPECT_EQ(AllLines(), (Lines{"one", "two", "four"}));
    Integer x = 0;
    Integer y = 0;
    e.GetBookMark(1, x, y);
    EXPECT_EQ(y, 2);
    e.GetBookMark(3, x, y);
    EXPECT_EQ(y, 3);
    Key('Z', ssCtrl);
    EXPECT_EQ(AllLines(), (Lines{"one", "two", "three", "four"}));

    // The only line is emptied, not deleted: its bookmark stays on line 1.
    SetText("only");
    e.SetBookMark(2, 1, 1);
    Key('Y', ssCtrl);
    EXPECT_EQ(AllLines(), (Lines{""}));
    e.GetBookMark(2, x, y);
    EXPECT_EQ(y, 1);

    e.GetLines()->Clear();
    ASSERT_EQ(e.GetLines()->Count(), 0);
    EXPECT_NO_THROW(e.CommandProcessor(ecDeleteLine, '\0', nullptr));
    EXPECT_EQ(e.GetLines()->Count(), 0);
}

TEST_F(EditorCommandsTest, InsertLineMovesOnlyTheBookmarksOfTheLinesBelowTheNewLine)
{
    TQvEdit& e = Editor();
    SetText("ab\ncd\nef");
    e.SetBookMark(0, 1, 1);
    e.SetBookMark(1, 1, 2);
    e.SetCaretXY(TPoint{1, 2});
    Key('N', ssCtrl);  // before "cd": the caret stays, "cd" and its bookmark go down
    EXPECT_EQ(AllLines(), (Lines{"ab", "", "cd", "ef"}));
    EXPECT_EQ(e.GetCaretXY(), (TPoint{1, 2}));
    Integer x = 0;
    Integer y = 0;
    e.GetBookMark(0, x, y);
    EXPECT_EQ(y, 1);
    e.GetBookMark(1, x, y);
    EXPECT_EQ(y, 3);

    e.SetCaretXY(TPoint{2, 3});
    Key('N', ssCtrl);  // after "c": the new line comes below, "c" keeps its bookmark
    EXPECT_EQ(AllLines(), (Lines{"ab", "", "c", "d", "ef"}));
    e.GetBookMark(1, x, y);
    EXPECT_EQ(y, 3);
}

// Typing and input-method text over a selection of each mode, undone in one step.
class EditorOverSelectionTest : public EditorCommandsTest,
                                public ::testing::WithParamInterface<TQvSelectionMode> {};

TEST_P(EditorOverSelectionTest, ReplacingTheSelectionUndoesToTheOriginal)
{
    TQvEdit& e = Editor();
    const Lines original{"abcd", "efgh", "ijkl", "mnop"};
    for (int ime = 0; ime < 2; ++ime) {
        SetText("abcd\nefgh\nijkl\nmnop");
        e.SetSelectionMode(GetParam());
        e.SetCaretAndSelection(TPoint{4, 3}, TPoint{2, 1}, TPoint{4, 3});
        if (ime == 1)
            e.CommandProcessor(ecImeStr, '\0', const_cast<char*>("xy"));
        else
            Type("x");
        const Lines edited = AllLines();
        EXPECT_NE(edited, original);
        Key('Z', ssCtrl);
        EXPECT_EQ(AllLines(), original) << "ime " << ime;
        EXPECT_FALSE(e.GetCanUndo());
        Key('Z', ssCtrl | ssShift);
        EXPECT_EQ(AllLines(), edited) << "ime " << ime;
    }
}

INSTANTIATE_TEST_SUITE_P(AllModes, EditorOverSelectionTest, ::testing::Values(smNormal, smColumn, smLine));

TEST_F(EditorCommandsTest, TabInLineModeIsUndoneWithoutTakingTheLine)
{
    TQvEdit& e = Editor();
    SetText("ab\ncd\nef");
    Key('L', ssShift | ssCtrl);
    e.SetCaretXY(TPoint{1, 2});
    Key(VK_TAB);
    EXPECT_EQ(AllLines(), (Lines{"ab", "  cd", "ef"}));  // under the next word start above
    Key('Z', ssCtrl);
    EXPECT_EQ(AllLines(), (Lines{"ab", "cd", "ef"}));
}

// In line mode the tab goes in at column 1 wherever the caret is; undo takes it from there.
TEST_F(EditorCommandsTest, TabInLineModeAwayFromColumnOneIsUndoneWhereItWent)
{
    TQvEdit& e = Editor();
    e.SetTabWidth(4);
    e.SetOptionFlag(eoSmartTabs, false);
    SetText("ab\ncdef");
    Key('L', ssShift | ssCtrl);
    e.SetCaretXY(TPoint{3, 2});
    Key(VK_TAB);
    EXPECT_EQ(AllLines(), (Lines{"ab", "  cdef"}));
    EXPECT_EQ(e.GetCaretXY(), (TPoint{5, 2}));  // still before "ef"
    Key('Z', ssCtrl);
    EXPECT_EQ(AllLines(), (Lines{"ab", "cdef"}));
    Key('Z', ssCtrl | ssShift);
    EXPECT_EQ(AllLines(), (Lines{"ab", "  cdef"}));
}

// Overwrite mode replaces only characters that are there: at and after the line end the
// typed text is added, after blanks up to the caret that undo takes away with it.
TEST_F(EditorCommandsTest, OverwritingAtOrPastTheLineEndAddsAndUndoesExactly)
{
    TQvEdit& e = Editor();
    e.SetOptionFlag(eoTrimTrailingSpaces, false);
    e.SetInsertMode(false);
    for (Integer column : {3, 4, 7}) {
        SCOPED_TRACE(column);
        SetText("abc\nz");
        e.SetCaretXY(TPoint{column, 1});
        Type("xy");
        const Lines typed = AllLines();
        EXPECT_EQ(typed[0], column == 3 ? "abxy" : column == 4 ? "abcxy" : "abc   xy");
        while (e.GetCanUndo())
            Key('Z', ssCtrl);
        EXPECT_EQ(AllLines(), (Lines{"abc", "z"}));
        while (e.GetCanRedo())
            Key('Z', ssCtrl | ssShift);
        EXPECT_EQ(AllLines(), typed);
    }

    // On an empty line the gap may be filled with tabs, which are fewer characters than
    // columns: the character goes after them.
    e.SetOptionFlag(eoTabsToSpaces, false);
    e.SetTabWidth(2);
    SetText("");
    e.SetCaretXY(TPoint{6, 1});
    Type("x");
    EXPECT_EQ(AllLines(), (Lines{"\t\t x"}));
    Key('Z', ssCtrl);
    EXPECT_EQ(AllLines(), Lines{}) << "the text had no line before";
}

// Input-method text past the line end comes after blanks that undo takes away with it.
TEST_F(EditorCommandsTest, InputMethodTextPastTheLineEndUndoesWithItsBlanks)
{
    TQvEdit& e = Editor();
    e.SetOptionFlag(eoTrimTrailingSpaces, false);
    for (bool insert : {true, false}) {
        SCOPED_TRACE(insert);
        e.SetInsertMode(insert);
        SetText("ab");
        e.SetCaretXY(TPoint{5, 1});
        e.CommandProcessor(ecImeStr, '\0', const_cast<char*>("xy"));
        EXPECT_EQ(AllLines(), (Lines{"ab  xy"}));
        Key('Z', ssCtrl);
        EXPECT_EQ(AllLines(), (Lines{"ab"}));
        EXPECT_FALSE(e.GetCanUndo());
        Key('Z', ssCtrl | ssShift);
        EXPECT_EQ(AllLines(), (Lines{"ab  xy"}));
    }
}

// A column block that reaches past line ends, kept when the mode goes back to normal, is
// replaced from the line ends it stands for; undo gives back exactly what it took.
TEST_F(EditorCommandsTest, AColumnBlockKeptInNormalModeIsReplacedAndUndoneExactly)
{
    TQvEdit& e = Editor();
    e.SetOptionFlag(eoTrimTrailingSpaces, false);
    for (Word key : {Word('X'), Word(VK_RETURN), Word(VK_TAB), Word(VK_BACK)}) {
        SCOPED_TRACE(key);
        SetText("ab\ncdefgh\nij");
        e.SetSelectionMode(smColumn);
        e.SetCaretAndSelection(TPoint{6, 3}, TPoint{5, 1}, TPoint{6, 3});
        e.SetSelectionMode(smNormal);
        Key(key);
        const Lines edited = AllLines();
        while (e.GetCanUndo())
            Key('Z', ssCtrl);
        EXPECT_EQ(AllLines(), (Lines{"ab", "cdefgh", "ij"}));
        while (e.GetCanRedo())
            Key('Z', ssCtrl | ssShift);
        EXPECT_EQ(AllLines(), edited);
    }

    // A block wholly past the end of its line selects nothing; what replaces it goes in
    // where the block begins, at the line end, and is undone there.
    for (bool paste : {false, true}) {
        SCOPED_TRACE(paste);
        SetText("b\nc");
        e.SetSelectionMode(smColumn);
        e.SetCaretAndSelection(TPoint{1, 1}, TPoint{2, 1}, TPoint{6, 1});
        e.SetSelectionMode(smNormal);
        if (paste) {
            Clipboard()->SetAsText("tail\n");
            Key('V', ssCtrl);
        } else {
            e.SetSelTextExternal("tail\n");
        }
        EXPECT_EQ(AllLines(), (Lines{"btail", "", "c"}));
        Key('Z', ssCtrl);
        EXPECT_EQ(AllLines(), (Lines{"b", "c"}));
    }
}

TEST_F(EditorCommandsTest, AReadOnlyEditorMovesAndCopiesButChangesNothing)
{
    TQvEdit& e = Editor();
    SetText("abc\ndef");
    e.SetReadOnly(true);
    Clipboard()->SetAsText("Z");
    e.SetCaretXY(TPoint{2, 1});
    Type("x");
    for (Word key : {VK_BACK, VK_DELETE, VK_RETURN, VK_TAB})
        Key(key);
    Key('V', ssCtrl);
    Key('Y', ssCtrl);
    EXPECT_EQ(AllLines(), (Lines{"abc", "def"}));
    Key(VK_END, ssShift);
    Key('C', ssCtrl);
    EXPECT_EQ(Clipboard()->AsText(), "bc");
}

}  // namespace

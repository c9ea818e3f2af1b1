// The selection: its points and modes, caret moves that carry it, the flat-index forms
// with two characters per line end, words and the leading-blank helpers.
#include "EditorFixture.h"
#include "TestHighlighter.h"

#include <limits>

namespace {

class TSelectionProbe : public TQvEdit {
public:
    using TQvEdit::TQvEdit;
    using TCustomQvEdit::MoveCaretHorz;
    using TCustomQvEdit::MoveCaretVert;
};

using EditorSelectionTest = TEditorFixture<TSelectionProbe>;

TEST_F(EditorSelectionTest, PointsAreOrderedClampedAndAZeroWidthColumnSelectsNothing)
{
    TSelectionProbe& e = Editor();
    SetText("abc\ndefgh\n");
    e.SetCaretAndSelection(TPoint{2, 1}, TPoint{4, 2}, TPoint{2, 1});
    EXPECT_EQ(e.GetBlockBegin(), (TPoint{2, 1}));
    EXPECT_EQ(e.GetBlockEnd(), (TPoint{4, 2}));
    EXPECT_TRUE(e.GetSelTabBlock());

    e.SetBlockBegin(TPoint{99, -4});  // normal mode: within the line
    EXPECT_EQ(e.GetBlockBegin(), (TPoint{4, 1}));
    EXPECT_FALSE(e.GetSelAvail());
    e.SetBlockEnd(TPoint{std::numeric_limits<Integer>::max(), 99});
    EXPECT_EQ(e.GetBlockEnd(), (TPoint{6, 2}));

    e.SetSelectionMode(smColumn);
    e.SetBlockBegin(TPoint{99, 1});  // column mode: up to MaxLineWidth + 1
    EXPECT_EQ(e.GetBlockBegin(), (TPoint{99, 1}));
    e.SetBlockEnd(TPoint{99, 2});
    EXPECT_FALSE(e.GetSelAvail());
    e.SetSelectionMode(smNormal);
    EXPECT_TRUE(e.GetSelAvail());

    SetText("");
    e.SetBlockBegin(TPoint{5, 5});
    EXPECT_EQ(e.GetBlockBegin(), (TPoint{1, 1}));
    e.SetOptionFlag(eoNoSelection, true);
    e.SetBlockEnd(TPoint{1, 1});
    EXPECT_FALSE(e.GetSelAvail());
}

TEST_F(EditorSelectionTest, HorizontalMovesWrapAtLineEndsOnlyWithoutScrollPastEol)
{
    TSelectionProbe& e = Editor();
    SetText("ab\ncd");
    e.SetOptionFlag(eoScrollPastEol, false);
    e.SetCaretXY(TPoint{3, 1});
    e.MoveCaretHorz(1, false);
    EXPECT_EQ(e.GetCaretXY(), (TPoint{1, 2}));
    e.MoveCaretHorz(-1, false);
    EXPECT_EQ(e.GetCaretXY(), (TPoint{3, 1}));
    e.SetCaretXY(TPoint{3, 2});
    e.MoveCaretHorz(1, false);  // the last line's end stays
    EXPECT_EQ(e.GetCaretXY(), (TPoint{3, 2}));
    e.MoveCaretHorz(std::numeric_limits<Integer>::min(), false);
    EXPECT_EQ(e.GetCaretXY(), (TPoint{1, 2}));

    e.SetOptionFlag(eoScrollPastEol, true);
    e.SetCaretXY(TPoint{3, 1});
    e.MoveCaretHorz(1, false);
    EXPECT_EQ(e.GetCaretXY(), (TPoint{4, 1}));
    e.MoveCaretHorz(std::numeric_limits<Integer>::max(), false);
    EXPECT_EQ(e.GetCaretXY(), (TPoint{e.GetMaxLineWidth() + 1, 1}));

    // With Shift the selection grows from the anchor.
    SetText("abcdef");
    e.SetCaretXY(TPoint{2, 1});
    e.MoveCaretHorz(1, true);
    e.MoveCaretHorz(1, true);
    EXPECT_EQ(e.GetBlockBegin(), (TPoint{2, 1}));
    EXPECT_EQ(e.GetBlockEnd(), (TPoint{4, 1}));
    e.MoveCaretHorz(-3, true);
    EXPECT_EQ(e.GetBlockBegin(), (TPoint{1, 1}));
    EXPECT_EQ(e.GetBlockEnd(), (TPoint{2, 1}));
}

TEST_F(EditorSelectionTest, VerticalMovesKeepTheRememberedColumn)
{
    TSelectionProbe& e = Editor();
    SetText(std::string(40, 'x') + "\nshort\n" + std::string(40, 'y'));
    e.SetOptionFlag(eoScrollPastEol, false);
    e.SetOptionFlag(eoKeepCaretX, true);
    e.SetCaretXY(TPoint{30, 1});
    e.MoveCaretVert(1, false);
    EXPECT_EQ(e.GetCaretXY(), (TPoint{6, 2}));
    e.MoveCaretVert(1, false);
    EXPECT_EQ(e.GetCaretXY(), (TPoint{30, 3}));
    e.MoveCaretVert(std::numeric_limits<Integer>::max(), false);
    EXPECT_EQ(e.GetCaretXY(), (TPoint{30, 3}));
    e.MoveCaretVert(std::numeric_limits<Integer>::min(), false);
    EXPECT_EQ(e.GetCaretXY(), (TPoint{30, 1}));

    // Without the option the column is the caret's own.
    e.SetOptionFlag(eoKeepCaretX, false);
    e.MoveCaretVert(1, false);
    e.MoveCaretVert(1, false);
    EXPECT_EQ(e.GetCaretXY(), (TPoint{6, 3}));

    // In column mode a vertical selection stays one column wide.
    e.SetSelectionMode(smColumn);
    e.SetCaretXY(TPoint{3, 1});
    e.MoveCaretVert(2, true);
    EXPECT_TRUE(e.GetSelAvail());
    EXPECT_EQ(e.GetBlockBegin(), (TPoint{3, 1}));
    EXPECT_EQ(e.GetBlockEnd(), (TPoint{4, 3}));
}

TEST_F(EditorSelectionTest, EveryCaretMoveEndsAnUndoGroup)
{
    TSelectionProbe& e = Editor();
    SetText("abc");
    e.GetUndoList()->AddChange(crInsert, TPoint{1, 1}, TPoint{2, 1}, "a", smNormal);
    e.MoveCaretHorz(1, false);
    EXPECT_EQ(e.GetUndoList()->LastChangeReason(), crGroupBreak);
    e.GetUndoList()->Clear();
    e.SetOptionFlag(eoGroupUndo, false);
    e.GetUndoList()->AddChange(crInsert, TPoint{1, 1}, TPoint{2, 1}, "a", smNormal);
    e.MoveCaretHorz(1, false);
    EXPECT_EQ(e.GetUndoList()->LastChangeReason(), crInsert);
}

TEST_F(EditorSelectionTest, FlatIndexesSelectForwardBackwardAndToTheEnd)
{
    TSelectionProbe& e = Editor();
    SetText("ab\ncde\nf");
    e.SetSelStart(4);
    EXPECT_EQ(e.GetCaretXY(), (TPoint{1, 2}));
    e.SetSelLength(5);  // "cde", CR, LF
    EXPECT_EQ(e.GetBlockEnd(), (TPoint{1, 3}));
    EXPECT_EQ(e.GetSelStart(), 4);
    EXPECT_EQ(e.GetSelEnd(), 9);
    EXPECT_EQ(e.GetSelLength(), 5);

    e.SetSelStart(6);
    e.SetSelLength(-5);  // backwards from (3, 2): "b", CR, LF, "cd"
    EXPECT_EQ(e.GetCaretXY(), (TPoint{2, 1}));
    EXPECT_EQ(e.GetBlockBegin(), (TPoint{2, 1}));
    EXPECT_EQ(e.GetBlockEnd(), (TPoint{3, 2}));
    EXPECT_EQ(e.GetSelLength(), 5);

    // Lengths that overflow reach the text's end, and its start.
    e.SetSelStart(6);
    e.SetSelLength(std::numeric_limits<Integer>::max());
    EXPECT_EQ(e.GetBlockBegin(), (TPoint{3, 2}));
    EXPECT_EQ(e.GetBlockEnd(), (TPoint{2, 3}));
    e.SetSelStart(6);
    e.SetSelLength(std::numeric_limits<Integer>::min());
    EXPECT_EQ(e.GetBlockBegin(), (TPoint{1, 1}));
    EXPECT_EQ(e.GetBlockEnd(), (TPoint{3, 2}));
    e.SetSelStart(6);
    e.SetSelEnd(1);
    EXPECT_EQ(e.GetBlockBegin(), (TPoint{2, 1}));
    // An index past the text is its end, a negative one its start.
    e.SetSelStart(0);
    e.SetSelEnd(1000);
    EXPECT_EQ(e.GetSelText(), "ab\r\ncde\r\nf");
    e.SetSelStart(1000);
    EXPECT_EQ(e.GetCaretXY(), (TPoint{2, 3}));
    e.SetSelStart(-7);
    EXPECT_EQ(e.GetCaretXY(), (TPoint{1, 1}));

    e.SelectAll();
    EXPECT_EQ(e.GetSelLength(), 10);
    EXPECT_EQ(e.GetCaretXY(), (TPoint{2, 3}));
    SetText("");
    e.SelectAll();
    EXPECT_FALSE(e.GetSelAvail());
    EXPECT_EQ(e.GetSelStart(), 0);
}

TEST_F(EditorSelectionTest, DoubleClickWordsWithAndWithoutAHighlighter)
{
    TSelectionProbe& e = Editor();
    SetText("alpha beta.gamma");
    e.SetWordBlock(TPoint{8, 1});
    EXPECT_EQ(e.GetBlockBegin(), (TPoint{7, 1}));
    EXPECT_EQ(e.GetBlockEnd(), (TPoint{11, 1}));
    EXPECT_EQ(e.GetCaretXY(), (TPoint{11, 1}));
    e.SetWordBlock(TPoint{6, 1});  // the blank between two words
    EXPECT_FALSE(e.GetSelAvail());
    EXPECT_EQ(e.GetCaretXY(), (TPoint{6, 1}));
    e.SetWordBlock(TPoint{500, 1});  // beyond the line: the caret goes to its end
    EXPECT_FALSE(e.GetSelAvail());
    EXPECT_EQ(e.GetCaretXY(), (TPoint{17, 1}));

    TWordHighlighter words(nullptr);
    e.SetHighlighter(&words);
    e.SetWordBlock(TPoint{13, 1});  // the word-break "." ends the word
    EXPECT_EQ(e.GetBlockBegin(), (TPoint{12, 1}));
    EXPECT_EQ(e.GetBlockEnd(), (TPoint{17, 1}));
    e.SetCaretXY(TPoint{9, 1});
    EXPECT_EQ(e.GetWordAtCursor(), "beta");
    e.SetSelectionMode(smLine);  // the word, not the line
    EXPECT_EQ(e.GetWordAtCursor(), "beta");
    EXPECT_EQ(e.GetWordAtRowCol(TPoint{3, 1}), "alpha");
    e.SetHighlighter(nullptr);
}

}  // namespace

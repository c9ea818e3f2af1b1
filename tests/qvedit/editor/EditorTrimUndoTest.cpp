// Trailing-blank trimming with options other than the main window's: the blanks a change
// trims are recorded with it whatever fills a gap (tabs or blanks) and wherever the caret
// may stand.
#include "TextEditProbe.h"

namespace {

using Lines = std::vector<std::string>;

class EditorTrimUndoTest : public TTextEditFixture {
protected:
    EditorTrimUndoTest()
    {
        TTextEditProbe& e = Editor();
        e.SetOptions(TQvEditorOptions{eoAutoIndent, eoGroupUndo, eoScrollPastEol, eoTrimTrailingSpaces});
        e.SetTabWidth(4);
        e.SetMaxLineWidth(100000);
    }
    void Do(TQvEditorCommand Command, char Char = '\0') { Editor().CommandProcessor(Command, Char, nullptr); }
    void UndoAll()
    {
        while (Editor().GetCanUndo())
            Editor().Undo();
    }
    void RedoAll()
    {
        while (Editor().GetCanRedo())
            Editor().Redo();
    }
};

// A character typed far past the end of an emptied line comes after a filler of tabs and
// blanks; redo gives that filler again, not blanks.
TEST_F(EditorTrimUndoTest, RedoGivesATabFillerBack)
{
    TTextEditProbe& e = Editor();
    SetText("a");
    Do(ecPageRight);
    Do(ecDeleteBOL);
    Do(ecSelPageRight);
    Do(ecChar, 'X');
    const std::string typed = e.QvGetText();
    ASSERT_EQ(typed.find_first_not_of('\t'), typed.size() - 4) << typed;  // tabs, 3 blanks, X
    ASSERT_EQ(typed.substr(typed.size() - 4), "   X");
    for (int cycle = 0; cycle < 2; ++cycle) {
        UndoAll();
        EXPECT_EQ(e.QvGetText(), "a");
        RedoAll();
        EXPECT_EQ(e.QvGetText(), typed);
    }
}

// Without eoScrollPastEol the caret goes no further than the end of the trimmed line.
TEST_F(EditorTrimUndoTest, WithoutScrollPastEolTheCaretStaysOnTheTrimmedLine)
{
    TTextEditProbe& e = Editor();
    e.SetOptionFlag(eoScrollPastEol, false);
    SetText("ab");
    e.SetCaretXY({3, 1});
    e.SetSelTextExternal("x  ");
    EXPECT_EQ(e.LineList(), (Lines{"abx"}));
    EXPECT_EQ(e.GetCaretXY(), (TPoint{4, 1}));
    e.Undo();
    EXPECT_EQ(e.QvGetText(), "ab");
    e.Redo();
    EXPECT_EQ(e.QvGetText(), "abx");
}

// Lines inserted and deleted by the same change keep the trimming on the lines it stored.
TEST_F(EditorTrimUndoTest, AChangeOverSeveralLinesTrimsTheLinesItStored)
{
    TTextEditProbe& e = Editor();
    const std::string start = "keep  \r\none two\r\nthree";
    e.QvSetText(start);
    e.Select({4, 2}, {3, 3});
    e.SetSelTextExternal("A \r\n\tB\t\r\nC ");
    EXPECT_EQ(e.LineList(), (Lines{"keep  ", "oneA", "\tB", "C ree"}));
    e.Undo();
    EXPECT_EQ(e.QvGetText(), start);
    e.Redo();
    EXPECT_EQ(e.LineList(), (Lines{"keep  ", "oneA", "\tB", "C ree"}));
}

}  // namespace

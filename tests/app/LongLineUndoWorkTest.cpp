// One undo or redo step of many records on one long line, with the program's editing
// options (which make consecutive changes of one kind one step): a hundred Deletes at the
// start of a 2 MB line of script without blanks (a blank left at the end would be trimmed,
// a step of its own), a hundred Backspaces in its middle and at its end, each undone and
// redone in one step. A step copies the line about twice whatever the number of its
// records (the bytes it allocates stay within three times the line), and leaves the text,
// caret and selection that replaying its records one by one leaves.
#include "../qvedit/editor/TextEditProbe.h"
#include "HeapCount.h"

#include "app/EditorSettings.h"

namespace {

constexpr std::size_t LineBytes = 2'000'000;

class LongLineUndoWorkTest : public TEditorFixture<TTextEditProbe> {
protected:
    LongLineUndoWorkTest() { ApplyEditingSettings(Editor()); }

    // Sets the line, puts the caret at Column (0: the end) and gives Count of Command there; then undoes
    // and redoes the step on the working line, each within three times the line's bytes,
    // and once more record by record, which must leave the same text, caret and selection.
    void ExpectOneStepCopiesTheLineAboutTwice(Integer Column, TQvEditorCommand Command, int Count)
    {
        TTextEditProbe& e = Editor();
        std::string text;
        while (text.size() < LineBytes)
            text += "a1=function(b,c){return(b+c*2.5);};if(a1(1,2)>3){x=\"str\";}";
        e.ClearAll();
        e.QvSetText(text);
        TPoint at{Column, 1};
        e.CommandProcessor(ecGotoXY, '\0', &at);
        if (Column == 0)
            e.CommandProcessor(ecLineEnd, '\0', nullptr);
        for (int i = 0; i < Count; ++i)
            e.CommandProcessor(Command, '\0', nullptr);
        const std::string edited = e.QvGetText();
        ASSERT_TRUE(edited != text);
        std::string undone;
        std::string redone;
        for (const bool workingLine : {true, false}) {
            SCOPED_TRACE(workingLine ? "on the working line" : "record by record");
            e.SetStepOnWorkingLine(workingLine);
            heapcount::TScope undo;
            e.Undo();
            const std::size_t undoBytes = undo.BytesAllocated();
            EXPECT_TRUE(e.QvGetText() == text) << e.QvGetText().size() << " bytes for " << text.size();
            const std::string afterUndo = e.Positions();
            heapcount::TScope redo;
            e.Redo();
            const std::size_t redoBytes = redo.BytesAllocated();
            EXPECT_TRUE(e.QvGetText() == edited) << e.QvGetText().size() << " bytes for " << edited.size();
            if (workingLine) {
                undone = afterUndo;
                redone = e.Positions();
                if (heapcount::Available()) {
                    EXPECT_LE(undoBytes, 3 * LineBytes);
                    EXPECT_LE(redoBytes, 3 * LineBytes);
                }
            } else {
                EXPECT_EQ(afterUndo, undone);
                EXPECT_EQ(e.Positions(), redone);
            }
        }
    }
};

TEST_F(LongLineUndoWorkTest, DeletesAtTheStart)
{
    ExpectOneStepCopiesTheLineAboutTwice(1, ecDeleteChar, 100);
}

TEST_F(LongLineUndoWorkTest, BackspacesInTheMiddleAndAtTheEnd)
{
    ExpectOneStepCopiesTheLineAboutTwice(static_cast<Integer>(LineBytes / 2), ecDeleteLastChar, 100);
    ExpectOneStepCopiesTheLineAboutTwice(0, ecDeleteLastChar, 100);
}

}  // namespace

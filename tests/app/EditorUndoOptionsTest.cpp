// Undo and redo of line deletions and line-mode replacements with the options the main
// window gives its editor: the text comes back byte for byte, and "unmodified" only with
// the opened text.
#include "MainFormFixture.h"

#include "qvedit/core/QvEditTextBuffer.h"
#include "qvedit/editor/QvEdit.h"

namespace {

class EditorUndoOptionsTest : public TMainFormFixture {
protected:
    EditorUndoOptionsTest() { Start(); }

    TQvEdit& Editor() { return *Form().Editor; }
    // A text as a file is opened: unmodified, with no undo history.
    void Open(const std::string& Text)
    {
        Editor().ClearAll();
        Editor().QvSetText(Text);
        Editor().SetModified(false);
    }
};

TEST_F(EditorUndoOptionsTest, DeleteLineUndoRedoUndoGivesTheTextBack)
{
    TQvEdit& e = Editor();
    for (Integer line : {1, 2}) {
        Open("one\r\ntwo");
        e.SetCaretXY(TPoint{1, line});
        e.CommandProcessor(ecDeleteLine, '\0', nullptr);
        const std::string deleted = e.QvGetText();
        for (int cycle = 0; cycle < 2; ++cycle) {
            Form().mnuEditUndoClick(nullptr);
            EXPECT_EQ(e.QvGetText(), "one\r\ntwo") << line << " cycle " << cycle;
            EXPECT_FALSE(e.GetModified());
            Form().mnuEditRedoClick(nullptr);
            EXPECT_EQ(e.QvGetText(), deleted) << line << " cycle " << cycle;
            EXPECT_TRUE(e.GetModified());
        }
    }
}

TEST_F(EditorUndoOptionsTest, ALineModeReplacementOfNothingUndoesToTheSameText)
{
    TQvEdit& e = Editor();
    Open("abc def");
    e.SetSelectionMode(smLine);
    e.SetCaretXY(TPoint{5, 1});
    e.SetSelTextExternal("");
    Form().mnuEditUndoClick(nullptr);
    EXPECT_EQ(e.QvGetText(), "abc def");
    EXPECT_FALSE(e.GetModified());
}

}  // namespace

// Undo gives back the text byte for byte and redo takes the same way again.
#include "TextEditProbe.h"

#include "platform/window/Clipboard.h"

namespace {

using Lines = std::vector<std::string>;
void UndoAll(TTextEditProbe& E)
{
    while (E.GetCanUndo())
        E.Undo();
}

void RedoAll(TTextEditProbe& E)
{
    while (E.GetCanRedo())
        E.Redo();
}

class EditorUndoExactTest : public TTextEditFixture {
protected:
    // A new text, unmodified, as a file is opened.
    void Load(const std::string& Text)
    {
        Editor().ClearAll();
        SetText(Text);
    }
};

// Undo, redo and undo again of a line deletion each give the text they should, on every
// line: the redo records what it deletes, so the second undo puts back just that.
TEST_F(EditorUndoExactTest, DeleteLineUndoesAfterARedoToo)
{
    TTextEditProbe& e = Editor();
    const std::string text = "one\r\ntwo\r\nthree";
    for (Integer line : {1, 2, 3}) {
        for (Integer column : {1, 2, 4, 9}) {
            Load(text);
            e.SetCaretXY({column, line});
            e.CommandProcessor(ecDeleteLine, '\0', nullptr);
            const std::string deleted = e.QvGetText();
            for (int cycle = 0; cycle < 2; ++cycle) {
                e.Undo();
                EXPECT_EQ(e.QvGetText(), text) << line << "," << column << " cycle " << cycle;
                EXPECT_FALSE(e.GetModified());
                e.Redo();
                EXPECT_EQ(e.QvGetText(), deleted) << line << "," << column << " cycle " << cycle;
                EXPECT_TRUE(e.GetModified());
            }
        }
    }
}

// Replacing nothing in line mode changes nothing, so undo has nothing to take away.
TEST_F(EditorUndoExactTest, ALineModeReplacementOfNothingUndoesToTheSameText)
{
    TTextEditProbe& e = Editor();
    for (const char* value : {"", "x"}) {
        Load("abc def");
        e.SetSelectionMode(smLine);
        e.SetCaretXY({5, 1});
        e.SetSelTextExternal(value);
        const std::string after = e.QvGetText();
        e.Undo();
        EXPECT_EQ(e.QvGetText(), "abc def") << value;
        EXPECT_FALSE(e.GetModified()) << value;
        e.Redo();
        EXPECT_EQ(e.QvGetText(), after) << value;
    }
}

// An empty text edited and undone is empty again: no line, so saving it writes nothing.
TEST_F(EditorUndoExactTest, AnEmptyTextEditedAndUndoneHasNoLine)
{
    TTextEditProbe& e = Editor();
    for (const char* typed : {"a", "\r"}) {
        Load("");
        ASSERT_EQ(e.GetLines()->Count(), 0);
        if (typed[0] == '\r')
            e.CommandProcessor(ecLineBreak, '\r', nullptr);
        else
            e.CommandProcessor(ecChar, typed[0], nullptr);
        ASSERT_GE(e.GetLines()->Count(), 1);
        UndoAll(e);
        EXPECT_EQ(e.GetLines()->Count(), 0) << int(typed[0]);
        EXPECT_EQ(e.GetLines()->GetText(), "");
        EXPECT_FALSE(e.GetModified());
        RedoAll(e);
        EXPECT_GE(e.GetLines()->Count(), 1);
        EXPECT_TRUE(e.GetModified());
    }
}

// Without eoScrollPastEol the caret is clamped to the line's end after a column block is
// deleted; the paste that follows is recorded where it went, so redo puts it there again.
TEST_F(EditorUndoExactTest, APasteAfterAClampedColumnDeletionRedoesWhereItWent)
{
    TTextEditProbe& e = Editor();
    e.SetOptions(TQvEditorOptions{});
    SetText("\r\n ");
    e.SetCaretXY({4, 4});
    e.SetSelectionMode(smColumn);
    Key(VK_PRIOR, ssShift);
    TClipboard* clipboard = Clipboard();
    clipboard->Open();
    clipboard->Clear();
    clipboard->SetAsText("\r");
    clipboard->SetBuffer(QvEditClipboardFormat(), std::string("\0\r\0", 3));
    clipboard->Close();
    e.PasteFromClipboard();
    const std::string pasted = e.QvGetText();
    EXPECT_EQ(pasted, "\r\n\r\n ");
    UndoAll(e);
    EXPECT_EQ(e.QvGetText(), "\r\n ");
    RedoAll(e);
    EXPECT_EQ(e.QvGetText(), pasted);
}

}  // namespace

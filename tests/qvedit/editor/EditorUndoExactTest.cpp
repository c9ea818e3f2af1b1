// Undo gives back the text byte for byte and redo takes the same way again.
#include "TextEditProbe.h"

#include "platform/window/Clipboard.h"

#include <functional>

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

// An empty text edited and undone is empty again: no line, so saving it writes nothing;
// redone, it has the lines the edit made, also the one a blank trimmed away leaves.
TEST_F(EditorUndoExactTest, AnEmptyTextEditedAndUndoneHasNoLine)
{
    TTextEditProbe& e = Editor();
    const auto paste = [&](const char* Text) {
        Clipboard()->SetAsText(Text);
        e.PasteFromClipboard();
    };
    const std::function<void()> edits[] = {
        [&] { e.CommandProcessor(ecChar, 'a', nullptr); },
        [&] { e.CommandProcessor(ecLineBreak, '\r', nullptr); },
        [&] { e.CommandProcessor(ecTab, '\t', nullptr); },
        // Padding before the pasted text, recorded apart from it.
        [&] {
            e.SetOptionFlag(eoTrimTrailingSpaces, false);
            e.SetCaretXY({4, 1});
            paste("a\nb");
        },
        // A Shift+Tab that took nothing, then a paste: two steps.
        [&] {
            e.SetCaretXY({3, 1});
            e.CommandProcessor(ecShiftTab, '\0', nullptr);
            paste("x");
        },
    };
    int index = 0;
    for (const auto& edit : edits) {
        Load("");
        e.SetOptions(QvEditDefaultOptions);
        e.SetOptionFlag(eoScrollPastEol, true);
        e.SetOptionFlag(eoTabsToSpaces, true);
        ASSERT_EQ(e.GetLines()->Count(), 0);
        edit();
        const std::string edited = e.GetLines()->GetText();
        ASSERT_NE(edited, "") << index;
        UndoAll(e);
        EXPECT_EQ(e.GetLines()->Count(), 0) << index;
        EXPECT_FALSE(e.GetModified()) << index;
        RedoAll(e);
        EXPECT_EQ(e.GetLines()->GetText(), edited) << index;
        EXPECT_TRUE(e.GetModified()) << index;
        ++index;
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

// The main window's editor, with the options the main window gives it, keeps the caret in
// view: past line ends behind tabs, and at the end of a line longer than the maximum width.
#include "MainFormFixture.h"

#include "platform/window/Keys.h"
#include "platform/window/Messages.h"
#include "qvedit/core/QvEditTextBuffer.h"
#include "qvedit/editor/QvEdit.h"

#include <string>

namespace {

class EditorViewWithProgramSettingsTest : public TMainFormFixture {
protected:
    EditorViewWithProgramSettingsTest() { Start(); }

    TQvEdit& Editor() { return *Form().Editor; }

    // A key as the window system sends it to the editor (no character).
    void Key(Word VirtKey, TShiftState Shift = 0)
    {
        SetInputShiftState(Shift);
        Editor().Perform(WM_KEYDOWN, VirtKey, 1);
        Editor().Perform(WM_KEYUP, VirtKey, 1);
        SetInputShiftState(0);
    }

    void ExpectCaretInView(const char* What)
    {
        const Integer column = Editor().DisplayX();
        EXPECT_GE(column, Editor().GetLeftChar()) << What;
        EXPECT_LE(column, Editor().GetLeftChar() + Editor().GetCharsInWindow()) << What;
    }
};

// End on a 100-character line, then Down onto a short line that begins with a tab: the
// caret keeps its column past that line's end, and the view stays on it.
TEST_F(EditorViewWithProgramSettingsTest, DownFromALongLineOntoATabLineKeepsTheView)
{
    ASSERT_EQ(Editor().GetTabWidth(), 2);
    ASSERT_TRUE(Editor().GetOptions().Contains(eoScrollPastEol));
    Editor().GetLines()->SetText(std::string(100, 'a') + "\n\tx\n");
    Editor().SetCaretXY(TPoint{1, 1});
    Key(VK_END);
    const Integer leftChar = Editor().GetLeftChar();
    ASSERT_GT(leftChar, 1);
    ExpectCaretInView("at the end of the long line");
    Key(VK_DOWN);
    EXPECT_EQ(Editor().GetCaretY(), 2);
    EXPECT_EQ(Editor().DisplayX(), 101);
    EXPECT_EQ(Editor().GetLeftChar(), leftChar);
    ExpectCaretInView("after Down");
}

// One 20 MB line opened through File Open, then Ctrl+End: the caret is after its last
// byte, the view shows it there, and the line is whole.
TEST_F(EditorViewWithProgramSettingsTest, CtrlEndOnAHugeLineShowsTheCaretAndKeepsTheLine)
{
    ASSERT_EQ(Editor().GetMaxLineWidth(), 100000);
    const std::string line = std::string(20 * 1024 * 1024 - 3, 'x') + "end";
    QueueFile(Write("huge.txt", line));
    Form().mnuFileOpenClick(nullptr);
    ASSERT_EQ(Editor().GetLines()->Count(), 1);
    Key(VK_END, ssCtrl);
    EXPECT_EQ(Editor().GetCaretX(), 20971521);
    ExpectCaretInView("after Ctrl+End");
    EXPECT_EQ(Editor().GetLeftChar(), 20971521 - Editor().GetCharsInWindow() + 1);

    // Home and End again: the view goes back and forth with the caret.
    Key(VK_HOME);
    EXPECT_EQ(Editor().GetLeftChar(), 1);
    Key(VK_END);
    ExpectCaretInView("after End");
    EXPECT_TRUE(Editor().GetLines()->Strings(0) == line);
}

}  // namespace

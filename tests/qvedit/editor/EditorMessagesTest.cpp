// The window messages the editor answers itself: dialog codes, erasing, focus notices as
// commands 700 and 701, the clipboard messages and resizing.
#include "EditorFixture.h"

#include <vector>

namespace {

using EditorMessagesTest = EditorFixture;

TEST_F(EditorMessagesTest, DialogCodesFollowWantTabsAndWantReturns)
{
    EXPECT_EQ(Editor().Perform(WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTALLKEYS);
    Editor().SetWantTabs(true);
    Editor().SetWantReturns(false);
    EXPECT_EQ(Editor().Perform(WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB);
    EXPECT_EQ(Editor().Perform(WM_ERASEBKGND, 0, 0), 1);
}

TEST_F(EditorMessagesTest, FocusChangesRunCommands700And701ThroughTheProcessor)
{
    struct TCommands : TObject {
        void Processed(TObject*, TQvEditorCommand& Command, char&, void*) { Seen.push_back(Command); }
        std::vector<TQvEditorCommand> Seen;
    } commands;
    Editor().OnProcessCommand = TProcessCommandEvent(&commands, &TCommands::Processed);
    Editor().Perform(WM_SETFOCUS, 0, 0);
    Editor().Perform(WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(commands.Seen, (std::vector<TQvEditorCommand>{700, 701}));
}

TEST_F(EditorMessagesTest, ClipboardMessagesCopyAndAReadOnlyEditorRefusesToChange)
{
    SetText("alpha beta");
    Editor().SetSelStart(0);
    Editor().SetSelLength(5);
    EXPECT_EQ(Editor().Perform(WM_COPY, 0, 0), 1);
    Editor().SetSelStart(10);
    EXPECT_EQ(Editor().Perform(WM_PASTE, 0, 0), 1);
    EXPECT_EQ(Editor().GetLines()->Get(0), "alpha betaalpha");
    Editor().SetReadOnly(true);
    Editor().SetSelStart(0);
    Editor().SetSelLength(5);
    EXPECT_EQ(Editor().Perform(WM_CUT, 0, 0), 1);
    EXPECT_EQ(Editor().Perform(WM_PASTE, 0, 0), 1);
    EXPECT_EQ(Editor().GetLines()->Get(0), "alpha betaalpha");
}

TEST_F(EditorMessagesTest, ResizingRecountsTheWindowInLinesAndColumns)
{
    SetText("x");
    const int lines = Editor().GetLinesInWindow();
    const int columns = Editor().GetCharsInWindow();
    SetSize(EditorWidth + 10 * Editor().GetCharWidth(), EditorHeight + 3 * Editor().GetLineHeight());
    EXPECT_EQ(Editor().GetLinesInWindow(), lines + 3);
    EXPECT_EQ(Editor().GetCharsInWindow(), columns + 10);
}

}  // namespace

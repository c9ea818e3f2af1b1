// Undo with the main window's editing options, trailing-blank trimming among them: the
// blanks a change trims are taken back with it, and given again by redo.
#include "../qvedit/editor/EditScript.h"
#include "../qvedit/editor/EditorFixture.h"
#include "../qvedit/editor/LargeSteps.h"
#include "../qvedit/editor/SharedEditScript.h"

#include "app/EditorSettings.h"
#include "qvedit/search/QvEditRegexSearch.h"
#include "qvedit/search/QvEditSearch.h"

#include <functional>

namespace {

class EditingUndoTest : public TEditorFixture<> {
protected:
    EditingUndoTest() { ApplyEditingSettings(Editor()); }

    // Text as loaded from a file: untouched by trimming, nothing to undo, unmodified.
    void Load(const std::string& Text)
    {
        TQvEdit& e = Editor();
        e.ClearAll();
        e.QvSetText(Text);
        e.SetModified(false);
    }
    void Go(TPoint P) { Editor().CommandProcessor(ecGotoXY, '\0', &P); }
    void Do(TQvEditorCommand Command, char Char = '\0') { Editor().CommandProcessor(Command, Char, nullptr); }
    void Paste(const std::string& Text, int Mode = -1)
    {
        editscript::PutOnClipboard(Text, Mode);
        Do(ecPaste);
    }
    // Undoes everything (checking that the text comes back unmodified), redoes everything
    // (checking that the edited text comes back) and undoes everything again.
    void ExpectFullCycle(const std::string& Start, const std::string& Edited)
    {
        TQvEdit& e = Editor();
        for (int cycle = 0; cycle < 2; ++cycle) {
            while (e.GetCanUndo())
                e.Undo();
            EXPECT_EQ(e.QvGetText(), Start) << "cycle " << cycle;
            EXPECT_FALSE(e.GetModified()) << "cycle " << cycle;
            while (e.GetCanRedo())
                e.Redo();
            EXPECT_EQ(e.QvGetText(), Edited) << "cycle " << cycle;
            EXPECT_TRUE(e.GetModified()) << "cycle " << cycle;
        }
    }
};

TEST_F(EditingUndoTest, EnterAfterIndentationGivesTheIndentationBack)
{
    Load("            case 'x':");
    Go({12, 1});
    Do(ecLineBreak, '\r');
    const std::string edited = Editor().QvGetText();
    EXPECT_EQ(edited, "\r\n             case 'x':");
    Editor().Undo();
    EXPECT_EQ(Editor().QvGetText(), "            case 'x':");
    EXPECT_FALSE(Editor().GetModified());
    ExpectFullCycle("            case 'x':", edited);
}

TEST_F(EditingUndoTest, EnterAfterATabGivesTheTabBack)
{
    Load("a\tb");
    Go({3, 1});
    Do(ecLineBreak, '\r');
    EXPECT_EQ(Editor().QvGetText(), "a\r\nb");
    Editor().Undo();
    EXPECT_EQ(Editor().QvGetText(), "a\tb");
    ExpectFullCycle("a\tb", "a\r\nb");
}

// A blank typed, then a line end pasted after it: the blank left on the first line is
// trimmed; undo goes back through the typed blank to the loaded text.
TEST_F(EditingUndoTest, APastedLineEndAfterATypedBlankUndoesStepByStep)
{
    Load("bB }a A");
    Go({1, 1});
    Do(ecChar, ' ');
    Paste("\r");
    EXPECT_EQ(Editor().QvGetText(), "\r\nbB }a A");
    Editor().Undo();
    EXPECT_EQ(Editor().QvGetText(), " bB }a A");
    Editor().Undo();
    EXPECT_EQ(Editor().QvGetText(), "bB }a A");
    EXPECT_FALSE(Editor().GetModified());
    ExpectFullCycle("bB }a A", "\r\nbB }a A");
}

TEST_F(EditingUndoTest, APasteThatTrimsTheLineBeforeItUndoesExactly)
{
    Load("a b");
    Go({3, 1});
    Paste("\r\nX");
    EXPECT_EQ(Editor().QvGetText(), "a\r\nXb");
    Editor().Undo();
    EXPECT_EQ(Editor().QvGetText(), "a b");
    ExpectFullCycle("a b", "a\r\nXb");
}

TEST_F(EditingUndoTest, ReplacingTrailingBlanksByAnExpressionUndoes)
{
    TQvEditRegexSearch engine(nullptr);
    Editor().SetSearchEngine(&engine);
    const std::string start = "one  \r\n \t\r\ntwo";
    Load(start);
    EXPECT_EQ(Editor().SearchReplace("\\s+$", "", TQvSearchOptions{ssoReplaceAll, ssoEntireScope}), 2);
    EXPECT_EQ(Editor().QvGetText(), "one\r\n\r\ntwo");
    Editor().Undo();
    EXPECT_EQ(Editor().QvGetText(), start);
    ExpectFullCycle(start, "one\r\n\r\ntwo");
    Editor().SetSearchEngine(nullptr);
}

// Steps of more records than the undo limit, each followed by one key: two undos take the
// key and then the whole step back.
TEST_F(EditingUndoTest, StepsLargerThanTheUndoLimitStayWholeBehindAKey)
{
    TQvEditSearch engine(nullptr);
    Editor().SetSearchEngine(&engine);
    struct TStep {
        const char* Name;
        int Lines;
        std::function<void(TQvEdit&)> Make;
    };
    const TStep steps[] = {
        {"replace all", 3000, [](TQvEdit& E) { EXPECT_EQ(largesteps::ReplaceAll(E), 6000); }},
        {"column paste", 3001, [](TQvEdit& E) { largesteps::ColumnPaste(E, 3000); }},
        {"block indent", 3001, [](TQvEdit& E) { largesteps::BlockIndent(E, 3000); }},
        {"typed run", 3, [](TQvEdit& E) { largesteps::TypeRun(E, 3000); }},
    };
    for (const auto& [name, lines, step] : steps) {
        TQvEdit& e = Editor();
        Load(largesteps::ScriptText(lines));
        const std::string before = e.QvGetText();
        step(e);
        const std::string stepped = e.QvGetText();
        ASSERT_NE(stepped, before) << name;
        ASSERT_GT(e.GetUndoList()->ItemCount(), e.GetMaxUndo()) << name;
        Go(TPoint{1, e.GetLines()->Count()});
        Do(ecChar, 'k');
        e.Undo();
        EXPECT_EQ(e.QvGetText(), stepped) << name;
        e.Undo();
        EXPECT_EQ(e.QvGetText(), before) << name;
        EXPECT_FALSE(e.GetModified()) << name;
        EXPECT_FALSE(e.GetCanUndo()) << name;
    }
    Editor().SetSearchEngine(nullptr);
}

// Random editing sessions with exactly the main window's options: 10,000 in eight parts,
// so that they run side by side (see EditScript.h for what each session checks).
using EditingUndoPropertyTest = EditingUndoTest;

TEST_F(EditingUndoPropertyTest, Part1) { EXPECT_EQ(editscript::RunRandomSessions(Editor(), 1, 1250, 40), ""); }
TEST_F(EditingUndoPropertyTest, Part2) { EXPECT_EQ(editscript::RunRandomSessions(Editor(), 2, 1250, 40), ""); }
TEST_F(EditingUndoPropertyTest, Part3) { EXPECT_EQ(editscript::RunRandomSessions(Editor(), 3, 1250, 40), ""); }
TEST_F(EditingUndoPropertyTest, Part4) { EXPECT_EQ(editscript::RunRandomSessions(Editor(), 4, 1250, 40), ""); }
TEST_F(EditingUndoPropertyTest, Part5) { EXPECT_EQ(editscript::RunRandomSessions(Editor(), 5, 1250, 40), ""); }
TEST_F(EditingUndoPropertyTest, Part6) { EXPECT_EQ(editscript::RunRandomSessions(Editor(), 6, 1250, 40), ""); }
TEST_F(EditingUndoPropertyTest, Part7) { EXPECT_EQ(editscript::RunRandomSessions(Editor(), 7, 1250, 40), ""); }
TEST_F(EditingUndoPropertyTest, Part8) { EXPECT_EQ(editscript::RunRandomSessions(Editor(), 8, 1250, 40), ""); }

// Two and three editors with the main window's options on one buffer (SharedEditScript.h):
// 2,000 sessions in four parts.
void Settings(TCustomQvEdit& E)
{
    ApplyEditingSettings(E);
}

TEST_F(EditingUndoPropertyTest, TwoEditorsPart1) { EXPECT_EQ(editscript::RunSharedSessions(Form(), Settings, 2, 51, 500, 40), ""); }
TEST_F(EditingUndoPropertyTest, TwoEditorsPart2) { EXPECT_EQ(editscript::RunSharedSessions(Form(), Settings, 2, 52, 500, 40), ""); }
TEST_F(EditingUndoPropertyTest, ThreeEditorsPart1) { EXPECT_EQ(editscript::RunSharedSessions(Form(), Settings, 3, 53, 500, 40), ""); }
TEST_F(EditingUndoPropertyTest, ThreeEditorsPart2) { EXPECT_EQ(editscript::RunSharedSessions(Form(), Settings, 3, 54, 500, 40), ""); }

}  // namespace

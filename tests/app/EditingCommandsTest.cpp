// Editing by keys with the main window's own editing settings: code typed with its
// indentation, tabs past the line end, block indent and the enhanced Home key.
#include "../qvedit/editor/EditorFixture.h"

#include "app/EditorSettings.h"

#include <string>
#include <vector>

namespace {

// The main window's editing settings: typing code with its indentation, tabs and Home.
class EditorAppOptionsTest : public EditorFixture {
protected:
    void SetUp() override
    {
        ApplyEditingSettings(Editor());
        SetText("");
    }
    using Lines = std::vector<std::string>;
};

TEST_F(EditorAppOptionsTest, TypingCodeKeepsTheIndentationAndUndoesByKindOfChange)
{
    TQvEdit& e = Editor();
    Type("if (a) {");
    Key(VK_RETURN);
    Key(VK_TAB);  // smart tab: under "(a)" of the line above
    Type("b;");
    Key(VK_RETURN);
    Type("c;");
    EXPECT_EQ(AllLines(), (Lines{"if (a) {", "   b;", "   c;"}));
    EXPECT_EQ(e.GetCaretXY(), (TPoint{6, 3}));

    // Back to the text as Enter left it: the new line's indentation, not yet trimmed.
    Key('Z', ssCtrl);
    EXPECT_EQ(AllLines(), (Lines{"if (a) {", "   b;", "   "}));
    Key('Z', ssCtrl);
    EXPECT_EQ(AllLines(), (Lines{"if (a) {", "   b;"}));
}

TEST_F(EditorAppOptionsTest, TabPastTheLineEndMovesTheCaretAndTypingFillsTheGap)
{
    TQvEdit& e = Editor();
    SetText("ab");
    e.SetCaretXY(TPoint{3, 1});
    Key(VK_TAB);
    EXPECT_EQ(AllLines(), (Lines{"ab"}));  // trailing blanks are never stored
    EXPECT_EQ(e.GetCaretXY(), (TPoint{5, 1}));
    Type("x");
    EXPECT_EQ(AllLines(), (Lines{"ab  x"}));
    Key(VK_END);
    Key(VK_RIGHT);  // past the line end
    EXPECT_EQ(e.GetCaretXY(), (TPoint{7, 1}));
}

TEST_F(EditorAppOptionsTest, TabAndShiftTabIndentASelectedBlockAndBackspaceUnindents)
{
    TQvEdit& e = Editor();
    SetText("a\nb\nc");
    e.SetCaretAndSelection(TPoint{2, 2}, TPoint{1, 1}, TPoint{2, 2});
    Key(VK_TAB);
    EXPECT_EQ(AllLines(), (Lines{"  a", "  b", "c"}));
    Key(VK_TAB, ssShift);
    EXPECT_EQ(AllLines(), (Lines{"a", "b", "c"}));
    Key('Z', ssCtrl);
    EXPECT_EQ(AllLines(), (Lines{"  a", "  b", "c"}));

    SetText("a\n  b\n    c");
    e.SetCaretXY(TPoint{5, 3});
    Key(VK_BACK);
    EXPECT_EQ(e.GetLines()->Get(2), "  c");
    EXPECT_EQ(e.GetCaretXY(), (TPoint{3, 3}));
}

TEST_F(EditorAppOptionsTest, HomeGoesToTheFirstNonBlankThenToColumnOne)
{
    TQvEdit& e = Editor();
    SetText("    foo");
    e.SetCaretXY(TPoint{7, 1});
    Key(VK_HOME);
    EXPECT_EQ(e.GetCaretX(), 5);
    Key(VK_HOME);
    EXPECT_EQ(e.GetCaretX(), 1);
    Key(VK_HOME);
    EXPECT_EQ(e.GetCaretX(), 5);
    Key(VK_END, ssShift);
    EXPECT_EQ(e.GetSelText(), "foo");
}

}  // namespace

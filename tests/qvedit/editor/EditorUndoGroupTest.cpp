// Group undo joins consecutive changes of one reason (typing) into one step, but a change
// that mixes reasons (a case change, a replacement) is a step of its own: it is never
// undone half-way, nor together with what came before it.
#include "TextEditProbe.h"

namespace {

using EditorUndoGroupTest = TTextEditFixture;

// The application's case commands replace the selection with its converted text.
TEST_F(EditorUndoGroupTest, TwoReplacementsInARowUndoOneAtATimeAndNeverHalfWay)
{
    TTextEditProbe& e = Editor();
    e.SetOptionFlag(eoGroupUndo, true);
    SetText("alpha beta");
    e.Select({1, 1}, {6, 1}, smNormal);
    e.SetSelTextExternal("ALPHA");
    e.Select({7, 1}, {11, 1}, smNormal);
    e.SetSelTextExternal("BETA");
    ASSERT_EQ(e.QvGetText(), "ALPHA BETA");
    e.Undo();
    EXPECT_EQ(e.QvGetText(), "ALPHA beta");
    e.Undo();
    EXPECT_EQ(e.QvGetText(), "alpha beta");
    e.Redo();
    EXPECT_EQ(e.QvGetText(), "ALPHA beta");
    e.Redo();
    EXPECT_EQ(e.QvGetText(), "ALPHA BETA");
}

TEST_F(EditorUndoGroupTest, AReplacementAfterTypingIsAStepOfItsOwn)
{
    TTextEditProbe& e = Editor();
    e.SetOptionFlag(eoGroupUndo, true);
    e.ClearAll();
    for (const char* s : {"<", "t", "a", "b"})
        e.SetSelTextExternal(s);
    e.Select({1, 1}, {5, 1}, smNormal);
    e.SetSelTextExternal("<table></table>");
    ASSERT_EQ(e.QvGetText(), "<table></table>");
    e.Undo();
    EXPECT_EQ(e.QvGetText(), "<tab") << "the typing before the replacement stays";
    e.Undo();
    EXPECT_EQ(e.QvGetText(), "") << "the typing itself is one grouped step";
    e.Redo();
    EXPECT_EQ(e.QvGetText(), "<tab");
    e.Redo();
    EXPECT_EQ(e.QvGetText(), "<table></table>");
}

}  // namespace

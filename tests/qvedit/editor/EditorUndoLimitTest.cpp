// The undo limit with the editor's defaults: it counts steps, so a step of more records than
// the limit stays whole behind later edits; edits that change nothing record nothing; a new
// text leaves nothing of the old one to undo or redo.
#include "LargeSteps.h"
#include "TextEditProbe.h"

#include "platform/runtime/Streams.h"

namespace {

class EditorUndoLimitTest : public TTextEditFixture {
protected:
    EditorUndoLimitTest() { Editor().SetSearchEngine(&engine_); }
    ~EditorUndoLimitTest() override { Editor().SetSearchEngine(nullptr); }

    std::string Text() { return Editor().QvGetText(); }
    void Key(char C) { Editor().CommandProcessor(ecChar, C, nullptr); }

    // Text with Lines lines, then Step, then one key: the first undo takes the key back, the
    // second the whole step, and redo gives both again.
    template <class TStep>
    void ExpectWholeAfterAKey(int Lines, TStep&& Step)
    {
        TTextEditProbe& e = Editor();
        e.ClearAll();
        e.QvSetText(largesteps::ScriptText(Lines));
        const std::string before = Text();
        Step();
        const std::string stepped = Text();
        ASSERT_NE(stepped, before);
        ASSERT_GT(e.GetUndoList()->ItemCount(), e.GetMaxUndo());  // more records than the limit
        TPoint end{1, e.GetLines()->Count()};
        e.CommandProcessor(ecGotoXY, '\0', &end);
        Key('k');
        const std::string typed = Text();
        e.Undo();
        EXPECT_EQ(Text(), stepped);
        e.Undo();
        EXPECT_EQ(Text(), before);
        EXPECT_FALSE(e.GetCanUndo());
        EXPECT_FALSE(e.GetModified());
        e.Redo();
        EXPECT_EQ(Text(), stepped);
        e.Redo();
        EXPECT_EQ(Text(), typed);
    }

private:
    TQvEditSearch engine_{nullptr};
};

TEST_F(EditorUndoLimitTest, AReplaceAllOfMoreRecordsThanTheLimitStaysWholeBehindAKey)
{
    ASSERT_EQ(Editor().GetMaxUndo(), 1024);
    ExpectWholeAfterAKey(3000, [&] { EXPECT_EQ(largesteps::ReplaceAll(Editor()), 6000); });
}

TEST_F(EditorUndoLimitTest, AColumnPasteOfMoreRecordsThanTheLimitStaysWholeBehindAKey)
{
    ExpectWholeAfterAKey(3001, [&] { largesteps::ColumnPaste(Editor(), 3000); });
}

TEST_F(EditorUndoLimitTest, ABlockIndentOfMoreRecordsThanTheLimitStaysWholeBehindAKey)
{
    ExpectWholeAfterAKey(3001, [&] { largesteps::BlockIndent(Editor(), 3000); });
}

// Typing in a row is one step with group undo, however many changes it has.
TEST_F(EditorUndoLimitTest, ATypedRunLongerThanTheLimitStaysWholeBehindAKey)
{
    ASSERT_TRUE(Editor().GetOptions().Contains(eoGroupUndo));
    // A line takes 1,024 columns by default; the run needs more (the program allows them).
    Editor().SetMaxLineWidth(100000);
    ExpectWholeAfterAKey(3, [&] { largesteps::TypeRun(Editor(), 3000); });
}

// Past the limit the oldest steps go whole, and the last ones stay.
TEST_F(EditorUndoLimitTest, PastTheLimitTheOldestStepsGoAndTheLastStay)
{
    TTextEditProbe& e = Editor();
    e.SetMaxUndo(2);
    e.QvSetText(largesteps::ScriptText(40));
    const std::string start = Text();
    largesteps::BlockIndent(e, 30);
    const std::string indented = Text();
    largesteps::ReplaceAll(e);
    const std::string replaced = Text();
    largesteps::ColumnPaste(e, 30);
    e.Undo();
    EXPECT_EQ(Text(), replaced);
    e.Undo();
    EXPECT_EQ(Text(), indented);
    EXPECT_FALSE(e.GetCanUndo());
    EXPECT_NE(Text(), start);
}

// Replacing no selection by nothing changes nothing: no record, and Modified as it was.
TEST_F(EditorUndoLimitTest, SettingNoTextWhereNothingIsSelectedRecordsNothing)
{
    TTextEditProbe& e = Editor();
    for (const char* text : {"", "abc\r\ndef"}) {
        e.ClearAll();
        e.QvSetText(text);
        e.SetSelTextExternal("");
        EXPECT_FALSE(e.GetCanUndo()) << text;
        EXPECT_FALSE(e.GetModified()) << text;
        e.SetModified(true);
        e.SetSelTextExternal("");
        EXPECT_TRUE(e.GetModified()) << text;
    }
}

// An empty text pasted into and undone back to no line; then a new text, set or loaded:
// nothing of the paste is left to redo.
TEST_F(EditorUndoLimitTest, ANewTextAfterAnEmptyOneLeavesNothingToRedo)
{
    TTextEditProbe& e = Editor();
    for (bool load : {false, true}) {
        e.ClearAll();
        editscript::PutOnClipboard("PASTED1\r\nPASTED2", -1);
        e.CommandProcessor(ecPaste, '\0', nullptr);
        e.Undo();
        ASSERT_EQ(e.GetLines()->Count(), 0);
        ASSERT_TRUE(e.GetCanRedo());
        if (load) {
            const std::string file = "opened\r\ntext";
            TStringStream stream(file);
            e.GetLines()->LoadFromStream(&stream);
        } else {
            e.QvSetText("opened\r\ntext");
        }
        EXPECT_FALSE(e.GetCanRedo()) << load;
        EXPECT_FALSE(e.GetCanUndo()) << load;
        e.Redo();
        EXPECT_EQ(Text(), "opened\r\ntext") << load;
    }
}

}  // namespace

// Replace all that puts a line break in every line, with the main window's editing options
// (trailing blanks trimmed) and with the editor's defaults: the text it makes, one undo
// giving back every byte, redo; and the work it costs grows with the lines, not with their
// square.
#include "../qvedit/editor/EditorFixture.h"

#include "app/EditorSettings.h"
#include "qvedit/search/QvEditSearch.h"

#include <string>

namespace {

class TTrimCountingEdit : public TQvEdit {
public:
    using TQvEdit::TQvEdit;
    using TCustomQvEdit::PendingTrims;
};

class ReplaceAllLineBreaksTest : public TEditorFixture<TTrimCountingEdit> {
protected:
    ReplaceAllLineBreaksTest() { Editor().SetSearchEngine(&engine_); }
    ~ReplaceAllLineBreaksTest() override { Editor().SetSearchEngine(nullptr); }

    // Lines copies of Line, each ended by CR LF.
    static std::string Repeated(const std::string& Line, int Lines)
    {
        std::string text;
        for (int i = 0; i < Lines; ++i)
            text += Line + "\r\n";
        return text;
    }
    void Load(const std::string& Text)
    {
        Editor().ClearAll();
        Editor().GetLines()->SetText(Text);
        Editor().SetModified(false);
        Editor().SetCaretXY(TPoint{1, 1});
    }
    int ReplaceAll(const std::string& Search, const std::string& Replacement, TQvSearchOptions Options = {})
    {
        Options += TQvSearchOptions{ssoReplaceAll, ssoEntireScope, ssoMatchCase};
        return Editor().SearchReplace(Search, Replacement, Options);
    }
    // One undo gives back every byte of Before, one redo the text of After (the texts as
    // QvGetText reads them); twice.
    void ExpectOneStepUndoAndRedo(const std::string& Before, const std::string& After)
    {
        TQvEdit& e = Editor();
        for (int cycle = 0; cycle < 2; ++cycle) {
            e.Undo();
            EXPECT_TRUE(e.QvGetText() == Before) << "undo, cycle " << cycle;
            EXPECT_FALSE(e.GetCanUndo()) << "cycle " << cycle;
            EXPECT_FALSE(e.GetModified()) << "cycle " << cycle;
            e.Redo();
            EXPECT_TRUE(e.QvGetText() == After) << "redo, cycle " << cycle;
            EXPECT_FALSE(e.GetCanRedo()) << "cycle " << cycle;
        }
    }

private:
    TQvEditSearch engine_{nullptr};
};

TEST_F(ReplaceAllLineBreaksTest, WithTheProgramsOptionsTheBlanksBeforeEachBreakGoAndComeBackWithOneUndo)
{
    ApplyEditingSettings(Editor());
    const std::string before = "a x b\r\n" + Repeated("  x y  x\tz", 3) + "no match \r\nx";
    Load(before);
    EXPECT_EQ(ReplaceAll("x", "\r\n"), 8);
    // The blanks left before each break go; those after it, at the start of a line, stay,
    // and so do those of a line without a match.
    const std::string after = "a\r\n b\r\n" + Repeated("\r\n y\r\n\tz", 3) + "no match \r\n\r\n";
    EXPECT_EQ(Editor().QvGetText(), after);
    ExpectOneStepUndoAndRedo(before, after);
}

// The editor's defaults trim too; without trimming every blank stays.
TEST_F(ReplaceAllLineBreaksTest, WithTheDefaultsAndWithoutTrimming)
{
    const std::string before = Repeated("a x b", 3) + "x";
    for (const bool trim : {true, false}) {
        Editor().SetOptionFlag(eoTrimTrailingSpaces, trim);
        Load(before);
        EXPECT_EQ(ReplaceAll("x", "\r\n"), 4);
        const std::string after = Repeated(trim ? "a\r\n b" : "a \r\n b", 3) + "\r\n";
        EXPECT_EQ(Editor().QvGetText(), after);
        ExpectOneStepUndoAndRedo(before, after);
    }
}

// Every match stores a line with trailing blanks and inserts a line after it, forward and
// backward: the lines waiting to be trimmed and the line records are each looked at or
// moved a few times, not once for every line inserted before the change ends.
TEST_F(ReplaceAllLineBreaksTest, WorkGrowsWithTheLinesBothWays)
{
    constexpr int Lines = 20000;
    ApplyEditingSettings(Editor());
    const std::string before = Repeated("a x b", Lines);
    const std::string after = Repeated("a\r\n b", Lines);
    for (const bool backwards : {false, true}) {
        Load(before);
        const std::size_t visited = Editor().PendingTrims().LinesVisited();
        const std::size_t moved = Editor().GetLines()->RecordsMoved();
        ASSERT_EQ(ReplaceAll("x", "\r\n", backwards ? TQvSearchOptions{ssoBackwards} : TQvSearchOptions{}), Lines);
        ASSERT_TRUE(Editor().GetLines()->GetText() == after) << "backwards " << backwards;
        EXPECT_LE(Editor().PendingTrims().LinesVisited() - visited, static_cast<std::size_t>(4 * Lines))
            << "lines looked at for trimming, backwards " << backwards;
        Editor().Undo();
        ASSERT_TRUE(Editor().GetLines()->GetText() == before) << "backwards " << backwards;
        Editor().Redo();
        ASSERT_TRUE(Editor().GetLines()->GetText() == after) << "backwards " << backwards;
        EXPECT_LE(Editor().GetLines()->RecordsMoved() - moved, static_cast<std::size_t>(20 * Lines))
            << "records moved by the replacement, its undo and redo, backwards " << backwards;
    }
}

}  // namespace

// Many lines put in at once and taken out again: a paste, the undo of a deletion, the redo
// of either. The text and the records are what they always were; the heap sees a few
// allocations and frees for the whole text, not one a line, and what undo put in goes with
// the redo that takes it out again.
#include "EditScript.h"
#include "HeapCount.h"
#include "TextEditProbe.h"

#include "platform/runtime/Streams.h"

namespace {

constexpr int Lines = 20000;
// Fewer allocations or frees than this for Lines lines: a few for the whole text.
constexpr std::size_t FewForAllTheLines = Lines / 100;

// Lines longer than a line record holds in place, each ended by End.
std::string ManyLines(int Count, const std::string& Line, const std::string& End = "\r\n")
{
    std::string text;
    for (int i = 0; i < Count; ++i)
        text += Line + " " + std::to_string(i) + End;
    return text;
}

class EditorBulkLinesTest : public TTextEditFixture {
protected:
    void SetUp() override
    {
        if (!heapcount::Available())
            GTEST_SKIP() << heapcount::Unavailable;
    }
    void Load(const std::string& Text)
    {
        TStringStream in(Text);
        Editor().GetLines()->LoadFromStream(&in);
    }
    void SelectAllAndType(char C)
    {
        Editor().CommandProcessor(ecSelectAll, '\0', nullptr);
        Editor().CommandProcessor(ecChar, C, nullptr);
    }
};

// The whole text replaced by one typed character, then undone and redone: undo puts every
// line back and redo takes every line out, each with a few allocations and frees.
TEST_F(EditorBulkLinesTest, TheWholeTextReplacedByAKeyIsUndoneAndRedoneWithoutAnAllocationPerLine)
{
    const std::string text = ManyLines(Lines, "$line = 'a line of the file';") + "last";
    Load(text);
    SelectAllAndType('x');
    ASSERT_EQ(Editor().LineList(), std::vector<std::string>{"x"});
    {
        heapcount::TScope heap;
        Editor().Undo();
        EXPECT_LT(heap.Allocations(), FewForAllTheLines) << "allocations of the undo";
    }
    EXPECT_EQ(Editor().QvGetText(), text);
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{5, Lines + 1}));
    {
        // Nor does it read the record of each line it removes.
        const std::size_t released = Editor().GetLines()->RecordsReleased();
        heapcount::TScope heap;
        Editor().Redo();
        EXPECT_LT(heap.Frees(), FewForAllTheLines) << "frees of the redo";
        EXPECT_LT(heap.Allocations(), FewForAllTheLines) << "allocations of the redo";
        EXPECT_LT(Editor().GetLines()->RecordsReleased() - released, FewForAllTheLines) << "records read";
    }
    EXPECT_EQ(Editor().LineList(), std::vector<std::string>{"x"});
    EXPECT_EQ(Editor().UndoReasons(), (std::vector<TQvChangeReason>{crDelete, crInsert}));
    Editor().Undo();
    EXPECT_EQ(Editor().QvGetText(), text);
}

// Pasted into the middle of a line: the lines between the first and the last are put in
// at once; the undo takes them out and the redo puts them in again, a few allocations each.
TEST_F(EditorBulkLinesTest, APasteOfManyLinesComesAndGoesWithAFewAllocations)
{
    Editor().GetLines()->SetText("above\r\nbelow");
    Editor().SetCaretXY(TPoint{3, 1});
    const std::string pasted = ManyLines(Lines, "pasted line", "\n") + "end";
    editscript::PutOnClipboard(pasted, -1);
    const std::string expected = "ab" + ManyLines(Lines, "pasted line") + "endove\r\nbelow";
    {
        heapcount::TScope heap;
        Editor().CommandProcessor(ecPaste, '\0', nullptr);
        EXPECT_LT(heap.Allocations(), FewForAllTheLines) << "allocations of the paste";
    }
    EXPECT_EQ(Editor().QvGetText(), expected);
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{4, Lines + 1}));
    {
        heapcount::TScope heap;
        Editor().Undo();
        EXPECT_LT(heap.Frees(), FewForAllTheLines) << "frees of the undo";
    }
    EXPECT_EQ(Editor().QvGetText(), "above\r\nbelow");
    {
        heapcount::TScope heap;
        Editor().Redo();
        EXPECT_LT(heap.Allocations(), FewForAllTheLines) << "allocations of the redo";
    }
    EXPECT_EQ(Editor().QvGetText(), expected);
}

// Into a text without lines: the first line comes with the rest; undone, no line is left.
TEST_F(EditorBulkLinesTest, APasteOfManyLinesIntoAnEmptyTextIsUndoneToNoLine)
{
    ASSERT_EQ(Editor().GetLines()->Count(), 0);
    const std::string pasted = ManyLines(Lines, "pasted line");
    editscript::PutOnClipboard(pasted, -1);
    Editor().CommandProcessor(ecPaste, '\0', nullptr);
    EXPECT_EQ(Editor().GetLines()->Count(), Lines + 1);
    EXPECT_EQ(Editor().QvGetText(), pasted);
    Editor().Undo();
    EXPECT_EQ(Editor().GetLines()->Count(), 0);
    Editor().Redo();
    EXPECT_EQ(Editor().QvGetText(), pasted);
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{1, Lines + 1}));
}

// Whole lines deleted in line mode come back in line mode, also at once.
TEST_F(EditorBulkLinesTest, LinesDeletedInLineModeComeBackAtOnce)
{
    const std::string text = "first\r\n" + ManyLines(Lines, "a line deleted whole") + "last";
    Editor().GetLines()->SetText(text);
    Editor().Select(TPoint{1, 2}, TPoint{1, Lines + 1}, smLine);
    Editor().ClearSelection();
    ASSERT_EQ(Editor().LineList(), (std::vector<std::string>{"first", "last"}));
    {
        heapcount::TScope heap;
        Editor().Undo();
        EXPECT_LT(heap.Allocations(), FewForAllTheLines) << "allocations of the undo";
    }
    EXPECT_EQ(Editor().QvGetText(), text);
    Editor().Redo();
    EXPECT_EQ(Editor().LineList(), (std::vector<std::string>{"first", "last"}));
    Editor().Undo();
    EXPECT_EQ(Editor().QvGetText(), text);
}

// Trimming takes the trailing blanks of every line pasted at once; undo gives them back
// and redo takes them again.
TEST_F(EditorBulkLinesTest, LinesPastedAtOnceAreTrimmedEachAndUndoneExactly)
{
    Editor().SetOptionFlag(eoTrimTrailingSpaces, true);
    Editor().GetLines()->SetText("start");
    Editor().SetCaretXY(TPoint{6, 1});
    std::string pasted;
    std::string trimmed = "start";
    for (int i = 0; i < 300; ++i) {
        const std::string line = "line " + std::to_string(i);
        pasted += "\r\n" + line + (i % 3 == 0 ? "  " : i % 3 == 1 ? "\t" : "");
        trimmed += "\r\n" + line;
    }
    editscript::PutOnClipboard(pasted, -1);
    Editor().CommandProcessor(ecPaste, '\0', nullptr);
    EXPECT_EQ(Editor().QvGetText(), trimmed);
    Editor().Undo();
    EXPECT_EQ(Editor().QvGetText(), "start");
    Editor().Redo();
    EXPECT_EQ(Editor().QvGetText(), trimmed);
    Editor().Undo();
    EXPECT_EQ(Editor().QvGetText(), "start");
}

// Undone and redone twenty times, the whole text replaced by a key holds no more memory
// than after the first time: each redo frees what its undo put in.
TEST_F(EditorBulkLinesTest, UndoAndRedoRepeatedHoldNoMoreMemory)
{
    const std::string text = ManyLines(Lines, "$line = 'a line of the file';");
    Load(text);
    SelectAllAndType('x');
    Editor().Undo();
    const std::size_t afterUndo = heapcount::AllocatedBytes();
    Editor().Redo();
    const std::size_t afterRedo = heapcount::AllocatedBytes();
    EXPECT_LE(afterRedo + text.size() * 9 / 10, afterUndo) << "the lines undo put in are held after the redo";
    const std::size_t slack = text.size() / 8;
    for (int cycle = 2; cycle <= 20; ++cycle) {
        Editor().Undo();
        ASSERT_LE(heapcount::AllocatedBytes(), afterUndo + slack) << "undo " << cycle;
        Editor().Redo();
        ASSERT_LE(heapcount::AllocatedBytes(), afterRedo + slack) << "redo " << cycle;
    }
    Editor().Undo();
    EXPECT_EQ(Editor().QvGetText(), text.substr(0, text.size() - 2));
}

}  // namespace

// The replace-the-selection primitive: every deletion mode with every insertion mode, line
// ends of all three kinds inside the inserted text, the buffer's edges, the selected text,
// and the marks that follow their lines.
#include "TextEditProbe.h"

#include "platform/window/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include <tuple>

namespace {

using Lines = std::vector<std::string>;

// The text every case starts from, with the selection (2, 1)..(3, 2) made in DeleteMode.
const char* const StartText = "abcd\r\nefgh\r\nijkl";
// Pieces X, Y, Z, W ended by CR LF, a lone CR and a lone LF.
const char* const Inserted = "X\r\nY\rZ\nW";

struct TPrimitiveCase {
    TQvSelectionMode DeleteMode;
    TQvSelectionMode PasteMode;
    Lines Expected;
    TPoint Caret;
};

class EditorPrimitiveTest : public TTextEditFixture,
                            public ::testing::WithParamInterface<TPrimitiveCase> {};

TEST_P(EditorPrimitiveTest, DeletesInTheEditorsModeAndInsertsInThePasteMode)
{
    const TPrimitiveCase& c = GetParam();
    TTextEditProbe& e = Editor();
    SetText(StartText);
    e.Select({2, 1}, {3, 2}, c.DeleteMode);
    e.SetSelTextPrimitive(c.PasteMode, Inserted);
    EXPECT_EQ(e.LineList(), c.Expected);
    EXPECT_EQ(e.GetCaretXY(), c.Caret);
    EXPECT_FALSE(e.GetSelAvail());
}

INSTANTIATE_TEST_SUITE_P(
    AllModes, EditorPrimitiveTest,
    ::testing::Values(
        TPrimitiveCase{smNormal, smNormal, {"aX", "Y", "Z", "Wgh", "ijkl"}, {2, 4}},
        TPrimitiveCase{smNormal, smLine, {"X", "Y", "Z", "Wagh", "ijkl"}, {2, 4}},
        TPrimitiveCase{smNormal, smColumn, {"aXgh", "iYjkl", " Z", " W"}, {3, 4}},
        TPrimitiveCase{smLine, smNormal, {"X", "Y", "Z", "Wijkl"}, {2, 4}},
        TPrimitiveCase{smLine, smLine, {"X", "Y", "Z", "Wijkl"}, {2, 4}},
        TPrimitiveCase{smLine, smColumn, {"Xijkl", "Y", "Z", "W"}, {2, 4}},
        TPrimitiveCase{smColumn, smNormal, {"aX", "Y", "Z", "Wcd", "egh", "ijkl"}, {2, 4}},
        TPrimitiveCase{smColumn, smLine, {"X", "Y", "Z", "Wacd", "egh", "ijkl"}, {2, 4}},
        TPrimitiveCase{smColumn, smColumn, {"aXcd", "eYgh", "iZjkl", " W"}, {3, 4}}));

using EditorTextChangeTest = TTextEditFixture;

TEST_F(EditorTextChangeTest, EveryModeInsertsIntoAnEmptyBuffer)
{
    for (TQvSelectionMode mode : {smNormal, smLine, smColumn}) {
        TTextEditProbe& e = Editor();
        e.ClearAll();
        ASSERT_EQ(e.GetLines()->Count(), 0);
        e.SetSelTextPrimitive(mode, "A\nB");
        EXPECT_EQ(e.LineList(), (Lines{"A", "B"})) << int(mode);
        EXPECT_EQ(e.GetCaretXY(), (TPoint{2, 2})) << int(mode);
    }
}

TEST_F(EditorTextChangeTest, TextEndsAtItsFirstNul)
{
    TTextEditProbe& e = Editor();
    SetText("xy");
    e.SetCaretXY({2, 1});
    e.SetSelText(std::string("ab\0cd", 5));
    EXPECT_EQ(e.LineList(), (Lines{"xaby"}));
}

TEST_F(EditorTextChangeTest, ALineEndInsideTheLineSplitsItAndMovesTheMarksBelow)
{
    TTextEditProbe& e = Editor();
    SetText("xyz\nnext");
    e.SetBookMark(0, 1, 1);
    e.SetBookMark(1, 1, 2);
    e.SetCaretXY({3, 1});
    e.SetSelText("a\nb");
    EXPECT_EQ(e.LineList(), (Lines{"xya", "bz", "next"}));
    EXPECT_EQ(e.GetCaretXY(), (TPoint{2, 2}));
    Integer x = 0;
    Integer y = 0;
    ASSERT_TRUE(e.GetBookMark(0, x, y));
    EXPECT_EQ(y, 1);
    ASSERT_TRUE(e.GetBookMark(1, x, y));
    EXPECT_EQ(y, 3);
}

TEST_F(EditorTextChangeTest, ALeadingLineEndAtColumnOneMovesTheCaretLinesMark)
{
    TTextEditProbe& e = Editor();
    SetText("one\ntwo");
    e.SetBookMark(0, 1, 1);
    e.SetCaretXY({1, 1});
    e.SetSelText("\r\n");
    EXPECT_EQ(e.LineList(), (Lines{"", "one", "two"}));
    Integer x = 0;
    Integer y = 0;
    ASSERT_TRUE(e.GetBookMark(0, x, y));
    EXPECT_EQ(y, 2);
}

// A selection from the middle of line 2 to the middle of line 3 removes only line 3: the
// mark on line 2 stays, the one on line 4 comes up one line.
TEST_F(EditorTextChangeTest, DeletingAcrossTwoLinesKeepsTheMarksOnTheirText)
{
    TTextEditProbe& e = Editor();
    SetText("a\nbbbb\ncccc\ndddd");
    e.SetBookMark(0, 1, 2);
    e.SetBookMark(1, 1, 4);
    e.Select({3, 2}, {3, 3});
    e.SetSelText("");
    EXPECT_EQ(e.LineList(), (Lines{"a", "bbcc", "dddd"}));
    Integer x = 0;
    Integer y = 0;
    ASSERT_TRUE(e.GetBookMark(0, x, y));
    EXPECT_EQ(y, 2);
    ASSERT_TRUE(e.GetBookMark(1, x, y));
    EXPECT_EQ(y, 3);
}

TEST_F(EditorTextChangeTest, AColumnPasteBelowTheEndAppendsPaddedLinesAndLeavesMarks)
{
    TTextEditProbe& e = Editor();
    SetText("first\nlast");
    e.SetBookMark(0, 1, 2);
    e.SetCaretXY({3, 2});
    e.GetUndoList()->Clear();
    e.SetSelTextPrimitive(smColumn, "A\r\n\r\nB");
    EXPECT_EQ(e.LineList(), (Lines{"first", "laAst", "", "  B"}));
    Integer x = 0;
    Integer y = 0;
    ASSERT_TRUE(e.GetBookMark(0, x, y));
    EXPECT_EQ(y, 2);
    // One line break per appended line, the empty row's included, and the blanks up to the
    // column: undo takes all of them away.
    EXPECT_EQ(e.UndoReasons(),
              (std::vector<TQvChangeReason>{crPaste, crLineBreak, crLineBreak, crWhiteSpaceAdd, crPaste}));
    while (e.GetCanUndo())
        e.Undo();
    EXPECT_EQ(e.QvGetText(), "first\r\nlast");
}

TEST_F(EditorTextChangeTest, DeletingTheLastLineInLineModeLeavesOneEmptyLine)
{
    TTextEditProbe& e = Editor();
    SetText("a\nb");
    e.Select({1, 1}, {1, 2}, smLine);
    EXPECT_EQ(e.GetSelText(), "a\r\nb");
    e.SetSelText("");
    EXPECT_EQ(e.LineList(), (Lines{""}));
}

TEST_F(EditorTextChangeTest, SelectedTextInEachMode)
{
    TTextEditProbe& e = Editor();
    SetText("abcdef\nxy\n123456\nlast");
    e.Select({3, 1}, {2, 3});
    EXPECT_EQ(e.GetSelText(), "cdef\r\nxy\r\n1");
    e.Select({3, 1}, {2, 3}, smLine);
    EXPECT_EQ(e.GetSelText(), "abcdef\r\nxy\r\n123456\r\n");
    // A column block's short row is padded to the block's width, unless trailing blanks
    // are trimmed; the copy always pads it.
    e.Select({3, 1}, {5, 3}, smColumn);
    for (bool trim : {false, true}) {
        e.SetOptionFlag(eoTrimTrailingSpaces, trim);
        EXPECT_EQ(e.GetSelText(), trim ? "cd\r\n\r\n34" : "cd\r\n  \r\n34");
        e.CopyToClipboard();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), QString("cd\n  \n34"));
        EXPECT_EQ(Clipboard()->AsText(), "cd\r\n  \r\n34");
    }
    // A column block drawn right to left selects the same columns.
    e.Select({5, 1}, {3, 3}, smColumn);
    EXPECT_EQ(e.GetSelText(), "cd\r\n\r\n34");
}

TEST_F(EditorTextChangeTest, TextAndLineTextProperties)
{
    TTextEditProbe& e = Editor();
    EXPECT_EQ(e.QvGetText(), "");
    e.QvSetText("a\nb\rc\r\n");
    EXPECT_EQ(e.LineList(), (Lines{"a", "b", "c"}));
    EXPECT_EQ(e.QvGetText(), "a\r\nb\r\nc");
    e.SetCaretXY({1, 2});
    EXPECT_EQ(e.GetLineText(), "b");
    e.SetLineText("B  ");
    EXPECT_EQ(e.LineList(), (Lines{"a", "B  ", "c"}));
}

TEST_F(EditorTextChangeTest, TrimmingKeepsTheCaretAfterTheInsertedText)
{
    TTextEditProbe& e = Editor();
    ASSERT_TRUE(e.GetOptions().Contains(eoTrimTrailingSpaces));
    SetText("ab   ");
    e.SetCaretXY({3, 1});
    e.SetSelText("x ");
    EXPECT_EQ(e.LineList(), (Lines{"abx"}));
    EXPECT_EQ(e.GetCaretX(), 5);  // after the blank that went in, as typing it leaves it
}

// A line may hold a CR or an LF character: one set as the line's text, or an input
// method's text, which goes in as given. Lines inserted into it split only the text
// inserted: the first piece joins the caret line, the last takes the line's tail, and one
// undo gives the line back exactly. In every selection mode, inserted and pasted.
TEST_F(EditorTextChangeTest, LinesInsertedIntoALineHoldingALineEndKeepItInTheLine)
{
    struct TCase {
        bool Ime;
        TQvSelectionMode Mode;
        Lines Expected;
    };
    const TCase cases[] = {{false, smNormal, {"ax", "yb\ncd"}},  {false, smLine, {"x", "yab\ncd"}},
                           {false, smColumn, {"axb\ncd", " y"}}, {true, smNormal, {"a1\n2x", "yb"}},
                           {true, smLine, {"x", "ya1\n2b"}},     {true, smColumn, {"a1\n2xb", "    y"}}};
    for (const TCase& c : cases) {
        for (const bool paste : {false, true}) {
            TTextEditProbe& e = Editor();
            e.SetSelectionMode(smNormal);
            SetText("ab");
            e.SetCaretXY({2, 1});
            if (c.Ime) {
                char text[] = "1\n2";
                e.CommandProcessor(ecImeStr, '\0', text);
            } else {
                e.SetLineText("ab\ncd");
            }
            e.ClearUndo();
            const Lines before = e.LineList();
            e.SetSelectionMode(c.Mode);
            const std::string what = std::to_string(c.Ime) + std::to_string(int(c.Mode)) + std::to_string(paste);
            if (paste) {
                Clipboard()->SetAsText("x\r\ny");
                e.PasteFromClipboard();
            } else {
                e.SetSelTextExternal("x\r\ny");
            }
            EXPECT_EQ(e.LineList(), c.Expected) << what;
            e.Undo();
            EXPECT_EQ(e.LineList(), before) << what;
            e.Redo();
            EXPECT_EQ(e.LineList(), c.Expected) << what;
        }
    }
}

// Hands the buffer's notices of lines put on to the editor, and raises at the Nth.
class TFailingPut : public TObject {
public:
    void Putted(Integer Index, std::string_view S)
    {
        if (Fail > 0 && --Fail == 0)
            throw EOutOfResources("Out of memory");
        Next(Index, S);
    }
    TStringListInsertedEvent Next;
    int Fail = 0;
};

// An insertion of lines failing part way, after some of them were stored, leaves the
// text as it was: no stray line, the caret line whole, and nothing recorded. So does a
// line break.
TEST_F(EditorTextChangeTest, AnInsertionFailingPartWayLeavesTheTextAsItWas)
{
    TTextEditProbe& e = Editor();
    TFailingPut failing;
    TQvEditStringList& lines = *e.GetLines();
    failing.Next = lines.OnPutted;
    lines.OnPutted = TStringListInsertedEvent(&failing, &TFailingPut::Putted);
    for (const TQvSelectionMode mode : {smNormal, smLine}) {
        e.SetSelectionMode(smNormal);
        SetText("ab\ncd");
        e.ClearUndo();
        e.SetSelectionMode(mode);
        e.SetCaretXY({2, 1});
        failing.Fail = 2;
        EXPECT_THROW(e.SetSelTextExternal("x\r\ny\r\nz"), EOutOfResources) << int(mode);
        EXPECT_EQ(e.LineList(), (Lines{"ab", "cd"})) << int(mode);
        EXPECT_FALSE(e.GetCanUndo()) << int(mode);
    }
    e.SetSelectionMode(smNormal);
    e.SetCaretXY({2, 1});
    failing.Fail = 1;
    EXPECT_THROW(e.CommandProcessor(ecLineBreak, '\r', nullptr), EOutOfResources);
    EXPECT_EQ(e.LineList(), (Lines{"ab", "cd"}));
    EXPECT_FALSE(e.GetCanUndo());
    lines.OnPutted = failing.Next;
}

TEST_F(EditorTextChangeTest, ClearAllForgetsTextUndoAndBookmarks)
{
    TTextEditProbe& e = Editor();
    SetText("a\nb\nc");
    e.SetBookMark(3, 1, 3);
    e.SetCaretXY({2, 1});
    e.SetSelTextExternal("x");
    ASSERT_TRUE(e.GetModified());
    e.ClearAll();
    EXPECT_EQ(e.GetLines()->Count(), 0);
    EXPECT_FALSE(e.GetCanUndo());
    EXPECT_FALSE(e.GetModified());
    EXPECT_FALSE(e.IsBookmark(3));
    e.ClearBookMark(3);  // nothing left to free twice
    Integer x = 0;
    Integer y = 0;
    EXPECT_FALSE(e.GetBookMark(3, x, y));
}

}  // namespace

// The text of a column block over rows shorter than the block: read, copied and cut with
// those rows padded to the block's width unless trailing blanks are trimmed, while what
// the editor changes and records keeps the rows as they are in the lines.
#include "TextEditProbe.h"

#include "platform/window/Clipboard.h"

namespace {

using Lines = std::vector<std::string>;

class EditorColumnTextTest : public TTextEditFixture {
protected:
    // "abcd / x / abcd" with the column block (2,1)-(4,3) selected.
    void SelectBlockOverAShortRow(bool Trim)
    {
        TTextEditProbe& e = Editor();
        e.ClearAll();
        e.SetOptionFlag(eoTrimTrailingSpaces, Trim);
        SetText("abcd\r\nx\r\nabcd");
        e.Select({2, 1}, {4, 3}, smColumn);
    }
    static std::string PlainClipboard() { return Clipboard()->AsText(); }
    static std::string PrivateBlock() { return Clipboard()->GetBuffer(QvEditClipboardFormat()); }
};

TEST_F(EditorColumnTextTest, SelectedTextCopyAndCutPadShortRowsUnlessTrimming)
{
    TTextEditProbe& e = Editor();
    for (bool trim : {false, true}) {
        const std::string padded = "bc\r\n  \r\nbc";
        const std::string read = trim ? "bc\r\n\r\nbc" : padded;
        SelectBlockOverAShortRow(trim);
        EXPECT_EQ(e.GetSelText(), read) << trim;
        e.CopyToClipboard();
        EXPECT_EQ(PrivateBlock(), std::string("\x02", 1) + padded + '\0') << trim;

        e.CutToClipboard();
        EXPECT_EQ(PrivateBlock(), std::string("\x02", 1) + read + '\0') << trim;
        EXPECT_EQ(e.LineList(), (Lines{"ad", "x", "ad"})) << trim;
        // The short row gets no blanks back from the record of the cut.
        e.Undo();
        EXPECT_EQ(e.LineList(), (Lines{"abcd", "x", "abcd"})) << trim;
        e.Redo();
        EXPECT_EQ(e.LineList(), (Lines{"ad", "x", "ad"})) << trim;
    }
}

// Changing the case of the block or replacing it changes the rows that are there; undo
// gives back each line as it was, the short one without blanks.
TEST_F(EditorColumnTextTest, ChangesOfTheBlockLeaveShortRowsUnpadded)
{
    TTextEditProbe& e = Editor();
    SelectBlockOverAShortRow(false);
    e.DoCaseChange(ecUpperCaseBlock);
    EXPECT_EQ(e.LineList(), (Lines{"aBCd", "x", "aBCd"}));
    e.Undo();
    EXPECT_EQ(e.LineList(), (Lines{"abcd", "x", "abcd"}));

    SelectBlockOverAShortRow(false);
    e.CommandProcessor(ecDeleteChar, '\0', nullptr);
    EXPECT_EQ(e.LineList(), (Lines{"ad", "x", "ad"}));
    e.Undo();
    EXPECT_EQ(e.LineList(), (Lines{"abcd", "x", "abcd"}));

    SelectBlockOverAShortRow(false);
    e.CommandProcessor(ecChar, 'Z', nullptr);
    const Lines typed = e.LineList();
    e.Undo();
    EXPECT_EQ(e.LineList(), (Lines{"abcd", "x", "abcd"}));
    e.Redo();
    EXPECT_EQ(e.LineList(), typed);
}

}  // namespace

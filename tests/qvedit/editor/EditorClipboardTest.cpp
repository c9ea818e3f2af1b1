// Cut, copy and paste: the private block carries the selection mode between editors, plain
// text comes in from other programs, a block another program forged is not trusted, and
// every paste or cut is one undo step.
#include "TextEditProbe.h"

#include "platform/window/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {

using Lines = std::vector<std::string>;

class EditorClipboardTest : public TTextEditFixture {
protected:
    // A second editor on the same form, for pasting into.
    TTextEditProbe& Other()
    {
        if (other_ == nullptr) {
            other_ = new TTextEditProbe(&Form());
            other_->SetBounds(0, 0, EditorWidth, EditorHeight);
            other_->SetParent(&Form());
        }
        return *other_;
    }

    // Puts plain text and, when Block is given, a private block as another program would.
    static void PutOnClipboard(const std::string& Plain, const std::string* Block = nullptr)
    {
        TClipboard* clipboard = Clipboard();
        clipboard->Open();
        clipboard->Clear();
        clipboard->SetAsText(Plain);
        if (Block != nullptr)
            clipboard->SetBuffer(QvEditClipboardFormat(), *Block);
        clipboard->Close();
    }

    static std::string PrivateBlock() { return Clipboard()->GetBuffer(QvEditClipboardFormat()); }

private:
    TTextEditProbe* other_ = nullptr;  // owned by the form
};

TEST_F(EditorClipboardTest, AColumnCopyPastesAsAColumnAndReachesOthersAsLines)
{
    TTextEditProbe& e = Editor();
    SetText("abcd\nefgh");
    e.Select({2, 1}, {4, 2}, smColumn);
    e.CopyToClipboard();
    EXPECT_EQ(PrivateBlock(), std::string("\x02" "bc\r\nfg", 7) + '\0');
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString("bc\nfg"));
    EXPECT_EQ(Clipboard()->AsText(), "bc\r\nfg");

    TTextEditProbe& other = Other();
    other.QvSetText("12345\n67890\nxyz");
    other.SetCaretXY({3, 2});
    other.PasteFromClipboard();
    EXPECT_EQ(other.LineList(), (Lines{"12345", "67bc890", "xyfgz"}));
    other.Undo();
    EXPECT_EQ(other.LineList(), (Lines{"12345", "67890", "xyz"}));
}

// Each mode's block pasted into another editor inserts as the mode does; the plain text
// alone inserts in the pasting editor's own mode.
TEST_F(EditorClipboardTest, EveryModeRoundTripsThroughTheBlockAndThePlainText)
{
    struct TCase {
        TQvSelectionMode Mode;
        Lines ThroughBlock;
        Lines ThroughPlainText;
    };
    const TCase cases[] = {
        {smNormal, {"12bcd", "efg345", "678"}, {"12bcd", "efg345", "678"}},
        {smLine, {"abcd", "efgh12345", "678"}, {"12abcd", "efgh345", "678"}},
        {smColumn, {"12bc345", "67fg8"}, {"12bc", "fg345", "678"}},
    };
    for (const TCase& c : cases) {
        TTextEditProbe& e = Editor();
        e.QvSetText("abcd\nefgh");
        e.Select({2, 1}, {4, 2}, c.Mode);
        e.CopyToClipboard();
        ASSERT_EQ(PrivateBlock()[0], static_cast<char>(c.Mode));

        TTextEditProbe& other = Other();
        other.QvSetText("12345\n678");
        other.SetCaretXY({3, 1});
        other.PasteFromClipboard();
        EXPECT_EQ(other.LineList(), c.ThroughBlock) << int(c.Mode);

        PutOnClipboard(Clipboard()->AsText());
        other.QvSetText("12345\n678");
        other.SetCaretXY({3, 1});
        other.PasteFromClipboard();
        EXPECT_EQ(other.LineList(), c.ThroughPlainText) << int(c.Mode);
        other.Undo();
        EXPECT_EQ(other.QvGetText(), "12345\r\n678") << int(c.Mode);
    }
}

TEST_F(EditorClipboardTest, CopyingNothingLeavesTheClipboardAlone)
{
    PutOnClipboard("keep");
    TTextEditProbe& e = Editor();
    SetText("abc");
    e.CopyToClipboard();
    e.CutToClipboard();
    EXPECT_EQ(Clipboard()->AsText(), "keep");
    EXPECT_EQ(e.QvGetText(), "abc");
}

TEST_F(EditorClipboardTest, PlainTextWithLfLineEndsSplitsIntoLines)
{
    PutOnClipboard("one\ntwo\rthree");
    TTextEditProbe& e = Editor();
    SetText("<>");
    e.SetCaretXY({2, 1});
    e.PasteFromClipboard();
    EXPECT_EQ(e.LineList(), (Lines{"<one", "two", "three>"}));
    EXPECT_EQ(e.GetCaretXY(), (TPoint{6, 3}));
}

TEST_F(EditorClipboardTest, UndoOfAPasteOverASelectionIsOneStep)
{
    PutOnClipboard("new\ntext");
    TTextEditProbe& e = Editor();
    SetText("keep old words");
    e.Select({6, 1}, {9, 1});
    e.PasteFromClipboard();
    EXPECT_EQ(e.QvGetText(), "keep new\r\ntext words");
    e.Undo();
    EXPECT_EQ(e.QvGetText(), "keep old words");
    EXPECT_FALSE(e.GetCanUndo());
    e.Redo();
    EXPECT_EQ(e.QvGetText(), "keep new\r\ntext words");
}

TEST_F(EditorClipboardTest, CutLinesPasteBackAsWholeLinesBeforeTheCaretLine)
{
    TTextEditProbe& e = Editor();
    SetText("l1\nl2\nl3\nl4");
    e.Select({2, 2}, {1, 3}, smLine);
    e.CutToClipboard();
    EXPECT_EQ(e.LineList(), (Lines{"l1", "l4"}));
    EXPECT_EQ(e.UndoReasons(), (std::vector<TQvChangeReason>{crDelete}));
    e.SetCaretXY({1, 1});
    e.PasteFromClipboard();
    EXPECT_EQ(e.LineList(), (Lines{"l2", "l3", "l1", "l4"}));
    e.Undo();
    EXPECT_EQ(e.LineList(), (Lines{"l1", "l4"}));
    e.Undo();
    EXPECT_EQ(e.LineList(), (Lines{"l1", "l2", "l3", "l4"}));
}

// A column block pasted into an editor in line mode is recorded row by row as columns, so
// that undo takes the rows out of their lines and not the lines.
TEST_F(EditorClipboardTest, AColumnPasteInLineModeUndoesRowByRow)
{
    TTextEditProbe& e = Editor();
    SetText("abcd\nefgh");
    e.Select({2, 1}, {4, 2}, smColumn);
    e.CopyToClipboard();
    e.SetSelectionMode(smLine);
    e.SetCaretXY({1, 2});
    e.PasteFromClipboard();
    EXPECT_EQ(e.LineList(), (Lines{"abcd", "bcefgh", "fg"}));
    e.Undo();
    EXPECT_EQ(e.LineList(), (Lines{"abcd", "efgh"}));
}

// Another program may put anything under the block's format: a mode that names no
// selection mode, a text without its NUL, or no text at all. Such a block is ignored and
// the plain text pasted instead.
TEST_F(EditorClipboardTest, AForgedBlockIsReadAsPlainText)
{
    const std::string forged[] = {std::string("\x07" "AB\0", 4), std::string("\x02" "AB\r\nCD", 7),
                                  std::string("\x01\0", 2), std::string()};
    for (const std::string& block : forged) {
        PutOnClipboard("p\nq", &block);
        TTextEditProbe& e = Editor();
        e.QvSetText("xy\nzw");
        e.SetCaretXY({2, 1});
        e.PasteFromClipboard();
        EXPECT_EQ(e.LineList(), (Lines{"xp", "qy", "zw"})) << block.size();
    }
}

TEST_F(EditorClipboardTest, AReadOnlyEditorNeitherCutsNorPastes)
{
    PutOnClipboard("x");
    TTextEditProbe& e = Editor();
    SetText("abc");
    EXPECT_TRUE(e.GetCanPaste());
    e.SetReadOnly(true);
    EXPECT_FALSE(e.GetCanPaste());
    e.SelectAll();
    e.CutToClipboard();
    e.PasteFromClipboard();
    EXPECT_EQ(e.QvGetText(), "abc");
    e.CopyToClipboard();
    EXPECT_EQ(Clipboard()->AsText(), "abc");
}

}  // namespace

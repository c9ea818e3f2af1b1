// Text dropped within one editor and between two, each drop one undo step with the
// dropped text selected; files dropped from the desktop.
#include "TextEditProbe.h"

#include "platform/runtime/Classes.h"
#include "platform/window/DragDrop.h"
#include "platform/window/Keys.h"

#include <string>
#include <vector>

namespace {

class EditorDragDropTest : public TTextEditFixture {
protected:
    TPoint At(int Column, int Line)
    {
        const TPoint origin = CellOrigin(Column, Line);
        return TPoint{origin.X + 1, origin.Y + Editor().GetLineHeight() / 2};
    }
    // The drop of Source's selection at a character position of Target, with keys held.
    void Drop(TCustomQvEdit& Source, TCustomQvEdit& Target, TPoint Position, TShiftState Keys = 0)
    {
        SetInputShiftState(Keys);
        const TPoint p = At(Position.X, Position.Y);
        bool accept = false;
        Target.DragOver(&Source, p.X, p.Y, dsDragMove, accept);
        ASSERT_TRUE(accept);
        Target.DragDrop(&Source, p.X, p.Y);
        SetInputShiftState(0);
    }
    // A second editor beside the first, on the same form.
    TTextEditProbe& Other()
    {
        if (other_ == nullptr) {
            other_ = new TTextEditProbe(&Form());
            other_->SetFont(Editor().GetFont());
            other_->SetBounds(0, EditorHeight, EditorWidth, 100);
            other_->SetParent(&Form());
        }
        return *other_;
    }

private:
    TTextEditProbe* other_ = nullptr;  // owned by the form
};

}  // namespace

TEST_F(EditorDragDropTest, MovingAMultiLineSelectionToItsOwnLastLine)
{
    SetText("AAAABBBB\r\nCCCCDDDD");
    Editor().Select(TPoint{5, 1}, TPoint{5, 2});
    Drop(Editor(), Editor(), TPoint{7, 2});
    EXPECT_EQ(Editor().QvGetText(), "AAAADDBBBB\r\nCCCCDD");
    EXPECT_EQ(Editor().GetSelText(), "BBBB\r\nCCCC");
    Editor().Undo();
    EXPECT_EQ(Editor().QvGetText(), "AAAABBBB\r\nCCCCDDDD");
}

TEST_F(EditorDragDropTest, MovesAndCopiesWithinOneEditor)
{
    struct Case {
        TPoint begin, end, drop;
        TShiftState keys;
        const char* expected;
    };
    const Case cases[] = {
        {{5, 1}, {8, 1}, {13, 1}, 0, "one  fourtwo\r\nthree"},           // after it, same line
        {{5, 1}, {8, 1}, {10, 1}, 0, "one  ftwoour\r\nthree"},
        {{5, 1}, {8, 1}, {1, 1}, 0, "twoone  four\r\nthree"},            // before it
        {{1, 1}, {5, 1}, {3, 2}, 0, "two four\r\nthone ree"},            // a later line
        {{5, 1}, {5, 2}, {6, 2}, 0, "one etwo four\r\nthre"},             // its last line, after its end
        {{5, 1}, {8, 1}, {6, 1}, 0, "one two four\r\nthree"},            // onto itself: nothing
        {{5, 1}, {8, 1}, {8, 1}, 0, "one two four\r\nthree"},            // a move onto its edge: nothing
        {{5, 1}, {8, 1}, {8, 1}, ssCtrl, "one twotwo four\r\nthree"},    // a copy onto its end
        {{5, 1}, {8, 1}, {5, 1}, ssCtrl, "one twotwo four\r\nthree"},    // a copy onto its start
        {{5, 1}, {8, 1}, {6, 2}, ssCtrl, "one two four\r\nthreetwo"},    // a copy elsewhere
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        SetText("one two four\r\nthree");
        Editor().ClearUndo();
        Editor().Select(c.begin, c.end);
        const std::string dragged = Editor().GetSelText();
        Drop(Editor(), Editor(), c.drop, c.keys);
        EXPECT_EQ(Editor().QvGetText(), c.expected);
        if (Editor().QvGetText() != "one two four\r\nthree") {
            EXPECT_EQ(Editor().GetSelText(), dragged);
            Editor().Undo();
            EXPECT_EQ(Editor().QvGetText(), "one two four\r\nthree");
            EXPECT_FALSE(Editor().GetCanUndo());
        }
    }
}

TEST_F(EditorDragDropTest, BetweenTwoEditorsCopyOrMoveWithShift)
{
    SetText("source text!");
    Other().GetLines()->SetText("target");
    Editor().Select(TPoint{8, 1}, TPoint{12, 1});
    Drop(Editor(), Other(), TPoint{7, 1});
    EXPECT_EQ(Other().QvGetText(), "targettext");
    EXPECT_EQ(Editor().QvGetText(), "source text!");
    EXPECT_EQ(Other().GetSelText(), "text");

    Drop(Editor(), Other(), TPoint{1, 1}, ssShift);
    EXPECT_EQ(Other().QvGetText(), "texttargettext");
    EXPECT_EQ(Editor().QvGetText(), "source !");
    Other().Undo();
    EXPECT_EQ(Other().QvGetText(), "targettext");
    Editor().Undo();
    EXPECT_EQ(Editor().QvGetText(), "source text!");

    // A read-only editor takes nothing; nothing is taken from a read-only one.
    Other().SetReadOnly(true);
    bool accept = true;
    Other().DragOver(&Editor(), 1, 1, dsDragMove, accept);
    EXPECT_FALSE(accept);
    Other().DragDrop(&Editor(), At(1, 1).X, At(1, 1).Y);
    EXPECT_EQ(Other().QvGetText(), "targettext");
    Other().SetReadOnly(false);
    Editor().SetReadOnly(true);
    Editor().Select(TPoint{1, 1}, TPoint{7, 1});
    Drop(Editor(), Other(), TPoint{1, 1}, ssShift);
    EXPECT_EQ(Other().QvGetText(), "sourcetargettext");
    EXPECT_EQ(Editor().QvGetText(), "source text!");
}

// A drop past a line's end fills the gap with blanks; undo takes them away with the text,
// also in a target editor in line or column mode, and redo brings both back.
TEST_F(EditorDragDropTest, ADropPastTheLineEndIsUndoneWithItsBlanks)
{
    Editor().SetOptionFlag(eoTrimTrailingSpaces, false);
    SetText("one two\r\nab");
    Editor().Select(TPoint{1, 1}, TPoint{4, 1});
    Drop(Editor(), Editor(), TPoint{6, 2});
    EXPECT_EQ(Editor().QvGetText(), " two\r\nab   one");
    EXPECT_EQ(Editor().GetSelText(), "one");
    Editor().Undo();
    EXPECT_EQ(Editor().QvGetText(), "one two\r\nab");
    EXPECT_FALSE(Editor().GetCanUndo());
    Editor().Redo();
    EXPECT_EQ(Editor().QvGetText(), " two\r\nab   one");

    SetText("x\r\ny");
    Editor().Select(TPoint{1, 1}, TPoint{1, 2});
    for (TQvSelectionMode mode : {smNormal, smLine, smColumn}) {
        SCOPED_TRACE(int(mode));
        Other().SetOptionFlag(eoTrimTrailingSpaces, false);
        Other().GetLines()->SetText("ab\r\ncd");
        Other().ClearUndo();
        Other().SetSelectionMode(mode);
        Drop(Editor(), Other(), TPoint{5, 2});
        const std::string dropped = Other().QvGetText();
        EXPECT_NE(dropped, "ab\r\ncd");
        Other().Undo();
        EXPECT_EQ(Other().QvGetText(), "ab\r\ncd");
        Other().Redo();
        EXPECT_EQ(Other().QvGetText(), dropped);
    }
}

TEST_F(EditorDragDropTest, DragCursorShowsCopyOrMove)
{
    SetText("abc def");
    Editor().Select(TPoint{1, 1}, TPoint{4, 1});
    bool accept = false;
    SetInputShiftState(ssCtrl);
    Editor().DragOver(&Editor(), At(6, 1).X, At(6, 1).Y, dsDragMove, accept);
    EXPECT_EQ(Editor().DragCursor(), crMultiDrag);
    SetInputShiftState(0);
    Editor().DragOver(&Editor(), At(6, 1).X, At(6, 1).Y, dsDragMove, accept);
    EXPECT_EQ(Editor().DragCursor(), crDrag);
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{6, 1}));
}

TEST_F(EditorDragDropTest, DroppedFilesArriveWholeInOneCall)
{
    Editor().SetOptionFlag(eoDropFiles, true);
    const std::string longName = "/tmp/" + std::string(300, 'd') + "/" + std::string(200, 'f') + ".php";
    std::vector<std::vector<std::string>> calls;
    TPoint where;
    struct Recorder {
        std::vector<std::vector<std::string>>* Calls;
        TPoint* Where;
        void OnDrop(TObject*, int X, int Y, TStrings* Files)
        {
            std::vector<std::string> names;
            for (int i = 0; i < Files->Count(); ++i)
                names.push_back(Files->Strings(i));
            Calls->push_back(names);
            *Where = TPoint{X, Y};
        }
    } recorder{&calls, &where};
    Editor().OnDropFiles = TDropFilesEvent(&recorder, &Recorder::OnDrop);
    DropFilesOn(&Editor(), {"/tmp/a.php", longName, "/tmp/c d.html"}, TPoint{30, 40});
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], (std::vector<std::string>{"/tmp/a.php", longName, "/tmp/c d.html"}));
    EXPECT_EQ(where, (TPoint{30, 40}));
}

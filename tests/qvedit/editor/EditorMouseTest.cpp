// The mouse as the window system sends it: presses, moves with the capture, releases and
// double clicks placing the caret and selecting; auto-scroll with its timer fired
// directly; gutter clicks; the right button; the start of a text drag.
#include "TextEditProbe.h"

#include "platform/window/Keys.h"
#include "qvedit/editor/QvEditMarks.h"

#include <string>

namespace {

class TMouseProbe : public TTextEditProbe {
public:
    using TTextEditProbe::TTextEditProbe;
    using TCustomQvEdit::ScrollTimerHandler;
    Integer ScrollDeltaY() const { return scrollDeltaY_; }
    bool ScrollTimerOn() const { return scrollTimer_->Enabled(); }
};

class EditorMouseTest : public TEditorFixture<TMouseProbe> {
protected:
    // A point inside the cell of character column Column on Line.
    TPoint At(int Column, int Line) const
    {
        const TPoint origin = CellOrigin(Column, Line);
        return TPoint{origin.X + 1, origin.Y + Editor_().GetLineHeight() / 2};
    }
    void Down(TPoint P, TShiftState Shift = 0) { MouseDown(mbLeft, P.X, P.Y, Shift); }
    void MoveHeld(TPoint P, TShiftState Shift = 0) { MouseMove(P.X, P.Y, Shift | ssLeft); }
    void Up(TPoint P, TShiftState Shift = 0) { MouseUp(mbLeft, P.X, P.Y, Shift); }

    const TMouseProbe& Editor_() const { return const_cast<EditorMouseTest*>(this)->Editor(); }
};

}  // namespace

TEST_F(EditorMouseTest, PressMoveAndReleaseSelectAndShiftClickExtendsFromTheAnchor)
{
    SetText("one two three\r\nfour five\r\nsix");
    Down(At(5, 1));
    EXPECT_TRUE(Editor().MouseCapture());
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{5, 1}));
    MoveHeld(At(5, 2));
    Up(At(5, 2));
    EXPECT_FALSE(Editor().MouseCapture());
    EXPECT_EQ(Editor().GetSelText(), "two three\r\nfour");

    // Shift+click: from where the selection was first anchored, not from the caret.
    Down(At(2, 3), ssShift);
    Up(At(2, 3), ssShift);
    EXPECT_EQ(Editor().GetBlockBegin(), (TPoint{5, 1}));
    EXPECT_EQ(Editor().GetBlockEnd(), (TPoint{2, 3}));
    Down(At(1, 1), ssShift);
    Up(At(1, 1), ssShift);
    EXPECT_EQ(Editor().GetSelText(), "one ");

    // A plain click clears it.
    Click(At(3, 2).X, At(3, 2).Y);
    EXPECT_FALSE(Editor().GetSelAvail());
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{3, 2}));
}

TEST_F(EditorMouseTest, AltPressSelectsAColumnBlock)
{
    SetText("abcdef\r\nabcdef");
    Editor().SetOptionFlag(eoAltSetsColumnMode, true);
    Down(At(2, 1), ssAlt);
    MoveHeld(At(4, 2), ssAlt);
    Up(At(4, 2), ssAlt);
    EXPECT_EQ(Editor().GetSelectionMode(), smColumn);
    EXPECT_EQ(Editor().GetSelText(), "bc\r\nbc");
    Click(At(1, 1).X, At(1, 1).Y);
    EXPECT_EQ(Editor().GetSelectionMode(), smNormal);
}

TEST_F(EditorMouseTest, DoubleClickSelectsTheWordUntilTheRelease)
{
    SetText("alpha beta gamma");
    const TPoint p = At(8, 1);
    PutMouseAt(p.X, p.Y);
    DoubleClick(p.X, p.Y);
    EXPECT_EQ(Editor().GetSelText(), "beta");
    EXPECT_FALSE(Editor().MouseCapture());
    // The next press is an ordinary one again.
    Click(At(2, 1).X, At(2, 1).Y);
    EXPECT_FALSE(Editor().GetSelAvail());
}

TEST_F(EditorMouseTest, ClickOnTheSelectionPlacesTheCaretOrStartsADrag)
{
    SetText("drag this text");
    Editor().Select(TPoint{6, 1}, TPoint{10, 1});
    Down(At(7, 1));
    Up(At(7, 1));
    EXPECT_FALSE(Editor().GetSelAvail());
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{7, 1}));

    Editor().Select(TPoint{6, 1}, TPoint{10, 1});
    Down(At(7, 1));
    EXPECT_EQ(Editor().GetSelText(), "this");  // still selected while it may be dragged
    const TPoint start = At(7, 1);
    MoveHeld(TPoint{start.X + 1, start.Y});
    EXPECT_FALSE(Editor().Dragging());
    MoveHeld(TPoint{start.X + GetSystemMetrics(SM_CXDRAG), start.Y});
    EXPECT_TRUE(Editor().Dragging());
    EXPECT_FALSE(Editor().MouseCapture());
    Editor().EndDrag(false);
    EXPECT_FALSE(Editor().Dragging());
    EXPECT_EQ(Editor().GetSelText(), "this");
}

TEST_F(EditorMouseTest, RightClickWithRightMouseMovesCursor)
{
    SetText("keep this selected");
    Editor().SetOptionFlag(eoRightMouseMovesCursor, true);
    Editor().Select(TPoint{6, 1}, TPoint{10, 1});
    MouseDown(mbRight, At(7, 1).X, At(7, 1).Y);
    MouseUp(mbRight, At(7, 1).X, At(7, 1).Y);
    EXPECT_EQ(Editor().GetSelText(), "this");

    MouseDown(mbRight, At(15, 1).X, At(15, 1).Y);
    MouseUp(mbRight, At(15, 1).X, At(15, 1).Y);
    EXPECT_FALSE(Editor().GetSelAvail());
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{15, 1}));
}

TEST_F(EditorMouseTest, HoldingTheMouseBelowTheTextScrollsByTimerTicks)
{
    std::string text;
    for (int i = 1; i <= 200; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    SetText(text);
    const int window = Editor().GetLinesInWindow();
    const int lineHeight = Editor().GetLineHeight();
    Down(At(1, 1));
    // Two line heights below the text area: three lines a tick.
    const TPoint below{At(1, 1).X, window * lineHeight + 2 * lineHeight + 1};
    MoveHeld(below);
    EXPECT_EQ(Editor().ScrollDeltaY(), 3);
    EXPECT_TRUE(Editor().ScrollTimerOn());
    PutMouseAt(below.X, below.Y);
    Editor().ScrollTimerHandler(nullptr);
    EXPECT_EQ(Editor().GetTopLine(), 4);
    EXPECT_EQ(Editor().GetCaretY(), 4 + window - 1);
    EXPECT_EQ(Editor().GetBlockBegin(), (TPoint{1, 1}));
    // With Shift a page a tick.
    SetInputShiftState(ssShift | ssLeft);
    Editor().ScrollTimerHandler(nullptr);
    EXPECT_EQ(Editor().GetTopLine(), 4 + 3 * window);
    SetInputShiftState(ssLeft);
    // Back inside, the timer stops; the release stops it too.
    MoveHeld(At(1, Editor().GetTopLine() + 1));
    EXPECT_FALSE(Editor().ScrollTimerOn());
    MoveHeld(below);
    EXPECT_TRUE(Editor().ScrollTimerOn());
    Up(below);
    EXPECT_FALSE(Editor().ScrollTimerOn());
    // Losing the capture stops it as well.
    Editor().SetCaretXY(TPoint{1, Editor().GetTopLine()});
    Down(At(1, Editor().GetTopLine()));
    MoveHeld(below);
    EXPECT_TRUE(Editor().ScrollTimerOn());
    Editor().SetMouseCapture(false);
    EXPECT_FALSE(Editor().ScrollTimerOn());
}

TEST_F(EditorMouseTest, GutterClicksReportTheLineAndTheMark)
{
    SetText("a\r\nb\r\nc");
    ASSERT_GT(Editor().GetGutterWidth(), 2);
    Editor().SetBookMark(3, 1, 2);
    int calls = 0;
    int line = 0;
    TQvEditMark* mark = nullptr;
    struct Recorder {
        int* Calls;
        int* Line;
        TQvEditMark** Mark;
        void OnClick(TObject*, TMouseButton, int, int, int ALine, TQvEditMark* AMark)
        {
            ++*Calls;
            *Line = ALine;
            *Mark = AMark;
        }
    } recorder{&calls, &line, &mark};
    Editor().OnGutterClick = TGutterClickEvent(&recorder, &Recorder::OnClick);
    const int y = At(1, 2).Y;
    Click(1, y);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(line, 2);
    ASSERT_NE(mark, nullptr);
    EXPECT_EQ(mark->GetBookmarkNumber(), 3);
    Click(1, At(1, 3).Y);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(line, 3);
    EXPECT_EQ(mark, nullptr);
    // Below the last line nothing is reported.
    Click(1, At(1, 6).Y);
    EXPECT_EQ(calls, 2);
}

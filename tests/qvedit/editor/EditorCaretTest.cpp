// The caret: every value a program or a message can send is clamped, the status notices
// come once per change, pixels and characters convert through the editor's view, and the
// system caret follows in the shape of the mode.
#include "EditorFixture.h"

#include "platform/window/Caret.h"

#include <limits>

namespace {

constexpr Integer IntMax = std::numeric_limits<Integer>::max();
constexpr Integer IntMin = std::numeric_limits<Integer>::min();

class TCaretProbe : public TQvEdit {
public:
    using TQvEdit::TQvEdit;
    using TCustomQvEdit::ComputeCaret;
    bool CaretShown() const { return stateFlags_.Contains(sfCaretVisible); }
    TPoint CaretOffset() const { return caretOffset_; }
};

using EditorCaretTest = TEditorFixture<TCaretProbe>;

TEST_F(EditorCaretTest, EveryCaretValueIsClampedWithoutAnError)
{
    TCaretProbe& e = Editor();
    SetText("abc\nde");
    struct Case {
        TPoint Sent;
        TPoint PastEol;  // with eoScrollPastEol
        TPoint InLine;   // without it
    };
    const Case cases[] = {
        {{0, 0}, {1, 1}, {1, 1}},
        {{10, 1}, {10, 1}, {4, 1}},
        {{10, 99}, {10, 2}, {3, 2}},
        {{IntMax, IntMax}, {1025, 2}, {3, 2}},
        {{IntMin, IntMin}, {1, 1}, {1, 1}},
        {{IntMax, IntMin}, {1025, 1}, {1, 1}},
    };
    for (const Case& c : cases) {
        e.SetOptionFlag(eoScrollPastEol, true);
        e.SetCaretXY(c.Sent);
        EXPECT_EQ(e.GetCaretXY(), c.PastEol) << c.Sent.X << "," << c.Sent.Y;
        e.SetOptionFlag(eoScrollPastEol, false);
        e.SetCaretXY(c.Sent);
        EXPECT_EQ(e.GetCaretXY(), c.InLine) << c.Sent.X << "," << c.Sent.Y;
    }
    e.SetCaretXY(TPoint{3, 2});
    e.SetCaretX(-3);
    e.SetCaretY(IntMax);
    EXPECT_EQ(e.GetCaretXY(), (TPoint{1, 2}));

    SetText("");
    e.SetCaretXY(TPoint{7, 3});
    EXPECT_EQ(e.GetCaretXY(), (TPoint{1, 1}));
    e.SetOptionFlag(eoScrollPastEol, true);
    e.SetCaretXY(TPoint{7, 3});
    EXPECT_EQ(e.GetCaretXY(), (TPoint{7, 1}));

    // The public setter empties the selection; the internal one leaves it.
    SetText("abc\nde");
    e.SetCaretAndSelection(TPoint{3, 2}, TPoint{1, 1}, TPoint{3, 2});
    e.InternalSetCaretXY(TPoint{2, 1});
    EXPECT_TRUE(e.GetSelAvail());
    e.SetCaretXY(TPoint{2, 1});
    EXPECT_FALSE(e.GetSelAvail());
}

TEST_F(EditorCaretTest, PixelsAndCharactersConvertThroughTheView)
{
    TCaretProbe& e = Editor();
    e.SetTabWidth(8);
    SetText("\tab\tx\nplain text here");
    const int w = e.GetCharWidth();
    // The right half of a cell puts the caret after its character.
    const TPoint cell = CellOrigin(12, 2);
    e.ComputeCaret(cell.X + w / 4, cell.Y + 1);
    EXPECT_EQ(e.GetCaretXY(), (TPoint{12, 2}));
    e.ComputeCaret(cell.X + 3 * w / 4, cell.Y + 1);
    EXPECT_EQ(e.GetCaretXY(), (TPoint{13, 2}));
    // A point inside a tab's cells is the tab.
    const TPoint insideTab = CellOrigin(5, 1);
    e.ComputeCaret(insideTab.X + 1, insideTab.Y + 1);
    EXPECT_EQ(e.GetCaretXY(), (TPoint{1, 1}));

    // Caret -> pixels -> caret and caret -> flat index -> caret, on lines with tabs, past
    // the line's end, on the last line and in an empty buffer, with a line-number gutter.
    e.GetGutter()->SetShowLineNumbers(true);
    for (const char* text : {"\tab\tx\nplain\n\t", ""}) {
        SetText(text);
        for (bool pastEol : {true, false}) {
            e.SetOptionFlag(eoScrollPastEol, pastEol);
            for (Integer y = 1; y <= 3; ++y) {
                for (Integer x = 1; x <= 14; ++x) {
                    e.SetCaretXY(TPoint{x, y});
                    const TPoint caret = e.GetCaretXY();
                    EXPECT_EQ(e.PixelsToRowColumn(TPoint{e.CaretXPix(), e.CaretYPix()}), caret);
                    if (!pastEol) {
                        EXPECT_EQ(e.CharIndexToRowCol(e.GetSelStart()), caret);
                    }
                }
            }
        }
    }
}

TEST_F(EditorCaretTest, TheSystemCaretFollowsInTheShapeOfTheMode)
{
    TCaretProbe& e = Editor();
    SetText("abc\ndef");
    e.SetAlwaysShowCaret(true);
    e.SetCaretXY(TPoint{3, 2});
    TPoint at;
    ASSERT_TRUE(GetCaretPos(&at));
    EXPECT_EQ(at, (TPoint{e.CaretXPix() - 1, e.CaretYPix() + 1}));
    EXPECT_TRUE(e.CaretShown());

    e.SetInsertMode(false);  // the block caret sits on the cell
    ASSERT_TRUE(GetCaretPos(&at));
    EXPECT_EQ(at, (TPoint{e.CaretXPix(), e.CaretYPix() + 1}));
    e.SetOverwriteCaret(ctHorizontalLine);
    EXPECT_EQ(e.CaretOffset(), (TPoint{0, e.GetLineHeight() - 2}));

    // Scrolled out of the text area the caret hides, and shows again when back.
    SetText(std::string(40, '\n'));
    e.SetCaretXY(TPoint{1, 1});
    e.SetTopLine(20);
    e.InternalSetCaretXY(TPoint{1, 1});
    e.UpdateCaret();
    EXPECT_FALSE(e.CaretShown());
    e.SetCaretXY(TPoint{1, 25});
    EXPECT_TRUE(e.CaretShown());

    e.SetAlwaysShowCaret(false);
    EXPECT_FALSE(e.CaretShown());
    EXPECT_FALSE(GetCaretPos(&at));

    // Letting go of the caret leaves alone the one that another editor owns by now.
    TQvEdit other(&Form());
    other.SetParent(&Form());
    e.SetAlwaysShowCaret(true);
    other.SetAlwaysShowCaret(true);
    e.SetAlwaysShowCaret(false);
    EXPECT_TRUE(GetCaretPos(&at));
}

TEST_F(EditorCaretTest, AFocusedEditorKeepsItsCaretWhenItsWindowIsMadeAgain)
{
    TCaretProbe& e = Editor();
    SetText("abc\ndef");
    e.SetCaretXY(TPoint{3, 2});
    Application->ProcessMessages();
    e.SetFocus();
    ASSERT_TRUE(e.Focused());
    TPoint at;
    ASSERT_TRUE(GetCaretPos(&at));

    // A new border makes the window again; no focus message comes, the focus stays.
    e.SetBorderStyle(bsNone);
    ASSERT_TRUE(e.Focused());
    ASSERT_TRUE(GetCaretPos(&at));
    EXPECT_EQ(at, (TPoint{e.CaretXPix() - 1, e.CaretYPix() + 1}));
    EXPECT_TRUE(e.CaretShown());
    Type("x");
    EXPECT_EQ(e.GetLines()->Get(1), "dexf");
    ASSERT_TRUE(GetCaretPos(&at));
    EXPECT_EQ(at, (TPoint{e.CaretXPix() - 1, e.CaretYPix() + 1}));

    // Made again while another control has the focus, it leaves that one's caret alone.
    TQvEdit other(&Form());
    other.SetParent(&Form());
    other.SetFocus();
    Application->ProcessMessages();
    ASSERT_FALSE(e.Focused());
    e.SetBorderStyle(bsSingle);
    EXPECT_EQ(::HideCaret(e.Handle()), FALSE);
    EXPECT_EQ(::HideCaret(other.Handle()), TRUE);
}

}  // namespace

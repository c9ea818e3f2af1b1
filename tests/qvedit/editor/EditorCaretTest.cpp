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
        {{-5, -7}, {1, 1}, {1, 1}},
        {{0, 0}, {1, 1}, {1, 1}},
        {{3, 1}, {3, 1}, {3, 1}},
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
    EXPECT_EQ(e.GetCaretXY(), (TPoint{1, 2}));
    e.SetCaretY(IntMax);
    EXPECT_EQ(e.GetCaretXY(), (TPoint{1, 2}));

    SetText("");
    e.SetCaretXY(TPoint{7, 3});
    EXPECT_EQ(e.GetCaretXY(), (TPoint{1, 1}));
    e.SetOptionFlag(eoScrollPastEol, true);
    e.SetCaretXY(TPoint{7, 3});
    EXPECT_EQ(e.GetCaretXY(), (TPoint{7, 1}));
}

TEST_F(EditorCaretTest, TheCaretSettersAndTheSelection)
{
    TCaretProbe& e = Editor();
    SetText("one\ntwo\nthree");
    e.SetCaretAndSelection(TPoint{3, 2}, TPoint{1, 1}, TPoint{3, 2});
    ASSERT_TRUE(e.GetSelAvail());
    e.InternalSetCaretXY(TPoint{2, 3});
    EXPECT_TRUE(e.GetSelAvail());
    EXPECT_EQ(e.GetBlockEnd(), (TPoint{3, 2}));
    e.SetCaretXY(TPoint{4, 1});
    EXPECT_FALSE(e.GetSelAvail());
    EXPECT_EQ(e.GetBlockBegin(), (TPoint{4, 1}));
}

TEST_F(EditorCaretTest, StatusChangesArriveOncePerMoveAndNotForTheSamePlace)
{
    TCaretProbe& e = Editor();
    SetText("one\ntwo");
    e.SetOptionFlag(eoScrollPastEol, false);
    std::vector<TQvStatusChanges> seen;
    struct Listener {
        std::vector<TQvStatusChanges>* Seen;
        void Changed(TObject*, TQvStatusChanges Changes) { Seen->push_back(Changes); }
    } listener{&seen};
    e.OnStatusChange = TStatusChangeEvent(&listener, &Listener::Changed);
    e.SetCaretXY(TPoint{4, 2});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].Contains(scCaretX));
    EXPECT_TRUE(seen[0].Contains(scCaretY));
    seen.clear();
    // Each of these is clamped to where the caret already is.
    e.SetCaretXY(TPoint{4, 2});
    e.SetCaretXY(TPoint{9999, 2});
    e.SetCaretXY(TPoint{9999, 99});
    EXPECT_TRUE(seen.empty());
    e.BeginUpdate();
    e.SetCaretX(1);
    e.SetCaretY(1);
    EXPECT_TRUE(seen.empty());
    e.EndUpdate();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].Contains(scCaretX) && seen[0].Contains(scCaretY));
    e.OnStatusChange = nullptr;
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

    // Character -> display -> pixels -> character, with the view scrolled right.
    e.GetGutter()->SetShowLineNumbers(true);
    e.SetLeftChar(3);
    for (Integer y = 1; y <= 2; ++y) {
        for (Integer x = 3; x <= 20; ++x) {
            const TPoint display = e.LogicalToPhysicalPos(TPoint{x, y});
            if (display.X < e.GetLeftChar())
                continue;
            EXPECT_EQ(e.PixelsToRowColumn(e.RowColumnToPixels(display)), (TPoint{x, y}))
                << x << "," << y;
        }
    }
    e.SetCaretXY(TPoint{2, 1});
    EXPECT_EQ(e.GetDisplayXY(), (TPoint{9, 1}));
    EXPECT_EQ(e.CaretXPix(), e.RowColumnToPixels(TPoint{9, 1}).X);
    EXPECT_EQ(e.CaretYPix(), 0);
    EXPECT_EQ(e.RowColToCharIndex(TPoint{1, 2}), 7);
    EXPECT_EQ(e.CharIndexToRowCol(7), (TPoint{1, 2}));
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
    EXPECT_EQ(e.CaretOffset(), (TPoint{0, 0}));
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
}

}  // namespace

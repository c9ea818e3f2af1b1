// Bookmarks and marks: the ten slots, replacing and clearing, jumping into view, marks per
// line, what the mark list frees, and plug-ins told about paints.
#include "EditorFixture.h"

#include "qvedit/editor/QvEditMarks.h"

namespace {

using EditorMarksTest = EditorFixture;

// A mark that counts the living instances, so that a test sees what was freed.
class TCountedMark : public TQvEditMark {
public:
    explicit TCountedMark(TCustomQvEdit* AOwner, Integer ALine) : TQvEditMark(AOwner)
    {
        ++Alive;
        SetLine(ALine);
    }
    ~TCountedMark() override { --Alive; }
    static inline int Alive = 0;
};

struct TBookmarkEvents {
    int Cleared = 0;
    TQvEditMark* Replacement = nullptr;
    bool Drop = false;
    void Place(TObject*, TQvEditMark*& Mark)
    {
        if (Drop)
            Mark = nullptr;
        else if (Replacement != nullptr)
            Mark = Replacement;
    }
    void Clear(TObject*, TQvEditMark*&) { ++Cleared; }
};

std::string Lines(int Count)
{
    std::string text;
    for (int i = 1; i <= Count; ++i)
        text += "line " + std::to_string(i) + "\n";
    return text;
}

TEST_F(EditorMarksTest, TenSlotsAreSetReplacedAndCleared)
{
    TQvEdit& e = Editor();
    SetText(Lines(20));
    TBookmarkEvents events;
    e.OnClearBookmark = TPlaceMarkEvent(&events, &TBookmarkEvents::Clear);
    for (Integer n = 0; n <= 9; ++n)
        e.SetBookMark(n, n + 1, n + 2);
    e.SetBookMark(-1, 1, 1);
    e.SetBookMark(10, 1, 1);
    e.SetBookMark(4, 1, 0);
    e.SetBookMark(4, 1, 21);
    EXPECT_EQ(e.GetMarks()->Count(), 10);
    Integer x = 0;
    Integer y = 0;
    ASSERT_TRUE(e.GetBookMark(7, x, y));
    EXPECT_EQ((TPoint{x, y}), (TPoint{8, 9}));
    EXPECT_TRUE(e.GetMarks()->Get(7)->GetInternalImage());
    EXPECT_EQ(events.Cleared, 0);

    e.SetBookMark(3, 1, 5);
    e.SetBookMark(3, 2, 9);
    EXPECT_EQ(events.Cleared, 2);
    EXPECT_EQ(e.GetMarks()->Count(), 10);
    ASSERT_TRUE(e.GetBookMark(3, x, y));
    EXPECT_EQ((TPoint{x, y}), (TPoint{2, 9}));

    e.ClearBookMark(3);
    EXPECT_FALSE(e.IsBookmark(3));
    e.ClearBookMark(3);
    e.ClearBookMark(42);
    EXPECT_EQ(events.Cleared, 3);
    EXPECT_EQ(e.GetMarks()->Count(), 9);

    SetText("");
    e.SetBookMark(3, 1, 1);  // an empty buffer still has line 1
    EXPECT_TRUE(e.IsBookmark(3));
    e.OnClearBookmark = nullptr;
}

TEST_F(EditorMarksTest, APlaceHandlerMayReplaceOrPreventAndTheOfferedMarkIsFreed)
{
    TQvEdit& e = Editor();
    SetText(Lines(10));
    TBookmarkEvents events;
    e.OnPlaceBookmark = TPlaceMarkEvent(&events, &TBookmarkEvents::Place);
    e.SetBookMark(1, 1, 2);
    events.Drop = true;
    e.SetBookMark(1, 1, 6);  // prevented: the slot keeps its mark
    Integer x = 0;
    Integer y = 0;
    ASSERT_TRUE(e.GetBookMark(1, x, y));
    EXPECT_EQ(y, 2);

    events.Drop = false;
    events.Replacement = new TCountedMark(&e, 7);
    events.Replacement->SetBookmarkNumber(1);
    e.SetBookMark(1, 1, 8);
    ASSERT_TRUE(e.GetBookMark(1, x, y));
    EXPECT_EQ(y, 7);
    EXPECT_EQ(e.GetMarks()->Count(), 1);

    // Place takes the mark over in the same way.
    events.Replacement = new TCountedMark(&e, 3);
    e.GetMarks()->Place(new TCountedMark(&e, 4));
    EXPECT_EQ(TCountedMark::Alive, 2);
    EXPECT_EQ(e.GetMarks()->Last()->GetLine(), 3);
    e.OnPlaceBookmark = nullptr;
    e.ClearBookMark(1);
    EXPECT_EQ(TCountedMark::Alive, 1);
}

TEST_F(EditorMarksTest, TheListFreesWhatItTakesOutAndForgetsFreedBookmarks)
{
    TQvEdit& e = Editor();
    SetText(Lines(10));
    TQvEditMarkList* marks = e.GetMarks();
    for (int i = 0; i < 20; ++i)
        marks->Add(new TCountedMark(&e, 5));
    marks->Add(new TCountedMark(&e, 6));
    e.SetBookMark(2, 1, 5);
    TQvEditMarks onLine;
    marks->GetMarksForLine(5, onLine);
    EXPECT_EQ(onLine[0], marks->Get(0));
    EXPECT_EQ(onLine[15], marks->Get(15));

    marks->ClearLine(5);
    EXPECT_EQ(TCountedMark::Alive, 1);
    EXPECT_EQ(marks->Count(), 2);  // the other line's mark and the bookmark
    EXPECT_TRUE(e.IsBookmark(2));

    marks->Clear();
    EXPECT_EQ(TCountedMark::Alive, 0);
    EXPECT_FALSE(e.IsBookmark(2));
    e.GotoBookMark(2);  // the freed bookmark is no longer in its slot
    e.ClearBookMark(2);
    e.SetBookMark(2, 1, 3);
    EXPECT_TRUE(e.IsBookmark(2));
}

TEST_F(EditorMarksTest, JumpingToABookmarkBringsItIntoView)
{
    TQvEdit& e = Editor();
    SetText(Lines(200));
    const Integer window = e.GetLinesInWindow();
    ASSERT_GT(window, 4);
    e.SetBookMark(0, 3, 50);
    e.SetBookMark(1, 2, 150);
    e.SetBookMark(2, 1, 199);
    e.SetTopLine(100);
    e.SetBookMark(3, 4, 99);  // the line just above the window
    e.SetBookMark(4, 5, 100 + window / 2);
    e.SetCaretAndSelection(TPoint{1, 101}, TPoint{1, 101}, TPoint{3, 102});

    e.GotoBookMark(4);  // inside the window: the view stays
    EXPECT_EQ(e.GetTopLine(), 100);
    EXPECT_EQ(e.GetCaretXY(), (TPoint{5, 100 + window / 2}));
    EXPECT_FALSE(e.GetSelAvail());
    for (Integer n : {0, 3, 1, 2}) {
        e.GotoBookMark(n);
        Integer x = 0;
        Integer y = 0;
        e.GetBookMark(n, x, y);
        EXPECT_EQ(e.GetCaretXY(), (TPoint{x, y}));
        EXPECT_GE(y, e.GetTopLine()) << n;
        EXPECT_LT(y, e.GetTopLine() + window) << n;
    }
    SetText(Lines(100));
    e.SetBookMark(5, 1, 100);
    SetText(Lines(50));
    const TPoint before = e.GetCaretXY();
    e.GotoBookMark(5);  // beyond the text: nothing happens
    EXPECT_EQ(e.GetCaretXY(), before);
    e.GotoLineAndCenter(40);
    EXPECT_EQ(e.GetCaretY(), 40);
}

class TPaintCounter : public TQvEditPlugin {
public:
    using TQvEditPlugin::TQvEditPlugin;
    void AfterPaint(TCanvas*, const TRect&, Integer, Integer) override { ++Paints; }
    void LinesInserted(Integer, Integer) override {}
    void LinesDeleted(Integer, Integer) override {}
    int Paints = 0;
};

TEST_F(EditorMarksTest, APluginIsToldOfEveryPaintUntilFreedAndTheEditorFreesTheRest)
{
    auto* counter = new TPaintCounter(&Editor());
    new TPaintCounter(&Editor());  // left for the editor to free
    Grab();
    Grab();
    EXPECT_EQ(counter->Paints, 2);
    delete counter;
    Grab();
}

}  // namespace

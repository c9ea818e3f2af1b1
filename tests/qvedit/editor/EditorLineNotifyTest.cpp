// The buffer's notices: after every kind of change the stored end-of-line ranges equal a
// fresh scan from the top, and the rescan stops where the stored range agrees; clearing
// and batches reset the view and the selection; a buffer shared by two editors.
#include "CountingHighlighter.h"
#include "EditorFixture.h"
#include "LineRangeHighlighter.h"

#include "qvedit/highlighters/QvHighlighterPHP.h"

#include <memory>
#include <vector>

namespace {

// Range 1 inside a block comment "/* ... */", 0 outside.
class TCommentHighlighter : public TLineRangeHighlighter<TCommentHighlighter> {
public:
    using TLineRangeHighlighter::TLineRangeHighlighter;
    static std::string LanguageName() { return "Comments"; }

protected:
    TQvHighlighterRange RangeAfter(std::string_view Line, TQvHighlighterRange Range) const override
    {
        for (std::size_t i = 0; i + 1 < Line.size(); ++i) {
            const std::string_view pair = Line.substr(i, 2);
            if (Range == 0 && pair == "/*") {
                Range = 1;
                ++i;
            } else if (Range == 1 && pair == "*/") {
                Range = 0;
                ++i;
            }
        }
        return Range;
    }
};

class EditorLineNotifyTest : public EditorFixture {
protected:
    EditorLineNotifyTest() : comments_(nullptr) { Editor().SetHighlighter(&comments_); }
    ~EditorLineNotifyTest() override { Editor().SetHighlighter(nullptr); }

    TQvEditStringList& Buffer() { return *Editor().GetLines(); }

    // The stored ranges against a scan of the whole text by a highlighter of its own.
    void ExpectRangesOfAFreshScan(const char* After)
    {
        TCommentHighlighter fresh(nullptr);
        std::string line;
        for (Integer i = 0; i < Buffer().GetCount(); ++i) {
            line = Buffer().Get(i);
            fresh.SetLine(line, i);
            EXPECT_EQ(Buffer().GetRange(i), fresh.GetRange()) << "line " << i << " after " << After;
        }
    }

    // How many lines the editor rescans for Change.
    template <class Change>
    int Scanned(Change&& change)
    {
        comments_.LinesScanned = 0;
        change();
        return comments_.LinesScanned;
    }

    TCommentHighlighter comments_;
};

TEST_F(EditorLineNotifyTest, EveryKindOfChangeLeavesTheRangesOfAFreshScan)
{
    SetText("a\n/* b\nc\nd */\ne\nf\n/* g\nh");
    ExpectRangesOfAFreshScan("loading");
    TQvEditStringList& lines = Buffer();
    lines.Put(0, "/* opened");
    ExpectRangesOfAFreshScan("put");
    lines.Insert(2, "*/ closed");
    ExpectRangesOfAFreshScan("insert");
    lines.Delete(2);
    ExpectRangesOfAFreshScan("delete");
    lines.Add("x */ y");
    ExpectRangesOfAFreshScan("add");
    lines.InsertLines(1, 3);
    ExpectRangesOfAFreshScan("inserting empty lines");
    lines.DeleteLines(0, 2);
    ExpectRangesOfAFreshScan("deleting lines");
    TStringList more;
    more.Add("/*");
    more.Add("*/ /*");
    lines.InsertStrings(3, &more);
    ExpectRangesOfAFreshScan("inserting strings");
    lines.AddStrings(&more);
    ExpectRangesOfAFreshScan("adding strings");
    lines.BeginUpdate();
    lines.Put(1, "*/");
    lines.Delete(4);
    lines.Insert(0, "/* /* */");
    lines.EndUpdate();
    ExpectRangesOfAFreshScan("a batch");
    lines.Clear();
    lines.Add("/*");
    ExpectRangesOfAFreshScan("clearing");
}

TEST_F(EditorLineNotifyTest, TheRescanStopsWhereTheStoredRangeAgrees)
{
    std::string text = "/* comment\n";
    for (int i = 0; i < 48; ++i)
        text += "inside\n";
    text += "end */";
    for (int i = 0; i < 50; ++i)
        text += "\ncode";
    SetText(text);
    TQvEditStringList& lines = Buffer();
    ASSERT_EQ(lines.GetCount(), 100);
    // Inside the comment, and it still ends where it did: one line.
    EXPECT_EQ(Scanned([&] { lines.Put(20, "still inside"); }), 1);
    // Closing it early runs on to where the old closing line agrees again.
    EXPECT_EQ(Scanned([&] { lines.Put(10, "*/ closed"); }), 40);
    // Opening a comment at the top of plain code runs to the end of the text.
    SetText(std::string(99, '\n') + "last");
    EXPECT_EQ(Scanned([&] { lines.Put(0, "/* open"); }), 100);
    EXPECT_EQ(lines.GetRange(99), 1);
    // A new highlighter scans the lines as far as their ranges are read, each once.
    Editor().SetHighlighter(nullptr);
    EXPECT_EQ(Scanned([&] { Editor().SetHighlighter(&comments_); }), 0);
    EXPECT_EQ(Scanned([&] { lines.GetRange(9); }), 10);
    EXPECT_EQ(Scanned([&] { lines.GetRange(5); }), 0);
    EXPECT_EQ(Scanned([&] { EXPECT_EQ(lines.GetRange(99), 1); }), 90);
    // Deleting the last remaining line does not scan.
    SetText("/*");
    EXPECT_EQ(Scanned([&] { lines.Delete(0); }), 0);
}

// A change through a second editor on the buffer, above the lines the highlighter has not
// scanned yet, rescans up to them: they are scanned when read, from the range it leaves.
TEST_F(EditorLineNotifyTest, AChangeAboveTheLinesNotScannedYetRescansUpToThem)
{
    SetText(std::string(99, '\n') + "last");
    auto sharer = std::make_unique<TQvEdit>(nullptr);
    sharer->SetLinesPointer(&Editor());
    Editor().SetHighlighter(nullptr);
    Editor().SetHighlighter(&comments_);
    EXPECT_EQ(Scanned([&] { Buffer().GetRange(9); }), 10);
    EXPECT_EQ(Scanned([&] { sharer->GetLines()->Put(2, "/* open"); }), 8);
    EXPECT_EQ(Scanned([&] { EXPECT_EQ(Buffer().GetRange(99), 1); }), 90);
}

// The scan of every line when the highlighter is set, and the rescans after changes, ask
// the PHP highlighter for no token: what cannot change the range is passed over. The
// ranges stored are those its tokens end in.
TEST_F(EditorLineNotifyTest, PHPRangesAreScannedWithoutMakingTokens)
{
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "$a = f($b, 'c') + 1; /* x\n * y */ echo \"$d {$e[1]}\"; # z\n";
    SetText(text);
    TCountingHighlighter<TQvPHPHighlighter> php(nullptr);
    Editor().SetHighlighter(&php);
    // A string opened early turns every range after it; a comment opened later too.
    Buffer().Put(3, "\"opened");
    Buffer().Insert(100, "/* opened");
    Buffer().Delete(50);
    EXPECT_EQ(php.NextCalls, 0);

    TQvPHPHighlighter tokens(nullptr);
    tokens.ResetRange();
    std::string line;
    for (Integer i = 0; i < Buffer().GetCount(); ++i) {
        line = Buffer().Get(i);
        tokens.SetLine(line, i);
        tokens.NextToEol();
        ASSERT_EQ(Buffer().GetRange(i), tokens.GetRange()) << "line " << i << ": " << line;
    }
    Editor().SetHighlighter(nullptr);
}

TEST_F(EditorLineNotifyTest, ClearingResetsTheViewAndABatchCollapsesTheSelection)
{
    TQvEdit& e = Editor();
    SetText(std::string(300, 'x') + std::string(100, '\n'));
    e.GetUndoList()->AddChange(crInsert, TPoint{1, 1}, TPoint{2, 1}, "x", smNormal);
    e.GetRedoList()->AddChange(crInsert, TPoint{1, 1}, TPoint{2, 1}, "x", smNormal);
    e.SetTopLine(50);
    e.SetLeftChar(40);
    e.SetCaretXY(TPoint{45, 60});
    Buffer().Clear();
    EXPECT_FALSE(e.GetUndoList()->CanUndo());
    EXPECT_FALSE(e.GetRedoList()->CanUndo());
    EXPECT_EQ(e.GetCaretXY(), (TPoint{1, 1}));
    EXPECT_EQ(e.GetTopLine(), 1);
    EXPECT_EQ(e.GetLeftChar(), 1);
    EXPECT_TRUE(e.GetPendingStatusChanges().Contains(scAll));

    SetText("one\ntwo\nthree");
    e.SetCaretAndSelection(TPoint{2, 3}, TPoint{1, 1}, TPoint{2, 3});
    Buffer().BeginUpdate();
    Buffer().Put(0, "ONE");
    e.InternalSetCaretXY(TPoint{4, 1});
    Buffer().EndUpdate();
    EXPECT_FALSE(e.GetSelAvail());
    EXPECT_EQ(e.GetCaretXY(), (TPoint{4, 1}));

    e.SetOptionFlag(eoAutoSizeMaxLineWidth, true);
    Buffer().Add(std::string(5000, 'w'));
    EXPECT_EQ(e.GetMaxLineWidth(), 5000);
}

// Two editors on one buffer: both hear its notices, and freeing either first leaves the
// other working.
TEST_F(EditorLineNotifyTest, TwoEditorsShareOneBufferAndEitherMayGoFirst)
{
    auto sharer = std::make_unique<TQvEdit>(nullptr);
    sharer->SetLinesPointer(&Editor());
    SetText("one\ntwo\nthree");
    sharer->SetCaretXY(TPoint{3, 3});
    sharer->GetLines()->Put(0, "/* comment");
    ExpectRangesOfAFreshScan("a change through the sharer");
    sharer->GetLines()->Clear();
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{1, 1}));
    EXPECT_EQ(sharer->GetCaretXY(), (TPoint{1, 1}));
    sharer.reset();
    SetText("after\n/*");
    ExpectRangesOfAFreshScan("the sharer is gone");

    auto owner = std::make_unique<TQvEdit>(nullptr);
    sharer = std::make_unique<TQvEdit>(nullptr);
    sharer->SetLinesPointer(owner.get());
    owner->GetLines()->Add("shared");
    EXPECT_EQ(sharer->GetLines()->Get(0), "shared");
    owner.reset();
    EXPECT_EQ(sharer->GetLines()->GetCount(), 0);
    sharer->GetLines()->Add("own");
    EXPECT_EQ(sharer->GetLines()->Get(0), "own");
}

}  // namespace

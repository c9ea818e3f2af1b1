// Batches of changes: a replace all of many matches, its undo and its redo each invalidate
// the client area and scroll it a bounded number of times, however many matches there
// are, and end with the caret in view; a batch ended by an exception leaves the editor
// unlocked and wholly invalid. The same runs in a real X window.
#include "EditorFixture.h"
#include "XServer.h"

#include "qvedit/search/QvEditSearch.h"

#include <memory>
#include <stdexcept>
#include <string>

namespace {

// Counts what reaches the client area.
class TCountingEdit : public TQvEdit {
public:
    using TQvEdit::TQvEdit;
    int Invalidations = 0;
    int Scrolls = 0;
    void ResetCounts()
    {
        Invalidations = 0;
        Scrolls = 0;
    }

protected:
    void InvalidateClient(const TRect& ARect) override
    {
        ++Invalidations;
        TQvEdit::InvalidateClient(ARect);
    }
    void ScrollClient(int DX, int DY, const TRect* Area) override
    {
        ++Scrolls;
        TQvEdit::ScrollClient(DX, DY, Area);
    }
};

// A plain engine that fails on the line holding Trap.
class TTrappedSearch : public TQvEditSearch {
public:
    using TQvEditSearch::TQvEditSearch;
    std::string Trap;
    Integer FindAll(const std::string& NewText) override
    {
        if (!Trap.empty() && NewText.find(Trap) != std::string::npos)
            throw std::runtime_error("trapped");
        return TQvEditSearch::FindAll(NewText);
    }
};

constexpr int LineCount = 3000;

std::string ManyLines(const std::string& Line)
{
    std::string text;
    for (int i = 0; i < LineCount; ++i)
        text += Line + "\r\n";
    return text + "end";
}

class ViewBatchTest : public TEditorFixture<TCountingEdit> {
protected:
    ViewBatchTest()
    {
        engine_ = std::make_unique<TTrappedSearch>(nullptr);
        Editor().SetSearchEngine(engine_.get());
    }

    bool CaretInView()
    {
        const TPoint caret = Editor().GetCaretXY();
        return caret.Y >= Editor().GetTopLine() &&
               caret.Y < Editor().GetTopLine() + Editor().GetLinesInWindow();
    }

    void ExpectFewAndCaretInView(const char* What)
    {
        SCOPED_TRACE(What);
        EXPECT_LE(Editor().Invalidations, 2);
        EXPECT_LE(Editor().Scrolls, 1);
        EXPECT_TRUE(CaretInView());
        EXPECT_FALSE(Editor().PaintLocked());
        EXPECT_FALSE(Editor().InViewBatch());
    }

    void ReplaceAllThenUndoAndRedo()
    {
        const std::string text = ManyLines("the cat and the dog");
        SetText(text);
        Editor().SetCaretXY(TPoint{1, 1});
        Editor().ResetCounts();
        EXPECT_EQ(Editor().SearchReplace("the", "THE_WORD", {ssoReplaceAll, ssoEntireScope, ssoMatchCase}),
                  2 * LineCount);
        EXPECT_EQ(Editor().GetLines()->Get(LineCount - 1), "THE_WORD cat and THE_WORD dog");
        ExpectFewAndCaretInView("replace all");
        EXPECT_GT(Editor().GetTopLine(), LineCount - Editor().GetLinesInWindow()) << "the last match shows";

        Editor().ResetCounts();
        Editor().Undo();
        EXPECT_EQ(Editor().QvGetText(), text);
        ExpectFewAndCaretInView("undo");

        Editor().ResetCounts();
        Editor().Redo();
        EXPECT_EQ(Editor().GetLines()->Get(0), "THE_WORD cat and THE_WORD dog");
        ExpectFewAndCaretInView("redo");
    }

    std::unique_ptr<TTrappedSearch> engine_;
};

TEST_F(ViewBatchTest, ReplaceAllAndItsUndoInvalidateAndScrollOnce)
{
    ReplaceAllThenUndoAndRedo();
}

TEST_F(ViewBatchTest, ANestedBatchWaitsForTheOutermostAndAFindStillScrollsAtOnce)
{
    SetText(ManyLines("a"));
    Editor().BeginViewBatch();
    Editor().BeginViewBatch();
    Editor().SetCaretXY(TPoint{1, LineCount});
    Editor().EndViewBatch();
    EXPECT_EQ(Editor().GetTopLine(), 1) << "the inner end leaves the view alone";
    Editor().EndViewBatch();
    EXPECT_TRUE(CaretInView());
    EXPECT_FALSE(Editor().PaintLocked());
    Editor().EndViewBatch();  // one end too many does nothing
    EXPECT_FALSE(Editor().PaintLocked());

    // Outside a batch a find shows its match at once.
    Editor().SetCaretXY(TPoint{1, 1});
    EXPECT_EQ(Editor().SearchReplace("a", "", {}), 1);
    EXPECT_EQ(Editor().GetTopLine(), 1);
    EXPECT_EQ(Editor().SearchReplace("a", "", {ssoBackwards, ssoEntireScope}), 1);
    EXPECT_TRUE(CaretInView());
}

TEST_F(ViewBatchTest, AReplaceAllEndedByAnErrorUnlocksAndInvalidatesEverything)
{
    SetText(ManyLines("x y") + "\r\nboom");
    engine_->Trap = "boom";
    Editor().ResetCounts();
    EXPECT_THROW(Editor().SearchReplace("x", "z", {ssoReplaceAll, ssoEntireScope}), std::runtime_error);
    EXPECT_FALSE(Editor().PaintLocked());
    EXPECT_FALSE(Editor().InViewBatch());
    EXPECT_EQ(Editor().GetLines()->Get(LineCount - 1), "z y") << "what was replaced stays";
    EXPECT_GE(Editor().Invalidations, 1);
    EXPECT_LE(Editor().Invalidations, 2);
    // The editor goes on as usual: a change invalidates at once.
    Editor().ResetCounts();
    Editor().SetCaretXY(TPoint{1, 1});
    Editor().CommandProcessor(ecChar, 'q', nullptr);
    EXPECT_GE(Editor().Invalidations, 1);
}

// ---- In a real window ------------------------------------------------------------------------------

class RealWindowViewBatch : public ViewBatchTest {
protected:
    void SetUp() override
    {
        if (!QvTest::OnXServer())
            GTEST_SKIP() << "runs only inside ViewBatch.OnAnXServer";
    }
};

TEST_F(RealWindowViewBatch, ReplaceAllAndItsUndoInvalidateAndScrollOnce)
{
    Application->ProcessMessages();
    ReplaceAllThenUndoAndRedo();
    Application->ProcessMessages();
    EXPECT_TRUE(CaretInView());
}

TEST(ViewBatch, OnAnXServer)
{
    QvTest::ExpectPassOnXServer("RealWindowViewBatch.*", 240);
}

}  // namespace

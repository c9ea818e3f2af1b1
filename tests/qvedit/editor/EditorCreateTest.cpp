// A new editor's state, the paint lock and the status notices.
#include "EditorFixture.h"

#include "qvedit/editor/QvEditMarks.h"

#include <stdexcept>
#include <vector>

namespace {

using EditorCreateTest = EditorFixture;

class TStatusLog : public TObject {
public:
    void Changed(TObject*, TQvStatusChanges Changes) { Seen.push_back(Changes); }
    std::vector<TQvStatusChanges> Seen;
};

TEST_F(EditorCreateTest, StartsWithTheDocumentedDefaults)
{
    TQvEdit& e = Editor();
    EXPECT_EQ(e.GetOptions().ToBits(), 0x03360092u);
    EXPECT_EQ(e.GetTabWidth(), 8);
    EXPECT_EQ(e.GetMaxLineWidth(), 1024);
    EXPECT_EQ(e.GetRightEdge(), 80);
    EXPECT_EQ(e.GetRightEdgeColor(), clSilver);
    EXPECT_EQ(e.GetActiveLineColor(), clWindow);
    EXPECT_EQ(e.GetScrollHintColor(), clInfoBk);
    EXPECT_EQ(e.GetScrollHintFormat(), shfTopLineOnly);
    EXPECT_EQ(e.GetScrollBars(), ssBoth);
    EXPECT_EQ(e.GetBorderStyle(), bsSingle);
    EXPECT_EQ(e.GetInsertCaret(), ctVerticalLine);
    EXPECT_EQ(e.GetOverwriteCaret(), ctBlock);
    EXPECT_EQ(e.GetSelectionMode(), smNormal);
    EXPECT_TRUE(e.GetInsertMode());
    EXPECT_TRUE(e.GetWantReturns());
    EXPECT_FALSE(e.GetWantTabs());
    EXPECT_FALSE(e.GetReadOnly());
    EXPECT_FALSE(e.GetHideSelection());
    EXPECT_FALSE(e.GetAlwaysShowCaret());
    EXPECT_FALSE(e.GetWordWrap());
    EXPECT_EQ(e.GetExtraLineSpacing(), 0);
    EXPECT_EQ(e.GetCaretXY().X, 1);
    EXPECT_EQ(e.GetCaretXY().Y, 1);
    EXPECT_EQ(e.GetTopLine(), 1);
    EXPECT_EQ(e.GetLeftChar(), 1);
    EXPECT_EQ(e.Color(), clWindow);
    EXPECT_EQ(e.Cursor(), crIBeam);
    EXPECT_TRUE(e.TabStop());
    EXPECT_FALSE(e.ParentFont());
    EXPECT_EQ(e.GetHighlighter(), nullptr);
    EXPECT_EQ(e.GetSearchEngine(), nullptr);
    EXPECT_EQ(e.GetMarks()->Count(), 0);
    EXPECT_EQ(e.GetLines()->GetCount(), 0);
    EXPECT_GT(e.GetKeystrokes()->Count(), 0);
    EXPECT_GT(e.GetCharWidth(), 0);
    EXPECT_GT(e.GetLineHeight(), 0);
    EXPECT_EQ(e.GetGutterWidth(), e.GetGutter()->RealGutterWidth(e.GetCharWidth()));
    EXPECT_EQ(e.GetCharsInWindow(), (e.ClientWidth() - e.GetGutterWidth() - 2) / e.GetCharWidth());
    EXPECT_EQ(e.GetLinesInWindow(), e.ClientHeight() / e.GetLineHeight());
}

TEST(EditorCreateAloneTest, AnEditorWithoutParentHasTheSizeAndFontItIsMadeWith)
{
    TQvEdit editor(nullptr);
    EXPECT_EQ(editor.Width(), 200);
    EXPECT_EQ(editor.Height(), 150);
    EXPECT_EQ(editor.GetFont()->GetName(), "Courier New");
    EXPECT_EQ(editor.GetFont()->GetSize(), 10);
    EXPECT_FALSE(editor.HandleAllocated());
}

TEST_F(EditorCreateTest, NestedUpdatesReportTheirStatusChangesOnceAsOneSet)
{
    TStatusLog log;
    Editor().OnStatusChange = TStatusChangeEvent(&log, &TStatusLog::Changed);
    Editor().BeginUpdate();
    Editor().BeginUpdate();
    Editor().SetReadOnly(true);
    Editor().StatusChanged({scCaretX});
    Editor().EndUpdate();
    EXPECT_TRUE(log.Seen.empty());
    Editor().StatusChanged({scTopLine});
    Editor().EndUpdate();
    ASSERT_EQ(log.Seen.size(), 1u);
    EXPECT_EQ(log.Seen[0], (TQvStatusChanges{scReadOnly, scCaretX, scTopLine}));
    EXPECT_TRUE(Editor().GetPendingStatusChanges().Empty());

    // An unbalanced end does not make the count negative: the next lock still defers.
    Editor().EndUpdate();
    Editor().BeginUpdate();
    Editor().StatusChanged({scModified});
    EXPECT_EQ(log.Seen.size(), 1u);
    Editor().EndUpdate();
    EXPECT_EQ(log.Seen.size(), 2u);
}

TEST_F(EditorCreateTest, ChangesWithoutHandlerStayPendingUntilOneIsAssigned)
{
    Editor().StatusChanged({scModified});
    Editor().SetReadOnly(true);
    EXPECT_EQ(Editor().GetPendingStatusChanges(), (TQvStatusChanges{scModified, scReadOnly}));
    TStatusLog log;
    Editor().OnStatusChange = TStatusChangeEvent(&log, &TStatusLog::Changed);
    Editor().StatusChanged({scCaretY});
    ASSERT_EQ(log.Seen.size(), 1u);
    EXPECT_EQ(log.Seen[0], (TQvStatusChanges{scModified, scReadOnly, scCaretY}));
}

TEST_F(EditorCreateTest, ALockScopeLeftByAnExceptionOnlyLowersTheCount)
{
    TStatusLog log;
    Editor().OnStatusChange = TStatusChangeEvent(&log, &TStatusLog::Changed);
    try {
        TQvPaintLockScope lock(Editor());
        Editor().StatusChanged({scCaretX});
        throw std::runtime_error("failed step");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(Editor().PaintLocked());
    EXPECT_TRUE(log.Seen.empty());
    {
        TQvPaintLockScope lock(Editor());
        EXPECT_TRUE(Editor().PaintLocked());
    }
    ASSERT_EQ(log.Seen.size(), 1u);
    EXPECT_EQ(log.Seen[0], (TQvStatusChanges{scCaretX}));
}

}  // namespace

// A new editor's state: what construction gives, before any text or input.
#include "EditorFixture.h"

#include "qvedit/editor/QvEditMarks.h"

namespace {

using EditorCreateTest = EditorFixture;

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

}  // namespace

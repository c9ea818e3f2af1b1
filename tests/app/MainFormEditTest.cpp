// The highlighter choice by extension and by menu, the case commands, the block-mode
// marks, the view switches and the status line.
#include "MainFormFixture.h"

#include "app/MainFormParts.h"
#include "platform/controls/ComCtrls.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/FileCtrl.h"
#include "platform/controls/StdCtrls.h"
#include "platform/window/Menus.h"
#include "platform/window/Messages.h"
#include "qvedit/core/QvEditTextBuffer.h"
#include "qvedit/editor/QvEdit.h"
#include "qvedit/highlighters/QvHighlighterMulti.h"


namespace {

using MainFormEditTest = TMainFormFixture;

TEST_F(MainFormEditTest, TheExtensionChoosesTheHighlighterExactly)
{
    Start();
    TfrmEdit& form = Form();
    struct TCase {
        const char* Path;
        TQvCustomHighlighter* Highlighter;
        TMenuItem* Item;
        const char* Status;
    };
    const TCase cases[] = {
        {"/w/index.php", (TQvCustomHighlighter*)form.QvPHPHighlighter1, form.PHP1, " PHP"},
        {"/w/index.PHP", (TQvCustomHighlighter*)form.QvMultiHighlighter1, form.HTML1, " HTML"},
        {"/w/a.phtml", (TQvCustomHighlighter*)form.QvPHPHighlighter1, form.PHP1, " PHP"},
        {"/w/my.dir/readme", (TQvCustomHighlighter*)form.QvMultiHighlighter1, form.HTML1, " HTML"},
        {"/w/style.css", (TQvCustomHighlighter*)form.QvMultiHighlighter1, form.HTML1, " HTML"},
        {"/w/a.vb", (TQvCustomHighlighter*)form.QvVBScriptHighlighter1, form.VBScript1, " VisualBasic Script"},
        {"/w/a.vbs", (TQvCustomHighlighter*)form.QvMultiHighlighter1, form.HTML1, " HTML"},
        {"/w/a.bpr", (TQvCustomHighlighter*)form.QvXMLHighlighter1, form.XHTML1, " XML"},
        {"/w/a.cgi", (TQvCustomHighlighter*)form.QvPerlHighlighter1, form.Perl1, " Perl"},
        {"/w/a.js", (TQvCustomHighlighter*)form.QvJScriptHighlighter1, form.JavaScript1, " JavaScript"},
        {"/w/a.mysql", (TQvCustomHighlighter*)form.QvSQLHighlighter1, form.SQL1, " SQL"},
        {"/w/a.h", (TQvCustomHighlighter*)form.QvCppHighlighter1, form.C1, " C++"},
        {"/w/a.xfm", (TQvCustomHighlighter*)form.QvDfmHighlighter1, form.DfmFiles1, " Dfm form files"},
        {"/w/a.asp", (TQvCustomHighlighter*)form.QvMultiHighlighter1, form.HTML1, " HTML"},
        {"", (TQvCustomHighlighter*)form.QvMultiHighlighter1, form.HTML1, " HTML"},
    };
    for (const TCase& c : cases) {
        form.CSS1Click(nullptr);  // a different choice first
        form.lblFileName->SetCaption(c.Path);
        form.SelectHighlighterByExt();
        EXPECT_EQ(form.Editor->GetHighlighter(), c.Highlighter) << c.Path;
        EXPECT_EQ(form.CurSyntax->Caption(), c.Status) << c.Path;
        int marked = 0;
        for (int i = 0; i < form.mnuHightliterLanguages->Count(); ++i)
            marked += form.mnuHightliterLanguages->Items(i)->Default() ? 1 : 0;
        EXPECT_EQ(marked, 1) << c.Path;
        EXPECT_TRUE(c.Item->Default()) << c.Path;
    }
}

TEST_F(MainFormEditTest, CaseCommandsChangeOnlyAsciiLettersAsOneUndoStep)
{
    SetAnsiCodePage(1251);
    Start();
    TQvEdit& editor = *Form().Editor;
    const std::string privet = "\xCF\xF0\xE8\xE2\xE5\xF2";  // "Привет" in code page 1251
    const std::string lowerPrivet = "\xEF\xF0\xE8\xE2\xE5\xF2";
    struct TCase {
        void (TfrmEdit::*Command)(TObject*);
        std::string Before;
        std::string After;
    };
    const TCase cases[] = {
        {&TfrmEdit::mnuEditBigCaseClick, lowerPrivet + " world Mixed", lowerPrivet + " WORLD MIXED"},
        {&TfrmEdit::mnuEditSmallCaseClick, privet + " WORLD Mixed", privet + " world mixed"},
    };
    for (const TCase& c : cases) {
        editor.ClearAll();
        editor.GetLines()->SetText(c.Before);
        editor.SelectAll();
        (Form().*c.Command)(nullptr);
        EXPECT_EQ(editor.GetLines()->Strings(0), c.After);
        editor.Undo();
        EXPECT_EQ(editor.GetLines()->Strings(0), c.Before);
        EXPECT_FALSE(editor.GetCanUndo());

        // Nothing selected: no change and nothing to undo.
        editor.SetCaretXY(TPoint{1, 1});
        (Form().*c.Command)(nullptr);
        EXPECT_EQ(editor.GetLines()->Strings(0), c.Before);
        EXPECT_FALSE(editor.GetCanUndo());
    }
}

TEST_F(MainFormEditTest, OneBlockModeIsCheckedAndMarked)
{
    Start();
    TfrmEdit& form = Form();
    form.mnuViewBlockColumnClick(nullptr);
    EXPECT_EQ(form.Editor->GetSelectionMode(), smColumn);
    form.mnuViewBlockLineClick(nullptr);
    EXPECT_EQ(form.Editor->GetSelectionMode(), smLine);
    form.mnuViewBlockNormalClick(nullptr);
    EXPECT_EQ(form.Editor->GetSelectionMode(), smNormal);
    for (TMenuItem* item : {form.mnuViewBlockColumn, form.mnuViewBlockLine}) {
        EXPECT_FALSE(item->Checked());
        EXPECT_FALSE(item->Default());
    }
    EXPECT_TRUE(form.mnuViewBlockNormal->Checked());
    EXPECT_TRUE(form.mnuViewBlockNormal->Default());
}

TEST_F(MainFormEditTest, TheSidePaneComesBackAtItsFirstWidth)
{
    Start();
    TfrmEdit& form = Form();
    form.PageControl1->SetWidth(300);
    form.mnuViewToolsClick(nullptr);
    EXPECT_FALSE(form.PageControl1->Visible());
    form.mnuViewToolsClick(nullptr);
    EXPECT_TRUE(form.PageControl1->Visible());
    EXPECT_TRUE(form.Splitter1->Visible());
    EXPECT_EQ(form.PageControl1->Width(), 185);

    form.mnuViewMenuClick(nullptr);
    EXPECT_FALSE(form.ToolBar1->Visible());
    EXPECT_TRUE(form.Menu() != nullptr);  // the menu bar itself stays

    form.Panel3->SetAlign(alNone);
    form.Panel3->SetWidth(10);
    form.Panel3Resize(nullptr);
    EXPECT_EQ(form.DriveComboBox1->Width(), 0);
    form.Panel3->SetWidth(200);
    form.Panel3Resize(nullptr);
    EXPECT_EQ(form.FilterComboBox1->Width(), 185);
}

TEST_F(MainFormEditTest, TheStatusLineFollowsKeysAndClicksOnly)
{
    Start();
    TQvEdit& editor = *Form().Editor;
    editor.GetLines()->SetText("one\ntwo\nthree\n");
    editor.SetCaretXY(TPoint{3, 2});
    EXPECT_EQ(Form().LN1->Caption(), "1/1");  // not refreshed by a move from code
    editor.Perform(WM_KEYUP, VK_SHIFT, 0);
    EXPECT_EQ(Form().LN1->Caption(), "2/3");
}

TEST_F(MainFormEditTest, TheFileManagerFilterMasksAreWellFormed)
{
    TFilterComboBox& filter = *Form().FilterComboBox1;
    filter.SetItemIndex(1);
    EXPECT_EQ(filter.GetMask(), "*.php;*.php3;*.php4;*.phtml");
    filter.SetItemIndex(10);
    EXPECT_EQ(filter.GetMask(), "*.vbs;*.bas");
}

TEST_F(MainFormEditTest, TheSidePanesTagListSharesTheCompletionRows)
{
    TfrmEdit& form = Form();
    PickSidePage(form.TabSheet3);
    EXPECT_EQ(form.HTMLTagsItems->Items()->Count(), form.HTMLTagsInsert->Items()->Count());
    EXPECT_EQ(form.HTMLAttriItems->Items()->Count(), 74);
    EXPECT_EQ(form.HTMLAttriInsert->Items()->Count(), 74);
    EXPECT_EQ(form.HTMLTagsInsert->Items()->Strings(0), "<!-- \xCA\xEE\xEC\xEC\xE5\xED\xF2\xE0\xF0\xE8\xE8 -->");
}

}  // namespace

// The main window's first showing and its closing: what the settings file holds before
// and after, the view switches kept between runs, and a settings file that cannot be
// written.
#include "MainFormFixture.h"

#include "app/FormAbout.h"
#include "app/FormCssMaker.h"
#include "app/MainFormParts.h"
#include "platform/controls/FileCtrl.h"
#include "platform/controls/ComCtrls.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/window/Menus.h"
#include "qvedit/core/QvEditKeyCmds.h"
#include "qvedit/core/QvEditTextBuffer.h"
#include "qvedit/editor/QvEdit.h"
#include "qvedit/highlighters/QvHighlighterMulti.h"
#include "platform/graphics/GraphicsQt.h"
#include "platform/window/ControlsQt.h"

#include <QApplication>
#include <QListWidget>

#include <cstdlib>
#include <filesystem>

namespace {

using MainFormStartTest = TMainFormFixture;

TEST_F(MainFormStartTest, FirstRunShowsEverythingAndCloseWritesTheThreeSettings)
{
    Start();
    TfrmEdit& form = Form();
    EXPECT_EQ(form.Caption(), "Quorvel");
    EXPECT_EQ(form.txtLang->Text(), Folder() + "languages/English_lang.dat");
    EXPECT_EQ(form.mnuFile->Caption(), "~mnuFile");  // retitled from the language file
    EXPECT_TRUE(form.PageControl1->Visible());
    EXPECT_TRUE(form.ToolBar1->Visible());
    EXPECT_TRUE(form.mnuViewTools->Checked());
    EXPECT_TRUE(form.mnuViewMenu->Checked());
    for (TMenuItem* item : form.mnuFileRecentFilesN) {
        EXPECT_EQ(item->Caption(), "");
        EXPECT_TRUE(item->Visible());
    }
    EXPECT_EQ(form.ComboBox1->Text(), "PHP");
    EXPECT_EQ(form.cCharset, nullptr);  // the coding page is made when first shown
    EXPECT_EQ(form.Editor->GetHighlighter(), form.QvMultiHighlighter1);
    EXPECT_EQ(form.CurSyntax->Caption(), " HTML");
    EXPECT_TRUE(form.HTML1->Default());
    EXPECT_EQ(form.LN1->Caption(), "1/1");
    EXPECT_EQ(form.PageControl1->ActivePage(), form.tFileManager);
    EXPECT_EQ(SettingsText(), "<missing>");  // nothing is written by starting
    PickSidePage(form.tCoding);
    EXPECT_EQ(form.cCharset->Text(), "Default");

    form.Close();
    EXPECT_EQ(SettingsText(), "[Settings]\nShowTools=1\nShowMenu=1\nLanguage=" + Folder() +
                                  "languages/English_lang.dat\n");
}

// The window opens on the side pane's file manager: the four other pages hold nothing
// until their tab is first picked, then each gets its controls once.
TEST_F(MainFormStartTest, TheHiddenSidePanePagesAreMadeWhenFirstShown)
{
    Start();
    TfrmEdit& form = Form();
    for (TTabSheet* page : {form.tInsert, form.TabSheet3, form.TabSheet1, form.tCoding})
        EXPECT_EQ(page->ControlCount(), 0) << page->Name();
    EXPECT_TRUE(form.SidePaneButtons.empty());
    for (const char* name : {"gColor", "ColorBox1", "gChars", "HTMLTagsItems", "gTemplates", "cCharset",
                             "SpeedButton5", "SpeedButton71", "SpeedButton87"})
        EXPECT_EQ(form.FindComponent(name), nullptr) << name;

    // The components each page adds: its groups, lists, splitter and buttons.
    const std::pair<TTabSheet*, int> pages[] = {
        {form.tInsert, 3 + 27 + 1 + 17}, {form.TabSheet3, 5}, {form.TabSheet1, 17 + 2 + 1 + 9}, {form.tCoding, 9}};
    for (const auto& [page, made] : pages) {
        const int before = form.ComponentCount();
        PickSidePage(page);
        EXPECT_EQ(form.ComponentCount(), before + made) << page->Name();
        EXPECT_GT(page->ControlCount(), 0) << page->Name();
        PickSidePage(form.tFileManager);
        PickSidePage(page);
        EXPECT_EQ(form.ComponentCount(), before + made) << page->Name() << " made twice";
    }
    EXPECT_EQ(form.SidePaneButtons.size(), 27u + 17u + 17u + 2u + 9u + 6u);
}

// The folder and file lists of the side pane are drawn empty with the window and filled
// just after its first paint, with the folder's path and subfolders, and its files with
// their icons.
TEST_F(MainFormStartTest, TheFolderListsAreFilledJustAfterTheWindowIsFirstPainted)
{
    Write("a.php", "<?php\n");
    Write("b.html", "<p>\n");
    Form().DirectoryListBox1->SetDirectory(Folder());
    auto* list = qobject_cast<QListWidget*>(Form().FileListBox1->Window()->Hosted());
    auto* folders = qobject_cast<QListWidget*>(Form().DirectoryListBox1->Window()->Hosted());
    ASSERT_NE(list, nullptr);
    ASSERT_NE(folders, nullptr);
    Start();
    EXPECT_EQ(list->count(), 0) << "the folder was read before the window was painted";
    EXPECT_EQ(folders->count(), 0) << "the folder was read before the window was painted";
    for (int round = 0; round < 1000 && (list->count() < 2 || folders->count() == 0); ++round)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_EQ(folders->count(), static_cast<int>(Form().DirectoryListBox1->Items().size()));
    EXPECT_EQ(folders->item(folders->count() - 1)->text().trimmed().toStdString(), "languages");
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text().toStdString(), "a.php");
    EXPECT_EQ(list->item(1)->text().toStdString(), "b.html");
    EXPECT_FALSE(list->item(0)->icon().isNull());
    EXPECT_EQ(Form().FileListBox1->Items(), (std::vector<std::string>{"a.php", "b.html"}));
}

// Nothing of the about box and the CSS rule dialog is seen before they are first shown:
// each is made then, once, and shown as before.
TEST_F(MainFormStartTest, TheAboutBoxAndTheCssDialogAreMadeAtTheirFirstShowing)
{
    Start();
    EXPECT_EQ(frmAbout, nullptr);
    EXPECT_EQ(frmCssMaker, nullptr);
    std::vector<TForm*> shown;
    SetModalHook([&](const TModalRequest& Request) {
        shown.push_back(Request.Form);
        return mrCancel;
    });
    Form().mnuHelpAboutClick(nullptr);
    ASSERT_NE(frmAbout, nullptr);
    TfrmAbout* about = frmAbout;
    Form().mnuHelpAboutClick(nullptr);
    EXPECT_EQ(frmAbout, about);
    Form().CSSMaker1Click(nullptr);
    ASSERT_NE(frmCssMaker, nullptr);
    EXPECT_GT(frmCssMaker->cFontFamily->Items()->Count(), 0) << "its OnCreate ran";
    EXPECT_EQ(shown, (std::vector<TForm*>{about, about, frmCssMaker}));
    delete frmCssMaker;
    delete frmAbout;
    EXPECT_EQ(frmCssMaker, nullptr);
    EXPECT_EQ(frmAbout, nullptr);
}

// Every font a window makes at its start (the editor's styles, the controls' faces) is
// measured once in the process: a second window measures none again.
TEST_F(MainFormStartTest, ASecondWindowMeasuresNoFontAgain)
{
    Start();
    Application->ProcessMessages();
    const int before = MeasuredGlyphTableCount();
    {
        TfrmEdit second(nullptr);
        second.SetProgramFolder(Folder());
    }
    EXPECT_EQ(MeasuredGlyphTableCount() - before, 0);
}

// A control's font and colours reach its widget when the widget is first seen: making the
// window pushes only those of the labels that size themselves by their text (a control
// made with one font and then given its parent's pushed both), and its first showing at
// most one for each control it shows, each widget then drawing in its control's font.
TEST_F(MainFormStartTest, ControlsLooksArePushedOnceEachWhenTheWindowIsFirstShown)
{
    const int before = HostedLookPushCount();
    TfrmEdit second(nullptr);
    second.SetProgramFolder(Folder());
    int labels = 0;
    for (int i = 0; i < second.ComponentCount(); ++i)
        labels += dynamic_cast<TLabel*>(second.Components(i)) != nullptr ? 1 : 0;
    const int made = HostedLookPushCount() - before;
    EXPECT_LE(made, labels);
    second.Show();
    second.Repaint();
    Application->ProcessMessages();
    int seen = 0;
    for (int i = 0; i < second.ComponentCount(); ++i) {
        auto* control = dynamic_cast<TControl*>(second.Components(i));
        const QWidget* widget = control != nullptr ? control->Window()->Hosted() : nullptr;
        if (widget == nullptr || !widget->isVisible())
            continue;
        ++seen;
        EXPECT_EQ(widget->font().pixelSize(), std::abs(control->Font()->GetHeight())) << control->Name();
        EXPECT_EQ(widget->font().bold(), control->Font()->GetStyle().Contains(fsBold)) << control->Name();
    }
    EXPECT_GT(seen, 20);
    EXPECT_LE(HostedLookPushCount() - before - made, seen);
}

// The characters a font's face lacks are measured through the toolkit's font fallback, at
// a cost the start does not pay: the window's start and first paint measure none of them,
// in English and in Russian.
TEST_F(MainFormStartTest, StartingMeasuresNoCharacterTheFontsLack)
{
    const int before = MeasuredFallbackAdvanceCount();
    Start();
    Form().Repaint();
    Application->ProcessMessages();
    EXPECT_EQ(MeasuredFallbackAdvanceCount() - before, 0);
}

TEST_F(MainFormStartTest, StartingInRussianMeasuresNoCharacterTheFontsLack)
{
    AddLanguage("Russian_lang.dat", ReadFileBytes(std::string(QV_SOURCE_DIR) + "/languages/Russian_lang.dat"));
    Write("settings.ini", "[Settings]\nLanguage=" + Folder() + "languages/Russian_lang.dat\n");
    const int before = MeasuredFallbackAdvanceCount();
    Start();
    Form().Repaint();
    Application->ProcessMessages();
    ASSERT_EQ(Form().txtLang->Text(), Folder() + "languages/Russian_lang.dat");
    EXPECT_EQ(MeasuredFallbackAdvanceCount() - before, 0);
}

TEST_F(MainFormStartTest, ShowingAgainDoesNotSetUpTwice)
{
    Start();
    const int languages = Form().mnuLanguage->Count();
    Form().Hide();
    Form().Show();
    EXPECT_EQ(Form().mnuLanguage->Count(), languages);
}

TEST_F(MainFormStartTest, HiddenPaneAndToolBarAreKeptBetweenRuns)
{
    Write("settings.ini", "[Settings]\nShowTools=0\nShowMenu=0\nRecentFile1=/x/a.php\n");
    Start();
    TfrmEdit& form = Form();
    EXPECT_FALSE(form.PageControl1->Visible());
    EXPECT_FALSE(form.Splitter1->Visible());
    EXPECT_FALSE(form.ToolBar1->Visible());
    EXPECT_FALSE(form.mnuViewTools->Checked());
    EXPECT_FALSE(form.mnuViewMenu->Checked());
    // Full paths until the first push.
    EXPECT_EQ(form.mnuFileRecentFilesN[0]->Caption(), "/x/a.php");

    form.Close();
    EXPECT_EQ(SettingsText(), "[Settings]\nShowTools=0\nShowMenu=0\nRecentFile1=/x/a.php\nLanguage=" +
                                  Folder() + "languages/English_lang.dat\n");
}

TEST_F(MainFormStartTest, CancelAtTheCloseKeepsTheWindowAndWritesNothing)
{
    Start();
    Form().Editor->SetSelTextExternal("typed");
    QueueBox(IDCANCEL);
    EXPECT_TRUE(Aborted([&] { Form().Close(); }));
    EXPECT_EQ(SettingsText(), "<missing>");
    EXPECT_EQ(Form().Editor->GetLines()->Strings(0), "typed");

    QueueBox(IDNO);
    Form().Close();
    EXPECT_NE(SettingsText(), "<missing>");
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"~Messages.SaveFile", "~Messages.SaveFile"}));
}

TEST_F(MainFormStartTest, AnUnwritableSettingsFileIsToldOnceAndTheWindowStillCloses)
{
    // A folder where the file should be: every write fails, also for the superuser.
    // Reading it fails already at the start, which is told; later failures in the same
    // run are not told again, and the window closes.
    std::filesystem::create_directory(Folder() + "settings.ini");
    QueueBox(IDOK);
    Start();
    const std::string file = Folder() + "settings.ini";
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Error reading the settings file \"" + file +
                                                   "\": Cannot open file \"" + file + "\". Is a directory. The "
                                                   "default settings are used, and the file is left as it is."});
    Form().AddRecentFile(Write("a.php", "<?php\n"));
    Form().Close();
    EXPECT_EQ(BoxTexts().size(), 1u);
    EXPECT_FALSE(Form().Visible());
}

TEST_F(MainFormStartTest, EditorIsConfiguredAsTheWindowNeedsIt)
{
    TQvEdit& editor = *Form().Editor;
    EXPECT_EQ(editor.GetTabWidth(), 2);
    EXPECT_EQ(editor.GetMaxLineWidth(), 100000);
    EXPECT_TRUE(editor.GetOptions().Contains(eoDropFiles));
    EXPECT_TRUE(editor.GetOptions().Contains(eoAltSetsColumnMode));
    EXPECT_FALSE(editor.GetOptions().Contains(eoShowScrollHint));
    EXPECT_EQ(editor.PopupMenu(), Form().PopupMenu1);
    TQvEditKeyStrokes& keys = *editor.GetKeystrokes();
    EXPECT_EQ(keys.FindKeycode(VK_F1, 0), -1);
    ASSERT_GE(keys.FindKeycode(VK_F1, ssCtrl), 0);
    EXPECT_EQ(keys.GetItem(keys.FindKeycode(VK_F1, ssCtrl))->GetCommand(), ecContextHelp);
    EXPECT_EQ(Form().QvMultiHighlighter1->GetSchemes()->Count(), 7);
}

}  // namespace

// The main window's making, its first showing and its closing, the settings file and
// the recent-file list.
#include "app/MainForm.h"
#include "app/MainFormParts.h"

#include "app/Settings.h"
#include "platform/controls/ComCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/forms/Dialogs.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/SysUtils.h"
#include "platform/window/Menus.h"
#include "qvedit/editor/QvEdit.h"

TfrmEdit* frmEdit = nullptr;

TfrmEdit::TfrmEdit(TComponent* AOwner) : TForm(AOwner), programFolder_(ProgramDir())
{
    SetName("frmEdit");
    SetCaption("Quorvel");
    SetBounds(0, 0, 676, 458);
    Font()->SetName("MS Sans Serif");
    Font()->SetHeight(-11);

    BuildPopupMenu();
    BuildDialogs();
    BuildToolBar();
    BuildStatusLine();
    BuildSidePane();
    BuildEditorArea();
    BuildHighlighters();
    BuildPrintComponent();
    ConfigureEditor();
    AwaitCompletionKeys();
    BuildMainMenu();
    SetMenu(MainMenu1);
    SetWindowState(wsMaximized);
    SetActiveControl(Editor);

    OnShow = TNotifyEvent(this, &TfrmEdit::FormShow);
    OnClose = TCloseEvent(this, &TfrmEdit::FormClose);
}

TfrmEdit::~TfrmEdit()
{
    // The components go while the window is still whole, so that no handler bound to it
    // runs on a half-destroyed window; the menu bar lets go of the menu first.
    SetMenu(nullptr);
    BeforeDestruction();
    if (frmEdit == this)
        frmEdit = nullptr;
}

void TfrmEdit::SetProgramFolder(const std::string& Folder)
{
    programFolder_ = IncludeTrailingPathDelimiter(Folder);
}

TComponent* TfrmEdit::FindControl(const std::string& Name) const
{
    if (Name == this->Name())
        return const_cast<TfrmEdit*>(this);
    return FindComponent(Name);
}

// ---- Showing and closing ------------------------------------------------------------------

void TfrmEdit::FormShow(TObject*)
{
    // A window shown again (restored, or back from another desktop) is not set up twice.
    if (shown_)
        return;
    shown_ = true;
    const TMenuUpdate update(MainMenu1);  // the menu bar is made once, at the end
    ComboBox1->SetItemIndex(1);
    ComboBox1Select(ComboBox1);
    if (Editor->CanFocus())
        Editor->SetFocus();
    FillLanguageMenu();

    TSettingsFile settings(programFolder_);
    const TRecentFiles recent = settings.RecentFiles();
    for (std::size_t n = 0; n < recent.size(); ++n)
        mnuFileRecentFilesN[n]->SetCaption(LiteralCaption(recent[n]));
    if (!settings.ShowTools())
        mnuViewToolsClick(mnuViewTools);
    if (!settings.ShowMenu())
        mnuViewMenuClick(mnuViewMenu);
    txtLang->SetText(settings.Language());
    TellSettingsFailure(settings);

    LoadLanguage();
}

void TfrmEdit::FormClose(TObject*, TCloseAction&)
{
    AskSaveChanges();
    TSettingsFile settings(programFolder_);
    settings.WriteOnClose(mnuViewTools->Checked(), mnuViewMenu->Checked(), txtLang->Text());
    TellSettingsFailure(settings);
}

void TfrmEdit::TellSettingsFailure(const TSettingsFile& Settings)
{
    if (const std::optional<std::string> message = settingsErrors_.Take(Settings))
        MessageBox(*message, Application->Title(), MB_OK);
}

// ---- Recent files ---------------------------------------------------------------------------

void TfrmEdit::mnuFileRecentFiles1Click(TObject*)
{
    OpenRecentFileN(1);
}

void TfrmEdit::mnuFileRecentFiles2Click(TObject*)
{
    OpenRecentFileN(2);
}

void TfrmEdit::mnuFileRecentFiles3Click(TObject*)
{
    OpenRecentFileN(3);
}

void TfrmEdit::mnuFileRecentFiles4Click(TObject*)
{
    OpenRecentFileN(4);
}

void TfrmEdit::mnuFileRecentFiles5Click(TObject*)
{
    OpenRecentFileN(5);
}

void TfrmEdit::OpenRecentFileN(int N)
{
    // The entry as the file holds it now, which another copy of the program may have
    // changed since the menu was filled.
    TSettingsFile settings(programFolder_);
    const std::string path = settings.RecentFile(N);
    TellSettingsFailure(settings);
    OpenRecentFile(path);
}

void TfrmEdit::OpenRecentFile(const std::string& Path)
{
    CheckFileName(Path, fmOpenRead);
    AskSaveChanges();
    if (Path.empty())
        return;
    LoadIntoEditor(Path);
    TakeOpenedFile(Path);
}

void TfrmEdit::AddRecentFile(const std::string& Path)
{
    TSettingsFile settings(programFolder_);
    const TRecentFiles recent = settings.AddRecentFile(Path);
    const TMenuUpdate update(MainMenu1);
    for (std::size_t n = 0; n < recent.size(); ++n)
        mnuFileRecentFilesN[n]->SetCaption(LiteralCaption(ExtractFileName(recent[n])));
    TellSettingsFailure(settings);
    PointFolderListAt(ExtractFileDir(Path));
}

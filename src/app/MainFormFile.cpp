// The file commands (New, Open, Save, Save As, Close, Exit), opening by a drop or from the
// side pane's file list, the save prompt and the window title.
//
// A command that would discard unsaved text asks first. Cancel, and also a save dialog
// cancelled after Yes, end the command by the silent abort, so the text is never lost
// by a prompt the user did not get past. A load that fails changes nothing: the old text,
// path and title stay as they were. A name no file can have (one holding a NUL byte, from
// a drop or the recent list) is refused before the prompt.
#include "app/MainForm.h"
#include "app/MainFormParts.h"

#include "app/LanguageFile.h"
#include "platform/controls/FileCtrl.h"
#include "platform/controls/StdCtrls.h"
#include "platform/forms/CommonDialogs.h"
#include "platform/forms/Dialogs.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/SysUtils.h"
#include "platform/window/Menus.h"
#include "platform/window/Shell.h"
#include "qvedit/core/QvEditTextBuffer.h"
#include "qvedit/core/QvEditUndoList.h"
#include "qvedit/editor/QvEdit.h"
#include "qvedit/editor/QvEditMarks.h"

namespace {

const std::string productName = "Quorvel";

}  // namespace

std::string TfrmEdit::CurrentPath() const
{
    return lblFileName->Caption();
}

void TfrmEdit::SetCurrentPath(const std::string& Path)
{
    lblFileName->SetCaption(Path);
}

void TfrmEdit::SetQuotedTitle(const std::string& Path)
{
    SetCaption(productName + " - \"" + ExtractFileName(Path) + "\"");
}

void TfrmEdit::LoadIntoEditor(const std::string& Path)
{
    // Loaded without a highlighter: the lines are then scanned once, by the highlighter
    // the file's name chooses, and not first by the one in use before. A failed load
    // gives the old text its highlighter back.
    TQvCustomHighlighter* previous = Editor->GetHighlighter();
    Editor->SetHighlighter(nullptr);
    try {
        Editor->GetLines()->LoadFromFile(Path);
    } catch (...) {
        Editor->SetHighlighter(previous);
        throw;
    }
}

void TfrmEdit::TakeOpenedFile(const std::string& Path)
{
    SetCurrentPath(Path);
    if (Editor->CanFocus())
        Editor->SetFocus();
    Editor->SetModified(false);
    mnuBookmarksClearClick(mnuBookmarksClear);
    SetQuotedTitle(Path);
    SelectHighlighterByExt();
    AddRecentFile(Path);
}

void TfrmEdit::PointFolderListAt(const std::string& Folder)
{
    DirectoryListBox1->SetDirectory(Folder);
}

// ---- The save prompt ----------------------------------------------------------------------

void TfrmEdit::AskSaveChanges()
{
    if (!Editor->GetModified())
        return;
    const std::string text = SaveFilePromptText(txtLang->Text());
    const int answer = MessageBox(text, productName, MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON1);
    if (answer == IDNO)
        return;
    if (answer == IDYES && SaveAs())
        return;
    Abort();
}

// ---- The commands -----------------------------------------------------------------------------

void TfrmEdit::mnuFileNewClick(TObject*)
{
    ShellExecute(nullptr, "open", ProgramPath(), "", "", SW_HIDE);
}

void TfrmEdit::mnuFileOpenClick(TObject*)
{
    AskSaveChanges();
    if (!OpenDialog1->Execute())
        return;
    const std::string path = OpenDialog1->GetFileName();
    LoadIntoEditor(path);
    TakeOpenedFile(path);
}

void TfrmEdit::mnuFileSaveClick(TObject* Sender)
{
    if (CurrentPath().empty()) {
        mnuFileSaveAsClick(Sender);
        return;
    }
    Editor->GetLines()->SaveToFile(CurrentPath());
    Editor->SetModified(false);
    SetQuotedTitle(CurrentPath());
    SelectHighlighterByExt();
}

void TfrmEdit::mnuFileSaveAsClick(TObject*)
{
    SaveAs();
}

bool TfrmEdit::SaveAs()
{
    // The dialog starts at the current file's folder and name.
    const std::string current = CurrentPath();
    SaveDialog1->SetInitialDir(current.empty() ? std::string() : ExtractFileDir(current));
    SaveDialog1->SetFileName(current.empty() ? std::string() : ExtractFileName(current));
    if (!SaveDialog1->Execute())
        return false;
    const std::string path = SaveDialog1->GetFileName();
    Editor->GetLines()->SaveToFile(path);
    SetCurrentPath(path);
    Editor->SetModified(false);
    SetQuotedTitle(path);
    SelectHighlighterByExt();
    AddRecentFile(path);
    PointFolderListAt(ExtractFileDir(path));
    return true;
}

void TfrmEdit::mnuFileCloseClick(TObject*)
{
    AskSaveChanges();
    mnuBookmarksClearClick(mnuBookmarksClear);
    Editor->QvSetText("");
    SetCurrentPath("");
    SetCaption(productName);
}

void TfrmEdit::mnuFileExitClick(TObject*)
{
    Close();
}

void TfrmEdit::EditorDropFiles(TObject*, int, int, TStrings* Files)
{
    if (Files == nullptr || Files->Count() == 0)
        return;
    const std::string path = Files->Strings(0);
    CheckFileName(path, fmOpenRead);
    AskSaveChanges();
    LoadIntoEditor(path);
    // The dropped file is the text now, unchanged: whatever the old text was, it is not
    // modified (a "No" to the prompt dropped the old changes).
    Editor->SetModified(false);
    SetCurrentPath(path);
    SetCaption(productName + " - " + ExtractFileName(path));
    SelectHighlighterByExt();
}

void TfrmEdit::FileListBox1DblClick(TObject*)
{
    const std::string path = FileListBox1->GetFileName();
    if (path.empty())
        return;
    AskSaveChanges();
    // Loaded before anything else is cleared, so that a file that cannot be read leaves
    // the old text under its own path; then the rest of what emptying the editor does.
    LoadIntoEditor(path);
    for (int n = 0; n < 10; ++n)
        Editor->ClearBookMark(n);
    Editor->GetMarks()->Clear();
    Editor->SetModified(false);
    SetCurrentPath(path);
    SetQuotedTitle(path);
    SelectHighlighterByExt();
    AddRecentFile(path);
}

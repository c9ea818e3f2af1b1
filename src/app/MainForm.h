// The main window TfrmEdit: the tool bar, the side pane with its five pages, the editor,
// the status line, the main menu and the editor's pop-up menu, and the components the
// window owns (dialogs, highlighters, search engines, the two completion lists, the print
// component).
//
// The window keeps its document state in its controls: the current file's full path is
// the caption of the hidden label lblFileName ("" = untitled), the language file's path
// the text of the hidden edit box txtLang, the modified state the editor's Modified.
//
// The sources, by concern:
//   MainFormBuild.cpp      the controls and their layout
//   MainFormMenus.cpp      the main menu and the pop-up menu
//   MainFormComponents.cpp the dialogs, highlighters, search engines and print component
//   MainFormCompletion.cpp the two completion lists and the tool bar's choice between them
//   MainFormLife.cpp       showing and closing the window, settings and recent files
//   MainFormLanguage.cpp   the language menu and retitling from a language file
//   MainFormFile.cpp       the file commands and the save prompt
//   MainFormEdit.cpp       edit and view commands, the highlighter choice, the status line
#pragma once

#include "app/LanguageFile.h"
#include "app/Settings.h"
#include "platform/forms/Forms.h"

#include <array>
#include <map>
#include <string>
#include <utility>
#include <vector>

class TColorBox;
class TColorDialog;
class TComboBox;
class TDirectoryListBox;
class TDriveComboBox;
class TEdit;
class TFileListBox;
class TFilterComboBox;
class TFontDialog;
class TGroupBox;
class TLabel;
class TListBox;
class TMainMenu;
class TMenuItem;
class TOpenDialog;
class TPageControl;
class TPanel;
class TPopupMenu;
class TPrintDialog;
class TPrinterSetupDialog;
class TQvCompletionProposal;
class TQvCppHighlighter;
class TQvCssHighlighter;
class TQvCustomHighlighter;
class TQvDfmHighlighter;
class TQvEdit;
class TQvEditPrint;
class TQvEditRegexSearch;
class TQvEditSearch;
class TQvHTMLHighlighter;
class TQvJScriptHighlighter;
class TQvMultiHighlighter;
class TQvPerlHighlighter;
class TQvPHPHighlighter;
class TQvSQLHighlighter;
class TQvVBScriptHighlighter;
class TQvXMLHighlighter;
class TSaveDialog;
class TSpeedButton;
class TSplitter;
class TStrings;
class TTabSheet;
class TToolBar;

class TfrmEdit : public TForm {
public:
    explicit TfrmEdit(TComponent* AOwner);
    ~TfrmEdit() override;

    // The folder the window takes for the program's own: settings.ini, the languages
    // folder and the default language file live there. At first the program's folder.
    const std::string& ProgramFolder() const { return programFolder_; }
    void SetProgramFolder(const std::string& Folder);

    // The control or menu item of the window with this name; nullptr when none.
    TComponent* FindControl(const std::string& Name) const;

    // ---- Tool bar ------------------------------------------------------------------------
    TToolBar* ToolBar1;
    TSpeedButton *bNew, *bOpen, *bSave, *bClose, *bPrint, *bPrintSetup, *bUndo, *bRedo;
    TSpeedButton *bCut, *bCopy, *bPaste, *bFind, *bPreview;
    TComboBox* ComboBox1;  // the completion list that Ctrl+Space opens
    TEdit* txtLang;        // hidden: the language file's path

    TLabel* lblFileName;  // hidden: the current file's path

    // ---- Side pane -------------------------------------------------------------------------
    TPageControl* PageControl1;
    TTabSheet *tFileManager, *tInsert, *TabSheet3, *TabSheet1, *tCoding;
    TPanel *Panel3, *Panel2;
    TDriveComboBox* DriveComboBox1;
    TFilterComboBox* FilterComboBox1;
    TDirectoryListBox* DirectoryListBox1;
    TSplitter* Splitter2;
    TFileListBox* FileListBox1;
    // The controls of the four pages after the file manager are made when their page is
    // first shown (MakeSidePage); until then nullptr.
    TGroupBox* gColor = nullptr;                 // tInsert
    TColorBox* ColorBox1 = nullptr;
    TPanel* Panel5 = nullptr;
    TGroupBox* gChars = nullptr;
    TListBox* HTMLAttriItems = nullptr;          // TabSheet3
    TListBox* HTMLTagsItems = nullptr;
    TListBox* HTMLAttriInsert = nullptr;
    TListBox* HTMLTagsInsert = nullptr;
    TSplitter* Splitter3 = nullptr;
    TGroupBox* gTemplates = nullptr;             // TabSheet1
    TGroupBox* tCodingConverFromTo = nullptr;    // tCoding
    TGroupBox* tCodingChangeCharset = nullptr;
    TComboBox* cCharset = nullptr;
    // The fragment buttons of the insert, HTML-entity, PHP and template groups, the two
    // quote-escaping buttons and the six code-page buttons of the pages made so far, in
    // the order they were made.
    std::vector<TSpeedButton*> SidePaneButtons;
    // Makes the controls of a side-pane page unless they are made already, titled in the
    // language in use. The page control makes each page when the user first picks its tab.
    void MakeSidePage(TTabSheet* Page);

    // ---- Editor and status line --------------------------------------------------------------
    TSplitter* Splitter1;
    TPanel* Panel4;
    TQvEdit* Editor;
    TPanel* Panel1;
    TLabel *lblCurrentHightliter, *CurSyntax, *LN1;

    // ---- Main menu -------------------------------------------------------------------------
    TMainMenu* MainMenu1;
    TMenuItem *mnuFile, *mnuFileNew, *mnuFileOpen, *mnuFileSave, *mnuFileSaveAs, *mnuFileClose;
    TMenuItem *mnuFilePrinterParam, *mnuFilePrinterParamLineNumbers, *mnuFilePrint;
    TMenuItem *mnuFilePrinterSettings, *CSSMaker1, *mnuFilePreview, *mnuFileRecentFiles;
    std::array<TMenuItem*, 5> mnuFileRecentFilesN;  // mnuFileRecentFiles1 to 5
    TMenuItem* mnuFileExit;
    TMenuItem *mnuEdit, *mnuEditUndo, *mnuEditRedo, *mnuEditCut, *mnuEditCopy, *mnuEditPaste;
    TMenuItem *mnuEditFind, *mnuEditReplace, *mnuEditGoTo, *mnuEditBigCase, *mnuEditSmallCase;
    TMenuItem* mnuEditSelectAll;
    TMenuItem *mnuView, *mnuViewBlock, *mnuViewBlockNormal, *mnuViewBlockColumn, *mnuViewBlockLine;
    TMenuItem *mnuViewEncoding, *WinKoi1, *WinDOS1, *WinIso1, *Koi8RWin1, *DosWin1, *IsoWin1;
    TMenuItem* mnuViewCharset;
    std::array<TMenuItem*, 18> CharsetItems;  // Default1, then Ansi1 to Turkish1
    TMenuItem *mnuViewTools, *mnuViewMenu;
    TMenuItem *mnuHightliter, *mnuHightliterLanguages;
    TMenuItem *HTML1, *PHP1, *Perl1, *XHTML1, *CSS1, *JavaScript1, *VBScript1, *SQL1, *C1, *DfmFiles1;
    TMenuItem *mnuBookmarks, *mnuBookmarksGo, *mnuBookmarksAdd, *mnuBookmarksRemove;
    std::array<TMenuItem*, 10> p, s, d;  // p0-p9, s0-s9, d0-d9
    TMenuItem* mnuBookmarksClear;
    TMenuItem *mnuInsert, *mnuInsertColor, *mnuInsertFont, *mnuInsertDateAndTime;
    TMenuItem *mnuHelp, *mnuHelpUsefullLinks, *mnuHelpHomePage, *N99, *mnuHelpMakerSite, *N100;
    TMenuItem* mnuHelpAbout;
    TMenuItem *Language1, *mnuLanguage;

    // ---- Editor pop-up menu ----------------------------------------------------------------
    TPopupMenu* PopupMenu1;
    TMenuItem *PopupUndo, *PopupRedo, *PopupCut, *PopupCopy, *PopupPaste, *PopupSearch;
    TMenuItem *PopupGoTo, *PopupSelAll, *PopupInsert, *PopupInsertColor, *PopupInsertFont;
    TMenuItem* PopupInsertTime;

    // ---- Components ------------------------------------------------------------------------
    TOpenDialog* OpenDialog1;
    TSaveDialog* SaveDialog1;
    TColorDialog* ColorDialog1;
    TFontDialog* FontDialog1;
    TPrintDialog* PrintDialog1;
    TPrinterSetupDialog* PrinterSetupDialog1;
    TQvHTMLHighlighter* QvHTMLHighlighter1;
    TQvPHPHighlighter* QvPHPHighlighter1;
    TQvPerlHighlighter* QvPerlHighlighter1;
    TQvXMLHighlighter* QvXMLHighlighter1;
    TQvCssHighlighter* QvCssHighlighter1;
    TQvJScriptHighlighter* QvJScriptHighlighter1;
    TQvVBScriptHighlighter* QvVBScriptHighlighter1;
    TQvSQLHighlighter* QvSQLHighlighter1;
    TQvCppHighlighter* QvCppHighlighter1;
    TQvDfmHighlighter* QvDfmHighlighter1;
    TQvHTMLHighlighter* QvHTMLHref;
    TQvJScriptHighlighter* QvASPHighlighter1;
    TQvMultiHighlighter* QvMultiHighlighter1;
    TQvEditSearch* QvEditSearch1;
    TQvEditRegexSearch* QvEditRegexSearch1;
    // Made at the first Ctrl+Space or "<" in the editor; until then nullptr.
    TQvCompletionProposal* QvCompletionProposal1 = nullptr;  // HTML tags, also opened a moment after "<"
    TQvCompletionProposal* QvCompletionProposal2 = nullptr;  // PHP names
    TQvEditPrint* QvEditPrint1;

    // ---- Showing and closing (MainFormLife.cpp) ----------------------------------------------
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);

    // ---- Settings and recent files (MainFormLife.cpp) ----------------------------------------
    void mnuFileRecentFiles1Click(TObject* Sender);
    void mnuFileRecentFiles2Click(TObject* Sender);
    void mnuFileRecentFiles3Click(TObject* Sender);
    void mnuFileRecentFiles4Click(TObject* Sender);
    void mnuFileRecentFiles5Click(TObject* Sender);
    void OpenRecentFile(const std::string& Path);
    void AddRecentFile(const std::string& Path);

    // ---- Language files (MainFormLanguage.cpp) -----------------------------------------------
    void FillLanguageMenu();
    void OnLanguageSelection(TObject* Sender);
    // Retitles from the language file txtLang names; false, after saying why, when the
    // file could not be read whole (nothing is retitled then).
    bool LoadLanguage();

    // ---- File commands (MainFormFile.cpp) --------------------------------------------------
    // Asks to save unsaved changes; Cancel, or a cancelled save dialog after Yes, ends the
    // calling command by the silent abort.
    void AskSaveChanges();
    void mnuFileNewClick(TObject* Sender);
    void mnuFileOpenClick(TObject* Sender);
    void mnuFileSaveClick(TObject* Sender);
    void mnuFileSaveAsClick(TObject* Sender);
    void mnuFileCloseClick(TObject* Sender);
    void mnuFileExitClick(TObject* Sender);
    void EditorDropFiles(TObject* Sender, int X, int Y, TStrings* Files);
    void FileListBox1DblClick(TObject* Sender);

    // ---- Highlighter choice (MainFormEdit.cpp) -----------------------------------------------
    void HTML1Click(TObject* Sender);
    void PHP1Click(TObject* Sender);
    void Perl1Click(TObject* Sender);
    void XHTML1Click(TObject* Sender);
    void CSS1Click(TObject* Sender);
    void JavaScript1Click(TObject* Sender);
    void VBScript1Click(TObject* Sender);
    void SQL1Click(TObject* Sender);
    void C1Click(TObject* Sender);
    void DfmFiles1Click(TObject* Sender);
    void SelectHighlighterByExt();

    // ---- Edit and view commands, status line (MainFormEdit.cpp) ------------------------------
    void mnuEditUndoClick(TObject* Sender);
    void mnuEditRedoClick(TObject* Sender);
    void mnuEditCutClick(TObject* Sender);
    void mnuEditCopyClick(TObject* Sender);
    void mnuEditPasteClick(TObject* Sender);
    void mnuEditSelectAllClick(TObject* Sender);
    void mnuEditBigCaseClick(TObject* Sender);
    void mnuEditSmallCaseClick(TObject* Sender);
    void mnuViewBlockNormalClick(TObject* Sender);
    void mnuViewBlockColumnClick(TObject* Sender);
    void mnuViewBlockLineClick(TObject* Sender);
    void mnuViewToolsClick(TObject* Sender);
    void mnuViewMenuClick(TObject* Sender);
    void EditorKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void EditorMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void Panel3Resize(TObject* Sender);

    // =========================================================================================
    // Built by the application's part two: declared here so that the window binds them,
    // defined in that part's own sources.
    // =========================================================================================
    // Find-and-replace and go-to-line openers.
    void mnuEditFindClick(TObject* Sender);
    void mnuEditReplaceClick(TObject* Sender);
    void mnuEditGoToClick(TObject* Sender);
    // Insertion commands: every fixed-text button of the side pane (its row found by the
    // button's name), the quote-escaping buttons, the tag and attribute lists, the colour
    // box, and the colour, font and date-time items.
    void FragmentButtonClick(TObject* Sender);
    void SpeedButton71Click(TObject* Sender);
    void HTMLTagsItemsDblClick(TObject* Sender);
    void HTMLAttriItemsDblClick(TObject* Sender);
    void ColorBox1Select(TObject* Sender);
    void mnuInsertColorClick(TObject* Sender);
    void mnuInsertFontClick(TObject* Sender);
    void mnuInsertDateAndTimeClick(TObject* Sender);
    // Code-page conversion of the whole text.
    void EncodingWinKoi(TObject* Sender);
    void EncodingWinDos(TObject* Sender);
    void EncodingWinIso(TObject* Sender);
    void EncodingKoiWin(TObject* Sender);
    void EncodingDosWin(TObject* Sender);
    void EncodingIsoWin(TObject* Sender);
    // Bookmarks: the items p0-p9, s0-s9 and d0-d9 carry their bookmark's number as Tag.
    void BookmarkGoClick(TObject* Sender);
    void BookmarkSetClick(TObject* Sender);
    void BookmarkClearClick(TObject* Sender);
    void mnuBookmarksClearClick(TObject* Sender);
    // Character sets: the side pane's list and the eighteen items (Tag = row).
    void cCharsetSelect(TObject* Sender);
    void CharsetItemClick(TObject* Sender);
    // Printing, printer set-up, print line numbers, preview; the completion choice
    // (MainFormCompletion.cpp).
    void mnuFilePrintClick(TObject* Sender);
    void mnuFilePrinterSettingsClick(TObject* Sender);
    void mnuFilePrinterParamLineNumbersClick(TObject* Sender);
    void mnuFilePreviewClick(TObject* Sender);
    void ComboBox1Select(TObject* Sender);
    // CSS rule dialog, help links and the about box.
    void CSSMaker1Click(TObject* Sender);
    void mnuHelpHomePageClick(TObject* Sender);
    void N99Click(TObject* Sender);
    void mnuHelpMakerSiteClick(TObject* Sender);
    void N100Click(TObject* Sender);
    void mnuHelpAboutClick(TObject* Sender);

private:
    // MainFormBuild.cpp
    void BuildToolBar();
    void BuildSidePane();
    void BuildFileManagerPage();
    void BuildInsertPage();
    void BuildHtmlPage();
    void BuildPhpPage();
    void BuildCodingPage();
    void BuildEditorArea();
    void BuildStatusLine();
    int PlacePaneButtons(TWinControl* Parent, const char* Place, int Top);
    void PageControl1Change(TObject* Sender);
    // MainFormMenus.cpp
    void BuildMainMenu();
    void BuildFileMenu();
    void BuildEditMenu();
    void BuildViewMenu();
    void BuildHighlighterMenu();
    void BuildBookmarkMenu();
    void BuildInsertAndHelpMenus();
    void BuildPopupMenu();
    TMenuItem* AddMenuItem(TMenuItem* Parent, const std::string& Name, const std::string& Caption,
                           TShortCut Key, void (TfrmEdit::*Click)(TObject*));
    void AddMenuLine(TMenuItem* Parent);
    // MainFormComponents.cpp
    void BuildDialogs();
    void BuildHighlighters();
    void BuildMultiHighlighter();
    void ConfigureEditor();
    void BuildPrintComponent();
    // MainFormCompletion.cpp; after ConfigureEditor, as both lists bind to the editor.
    // The lists are made, whole, by the first key that can open one; until then the editor
    // has only the two handlers that wait for that key.
    void AwaitCompletionKeys();
    void BuildCompletionProposals();
    void EditorKeyDownBeforeCompletion(TObject* Sender, Word& Key, TShiftState Shift);
    void EditorKeyPressBeforeCompletion(TObject* Sender, char& Key);
    // MainFormFile.cpp
    std::string CurrentPath() const;
    void SetCurrentPath(const std::string& Path);
    void SetQuotedTitle(const std::string& Path);
    // Loads the file into the editor; nothing changes when it fails.
    void LoadIntoEditor(const std::string& Path);
    // Opened as the Open command does: path, focus, not modified, no bookmarks, quoted
    // title, highlighter, recent files.
    void TakeOpenedFile(const std::string& Path);
    void PointFolderListAt(const std::string& Folder);
    // Save As; false when the user cancelled the dialog.
    bool SaveAs();
    // MainFormEdit.cpp
    void ChooseHighlighter(TMenuItem* Item, TQvCustomHighlighter* Highlighter,
                           const std::string& StatusText);
    void ChooseBlockMode(TMenuItem* Item);
    void ChangeSelectionCase(bool Upper);
    void ShowCaretPosition();
    // MainFormLanguage.cpp
    void ApplyPendingTitles();
    // FormMainFind.cpp: makes the find or go-to dialog at its first opening.
    template <class TDialog>
    void MakeDialog(TDialog*& Dialog);
    // MainFormLife.cpp
    void OpenRecentFileN(int N);
    void TellSettingsFailure(const TSettingsFile& Settings);

    std::string programFolder_;
    bool shown_ = false;  // FormShow has run
    TSettingsErrorReport settingsErrors_;
    std::vector<TLanguageEntry> languageFiles_;  // the language menu's items, in order
    // The side-pane pages not made yet, each with the member function that makes it.
    std::vector<std::pair<TTabSheet*, void (TfrmEdit::*)()>> pagesToMake_;
    // What the languages loaded so far gave the controls of side-pane pages and dialogs not
    // made yet, by the language file's section and the control's name: applied when the
    // page or dialog is made, as if it had been there all along.
    struct TPendingTitle {
        std::string Text;
        TLanguageTarget Target;
    };
    std::map<std::pair<std::string, std::string>, TPendingTitle> pendingTitles_;
};

extern TfrmEdit* frmEdit;

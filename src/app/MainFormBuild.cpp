// The main window's controls and their layout: the tool bar, the side pane with its five
// pages, the editor area and the status line.
#include "app/MainForm.h"
#include "app/MainFormParts.h"

#include "app/Insertions.h"
#include "platform/controls/ComCtrls.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/FileCtrl.h"
#include "platform/controls/StdCtrls.h"
#include "platform/graphics/Graphics.h"
#include "qvedit/completion/QvCompletionLists.h"
#include "qvedit/editor/QvEdit.h"

#include <algorithm>

namespace {

// The filter list of the file manager's filter box. Every mask is separated from the next
// by a ';' and carries no blanks, so each one is matched; the descriptions are shown as
// they always were.
const char* const fileManagerFilter =
    "All files (*.*)|*.*|"
    "PHP files (*.php;*.php3*.php4*.phtml)|*.php;*.php3;*.php4;*.phtml|"
    "Perl files (*.pl;*.cgi)|*.pl;*.cgi|"
    "Html files (*.htm;*.html;*.xhtml)|*.htm;*.html;*.xhtml|"
    "Xml files (*.xml)|*.xml|"
    "ASP files (*.asp;*.aspx)|*.asp;*.aspx|"
    "Sql files (*.sql)|*.sql|"
    "Css files (*.css)|*.css|"
    "C++ files (*.c;*.cpp;*.h;*.dfm;*.xfm)|*.c;*.cpp;*.h;*.dfm;*.xfm|"
    "JavaScript files (*.js)|*.js|"
    "VBScipt files (*.vbs; *.bas)|*.vbs;*.bas|"
    "Text files (*.txt)|*.txt";

constexpr int SidePaneWidth = 185;
constexpr int SidePaneMaxWidth = 400;
constexpr int PaneButtonWidth = 48;
constexpr int PaneButtonHeight = 19;

// Short captions for the fragment buttons that carry none of their own.
const std::pair<const char*, const char*> paneButtonLabels[] = {
    {"SpeedButton2", "left"},    {"SpeedButton3", "center"},  {"SpeedButton4", "right"},
    {"SpeedButton35", "justify"}, {"SpeedButton11", "form"},   {"SpeedButton9", "text"},
    {"SpeedButton12", "txtarea"}, {"SpeedButton8", "<a>"},    {"SpeedButton37", "mailto"},
    {"SpeedButton10", "<img>"},  {"SpeedButton36", "quote"},   {"SpeedButton38", "<table>"},
    {"SpeedButton34", "<ol>"},   {"SpeedButton33", "<ul>"},
    {"SpeedButton28", "submit"}, {"SpeedButton29", "check"}, {"SpeedButton31", "radio"},
    {"SpeedButton30", "select"}, {"SpeedButton32", "hidden"},  {"SpeedButton40", "nbsp"},
    {"SpeedButton41", "ldquo"},  {"SpeedButton42", "rdquo"},   {"SpeedButton43", "mdash"},
    {"SpeedButton44", "euro"},   {"SpeedButton45", "pound"},   {"SpeedButton46", "yen"},
    {"SpeedButton47", "copy"},   {"SpeedButton48", "reg"},     {"SpeedButton49", "trade"},
    {"SpeedButton14", "cookie"}, {"SpeedButton15", "post"},    {"SpeedButton16", "get"},
    {"SpeedButton19", "session"}, {"SpeedButton17", "include"}, {"SpeedButton18", "require"},
};

// What a fragment button shows (UTF-8): its caption, a short label, or the text it inserts.
std::string PaneButtonCaption(const TInsertion& Row)
{
    if (*Row.Caption != '\0')
        return Row.Caption;
    for (const auto& [control, label] : paneButtonLabels)
        if (std::string_view(control) == Row.Control)
            return label;
    return AnsiToUtf8(Row.Before, 1251);
}

}  // namespace

std::string LiteralCaption(const std::string& Name)
{
    std::string text;
    for (char c : Name) {
        text += c;
        if (c == '&')
            text += '&';
    }
    return text;
}

void SetToolGlyph(TSpeedButton* Button, const char* Glyph)
{
    TBitmap picture;
    picture.LoadFromResourceName(Glyph);
    Button->SetGlyph(&picture);
}

void TfrmEdit::BuildToolBar()
{
    ToolBar1 = MakeControl<TToolBar>(this, this, "ToolBar1");
    ToolBar1->SetAlign(alTop);
    ToolBar1->SetHeight(29);
    ToolBar1->SetButtonHeight(21);
    int dividers = 0;
    auto divider = [&] {
        auto* gap = MakeControl<TToolButton>(this, ToolBar1, "ToolButton" + std::to_string(++dividers));
        gap->SetStyle(tbsDivider);
    };
    auto button = [&](const char* Name, const char* Glyph, TNotifyEvent Click) {
        auto* b = MakeControl<TSpeedButton>(this, ToolBar1, Name);
        b->SetFlat(true);
        b->SetShowHint(true);
        b->SetWidth(23);
        SetToolGlyph(b, Glyph);
        b->OnClick = Click;
        return b;
    };
    bNew = button("bNew", "ToolNew", TNotifyEvent(this, &TfrmEdit::mnuFileNewClick));
    bOpen = button("bOpen", "ToolOpen", TNotifyEvent(this, &TfrmEdit::mnuFileOpenClick));
    bSave = button("bSave", "ToolSave", TNotifyEvent(this, &TfrmEdit::mnuFileSaveClick));
    bClose = button("bClose", "ToolClose", TNotifyEvent(this, &TfrmEdit::mnuFileCloseClick));
    divider();
    bPrint = button("bPrint", "ToolPrint", TNotifyEvent(this, &TfrmEdit::mnuFilePrintClick));
    bPrintSetup = button("bPrintSetup", "ToolPrintSetup",
                         TNotifyEvent(this, &TfrmEdit::mnuFilePrinterSettingsClick));
    divider();
    bUndo = button("bUndo", "ToolUndo", TNotifyEvent(this, &TfrmEdit::mnuEditUndoClick));
    bRedo = button("bRedo", "ToolRedo", TNotifyEvent(this, &TfrmEdit::mnuEditRedoClick));
    divider();
    bCut = button("bCut", "ToolCut", TNotifyEvent(this, &TfrmEdit::mnuEditCutClick));
    bCopy = button("bCopy", "ToolCopy", TNotifyEvent(this, &TfrmEdit::mnuEditCopyClick));
    bPaste = button("bPaste", "ToolPaste", TNotifyEvent(this, &TfrmEdit::mnuEditPasteClick));
    bFind = button("bFind", "ToolFind", TNotifyEvent(this, &TfrmEdit::mnuEditFindClick));
    divider();
    bPreview = button("bPreview", "ToolPreview", TNotifyEvent(this, &TfrmEdit::mnuFilePreviewClick));
    divider();

    ComboBox1 = MakeControl<TComboBox>(this, ToolBar1, "ComboBox1");
    ComboBox1->SetStyle(csDropDownList);
    ComboBox1->SetWidth(63);
    ComboBox1->Items()->Add("HTML");
    ComboBox1->Items()->Add("PHP");
    ComboBox1->SetHint("Completion proposal");
    ComboBox1->SetShowHint(false);
    ComboBox1->OnSelect = TNotifyEvent(this, &TfrmEdit::ComboBox1Select);

    txtLang = MakeControl<TEdit>(this, ToolBar1, "txtLang");
    txtLang->SetVisible(false);

    lblFileName = MakeControl<TLabel>(this, this, "lblFileName");
    lblFileName->SetAutoSize(false);
    lblFileName->SetAlign(alTop);
    lblFileName->SetHeight(1);
    lblFileName->Font()->SetColor(clGray);
}

void TfrmEdit::BuildSidePane()
{
    PageControl1 = MakeControl<TPageControl>(this, this, "PageControl1");
    PageControl1->SetAlign(alLeft);
    PageControl1->SetWidth(SidePaneWidth);
    PageControl1->SetConstraints({.MaxWidth = SidePaneMaxWidth});
    PageControl1->SetTabPosition(tpLeft);
    PageControl1->Font()->SetName("Arial");
    PageControl1->Font()->SetHeight(-12);
    auto page = [&](const char* Name, const std::string& Caption) {
        auto* sheet = MakeControl<TTabSheet>(this, nullptr, Name);
        sheet->SetPageControl(PageControl1);
        sheet->SetCaption(Caption);
        return sheet;
    };
    tFileManager = page("tFileManager", "Файл менеджер");
    tInsert = page("tInsert", "Вставка");
    TabSheet3 = page("TabSheet3", "HTML");
    TabSheet1 = page("TabSheet1", "PHP");
    tCoding = page("tCoding", "Кодировка");
    // The window opens on the file manager; the other pages, hidden until their tab is
    // picked, are made then.
    BuildFileManagerPage();
    pagesToMake_ = {{tInsert, &TfrmEdit::BuildInsertPage},
                    {TabSheet3, &TfrmEdit::BuildHtmlPage},
                    {TabSheet1, &TfrmEdit::BuildPhpPage},
                    {tCoding, &TfrmEdit::BuildCodingPage}};
    PageControl1->SetActivePage(tFileManager);
    PageControl1->OnChange = TNotifyEvent(this, &TfrmEdit::PageControl1Change);

    Splitter1 = MakeControl<TSplitter>(this, this, "Splitter1");
    Splitter1->SetAlign(alLeft);
    Splitter1->SetWidth(3);
}

void TfrmEdit::PageControl1Change(TObject*)
{
    MakeSidePage(PageControl1->ActivePage());
}

void TfrmEdit::MakeSidePage(TTabSheet* Page)
{
    const auto toMake = std::find_if(pagesToMake_.begin(), pagesToMake_.end(),
                                     [&](const auto& entry) { return entry.first == Page; });
    if (toMake == pagesToMake_.end())
        return;
    const auto build = toMake->second;
    pagesToMake_.erase(toMake);
    (this->*build)();
    ApplyPendingTitles();
}

void TfrmEdit::BuildFileManagerPage()
{
    Panel3 = MakeControl<TPanel>(this, tFileManager, "Panel3");
    Panel3->SetAlign(alTop);
    Panel3->SetHeight(60);
    Panel3->OnResize = TNotifyEvent(this, &TfrmEdit::Panel3Resize);
    DriveComboBox1 = MakeControl<TDriveComboBox>(this, Panel3, "DriveComboBox1");
    DriveComboBox1->SetBounds(6, 6, 140, 22);
    FilterComboBox1 = MakeControl<TFilterComboBox>(this, Panel3, "FilterComboBox1");
    FilterComboBox1->SetBounds(6, 32, 140, 22);

    Panel2 = MakeControl<TPanel>(this, tFileManager, "Panel2");
    Panel2->SetAlign(alClient);
    Panel2->SetBevelOuter(bvNone);
    FileListBox1 = MakeControl<TFileListBox>(this, Panel2, "FileListBox1");
    FileListBox1->SetAlign(alBottom);
    FileListBox1->SetHeight(167);
    FileListBox1->SetShowGlyphs(true);
    FileListBox1->OnDblClick = TNotifyEvent(this, &TfrmEdit::FileListBox1DblClick);
    Splitter2 = MakeControl<TSplitter>(this, Panel2, "Splitter2");
    Splitter2->SetAlign(alBottom);
    Splitter2->SetHeight(2);
    DirectoryListBox1 = MakeControl<TDirectoryListBox>(this, Panel2, "DirectoryListBox1");
    DirectoryListBox1->SetAlign(alClient);

    DirectoryListBox1->SetFileList(FileListBox1);
    DriveComboBox1->SetDirList(DirectoryListBox1);
    FilterComboBox1->SetFilter(fileManagerFilter);
    FilterComboBox1->SetFileList(FileListBox1);
}

// Lays fragment buttons of one place out in rows, from Top on, and returns the height used.
int TfrmEdit::PlacePaneButtons(TWinControl* Parent, const char* Place, int Top)
{
    int column = 0;
    int row = 0;
    for (const TInsertion& insertion : Insertions()) {
        if (std::string_view(insertion.Place) != Place)
            continue;
        auto* button = MakeControl<TSpeedButton>(this, Parent, insertion.Control);
        button->SetCaption(LiteralCaption(PaneButtonCaption(insertion)));
        button->SetHint(*insertion.Hint != '\0' ? insertion.Hint : AnsiToUtf8(insertion.Before, 1251));
        button->SetShowHint(true);
        button->SetBounds(4 + column * PaneButtonWidth, Top + row * PaneButtonHeight,
                          PaneButtonWidth, PaneButtonHeight);
        button->OnClick = TNotifyEvent(this, &TfrmEdit::FragmentButtonClick);
        SidePaneButtons.push_back(button);
        if (++column == 3) {
            column = 0;
            ++row;
        }
    }
    return (row + (column > 0 ? 1 : 0)) * PaneButtonHeight;
}

void TfrmEdit::BuildInsertPage()
{
    gColor = MakeControl<TGroupBox>(this, tInsert, "gColor");
    gColor->SetCaption("Цвет");
    gColor->SetAlign(alTop);
    gColor->SetHeight(48);
    ColorBox1 = MakeControl<TColorBox>(this, gColor, "ColorBox1");
    ColorBox1->SetBounds(6, 18, 140, 22);
    ColorBox1->OnSelect = TNotifyEvent(this, &TfrmEdit::ColorBox1Select);

    Panel5 = MakeControl<TPanel>(this, tInsert, "Panel5");
    Panel5->SetAlign(alClient);
    Panel5->SetBevelOuter(bvNone);
    const int used = PlacePaneButtons(Panel5, "tInsert", 4);
    gChars = MakeControl<TGroupBox>(this, Panel5, "gChars");
    gChars->SetCaption("Символы");
    const int charsHeight = PlacePaneButtons(gChars, "gChars", 18);
    gChars->SetBounds(0, used + 8, 3 * PaneButtonWidth + 8, charsHeight + 24);
}

void TfrmEdit::BuildHtmlPage()
{
    HTMLAttriItems = MakeControl<TListBox>(this, TabSheet3, "HTMLAttriItems");
    HTMLAttriItems->SetAlign(alTop);
    HTMLAttriItems->SetHeight(200);
    HTMLAttriItems->OnDblClick = TNotifyEvent(this, &TfrmEdit::HTMLAttriItemsDblClick);
    Splitter3 = MakeControl<TSplitter>(this, TabSheet3, "Splitter3");
    Splitter3->SetAlign(alTop);
    Splitter3->SetHeight(3);
    HTMLTagsItems = MakeControl<TListBox>(this, TabSheet3, "HTMLTagsItems");
    HTMLTagsItems->SetAlign(alClient);
    HTMLTagsItems->OnDblClick = TNotifyEvent(this, &TfrmEdit::HTMLTagsItemsDblClick);
    HTMLAttriInsert = MakeControl<TListBox>(this, TabSheet3, "HTMLAttriInsert");
    HTMLAttriInsert->SetVisible(false);
    HTMLTagsInsert = MakeControl<TListBox>(this, TabSheet3, "HTMLTagsInsert");
    HTMLTagsInsert->SetVisible(false);

    for (const std::string& row : HtmlAttributeRows())
        HTMLAttriItems->Items()->Add(row);
    for (const std::string& row : HtmlAttributeInsertRows())
        HTMLAttriInsert->Items()->Add(row);
    for (const TQvCompletionRow& row : HtmlTagRows())
        HTMLTagsItems->Items()->Add(row.Display);
    for (const std::string& row : HtmlTagInsertRows(TTagListUse::SidePane))
        HTMLTagsInsert->Items()->Add(row);
}

void TfrmEdit::BuildPhpPage()
{
    const int used = PlacePaneButtons(TabSheet1, "TabSheet1", 4);
    const int row = used / PaneButtonHeight;
    auto quote = [&](const char* Name, const char* Caption, int Column) {
        auto* button = MakeControl<TSpeedButton>(this, TabSheet1, Name);
        button->SetCaption(Caption);
        button->SetBounds(4 + Column * PaneButtonWidth, 4 + row * PaneButtonHeight,
                          PaneButtonWidth, PaneButtonHeight);
        button->OnClick = TNotifyEvent(this, &TfrmEdit::SpeedButton71Click);
        SidePaneButtons.push_back(button);
    };
    quote("SpeedButton71", "\\\"", 0);
    quote("SpeedButton72", "\\'", 1);

    gTemplates = MakeControl<TGroupBox>(this, TabSheet1, "gTemplates");
    gTemplates->SetCaption("Templates");
    const int top = 4 + (row + 1) * PaneButtonHeight + 8;
    int y = 18;
    for (const TInsertion& insertion : Insertions()) {
        if (std::string_view(insertion.Place) != "gTemplates")
            continue;
        auto* button = MakeControl<TSpeedButton>(this, gTemplates, insertion.Control);
        button->SetCaption(LiteralCaption(insertion.Caption));
        button->SetBounds(6, y, 3 * PaneButtonWidth - 4, PaneButtonHeight);
        button->OnClick = TNotifyEvent(this, &TfrmEdit::FragmentButtonClick);
        SidePaneButtons.push_back(button);
        y += PaneButtonHeight;
    }
    gTemplates->SetBounds(0, top, 3 * PaneButtonWidth + 8, y + 6);
}

void TfrmEdit::BuildCodingPage()
{
    tCodingConverFromTo = MakeControl<TGroupBox>(this, tCoding, "tCodingConverFromTo");
    tCodingConverFromTo->SetCaption("Преобразовать из/в");
    tCodingConverFromTo->SetBounds(0, 4, 3 * PaneButtonWidth + 8, 6 * PaneButtonHeight + 26);
    struct TCodingButton {
        const char* Name;
        const char* Caption;
        void (TfrmEdit::*Click)(TObject*);
    };
    const TCodingButton codingButtons[] = {
        {"SpeedButton87", "Win -> Koi8-R", &TfrmEdit::EncodingWinKoi},
        {"SpeedButton86", "Win -> Dos", &TfrmEdit::EncodingWinDos},
        {"SpeedButton88", "Win -> Iso", &TfrmEdit::EncodingWinIso},
        {"SpeedButton85", "Koi8-R -> Win", &TfrmEdit::EncodingKoiWin},
        {"SpeedButton90", "Dos -> Win", &TfrmEdit::EncodingDosWin},
        {"SpeedButton89", "Iso -> Win", &TfrmEdit::EncodingIsoWin},
    };
    int y = 18;
    for (const TCodingButton& row : codingButtons) {
        auto* button = MakeControl<TSpeedButton>(this, tCodingConverFromTo, row.Name);
        button->SetCaption(row.Caption);
        button->SetBounds(6, y, 3 * PaneButtonWidth - 4, PaneButtonHeight);
        button->OnClick = TNotifyEvent(this, row.Click);
        SidePaneButtons.push_back(button);
        y += PaneButtonHeight;
    }

    tCodingChangeCharset = MakeControl<TGroupBox>(this, tCoding, "tCodingChangeCharset");
    tCodingChangeCharset->SetCaption("Включить кодировку");
    tCodingChangeCharset->SetBounds(0, y + 14, 3 * PaneButtonWidth + 8, 50);
    cCharset = MakeControl<TComboBox>(this, tCodingChangeCharset, "cCharset");
    cCharset->SetStyle(csDropDownList);
    cCharset->SetBounds(6, 18, 3 * PaneButtonWidth - 4, 22);
    for (const char* name : CharsetNames())
        cCharset->Items()->Add(name);
    cCharset->SetItemIndex(0);
    cCharset->OnSelect = TNotifyEvent(this, &TfrmEdit::cCharsetSelect);
}

void TfrmEdit::BuildEditorArea()
{
    Panel4 = MakeControl<TPanel>(this, this, "Panel4");
    Panel4->SetAlign(alClient);
    Panel4->SetBevelOuter(bvNone);
    Editor = MakeControl<TQvEdit>(this, Panel4, "Editor");
    Editor->SetAlign(alClient);
}

void TfrmEdit::BuildStatusLine()
{
    Panel1 = MakeControl<TPanel>(this, this, "Panel1");
    Panel1->SetAlign(alBottom);
    Panel1->SetHeight(17);
    Panel1->SetBevelOuter(bvLowered);
    lblCurrentHightliter = MakeControl<TLabel>(this, Panel1, "lblCurrentHightliter");
    lblCurrentHightliter->SetAlign(alLeft);
    lblCurrentHightliter->SetCaption("Текущая подсветка:");
    CurSyntax = MakeControl<TLabel>(this, Panel1, "CurSyntax");
    CurSyntax->SetAlign(alLeft);
    CurSyntax->SetCaption(" HTML");
    LN1 = MakeControl<TLabel>(this, Panel1, "LN1");
    LN1->SetAutoSize(false);
    LN1->SetWidth(90);
    LN1->SetAlign(alRight);
    LN1->SetAlignment(taCenter);
    LN1->SetTransparent(true);
    LN1->Font()->SetStyle(fsBold);
    LN1->SetCaption("1/1");
}

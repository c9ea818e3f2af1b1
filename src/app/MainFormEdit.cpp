// The highlighter choice (by menu and by the file's extension), the edit and view
// commands, and the caret position in the status line.
#include "app/MainForm.h"
#include "app/MainFormParts.h"

#include "platform/controls/ComCtrls.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/FileCtrl.h"
#include "platform/controls/StdCtrls.h"
#include "platform/window/Menus.h"
#include "qvedit/editor/QvEdit.h"
#include "qvedit/highlighters/QvHighlighterCpp.h"
#include "qvedit/highlighters/QvHighlighterCss.h"
#include "qvedit/highlighters/QvHighlighterDfm.h"
#include "qvedit/highlighters/QvHighlighterJScript.h"
#include "qvedit/highlighters/QvHighlighterMulti.h"
#include "qvedit/highlighters/QvHighlighterPHP.h"
#include "qvedit/highlighters/QvHighlighterPerl.h"
#include "qvedit/highlighters/QvHighlighterSQL.h"
#include "qvedit/highlighters/QvHighlighterVBScript.h"
#include "qvedit/highlighters/QvHighlighterXML.h"

#include <string_view>

// ---- Highlighter choice ---------------------------------------------------------------------

void TfrmEdit::ChooseHighlighter(TMenuItem* Item, TQvCustomHighlighter* Highlighter,
                                 const std::string& StatusText)
{
    Editor->SetHighlighter(Highlighter);
    CurSyntax->SetCaption(StatusText);
    Item->SetDefault(true);
}

void TfrmEdit::HTML1Click(TObject*)
{
    ChooseHighlighter(HTML1, QvMultiHighlighter1, " HTML");
}

void TfrmEdit::PHP1Click(TObject*)
{
    ChooseHighlighter(PHP1, QvPHPHighlighter1, " PHP");
}

void TfrmEdit::Perl1Click(TObject*)
{
    ChooseHighlighter(Perl1, QvPerlHighlighter1, " Perl");
}

void TfrmEdit::XHTML1Click(TObject*)
{
    ChooseHighlighter(XHTML1, QvXMLHighlighter1, " XML");
}

void TfrmEdit::CSS1Click(TObject*)
{
    ChooseHighlighter(CSS1, QvCssHighlighter1, " CSS");
}

void TfrmEdit::JavaScript1Click(TObject*)
{
    ChooseHighlighter(JavaScript1, QvJScriptHighlighter1, " JavaScript");
}

void TfrmEdit::VBScript1Click(TObject*)
{
    ChooseHighlighter(VBScript1, QvVBScriptHighlighter1, " VisualBasic Script");
}

void TfrmEdit::SQL1Click(TObject*)
{
    ChooseHighlighter(SQL1, QvSQLHighlighter1, " SQL");
}

void TfrmEdit::C1Click(TObject*)
{
    ChooseHighlighter(C1, QvCppHighlighter1, " C++");
}

void TfrmEdit::DfmFiles1Click(TObject*)
{
    ChooseHighlighter(DfmFiles1, QvDfmHighlighter1, " Dfm form files");
}

std::string HighlighterExtension(const std::string& Path)
{
    const std::size_t last = Path.find_last_of("./");
    if (last == std::string::npos || Path[last] != '.')
        return {};
    return Path.substr(last);
}

void TfrmEdit::SelectHighlighterByExt()
{
    using TChoice = void (TfrmEdit::*)(TObject*);
    struct TRow {
        std::string_view Extension;
        TChoice Choice;
    };
    // Exact, case-sensitive matches; anything else is HTML.
    static const TRow table[] = {
        {".htm", &TfrmEdit::HTML1Click},         {".html", &TfrmEdit::HTML1Click},
        {".asp", &TfrmEdit::HTML1Click},         {".php", &TfrmEdit::PHP1Click},
        {".php4", &TfrmEdit::PHP1Click},         {".php3", &TfrmEdit::PHP1Click},
        {".phtml", &TfrmEdit::PHP1Click},        {".xml", &TfrmEdit::XHTML1Click},
        {".sml", &TfrmEdit::XHTML1Click},        {".bpr", &TfrmEdit::XHTML1Click},
        {".pl", &TfrmEdit::Perl1Click},          {".cgi", &TfrmEdit::Perl1Click},
        {".js", &TfrmEdit::JavaScript1Click},    {".vb", &TfrmEdit::VBScript1Click},
        {".sql", &TfrmEdit::SQL1Click},          {".mysql", &TfrmEdit::SQL1Click},
        {".cpp", &TfrmEdit::C1Click},            {".h", &TfrmEdit::C1Click},
        {".dfm", &TfrmEdit::DfmFiles1Click},     {".xfm", &TfrmEdit::DfmFiles1Click},
    };
    const std::string extension = HighlighterExtension(CurrentPath());
    for (const TRow& row : table) {
        if (row.Extension == extension) {
            (this->*row.Choice)(this);
            return;
        }
    }
    HTML1Click(this);
}

// ---- Edit commands ----------------------------------------------------------------------------

void TfrmEdit::mnuEditUndoClick(TObject*)
{
    Editor->Undo();
}

void TfrmEdit::mnuEditRedoClick(TObject*)
{
    Editor->Redo();
}

void TfrmEdit::mnuEditCutClick(TObject*)
{
    Editor->CutToClipboard();
}

void TfrmEdit::mnuEditCopyClick(TObject*)
{
    Editor->CopyToClipboard();
}

void TfrmEdit::mnuEditPasteClick(TObject*)
{
    Editor->PasteFromClipboard();
}

void TfrmEdit::mnuEditSelectAllClick(TObject*)
{
    Editor->SelectAll();
}

std::string AsciiCaseChanged(std::string Text, bool Upper)
{
    const char from = Upper ? 'a' : 'A';
    const char to = Upper ? 'A' : 'a';
    for (char& c : Text)
        if (c >= from && c <= from + 25)
            c = static_cast<char>(c - from + to);
    return Text;
}

void TfrmEdit::ChangeSelectionCase(bool Upper)
{
    const std::string selected = Editor->GetSelText();
    if (selected.empty())
        return;
    Editor->SetSelTextExternal(AsciiCaseChanged(selected, Upper));
}

void TfrmEdit::mnuEditBigCaseClick(TObject*)
{
    ChangeSelectionCase(true);
}

void TfrmEdit::mnuEditSmallCaseClick(TObject*)
{
    ChangeSelectionCase(false);
}

// ---- View commands -----------------------------------------------------------------------------

void TfrmEdit::ChooseBlockMode(TMenuItem* Item)
{
    for (TMenuItem* mode : {mnuViewBlockNormal, mnuViewBlockColumn, mnuViewBlockLine})
        mode->SetChecked(mode == Item);
    Item->SetDefault(true);
}

void TfrmEdit::mnuViewBlockNormalClick(TObject*)
{
    Editor->SetSelectionMode(smNormal);
    ChooseBlockMode(mnuViewBlockNormal);
}

void TfrmEdit::mnuViewBlockColumnClick(TObject*)
{
    Editor->SetSelectionMode(smColumn);
    ChooseBlockMode(mnuViewBlockColumn);
}

void TfrmEdit::mnuViewBlockLineClick(TObject*)
{
    Editor->SetSelectionMode(smLine);
    ChooseBlockMode(mnuViewBlockLine);
}

void TfrmEdit::mnuViewToolsClick(TObject*)
{
    const bool shown = !mnuViewTools->Checked();
    mnuViewTools->SetChecked(shown);
    PageControl1->SetVisible(shown);
    Splitter1->SetVisible(shown);
    PageControl1->SetWidth(185);
}

void TfrmEdit::mnuViewMenuClick(TObject*)
{
    const bool shown = !mnuViewMenu->Checked();
    mnuViewMenu->SetChecked(shown);
    ToolBar1->SetVisible(shown);
}

// ---- Status line -----------------------------------------------------------------------------

void TfrmEdit::ShowCaretPosition()
{
    LN1->SetCaption(std::to_string(Editor->GetCaretY()) + "/" + std::to_string(Editor->GetCaretX()));
}

void TfrmEdit::EditorKeyDown(TObject*, Word&, TShiftState)
{
    ShowCaretPosition();
}

void TfrmEdit::EditorMouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    ShowCaretPosition();
}

void TfrmEdit::Panel3Resize(TObject*)
{
    const int width = std::max(0, Panel3->Width() - 15);
    DriveComboBox1->SetWidth(width);
    FilterComboBox1->SetWidth(width);
}

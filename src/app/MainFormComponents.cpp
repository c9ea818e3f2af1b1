// The main window's components: the common dialogs, the language highlighters with their
// colours, the multi-language highlighter and its schemes, the two search engines, the
// editor's configuration and the print component.
#include "app/EditorSettings.h"
#include "app/MainForm.h"
#include "app/MainFormParts.h"

#include "platform/forms/CommonDialogs.h"
#include "platform/window/Menus.h"
#include "qvedit/core/QvEditKeyCmds.h"
#include "qvedit/editor/QvEdit.h"
#include "qvedit/highlighters/QvHighlighterCpp.h"
#include "qvedit/highlighters/QvHighlighterCss.h"
#include "qvedit/highlighters/QvHighlighterDfm.h"
#include "qvedit/highlighters/QvHighlighterHtml.h"
#include "qvedit/highlighters/QvHighlighterJScript.h"
#include "qvedit/highlighters/QvHighlighterMulti.h"
#include "qvedit/highlighters/QvHighlighterPHP.h"
#include "qvedit/highlighters/QvHighlighterPerl.h"
#include "qvedit/highlighters/QvHighlighterSQL.h"
#include "qvedit/highlighters/QvHighlighterVBScript.h"
#include "qvedit/highlighters/QvHighlighterXML.h"
#include "qvedit/print/QvEditPrint.h"
#include "qvedit/print/QvEditPrintMargins.h"
#include "qvedit/search/QvEditRegexSearch.h"
#include "qvedit/search/QvEditSearch.h"

namespace {

// The open and save dialogs' filter: 18 groups, the first selected when a dialog opens.
const char* const fileDialogFilter =
    "Web files (*.HTM;*.HTML;*.SHTM;*.SHTML;*.HTA;*.HTC;*.STM;*.SSI;*.JS;*.AS;*.ASC;*.ASR;*.XML;"
    "*.XSL;*.XSD;*.DTD;*.XSLT;*.LBI;*.DWT;*.ASP;*.ASPX;*.ASCX;*.ASMX;*.CONFIG;*.CS;*.CSS;*.CFM;"
    "*.CFML;*.CFC;*.TLD;*.TXT;*.PHP;*.PHP3;*.PHP4;*.LASSO;*.JSP;*.JSF;*.VB;*.VBS;*.VTM)|"
    "*.HTM;*.HTML;*.SHTM;*.SHTML;*.HTA;*.HTC;*.STM;*.SSI;*.JS;*.AS;*.ASC;*.ASR;*.XML;*.XSL;*.XSD;"
    "*.DTD;*.XSLT;*.LBI;*.DWT;*.ASP;*.ASPX;*.ASCX;*.ASMX;*.CONFIG;*.CS;*.CSS;*.CFM;*.CFML;*.CFC;"
    "*.TLD;*.TXT;*.PHP;*.PHP3;*.PHP4;*.LASSO;*.JSP;*.JSF;*.VB;*.VBS;*.VTM|"
    "HTML files (*.HTM;*.HTML;*.HTA;*.HTC)|*.HTM;*.HTML;*.HTA;*.HTC|"
    "Server-Side Includes (*.SHTM;*.SHTML;*.STM;*.SSI;*.INC)|*.SHTM;*.SHTML;*.STM;*.SSI;*.INC|"
    "JavaScript files (*.JS)|*.JS|"
    "XML files (*.XML;*.DTD;*.XSD;*.XSL;*.XSLT)|*.XML;*.DTD;*.XSD;*.XSL;*.XSLT|"
    "Style Sheets (*.CSS)|*.CSS|"
    "Active Server Pages (*.ASP)|*.ASP|"
    "Active Server Plus Pages (*.ASPX;*.ASCX;*.ASMX;*.CS;*.VB;*.CONFIG)|*.ASPX;*.ASCX;*.ASMX;*.CS;*.VB;*.CONFIG|"
    "ColdFusion (*.CFM;*.CFML;*.CFC)|*.CFM;*.CFML;*.CFC|"
    "Text files (*.TXT)|*.TXT|"
    "PHP files (*.PHP;*.PHP3;*.PHP4)|*.PHP;*.PHP3;*.PHP4|"
    "Java Server Pages (*.JSP;*.JST)|*.JSP;*.JST|"
    "Java files (*.JAVA)|*.JAVA|"
    "WML files (*.WML)|*.WML|"
    "EDML files (*.EDML)|*.EDML|"
    "VBScript files (*.VBS)|*.VBS|"
    "VTML files (*.VTM;*.VTML)|*.VTM;*.VTML|"
    "All files|*.*";

constexpr TFontStyles plain{};

void Paint(TQvHighlighterAttributes* Attri, TColor Foreground)
{
    Attri->SetForeground(Foreground);
}

void Paint(TQvHighlighterAttributes* Attri, TColor Foreground, TFontStyles Style)
{
    Attri->SetForeground(Foreground);
    Attri->SetStyle(Style);
}

void PaintHtml(TQvHTMLHighlighter* H)
{
    Paint(H->AndAttri(), clMaroon, fsBold | fsItalic);
    Paint(H->CommentAttri(), clGray, fsItalic);
    Paint(H->IdentifierAttri(), clNavy, plain);
    Paint(H->KeyAttri(), clNavy, plain);
    Paint(H->SymbolAttri(), clNavy);
    Paint(H->TextAttri(), clBlack);
    Paint(H->ValueAttri(), clBlue);
}

void PaintJScript(TQvJScriptHighlighter* H, TFontStyles NonReservedStyle)
{
    Paint(H->CommentAttri(), clGray);
    Paint(H->IdentifierAttri(), 0xE10000);
    Paint(H->NonReservedKeyAttri(), clNavy, NonReservedStyle);
    Paint(H->EventAttri(), clNavy);
    Paint(H->NumberAttri(), clMaroon);
    Paint(H->StringAttri(), clBlue);
}

}  // namespace

void TfrmEdit::BuildDialogs()
{
    OpenDialog1 = MakeComponent<TOpenDialog>(this, "OpenDialog1");
    OpenDialog1->SetFilter(fileDialogFilter);
    OpenDialog1->SetOptions(ofHideReadOnly | ofPathMustExist | ofFileMustExist | ofNoNetworkButton |
                            ofEnableSizing | ofForceShowHidden);
    SaveDialog1 = MakeComponent<TSaveDialog>(this, "SaveDialog1");
    SaveDialog1->SetFilter(fileDialogFilter);
    SaveDialog1->SetDefaultExt("htm");
    SaveDialog1->SetOptions(ofOverwritePrompt | ofHideReadOnly | ofPathMustExist | ofNoNetworkButton |
                            ofEnableSizing | ofForceShowHidden);
    ColorDialog1 = MakeComponent<TColorDialog>(this, "ColorDialog1");
    FontDialog1 = MakeComponent<TFontDialog>(this, "FontDialog1");
    PrintDialog1 = MakeComponent<TPrintDialog>(this, "PrintDialog1");
    PrinterSetupDialog1 = MakeComponent<TPrinterSetupDialog>(this, "PrinterSetupDialog1");
}

void TfrmEdit::BuildHighlighters()
{
    QvHTMLHighlighter1 = MakeComponent<TQvHTMLHighlighter>(this, "QvHTMLHighlighter1");
    PaintHtml(QvHTMLHighlighter1);
    QvHTMLHref = MakeComponent<TQvHTMLHighlighter>(this, "QvHTMLHref");
    PaintHtml(QvHTMLHref);

    QvPHPHighlighter1 = MakeComponent<TQvPHPHighlighter>(this, "QvPHPHighlighter1");
    Paint(QvPHPHighlighter1->CommentAttri(), clSilver);
    Paint(QvPHPHighlighter1->IdentifierAttri(), clNavy);
    Paint(QvPHPHighlighter1->InvalidSymbolAttri(), clRed);
    Paint(QvPHPHighlighter1->KeyAttri(), 0x0776FC);
    Paint(QvPHPHighlighter1->NumberAttri(), clMaroon);
    Paint(QvPHPHighlighter1->StringAttri(), clGreen);
    Paint(QvPHPHighlighter1->SymbolAttri(), clPurple);
    Paint(QvPHPHighlighter1->VariableAttri(), clNavy, fsBold);

    QvJScriptHighlighter1 = MakeComponent<TQvJScriptHighlighter>(this, "QvJScriptHighlighter1");
    PaintJScript(QvJScriptHighlighter1, fsBold);
    QvASPHighlighter1 = MakeComponent<TQvJScriptHighlighter>(this, "QvASPHighlighter1");
    PaintJScript(QvASPHighlighter1, plain);

    QvPerlHighlighter1 = MakeComponent<TQvPerlHighlighter>(this, "QvPerlHighlighter1");
    Paint(QvPerlHighlighter1->CommentAttri(), clGray);
    Paint(QvPerlHighlighter1->IdentifierAttri(), clNavy);
    Paint(QvPerlHighlighter1->InvalidAttri(), clRed);
    Paint(QvPerlHighlighter1->NumberAttri(), clMaroon);
    Paint(QvPerlHighlighter1->StringAttri(), clBlue);
    Paint(QvPerlHighlighter1->VariableAttri(), clNavy);

    QvXMLHighlighter1 = MakeComponent<TQvXMLHighlighter>(this, "QvXMLHighlighter1");
    Paint(QvXMLHighlighter1->TextAttri(), clNavy, plain);
    QvXMLHighlighter1->SetWantBracesParsed(false);

    QvVBScriptHighlighter1 = MakeComponent<TQvVBScriptHighlighter>(this, "QvVBScriptHighlighter1");
    Paint(QvVBScriptHighlighter1->CommentAttri(), clGreen);
    Paint(QvVBScriptHighlighter1->KeyAttri(), clNavy);
    Paint(QvVBScriptHighlighter1->StringAttri(), clBlue);

    QvCssHighlighter1 = MakeComponent<TQvCssHighlighter>(this, "QvCssHighlighter1");
    Paint(QvCssHighlighter1->CommentAttri(), clGray);
    Paint(QvCssHighlighter1->IdentifierAttri(), clGreen, fsBold);
    Paint(QvCssHighlighter1->KeyAttri(), clBlack, plain);
    Paint(QvCssHighlighter1->NumberAttri(), clMaroon);
    Paint(QvCssHighlighter1->StringAttri(), clNavy, fsBold);
    Paint(QvCssHighlighter1->SymbolAttri(), clNavy);

    QvSQLHighlighter1 = MakeComponent<TQvSQLHighlighter>(this, "QvSQLHighlighter1");
    Paint(QvSQLHighlighter1->CommentAttri(), clGray);
    Paint(QvSQLHighlighter1->FunctionAttri(), clPurple);
    Paint(QvSQLHighlighter1->IdentifierAttri(), clNavy, fsBold);
    Paint(QvSQLHighlighter1->NumberAttri(), clMaroon);
    Paint(QvSQLHighlighter1->StringAttri(), clBlue);
    Paint(QvSQLHighlighter1->SymbolAttri(), clNavy);
    Paint(QvSQLHighlighter1->TableNameAttri(), clPurple, fsBold);
    Paint(QvSQLHighlighter1->VariableAttri(), clBlue, fsItalic);
    QvSQLHighlighter1->SetSQLDialect(QvSQL::sqlSybase);

    QvCppHighlighter1 = MakeComponent<TQvCppHighlighter>(this, "QvCppHighlighter1");
    Paint(QvCppHighlighter1->CommentAttri(), clNavy);
    Paint(QvCppHighlighter1->DirecAttri(), clGreen);
    Paint(QvCppHighlighter1->InvalidAttri(), clRed, fsBold);
    Paint(QvCppHighlighter1->NumberAttri(), clMaroon);
    Paint(QvCppHighlighter1->StringAttri(), clNavy);

    QvDfmHighlighter1 = MakeComponent<TQvDfmHighlighter>(this, "QvDfmHighlighter1");
    Paint(QvDfmHighlighter1->CommentAttri(), clGray);
    Paint(QvDfmHighlighter1->IdentifierAttri(), clNavy);
    Paint(QvDfmHighlighter1->NumberAttri(), clMaroon);
    Paint(QvDfmHighlighter1->StringAttri(), clBlue);
    Paint(QvDfmHighlighter1->SymbolAttri(), clPurple);

    BuildMultiHighlighter();
    QvEditSearch1 = MakeComponent<TQvEditSearch>(this, "QvEditSearch1");
    QvEditRegexSearch1 = MakeComponent<TQvEditRegexSearch>(this, "QvEditRegexSearch1");
}

void TfrmEdit::BuildMultiHighlighter()
{
    QvMultiHighlighter1 = MakeComponent<TQvMultiHighlighter>(this, "QvMultiHighlighter1");
    QvMultiHighlighter1->SetDefaultHighlighter(QvHTMLHighlighter1);
    QvMultiHighlighter1->SetDefaultLanguageName("HTML");
    struct TSchemeRow {
        const char* Name;
        bool CaseSensitive;
        const char* StartExpr;
        const char* EndExpr;
        TQvCustomHighlighter* Highlighter;
        bool OwnMarker;  // false: the marker attribute keeps its defaults
        TColor Background;
        TColor Foreground;
        TFontStyles Style;
    };
    const TSchemeRow rows[] = {
        {"Html", false, "", "", QvHTMLHighlighter1, false, clNone, clNone, plain},
        {"Js", false, "<script(.*)>", "</script(.*)>", QvJScriptHighlighter1, true, clNone, clMaroon, plain},
        {"VBS", false, "<script(.*) language=(.*)vbscript(.*)>", "</script(.*)>", QvVBScriptHighlighter1,
         false, clNone, clNone, plain},
        {"Css", false, "<style(.*)>", "</style(.*)>", QvCssHighlighter1, true, clNone, 1618925, fsBold},
        {"AHref", false, "<a (.*)>", "</a>", QvHTMLHref, true, clNone, clTeal, plain},
        {"ASP", true, "<%", "%>", QvASPHighlighter1, true, clYellow, clNavy, fsBold},
        {"PHP", true, "<php", ">", QvPHPHighlighter1, true, clNone, clRed, fsBold | fsItalic},
    };
    for (const TSchemeRow& row : rows) {
        TScheme* scheme = QvMultiHighlighter1->GetSchemes()->Add();
        scheme->SetSchemeName(row.Name);
        scheme->SetCaseSensitive(row.CaseSensitive);
        scheme->SetStartExpr(row.StartExpr);
        scheme->SetEndExpr(row.EndExpr);
        scheme->SetHighlighter(row.Highlighter);
        if (row.OwnMarker) {
            TQvHighlighterAttributes* marker = scheme->GetMarkerAttri();
            marker->SetBackground(row.Background);
            marker->SetForeground(row.Foreground);
            marker->SetStyle(row.Style);
        }
    }
}

void TfrmEdit::ConfigureEditor()
{
    TFont font;
    font.SetName("Courier New");
    font.SetHeight(-13);
    font.SetColor(clWindowText);
    Editor->SetFont(&font);
    Editor->SetHighlighter(QvMultiHighlighter1);
    Editor->SetSearchEngine(QvEditSearch1);
    ApplyEditingSettings(*Editor);
    Editor->SetActiveLineColor(0xF4F4F4);

    TQvGutter* gutter = Editor->GetGutter();
    gutter->SetAutoSize(true);
    gutter->SetColor(clSkyBlue);
    gutter->SetDigitCount(2);
    gutter->SetShowLineNumbers(true);
    gutter->GetFont()->SetName("Microsoft Sans Serif");
    gutter->GetFont()->SetHeight(-11);
    gutter->GetFont()->SetColor(clBlack);
    Editor->GetSelectedColor()->SetBackground(clSkyBlue);
    Editor->GetSelectedColor()->SetForeground(clNavy);

    // F1 gives no editor command; Ctrl+F1 is context help.
    TQvEditKeyStrokes* keys = Editor->GetKeystrokes();
    const int f1 = keys->FindKeycode(VK_F1, 0);
    if (f1 >= 0)
        keys->Delete(f1);
    keys->AddKey(ecContextHelp, VK_F1, ssCtrl);

    Editor->SetPopupMenu(PopupMenu1);
    Editor->OnKeyDown = TKeyEvent(this, &TfrmEdit::EditorKeyDown);
    Editor->OnKeyUp = TKeyEvent(this, &TfrmEdit::EditorKeyDown);
    Editor->OnMouseDown = TMouseEvent(this, &TfrmEdit::EditorMouseDown);
    Editor->OnMouseUp = TMouseEvent(this, &TfrmEdit::EditorMouseDown);
    Editor->OnDropFiles = TDropFilesEvent(this, &TfrmEdit::EditorDropFiles);
}

void TfrmEdit::BuildPrintComponent()
{
    QvEditPrint1 = MakeComponent<TQvEditPrint>(this, "QvEditPrint1");
    QvEditPrint1->SetCopies(1);
    TFont font;
    font.SetName("Arial");
    font.SetHeight(-13);
    font.SetColor(clBlack);
    QvEditPrint1->GetHeader()->SetDefaultFont(&font);
    QvEditPrint1->GetFooter()->SetDefaultFont(&font);
    TQvEditPrintMargins* margins = QvEditPrint1->GetMargins();
    margins->SetLeft(5);
    margins->SetRight(5);
    margins->SetTop(5);
    margins->SetBottom(5);
    margins->SetHeader(5);
    margins->SetFooter(5);
    margins->SetLeftHFTextIndent(2);
    margins->SetRightHFTextIndent(2);
    margins->SetHFInternalMargin(0.5);
    margins->SetMirrorMargins(false);
    font.SetName("Courier New");
    font.SetHeight(-11);
    font.SetColor(clWindowText);
    QvEditPrint1->SetFont(&font);
    QvEditPrint1->SetDocTitle("Quorvel");
    QvEditPrint1->SetTabWidth(8);
    QvEditPrint1->SetColor(clWhite);
}

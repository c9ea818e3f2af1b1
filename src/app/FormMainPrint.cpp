// The main window's printing, printer set-up, print line numbers and preview commands.
#include "app/MainForm.h"
#include "platform/forms/CommonDialogs.h"
#include "platform/runtime/CodePages.h"
#include "platform/window/Menus.h"
#include "platform/window/Shell.h"
#include "qvedit/core/QvEditTextBuffer.h"
#include "qvedit/editor/QvEdit.h"
#include "qvedit/print/QvEditPrint.h"

// The print component takes a copy of the text with the window's title, the copies
// chosen, the editor's character set and highlighter; its margins, font and header come
// from the window's set-up.
void TfrmEdit::mnuFilePrintClick(TObject*)
{
    if (!PrintDialog1->Execute())
        return;
    QvEditPrint1->SetLines(Editor->GetLines());
    QvEditPrint1->SetTitle(Utf8ToAnsi(Caption()));  // printed text is ANSI bytes
    QvEditPrint1->SetCopies(PrintDialog1->GetCopies());
    QvEditPrint1->GetFont()->SetCharset(Editor->GetFont()->GetCharset());
    QvEditPrint1->SetHighlighter(Editor->GetHighlighter());
    QvEditPrint1->Print();
}

void TfrmEdit::mnuFilePrinterSettingsClick(TObject*)
{
    PrinterSetupDialog1->Execute();
}

void TfrmEdit::mnuFilePrinterParamLineNumbersClick(TObject*)
{
    mnuFilePrinterParamLineNumbers->SetChecked(!mnuFilePrinterParamLineNumbers->Checked());
    QvEditPrint1->SetLineNumbers(mnuFilePrinterParamLineNumbers->Checked());
}

// The text goes to preview.html in the program's folder, replacing an earlier one, and
// the desktop opens it in the browser. When the file cannot be written the error says
// so and the browser is not asked; a browser that fails to start is not reported.
void TfrmEdit::mnuFilePreviewClick(TObject*)
{
    const std::string path = ProgramFolder() + "preview.html";
    Editor->GetLines()->SaveToFile(path);
    ShellExecute(Handle(), "open", path, "", "", SW_HIDE);
}

// The main window's insertion commands: the fragment buttons of the side pane, the
// quote-escaping buttons, the tag and attribute lists, the colour box, and the Insert
// menu's colour, font and date-time items. Every text goes into the editor as one undo
// step, replacing the selection or at the caret.
#include "app/Global.h"
#include "app/Insertions.h"
#include "app/MainForm.h"
#include "app/MainFormParts.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/forms/CommonDialogs.h"
#include "platform/runtime/SysUtils.h"
#include "qvedit/editor/QvEdit.h"
#include "qvedit/search/QvEditSearch.h"

namespace {

void FocusEditor(TQvEdit* Editor)
{
    if (Editor->CanFocus())
        Editor->SetFocus();
}

// Inserts " " and the insert list's row at the shown list's selected row; nothing when
// no row is selected (a double click on the empty part of the list).
void InsertListRow(TQvEdit* Editor, TListBox* Shown, TListBox* Insert)
{
    const int index = Shown->ItemIndex();
    if (index < 0 || index >= Insert->Items()->Count())
        return;
    Editor->SetSelTextExternal(" " + Insert->Items()->Strings(index));
    FocusEditor(Editor);
}

}  // namespace

void TfrmEdit::FragmentButtonClick(TObject* Sender)
{
    const auto* button = dynamic_cast<TComponent*>(Sender);
    const TInsertion* insertion = button != nullptr ? FindInsertion(button->Name()) : nullptr;
    if (insertion == nullptr)
        return;
    Editor->SetSelTextExternal(InsertionText(*insertion, Editor->GetSelText()));
    FocusEditor(Editor);
}

// Escapes the quotes of the selection, or from the caret to the end of the text when
// nothing is selected: the button captioned \" puts a backslash before every double
// quote, the one captioned \' before every single quote. The plain engine does it
// whatever engine the find dialog chose, since a regular expression's replacement would
// read the backslash as an escape and write the bare quote back; the editor keeps the
// engine it had.
void TfrmEdit::SpeedButton71Click(TObject* Sender)
{
    const auto* button = dynamic_cast<TComponent*>(Sender);
    const std::string quote = button != nullptr && button->Name() == "SpeedButton72" ? "'" : "\"";
    TQvEditSearchCustom* previous = Editor->GetSearchEngine();
    Editor->SetSearchEngine(QvEditSearch1);
    try {
        Editor->SearchReplace(quote, "\\" + quote, TQvSearchOptions{ssoSelectedOnly, ssoReplaceAll});
    } catch (...) {
        Editor->SetSearchEngine(previous);
        throw;
    }
    Editor->SetSearchEngine(previous);
}

void TfrmEdit::HTMLTagsItemsDblClick(TObject*)
{
    InsertListRow(Editor, HTMLTagsItems, HTMLTagsInsert);
}

void TfrmEdit::HTMLAttriItemsDblClick(TObject*)
{
    InsertListRow(Editor, HTMLAttriItems, HTMLAttriInsert);
}

void TfrmEdit::ColorBox1Select(TObject*)
{
    Editor->SetSelTextExternal(HtmlColorText(ColorBox1->Selected()));
    FocusEditor(Editor);
}

void TfrmEdit::mnuInsertColorClick(TObject*)
{
    if (ColorDialog1->Execute())
        Editor->SetSelTextExternal(HtmlColorText(ColorDialog1->GetColor()));
}

void TfrmEdit::mnuInsertFontClick(TObject*)
{
    if (!FontDialog1->Execute())
        return;
    const std::string name = FontDialog1->Font()->GetName();
    if (!name.empty())
        Editor->SetSelTextExternal(name);
}

// The short date and the long time, the time also at midnight.
void TfrmEdit::mnuInsertDateAndTimeClick(TObject*)
{
    const TDateTime now = Now();
    Editor->SetSelTextExternal(DateToStr(now) + " " + TimeToStr(now));
}

// The main window's Bookmarks menu and its choice of the editor font's character set.
//
// The bookmark items show only what these handlers did: item n of "Поставить" reads "+"
// while bookmark n is set through it, and the items of n in "Перейти" and "Удалить" are
// shown only then.
#include "app/MainForm.h"
#include "app/MainFormParts.h"
#include "platform/controls/StdCtrls.h"
#include "platform/window/Menus.h"
#include "qvedit/editor/QvEdit.h"

namespace {

// The bookmark number (or list row) an item carries as its Tag; -1 for another sender.
int TagOf(TObject* Sender)
{
    const auto* component = dynamic_cast<TComponent*>(Sender);
    return component != nullptr ? static_cast<int>(component->Tag()) : -1;
}

bool IsBookmarkSlot(int N)
{
    return N >= 0 && N <= 9;
}

}  // namespace

void TfrmEdit::BookmarkGoClick(TObject* Sender)
{
    const int n = TagOf(Sender);
    if (IsBookmarkSlot(n))
        Editor->GotoBookMark(n);
}

void TfrmEdit::BookmarkSetClick(TObject* Sender)
{
    const int n = TagOf(Sender);
    if (!IsBookmarkSlot(n))
        return;
    Editor->SetBookMark(n, 0, Editor->GetCaretY());
    s[n]->SetCaption("+");
    p[n]->SetVisible(true);
    d[n]->SetVisible(true);
}

void TfrmEdit::BookmarkClearClick(TObject* Sender)
{
    const int n = TagOf(Sender);
    if (!IsBookmarkSlot(n))
        return;
    Editor->ClearBookMark(n);
    s[n]->SetCaption("");
    p[n]->SetVisible(false);
    d[n]->SetVisible(false);
}

void TfrmEdit::mnuBookmarksClearClick(TObject*)
{
    for (TMenuItem* item : d)
        BookmarkClearClick(item);
}

// The first name of the list equal to the combo box's text chooses the character set;
// a text equal to none changes nothing.
void TfrmEdit::cCharsetSelect(TObject*)
{
    const std::string text = cCharset->Text();
    for (std::size_t i = 0; i < CharsetNames().size(); ++i) {
        if (text == CharsetNames()[i]) {
            Editor->GetFont()->SetCharset(CharsetValues()[i]);
            return;
        }
    }
}

void TfrmEdit::CharsetItemClick(TObject* Sender)
{
    const int row = TagOf(Sender);
    if (row < 0 || row >= static_cast<int>(CharsetNames().size()))
        return;
    MakeSidePage(tCoding);  // the coding page's list shows the character set chosen
    cCharset->SetItemIndex(row);
    cCharsetSelect(cCharset);
}

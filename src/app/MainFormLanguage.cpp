// The language menu and the retitling of the main window and its two small dialogs from a
// language file.
//
// The menu lists the files of the program's own languages folder, the folder the loader
// reads, and each item loads exactly the file it was made for. A language file that is
// missing or unreadable is reported and retitles nothing; a key the file lacks leaves
// its caption as it is, so a partial translation never blanks a menu.
#include "app/MainForm.h"
#include "app/MainFormParts.h"

#include "app/FormGoTo.h"
#include "app/FormSearch.h"
#include "app/LanguageFile.h"
#include "platform/controls/ComCtrls.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/forms/Dialogs.h"
#include "platform/window/Menus.h"

namespace {

// The form whose controls a section of the language file retitles.
TForm* FormOfSection(TfrmEdit* Main, const std::string& Section)
{
    if (Section == "SearchForm")
        return frmSearch;
    if (Section == "GoTo")
        return frmGoTo;
    return Main;
}

TComponent* FindNamed(TForm* Form, const std::string& Name)
{
    if (Form == nullptr)
        return nullptr;
    return Form->Name() == Name ? Form : Form->FindComponent(Name);
}

}  // namespace

std::string CaptionOf(TComponent* Component)
{
    if (auto* item = dynamic_cast<TMenuItem*>(Component))
        return item->Caption();
    if (auto* form = dynamic_cast<TForm*>(Component))
        return form->Caption();
    std::string ansi;
    if (auto* label = dynamic_cast<TLabel*>(Component))
        ansi = label->Caption();
    else if (auto* button = dynamic_cast<TButton*>(Component))
        ansi = button->Caption();
    else if (auto* check = dynamic_cast<TCheckBox*>(Component))
        ansi = check->Caption();
    else if (auto* radio = dynamic_cast<TRadioButton*>(Component))
        ansi = radio->Caption();
    else if (auto* group = dynamic_cast<TGroupBox*>(Component))
        ansi = group->Caption();
    else if (auto* page = dynamic_cast<TTabSheet*>(Component))
        ansi = page->Caption();
    else if (auto* speed = dynamic_cast<TSpeedButton*>(Component))
        ansi = speed->Caption();
    return AnsiToUtf8(ansi);
}

void SetCaptionOf(TComponent* Component, const std::string& Utf8)
{
    const std::string ansi = AnsiCaption(Utf8);
    if (auto* item = dynamic_cast<TMenuItem*>(Component))
        item->SetCaption(Utf8);
    else if (auto* form = dynamic_cast<TForm*>(Component))
        form->SetCaption(Utf8);
    else if (auto* label = dynamic_cast<TLabel*>(Component))
        label->SetCaption(ansi);
    else if (auto* button = dynamic_cast<TButton*>(Component))
        button->SetCaption(ansi);
    else if (auto* check = dynamic_cast<TCheckBox*>(Component))
        check->SetCaption(ansi);
    else if (auto* radio = dynamic_cast<TRadioButton*>(Component))
        radio->SetCaption(ansi);
    else if (auto* group = dynamic_cast<TGroupBox*>(Component))
        group->SetCaption(ansi);
    else if (auto* page = dynamic_cast<TTabSheet*>(Component))
        page->SetCaption(ansi);
    else if (auto* speed = dynamic_cast<TSpeedButton*>(Component))
        speed->SetCaption(ansi);
}

void TfrmEdit::FillLanguageMenu()
{
    languageFiles_ = FindLanguageFiles(programFolder_ + "languages");
    for (std::size_t i = 0; i < languageFiles_.size(); ++i) {
        TMenuItem* item = AddMenuItem(mnuLanguage, "", LiteralCaption(languageFiles_[i].Caption), scNone,
                                      &TfrmEdit::OnLanguageSelection);
        item->SetTag(static_cast<long>(i));
    }
}

void TfrmEdit::OnLanguageSelection(TObject* Sender)
{
    const auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (item == nullptr || item->Tag() < 0 || static_cast<std::size_t>(item->Tag()) >= languageFiles_.size())
        return;
    txtLang->SetText(languageFiles_[static_cast<std::size_t>(item->Tag())].Path);
    LoadLanguage();
}

void TfrmEdit::LoadLanguage()
{
    std::unique_ptr<TLanguageFile> file;
    try {
        file = std::make_unique<TLanguageFile>(txtLang->Text());
    } catch (const ELanguageFileError& error) {
        MessageBox(error.Message(), Application->Title(), MB_OK);
        return;
    }
    const TMenuUpdate update(MainMenu1);
    bool popupsCopied = false;
    for (const TLanguageRead& read : LanguageReads()) {
        if (!popupsCopied && std::string_view(read.Section) != "MainForm") {
            for (const TPopupCaptionCopy& copy : PopupCaptionCopies())
                SetCaptionOf(FindControl(copy.Popup), CaptionOf(FindControl(copy.MenuItem)));
            popupsCopied = true;
        }
        TForm* form = FormOfSection(this, read.Section);
        TComponent* control = FindNamed(form, read.Control);
        if (control == nullptr)
            continue;
        const std::string text = file->Caption(read.Section, read.Key, CaptionOf(control));
        SetCaptionOf(control, text);
        if (read.Also == nullptr)
            continue;
        TComponent* also = FindNamed(form, read.Also);
        if (read.AlsoTarget == TLanguageTarget::Hint) {
            if (auto* control2 = dynamic_cast<TControl*>(also))
                control2->SetHint(text);
        } else if (also != nullptr) {
            SetCaptionOf(also, text);
        }
    }
}

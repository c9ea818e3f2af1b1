// The language menu and the retitling of the main window and its two small dialogs from a
// language file; the window system's own buttons and dialogs follow the file's language.
//
// The menu lists the files of the program's own languages folder, the folder the loader
// reads, and each item loads exactly the file it was made for. The whole file is read
// before the first caption changes: a language file that is missing, unreadable or fails
// part way is reported once and retitles nothing, and the language in use stays the one
// remembered; a key the file lacks leaves its caption as it is, so a partial translation
// never blanks a menu. A side-pane page or a dialog made after a load gets, when it is
// made, the titles the loads gave its controls.
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

void SetTitle(TComponent* Control, const std::string& Text, TLanguageTarget Target)
{
    if (Target == TLanguageTarget::Hint) {
        if (auto* control = dynamic_cast<TControl*>(Control))
            control->SetHint(Text);
    } else {
        SetCaptionOf(Control, Text);
    }
}

}  // namespace

namespace {

// Calls Action with Component as the first of Classes that it is; false when it is none.
template <class... Classes, class Action>
bool VisitAs(TComponent* Component, Action&& action)
{
    auto tryOne = [&](auto* typed) {
        if (typed == nullptr)
            return false;
        action(*typed);
        return true;
    };
    return (tryOne(dynamic_cast<Classes*>(Component)) || ...);
}

// Calls Action with Component as the captioned class it is; false when it has no caption.
template <class Action>
bool VisitCaptioned(TComponent* Component, Action&& action)
{
    return VisitAs<TMenuItem, TForm, TLabel, TButton, TCheckBox, TRadioButton, TGroupBox, TTabSheet,
                   TSpeedButton>(Component, action);
}

}  // namespace

std::string CaptionOf(TComponent* Component)
{
    std::string caption;
    VisitCaptioned(Component, [&](auto& captioned) { caption = captioned.Caption(); });
    return caption;
}

void SetCaptionOf(TComponent* Component, const std::string& Utf8)
{
    VisitCaptioned(Component, [&](auto& captioned) { captioned.SetCaption(Utf8); });
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
    const std::string previous = txtLang->Text();
    txtLang->SetText(languageFiles_[static_cast<std::size_t>(item->Tag())].Path);
    if (!LoadLanguage())
        txtLang->SetText(previous);
}

bool TfrmEdit::LoadLanguage()
{
    std::unique_ptr<TLanguageFile> file;
    try {
        file = std::make_unique<TLanguageFile>(txtLang->Text());
    } catch (const ELanguageFileError& error) {
        MessageBox(error.Message(), Application->Title(), MB_OK);
        return false;
    }
    // The window system's own buttons and dialogs speak the same language.
    Application->SetLanguage(LanguageNameOf(file->Path()));
    const TMenuUpdate update(MainMenu1);
    bool popupsCopied = false;
    for (const TLanguageRead& read : LanguageReads()) {
        if (!popupsCopied && std::string_view(read.Section) != "MainForm") {
            for (const TPopupCaptionCopy& copy : PopupCaptionCopies())
                SetCaptionOf(FindControl(copy.Popup), CaptionOf(FindControl(copy.MenuItem)));
            popupsCopied = true;
        }
        TForm* form = FormOfSection(this, read.Section);
        // A control of a side-pane page or a dialog not made yet takes its title when made.
        const bool madeLater = form == this || form == nullptr;
        auto title = [&](const char* Name, const std::string& Text, TLanguageTarget Target) {
            if (TComponent* control = FindNamed(form, Name))
                SetTitle(control, Text, Target);
            else if (madeLater)
                pendingTitles_[{read.Section, Name}] = {Text, Target};
        };
        // A key the file lacks leaves the caption the control has, or will have.
        std::optional<std::string> text = file->Find(read.Section, read.Key);
        if (!text) {
            if (TComponent* control = FindNamed(form, read.Control))
                text = CaptionOf(control);
            else if (const auto pending = pendingTitles_.find({read.Section, read.Control});
                     madeLater && pending != pendingTitles_.end())
                text = pending->second.Text;
            else
                continue;
        }
        title(read.Control, *text, TLanguageTarget::Caption);
        if (read.Also != nullptr)
            title(read.Also, *text, read.AlsoTarget);
    }
    return true;
}

void TfrmEdit::ApplyPendingTitles()
{
    for (auto pending = pendingTitles_.begin(); pending != pendingTitles_.end();) {
        const auto& [section, name] = pending->first;
        if (TComponent* control = FindNamed(FormOfSection(this, section), name)) {
            SetTitle(control, pending->second.Text, pending->second.Target);
            pending = pendingTitles_.erase(pending);
        } else {
            ++pending;
        }
    }
}

// The template expander: on its shortcut (Shift+Space) it replaces the token typed before
// the caret by the template listed for it, typed through the editor's own commands and
// indented to the column where the token began, with the caret where the template marks
// it. The expansion is one undo step.
//
// Template list: a line that does not begin with "=" names a token; the lines after it
// that begin with "=" are its template, one line of text each without the "="; a tab in
// them is typed as a tab, and the last "|" marks where the caret ends (the "|" is
// removed). The template ends at the first line that is empty or does not begin with "=".
// A token is looked up among all the lines, so a line beginning with "=" names the
// template of the lines after it too.
#pragma once

#include "platform/runtime/Classes.h"
#include "platform/window/Controls.h"
#include "platform/window/Keys.h"

#include <memory>
#include <string>

class TCustomQvEdit;

class TQvAutoComplete : public TComponent {
public:
    explicit TQvAutoComplete(TComponent* AOwner);
    ~TQvAutoComplete() override;

    TCustomQvEdit* Editor() const { return editor_; }
    void SetEditor(TCustomQvEdit* Value);
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut Value) { shortCut_ = Value; }
    TStrings* AutoCompleteList() const { return autoCompleteList_.get(); }
    void SetAutoCompleteList(TStrings* Value);
    // The characters that end a token besides blanks and control characters.
    const std::string& EndOfTokenChr() const { return endOfTokenChr_; }
    void SetEndOfTokenChr(const std::string& Value) { endOfTokenChr_ = Value; }

    // Expands Token in AEditor when a template is listed for it (names compare ignoring
    // case); true when it did.
    bool Execute(const std::string& Token, TCustomQvEdit* AEditor);
    // The token left of the caret; empty when the caret is past the end of its line.
    std::string GetPreviousToken(TCustomQvEdit* AEditor) const;
    // Every template's name, trimmed, each followed by a line break.
    std::string GetTokenList() const;
    // The template text of Token, its lines joined by line breaks; "" when not listed.
    std::string GetTokenValue(const std::string& Token) const;

    TNotifyEvent OnBeforeExecute;
    TNotifyEvent OnAfterExecute;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual void EditorKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    virtual void EditorKeyPress(TObject* Sender, char& Key);

private:
    // The index of the first line equal to Token ignoring case; -1 when none is.
    int FindToken(const std::string& Token) const;
    void Expand(int NameLine, const std::string& Token, TCustomQvEdit* AEditor);
    void Unbind();

    TShortCut shortCut_ = scShift | VK_SPACE;
    TCustomQvEdit* editor_ = nullptr;
    std::unique_ptr<TStringList> autoCompleteList_;
    bool swallowNextChar_ = false;
    std::string endOfTokenChr_ = "()[]. ";
};

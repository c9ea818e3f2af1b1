// The template expander: its shortcut in the bound editor, the template list and the
// expansion through the editor's commands between two undo records that make it one step.
#include "qvedit/completion/QvAutoComplete.h"

#include "platform/runtime/SysUtils.h"
#include "qvedit/editor/QvEdit.h"

#include <algorithm>

namespace {

bool IsTemplateLine(const std::string& Line)
{
    return !Line.empty() && Line[0] == '=';
}

// The indent that reaches the display column after Width columns: tabs and then blanks
// when the editor keeps tabs and a tab fits, blanks otherwise.
std::string IndentOf(Integer Width, const TCustomQvEdit& Editor)
{
    const Integer tabWidth = Editor.GetTabWidth();
    if (!Editor.GetOptions().Contains(eoTabsToSpaces) && tabWidth <= Width)
        return std::string(static_cast<std::size_t>(Width / tabWidth), '\t') +
               std::string(static_cast<std::size_t>(Width % tabWidth), ' ');
    return std::string(static_cast<std::size_t>(std::max<Integer>(Width, 0)), ' ');
}

// Types the characters as the keyboard would: tabs through ecTab, the rest as ecChar.
void TypeText(TCustomQvEdit& Editor, const std::string& Text)
{
    for (char c : Text) {
        if (c == '\t')
            Editor.CommandProcessor(ecTab, '\0', nullptr);
        else
            Editor.CommandProcessor(ecChar, c, nullptr);
    }
}

}  // namespace

TQvAutoComplete::TQvAutoComplete(TComponent* AOwner)
    : TComponent(AOwner), autoCompleteList_(std::make_unique<TStringList>())
{
}

TQvAutoComplete::~TQvAutoComplete()
{
    Unbind();
    BeforeDestruction();
}

void TQvAutoComplete::SetEditor(TCustomQvEdit* Value)
{
    if (Value == editor_)
        return;
    Unbind();
    editor_ = Value;
    if (editor_ == nullptr)
        return;
    editor_->FreeNotification(this);
    editor_->AddKeyDownHandler(TKeyEvent(this, &TQvAutoComplete::EditorKeyDown));
    editor_->AddKeyPressHandler(TKeyPressEvent(this, &TQvAutoComplete::EditorKeyPress));
}

void TQvAutoComplete::Unbind()
{
    if (editor_ == nullptr)
        return;
    editor_->RemoveKeyDownHandler(TKeyEvent(this, &TQvAutoComplete::EditorKeyDown));
    editor_->RemoveKeyPressHandler(TKeyPressEvent(this, &TQvAutoComplete::EditorKeyPress));
    editor_->RemoveFreeNotification(this);
    editor_ = nullptr;
}

void TQvAutoComplete::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && editor_ != nullptr && AComponent == static_cast<TComponent*>(editor_))
        Unbind();
}

void TQvAutoComplete::SetAutoCompleteList(TStrings* Value)
{
    autoCompleteList_->Assign(Value);
}

// ---- Keys ------------------------------------------------------------------------------------

void TQvAutoComplete::EditorKeyDown(TObject* Sender, Word& Key, TShiftState Shift)
{
    // A character awaited from an earlier key that typed none is not coming any more.
    swallowNextChar_ = false;
    auto* editor = dynamic_cast<TCustomQvEdit*>(Sender);
    Word key = 0;
    TShiftState shift = 0;
    ShortCutToKey(shortCut_, key, shift);
    if (shortCut_ == scNone || editor == nullptr || Key != key || Shift != shift || editor->GetReadOnly())
        return;
    // The shortcut is the expander's whether or not the token has a template: it never
    // types its blank.
    Execute(GetPreviousToken(editor), editor);
    swallowNextChar_ = true;
    Key = 0;
}

void TQvAutoComplete::EditorKeyPress(TObject*, char& Key)
{
    if (!swallowNextChar_)
        return;
    swallowNextChar_ = false;
    Key = '\0';
}

// ---- Templates -------------------------------------------------------------------------------

std::string TQvAutoComplete::GetPreviousToken(TCustomQvEdit* AEditor) const
{
    const std::string line = AEditor->GetLineText();
    const Integer caretX = AEditor->GetCaretX();
    if (caretX - 1 > static_cast<Integer>(line.size()))
        return std::string();
    Integer i = caretX - 1;  // the 1-based index of the character looked at
    while (i >= 1) {
        const char c = line[static_cast<std::size_t>(i - 1)];
        if (static_cast<unsigned char>(c) <= ' ' || endOfTokenChr_.find(c) != std::string::npos)
            break;
        --i;
    }
    return line.substr(static_cast<std::size_t>(i), static_cast<std::size_t>(caretX - 1 - i));
}

int TQvAutoComplete::FindToken(const std::string& Token) const
{
    // The first line that reads like the token, ignoring case: any line may name a template.
    // No token names nothing: an empty line only separates templates.
    return Token.empty() ? -1 : autoCompleteList_->IndexOf(Token);
}

std::string TQvAutoComplete::GetTokenList() const
{
    std::string names;
    for (int i = 0; i < autoCompleteList_->Count(); ++i) {
        const std::string line = autoCompleteList_->Strings(i);
        if (!line.empty() && !IsTemplateLine(line))
            names += Trim(line) + "\r\n";
    }
    return names;
}

std::string TQvAutoComplete::GetTokenValue(const std::string& Token) const
{
    const int name = FindToken(Token);
    if (name < 0)
        return std::string();
    std::string value;
    for (int i = name + 1; i < autoCompleteList_->Count() && IsTemplateLine(autoCompleteList_->Strings(i)); ++i) {
        if (i > name + 1)
            value += "\r\n";
        value += autoCompleteList_->Strings(i).substr(1);
    }
    return value;
}

bool TQvAutoComplete::Execute(const std::string& Token, TCustomQvEdit* AEditor)
{
    if (OnBeforeExecute)
        OnBeforeExecute(this);
    const int name = AEditor != nullptr ? FindToken(Token) : -1;
    if (name >= 0)
        Expand(name, Token, AEditor);
    if (OnAfterExecute)
        OnAfterExecute(this);
    return name >= 0;
}

void TQvAutoComplete::Expand(int NameLine, const std::string& Token, TCustomQvEdit* AEditor)
{
    TCustomQvEdit& editor = *AEditor;
    const TQvEditorOptions savedOptions = editor.GetOptions();
    const bool switchOff = savedOptions.Contains(eoAutoIndent) || savedOptions.Contains(eoTrimTrailingSpaces);
    const auto finish = [&] {
        if (switchOff)
            editor.SetOptions(savedOptions);
        editor.GetUndoList()->AddChange(crAutoCompleteEnd, editor.GetCaretXY(), editor.GetCaretXY(), std::string(),
                                        smNormal);
        swallowNextChar_ = false;
    };
    if (switchOff) {
        TQvEditorOptions options = savedOptions;
        options.Exclude(eoAutoIndent);
        options.Exclude(eoTrimTrailingSpaces);
        editor.SetOptions(options);
    }
    editor.GetUndoList()->AddChange(crAutoCompleteBegin, editor.GetCaretXY(), editor.GetCaretXY(), std::string(),
                                    smNormal);
    swallowNextChar_ = true;
    try {
        for (std::size_t i = 0; i < Token.size(); ++i)
            editor.CommandProcessor(ecDeleteLastChar, '\0', nullptr);
        const std::string indent = IndentOf(editor.DisplayX() - 1, editor);
        bool marked = false;
        TPoint mark;
        for (int i = NameLine + 1; i < autoCompleteList_->Count(); ++i) {
            const std::string line = autoCompleteList_->Strings(i);
            if (!IsTemplateLine(line))
                break;
            if (i > NameLine + 1) {
                editor.CommandProcessor(ecLineBreak, '\0', nullptr);
                TypeText(editor, indent);
            }
            for (std::size_t c = 1; c < line.size(); ++c) {
                TypeText(editor, line.substr(c, 1));
                if (line[c] == '|') {
                    mark = editor.GetCaretXY();
                    marked = true;
                }
            }
        }
        if (marked) {
            editor.SetCaretXY(mark);
            editor.CommandProcessor(ecDeleteLastChar, '\0', nullptr);
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

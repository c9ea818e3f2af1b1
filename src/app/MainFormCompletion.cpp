// The main window's two completion lists, HTML tags and PHP names, both bound to the
// editor and made at the first key that can open one, and the tool bar's choice of the one
// that Ctrl+Space opens.
#include "app/MainForm.h"
#include "app/MainFormParts.h"

#include "platform/controls/StdCtrls.h"
#include "platform/window/Keys.h"
#include "qvedit/completion/QvCompletionLists.h"
#include "qvedit/completion/QvCompletionProposal.h"
#include "qvedit/editor/QvEdit.h"

namespace {

constexpr TShortCut ctrlSpace = scCtrl | VK_SPACE;

}  // namespace

// Making the lists (their windows, fonts and some 3,000 rows) is left out of start-up: the
// editor waits for Ctrl+Space or "<", the only keys that open a list before one was shown.
void TfrmEdit::AwaitCompletionKeys()
{
    Editor->AddKeyDownHandler(TKeyEvent(this, &TfrmEdit::EditorKeyDownBeforeCompletion));
    Editor->AddKeyPressHandler(TKeyPressEvent(this, &TfrmEdit::EditorKeyPressBeforeCompletion));
}

// The lists are made and given the key that made them, newest binding first as the editor
// runs its handlers.
void TfrmEdit::EditorKeyDownBeforeCompletion(TObject* Sender, Word& Key, TShiftState Shift)
{
    if (Key != VK_SPACE || Shift != ssCtrl)
        return;
    BuildCompletionProposals();
    QvCompletionProposal2->EditorKeyDown(Sender, Key, Shift);
    if (Key != 0)
        QvCompletionProposal1->EditorKeyDown(Sender, Key, Shift);
}

void TfrmEdit::EditorKeyPressBeforeCompletion(TObject* Sender, char& Key)
{
    if (Key != '<')  // the tag list's trigger
        return;
    BuildCompletionProposals();
    QvCompletionProposal2->EditorKeyPress(Sender, Key);
    if (Key != '\0')
        QvCompletionProposal1->EditorKeyPress(Sender, Key);
}

// Both lists start with Ctrl+Space; the first showing gives it to one of them
// (ComboBox1Select). "<" opens the tag list a moment later whichever holds the shortcut;
// the PHP list has no timer, so its "." only reopens it right after a completion.
void TfrmEdit::BuildCompletionProposals()
{
    Editor->RemoveKeyDownHandler(TKeyEvent(this, &TfrmEdit::EditorKeyDownBeforeCompletion));
    Editor->RemoveKeyPressHandler(TKeyPressEvent(this, &TfrmEdit::EditorKeyPressBeforeCompletion));
    const TQvCompletionOptions common{scoLimitToMatchedText, scoTitleIsCentered, scoEndCharCompletion,
                                      scoCompleteWithTab, scoCompleteWithEnter};
    const auto make = [this](const char* Name, const char* Title, TQvCompletionOptions Options,
                             const char* Triggers) {
        auto* proposal = MakeComponent<TQvCompletionProposal>(this, Name);
        proposal->SetTitle(Title);
        proposal->SetOptions(Options);
        proposal->SetTriggerChars(Triggers);
        proposal->SetShortCut(ctrlSpace);
        proposal->SetTimerInterval(100);
        proposal->SetEditor(Editor);
        return proposal;
    };

    const TQvCompletionOptions tagOptions = common + TQvCompletionOptions{scoUseInsertList, scoUseBuiltInTimer};
    QvCompletionProposal1 = make("QvCompletionProposal1", "Html tags", tagOptions, "<");
    TStringList tags, inserts;
    AssignHtmlTagRows(tags, inserts);
    QvCompletionProposal1->SetItemList(&tags);
    QvCompletionProposal1->SetInsertList(&inserts);

    QvCompletionProposal2 = make("QvCompletionProposal2", "PHP", common, ".");
    TStringList names;
    AssignPhpCompletionRows(names);
    QvCompletionProposal2->SetItemList(&names);
    // Made after the window's first showing, they take the choice on the tool bar.
    if (shown_)
        ComboBox1Select(ComboBox1);
}

// Ctrl+Space goes to the list chosen on the tool bar; the other list keeps no shortcut.
void TfrmEdit::ComboBox1Select(TObject*)
{
    if (QvCompletionProposal1 == nullptr)
        return;  // the lists take the choice when they are made
    const bool html = ComboBox1->Text() == "HTML";
    QvCompletionProposal1->SetShortCut(html ? ctrlSpace : 0);
    QvCompletionProposal2->SetShortCut(html ? 0 : ctrlSpace);
}

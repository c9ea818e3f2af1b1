// The main window's two completion lists, HTML tags and PHP names, both bound to the
// editor, and the tool bar's choice of the one that Ctrl+Space opens.
#include "app/MainForm.h"
#include "app/MainFormParts.h"

#include "platform/controls/StdCtrls.h"
#include "qvedit/completion/QvCompletionLists.h"
#include "qvedit/completion/QvCompletionProposal.h"
#include "qvedit/editor/QvEdit.h"

namespace {

constexpr TShortCut ctrlSpace = scCtrl | VK_SPACE;

}  // namespace

// Both lists start with Ctrl+Space; the first showing gives it to one of them
// (ComboBox1Select). "<" opens the tag list a moment later whichever holds the shortcut;
// the PHP list has no timer, so its "." only reopens it right after a completion.
void TfrmEdit::BuildCompletionProposals()
{
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
}

// Ctrl+Space goes to the list chosen on the tool bar; the other list keeps no shortcut.
void TfrmEdit::ComboBox1Select(TObject*)
{
    const bool html = ComboBox1->Text() == "HTML";
    QvCompletionProposal1->SetShortCut(html ? ctrlSpace : 0);
    QvCompletionProposal2->SetShortCut(html ? 0 : ctrlSpace);
}

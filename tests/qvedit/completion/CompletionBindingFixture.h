// An editor on a shown form with a completion component bound to it. Keys go where the
// window system sends them: to the list while it is open (it has the keyboard), else to the
// editor; a key's character goes to the control that had its key down.
#pragma once

#include "../editor/EditorFixture.h"
#include "qvedit/completion/QvCompletionProposal.h"

#include <algorithm>
#include <string>
#include <vector>

class CompletionBindingTest : public EditorFixture {
protected:
    CompletionBindingTest()
    {
        Form().SetBounds(100, 100, EditorWidth + 100, EditorHeight + 100);
        Application->ProcessMessages();
        Editor().SetFocus();
        proposal->SetEditor(&Editor());
        proposal->OnCancelled = TNotifyEvent(this, &CompletionBindingTest::Cancelled);
        SetRows({"array_pop", "array_push", "strlen", "strpos"});
    }
    ~CompletionBindingTest() override { delete proposal; }

    void SetRows(const std::vector<std::string>& rows)
    {
        TStringList items;
        for (const std::string& row : rows)
            items.Add(row);
        proposal->SetItemList(&items);
    }
    // The text, with the caret placed where "|" stands (which is removed).
    void SetTextAndCaret(const std::string& text)
    {
        const std::size_t bar = text.find('|');
        const std::string before = text.substr(0, bar);
        SetText(before + text.substr(bar + 1));
        const std::size_t lineStart = before.rfind('\n') == std::string::npos ? 0 : before.rfind('\n') + 1;
        const auto y = static_cast<Integer>(std::count(before.begin(), before.end(), '\n')) + 1;
        Editor().SetCaretXY(TPoint{static_cast<Integer>(before.size() - lineStart) + 1, y});
    }

    TQvBaseCompletionProposalForm& List() { return *proposal->Form(); }
    bool ListOpen() { return List().Visible(); }
    std::vector<std::string> Shown()
    {
        std::vector<std::string> rows;
        for (int i = 0; i < List().AssignedList()->Count(); ++i)
            rows.push_back(List().AssignedList()->Strings(i));
        return rows;
    }

    // One key: down, its character when it types one (ch >= 0), up.
    void Press(Word key, TShiftState shift = 0, int ch = -1)
    {
        TWinControl* target = ListOpen() ? static_cast<TWinControl*>(&List()) : &Editor();
        SetInputShiftState(shift);
        target->Perform(WM_KEYDOWN, key, 1);
        if (ch >= 0)
            target->Perform(WM_CHAR, static_cast<WPARAM>(ch), 1);
        target->Perform(WM_KEYUP, key, 1);
        SetInputShiftState(0);
    }
    // Characters as typed, each with its key (on a US layout).
    void TypeChars(const std::string& text)
    {
        for (char c : text) {
            if (c >= 'a' && c <= 'z')
                Press(static_cast<Word>(c - 'a' + 'A'), 0, c);
            else if (c == '<')
                Press(VK_OEM_COMMA, ssShift, c);
            else if (c == '.')
                Press(VK_OEM_PERIOD, 0, c);
            else if (c == '(')
                Press('9', ssShift, c);
            else
                FAIL() << "no key for " << c;
        }
    }
    void CtrlSpace() { Press(VK_SPACE, ssCtrl, ' '); }
    std::string Text() { return Editor().QvGetText(); }

    void Cancelled(TObject*) { ++cancelled; }

    TQvCompletionProposal* proposal = new TQvCompletionProposal(nullptr);
    int cancelled = 0;
};

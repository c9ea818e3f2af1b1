// A completion list window over a stand-in editor: one line of text with a caret, which
// carries out the commands the list sends and logs them.
#pragma once

#include "platform/controls/StdCtrls.h"
#include "platform/forms/Forms.h"
#include "qvedit/completion/QvCompletionProposalForm.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class TStandInEditor : public TCustomControl, public TQvCompletionEditorLink {
public:
    explicit TStandInEditor(TComponent* owner) : TCustomControl(owner) { SetTabStop(true); }

    std::string Line;
    std::size_t Caret = 0;  // 0-based index into Line
    std::vector<std::string> Log;
    std::vector<TWinControl*> FocusControls;
    bool ShowCaretAlways = false;

    TWinControl* Control() override { return this; }
    void ExecuteCommand(TQvEditorCommand command, char ch) override
    {
        switch (command) {
        case ecChar:
            Line.insert(Caret++, 1, ch);
            Log.push_back(std::string("char ") + ch);
            break;
        case ecDeleteLastChar:
            if (Caret > 0)
                Line.erase(--Caret, 1);
            Log.push_back("deletelastchar");
            break;
        case ecDeleteChar:
            if (Caret < Line.size())
                Line.erase(Caret, 1);
            Log.push_back("deletechar");
            break;
        case ecLeft:
            if (Caret > 0)
                --Caret;
            Log.push_back("left");
            break;
        case ecRight:
            ++Caret;  // past the end of the line too
            Log.push_back("right");
            break;
        default: Log.push_back("command " + std::to_string(command)); break;
        }
    }
    char CharRightOfCaret() override { return Caret < Line.size() ? Line[Caret] : ' '; }
    bool AlwaysShowCaret() override { return ShowCaretAlways; }
    void SetAlwaysShowCaret(bool value) override { ShowCaretAlways = value; }
    void AddFocusControl(TWinControl* control) override { FocusControls.push_back(control); }
    void RemoveFocusControl(TWinControl* control) override
    {
        std::erase(FocusControls, control);
    }
};

// The list window with its protected input reachable, as the platform delivers it.
class TTestList : public TQvBaseCompletionProposalForm {
public:
    using TQvBaseCompletionProposalForm::TQvBaseCompletionProposalForm;

    // Key down, then the key's character (delivered even when key down took the key).
    void Press(Word key, TShiftState shift = 0, char ch = '\0')
    {
        KeyDown(key, shift);
        if (ch != '\0')
            KeyPress(ch);
    }
    void Type(char ch) { KeyPress(ch); }
};

class CompletionListTest : public ::testing::Test {
protected:
    CompletionListTest()
    {
        form->SetBounds(100, 100, 400, 300);
        editor->SetParent(form);
        editor->SetBounds(0, 0, 400, 300);
        form->Show();
        editor->SetFocus();
        Application->ProcessMessages();
        list->CurrentEditor = editor;
        list->OnValidate = TValidateEvent(this, &CompletionListTest::Validated);
        list->OnCancel = TNotifyEvent(this, &CompletionListTest::Cancelled);
        list->OnKeyPress = TKeyPressEvent(this, &CompletionListTest::Typed);
        for (unsigned char c : std::string("()[]. "))
            list->EndOfToken.set(c);
        list->SetBounds(120, 120, 260, 150);
    }
    ~CompletionListTest() override
    {
        delete list;
        delete form;
    }

    // The items, shown in full with nothing typed.
    void SetItems(const std::vector<std::string>& items, bool limit = true)
    {
        TStringList strings;
        for (const std::string& item : items)
            strings.Add(item);
        list->LimitToMatchedText = limit;
        list->AnsiStrings = false;
        list->SetItemList(&strings);
    }
    std::vector<std::string> Shown() const
    {
        std::vector<std::string> rows;
        for (int i = 0; i < list->AssignedList()->Count(); ++i)
            rows.push_back(list->AssignedList()->Strings(i));
        return rows;
    }

public:
    std::vector<std::string> events;
    void Validated(TObject*, TShiftState shift, char endToken)
    {
        events.push_back("validate " + std::to_string(shift) + (endToken != '\0' ? std::string(" ") + endToken : ""));
        list->Deactivate();
    }
    void Cancelled(TObject*)
    {
        events.push_back("cancel");
        list->Deactivate();
    }
    void Typed(TObject*, char& key)
    {
        events.push_back(std::string("keypress ") + (key == '\b' ? std::string("BS") : std::string(1, key)));
    }

protected:
    TForm* form = new TForm(nullptr);
    TStandInEditor* editor = new TStandInEditor(form);
    TTestList* list = new TTestList(nullptr);
};

// Helpers of the standard-control tests: a shown form to put controls on, the native
// widget behind a control, and an event counter.
#pragma once

#include "window/RecordingControl.h"

#include "platform/controls/StdCtrls.h"

#include <QApplication>

template <class W>
W* Native(const TControl* control)
{
    return dynamic_cast<W*>(control->Window()->Hosted());
}

struct TCounter {
    int Clicks = 0;
    int DblClicks = 0;
    int Changes = 0;
    int Selects = 0;
    Word ZeroKey = 0;
    char ZeroChar = 0;
    void Click(TObject*) { ++Clicks; }
    void DblClick(TObject*) { ++DblClicks; }
    void Change(TObject*) { ++Changes; }
    void Select(TObject*) { ++Selects; }
    void KeyDown(TObject*, Word& key, TShiftState)
    {
        if (key == ZeroKey)
            key = 0;
    }
    void KeyPress(TObject*, char& key)
    {
        if (key == ZeroChar)
            key = 0;
    }
};

// A shown form to put controls on.
struct TShownForm {
    TForm* Form = new TForm(nullptr);
    TShownForm()
    {
        Form->SetBounds(100, 100, 400, 300);
        Form->Show();
        QApplication::processEvents();
    }
    ~TShownForm() { delete Form; }
    TShownForm(const TShownForm&) = delete;
    TShownForm& operator=(const TShownForm&) = delete;

    template <class T>
    T* Add(int left = 10, int top = 10)
    {
        auto* control = new T(Form);
        control->SetParent(Form);
        control->SetLeft(left);
        control->SetTop(top);
        return control;
    }
};

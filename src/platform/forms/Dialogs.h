// Message boxes, and the one gate every modal dialog passes: when a modal hook is set
// (tests, scripted runs), a message box or modal form is not shown; the hook gets a
// description of it and its answer is taken as the user's.
#pragma once

#include "platform/window/WinApi.h"

#include <functional>
#include <string>

class TForm;

enum class TModalKind { MessageBox, Form, Dialog };

// What is about to be shown modally. Texts are UTF-8.
struct TModalRequest {
    TModalKind Kind = TModalKind::MessageBox;
    std::string Caption;
    std::string Text;
    UINT Flags = 0;          // MB_* flags of a message box
    TForm* Form = nullptr;   // the form of a modal form
};

// Returns the answer: IDOK/IDYES/IDNO/IDCANCEL for a message box, a modal result for
// a form, IDOK/IDCANCEL for other dialogs.
using TModalHook = std::function<int(const TModalRequest& Request)>;

// Installs the hook (an empty one removes it) and returns the previous one.
TModalHook SetModalHook(TModalHook Hook);
// When a hook is set: asks it, stores its answer and returns true. Without a hook:
// returns false and the caller shows its dialog.
bool AskModalHook(const TModalRequest& Request, int& Answer);

// Shows a message box with the buttons and icon of Flags (MB_OK, MB_OKCANCEL, MB_YESNO,
// MB_YESNOCANCEL; MB_ICONSTOP/ERROR, MB_ICONWARNING, MB_ICONINFORMATION,
// MB_ICONQUESTION; MB_DEFBUTTON1..3) and returns the button chosen (IDOK, IDCANCEL,
// IDYES, IDNO); closing the box counts as IDCANCEL where there is a Cancel button, else
// as IDNO for MB_YESNO and IDOK for MB_OK. Text and Caption are UTF-8 (bytes that are
// not UTF-8 are read in the ANSI code page).
int MessageBox(const std::string& Text, const std::string& Caption, UINT Flags);

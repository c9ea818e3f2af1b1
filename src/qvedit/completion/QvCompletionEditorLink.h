// What a completion window needs of the editor it pops up for. The completion component
// provides it over the editor control; tests provide it over a stand-in.
#pragma once

#include "platform/window/Controls.h"
#include "qvedit/core/QvEditKeyCmds.h"

class TQvCompletionEditorLink {
public:
    virtual ~TQvCompletionEditorLink() = default;

    // The editor's window (focus, screen position).
    virtual TWinControl* Control() = 0;
    // Runs an editor command as typed: ecChar with AChar, ecLeft, ecRight,
    // ecDeleteLastChar, ecDeleteChar.
    virtual void ExecuteCommand(TQvEditorCommand Command, char AChar) = 0;
    // The character right of the caret; a blank past the end of the line.
    virtual char CharRightOfCaret() = 0;
    // Whether the caret stays drawn while the editor lacks the focus.
    virtual bool AlwaysShowCaret() = 0;
    virtual void SetAlwaysShowCaret(bool Value) = 0;
    // While added, giving the editor the focus focuses Control instead.
    virtual void AddFocusControl(TWinControl* Control) = 0;
    virtual void RemoveFocusControl(TWinControl* Control) = 0;
};

// Helpers shared by the main window's sources.
#pragma once

#include "platform/runtime/CodePages.h"
#include "platform/window/Controls.h"

#include <array>
#include <string>

class TSpeedButton;

// Makes a control owned by Owner, named Name, on Parent (none for nullptr).
template <class T>
T* MakeControl(TComponent* Owner, TWinControl* Parent, const std::string& Name)
{
    auto* control = new T(Owner);
    control->SetName(Name);
    if (Parent != nullptr)
        control->SetParent(Parent);
    return control;
}

// Makes a non-visual component owned by Owner, named Name.
template <class T>
T* MakeComponent(TComponent* Owner, const char* Name)
{
    auto* component = new T(Owner);
    component->SetName(Name);
    return component;
}

// Gives a tool bar button its built-in picture (resources/images/<Glyph>.png).
void SetToolGlyph(TSpeedButton* Button, const char* Glyph);

// The names of the character sets of the side pane's list and the View menu, in order,
// and the font character set each selects.
const std::array<const char*, 18>& CharsetNames();
const std::array<unsigned char, 18>& CharsetValues();

// A text shown as a menu or button caption exactly as it is: '&' is doubled, so it marks
// no accelerator.
std::string LiteralCaption(const std::string& Name);

// The extension that chooses a file's highlighter: from the last '.' of the path to its
// end, "" when the name part has no '.'.
std::string HighlighterExtension(const std::string& Path);

// Text with only the ASCII letters changed to upper (or lower) case.
std::string AsciiCaseChanged(std::string Text, bool Upper);

// A control's or menu item's caption as UTF-8, and setting it from UTF-8.
std::string CaptionOf(TComponent* Component);
void SetCaptionOf(TComponent* Component, const std::string& Utf8);

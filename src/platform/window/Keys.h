// Keyboard vocabulary: the shift state of key and mouse events, keyboard shortcuts
// (a virtual key plus modifier bits in one 16-bit value), their display texts, and the
// state of a key as of the event being handled.
#pragma once

#include "platform/window/WinApi.h"

#include <string>

// The modifier keys and mouse buttons held during an event, and whether a mouse press
// is the second of a double click. As one byte, bit 0 is Shift, bit 1 Alt, bit 2 Ctrl.
using TShiftState = Byte;
inline constexpr TShiftState ssShift = 0x01;
inline constexpr TShiftState ssAlt = 0x02;
inline constexpr TShiftState ssCtrl = 0x04;
inline constexpr TShiftState ssLeft = 0x08;
inline constexpr TShiftState ssRight = 0x10;
inline constexpr TShiftState ssMiddle = 0x20;
inline constexpr TShiftState ssDouble = 0x40;

// A shortcut: the virtual key in the low byte, plus 0x2000 for Shift, 0x4000 for Ctrl
// and 0x8000 for Alt. 0 is no shortcut.
using TShortCut = Word;
inline constexpr TShortCut scNone = 0;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;

// The shortcut of Key with the Shift, Ctrl and Alt of Shift (other flags are ignored);
// 0 when Key does not fit in the low byte.
TShortCut ShortCut(Word Key, TShiftState Shift);
// Splits a shortcut back into its key and its Shift/Ctrl/Alt state.
void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift);
// "Shift+Ctrl+Z", "F3", "Del", "Ctrl+Num 5"; the empty string for 0.
std::string ShortCutToText(TShortCut ShortCut);
// Reads what ShortCutToText writes, modifiers in any order and letters in any case
// ("ctrl+shift+z" too); 0 when the text names no key.
TShortCut TextToShortCut(const std::string& Text);

// The state of a virtual key as of the input event being handled: the high bit (the
// value is negative) while the key is down, the low bit toggled by each press. Mouse
// buttons (VK_LBUTTON, VK_RBUTTON, VK_MBUTTON) and the modifiers (VK_SHIFT, VK_CONTROL,
// VK_MENU) are answered from the last event that carried them.
SHORT GetKeyState(int VirtKey);
// Sets what GetKeyState answers for the modifier keys (ssShift, ssCtrl, ssAlt) and the
// mouse buttons (ssLeft, ssRight, ssMiddle), as an input event carrying that state would.
// For input made without the window system (messages sent directly); the window system's
// next event replaces it with its own.
void SetInputShiftState(TShiftState Shift);

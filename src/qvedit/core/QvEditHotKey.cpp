// The hot-key edit box.
#include "qvedit/core/QvEditMiscClasses.h"

namespace {

const char* const NoShortCutText = "None";

// The modifiers as a shortcut text starts with them, in the order the box writes them.
struct TModifier {
    TShiftState Shift;
    const char* Prefix;
};
constexpr TModifier Modifiers[] = {{ssCtrl, "Ctrl+"}, {ssAlt, "Alt+"}, {ssShift, "Shift+"}};

bool IsModifierKey(Word key)
{
    return key == VK_CONTROL || key == VK_MENU || key == VK_SHIFT;
}

// What remains of a shortcut text after its leading modifiers, taken in the order
// Ctrl, Alt, Shift as key down writes them.
std::string WithoutModifierPrefixes(const std::string& text)
{
    std::string rest = text;
    for (const TModifier& modifier : Modifiers) {
        const std::string prefix = modifier.Prefix;
        if (rest.compare(0, prefix.size(), prefix) == 0)
            rest.erase(0, prefix.size());
    }
    return rest;
}

}  // namespace

TQvHotKey::TQvHotKey(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetTabStop(true);
    SetColor(clWindow);
    SetCursor(crIBeam);
}

TShortCut TQvHotKey::GetHotKey() const
{
    return TextToShortCut(text_);
}

void TQvHotKey::SetHotKey(TShortCut Value)
{
    SetText(Value == 0 ? std::string(NoShortCutText) : ShortCutToText(Value));
}

void TQvHotKey::KeyDown(Word& Key, TShiftState Shift)
{
    std::string text;
    for (const TModifier& modifier : Modifiers)
        if (Shift & modifier.Shift)
            text += modifier.Prefix;
    if (!IsModifierKey(Key))
        text += ShortCutToText(Key);
    if (text != text_)
        SetText(text);
    selStart_ = static_cast<Integer>(text_.size());
    TCustomControl::KeyDown(Key, Shift);
}

void TQvHotKey::KeyPress(char& Key)
{
    // Characters never go into the text once it names a key.
    if (!WithoutModifierPrefixes(text_).empty())
        Key = 0;
    TCustomControl::KeyPress(Key);
}

void TQvHotKey::KeyUp(Word& Key, TShiftState Shift)
{
    NoneForModifiersOnly();
    TCustomControl::KeyUp(Key, Shift);
}

void TQvHotKey::WMKillFocus(TWMKillFocus& Message)
{
    NoneForModifiersOnly();
    TCustomControl::WMKillFocus(Message);
}

void TQvHotKey::WMGetDlgCode(TWMGetDlgCode& Message)
{
    DefaultHandler(Message.Message);
}

void TQvHotKey::Paint()
{
    TCanvas* canvas = Canvas();
    canvas->GetBrush()->SetColor(Color());
    canvas->FillRect(ClientRect());
    canvas->SetFont(Font());
    canvas->TextOut(2, 2, text_);
}

void TQvHotKey::SetText(const std::string& Value)
{
    text_ = Value;
    selStart_ = static_cast<Integer>(text_.size());
    Invalidate();
}

void TQvHotKey::NoneForModifiersOnly()
{
    if (!text_.empty() && WithoutModifierPrefixes(text_).empty())
        SetText(NoShortCutText);
}

// Keys: Qt key events read as virtual keys and typed characters, shortcuts and their
// texts, and the key state as of the event being handled.
#include "platform/window/Keys.h"

#include "platform/runtime/CodePages.h"
#include "platform/window/ControlsQt.h"

#include <QKeyEvent>

#include <array>
#include <cctype>
#include <string_view>

namespace {

// Keys whose virtual key does not depend on the layout.
struct TKeyPair {
    int Qt;
    Word Vk;
};

constexpr TKeyPair kFixedKeys[] = {
    {Qt::Key_Escape, VK_ESCAPE},     {Qt::Key_Tab, VK_TAB},           {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Backspace, VK_BACK},    {Qt::Key_Return, VK_RETURN},     {Qt::Key_Enter, VK_RETURN},
    {Qt::Key_Insert, VK_INSERT},     {Qt::Key_Delete, VK_DELETE},     {Qt::Key_Pause, VK_PAUSE},
    {Qt::Key_Print, VK_SNAPSHOT},    {Qt::Key_Clear, VK_CLEAR},       {Qt::Key_Home, VK_HOME},
    {Qt::Key_End, VK_END},           {Qt::Key_Left, VK_LEFT},         {Qt::Key_Up, VK_UP},
    {Qt::Key_Right, VK_RIGHT},       {Qt::Key_Down, VK_DOWN},         {Qt::Key_PageUp, VK_PRIOR},
    {Qt::Key_PageDown, VK_NEXT},     {Qt::Key_Shift, VK_SHIFT},       {Qt::Key_Control, VK_CONTROL},
    {Qt::Key_Alt, VK_MENU},          {Qt::Key_AltGr, VK_MENU},        {Qt::Key_Meta, VK_LWIN},
    {Qt::Key_CapsLock, VK_CAPITAL},  {Qt::Key_NumLock, VK_NUMLOCK},   {Qt::Key_ScrollLock, VK_SCROLL},
    {Qt::Key_Menu, VK_APPS},         {Qt::Key_Help, VK_HELP},         {Qt::Key_Space, VK_SPACE},
    {Qt::Key_Select, VK_SELECT},     {Qt::Key_Cancel, VK_CANCEL},
};

// Punctuation, by the position of its key on the US layout (shifted and unshifted).
constexpr TKeyPair kUsPunctuation[] = {
    {Qt::Key_Exclam, '1'},          {Qt::Key_At, '2'},                {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},          {Qt::Key_Percent, '5'},           {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},       {Qt::Key_Asterisk, '8'},          {Qt::Key_ParenLeft, '9'},
    {Qt::Key_ParenRight, '0'},      {Qt::Key_Semicolon, VK_OEM_1},    {Qt::Key_Colon, VK_OEM_1},
    {Qt::Key_Equal, VK_OEM_PLUS},   {Qt::Key_Plus, VK_OEM_PLUS},      {Qt::Key_Comma, VK_OEM_COMMA},
    {Qt::Key_Less, VK_OEM_COMMA},   {Qt::Key_Minus, VK_OEM_MINUS},    {Qt::Key_Underscore, VK_OEM_MINUS},
    {Qt::Key_Period, VK_OEM_PERIOD}, {Qt::Key_Greater, VK_OEM_PERIOD}, {Qt::Key_Slash, VK_OEM_2},
    {Qt::Key_Question, VK_OEM_2},   {Qt::Key_QuoteLeft, VK_OEM_3},    {Qt::Key_AsciiTilde, VK_OEM_3},
    {Qt::Key_BracketLeft, VK_OEM_4}, {Qt::Key_BraceLeft, VK_OEM_4},   {Qt::Key_Backslash, VK_OEM_5},
    {Qt::Key_Bar, VK_OEM_5},        {Qt::Key_BracketRight, VK_OEM_6}, {Qt::Key_BraceRight, VK_OEM_6},
    {Qt::Key_Apostrophe, VK_OEM_7}, {Qt::Key_QuoteDbl, VK_OEM_7},
};

// Keys of the numeric pad that differ from their main-block twins.
constexpr TKeyPair kKeypad[] = {
    {Qt::Key_Asterisk, VK_MULTIPLY}, {Qt::Key_Plus, VK_ADD},      {Qt::Key_Minus, VK_SUBTRACT},
    {Qt::Key_Period, VK_DECIMAL},    {Qt::Key_Comma, VK_DECIMAL}, {Qt::Key_Slash, VK_DIVIDE},
};

// X key codes (evdev + 8) of the US layout's character keys: what a key is called when
// the active layout gives it a non-Latin character.
Word VirtualKeyFromScanCode(quint32 code)
{
    static constexpr std::string_view kRow1 = "1234567890";  // codes 10..19
    static constexpr std::string_view kRowQ = "QWERTYUIOP";  // codes 24..33
    static constexpr std::string_view kRowA = "ASDFGHJKL";   // codes 38..46
    static constexpr std::string_view kRowZ = "ZXCVBNM";     // codes 52..58
    if (code >= 10 && code < 10 + kRow1.size())
        return static_cast<Word>(kRow1[code - 10]);
    if (code >= 24 && code < 24 + kRowQ.size())
        return static_cast<Word>(kRowQ[code - 24]);
    if (code >= 38 && code < 38 + kRowA.size())
        return static_cast<Word>(kRowA[code - 38]);
    if (code >= 52 && code < 52 + kRowZ.size())
        return static_cast<Word>(kRowZ[code - 52]);
    switch (code) {
    case 20: return VK_OEM_MINUS;
    case 21: return VK_OEM_PLUS;
    case 34: return VK_OEM_4;
    case 35: return VK_OEM_6;
    case 47: return VK_OEM_1;
    case 48: return VK_OEM_7;
    case 49: return VK_OEM_3;
    case 51: return VK_OEM_5;
    case 59: return VK_OEM_COMMA;
    case 60: return VK_OEM_PERIOD;
    case 61: return VK_OEM_2;
    case 65: return VK_SPACE;
    case 94: return VK_OEM_102;
    default: return 0;
    }
}

Word Lookup(const TKeyPair* begin, const TKeyPair* end, int key)
{
    for (auto* p = begin; p != end; ++p)
        if (p->Qt == key)
            return p->Vk;
    return 0;
}

Word VirtualKeyOf(const QKeyEvent& e)
{
    const int key = e.key();
    const bool keypad = e.modifiers().testFlag(Qt::KeypadModifier);
    if (keypad) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9)
            return static_cast<Word>(VK_NUMPAD0 + (key - Qt::Key_0));
        if (Word vk = Lookup(std::begin(kKeypad), std::end(kKeypad), key))
            return vk;
    }
    // Letters are named by the layout; digits and punctuation by their position, which
    // the key's scan code tells when the system gives one.
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return static_cast<Word>(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return static_cast<Word>(VK_F1 + (key - Qt::Key_F1));
    if (Word vk = Lookup(std::begin(kFixedKeys), std::end(kFixedKeys), key))
        return vk;
    if (Word vk = VirtualKeyFromScanCode(e.nativeScanCode()))
        return vk;
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<Word>(key);
    return Lookup(std::begin(kUsPunctuation), std::end(kUsPunctuation), key);
}

// The character of a Ctrl combination, by its key (so it does not depend on the layout);
// 0 for none.
char ControlChar(Word vk, bool shift)
{
    if (vk >= 'A' && vk <= 'Z')
        return static_cast<char>(vk - 'A' + 1);
    switch (vk) {
    case VK_SPACE: return ' ';
    case VK_BACK: return 0x7F;
    case VK_RETURN: return '\n';
    case VK_OEM_4: return shift ? 0 : 0x1B;
    case VK_OEM_5: return shift ? 0 : 0x1C;
    case VK_OEM_6: return shift ? 0 : 0x1D;
    case '6': return shift ? 0x1E : 0;
    case VK_OEM_MINUS: return shift ? 0x1F : 0;
    default: return 0;
    }
}

struct TKeyStates {
    std::array<Byte, 256> Keys{};  // bit 7 down, bit 0 toggled
    Qt::KeyboardModifiers Modifiers;
    Qt::MouseButtons Buttons;
};

TKeyStates& States()
{
    static TKeyStates states;
    return states;
}

}  // namespace

std::string PrintableAnsi(const QString& text)
{
    std::string bytes;
    const Cardinal cp = GetACP();
    for (char32_t ch : text.toStdU32String()) {
        if (ch < 0x20 || ch == 0x7F || (ch >= 0x80 && ch < 0xA0) || (ch >= 0xE000 && ch < 0xF900))
            continue;
        const unsigned char byte = UnicodeToCodePage(cp, ch, 0);
        if (byte != 0)
            bytes.push_back(static_cast<char>(byte));
    }
    return bytes;
}

TKeyInput ReadKeyEvent(const QKeyEvent& e)
{
    TKeyInput in;
    const Qt::KeyboardModifiers mods = e.modifiers();
    const bool ctrl = mods.testFlag(Qt::ControlModifier);
    const bool alt = mods.testFlag(Qt::AltModifier);
    // AltGr arrives as the group switch, or (as some systems report it) as Ctrl+Alt.
    const bool altGr = mods.testFlag(Qt::GroupSwitchModifier) || (ctrl && alt);
    in.Key = VirtualKeyOf(e);
    if (mods.testFlag(Qt::ShiftModifier) || e.key() == Qt::Key_Backtab)
        in.Shift |= ssShift;
    if (ctrl)
        in.Shift |= ssCtrl;
    if (alt)
        in.Shift |= ssAlt;
    in.SystemKey = alt && !ctrl && !altGr;

    if (altGr) {
        in.Chars = PrintableAnsi(e.text());
    } else if (ctrl) {
        if (char c = ControlChar(in.Key, (in.Shift & ssShift) != 0))
            in.Chars.push_back(c);
    } else {
        switch (in.Key) {
        case VK_BACK: in.Chars = "\b"; break;
        case VK_TAB: in.Chars = "\t"; break;
        case VK_RETURN: in.Chars = "\r"; break;
        case VK_ESCAPE: in.Chars = "\x1B"; break;
        default: in.Chars = PrintableAnsi(e.text()); break;
        }
    }
    return in;
}

void NoteKeyboardModifiers(Qt::KeyboardModifiers modifiers)
{
    States().Modifiers = modifiers;
}

void NoteMouseButtons(Qt::MouseButtons buttons)
{
    States().Buttons = buttons;
}

void NoteKeyState(Word key, bool down)
{
    Byte& state = States().Keys[key & 0xFF];
    if (down && (state & 0x80) == 0)
        state ^= 0x01;
    state = static_cast<Byte>(down ? (state | 0x80) : (state & ~0x80));
}

void SetInputShiftState(TShiftState Shift)
{
    Qt::KeyboardModifiers modifiers;
    modifiers.setFlag(Qt::ShiftModifier, (Shift & ssShift) != 0);
    modifiers.setFlag(Qt::ControlModifier, (Shift & ssCtrl) != 0);
    modifiers.setFlag(Qt::AltModifier, (Shift & ssAlt) != 0);
    Qt::MouseButtons buttons;
    buttons.setFlag(Qt::LeftButton, (Shift & ssLeft) != 0);
    buttons.setFlag(Qt::RightButton, (Shift & ssRight) != 0);
    buttons.setFlag(Qt::MiddleButton, (Shift & ssMiddle) != 0);
    NoteKeyboardModifiers(modifiers);
    NoteMouseButtons(buttons);
}

SHORT GetKeyState(int VirtKey)
{
    const TKeyStates& s = States();
    bool down = false;
    switch (VirtKey) {
    case VK_SHIFT: down = s.Modifiers.testFlag(Qt::ShiftModifier); break;
    case VK_CONTROL: down = s.Modifiers.testFlag(Qt::ControlModifier); break;
    case VK_MENU: down = s.Modifiers.testFlag(Qt::AltModifier); break;
    case VK_LBUTTON: down = s.Buttons.testFlag(Qt::LeftButton); break;
    case VK_RBUTTON: down = s.Buttons.testFlag(Qt::RightButton); break;
    case VK_MBUTTON: down = s.Buttons.testFlag(Qt::MiddleButton); break;
    default:
        if (VirtKey < 0 || VirtKey > 0xFF)
            return 0;
        down = (s.Keys[static_cast<std::size_t>(VirtKey)] & 0x80) != 0;
        break;
    }
    const int toggled = (VirtKey >= 0 && VirtKey <= 0xFF) ? (s.Keys[static_cast<std::size_t>(VirtKey)] & 0x01) : 0;
    return static_cast<SHORT>((down ? 0xFF80 : 0) | toggled);
}

// ---- Shortcuts ------------------------------------------------------------------------------

namespace {

struct TKeyName {
    Word Key;
    const char* Name;
};

constexpr TKeyName kKeyNames[] = {
    {VK_BACK, "BkSp"},       {VK_TAB, "Tab"},         {VK_RETURN, "Enter"},   {VK_ESCAPE, "Esc"},
    {VK_SPACE, "Space"},     {VK_PRIOR, "PgUp"},      {VK_NEXT, "PgDn"},      {VK_END, "End"},
    {VK_HOME, "Home"},       {VK_LEFT, "Left"},       {VK_UP, "Up"},          {VK_RIGHT, "Right"},
    {VK_DOWN, "Down"},       {VK_INSERT, "Ins"},      {VK_DELETE, "Del"},     {VK_PAUSE, "Pause"},
    {VK_SHIFT, "Shift"},     {VK_CONTROL, "Ctrl"},    {VK_MENU, "Alt"},
    {VK_APPS, "Menu"},       {VK_MULTIPLY, "Num *"},  {VK_ADD, "Num +"},      {VK_SUBTRACT, "Num -"},
    {VK_DECIMAL, "Num ."},   {VK_DIVIDE, "Num /"},    {VK_OEM_1, ";"},        {VK_OEM_PLUS, "="},
    {VK_OEM_COMMA, ","},     {VK_OEM_MINUS, "-"},     {VK_OEM_PERIOD, "."},   {VK_OEM_2, "/"},
    {VK_OEM_3, "`"},         {VK_OEM_4, "["},         {VK_OEM_5, "\\"},       {VK_OEM_6, "]"},
    {VK_OEM_7, "'"},
};

std::string KeyName(Word key)
{
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return std::string(1, static_cast<char>(key));
    if (key >= VK_F1 && key <= VK_F24)
        return "F" + std::to_string(key - VK_F1 + 1);
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD0 + 9)
        return "Num " + std::to_string(key - VK_NUMPAD0);
    for (const auto& n : kKeyNames)
        if (n.Key == key)
            return n.Name;
    return {};
}

bool SameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

Word KeyOfName(std::string_view name)
{
    for (int key = 1; key <= 0xFF; ++key) {
        const std::string known = KeyName(static_cast<Word>(key));
        if (!known.empty() && SameText(known, name))
            return static_cast<Word>(key);
    }
    return 0;
}

}  // namespace

TShortCut ShortCut(Word Key, TShiftState Shift)
{
    if (Key == 0 || Key > 0xFF)
        return scNone;
    TShortCut result = Key;
    if (Shift & ssShift)
        result |= scShift;
    if (Shift & ssCtrl)
        result |= scCtrl;
    if (Shift & ssAlt)
        result |= scAlt;
    return result;
}

void ShortCutToKey(TShortCut Value, Word& Key, TShiftState& Shift)
{
    Key = Value & 0xFF;
    Shift = 0;
    if (Value & scShift)
        Shift |= ssShift;
    if (Value & scCtrl)
        Shift |= ssCtrl;
    if (Value & scAlt)
        Shift |= ssAlt;
}

std::string ShortCutToText(TShortCut Value)
{
    const std::string name = KeyName(Value & 0xFF);
    if (name.empty())
        return {};
    std::string text;
    if (Value & scShift)
        text += "Shift+";
    if (Value & scCtrl)
        text += "Ctrl+";
    if (Value & scAlt)
        text += "Alt+";
    return text + name;
}

TShortCut TextToShortCut(const std::string& Text)
{
    static constexpr std::pair<std::string_view, TShortCut> kModifiers[] = {
        {"Shift+", scShift}, {"Ctrl+", scCtrl}, {"Alt+", scAlt}};
    std::string_view rest = Text;
    TShortCut modifiers = 0;
    for (bool found = true; found;) {
        found = false;
        for (const auto& [prefix, bit] : kModifiers) {
            if (rest.size() > prefix.size() && SameText(rest.substr(0, prefix.size()), prefix)) {
                modifiers |= bit;
                rest.remove_prefix(prefix.size());
                found = true;
            }
        }
    }
    const Word key = KeyOfName(rest);
    return key == 0 ? scNone : static_cast<TShortCut>(key | modifiers);
}

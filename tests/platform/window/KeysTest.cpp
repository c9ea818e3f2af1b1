// Keys reach a control as virtual keys and characters in the classic order, with the
// classic characters; menu shortcuts and dialog keys come first.
#include "window/RecordingControl.h"

#include "platform/runtime/CodePages.h"
#include "platform/window/Caret.h"
#include "platform/window/Keys.h"
#include "platform/window/Menus.h"

#include <QInputMethodEvent>

#include <gtest/gtest.h>

namespace {

using Log = std::vector<std::string>;

class KeysTest : public ::testing::Test {
protected:
    Log Press(int key, Qt::KeyboardModifiers mods, const QString& text = {}, quint32 scan = 0, quint32 native = 0)
    {
        ui.Control->Log.clear();
        SendKey(ui.Client(), key, mods, text, scan, native);
        return ui.Control->Log;
    }

    TRecordingForm ui;
};

TEST_F(KeysTest, PlainKeysGiveKeyDownCharacterKeyUp)
{
    EXPECT_EQ(Press(Qt::Key_A, Qt::NoModifier, "a"), (Log{"down 65", "char 97", "up 65"}));
    EXPECT_EQ(Press(Qt::Key_A, Qt::ShiftModifier, "A"), (Log{"down 65 shift", "char 65", "up 65 shift"}));
    // Shifted digits are named by their key, not by the symbol they type.
    EXPECT_EQ(Press(Qt::Key_Percent, Qt::ShiftModifier, "%"), (Log{"down 53 shift", "char 37", "up 53 shift"}));
    EXPECT_EQ(Press(Qt::Key_BraceLeft, Qt::ShiftModifier, "{"), (Log{"down 219 shift", "char 123", "up 219 shift"}));
    EXPECT_EQ(Press(Qt::Key_Space, Qt::NoModifier, " "), (Log{"down 32", "char 32", "up 32"}));
}

TEST_F(KeysTest, ControlKeysGiveTheirControlCharacters)
{
    EXPECT_EQ(Press(Qt::Key_Backspace, Qt::NoModifier, "\b"), (Log{"down 8", "char 8", "up 8"}));
    EXPECT_EQ(Press(Qt::Key_Return, Qt::NoModifier, "\r"), (Log{"down 13", "char 13", "up 13"}));
    EXPECT_EQ(Press(Qt::Key_Enter, Qt::KeypadModifier, "\r"), (Log{"down 13", "char 13", "up 13"}));
    EXPECT_EQ(Press(Qt::Key_Tab, Qt::NoModifier, "\t"), (Log{"down 9", "char 9", "up 9"}));
    EXPECT_EQ(Press(Qt::Key_Escape, Qt::NoModifier, "\x1b"), (Log{"down 27", "char 27", "up 27"}));
    // Navigation and editing keys type nothing, whatever text the system attaches.
    EXPECT_EQ(Press(Qt::Key_Delete, Qt::NoModifier, "\x7f"), (Log{"down 46", "up 46"}));
    EXPECT_EQ(Press(Qt::Key_Left, Qt::NoModifier), (Log{"down 37", "up 37"}));
    EXPECT_EQ(Press(Qt::Key_PageDown, Qt::NoModifier), (Log{"down 34", "up 34"}));
    EXPECT_EQ(Press(Qt::Key_F3, Qt::NoModifier), (Log{"down 114", "up 114"}));
    EXPECT_EQ(Press(Qt::Key_5, Qt::KeypadModifier, "5"), (Log{"down 101", "char 53", "up 101"}));
}

TEST_F(KeysTest, CtrlCombinationsGiveControlCharactersByKey)
{
    EXPECT_EQ(Press(Qt::Key_A, Qt::ControlModifier, "\x01"), (Log{"down 65 ctrl", "char 1", "up 65 ctrl"}));
    EXPECT_EQ(Press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, "\x1a"),
              (Log{"down 90 shift ctrl", "char 26", "up 90 shift ctrl"}));
    EXPECT_EQ(Press(Qt::Key_Space, Qt::ControlModifier, " "), (Log{"down 32 ctrl", "char 32", "up 32 ctrl"}));
    EXPECT_EQ(Press(Qt::Key_Backspace, Qt::ControlModifier), (Log{"down 8 ctrl", "char 127", "up 8 ctrl"}));
    EXPECT_EQ(Press(Qt::Key_Return, Qt::ControlModifier), (Log{"down 13 ctrl", "char 10", "up 13 ctrl"}));
    // Ctrl with a digit types nothing; the key is named by position even when shifted.
    EXPECT_EQ(Press(Qt::Key_Percent, Qt::ControlModifier | Qt::ShiftModifier, "%"),
              (Log{"down 53 shift ctrl", "up 53 shift ctrl"}));
}

TEST_F(KeysTest, AltCombinationsTypeNothingButAltGrCharactersDo)
{
    EXPECT_EQ(Press(Qt::Key_F, Qt::AltModifier, "f"), (Log{"down 70 alt", "syschar 102", "up 70 alt"}));
    EXPECT_EQ(Press(Qt::Key_Backspace, Qt::AltModifier), (Log{"down 8 alt", "syschar 8", "up 8 alt"}));
    // AltGr reported as Ctrl+Alt, and as the group switch.
    EXPECT_EQ(Press(Qt::Key_Q, Qt::ControlModifier | Qt::AltModifier, "@"),
              (Log{"down 81 alt ctrl", "char 64", "up 81 alt ctrl"}));
    EXPECT_EQ(Press(Qt::Key_BracketLeft, Qt::GroupSwitchModifier, "["), (Log{"down 219", "char 91", "up 219"}));
}

TEST_F(KeysTest, OtherLayoutsKeysAreNamedByPositionAndTypeAnsiBytes)
{
    const Cardinal saved = GetACP();
    SetAnsiCodePage(1251);
    // The key of Latin C on a Cyrillic layout types CYRILLIC SMALL LETTER ES (0xF1 in 1251).
    const int es = 0x0421;
    const quint32 scanC = 54;
    EXPECT_EQ(Press(es, Qt::NoModifier, QString(QChar(0x0441)), scanC, 0x6d3), (Log{"down 67", "char 241", "up 67"}));
    EXPECT_EQ(Press(es, Qt::ControlModifier, QString(QChar(0x0441)), scanC, 0x6d3),
              (Log{"down 67 ctrl", "char 3", "up 67 ctrl"}));
    // The first digit key of a French layout types '&' but is the key of '1'.
    EXPECT_EQ(Press(Qt::Key_Ampersand, Qt::NoModifier, "&", 10), (Log{"down 49", "char 38", "up 49"}));
    // Without a known key position only the character arrives; a character the code
    // page has no byte for is not typed at all.
    EXPECT_EQ(Press(0x0416, Qt::NoModifier, QString(QChar(0x0436))), (Log{"char 230"}));
    EXPECT_EQ(Press(0x4E2D, Qt::NoModifier, QString(QChar(0x4E2D))), Log{});
    SetAnsiCodePage(saved);
}

TEST_F(KeysTest, ZeroedKeyDownIsStillFollowedByItsCharacter)
{
    ui.Control->ZeroKeyDown = true;
    EXPECT_EQ(Press(Qt::Key_X, Qt::NoModifier, "x"), (Log{"down 88", "char 120", "up 88"}));
    EXPECT_EQ(Press(Qt::Key_Space, Qt::ControlModifier, " "), (Log{"down 32 ctrl", "char 32", "up 32 ctrl"}));
}

TEST_F(KeysTest, MenuShortcutTakesTheKeyBeforeTheControl)
{
    auto* menu = new TMainMenu(ui.Form);
    auto* item = new TMenuItem(ui.Form);
    item->SetCaption("&New");
    item->SetShortCut(ShortCut('N', ssCtrl));
    int clicks = 0;
    struct Counter {
        int* Clicks;
        void Clicked(TObject*) { ++*Clicks; }
    } counter{&clicks};
    item->OnClick = TNotifyEvent(&counter, &Counter::Clicked);
    menu->Items()->Add(item);
    ui.Form->SetMenu(menu);

    EXPECT_EQ(Press(Qt::Key_N, Qt::ControlModifier, "\x0e"), (Log{"up 78 ctrl"}));
    EXPECT_EQ(clicks, 1);

    item->SetEnabled(false);
    EXPECT_EQ(Press(Qt::Key_N, Qt::ControlModifier, "\x0e"), (Log{"down 78 ctrl", "char 14", "up 78 ctrl"}));
    EXPECT_EQ(clicks, 1);
}

TEST_F(KeysTest, TabMovesTheFocusUnlessTheControlWantsIt)
{
    auto* other = new TRecordingControl(ui.Form);
    other->SetParent(ui.Form);
    other->SetBounds(150, 10, 50, 50);
    ui.Control->SetFocus();
    QApplication::processEvents();
    ASSERT_TRUE(ui.Control->Focused());

    EXPECT_EQ(Press(Qt::Key_Tab, Qt::NoModifier, "\t"), (Log{"down 9", "char 9", "up 9"}));
    EXPECT_TRUE(ui.Control->Focused());

    ui.Control->DialogCode = DLGC_WANTCHARS;
    const Log log = Press(Qt::Key_Tab, Qt::NoModifier, "\t");
    EXPECT_TRUE(std::find(log.begin(), log.end(), "down 9") == log.end());
    EXPECT_TRUE(std::find(log.begin(), log.end(), "char 9") == log.end());
    EXPECT_TRUE(other->Focused());

    // All keys wanted brings Tab back to the control.
    ui.Control->SetFocus();
    ui.Control->DialogCode = DLGC_WANTALLKEYS;
    EXPECT_EQ(Press(Qt::Key_Tab, Qt::NoModifier, "\t"), (Log{"down 9", "char 9", "up 9"}));
}

TEST_F(KeysTest, KeyStateFollowsTheEventsSeen)
{
    // As the system sends them: a modifier key's own press carries the state before it.
    QKeyEvent shiftDown(QEvent::KeyPress, Qt::Key_Shift, Qt::NoModifier);
    QApplication::sendEvent(ui.Client(), &shiftDown);
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    QKeyEvent shiftUp(QEvent::KeyRelease, Qt::Key_Shift, Qt::ShiftModifier);
    QApplication::sendEvent(ui.Client(), &shiftUp);
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);

    QKeyEvent fDown(QEvent::KeyPress, Qt::Key_F, Qt::NoModifier);
    QApplication::sendEvent(ui.Client(), &fDown);
    EXPECT_LT(GetKeyState('F'), 0);
    QKeyEvent fUp(QEvent::KeyRelease, Qt::Key_F, Qt::NoModifier);
    QApplication::sendEvent(ui.Client(), &fUp);
    EXPECT_GE(GetKeyState('F'), 0);
}

class TImeControl : public TRecordingControl {
public:
    using TRecordingControl::TRecordingControl;
    bool Take = false;

protected:
    void WMImeComposition(TWMImeComposition& message) override
    {
        const HIMC context = ImmGetContext(Handle());
        std::string text(static_cast<std::size_t>(ImmGetCompositionStringA(context, GCS_RESULTSTR, nullptr, 0)), '?');
        ImmGetCompositionStringA(context, GCS_RESULTSTR, text.data(), static_cast<DWORD>(text.size()));
        ImmReleaseContext(Handle(), context);
        Log.push_back("ime " + text);
        if (!Take)
            TRecordingControl::WMImeComposition(message);
    }
};

TEST(InputMethodTest, CommittedTextArrivesAsAnsiBytesThenAsCharacters)
{
    const Cardinal saved = GetACP();
    SetAnsiCodePage(1252);
    TForm form(nullptr);
    auto* control = new TImeControl(&form);
    control->SetParent(&form);
    form.Show();
    control->Log.clear();

    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("d\xC3\xA9j\xC3\xA0"));  // "déjà"
    QApplication::sendEvent(control->Window()->Client(), &commit);
    EXPECT_EQ(control->Log, (Log{"ime d\xE9j\xE0", "char 100", "char 233", "char 106", "char 224"}));

    // A control that takes the text gets no characters for it.
    control->Log.clear();
    control->Take = true;
    QApplication::sendEvent(control->Window()->Client(), &commit);
    EXPECT_EQ(control->Log, (Log{"ime d\xE9j\xE0"}));
    EXPECT_EQ(ImmGetCompositionStringA(ImmGetContext(control->Handle()), GCS_RESULTSTR, nullptr, 0), 0);
    SetAnsiCodePage(saved);

    // The input method composes where the control says.
    COMPOSITIONFORM where;
    where.dwStyle = CFS_POINT;
    where.ptCurrentPos = Point(7, 8);
    ASSERT_EQ(ImmSetCompositionWindow(ImmGetContext(control->Handle()), &where), TRUE);
    const QRect rect = control->Window()->Client()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    EXPECT_EQ(rect.topLeft(), QPoint(7, 8));
}

TEST(ShortCutTest, TextAndKeyRoundTrip)
{
    const TShortCut redo = ShortCut('Z', ssShift | ssCtrl);
    EXPECT_EQ(redo, 0x605A);
    EXPECT_EQ(ShortCutToText(redo), "Shift+Ctrl+Z");
    EXPECT_EQ(TextToShortCut("Ctrl+Shift+Z"), redo);
    EXPECT_EQ(TextToShortCut("ctrl+shift+z"), redo);
    EXPECT_EQ(TextToShortCut("F3"), VK_F3);
    EXPECT_EQ(TextToShortCut("Del"), VK_DELETE);
    EXPECT_EQ(ShortCutToText(ShortCut(VK_F1, ssCtrl)), "Ctrl+F1");
    EXPECT_EQ(TextToShortCut("Alt+BkSp"), scAlt | VK_BACK);
    EXPECT_EQ(TextToShortCut("Ctrl+Num 5"), scCtrl | (VK_NUMPAD0 + 5));

    Word key = 0;
    TShiftState shift = 0;
    ShortCutToKey(redo, key, shift);
    EXPECT_EQ(key, 'Z');
    EXPECT_EQ(shift, ssShift | ssCtrl);

    // Texts that name no key give no shortcut.
    EXPECT_EQ(TextToShortCut(""), scNone);
    EXPECT_EQ(TextToShortCut("Ctrl+"), scNone);
    EXPECT_EQ(TextToShortCut("Hyper+X"), scNone);
    EXPECT_EQ(ShortCutToText(0), "");
    // Mouse-button and double-click flags are not part of a shortcut.
    EXPECT_EQ(ShortCut('A', ssCtrl | ssLeft | ssDouble), scCtrl | 'A');
}

TEST(ShortCutTest, ModifierKeysHaveNamesThatReadBack)
{
    // A hot-key editor builds its text from the names of the modifier keys themselves.
    EXPECT_EQ(ShortCutToText(VK_CONTROL), "Ctrl");
    EXPECT_EQ(ShortCutToText(VK_MENU), "Alt");
    EXPECT_EQ(ShortCutToText(VK_SHIFT), "Shift");
    EXPECT_EQ(TextToShortCut("Ctrl"), VK_CONTROL);
    EXPECT_EQ(TextToShortCut("Shift+Ctrl"), scShift | VK_CONTROL);
    EXPECT_EQ(TextToShortCut("Ctrl+Alt+Shift+K"), scCtrl | scAlt | scShift | 'K');
}

TEST(InputStateTest, SetStateIsWhatGetKeyStateAnswersForMessagesSentDirectly)
{
    SetInputShiftState(ssShift | ssCtrl | ssLeft);
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_LT(GetKeyState(VK_CONTROL), 0);
    EXPECT_GE(GetKeyState(VK_MENU), 0);
    EXPECT_LT(GetKeyState(VK_LBUTTON), 0);
    EXPECT_GE(GetKeyState(VK_RBUTTON), 0);
    SetInputShiftState(ssAlt | ssRight | ssMiddle);
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
    EXPECT_LT(GetKeyState(VK_MENU), 0);
    EXPECT_GE(GetKeyState(VK_LBUTTON), 0);
    EXPECT_LT(GetKeyState(VK_RBUTTON), 0);
    EXPECT_LT(GetKeyState(VK_MBUTTON), 0);
    SetInputShiftState(0);
    EXPECT_GE(GetKeyState(VK_MENU), 0);
}

}  // namespace

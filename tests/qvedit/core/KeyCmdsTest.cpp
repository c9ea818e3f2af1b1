#include "qvedit/core/QvEditKeyCmds.h"

#include "platform/runtime/Streams.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A key as the key map's documentation writes it: "Shift+Ctrl+Page Down", "Ctrl+7".
struct TKeyText {
    Word key;
    TShiftState shift;
};

TKeyText ParseKeyText(const std::string& text)
{
    static const std::map<std::string, Word> names = {
        {"Up", VK_UP},         {"Down", VK_DOWN},       {"Left", VK_LEFT},
        {"Right", VK_RIGHT},   {"Page Down", VK_NEXT},  {"Page Up", VK_PRIOR},
        {"Home", VK_HOME},     {"End", VK_END},         {"Insert", VK_INSERT},
        {"Delete", VK_DELETE}, {"Backspace", VK_BACK},  {"Enter", VK_RETURN},
        {"Tab", VK_TAB},       {"F1", VK_F1},
    };
    TKeyText result{0, 0};
    std::string rest = text;
    for (auto [prefix, bit] : {std::pair{"Shift+", ssShift}, std::pair{"Ctrl+", ssCtrl},
                               std::pair{"Alt+", ssAlt}}) {
        std::string p = prefix;
        if (rest.rfind(p, 0) == 0) {
            result.shift |= bit;
            rest.erase(0, p.size());
        }
    }
    auto named = names.find(rest);
    if (named != names.end())
        result.key = named->second;
    else if (rest.size() == 1)
        result.key = static_cast<Word>(rest[0]);
    return result;
}

struct TExpectedBinding {
    std::string keys;
    std::string command;
};

// The default map as its documentation lists it, in order.
std::vector<TExpectedBinding> DocumentedDefaults()
{
    std::vector<TExpectedBinding> rows = {
        {"Up", "ecUp"}, {"Shift+Up", "ecSelUp"}, {"Ctrl+Up", "ecScrollUp"},
        {"Down", "ecDown"}, {"Shift+Down", "ecSelDown"}, {"Ctrl+Down", "ecScrollDown"},
        {"Left", "ecLeft"}, {"Shift+Left", "ecSelLeft"}, {"Ctrl+Left", "ecWordLeft"},
        {"Shift+Ctrl+Left", "ecSelWordLeft"},
        {"Right", "ecRight"}, {"Shift+Right", "ecSelRight"}, {"Ctrl+Right", "ecWordRight"},
        {"Shift+Ctrl+Right", "ecSelWordRight"},
        {"Page Down", "ecPageDown"}, {"Shift+Page Down", "ecSelPageDown"},
        {"Ctrl+Page Down", "ecPageBottom"}, {"Shift+Ctrl+Page Down", "ecSelPageBottom"},
        {"Page Up", "ecPageUp"}, {"Shift+Page Up", "ecSelPageUp"},
        {"Ctrl+Page Up", "ecPageTop"}, {"Shift+Ctrl+Page Up", "ecSelPageTop"},
        {"Home", "ecLineStart"}, {"Shift+Home", "ecSelLineStart"},
        {"Ctrl+Home", "ecEditorTop"}, {"Shift+Ctrl+Home", "ecSelEditorTop"},
        {"End", "ecLineEnd"}, {"Shift+End", "ecSelLineEnd"},
        {"Ctrl+End", "ecEditorBottom"}, {"Shift+Ctrl+End", "ecSelEditorBottom"},
        {"Insert", "ecToggleMode"}, {"Ctrl+Insert", "ecCopy"}, {"Shift+Delete", "ecCut"},
        {"Shift+Insert", "ecPaste"}, {"Delete", "ecDeleteChar"},
        {"Backspace", "ecDeleteLastChar"}, {"Shift+Backspace", "ecDeleteLastChar"},
        {"Ctrl+Backspace", "ecDeleteLastWord"}, {"Alt+Backspace", "ecUndo"},
        {"Shift+Alt+Backspace", "ecRedo"},
        {"Enter", "ecLineBreak"}, {"Shift+Enter", "ecLineBreak"}, {"Tab", "ecTab"},
        {"Shift+Tab", "ecShiftTab"}, {"F1", "ecContextHelp"},
        {"Ctrl+A", "ecSelectAll"}, {"Ctrl+C", "ecCopy"}, {"Ctrl+V", "ecPaste"},
        {"Ctrl+X", "ecCut"}, {"Shift+Ctrl+I", "ecBlockIndent"},
        {"Shift+Ctrl+U", "ecBlockUnindent"}, {"Ctrl+M", "ecLineBreak"},
        {"Ctrl+N", "ecInsertLine"}, {"Ctrl+T", "ecDeleteWord"}, {"Ctrl+Y", "ecDeleteLine"},
        {"Shift+Ctrl+Y", "ecDeleteEOL"}, {"Ctrl+Z", "ecUndo"}, {"Shift+Ctrl+Z", "ecRedo"},
    };
    for (char d = '0'; d <= '9'; ++d)
        rows.push_back({std::string("Ctrl+") + d, std::string("ecGotoMarker") + d});
    for (char d = '0'; d <= '9'; ++d)
        rows.push_back({std::string("Shift+Ctrl+") + d, std::string("ecSetMarker") + d});
    rows.push_back({"Shift+Ctrl+N", "ecNormalSelect"});
    rows.push_back({"Shift+Ctrl+C", "ecColumnSelect"});
    rows.push_back({"Shift+Ctrl+L", "ecLineSelect"});
    rows.push_back({"Shift+Ctrl+B", "ecMatchBracket"});
    return rows;
}

class TNameCollector : public TObject {
public:
    void Collect(const std::string& S) { names.push_back(S); }
    std::vector<std::string> names;
};

}  // namespace

TEST(KeyCmds, TheDefaultMapHasTheDocumentedBindingsInOrder)
{
    TQvEditKeyStrokes keys(nullptr);
    keys.ResetDefaults();
    std::vector<TExpectedBinding> expected = DocumentedDefaults();
    ASSERT_EQ(expected.size(), 82u);
    ASSERT_EQ(keys.Count(), 82);
    for (int i = 0; i < keys.Count(); ++i) {
        TKeyText want = ParseKeyText(expected[i].keys);
        const TQvEditKeyStroke* k = keys.GetItem(i);
        SCOPED_TRACE(expected[i].keys);
        ASSERT_NE(want.key, 0);
        EXPECT_EQ(k->GetKey(), want.key);
        EXPECT_EQ(k->GetShift(), want.shift);
        EXPECT_EQ(k->GetKey2(), 0);
        EXPECT_EQ(EditorCommandToCodeString(k->GetCommand()), expected[i].command);
    }
    keys.ResetDefaults();
    EXPECT_EQ(keys.Count(), 82);
}

TEST(KeyCmds, LookUpsByCommandKeyAndShortcut)
{
    TQvEditKeyStrokes keys(nullptr);
    keys.ResetDefaults();
    EXPECT_EQ(keys.FindCommand(ecCopy), 31);
    EXPECT_EQ(keys.FindCommand(ecImeStr), -1);
    EXPECT_EQ(keys.FindKeycode('C', ssCtrl), 46);
    EXPECT_EQ(keys.FindShortcut(ShortCut('C', ssCtrl)), 46);
    EXPECT_EQ(keys.FindKeycode('C', ssAlt), -1);

    TQvEditKeyStroke* chord = keys.Add();
    chord->SetCommand(ecMatchBracket);
    chord->SetShortCut(ShortCut('K', ssCtrl));
    chord->SetShortCut2(ShortCut('B', ssCtrl));
    EXPECT_EQ(keys.FindKeycode('K', ssCtrl), -1);  // a chord is not a one-stroke binding
    EXPECT_EQ(keys.FindKeycode2('K', ssCtrl, 'B', ssCtrl), 82);
    EXPECT_EQ(keys.FindShortcut2(ShortCut('K', ssCtrl), ShortCut('B', ssCtrl)), 82);
    EXPECT_EQ(keys.FindShortcut2(ShortCut('K', ssCtrl), 0), -1);
    EXPECT_EQ(chord->GetDisplayName(), "ecMatchBracket - Ctrl+K Ctrl+B");
}

TEST(KeyCmds, ADuplicateShortcutIsRefusedAndKeepsTheOldKeys)
{
    TQvEditKeyStrokes keys(nullptr);
    keys.ResetDefaults();
    TQvEditKeyStroke* paste = keys.GetItem(keys.FindKeycode('V', ssCtrl));
    try {
        paste->SetShortCut(ShortCut('C', ssCtrl));
        FAIL() << "duplicate accepted";
    } catch (const EQvKeyError& e) {
        EXPECT_EQ(e.Message(), "Shortcut already exists");
    }
    EXPECT_EQ(paste->GetShortCut(), ShortCut('V', ssCtrl));
    paste->SetShortCut(ShortCut('V', ssCtrl));  // its own keys are no duplicate
    paste->SetShortCut(0);
    keys.GetItem(0)->SetShortCut(0);  // 0 is never a duplicate
    EXPECT_EQ(keys.GetItem(0)->GetShortCut(), 0);

    TQvEditKeyStroke* first = keys.Add();
    first->SetShortCut(ShortCut('K', ssCtrl));
    first->SetShortCut2(ShortCut('1', ssCtrl));
    TQvEditKeyStroke* second = keys.Add();
    second->SetShortCut(ShortCut('K', ssCtrl));
    second->SetShortCut2(ShortCut('2', ssCtrl));
    EXPECT_THROW(second->SetShortCut2(ShortCut('1', ssCtrl)), EQvKeyError);
    EXPECT_EQ(second->GetShortCut2(), ShortCut('2', ssCtrl));
}

TEST(KeyCmds, ABindingStreamsAsEightLittleEndianBytes)
{
    TQvEditKeyStrokes keys(nullptr);
    TQvEditKeyStroke* k = keys.Add();
    k->SetKey(0x0143);
    k->SetShift(ssCtrl);
    k->SetKey2(0x0241);
    k->SetShift2(ssShift | ssAlt);
    k->SetCommand(ecUserFirst);
    TStringStream out;
    k->SaveToStream(&out);
    EXPECT_EQ(out.DataString(), std::string("\x43\x01\x04\x41\x02\x03\xE9\x03", 8));

    TStringStream in(out.DataString());
    TQvEditKeyStroke* copy = keys.Add();
    copy->LoadFromStream(&in);
    EXPECT_EQ(copy->GetKey(), 0x0143);
    EXPECT_EQ(copy->GetShift(), ssCtrl);
    EXPECT_EQ(copy->GetKey2(), 0x0241);
    EXPECT_EQ(copy->GetShift2(), ssShift | ssAlt);
    EXPECT_EQ(copy->GetCommand(), ecUserFirst);
}

TEST(KeyCmds, ACollectionStreamsWithItsCount)
{
    TQvEditKeyStrokes keys(nullptr);
    keys.ResetDefaults();
    keys.Add()->SetShortCut(ShortCut('K', ssCtrl));
    TStringStream out;
    keys.SaveToStream(&out);
    std::string bytes = out.DataString();
    ASSERT_EQ(bytes.size(), 4u + 83u * 8u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x53\x00\x00\x00", 4));

    TQvEditKeyStrokes loaded(nullptr);
    TStringStream in(bytes);
    loaded.LoadFromStream(&in);
    TStringStream again;
    loaded.SaveToStream(&again);
    EXPECT_EQ(again.DataString(), bytes);

    TStringStream cut(bytes.substr(0, bytes.size() - 3));
    EXPECT_THROW(loaded.LoadFromStream(&cut), EReadError);
    EXPECT_EQ(loaded.Count(), 83);
}

TEST(KeyCmds, CommandNamesAndCodes)
{
    Integer code = -1;
    EXPECT_TRUE(IdentToEditorCommand("ecContextHelp", code));
    EXPECT_EQ(code, ecContextHelp);
    EXPECT_FALSE(IdentToEditorCommand("ecNoSuchCommand", code));
    std::string ident;
    EXPECT_TRUE(EditorCommandToIdent(ecSelGotoXY, ident));
    EXPECT_EQ(ident, "ecSelGotoXY");
    EXPECT_FALSE(EditorCommandToIdent(700, ident));
    EXPECT_EQ(EditorCommandToCodeString(700), "700");
    EXPECT_EQ(EditorCommandToCodeString(ecPaste), "ecPaste");
    EXPECT_EQ(ConvertCodeStringToCommand("ECCOPY"), ecCopy);
    EXPECT_EQ(ConvertCodeStringToCommand("ecFoo"), ecNone);
    EXPECT_EQ(IndexToEditorCommand(0), ecNone);
    EXPECT_EQ(IndexToEditorCommand(98), ecString);
    EXPECT_EQ(IndexToEditorCommand(99), ecNone);

    TNameCollector names;
    GetEditorCommandValues(TGetStrProc(&names, &TNameCollector::Collect));
    ASSERT_EQ(names.names.size(), 99u);
    EXPECT_EQ(names.names[35], "ecSelectAll");
    EXPECT_EQ(names.names[69], "ecUserFirst");
}

TEST(KeyCmds, ReadableCommandTexts)
{
    EXPECT_EQ(ConvertCodeStringToExtended("ecSelWordLeft"), "Select Word Left");
    EXPECT_EQ(ConvertCodeStringToExtended("ecGotoMarker0"), "Goto Bookmark 0");
    EXPECT_EQ(ConvertCodeStringToExtended("ecGotoXY"), "Goto XY");
    EXPECT_EQ(ConvertCodeStringToExtended("ecDeleteBOL"), "Delete BOL");
    EXPECT_EQ(ConvertCodeStringToExtended("Something"), "Something");
    EXPECT_EQ(ConvertExtendedToCodeString("Select All"), "ecSelectAll");
    EXPECT_EQ(ConvertExtendedToCodeString("ecFoo"), "ecFoo");
    EXPECT_EQ(ConvertExtendedToCodeString("Select Word Left"), "ecSelWordLeft");
    EXPECT_EQ(ConvertExtendedToCodeString("Set Bookmark 3"), "ecSetMarker3");
    EXPECT_EQ(ConvertExtendedToCodeString("Frob Bookmark 3"), "ecFrobMarker3");

    // Every command's readable text leads back to the command.
    TNameCollector texts;
    GetEditorCommandExtended(TGetStrProc(&texts, &TNameCollector::Collect));
    ASSERT_EQ(texts.names.size(), 99u);
    for (std::size_t i = 0; i < texts.names.size(); ++i)
        EXPECT_EQ(ConvertExtendedToCommand(texts.names[i]),
                  IndexToEditorCommand(static_cast<Integer>(i)))
            << texts.names[i];
}

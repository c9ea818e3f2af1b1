// Editor command codes and the keystroke map that binds keys to them: a collection of
// bindings of one or two key strokes each, the default map, look-ups, the 8-byte stream
// form of a binding, and conversions between command codes, names and readable texts.
#pragma once

#include "platform/runtime/Classes.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/System.h"
#include "platform/window/Keys.h"

#include <string>

// Codes 1..1000 are executed by the editor; codes from ecUserFirst on belong to the
// application. Each selecting code is its moving code + 100.
using TQvEditorCommand = Word;

constexpr TQvEditorCommand ecNone = 0;
constexpr TQvEditorCommand ecLeft = 1;
constexpr TQvEditorCommand ecRight = 2;
constexpr TQvEditorCommand ecUp = 3;
constexpr TQvEditorCommand ecDown = 4;
constexpr TQvEditorCommand ecWordLeft = 5;
constexpr TQvEditorCommand ecWordRight = 6;
constexpr TQvEditorCommand ecLineStart = 7;
constexpr TQvEditorCommand ecLineEnd = 8;
constexpr TQvEditorCommand ecPageUp = 9;
constexpr TQvEditorCommand ecPageDown = 10;
constexpr TQvEditorCommand ecPageLeft = 11;
constexpr TQvEditorCommand ecPageRight = 12;
constexpr TQvEditorCommand ecPageTop = 13;
constexpr TQvEditorCommand ecPageBottom = 14;
constexpr TQvEditorCommand ecEditorTop = 15;
constexpr TQvEditorCommand ecEditorBottom = 16;
constexpr TQvEditorCommand ecGotoXY = 17;

constexpr TQvEditorCommand ecSelLeft = ecLeft + 100;
constexpr TQvEditorCommand ecSelRight = ecRight + 100;
constexpr TQvEditorCommand ecSelUp = ecUp + 100;
constexpr TQvEditorCommand ecSelDown = ecDown + 100;
constexpr TQvEditorCommand ecSelWordLeft = ecWordLeft + 100;
constexpr TQvEditorCommand ecSelWordRight = ecWordRight + 100;
constexpr TQvEditorCommand ecSelLineStart = ecLineStart + 100;
constexpr TQvEditorCommand ecSelLineEnd = ecLineEnd + 100;
constexpr TQvEditorCommand ecSelPageUp = ecPageUp + 100;
constexpr TQvEditorCommand ecSelPageDown = ecPageDown + 100;
constexpr TQvEditorCommand ecSelPageLeft = ecPageLeft + 100;
constexpr TQvEditorCommand ecSelPageRight = ecPageRight + 100;
constexpr TQvEditorCommand ecSelPageTop = ecPageTop + 100;
constexpr TQvEditorCommand ecSelPageBottom = ecPageBottom + 100;
constexpr TQvEditorCommand ecSelEditorTop = ecEditorTop + 100;
constexpr TQvEditorCommand ecSelEditorBottom = ecEditorBottom + 100;
constexpr TQvEditorCommand ecSelGotoXY = ecGotoXY + 100;
constexpr TQvEditorCommand ecSelectAll = 199;

constexpr TQvEditorCommand ecCopy = 201;
constexpr TQvEditorCommand ecScrollUp = 211;
constexpr TQvEditorCommand ecScrollDown = 212;
constexpr TQvEditorCommand ecScrollLeft = 213;
constexpr TQvEditorCommand ecScrollRight = 214;
constexpr TQvEditorCommand ecInsertMode = 221;
constexpr TQvEditorCommand ecOverwriteMode = 222;
constexpr TQvEditorCommand ecToggleMode = 223;
constexpr TQvEditorCommand ecNormalSelect = 231;
constexpr TQvEditorCommand ecColumnSelect = 232;
constexpr TQvEditorCommand ecLineSelect = 233;
constexpr TQvEditorCommand ecMatchBracket = 250;

constexpr TQvEditorCommand ecGotoMarker0 = 301;
constexpr TQvEditorCommand ecGotoMarker1 = 302;
constexpr TQvEditorCommand ecGotoMarker2 = 303;
constexpr TQvEditorCommand ecGotoMarker3 = 304;
constexpr TQvEditorCommand ecGotoMarker4 = 305;
constexpr TQvEditorCommand ecGotoMarker5 = 306;
constexpr TQvEditorCommand ecGotoMarker6 = 307;
constexpr TQvEditorCommand ecGotoMarker7 = 308;
constexpr TQvEditorCommand ecGotoMarker8 = 309;
constexpr TQvEditorCommand ecGotoMarker9 = 310;
constexpr TQvEditorCommand ecSetMarker0 = 351;
constexpr TQvEditorCommand ecSetMarker1 = 352;
constexpr TQvEditorCommand ecSetMarker2 = 353;
constexpr TQvEditorCommand ecSetMarker3 = 354;
constexpr TQvEditorCommand ecSetMarker4 = 355;
constexpr TQvEditorCommand ecSetMarker5 = 356;
constexpr TQvEditorCommand ecSetMarker6 = 357;
constexpr TQvEditorCommand ecSetMarker7 = 358;
constexpr TQvEditorCommand ecSetMarker8 = 359;
constexpr TQvEditorCommand ecSetMarker9 = 360;

constexpr TQvEditorCommand ecContextHelp = 490;

constexpr TQvEditorCommand ecDeleteLastChar = 501;
constexpr TQvEditorCommand ecDeleteChar = 502;
constexpr TQvEditorCommand ecDeleteWord = 503;
constexpr TQvEditorCommand ecDeleteLastWord = 504;
constexpr TQvEditorCommand ecDeleteBOL = 505;
constexpr TQvEditorCommand ecDeleteEOL = 506;
constexpr TQvEditorCommand ecDeleteLine = 507;
constexpr TQvEditorCommand ecClearAll = 508;
constexpr TQvEditorCommand ecLineBreak = 509;
constexpr TQvEditorCommand ecInsertLine = 510;
constexpr TQvEditorCommand ecChar = 511;
constexpr TQvEditorCommand ecImeStr = 550;

constexpr TQvEditorCommand ecUndo = 601;
constexpr TQvEditorCommand ecRedo = 602;
constexpr TQvEditorCommand ecCut = 603;
constexpr TQvEditorCommand ecPaste = 604;
constexpr TQvEditorCommand ecBlockIndent = 610;
constexpr TQvEditorCommand ecBlockUnindent = 611;
constexpr TQvEditorCommand ecTab = 612;
constexpr TQvEditorCommand ecShiftTab = 613;
constexpr TQvEditorCommand ecUpperCase = 620;
constexpr TQvEditorCommand ecLowerCase = 621;
constexpr TQvEditorCommand ecToggleCase = 622;
constexpr TQvEditorCommand ecTitleCase = 623;
constexpr TQvEditorCommand ecUpperCaseBlock = 625;
constexpr TQvEditorCommand ecLowerCaseBlock = 626;
constexpr TQvEditorCommand ecToggleCaseBlock = 627;
constexpr TQvEditorCommand ecString = 630;
constexpr TQvEditorCommand ecAutoCompletion = 650;

constexpr TQvEditorCommand ecUserFirst = 1001;

QV_DECLARE_EXCEPTION(EQvKeyError, Exception);

// One binding: one or two key strokes (Key2 = 0 for one) and the command they run.
class TQvEditKeyStroke : public TCollectionItem {
public:
    explicit TQvEditKeyStroke(TCollection* Collection) : TCollectionItem(Collection) {}

    void Assign(TPersistent* Source) override;
    // "ecCopy - Ctrl+C"; the second stroke's text follows when the first is set.
    std::string GetDisplayName() const override;

    TQvEditorCommand GetCommand() const { return command_; }
    void SetCommand(TQvEditorCommand Value) { command_ = Value; }
    Word GetKey() const { return key_; }
    void SetKey(Word Value) { key_ = Value; }
    TShiftState GetShift() const { return shift_; }
    void SetShift(TShiftState Value) { shift_ = Value; }
    Word GetKey2() const { return key2_; }
    void SetKey2(Word Value) { key2_ = Value; }
    TShiftState GetShift2() const { return shift2_; }
    void SetShift2(TShiftState Value) { shift2_ = Value; }

    // The shortcut of (Key, Shift) and of (Key2, Shift2). The setters raise EQvKeyError
    // "Shortcut already exists" when another binding of the collection already has the
    // resulting pair of strokes; the binding then keeps its keys. 0 is never a duplicate.
    TShortCut GetShortCut() const { return ShortCut(key_, shift_); }
    void SetShortCut(TShortCut Value);
    TShortCut GetShortCut2() const { return ShortCut(key2_, shift2_); }
    void SetShortCut2(TShortCut Value);

    // Key 2 bytes, Shift 1, Key2 2, Shift2 1, Command 2; little-endian.
    void LoadFromStream(TStream* Stream);
    void SaveToStream(TStream* Stream) const;

private:
    void CheckUnique(Word Key, TShiftState Shift, Word Key2, TShiftState Shift2) const;

    Word key_ = 0;
    TShiftState shift_ = 0;
    Word key2_ = 0;
    TShiftState shift2_ = 0;
    TQvEditorCommand command_ = ecNone;
};

class TQvEditKeyStrokes : public TCollection {
public:
    explicit TQvEditKeyStrokes(TPersistent* AOwner);

    TQvEditKeyStroke* Add();
    TQvEditKeyStroke* GetItem(int Index) const;
    void SetItem(int Index, TQvEditKeyStroke* Value);
    // Adds a one-stroke binding.
    void AddKey(TQvEditorCommand ACmd, Word AKey, TShiftState AShift);

    // Indexes of the first matching binding; -1 when none.
    int FindCommand(TQvEditorCommand Cmd) const;
    // Only one-stroke bindings match.
    int FindKeycode(Word Code, TShiftState SS) const;
    int FindKeycode2(Word Code1, TShiftState SS1, Word Code2, TShiftState SS2) const;
    int FindShortcut(TShortCut SC) const;
    int FindShortcut2(TShortCut SC, TShortCut SC2) const;

    // Replaces the bindings with the default key map.
    void ResetDefaults();

    // A 32-bit count, then that many bindings. Loading reads every binding before it
    // replaces the old ones, so a short or broken stream raises and changes nothing.
    void LoadFromStream(TStream* Stream);
    void SaveToStream(TStream* Stream) const;
};

// ---- Command names ------------------------------------------------------------------------

// Between a code and its name ("ecCopy"); false when the table has none.
bool IdentToEditorCommand(const std::string& Ident, Integer& Code);
bool EditorCommandToIdent(Integer Code, std::string& Ident);
// The name, or the decimal code when it has none.
std::string EditorCommandToCodeString(TQvEditorCommand Cmd);
std::string EditorCommandToDescrString(TQvEditorCommand Cmd);

// "ecSelWordLeft" <-> "Select Word Left", "ecGotoMarker0" <-> "Goto Bookmark 0".
std::string ConvertCodeStringToExtended(const std::string& AString);
std::string ConvertExtendedToCodeString(const std::string& AString);
// The code of a name (letter case ignored), or of a readable text; ecNone when none.
TQvEditorCommand ConvertCodeStringToCommand(const std::string& AString);
TQvEditorCommand ConvertExtendedToCommand(const std::string& AString);
// The code of the name table's row Index; ecNone outside the table.
TQvEditorCommand IndexToEditorCommand(Integer AIndex);

// Calls Proc with every name (readable text), in the name table's order.
using TGetStrProc = TEvent<void(const std::string& S)>;
void GetEditorCommandValues(TGetStrProc Proc);
void GetEditorCommandExtended(TGetStrProc Proc);

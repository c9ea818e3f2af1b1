#include "qvedit/core/QvEditKeyCmds.h"

#include "platform/runtime/SysUtils.h"
#include "qvedit/core/QvEditStrConst.h"

#include <array>
#include <iterator>
#include <memory>
#include <vector>

// ---- Command names ------------------------------------------------------------------------

namespace {

struct TCommandName {
    TQvEditorCommand Code;
    const char* Name;
};

// The name table; its order is the order of iteration of the name services.
constexpr TCommandName CommandNames[] = {
    {ecNone, "ecNone"},
    {ecLeft, "ecLeft"},
    {ecRight, "ecRight"},
    {ecUp, "ecUp"},
    {ecDown, "ecDown"},
    {ecWordLeft, "ecWordLeft"},
    {ecWordRight, "ecWordRight"},
    {ecLineStart, "ecLineStart"},
    {ecLineEnd, "ecLineEnd"},
    {ecPageUp, "ecPageUp"},
    {ecPageDown, "ecPageDown"},
    {ecPageLeft, "ecPageLeft"},
    {ecPageRight, "ecPageRight"},
    {ecPageTop, "ecPageTop"},
    {ecPageBottom, "ecPageBottom"},
    {ecEditorTop, "ecEditorTop"},
    {ecEditorBottom, "ecEditorBottom"},
    {ecGotoXY, "ecGotoXY"},
    {ecSelLeft, "ecSelLeft"},
    {ecSelRight, "ecSelRight"},
    {ecSelUp, "ecSelUp"},
    {ecSelDown, "ecSelDown"},
    {ecSelWordLeft, "ecSelWordLeft"},
    {ecSelWordRight, "ecSelWordRight"},
    {ecSelLineStart, "ecSelLineStart"},
    {ecSelLineEnd, "ecSelLineEnd"},
    {ecSelPageUp, "ecSelPageUp"},
    {ecSelPageDown, "ecSelPageDown"},
    {ecSelPageLeft, "ecSelPageLeft"},
    {ecSelPageRight, "ecSelPageRight"},
    {ecSelPageTop, "ecSelPageTop"},
    {ecSelPageBottom, "ecSelPageBottom"},
    {ecSelEditorTop, "ecSelEditorTop"},
    {ecSelEditorBottom, "ecSelEditorBottom"},
    {ecSelGotoXY, "ecSelGotoXY"},
    {ecSelectAll, "ecSelectAll"},
    {ecDeleteLastChar, "ecDeleteLastChar"},
    {ecDeleteChar, "ecDeleteChar"},
    {ecDeleteWord, "ecDeleteWord"},
    {ecDeleteLastWord, "ecDeleteLastWord"},
    {ecDeleteBOL, "ecDeleteBOL"},
    {ecDeleteEOL, "ecDeleteEOL"},
    {ecDeleteLine, "ecDeleteLine"},
    {ecClearAll, "ecClearAll"},
    {ecLineBreak, "ecLineBreak"},
    {ecInsertLine, "ecInsertLine"},
    {ecChar, "ecChar"},
    {ecImeStr, "ecImeStr"},
    {ecUndo, "ecUndo"},
    {ecRedo, "ecRedo"},
    {ecCut, "ecCut"},
    {ecCopy, "ecCopy"},
    {ecPaste, "ecPaste"},
    {ecScrollUp, "ecScrollUp"},
    {ecScrollDown, "ecScrollDown"},
    {ecScrollLeft, "ecScrollLeft"},
    {ecScrollRight, "ecScrollRight"},
    {ecInsertMode, "ecInsertMode"},
    {ecOverwriteMode, "ecOverwriteMode"},
    {ecToggleMode, "ecToggleMode"},
    {ecBlockIndent, "ecBlockIndent"},
    {ecBlockUnindent, "ecBlockUnindent"},
    {ecTab, "ecTab"},
    {ecShiftTab, "ecShiftTab"},
    {ecMatchBracket, "ecMatchBracket"},
    {ecNormalSelect, "ecNormalSelect"},
    {ecColumnSelect, "ecColumnSelect"},
    {ecLineSelect, "ecLineSelect"},
    {ecAutoCompletion, "ecAutoCompletion"},
    {ecUserFirst, "ecUserFirst"},
    {ecContextHelp, "ecContextHelp"},
    {ecGotoMarker0, "ecGotoMarker0"},
    {ecGotoMarker1, "ecGotoMarker1"},
    {ecGotoMarker2, "ecGotoMarker2"},
    {ecGotoMarker3, "ecGotoMarker3"},
    {ecGotoMarker4, "ecGotoMarker4"},
    {ecGotoMarker5, "ecGotoMarker5"},
    {ecGotoMarker6, "ecGotoMarker6"},
    {ecGotoMarker7, "ecGotoMarker7"},
    {ecGotoMarker8, "ecGotoMarker8"},
    {ecGotoMarker9, "ecGotoMarker9"},
    {ecSetMarker0, "ecSetMarker0"},
    {ecSetMarker1, "ecSetMarker1"},
    {ecSetMarker2, "ecSetMarker2"},
    {ecSetMarker3, "ecSetMarker3"},
    {ecSetMarker4, "ecSetMarker4"},
    {ecSetMarker5, "ecSetMarker5"},
    {ecSetMarker6, "ecSetMarker6"},
    {ecSetMarker7, "ecSetMarker7"},
    {ecSetMarker8, "ecSetMarker8"},
    {ecSetMarker9, "ecSetMarker9"},
    {ecUpperCase, "ecUpperCase"},
    {ecLowerCase, "ecLowerCase"},
    {ecToggleCase, "ecToggleCase"},
    {ecTitleCase, "ecTitleCase"},
    {ecUpperCaseBlock, "ecUpperCaseBlock"},
    {ecLowerCaseBlock, "ecLowerCaseBlock"},
    {ecToggleCaseBlock, "ecToggleCaseBlock"},
    {ecString, "ecString"},
};

bool IsUpperOrDigit(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool StartsWithEc(const std::string& s)
{
    return s.size() >= 2 && s[0] == 'e' && s[1] == 'c';
}

// The readable text of a name by the word-splitting rule alone.
std::string SplitCodeString(const std::string& name)
{
    std::string s = name.substr(2);
    for (std::size_t i = s.size(); i-- > 1;)
        if (IsUpperOrDigit(s[i]) && !IsUpperOrDigit(s[i - 1]))
            s.insert(i, 1, ' ');
    s = Trim(s);
    s = StringReplace(s, "Sel ", "Select ", rfReplaceAll);
    s = StringReplace(s, "Marker ", "Bookmark ", rfReplaceAll);
    return Trim(s);
}

}  // namespace

bool IdentToEditorCommand(const std::string& Ident, Integer& Code)
{
    for (const TCommandName& row : CommandNames) {
        if (SameText(Ident, row.Name)) {
            Code = row.Code;
            return true;
        }
    }
    return false;
}

bool EditorCommandToIdent(Integer Code, std::string& Ident)
{
    for (const TCommandName& row : CommandNames) {
        if (row.Code == Code) {
            Ident = row.Name;
            return true;
        }
    }
    return false;
}

std::string EditorCommandToCodeString(TQvEditorCommand Cmd)
{
    std::string ident;
    if (EditorCommandToIdent(Cmd, ident))
        return ident;
    return IntToStr(Cmd);
}

std::string EditorCommandToDescrString(TQvEditorCommand)
{
    return {};
}

std::string ConvertCodeStringToExtended(const std::string& AString)
{
    if (!StartsWithEc(AString))
        return AString;
    return SplitCodeString(AString);
}

std::string ConvertExtendedToCodeString(const std::string& AString)
{
    if (StartsWithEc(AString))
        return AString;
    // The texts that names read as convert back to those names exactly ("Select All" is
    // ecSelectAll, which the textual rule alone would turn into "ecSelAll").
    for (const TCommandName& row : CommandNames)
        if (SplitCodeString(row.Name) == AString)
            return row.Name;
    std::string s = StringReplace(AString, "Select ", "Sel ", rfReplaceAll);
    s = StringReplace(s, "Bookmark ", "Marker ", rfReplaceAll);
    s = StringReplace(s, " ", "", rfReplaceAll);
    return "ec" + s;
}

TQvEditorCommand ConvertCodeStringToCommand(const std::string& AString)
{
    std::string wanted = UpperCase(AString);
    for (const TCommandName& row : CommandNames)
        if (UpperCase(row.Name) == wanted)
            return row.Code;
    return ecNone;
}

TQvEditorCommand ConvertExtendedToCommand(const std::string& AString)
{
    return ConvertCodeStringToCommand(ConvertExtendedToCodeString(AString));
}

TQvEditorCommand IndexToEditorCommand(Integer AIndex)
{
    if (AIndex < 0 || AIndex >= static_cast<Integer>(std::size(CommandNames)))
        return ecNone;
    return CommandNames[AIndex].Code;
}

void GetEditorCommandValues(TGetStrProc Proc)
{
    for (const TCommandName& row : CommandNames)
        Proc(row.Name);
}

void GetEditorCommandExtended(TGetStrProc Proc)
{
    for (const TCommandName& row : CommandNames)
        Proc(ConvertCodeStringToExtended(row.Name));
}

// ---- TQvEditKeyStroke -----------------------------------------------------------------------

void TQvEditKeyStroke::Assign(TPersistent* Source)
{
    if (auto* other = dynamic_cast<TQvEditKeyStroke*>(Source)) {
        command_ = other->command_;
        key_ = other->key_;
        key2_ = other->key2_;
        shift_ = other->shift_;
        shift2_ = other->shift2_;
    } else {
        TCollectionItem::Assign(Source);
    }
}

std::string TQvEditKeyStroke::GetDisplayName() const
{
    std::string name = EditorCommandToCodeString(command_) + " - " + ShortCutToText(GetShortCut());
    if (GetShortCut() != 0)
        name += " " + ShortCutToText(GetShortCut2());
    return name;
}

void TQvEditKeyStroke::CheckUnique(Word Key, TShiftState Shift, Word Key2,
                                   TShiftState Shift2) const
{
    if (Collection() == nullptr)
        return;
    for (int i = 0; i < Collection()->Count(); ++i) {
        auto* other = static_cast<TQvEditKeyStroke*>(Collection()->Items(i));
        if (other != this && other->key_ == Key && other->shift_ == Shift &&
            other->key2_ == Key2 && other->shift2_ == Shift2)
            throw EQvKeyError(LoadResString(QVS_EDuplicateShortcut));
    }
}

void TQvEditKeyStroke::SetShortCut(TShortCut Value)
{
    Word key = 0;
    TShiftState shift = 0;
    ShortCutToKey(Value, key, shift);
    if (Value != 0)
        CheckUnique(key, shift, key2_, shift2_);
    key_ = key;
    shift_ = shift;
}

void TQvEditKeyStroke::SetShortCut2(TShortCut Value)
{
    Word key = 0;
    TShiftState shift = 0;
    ShortCutToKey(Value, key, shift);
    if (Value != 0)
        CheckUnique(key_, shift_, key, shift);
    key2_ = key;
    shift2_ = shift;
}

void TQvEditKeyStroke::LoadFromStream(TStream* Stream)
{
    Word key = ReadLE16(*Stream);
    TShiftState shift = ReadByte(*Stream);
    Word key2 = ReadLE16(*Stream);
    TShiftState shift2 = ReadByte(*Stream);
    TQvEditorCommand command = ReadLE16(*Stream);
    key_ = key;
    shift_ = shift;
    key2_ = key2;
    shift2_ = shift2;
    command_ = command;
}

void TQvEditKeyStroke::SaveToStream(TStream* Stream) const
{
    WriteLE16(*Stream, key_);
    WriteByte(*Stream, shift_);
    WriteLE16(*Stream, key2_);
    WriteByte(*Stream, shift2_);
    WriteLE16(*Stream, command_);
}

// ---- TQvEditKeyStrokes ----------------------------------------------------------------------

TQvEditKeyStrokes::TQvEditKeyStrokes(TPersistent* AOwner)
    : TCollection(&CollectionItemClass<TQvEditKeyStroke>, AOwner)
{
}

TQvEditKeyStroke* TQvEditKeyStrokes::Add()
{
    return static_cast<TQvEditKeyStroke*>(TCollection::Add());
}

TQvEditKeyStroke* TQvEditKeyStrokes::GetItem(int Index) const
{
    return static_cast<TQvEditKeyStroke*>(Items(Index));
}

void TQvEditKeyStrokes::SetItem(int Index, TQvEditKeyStroke* Value)
{
    Items(Index)->Assign(Value);
}

void TQvEditKeyStrokes::AddKey(TQvEditorCommand ACmd, Word AKey, TShiftState AShift)
{
    TQvEditKeyStroke* item = Add();
    try {
        item->SetKey(AKey);
        item->SetShift(AShift);
        item->SetCommand(ACmd);
    } catch (...) {
        delete item;
        throw;
    }
}

int TQvEditKeyStrokes::FindCommand(TQvEditorCommand Cmd) const
{
    for (int i = 0; i < Count(); ++i)
        if (GetItem(i)->GetCommand() == Cmd)
            return i;
    return -1;
}

int TQvEditKeyStrokes::FindKeycode(Word Code, TShiftState SS) const
{
    for (int i = 0; i < Count(); ++i) {
        const TQvEditKeyStroke* k = GetItem(i);
        if (k->GetKey() == Code && k->GetShift() == SS && k->GetKey2() == 0)
            return i;
    }
    return -1;
}

int TQvEditKeyStrokes::FindKeycode2(Word Code1, TShiftState SS1, Word Code2,
                                    TShiftState SS2) const
{
    for (int i = 0; i < Count(); ++i) {
        const TQvEditKeyStroke* k = GetItem(i);
        if (k->GetKey() == Code1 && k->GetShift() == SS1 && k->GetKey2() == Code2 &&
            k->GetShift2() == SS2)
            return i;
    }
    return -1;
}

int TQvEditKeyStrokes::FindShortcut(TShortCut SC) const
{
    for (int i = 0; i < Count(); ++i)
        if (GetItem(i)->GetShortCut() == SC)
            return i;
    return -1;
}

int TQvEditKeyStrokes::FindShortcut2(TShortCut SC, TShortCut SC2) const
{
    for (int i = 0; i < Count(); ++i)
        if (GetItem(i)->GetShortCut() == SC && GetItem(i)->GetShortCut2() == SC2)
            return i;
    return -1;
}

void TQvEditKeyStrokes::LoadFromStream(TStream* Stream)
{
    auto count = static_cast<Integer>(ReadLE32(*Stream));
    // Read into a scratch collection first so that a broken stream leaves the bindings.
    TQvEditKeyStrokes loaded(nullptr);
    for (Integer i = 0; i < count; ++i)
        loaded.Add()->LoadFromStream(Stream);
    Assign(&loaded);
}

void TQvEditKeyStrokes::SaveToStream(TStream* Stream) const
{
    WriteLE32(*Stream, static_cast<DWORD>(Count()));
    for (int i = 0; i < Count(); ++i)
        GetItem(i)->SaveToStream(Stream);
}

void TQvEditKeyStrokes::ResetDefaults()
{
    constexpr TShiftState none = 0;
    constexpr TShiftState shiftCtrl = ssShift | ssCtrl;
    BeginUpdate();
    try {
        Clear();
        AddKey(ecUp, VK_UP, none);
        AddKey(ecSelUp, VK_UP, ssShift);
        AddKey(ecScrollUp, VK_UP, ssCtrl);
        AddKey(ecDown, VK_DOWN, none);
        AddKey(ecSelDown, VK_DOWN, ssShift);
        AddKey(ecScrollDown, VK_DOWN, ssCtrl);
        AddKey(ecLeft, VK_LEFT, none);
        AddKey(ecSelLeft, VK_LEFT, ssShift);
        AddKey(ecWordLeft, VK_LEFT, ssCtrl);
        AddKey(ecSelWordLeft, VK_LEFT, shiftCtrl);
        AddKey(ecRight, VK_RIGHT, none);
        AddKey(ecSelRight, VK_RIGHT, ssShift);
        AddKey(ecWordRight, VK_RIGHT, ssCtrl);
        AddKey(ecSelWordRight, VK_RIGHT, shiftCtrl);
        AddKey(ecPageDown, VK_NEXT, none);
        AddKey(ecSelPageDown, VK_NEXT, ssShift);
        AddKey(ecPageBottom, VK_NEXT, ssCtrl);
        AddKey(ecSelPageBottom, VK_NEXT, shiftCtrl);
        AddKey(ecPageUp, VK_PRIOR, none);
        AddKey(ecSelPageUp, VK_PRIOR, ssShift);
        AddKey(ecPageTop, VK_PRIOR, ssCtrl);
        AddKey(ecSelPageTop, VK_PRIOR, shiftCtrl);
        AddKey(ecLineStart, VK_HOME, none);
        AddKey(ecSelLineStart, VK_HOME, ssShift);
        AddKey(ecEditorTop, VK_HOME, ssCtrl);
        AddKey(ecSelEditorTop, VK_HOME, shiftCtrl);
        AddKey(ecLineEnd, VK_END, none);
        AddKey(ecSelLineEnd, VK_END, ssShift);
        AddKey(ecEditorBottom, VK_END, ssCtrl);
        AddKey(ecSelEditorBottom, VK_END, shiftCtrl);
        AddKey(ecToggleMode, VK_INSERT, none);
        AddKey(ecCopy, VK_INSERT, ssCtrl);
        AddKey(ecCut, VK_DELETE, ssShift);
        AddKey(ecPaste, VK_INSERT, ssShift);
        AddKey(ecDeleteChar, VK_DELETE, none);
        AddKey(ecDeleteLastChar, VK_BACK, none);
        AddKey(ecDeleteLastChar, VK_BACK, ssShift);
        AddKey(ecDeleteLastWord, VK_BACK, ssCtrl);
        AddKey(ecUndo, VK_BACK, ssAlt);
        AddKey(ecRedo, VK_BACK, ssShift | ssAlt);
        AddKey(ecLineBreak, VK_RETURN, none);
        AddKey(ecLineBreak, VK_RETURN, ssShift);
        AddKey(ecTab, VK_TAB, none);
        AddKey(ecShiftTab, VK_TAB, ssShift);
        AddKey(ecContextHelp, VK_F1, none);
        AddKey(ecSelectAll, 'A', ssCtrl);
        AddKey(ecCopy, 'C', ssCtrl);
        AddKey(ecPaste, 'V', ssCtrl);
        AddKey(ecCut, 'X', ssCtrl);
        AddKey(ecBlockIndent, 'I', shiftCtrl);
        AddKey(ecBlockUnindent, 'U', shiftCtrl);
        AddKey(ecLineBreak, 'M', ssCtrl);
        AddKey(ecInsertLine, 'N', ssCtrl);
        AddKey(ecDeleteWord, 'T', ssCtrl);
        AddKey(ecDeleteLine, 'Y', ssCtrl);
        AddKey(ecDeleteEOL, 'Y', shiftCtrl);
        AddKey(ecUndo, 'Z', ssCtrl);
        AddKey(ecRedo, 'Z', shiftCtrl);
        for (Word digit = 0; digit <= 9; ++digit)
            AddKey(static_cast<TQvEditorCommand>(ecGotoMarker0 + digit), '0' + digit, ssCtrl);
        for (Word digit = 0; digit <= 9; ++digit)
            AddKey(static_cast<TQvEditorCommand>(ecSetMarker0 + digit), '0' + digit, shiftCtrl);
        AddKey(ecNormalSelect, 'N', shiftCtrl);
        AddKey(ecColumnSelect, 'C', shiftCtrl);
        AddKey(ecLineSelect, 'L', shiftCtrl);
        AddKey(ecMatchBracket, 'B', shiftCtrl);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

#include "qvedit/core/QvEditHighlighter.h"

#include <array>
#include <optional>

#include "platform/runtime/SysUtils.h"

namespace {

const char* const BackgroundValue = "Background";
const char* const ForegroundValue = "Foreground";
const char* const StyleValue = "Style";

// Characters that end a word for the editor's word-wise commands.
TQvIdentChars DefaultWordBreakChars()
{
    return TQvIdentChars("!\"'()*+,-./:;=?[\\]^{|}");
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TQvHighlighterAttributes

TQvHighlighterAttributes::TQvHighlighterAttributes(const std::string& AName) : name_(AName) {}

void TQvHighlighterAttributes::SetBackground(TColor Value)
{
    if (background_ != Value) {
        background_ = Value;
        Changed();
    }
}

void TQvHighlighterAttributes::SetForeground(TColor Value)
{
    if (foreground_ != Value) {
        foreground_ = Value;
        Changed();
    }
}

void TQvHighlighterAttributes::SetStyle(TFontStyles Value)
{
    if (style_ != Value) {
        style_ = Value;
        Changed();
    }
}

void TQvHighlighterAttributes::SetDefaults(TColor ABackground, TColor AForeground,
                                           TFontStyles AStyle)
{
    backgroundDefault_ = ABackground;
    foregroundDefault_ = AForeground;
    styleDefault_ = AStyle;
}

Integer TQvHighlighterAttributes::GetStyleFromInt() const
{
    return style_.Value();
}

void TQvHighlighterAttributes::SetStyleFromInt(Integer Value)
{
    SetStyle(TFontStyles::FromValue(static_cast<unsigned>(Value) & 0x0F));
}

void TQvHighlighterAttributes::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TQvHighlighterAttributes::AssignColorAndStyle(TQvHighlighterAttributes* Source)
{
    bool changed = false;
    if (background_ != Source->background_) {
        background_ = Source->background_;
        changed = true;
    }
    if (foreground_ != Source->foreground_) {
        foreground_ = Source->foreground_;
        changed = true;
    }
    if (style_ != Source->style_) {
        style_ = Source->style_;
        changed = true;
    }
    if (changed)
        Changed();
}

void TQvHighlighterAttributes::Assign(TPersistent* Source)
{
    if (auto* src = dynamic_cast<TQvHighlighterAttributes*>(Source)) {
        name_ = src->name_;
        AssignColorAndStyle(src);
    } else {
        TPersistent::Assign(Source);
    }
}

bool TQvHighlighterAttributes::LoadFromRegistry(TRegistry* Reg)
{
    const std::string key = Reg->CurrentPath();
    if (!Reg->OpenKeyReadOnly(name_))
        return false;
    bool ok = true;
    try {
        if (Reg->ValueExists(BackgroundValue))
            SetBackground(Reg->ReadInteger(BackgroundValue));
        if (Reg->ValueExists(ForegroundValue))
            SetForeground(Reg->ReadInteger(ForegroundValue));
        if (Reg->ValueExists(StyleValue))
            SetStyleFromInt(Reg->ReadInteger(StyleValue));
    } catch (const ERegistryException&) {
        ok = false;  // a value of the wrong type
    }
    Reg->OpenKey("\\" + key, false);
    return ok;
}

bool TQvHighlighterAttributes::SaveToRegistry(TRegistry* Reg)
{
    const std::string key = Reg->CurrentPath();
    if (!Reg->OpenKey(name_, true))
        return false;
    Reg->WriteInteger(BackgroundValue, background_);
    Reg->WriteInteger(ForegroundValue, foreground_);
    Reg->WriteInteger(StyleValue, GetStyleFromInt());
    Reg->OpenKey("\\" + key, false);
    return true;
}

bool TQvHighlighterAttributes::LoadFromFile(TIniFile* Ini)
{
    TStringList keys;
    Ini->ReadSection(name_, &keys);
    if (keys.Count() == 0)
        return false;
    if (keys.IndexOf(BackgroundValue) >= 0)
        SetBackground(Ini->ReadInteger(name_, BackgroundValue, clWindow));
    if (keys.IndexOf(ForegroundValue) >= 0)
        SetForeground(Ini->ReadInteger(name_, ForegroundValue, clWindowText));
    if (keys.IndexOf(StyleValue) >= 0)
        SetStyleFromInt(Ini->ReadInteger(name_, StyleValue, 0));
    return true;
}

bool TQvHighlighterAttributes::SaveToFile(TIniFile* Ini)
{
    Ini->WriteInteger(name_, BackgroundValue, background_);
    Ini->WriteInteger(name_, ForegroundValue, foreground_);
    Ini->WriteInteger(name_, StyleValue, GetStyleFromInt());
    return true;
}

// ---------------------------------------------------------------------------------------
// TQvCustomHighlighter

TQvCustomHighlighter::TQvCustomHighlighter(TComponent* AOwner)
    : TComponent(AOwner), attrChangeHooks_(this), wordBreakChars_(DefaultWordBreakChars())
{
    attributes_.SetSorted(true);
    attributes_.SetDuplicates(dupError);
}

TQvCustomHighlighter::~TQvCustomHighlighter()
{
    BeforeDestruction();
    for (Integer i = attributes_.Count() - 1; i >= 0; --i)
        delete attributes_.Objects(i);
    attributes_.Clear();
}

std::string TQvCustomHighlighter::LanguageName()
{
    return "<Unknown>";
}

TQvHighlighterCapabilities TQvCustomHighlighter::Capabilities()
{
    return {hcRegistry};
}

Integer TQvCustomHighlighter::GetAttribCount() const
{
    return attributes_.Count();
}

TQvHighlighterAttributes* TQvCustomHighlighter::GetAttribute(Integer Index) const
{
    if (Index < 0 || Index >= attributes_.Count())
        return nullptr;
    return static_cast<TQvHighlighterAttributes*>(attributes_.Objects(Index));
}

TQvIdentChars TQvCustomHighlighter::GetIdentChars() const
{
    return TQvIdentChars::Range(33, 255);
}

std::string_view TQvCustomHighlighter::GetTokenView() const
{
    tokenCopy_ = GetToken();
    return tokenCopy_;
}

void TQvCustomHighlighter::NextToEol()
{
    while (!GetEol())
        Next();
}

void TQvCustomHighlighter::DoScanLine(std::string_view NewValue, Integer LineNumber)
{
    SetLine(NewValue, LineNumber);
    NextToEol();
}

void TQvCustomHighlighter::DoResumeLine(std::string_view NewValue, Integer LineNumber,
                                        const TQvHighlighterState&)
{
    SetLine(NewValue, LineNumber);
}

void TQvCustomHighlighter::EnumUserSettings(TStrings* Settings)
{
    Settings->Clear();
}

bool TQvCustomHighlighter::LoadFromRegistry(HKEY RootKey, const std::string& Key)
{
    TRegistry reg;
    try {
        reg.SetRootKey(RootKey);
    } catch (const ERegistryException&) {
        return false;
    }
    if (!reg.OpenKeyReadOnly(Key))
        return false;
    bool result = true;
    for (Integer i = 0; i < GetAttribCount(); ++i)
        result = GetAttribute(i)->LoadFromRegistry(&reg) && result;
    return result;
}

bool TQvCustomHighlighter::SaveToRegistry(HKEY RootKey, const std::string& Key)
{
    TRegistry reg;
    try {
        reg.SetRootKey(RootKey);
    } catch (const ERegistryException&) {
        return false;
    }
    if (!reg.OpenKey(Key, true))
        return false;
    bool result = true;
    for (Integer i = 0; i < GetAttribCount(); ++i)
        result = GetAttribute(i)->SaveToRegistry(&reg) && result;
    return result;
}

bool TQvCustomHighlighter::LoadFromFile(const std::string& AFileName)
{
    TIniFile ini(AFileName);
    bool result = true;
    for (Integer i = 0; i < GetAttribCount(); ++i)
        result = GetAttribute(i)->LoadFromFile(&ini) && result;
    return result;
}

bool TQvCustomHighlighter::SaveToFile(const std::string& AFileName)
{
    TIniFile ini(AFileName);
    bool result = true;
    for (Integer i = 0; i < GetAttribCount(); ++i)
        result = GetAttribute(i)->SaveToFile(&ini) && result;
    return result;
}

void TQvCustomHighlighter::Assign(TPersistent* Source)
{
    auto* src = dynamic_cast<TQvCustomHighlighter*>(Source);
    if (src == nullptr || src == this) {
        if (src == nullptr)
            TComponent::Assign(Source);
        return;
    }
    for (Integer i = 0; i < GetAttribCount(); ++i) {
        TQvHighlighterAttributes* own = GetAttribute(i);
        for (Integer j = 0; j < src->GetAttribCount(); ++j) {
            TQvHighlighterAttributes* theirs = src->GetAttribute(j);
            if (own->GetName() == theirs->GetName())
                own->Assign(theirs);
        }
    }
    if (ClassType()->IsInstance(src))
        SetSampleSource(src->GetSampleSource());
    SetWordBreakChars(src->GetWordBreakChars());
    SetDefaultFilter(src->GetDefaultFilter());
    SetEnabled(src->GetEnabled());
}

void TQvCustomHighlighter::BeginUpdate()
{
    ++updateCount_;
}

void TQvCustomHighlighter::EndUpdate()
{
    if (updateCount_ == 0)
        return;
    --updateCount_;
    if (updateCount_ == 0 && changeHeldBack_) {
        changeHeldBack_ = false;
        DefHighlightChange(nullptr);
    }
}

void TQvCustomHighlighter::HookAttrChangeEvent(const TNotifyEvent& ANotifyEvent)
{
    attrChangeHooks_.Add(ANotifyEvent);
}

void TQvCustomHighlighter::UnhookAttrChangeEvent(const TNotifyEvent& ANotifyEvent)
{
    attrChangeHooks_.Remove(ANotifyEvent);
}

void TQvCustomHighlighter::SetEnabled(bool Value)
{
    if (enabled_ != Value) {
        enabled_ = Value;
        DefHighlightChange(nullptr);
    }
}

void TQvCustomHighlighter::AddAttribute(TQvHighlighterAttributes* AAttrib)
{
    try {
        attributes_.AddObject(AAttrib->GetName(), AAttrib);
    } catch (...) {
        delete AAttrib;
        throw;
    }
}

void TQvCustomHighlighter::SetAttributesOnChange(const TNotifyEvent& AEvent)
{
    for (Integer i = GetAttribCount() - 1; i >= 0; --i) {
        TQvHighlighterAttributes* attr = GetAttribute(i);
        attr->OnChange = AEvent;
        attr->SetDefaults(attr->GetBackground(), attr->GetForeground(), attr->GetStyle());
    }
}

void TQvCustomHighlighter::DefHighlightChange(TObject* Sender)
{
    if (updateCount_ > 0) {
        changeHeldBack_ = true;
        return;
    }
    if (HasState(csLoading))
        return;
    attrChangeHooks_.SetSender(Sender);
    attrChangeHooks_.Fire();
}

void TQvCustomHighlighter::Loaded()
{
    TComponent::Loaded();
    DefHighlightChange(nullptr);
}

// ---------------------------------------------------------------------------------------
// TQvHighlighterList

TQvHighlighterClass TQvHighlighterList::Items(Integer Index) const
{
    if (Index < 0 || Index >= Count())
        return nullptr;
    return classes_[static_cast<std::size_t>(Index)];
}

Integer TQvHighlighterList::FindByClass(const TQvCustomHighlighter* AHighlighter) const
{
    for (Integer i = 0; i < Count(); ++i)
        if (Items(i)->IsInstance(AHighlighter))
            return i;
    return -1;
}

Integer TQvHighlighterList::FindByName(const std::string& AName) const
{
    for (Integer i = 0; i < Count(); ++i)
        if (Items(i)->LanguageName() == AName)
            return i;
    return -1;
}

void TQvHighlighterList::Add(TQvHighlighterClass AClass)
{
    for (TQvHighlighterClass listed : classes_)
        if (listed == AClass)
            return;
    classes_.push_back(AClass);
}

TQvHighlighterList* GetPlaceableHighlighters()
{
    static TQvHighlighterList list;
    return &list;
}

void RegisterPlaceableHighlighter(TQvHighlighterClass AHighlighter)
{
    GetPlaceableHighlighters()->Add(AHighlighter);
}

// ---------------------------------------------------------------------------------------
// Import of a C++ IDE's colour settings

namespace {

// The 16 basic colours the IDE numbers its palette with.
constexpr std::array<TColor, 16> IdePalette = {
    clBlack, clMaroon, clGreen, clOlive, clNavy,    clPurple, clTeal, clSilver,
    clGray,  clRed,    clLime,  clYellow, clBlue,   clFuchsia, clAqua, clWhite};

// The palette colour of an index read from the registry; an index outside the palette
// makes the import fail.
TColor PaletteColor(Integer index)
{
    if (index < 0 || index >= static_cast<Integer>(IdePalette.size()))
        throw EConvertError(Format("Palette index %d out of range", {index}));
    return IdePalette[static_cast<std::size_t>(index)];
}

// Splits at commas; a field ends at the next comma, the last at the end of the text.
std::vector<std::string> SplitFields(const std::string& text)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        if (comma == std::string::npos) {
            fields.push_back(text.substr(start));
            return fields;
        }
        fields.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
}

bool IdeTextIsTrue(const std::string& text)
{
    return !(UpperCase(text) == "FALSE" || text == "0");
}

// A colour from the palette index `indexName`, else from the colour name `nameName`.
std::optional<TColor> ReadIdeColor(TRegistry& reg, const std::string& indexName,
                                   const std::string& nameName)
{
    if (reg.ValueExists(indexName))
        return PaletteColor(reg.ReadInteger(indexName));
    if (reg.ValueExists(nameName)) {
        TColor color = clNone;
        if (IdentToColor(reg.ReadString(nameName), color))
            return color;
    }
    return std::nullopt;
}

}  // namespace

bool TQvHighlighterAttributes::LoadFromIdeRegistry(HKEY RootKey, const std::string& Key,
                                                   const std::string& AttrName, bool OldStyle)
{
    try {
        TRegistry reg(KEY_READ);
        reg.SetRootKey(RootKey);
        if (OldStyle) {
            if (!reg.OpenKeyReadOnly(Key))
                return false;
            return LoadOldStyleIdeEntry(&reg, AttrName);
        }
        if (!reg.OpenKeyReadOnly(Key + "\\" + AttrName))
            return false;
        return LoadNewStyleIdeEntry(&reg);
    } catch (...) {
        return false;
    }
}

bool TQvHighlighterAttributes::LoadOldStyleIdeEntry(TRegistry* Reg, const std::string& AttrName)
{
    if (!Reg->ValueExists(AttrName))
        return false;
    const std::vector<std::string> fields = SplitFields(Reg->ReadString(AttrName));
    // Field n (1-based); a missing field reads as empty.
    auto field = [&fields](std::size_t n) -> std::string {
        return n <= fields.size() ? fields[n - 1] : std::string();
    };
    // Fields 1 and 2 are not used; 3 holds the style letters, 4 and 5 the "default
    // colour" flags, 6 and 7 the palette indexes.
    const TColor background = field(5) == "1" ? clWindow : PaletteColor(StrToInt(field(7)));
    const TColor foreground = field(4) == "1" ? clWindowText : PaletteColor(StrToInt(field(6)));
    const std::string styleLetters = field(3);
    TFontStyles style;
    if (styleLetters.find('B') != std::string::npos)
        style.Include(fsBold);
    if (styleLetters.find('I') != std::string::npos)
        style.Include(fsItalic);
    if (styleLetters.find('U') != std::string::npos)
        style.Include(fsUnderline);
    SetBackground(background);
    SetForeground(foreground);
    SetStyle(style);
    return true;
}

bool TQvHighlighterAttributes::LoadNewStyleIdeEntry(TRegistry* Reg)
{
    const std::optional<TColor> foreground =
        ReadIdeColor(*Reg, "Foreground Color", "Foreground Color New");
    if (!foreground)
        return false;
    const std::optional<TColor> background =
        ReadIdeColor(*Reg, "Background Color", "Background Color New");
    if (!background)
        return false;
    for (const char* name : {"Bold", "Italic", "Underline", "Default Foreground",
                             "Default Background"})
        if (!Reg->ValueExists(name))
            return false;
    TFontStyles style;
    if (IdeTextIsTrue(Reg->ReadString("Bold")))
        style.Include(fsBold);
    if (IdeTextIsTrue(Reg->ReadString("Italic")))
        style.Include(fsItalic);
    if (IdeTextIsTrue(Reg->ReadString("Underline")))
        style.Include(fsUnderline);
    const bool defaultForeground = IdeTextIsTrue(Reg->ReadString("Default Foreground"));
    const bool defaultBackground = IdeTextIsTrue(Reg->ReadString("Default Background"));
    SetBackground(defaultBackground ? clWindow : *background);
    SetForeground(defaultForeground ? clWindowText : *foreground);
    SetStyle(style);
    return true;
}

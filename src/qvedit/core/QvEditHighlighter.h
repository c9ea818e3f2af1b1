#pragma once
// The highlighter interface: the abstract line tokenizer every syntax highlighter
// implements, its named text attributes, and the process-wide list of highlighter classes.
//
// A client scans a text line by line. Before each line it hands the highlighter the range
// in which the line above ended (SetRange; ResetRange for the first line), then calls
// SetLine, reads the current token (GetTokenPos, GetTokenView or GetToken,
// GetTokenAttribute, GetTokenKind) and calls Next until GetEol; GetRange then gives the
// state at the end of the line.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/IniFiles.h"
#include "platform/files/Registry.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/Graphics.h"
#include "platform/runtime/Classes.h"
#include "platform/runtime/System.h"
#include "qvedit/core/QvEditMiscClasses.h"
#include "qvedit/core/QvEditTypes.h"

// The state a highlighter hands from the end of one line to the start of the next: an
// opaque pointer-sized value (a language highlighter stores its range enumeration's
// ordinal; the multi-language highlighter packs several).
using TQvHighlighterRange = std::intptr_t;

// A highlighter's whole state between two tokens of a line: from it the highlighter goes on
// scanning the line exactly as it would having scanned from the line's start.
struct TQvHighlighterState {
    Integer Pos = 0;          // 0-based index of the next token's first character
    std::uint32_t Extra = 0;  // what the highlighter keeps besides its range
    TQvHighlighterRange Range = 0;

    bool operator==(const TQvHighlighterState&) const = default;
};

// ---------------------------------------------------------------------------------------
// Attributes

// One named text attribute of a highlighter: colours and font style. The name keys the
// attribute in its highlighter's list, in the registry and in INI files.
class TQvHighlighterAttributes : public TPersistent {
public:
    explicit TQvHighlighterAttributes(const std::string& AName);

    TColor GetBackground() const { return background_; }
    void SetBackground(TColor Value);
    TColor GetForeground() const { return foreground_; }
    void SetForeground(TColor Value);
    TFontStyles GetStyle() const { return style_; }
    void SetStyle(TFontStyles Value);
    const std::string& GetName() const { return name_; }

    // The values that count as defaults for streaming (recorded by the highlighter).
    TColor GetBackgroundDefault() const { return backgroundDefault_; }
    TColor GetForegroundDefault() const { return foregroundDefault_; }
    TFontStyles GetStyleDefault() const { return styleDefault_; }
    void SetDefaults(TColor ABackground, TColor AForeground, TFontStyles AStyle);
    bool IsBackgroundStored() const { return background_ != backgroundDefault_; }
    bool IsForegroundStored() const { return foreground_ != foregroundDefault_; }
    bool IsStyleStored() const { return style_ != styleDefault_; }

    // The style as stored: 1 bold + 2 italic + 4 underline + 8 strikeout. Reading an
    // integer ignores the higher bits.
    Integer GetStyleFromInt() const;
    void SetStyleFromInt(Integer Value);

    // Copies colours and style, with one change notice when any of them differed.
    void AssignColorAndStyle(TQvHighlighterAttributes* Source);
    // Copies the name, then as AssignColorAndStyle. Other sources: the base decides.
    void Assign(TPersistent* Source) override;

    // Storage in the registry: the subkey Name of the open key holds "Background",
    // "Foreground" and "Style" as integers. The registry object's open key is restored.
    bool LoadFromRegistry(TRegistry* Reg);
    bool SaveToRegistry(TRegistry* Reg);
    // Storage in an INI file: section Name with the same three keys. Loading a section
    // without keys gives false and changes nothing.
    bool LoadFromFile(TIniFile* Ini);
    bool SaveToFile(TIniFile* Ini);

    // Imports one colour entry of an installed C++ IDE from the registry: the value
    // AttrName of Key (old style, comma-separated) or the key Key\AttrName (new style).
    // Any failure, an exception included, gives false.
    bool LoadFromIdeRegistry(HKEY RootKey, const std::string& Key, const std::string& AttrName,
                             bool OldStyle);

    TNotifyEvent OnChange;

protected:
    virtual void Changed();

private:
    bool LoadOldStyleIdeEntry(TRegistry* Reg, const std::string& AttrName);
    bool LoadNewStyleIdeEntry(TRegistry* Reg);

    TColor background_ = clNone;
    TColor backgroundDefault_ = clNone;
    TColor foreground_ = clNone;
    TColor foregroundDefault_ = clNone;
    std::string name_;
    TFontStyles style_{};
    TFontStyles styleDefault_{};
};

// ---------------------------------------------------------------------------------------
// Highlighter classes

enum TQvHighlighterCapability : Byte { hcUserSettings, hcRegistry };
using TQvHighlighterCapabilities = TSet<TQvHighlighterCapability, 8>;

class TQvCustomHighlighter;

// A highlighter class as a value: its class operations, a factory and an instance test.
// Each concrete class publishes one through HighlighterClassOf<Class>().
struct TQvHighlighterClassInfo {
    std::string (*LanguageName)();
    TQvHighlighterCapabilities (*Capabilities)();
    TQvCustomHighlighter* (*Create)(TComponent* AOwner);
    // True when the object is of this class or derived from it.
    bool (*IsInstance)(const TQvCustomHighlighter* AObject);
};
using TQvHighlighterClass = const TQvHighlighterClassInfo*;

template <class T>
TQvHighlighterClass HighlighterClassOf()
{
    static const TQvHighlighterClassInfo info{
        &T::LanguageName, &T::Capabilities,
        [](TComponent* AOwner) -> TQvCustomHighlighter* { return new T(AOwner); },
        [](const TQvCustomHighlighter* AObject) {
            return dynamic_cast<const T*>(AObject) != nullptr;
        }};
    return &info;
}

// Default-attribute roles of GetDefaultAttribute.
enum : Integer {
    QV_ATTRIB_COMMENT = 0,
    QV_ATTRIB_IDENTIFIER = 1,
    QV_ATTRIB_KEYWORD = 2,
    QV_ATTRIB_STRING = 3,
    QV_ATTRIB_WHITESPACE = 4,
    QV_ATTRIB_SYMBOL = 5,
};

// The abstract highlighter. It owns its attributes (kept sorted case-insensitively by
// name) and tells hooked listeners when an attribute or Enabled changes.
class TQvCustomHighlighter : public TComponent {
public:
    explicit TQvCustomHighlighter(TComponent* AOwner);
    ~TQvCustomHighlighter() override;

    // Class operations of the base; each concrete class declares its own of these names
    // and returns them through ClassType().
    static std::string LanguageName();
    static TQvHighlighterCapabilities Capabilities();
    // The class of this object. Every concrete class overrides it.
    virtual TQvHighlighterClass ClassType() const = 0;
    std::string GetLanguageName() const { return ClassType()->LanguageName(); }
    TQvHighlighterCapabilities GetCapabilities() const { return ClassType()->Capabilities(); }

    // Attributes.
    virtual Integer GetAttribCount() const;
    // The attribute at Index of the name-sorted list; nil outside the list.
    virtual TQvHighlighterAttributes* GetAttribute(Integer Index) const;
    // The attribute for a role (QV_ATTRIB_...); nil for a role without one.
    virtual TQvHighlighterAttributes* GetDefaultAttribute(Integer Index) const = 0;

    virtual std::string GetDefaultFilter() const { return defaultFilter_; }
    virtual void SetDefaultFilter(const std::string& Value) { defaultFilter_ = Value; }
    virtual bool IsFilterStored() const { return true; }
    virtual TQvIdentChars GetIdentChars() const;
    const TQvIdentChars& GetWordBreakChars() const { return wordBreakChars_; }
    virtual void SetWordBreakChars(const TQvIdentChars& AChars) { wordBreakChars_ = AChars; }
    virtual std::string GetSampleSource() const { return {}; }
    virtual void SetSampleSource(const std::string& /*Value*/) {}

    // Scanning. The text handed to SetLine is read in place, not copied, up to its size
    // or a NUL before it: it must be followed by a NUL (as a std::string's text is, and a
    // line's text read through the text buffer's GetTerminatedView) and stay alive and
    // unchanged until the next SetLine. A temporary string, const or not,
    // is refused at compile time: the const rvalue overload is the better match for
    // every rvalue string.
    void SetLine(std::string_view NewValue, Integer LineNumber)
    {
        DoSetLine(NewValue, LineNumber);
    }
    void SetLine(const std::string&& NewValue, Integer LineNumber) = delete;
    virtual void Next() = 0;
    virtual bool GetEol() const = 0;
    virtual std::string GetToken() const = 0;
    // The current token's characters read in place, valid until the next Next or SetLine:
    // a long token costs nothing to look at. A highlighter that cannot point into its
    // line answers with a copy it keeps.
    virtual std::string_view GetTokenView() const;
    virtual TQvHighlighterAttributes* GetTokenAttribute() const = 0;
    virtual Integer GetTokenKind() const = 0;
    // 0-based index of the current token's first character in the line.
    virtual Integer GetTokenPos() const = 0;
    virtual TQvHighlighterRange GetRange() const { return 0; }
    virtual void SetRange(TQvHighlighterRange /*Value*/) {}
    virtual void ResetRange() {}
    void NextToEol();
    // Scans a whole line for the range it ends in, from the range set before: afterwards
    // GetRange answers and the highlighter stands at the end of the line, as after
    // SetLine and NextToEol (the text is read in place as by SetLine). A highlighter may
    // pass over the tokens that cannot change the range without making them.
    void ScanLine(std::string_view NewValue, Integer LineNumber)
    {
        DoScanLine(NewValue, LineNumber);
    }
    void ScanLine(const std::string&& NewValue, Integer LineNumber) = delete;
    // Whether the highlighter can go on scanning a line from a state it gave: one that
    // cannot is always scanned from the line's start.
    virtual bool CanResume() const { return false; }
    // Where CanResume: the state after the current token.
    virtual TQvHighlighterState GetState() const { return {}; }
    // Where CanResume: as SetLine, but standing on the token that follows the state, which
    // GetState gave on the same bytes of the line up to and a little past its position.
    void ResumeLine(std::string_view NewValue, Integer LineNumber, const TQvHighlighterState& State)
    {
        DoResumeLine(NewValue, LineNumber, State);
    }
    void ResumeLine(const std::string&& NewValue, Integer LineNumber, const TQvHighlighterState& State) = delete;

    virtual bool IsKeyword(const std::string& /*AKeyword*/) { return false; }
    virtual bool UseUserSettings(Integer /*SettingIndex*/) { return false; }
    virtual void EnumUserSettings(TStrings* Settings);

    // Storage of every attribute; the result is the AND of the attributes' results.
    virtual bool LoadFromRegistry(HKEY RootKey, const std::string& Key);
    virtual bool SaveToRegistry(HKEY RootKey, const std::string& Key);
    bool LoadFromFile(const std::string& AFileName);
    bool SaveToFile(const std::string& AFileName);

    // Copies matching attributes (same name, case-sensitive), the sample source when the
    // source is of this class, then WordBreakChars, DefaultFilter and Enabled.
    void Assign(TPersistent* Source) override;

    // Change notices. Inside BeginUpdate/EndUpdate they are held back and one goes out
    // at the outer EndUpdate.
    void BeginUpdate();
    void EndUpdate();
    void HookAttrChangeEvent(const TNotifyEvent& ANotifyEvent);
    void UnhookAttrChangeEvent(const TNotifyEvent& ANotifyEvent);

    bool GetEnabled() const { return enabled_; }
    void SetEnabled(bool Value);

protected:
    virtual void DoSetLine(std::string_view NewValue, Integer LineNumber) = 0;
    // SetLine, then NextToEol.
    virtual void DoScanLine(std::string_view NewValue, Integer LineNumber);
    // A highlighter that cannot resume ignores the state: SetLine, in the range set before.
    virtual void DoResumeLine(std::string_view NewValue, Integer LineNumber,
                              const TQvHighlighterState& State);

    // Adds an attribute under its name; the highlighter owns it from then on. A duplicate
    // name raises the string list's error (the attribute is then freed).
    void AddAttribute(TQvHighlighterAttributes* AAttrib);
    // Sets every attribute's OnChange and records its current values as its defaults.
    void SetAttributesOnChange(const TNotifyEvent& AEvent);
    void DefHighlightChange(TObject* Sender);
    void Loaded() override;

private:
    TStringList attributes_;  // sorted names, owned attributes as objects
    TQvNotifyEventChain attrChangeHooks_;
    Integer updateCount_ = 0;
    bool changeHeldBack_ = false;
    bool enabled_ = true;
    TQvIdentChars wordBreakChars_;
    std::string defaultFilter_;
    mutable std::string tokenCopy_;  // GetTokenView's answer where there is no other
};

// ---------------------------------------------------------------------------------------
// The process-wide list of highlighter classes

class TQvHighlighterList {
public:
    Integer Count() const { return static_cast<Integer>(classes_.size()); }
    TQvHighlighterClass Items(Integer Index) const;  // nil outside the list
    // The first class the highlighter is an instance of; -1 when none.
    Integer FindByClass(const TQvCustomHighlighter* AHighlighter) const;
    // The first class whose language name equals AName exactly; -1 when none.
    Integer FindByName(const std::string& AName) const;
    void Add(TQvHighlighterClass AClass);  // a class already listed is not added again

private:
    std::vector<TQvHighlighterClass> classes_;
};

TQvHighlighterList* GetPlaceableHighlighters();
void RegisterPlaceableHighlighter(TQvHighlighterClass AHighlighter);

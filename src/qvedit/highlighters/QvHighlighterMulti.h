#pragma once
// The multi-language highlighter: colours a text in which blocks of other languages are
// embedded (scripts and style sheets in a page). Text outside any block goes to a default
// highlighter; each scheme names a start and an end expression and the highlighter for
// the text between them. The texts the expressions match (markers) are tokens of their
// own, drawn with the scheme's marker attribute.
//
// A line is pre-scanned in SetLine for the markers; Next then hands the segments between
// markers to the active highlighter and shifts its token positions into the whole line.
// The state at a line's end (open scheme, its highlighter's range and the default
// highlighter's range) is packed into one range value.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/runtime/Classes.h"
#include "platform/runtime/Exceptions.h"
#include "qvedit/core/QvEditHighlighter.h"

class TRegex;
class TQvMultiHighlighter;

enum TRangeOperation { roGet, roSet };

// Lets a handler move, shorten or reject a marker the expression found: StartPos is
// 1-based in the line; a marker with an empty text or a length below 1 is dropped.
using TOnCheckMarker =
    TEvent<void(TObject* Sender, Integer& StartPos, Integer& MarkerLen, std::string& MarkerText)>;
// Replaces the packing of the range: roGet fills Range, roSet reads it.
using TCustomRangeEvent = TEvent<void(TQvMultiHighlighter* Sender, TRangeOperation Operation,
                                       TQvHighlighterRange& Range)>;

// A marker found in the current line.
struct TMarker {
    Integer SchemeIndex;
    Integer StartPos;  // 1-based in the line
    Integer MarkerLen;
    bool IsOpenMarker;  // a start marker (true) or an end marker
};

// One embedded language: its expressions, its highlighter (not owned) and the attribute
// of its markers (owned).
class TScheme : public TCollectionItem {
public:
    explicit TScheme(TCollection* Collection);
    ~TScheme() override;

    bool GetCaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool Value);
    const std::string& GetStartExpr() const { return startExpr_; }
    // A non-empty expression is compiled first: an invalid one raises ERegex and the
    // scheme keeps its old expression.
    void SetStartExpr(const std::string& Value);
    const std::string& GetEndExpr() const { return endExpr_; }
    void SetEndExpr(const std::string& Value);
    TQvCustomHighlighter* GetHighlighter() const { return highlighter_; }
    // The multi-highlighter that owns the scheme is refused (it would scan itself without
    // end).
    void SetHighlighter(TQvCustomHighlighter* Value);
    TQvHighlighterAttributes* GetMarkerAttri() const { return markerAttri_.get(); }
    void SetMarkerAttri(TQvHighlighterAttributes* Value);  // copies colours and style
    const std::string& GetSchemeName() const { return schemeName_; }
    void SetSchemeName(const std::string& Value) { schemeName_ = Value; }

    std::string GetDisplayName() const override;
    void Assign(TPersistent* Source) override;

    // The compiled expressions, made on first use and dropped when an expression or the
    // case sensitivity changes.
    TRegex& StartRegex();
    TRegex& EndRegex();

    TOnCheckMarker OnCheckStartMarker;
    TOnCheckMarker OnCheckEndMarker;

private:
    TQvMultiHighlighter* OwnerHighlighter() const;
    void SetExpression(std::string& field, const std::string& Value);
    std::string CaseConverted(const std::string& Expr) const;
    TRegex& Compiled(std::unique_ptr<TRegex>& regex, const std::string& Expr);
    void DropCompiled();
    void MarkerAttriChanged(TObject* Sender);

    bool caseSensitive_ = true;
    std::string startExpr_;
    std::string endExpr_;
    TQvCustomHighlighter* highlighter_ = nullptr;
    std::unique_ptr<TQvHighlighterAttributes> markerAttri_;
    std::string schemeName_;
    std::unique_ptr<TRegex> startRegex_;
    std::unique_ptr<TRegex> endRegex_;
};

// The schemes of a multi-highlighter; any change of an item notifies the owner.
class TSchemes : public TCollection {
public:
    explicit TSchemes(TQvMultiHighlighter* AOwner);

    TScheme* Items(int Index) const { return static_cast<TScheme*>(TCollection::Items(Index)); }
    TScheme* Add() { return static_cast<TScheme*>(TCollection::Add()); }
    TQvMultiHighlighter* GetOwner() const { return owner_; }

protected:
    void Update(TCollectionItem* Item) override;

private:
    TQvMultiHighlighter* owner_;
};

class TQvMultiHighlighter : public TQvCustomHighlighter {
public:
    explicit TQvMultiHighlighter(TComponent* AOwner);
    ~TQvMultiHighlighter() override;

    static std::string LanguageName();
    static TQvHighlighterCapabilities Capabilities();
    TQvHighlighterClass ClassType() const override;

    // Attributes: the schemes' marker attributes, then the default highlighter's, then
    // each scheme highlighter's in collection order.
    Integer GetAttribCount() const override;
    TQvHighlighterAttributes* GetAttribute(Integer Index) const override;
    TQvHighlighterAttributes* GetDefaultAttribute(Integer Index) const override;
    TQvIdentChars GetIdentChars() const override;
    std::string GetSampleSource() const override { return sampleSource_; }
    void SetSampleSource(const std::string& Value) override { sampleSource_ = Value; }

    void Next() override;
    bool GetEol() const override;
    std::string GetToken() const override;
    std::string_view GetTokenView() const override;
    TQvHighlighterAttributes* GetTokenAttribute() const override;
    Integer GetTokenKind() const override;
    Integer GetTokenPos() const override { return tokenPos_; }
    TQvHighlighterRange GetRange() const override;
    void SetRange(TQvHighlighterRange Value) override;
    void ResetRange() override;

    bool LoadFromRegistry(HKEY RootKey, const std::string& Key) override;
    bool SaveToRegistry(HKEY RootKey, const std::string& Key) override;

    TSchemes* GetSchemes() const { return schemes_.get(); }
    void SetSchemes(TSchemes* Value) { schemes_->Assign(Value); }
    TQvCustomHighlighter* GetDefaultHighlighter() const { return defaultHighlighter_; }
    // Raises Exception for the object itself; the old value then stays.
    void SetDefaultHighlighter(TQvCustomHighlighter* Value);
    const std::string& GetDefaultLanguageName() const { return defaultLanguageName_; }
    void SetDefaultLanguageName(const std::string& Value) { defaultLanguageName_ = Value; }
    const TCustomRangeEvent& GetOnCustomRange() const { return onCustomRange_; }
    void SetOnCustomRange(const TCustomRangeEvent& Value);
    // The scheme open at the current position (-1: none); a custom range handler reads
    // and sets it. An index naming no usable scheme means none.
    Integer GetCurrScheme() const { return openScheme_; }
    void SetCurrScheme(Integer Value);

    // Chooses how ranges are packed: the custom event when assigned, else the nested
    // layout when a scheme highlighter is itself a multi-highlighter, else the default
    // layout. Sends a change notice and returns true when the choice changed.
    bool UpdateRangeProcs();

protected:
    void DoSetLine(std::string_view NewValue, Integer LineNumber) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TScheme;
    friend class TSchemes;

    enum class TRangeLayout { Default, Nested, User };

    TScheme* SchemeAt(Integer Index) const;
    // The highlighter of the scheme at the index; nil for no scheme or none set.
    TQvCustomHighlighter* SchemeHighlighter(Integer SchemeIndex) const;
    // The open scheme's highlighter, else the default one.
    TQvCustomHighlighter* ActiveHighlighter() const;
    // The active highlighter when it scans the current segment; nil when the one in
    // charge changed since the segment was handed over (its token is not this line's).
    TQvCustomHighlighter* ScanningHighlighter() const;
    // Whether the scan may open the scheme: both expressions, an enabled highlighter.
    bool IsSchemeUsable(TScheme* Scheme) const;

    // Highlighter references: hooked while referenced at least once.
    Integer ReferenceCount(TQvCustomHighlighter* AHighlighter) const;
    void Hook(TQvCustomHighlighter* AHighlighter);
    void Unhook(TQvCustomHighlighter* AHighlighter);
    void NotifyChange();

    // Line scanning.
    void FindMarkers();
    bool FindMarker(TScheme* Scheme, Integer SchemeIndex, bool IsStart,
                    std::string_view Rest, Integer Eaten, Integer& Consumed);
    void DoCheckMarker(TScheme* Scheme, Integer SchemeIndex, Integer StartPos, Integer MarkerLen,
                       std::string_view MarkerText, bool IsStart);
    void NextWithoutDefault();
    bool EmitMarker();
    void StartSegment(Integer From);

    // Range packing.
    TQvHighlighterRange GetDefaultRange() const;
    void SetDefaultRange(std::uint32_t Value);
    TQvHighlighterRange GetNestedRange() const;
    void SetNestedRange(std::uint32_t Value);

    bool TransferRegistry(HKEY RootKey, const std::string& Key, bool Save);

    std::unique_ptr<TSchemes> schemes_;
    TQvCustomHighlighter* defaultHighlighter_ = nullptr;
    std::string defaultLanguageName_;
    TCustomRangeEvent onCustomRange_;
    TRangeLayout rangeLayout_ = TRangeLayout::Default;
    std::string sampleSource_;

    // Line state. The line is read in place, and so is a segment that runs to its end; one
    // that stops at a marker is copied, since its highlighter reads up to a terminating NUL.
    std::string_view line_;
    Integer lineNumber_ = 0;
    std::vector<TMarker> markers_;
    Integer currentMarker_ = -1;  // index in markers_ of the marker that is the token
    Integer nextMarker_ = 0;
    Integer openScheme_ = -1;
    bool segmentPending_ = false;  // the line's first segment is not handed over yet
    std::string segment_;          // the part of the line the active highlighter scans
    std::string_view segmentText_;  // segment_, or the line's end from the segment's start
    Integer segmentStart_ = 0;     // where segment_ starts in the line (0-based)
    TQvCustomHighlighter* segmentOwner_ = nullptr;  // the highlighter segment_ was handed to
    TQvHighlighterRange savedDefaultRange_ = 0;
    Integer tokenPos_ = 0;  // 0-based
    Integer run_ = 1;       // 1-based position just after the current token
};

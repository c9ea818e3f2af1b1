#include "qvedit/highlighters/QvHighlighterMulti.h"

#include <algorithm>

#include "qvedit/core/QvEditStrConst.h"
#include "qvedit/search/QvRegex.h"

namespace {

// The unit's start-up: the class joins the list of placeable highlighters.
[[maybe_unused]] const bool Registered =
    (RegisterPlaceableHighlighter(HighlighterClassOf<TQvMultiHighlighter>()), true);

const std::string NoLine;

void Require(bool Condition)
{
    if (!Condition)
        throw EAssertionFailed("Assertion failure");
}

// A range value of a highlighter as an unsigned field of at most `bits` bits.
std::uint64_t Field(TQvHighlighterRange Value, int bits)
{
    Require(Value >= 0 && static_cast<std::uint64_t>(Value) < (std::uint64_t{1} << bits));
    return static_cast<std::uint64_t>(Value);
}

}  // namespace

TQvMultiHighlighter::TQvMultiHighlighter(TComponent* AOwner)
    : TQvCustomHighlighter(AOwner), schemes_(std::make_unique<TSchemes>(this)), line_(NoLine)
{
}

TQvMultiHighlighter::~TQvMultiHighlighter()
{
    BeforeDestruction();
    markers_.clear();
    schemes_->Clear();
    SetDefaultHighlighter(nullptr);
    schemes_.reset();
}

std::string TQvMultiHighlighter::LanguageName()
{
    return LoadResString(QVS_LangGeneralMulti);
}

TQvHighlighterCapabilities TQvMultiHighlighter::Capabilities()
{
    return TQvCustomHighlighter::Capabilities();
}

TQvHighlighterClass TQvMultiHighlighter::ClassType() const
{
    return HighlighterClassOf<TQvMultiHighlighter>();
}

// ---------------------------------------------------------------------------------------
// Schemes and the highlighters in charge

TScheme* TQvMultiHighlighter::SchemeAt(Integer Index) const
{
    if (schemes_ == nullptr || Index < 0 || Index >= schemes_->Count())
        return nullptr;
    return schemes_->Items(Index);
}

TQvCustomHighlighter* TQvMultiHighlighter::SchemeHighlighter(Integer SchemeIndex) const
{
    TScheme* scheme = SchemeAt(SchemeIndex);
    return scheme != nullptr ? scheme->GetHighlighter() : nullptr;
}

bool TQvMultiHighlighter::IsSchemeUsable(TScheme* Scheme) const
{
    return !Scheme->GetStartExpr().empty() && !Scheme->GetEndExpr().empty() &&
           Scheme->GetHighlighter() != nullptr && Scheme->GetHighlighter()->GetEnabled();
}

TQvCustomHighlighter* TQvMultiHighlighter::ActiveHighlighter() const
{
    if (TQvCustomHighlighter* scheme = SchemeHighlighter(openScheme_))
        return scheme;
    return defaultHighlighter_;
}

TQvCustomHighlighter* TQvMultiHighlighter::ScanningHighlighter() const
{
    TQvCustomHighlighter* active = ActiveHighlighter();
    return active != nullptr && active == segmentOwner_ ? active : nullptr;
}

void TQvMultiHighlighter::SetCurrScheme(Integer Value)
{
    openScheme_ = SchemeHighlighter(Value) != nullptr ? Value : -1;
}

// ---------------------------------------------------------------------------------------
// Attributes

Integer TQvMultiHighlighter::GetAttribCount() const
{
    Integer count = schemes_->Count();
    if (defaultHighlighter_ != nullptr)
        count += defaultHighlighter_->GetAttribCount();
    for (int i = 0; i < schemes_->Count(); ++i)
        if (TQvCustomHighlighter* h = schemes_->Items(i)->GetHighlighter())
            count += h->GetAttribCount();
    return count;
}

TQvHighlighterAttributes* TQvMultiHighlighter::GetAttribute(Integer Index) const
{
    if (Index < 0)
        return nullptr;
    if (Index < schemes_->Count())
        return schemes_->Items(Index)->GetMarkerAttri();
    Index -= schemes_->Count();
    if (defaultHighlighter_ != nullptr) {
        if (Index < defaultHighlighter_->GetAttribCount())
            return defaultHighlighter_->GetAttribute(Index);
        Index -= defaultHighlighter_->GetAttribCount();
    }
    for (int i = 0; i < schemes_->Count(); ++i) {
        if (TQvCustomHighlighter* h = schemes_->Items(i)->GetHighlighter()) {
            if (Index < h->GetAttribCount())
                return h->GetAttribute(Index);
            Index -= h->GetAttribCount();
        }
    }
    return nullptr;
}

TQvHighlighterAttributes* TQvMultiHighlighter::GetDefaultAttribute(Integer Index) const
{
    TQvCustomHighlighter* active = ActiveHighlighter();
    return active != nullptr ? active->GetDefaultAttribute(Index) : nullptr;
}

TQvIdentChars TQvMultiHighlighter::GetIdentChars() const
{
    TQvCustomHighlighter* active = ActiveHighlighter();
    return active != nullptr ? active->GetIdentChars() : TQvCustomHighlighter::GetIdentChars();
}

// ---------------------------------------------------------------------------------------
// Scanning

void TQvMultiHighlighter::DoSetLine(std::string_view NewValue, Integer LineNumber)
{
    markers_.clear();
    line_ = NewValue;
    lineNumber_ = LineNumber;
    FindMarkers();
    currentMarker_ = -1;
    nextMarker_ = 0;
    segmentStart_ = 0;
    segmentPending_ = true;
    segmentOwner_ = nullptr;
    run_ = 1;
    tokenPos_ = 0;
    Next();
}

// Pre-scans the line for markers: while no scheme is open, the first scheme in collection
// order whose start expression matches anywhere in the rest of the line opens; while one
// is open, its end expression closes it. The open scheme at the start is the one the
// range left open.
void TQvMultiHighlighter::FindMarkers()
{
    Integer scanScheme = openScheme_;
    // The rest of the line after the last marker, read in place.
    std::string_view rest = line_;
    Integer eaten = 0;
    try {
        while (!rest.empty()) {
            Integer consumed = 0;
            if (scanScheme < 0) {
                for (Integer i = 0; i < schemes_->Count() && scanScheme < 0; ++i) {
                    TScheme* scheme = schemes_->Items(i);
                    if (IsSchemeUsable(scheme) &&
                        FindMarker(scheme, i, true, rest, eaten, consumed))
                        scanScheme = i;
                }
                if (scanScheme < 0)
                    break;
            } else {
                TScheme* scheme = SchemeAt(scanScheme);
                if (scheme == nullptr || scheme->GetEndExpr().empty() ||
                    !FindMarker(scheme, scanScheme, false, rest, eaten, consumed))
                    break;
                scanScheme = -1;
            }
            eaten += consumed;
            rest = line_.substr(static_cast<std::size_t>(eaten));
        }
    } catch (const ERegex&) {
        // A search that reaches the matcher's bounds finds nothing more on this line; the
        // markers found so far stand.
    }
}

// Searches Rest (which starts after Eaten characters of the line) with the scheme's start
// or end expression and records what it finds. Consumed gets the characters up to the end
// of the match. A match of no characters counts as none, so the scan always moves on.
bool TQvMultiHighlighter::FindMarker(TScheme* Scheme, Integer SchemeIndex, bool IsStart,
                                     std::string_view Rest, Integer Eaten, Integer& Consumed)
{
    // The expression searches the line where it lies and keeps no copy of it.
    TRegex& regex = IsStart ? Scheme->StartRegex() : Scheme->EndRegex();
    if (!regex.ExecInPlace(Rest))
        return false;
    const Integer pos = regex.MatchPos(0);
    const Integer len = regex.MatchLen(0);
    if (pos < 1 || len < 1)
        return false;
    const Integer start = pos + Eaten;
    DoCheckMarker(Scheme, SchemeIndex, start, len,
                  line_.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(len)),
                  IsStart);
    Consumed = pos - 1 + len;
    return true;
}

// Adds a marker after the scheme's check event had its say. A marker with no text or no
// length is dropped, and so is one that a check event moved outside the line or onto the
// marker before it: markers stay inside the line and in order. The marker's text is read
// where it lies (a greedy expression may match most of a long line); only a check event
// is handed a copy, which it may change.
void TQvMultiHighlighter::DoCheckMarker(TScheme* Scheme, Integer SchemeIndex, Integer StartPos,
                                        Integer MarkerLen, std::string_view MarkerText,
                                        bool IsStart)
{
    Integer start = StartPos;
    Integer len = MarkerLen;
    bool hasText = !MarkerText.empty();
    const TOnCheckMarker& check = IsStart ? Scheme->OnCheckStartMarker : Scheme->OnCheckEndMarker;
    if (check) {
        std::string text(MarkerText);
        check(Scheme, start, len, text);
        hasText = !text.empty();
    }
    if (!hasText || len < 1)
        return;
    const auto lineLength = static_cast<Integer>(line_.size());
    const Integer previousEnd =
        markers_.empty() ? 0 : markers_.back().StartPos + markers_.back().MarkerLen - 1;
    if (start <= previousEnd || start < 1 || len > lineLength - start + 1)
        return;
    markers_.push_back({SchemeIndex, start, len, IsStart});
}

void TQvMultiHighlighter::Next()
{
    if (defaultHighlighter_ == nullptr) {
        NextWithoutDefault();
        return;
    }
    // Leaving an end marker closes its scheme, even when another marker follows at once.
    const bool afterMarker = currentMarker_ >= 0;
    if (afterMarker) {
        if (!markers_[static_cast<std::size_t>(currentMarker_)].IsOpenMarker) {
            openScheme_ = -1;
            defaultHighlighter_->SetRange(savedDefaultRange_);
        }
        currentMarker_ = -1;
    }
    if (EmitMarker())
        return;
    if (afterMarker) {
        StartSegment(run_ - 1);
    } else if (segmentPending_) {
        segmentPending_ = false;
        StartSegment(0);
    } else if (TQvCustomHighlighter* scanning = ScanningHighlighter()) {
        scanning->Next();
    } else {
        // The highlighter in charge changed in mid-line: it gets the rest of the line.
        StartSegment(run_ - 1);
    }
    TQvCustomHighlighter* active = ActiveHighlighter();
    tokenPos_ = active->GetTokenPos() + segmentStart_;
    run_ = tokenPos_ + static_cast<Integer>(active->GetTokenView().size()) + 1;
}

// Without a default highlighter the whole line is one token.
void TQvMultiHighlighter::NextWithoutDefault()
{
    const auto length = static_cast<Integer>(line_.size());
    run_ = run_ <= length ? length + 2 : length + 3;
    tokenPos_ = run_ > length + 2 ? length : 0;
}

// Makes the next marker the token when it starts at or before the run position.
bool TQvMultiHighlighter::EmitMarker()
{
    if (nextMarker_ >= static_cast<Integer>(markers_.size()))
        return false;
    const TMarker& marker = markers_[static_cast<std::size_t>(nextMarker_)];
    if (marker.StartPos > run_)
        return false;
    if (marker.IsOpenMarker) {
        openScheme_ = marker.SchemeIndex;
        savedDefaultRange_ = defaultHighlighter_->GetRange();
        if (TQvCustomHighlighter* scheme = SchemeHighlighter(openScheme_))
            scheme->ResetRange();
    }
    currentMarker_ = nextMarker_++;
    segmentPending_ = false;
    tokenPos_ = run_ - 1;
    run_ += marker.MarkerLen;
    return true;
}

// Hands the active highlighter the line from From (0-based) to the next marker.
void TQvMultiHighlighter::StartSegment(Integer From)
{
    const auto length = static_cast<Integer>(line_.size());
    Integer to = length;
    if (nextMarker_ < static_cast<Integer>(markers_.size()))
        to = markers_[static_cast<std::size_t>(nextMarker_)].StartPos - 1;
    From = std::clamp(From, 0, length);
    to = std::clamp(to, From, length);
    if (to == length) {
        segmentText_ = line_.substr(static_cast<std::size_t>(From));
    } else {
        segment_.assign(line_.substr(static_cast<std::size_t>(From), static_cast<std::size_t>(to - From)));
        segmentText_ = segment_;
    }
    segmentStart_ = From;
    segmentOwner_ = ActiveHighlighter();
    segmentOwner_->SetLine(segmentText_, lineNumber_);
}

bool TQvMultiHighlighter::GetEol() const
{
    if (currentMarker_ >= 0)
        return false;
    if (defaultHighlighter_ == nullptr)
        return run_ > static_cast<Integer>(line_.size()) + 2;
    TQvCustomHighlighter* scanning = ScanningHighlighter();
    return scanning == nullptr || scanning->GetEol();
}

std::string TQvMultiHighlighter::GetToken() const
{
    return std::string(GetTokenView());
}

std::string_view TQvMultiHighlighter::GetTokenView() const
{
    const std::string_view line = line_;
    if (defaultHighlighter_ == nullptr)
        return GetEol() ? std::string_view() : line;
    const auto length = static_cast<Integer>(line.size());
    const Integer from = std::clamp(tokenPos_, 0, length);
    const Integer to = std::clamp(run_ - 1, from, length);
    return line.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
}

TQvHighlighterAttributes* TQvMultiHighlighter::GetTokenAttribute() const
{
    if (currentMarker_ >= 0) {
        TScheme* scheme = SchemeAt(markers_[static_cast<std::size_t>(currentMarker_)].SchemeIndex);
        return scheme != nullptr ? scheme->GetMarkerAttri() : nullptr;
    }
    if (defaultHighlighter_ == nullptr)
        return nullptr;
    TQvCustomHighlighter* scanning = ScanningHighlighter();
    return scanning != nullptr ? scanning->GetTokenAttribute() : nullptr;
}

Integer TQvMultiHighlighter::GetTokenKind() const
{
    if (currentMarker_ >= 0 || defaultHighlighter_ == nullptr)
        return 0;
    TQvCustomHighlighter* scanning = ScanningHighlighter();
    return scanning != nullptr ? scanning->GetTokenKind() : 0;
}

// ---------------------------------------------------------------------------------------
// Ranges

void TQvMultiHighlighter::SetOnCustomRange(const TCustomRangeEvent& Value)
{
    onCustomRange_ = Value;
    UpdateRangeProcs();
}

bool TQvMultiHighlighter::UpdateRangeProcs()
{
    TRangeLayout layout = TRangeLayout::Default;
    if (onCustomRange_) {
        layout = TRangeLayout::User;
    } else {
        for (int i = 0; i < schemes_->Count(); ++i)
            if (dynamic_cast<TQvMultiHighlighter*>(schemes_->Items(i)->GetHighlighter()))
                layout = TRangeLayout::Nested;
    }
    if (layout == rangeLayout_)
        return false;
    rangeLayout_ = layout;
    NotifyChange();
    return true;
}

TQvHighlighterRange TQvMultiHighlighter::GetRange() const
{
    switch (rangeLayout_) {
    case TRangeLayout::User: {
        TQvHighlighterRange range = 0;
        onCustomRange_(const_cast<TQvMultiHighlighter*>(this), roGet, range);
        return range;
    }
    case TRangeLayout::Nested:
        return GetNestedRange();
    case TRangeLayout::Default:
        break;
    }
    return GetDefaultRange();
}

void TQvMultiHighlighter::SetRange(TQvHighlighterRange Value)
{
    switch (rangeLayout_) {
    case TRangeLayout::User: {
        TQvHighlighterRange range = Value;
        onCustomRange_(this, roSet, range);
        if (defaultHighlighter_ != nullptr)
            savedDefaultRange_ = defaultHighlighter_->GetRange();
        return;
    }
    case TRangeLayout::Nested:
        SetNestedRange(static_cast<std::uint32_t>(Value));
        return;
    case TRangeLayout::Default:
        break;
    }
    SetDefaultRange(static_cast<std::uint32_t>(Value));
}

void TQvMultiHighlighter::ResetRange()
{
    openScheme_ = -1;
    if (defaultHighlighter_ != nullptr) {
        defaultHighlighter_->ResetRange();
        savedDefaultRange_ = defaultHighlighter_->GetRange();
    }
}

// Bits 0-2: open scheme + 1; when a scheme is open, bits 3-6: its highlighter's range;
// the bits above: the default highlighter's range. The whole fits 32 bits.
TQvHighlighterRange TQvMultiHighlighter::GetDefaultRange() const
{
    std::uint64_t value =
        defaultHighlighter_ != nullptr ? Field(defaultHighlighter_->GetRange(), 32) : 0;
    if (openScheme_ >= 0) {
        TQvCustomHighlighter* scheme = SchemeHighlighter(openScheme_);
        value = (value << 4) | Field(scheme != nullptr ? scheme->GetRange() : 0, 4);
    }
    value = (value << 3) | Field(openScheme_ + 1, 3);
    Require(value <= UINT32_MAX);
    return static_cast<TQvHighlighterRange>(value);
}

void TQvMultiHighlighter::SetDefaultRange(std::uint32_t Value)
{
    const bool schemeBits = (Value & 7) != 0;
    SetCurrScheme(static_cast<Integer>(Value & 7) - 1);
    Value >>= 3;
    if (schemeBits) {
        if (TQvCustomHighlighter* scheme = SchemeHighlighter(openScheme_))
            scheme->SetRange(Value & 15);
        Value >>= 4;
    }
    if (defaultHighlighter_ != nullptr) {
        defaultHighlighter_->SetRange(Value);
        savedDefaultRange_ = defaultHighlighter_->GetRange();
    }
}

// Bits 0-3: open scheme + 2 (0 is no value); the bits above: the active highlighter's
// range, below 256 unless that is itself a multi-highlighter.
TQvHighlighterRange TQvMultiHighlighter::GetNestedRange() const
{
    TQvCustomHighlighter* active = ActiveHighlighter();
    const TQvHighlighterRange range = active != nullptr ? active->GetRange() : 0;
    const bool nested = dynamic_cast<TQvMultiHighlighter*>(active) != nullptr;
    const std::uint64_t value = (Field(range, nested ? 28 : 8) << 4) | Field(openScheme_ + 2, 4);
    return static_cast<TQvHighlighterRange>(value);
}

void TQvMultiHighlighter::SetNestedRange(std::uint32_t Value)
{
    if (Value == 0)
        return;
    SetCurrScheme(static_cast<Integer>(Value & 15) - 2);
    if (TQvCustomHighlighter* active = ActiveHighlighter())
        active->SetRange(Value >> 4);
}

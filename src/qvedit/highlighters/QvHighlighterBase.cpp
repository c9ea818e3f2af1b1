#include "qvedit/highlighters/QvHighlighterBase.h"

#include <algorithm>
#include <cstring>

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/SysUtils.h"

namespace {

const char EmptyLine[] = "";

}  // namespace

TQvIdentChars WordAndUpperLetterChars()
{
    TQvIdentChars chars = TQvIdentChars::Range('0', '9') + TQvIdentChars::Range('A', 'Z') +
                          TQvIdentChars::Range('a', 'z') + TQvIdentChars::Range(192, 255);
    chars.Include('_');
    chars.Exclude(static_cast<char>(215));
    chars.Exclude(static_cast<char>(247));
    return chars;
}

// ---------------------------------------------------------------------------------------
// TQvKeywordTable

TQvKeywordTable::TQvKeywordTable(Integer slotCount, const TQvKeywordHashing& hashing,
                                 std::span<const TQvKeyword> keywords, Byte identifierKind)
    : slotCount_(slotCount), hashing_(hashing), identifierKind_(identifierKind)
{
    std::vector<std::pair<std::int64_t, TEntry>> hashed;
    hashed.reserve(keywords.size());
    for (const TQvKeyword& keyword : keywords) {
        Integer length = 0;
        const std::int64_t hash = KeyHash(keyword.Word, length);
        if (hash < 0 || hash >= slotCount || length != static_cast<Integer>(std::strlen(keyword.Word)))
            throw Exception(Format("Keyword \"%s\" does not fit the keyword table", {keyword.Word}));
        hashed.push_back({hash, TEntry{keyword.Word, length, keyword.Kind}});
    }
    std::stable_sort(hashed.begin(), hashed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    slotStart_.assign(static_cast<std::size_t>(slotCount) + 1, 0);
    entries_.reserve(hashed.size());
    std::size_t next = 0;
    for (Integer slot = 0; slot < slotCount; ++slot) {
        slotStart_[static_cast<std::size_t>(slot)] = static_cast<Integer>(entries_.size());
        while (next < hashed.size() && hashed[next].first == slot)
            entries_.push_back(hashed[next++].second);
    }
    slotStart_[static_cast<std::size_t>(slotCount)] = static_cast<Integer>(entries_.size());
}

std::int64_t TQvKeywordTable::KeyHash(const char* word, Integer& wordLength) const
{
    std::int64_t hash = 0;
    Integer length = 0;
    for (;;) {
        const auto c = static_cast<unsigned char>(word[length]);
        if (!hashing_.Span[c])
            break;
        hash += hashing_.Values[c];
        ++length;
    }
    wordLength = length;
    return hash;
}

bool TQvKeywordTable::KeyComp(const char* word, Integer wordLength, const TEntry& entry) const
{
    if (wordLength != entry.Length)
        return false;
    for (Integer i = 0; i < wordLength; ++i) {
        const auto a = static_cast<unsigned char>(word[i]);
        const auto b = static_cast<unsigned char>(entry.Word[i]);
        if (hashing_.CaseInsensitive ? hashing_.Values[a] != hashing_.Values[b] : a != b)
            return false;
    }
    return true;
}

Byte TQvKeywordTable::IdentKind(const char* word, Integer& wordLength) const
{
    const std::int64_t hash = KeyHash(word, wordLength);
    if (hash < 0 || hash >= slotCount_)
        return identifierKind_;
    const auto slot = static_cast<std::size_t>(hash);
    for (Integer i = slotStart_[slot]; i < slotStart_[slot + 1]; ++i) {
        const TEntry& entry = entries_[static_cast<std::size_t>(i)];
        if (KeyComp(word, wordLength, entry))
            return entry.Kind;
    }
    return identifierKind_;
}

Integer TQvKeywordTable::OccupiedSlots() const
{
    Integer occupied = 0;
    for (Integer slot = 0; slot < slotCount_; ++slot)
        if (slotStart_[static_cast<std::size_t>(slot)] < slotStart_[static_cast<std::size_t>(slot) + 1])
            ++occupied;
    return occupied;
}

// ---------------------------------------------------------------------------------------
// TQvHighlighterBase

TQvHighlighterBase::TQvHighlighterBase(TComponent* AOwner, TQvCommonKinds kinds,
                                       Byte rangeCount, Byte startRange)
    : TQvCustomHighlighter(AOwner),
      line_(EmptyLine),
      tokenKind_(kinds.Null),
      range_(startRange),
      kinds_(kinds),
      rangeCount_(rangeCount),
      startRange_(startRange)
{
}

std::string TQvHighlighterBase::GetToken() const
{
    return std::string(GetTokenView());
}

TQvHighlighterAttributes* TQvHighlighterBase::GetTokenAttribute() const
{
    return kindAttributes_[tokenKind_];
}

TQvHighlighterAttributes* TQvHighlighterBase::GetDefaultAttribute(Integer Index) const
{
    if (Index < 0 || Index >= static_cast<Integer>(roleAttributes_.size()))
        return nullptr;
    return roleAttributes_[static_cast<std::size_t>(Index)];
}

void TQvHighlighterBase::SetRange(TQvHighlighterRange Value)
{
    const auto low = static_cast<Byte>(static_cast<std::uintptr_t>(Value) & 0xFF);
    range_ = low < rangeCount_ ? low : startRange_;
}

void TQvHighlighterBase::DoSetLine(std::string_view NewValue, Integer LineNumber)
{
    StartLine(NewValue, LineNumber);
    Next();
}

TQvHighlighterState TQvHighlighterBase::GetState() const
{
    return TQvHighlighterState{run_, (ExtraState() << 8) | tokenKind_, range_};
}

// Takes the line, puts back the state and scans the token at its position. A position
// past the line's end stands at the end.
void TQvHighlighterBase::DoResumeLine(std::string_view NewValue, Integer LineNumber,
                                      const TQvHighlighterState& State)
{
    StartLine(NewValue, LineNumber);
    run_ = std::clamp<Integer>(State.Pos, 0, static_cast<Integer>(NewValue.size()));
    SetRange(State.Range);
    tokenKind_ = static_cast<Byte>(State.Extra & 0xFF);
    SetExtraState(State.Extra >> 8);
    Next();
}

TQvHighlighterAttributes* TQvHighlighterBase::CreateAttribute(TQvResStringId name,
                                                              TFontStyles style,
                                                              std::initializer_list<Byte> kinds)
{
    auto* attribute = new TQvHighlighterAttributes(LoadResString(name));
    attribute->SetStyle(style);
    AddAttribute(attribute);
    for (Byte kind : kinds)
        kindAttributes_[kind] = attribute;
    return attribute;
}

void TQvHighlighterBase::SetRoleAttributes(std::array<TQvHighlighterAttributes*, 6> roles)
{
    roleAttributes_ = roles;
}

void TQvHighlighterBase::FinishAttributes()
{
    SetAttributesOnChange(TNotifyEvent(this, &TQvHighlighterBase::DefHighlightChange));
}

void TQvHighlighterBase::NullProc()
{
    tokenKind_ = kinds_.Null;
}

void TQvHighlighterBase::CRProc()
{
    tokenKind_ = kinds_.Space;
    ++run_;
    if (At(run_) == '\n')
        ++run_;
}

void TQvHighlighterBase::LFProc()
{
    tokenKind_ = kinds_.Space;
    ++run_;
}

void TQvHighlighterBase::SpaceProc()
{
    tokenKind_ = kinds_.Space;
    do
        ++run_;
    while (At(run_) >= 1 && At(run_) <= 32 && At(run_) != '\n' && At(run_) != '\r');
}

void TQvHighlighterBase::UnknownProc()
{
    tokenKind_ = kinds_.Unknown;
    ++run_;
}

void TQvHighlighterBase::SymbolOfLength(Integer length)
{
    tokenKind_ = kinds_.Symbol;
    run_ += length;
}

void TQvHighlighterBase::SymbolProc()
{
    SymbolOfLength(1);
}

void TQvHighlighterBase::AssignmentSymbolProc()
{
    SymbolOfLength(At(run_ + 1) == '=' ? 2 : 1);
}

void TQvHighlighterBase::AndSymbolProc()
{
    const unsigned next = At(run_ + 1);
    SymbolOfLength(next == '&' || next == '=' ? 2 : 1);
}

void TQvHighlighterBase::OrSymbolProc()
{
    const unsigned next = At(run_ + 1);
    SymbolOfLength(next == '|' || next == '=' ? 2 : 1);
}

void TQvHighlighterBase::PlusSymbolProc()
{
    const unsigned next = At(run_ + 1);
    SymbolOfLength(next == '+' || next == '=' ? 2 : 1);
}

void TQvHighlighterBase::MinusSymbolProc()
{
    const unsigned next = At(run_ + 1);
    SymbolOfLength(next == '-' || next == '=' || next == '>' ? 2 : 1);
}

void TQvHighlighterBase::LessSymbolProc()
{
    const unsigned next = At(run_ + 1);
    if (next == '<')
        SymbolOfLength(At(run_ + 2) == '=' ? 3 : 2);
    else
        SymbolOfLength(next == '=' ? 2 : 1);
}

void TQvHighlighterBase::EqualOrGreaterSymbolProc()
{
    const unsigned next = At(run_ + 1);
    SymbolOfLength(next == '=' || next == '>' ? 2 : 1);
}

void TQvHighlighterBase::ScanToLineEnd()
{
    static constexpr TQvCharTable lineEnds = MakeStopTable({'\n', '\r'});
    run_ = SkipTo(run_, lineEnds);
}

void TQvHighlighterBase::ScanBlockCommentBody(Byte closedRange)
{
    static constexpr TQvCharTable stops = MakeStopTable({'\n', '\r', '*'});
    for (;;) {
        run_ = SkipTo(run_, stops);
        if (At(run_) != '*')
            return;
        if (At(run_ + 1) == '/') {
            run_ += 2;
            range_ = closedRange;
            return;
        }
        ++run_;
    }
}

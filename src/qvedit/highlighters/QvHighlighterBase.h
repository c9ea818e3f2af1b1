#pragma once
// The shape every language highlighter shares.
//
// A language highlighter scans one line at a time: a 256-entry dispatch table picks the
// scanning operation by the first character of the next token, a keyword table recognises
// words, and a one-byte range carries constructs that span lines (comments, strings) to
// the next line. TQvHighlighterBase holds the scanning state, answers the token-access
// half of the highlighter interface from it, maps token kinds to attributes and offers
// the scanning operations all languages share. A language class adds its dispatch table,
// its Next and its own operations.
//
// The line handed to SetLine is read in place up to its terminating NUL, never beyond.

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/graphics/Graphics.h"
#include "platform/runtime/System.h"
#include "qvedit/core/QvEditHighlighter.h"
#include "qvedit/core/QvEditStrConst.h"

// ---------------------------------------------------------------------------------------
// Character tables

using TQvCharTable = std::array<bool, 256>;
using TQvValueTable = std::array<Integer, 256>;

// '0'..'9', 'A'..'Z', '_' and 'a'..'z': the characters that continue a word.
constexpr TQvCharTable MakeWordCharTable()
{
    TQvCharTable table{};
    for (int c = 0; c < 256; ++c)
        table[c] = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '_' ||
                   (c >= 'a' && c <= 'z');
    return table;
}

// The letter values of the letter-sum keyword hash: letters 1..26 in either case, '_' 31,
// every other character 0.
constexpr TQvValueTable MakeLetterValueTable()
{
    TQvValueTable table{};
    for (int c = 0; c < 256; ++c) {
        if (c >= 'A' && c <= 'Z')
            table[c] = c - 'A' + 1;
        else if (c >= 'a' && c <= 'z')
            table[c] = c - 'a' + 1;
        else if (c == '_')
            table[c] = 31;
    }
    return table;
}

// A table holding the NUL and the given characters: the characters a scan stops at.
constexpr TQvCharTable MakeStopTable(std::initializer_list<unsigned char> stops)
{
    TQvCharTable table{};
    table[0] = true;
    for (unsigned char c : stops)
        table[c] = true;
    return table;
}

// The identifier characters most languages report: ASCII word characters and the
// letters of the upper half (192..255 without 215 and 247).
TQvIdentChars WordAndUpperLetterChars();

// ---------------------------------------------------------------------------------------
// Keyword tables

struct TQvKeyword {
    const char* Word;
    Byte Kind;
};

// How a language hashes and compares words.
struct TQvKeywordHashing {
    TQvCharTable Span;     // the characters the hash walks over
    TQvValueTable Values;  // each character's value in the hash sum
    bool CaseInsensitive;  // compare through Values (true) or byte for byte (false)
};

// The keywords of a language, grouped by hash value into SlotCount slots. A word whose
// hash is negative or not below SlotCount is an identifier without any comparison. The
// hash is summed in 64 bits, so no word is long enough to overflow it.
class TQvKeywordTable {
public:
    // Raises Exception when a keyword hashes outside the slots: the lists are fixed, so
    // that is a mistake in them.
    TQvKeywordTable(Integer slotCount, const TQvKeywordHashing& hashing,
                    std::span<const TQvKeyword> keywords, Byte identifierKind);

    // The kind of the word that starts at `word` (NUL-terminated): the kind of the keyword
    // it equals, else the identifier kind. wordLength gets the number of characters
    // hashed.
    Byte IdentKind(const char* word, Integer& wordLength) const;
    // The hash of the word at `word` and the number of characters it covers.
    std::int64_t KeyHash(const char* word, Integer& wordLength) const;

    Integer SlotCount() const { return slotCount_; }
    Integer WordCount() const { return static_cast<Integer>(entries_.size()); }
    Integer OccupiedSlots() const;

private:
    struct TEntry {
        const char* Word;
        Integer Length;
        Byte Kind;
    };
    bool KeyComp(const char* word, Integer wordLength, const TEntry& entry) const;

    Integer slotCount_;
    TQvKeywordHashing hashing_;
    Byte identifierKind_;
    std::vector<TEntry> entries_;        // sorted by hash
    std::vector<Integer> slotStart_;     // entries of slot h: [slotStart_[h], slotStart_[h+1])
};

// ---------------------------------------------------------------------------------------
// The language-highlighter base

class TQvHighlighterBase : public TQvCustomHighlighter {
public:
    bool GetEol() const override { return tokenKind_ == kinds_.Null; }
    std::string GetToken() const override;
    std::string_view GetTokenView() const override
    {
        return std::string_view(line_ + tokenPos_, static_cast<std::size_t>(run_ - tokenPos_));
    }
    TQvHighlighterAttributes* GetTokenAttribute() const override;
    Integer GetTokenKind() const override { return tokenKind_; }
    Integer GetTokenPos() const override { return tokenPos_; }
    TQvHighlighterAttributes* GetDefaultAttribute(Integer Index) const override;

    // The range's ordinal. SetRange keeps the low byte of the value; a byte outside the
    // language's range enumeration becomes the start value, so that a stored value
    // cannot put the scanner in a state it has no operation for.
    TQvHighlighterRange GetRange() const override { return range_; }
    void SetRange(TQvHighlighterRange Value) override;
    void ResetRange() override { range_ = startRange_; }

    // Between tokens a language highlighter holds its position, its range, the kind of the
    // token before (a scan may look back at it) and what ExtraState adds.
    bool CanResume() const override { return true; }
    TQvHighlighterState GetState() const override;

protected:
    // The kinds the shared scanning operations produce.
    struct TQvCommonKinds {
        Byte Null;
        Byte Space;
        Byte Unknown;
        Byte Symbol;
    };

    // rangeCount: the number of members of the language's range enumeration (1 for a
    // language without ranges).
    TQvHighlighterBase(TComponent* AOwner, TQvCommonKinds kinds, Byte rangeCount,
                       Byte startRange);

    void DoSetLine(std::string_view NewValue, Integer LineNumber) override;
    void DoResumeLine(std::string_view NewValue, Integer LineNumber,
                      const TQvHighlighterState& State) override;
    // What a language keeps between tokens besides the base's state (24 bits), handed
    // back to SetExtraState when a scan resumes (in place of what its DoSetLine resets).
    virtual std::uint32_t ExtraState() const { return 0; }
    virtual void SetExtraState(std::uint32_t /*Value*/) {}
    // Takes the line and puts the position at its start, without scanning a token.
    void StartLine(std::string_view NewValue, Integer LineNumber)
    {
        line_ = NewValue.data();
        lineNumber_ = LineNumber;
        run_ = 0;
    }

    // Creates an attribute named by a message string with a default style, adds it, and
    // shows every kind of `kinds` with it.
    TQvHighlighterAttributes* CreateAttribute(TQvResStringId name, TFontStyles style,
                                              std::initializer_list<Byte> kinds);
    // The attributes for the roles QV_ATTRIB_COMMENT .. QV_ATTRIB_SYMBOL (nil for none).
    void SetRoleAttributes(std::array<TQvHighlighterAttributes*, 6> roles);
    // Makes the attributes' current values their defaults and hooks their changes.
    void FinishAttributes();

    // The character at `index` as an unsigned code; the NUL at the end is code 0.
    unsigned At(Integer index) const { return static_cast<unsigned char>(line_[index]); }
    bool AtLineEnd(Integer index) const
    {
        const unsigned c = At(index);
        return c == 0 || c == '\n' || c == '\r';
    }
    // The first position from `index` on whose character `stops` holds; the table must
    // hold the NUL (MakeStopTable), so the scan ends with the line at the latest.
    Integer SkipTo(Integer index, const TQvCharTable& stops) const
    {
        while (!stops[At(index)])
            ++index;
        return index;
    }

    // Shared scanning operations.
    void NullProc();     // the end-of-line token; the position stays
    void CRProc();       // CR, or CR LF
    void LFProc();
    void SpaceProc();    // codes 1..32 other than LF and CR
    void UnknownProc();  // one character

    // Symbols shared by the C-like languages.
    void SymbolOfLength(Integer length);
    void SymbolProc();            // one character
    void AssignmentSymbolProc();  // the character, with a following '=' joined
    void AndSymbolProc();         // '&', '&&' or '&='
    void OrSymbolProc();          // '|', '||' or '|='
    void PlusSymbolProc();        // '+', '++' or '+='
    void MinusSymbolProc();       // '-', '--', '-=' or '->'
    void LessSymbolProc();        // '<', '<=', '<<' or '<<='
    // The character, with a following '=' or '>' joined: "==", "=>", ">=", ">>".
    void EqualOrGreaterSymbolProc();

    // Takes the characters up to the end of the line.
    void ScanToLineEnd();
    // Scans a "/*" comment from the position up to and including "*/" (the range becomes
    // closedRange) or up to the end of the line (the range stays).
    void ScanBlockCommentBody(Byte closedRange);

    const char* line_;
    Integer lineNumber_ = 0;
    Integer run_ = 0;
    Integer tokenPos_ = 0;
    Byte tokenKind_;
    Byte range_;

private:
    TQvCommonKinds kinds_;
    Byte rangeCount_;
    Byte startRange_;
    std::array<TQvHighlighterAttributes*, 256> kindAttributes_{};
    std::array<TQvHighlighterAttributes*, 6> roleAttributes_{};
};

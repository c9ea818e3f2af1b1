// Types shared by the editor control, its text buffer, its undo lists and the search
// engines: small bit sets over enumerations, a 256-bit character set, the search options,
// selection modes, status changes and replace answers, and the search-engine interface.
#pragma once

#include "platform/runtime/Classes.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/System.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <type_traits>

// The editor's own error class (search without an engine, clipboard failures, ...).
QV_DECLARE_EXCEPTION(EQvEditError, Exception);

// A set of members of an enumeration whose values are 0 .. Bits - 1. Member n is bit n,
// and the set's storage is the smallest unsigned integer that holds Bits bits, so that its
// value can be read, stored and compared as the byte or word that files and events carry.
template <class E, int Bits>
class TSet {
    static_assert(Bits > 0 && Bits <= 64);

public:
    using Storage = std::conditional_t<
        (Bits <= 8), std::uint8_t,
        std::conditional_t<(Bits <= 16), std::uint16_t,
                           std::conditional_t<(Bits <= 32), std::uint32_t, std::uint64_t>>>;

    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> members)
    {
        for (E m : members)
            Include(m);
    }
    static constexpr TSet FromBits(Storage bits)
    {
        TSet s;
        s.bits_ = static_cast<Storage>(bits & AllBits());
        return s;
    }

    constexpr Storage ToBits() const { return bits_; }
    constexpr bool Contains(E m) const { return InRange(m) && (bits_ & Bit(m)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }

    constexpr TSet& Include(E m)
    {
        if (InRange(m))
            bits_ = static_cast<Storage>(bits_ | Bit(m));
        return *this;
    }
    constexpr TSet& Exclude(E m)
    {
        if (InRange(m))
            bits_ = static_cast<Storage>(bits_ & ~Bit(m));
        return *this;
    }

    // Union, difference and intersection, as the set operators + - * of set algebra.
    friend constexpr TSet operator+(TSet a, TSet b) { return FromBits(a.bits_ | b.bits_); }
    friend constexpr TSet operator-(TSet a, TSet b) { return FromBits(a.bits_ & ~b.bits_); }
    friend constexpr TSet operator*(TSet a, TSet b) { return FromBits(a.bits_ & b.bits_); }
    TSet& operator+=(TSet b) { return *this = *this + b; }
    TSet& operator-=(TSet b) { return *this = *this - b; }
    friend constexpr bool operator==(TSet a, TSet b) = default;

private:
    static constexpr bool InRange(E m)
    {
        auto v = static_cast<long long>(m);
        return v >= 0 && v < Bits;
    }
    static constexpr Storage Bit(E m) { return static_cast<Storage>(Storage{1} << static_cast<int>(m)); }
    static constexpr Storage AllBits()
    {
        return Bits == 8 * static_cast<int>(sizeof(Storage))
                   ? static_cast<Storage>(~Storage{0})
                   : static_cast<Storage>((Storage{1} << Bits) - 1);
    }

    Storage bits_ = 0;
};

// A set of 8-bit characters (256 bits). Characters are taken as unsigned bytes.
class TQvCharSet {
public:
    constexpr TQvCharSet() = default;
    // The characters of `chars`, each one a member.
    explicit TQvCharSet(const char* chars)
    {
        for (; *chars != '\0'; ++chars)
            Include(*chars);
    }
    // Every character from `first` to `last` inclusive.
    static constexpr TQvCharSet Range(unsigned char first, unsigned char last)
    {
        TQvCharSet s;
        for (unsigned c = first; c <= last; ++c)
            s.Include(static_cast<char>(c));
        return s;
    }

    constexpr bool Contains(char c) const
    {
        auto u = static_cast<unsigned char>(c);
        return (words_[u >> 6] >> (u & 63) & 1u) != 0;
    }
    constexpr TQvCharSet& Include(char c)
    {
        auto u = static_cast<unsigned char>(c);
        words_[u >> 6] |= std::uint64_t{1} << (u & 63);
        return *this;
    }
    constexpr TQvCharSet& Exclude(char c)
    {
        auto u = static_cast<unsigned char>(c);
        words_[u >> 6] &= ~(std::uint64_t{1} << (u & 63));
        return *this;
    }
    constexpr bool Empty() const
    {
        return (words_[0] | words_[1] | words_[2] | words_[3]) == 0;
    }

    friend constexpr TQvCharSet operator+(TQvCharSet a, const TQvCharSet& b)
    {
        for (int i = 0; i < 4; ++i)
            a.words_[i] |= b.words_[i];
        return a;
    }
    friend constexpr TQvCharSet operator-(TQvCharSet a, const TQvCharSet& b)
    {
        for (int i = 0; i < 4; ++i)
            a.words_[i] &= ~b.words_[i];
        return a;
    }
    friend constexpr bool operator==(const TQvCharSet&, const TQvCharSet&) = default;

private:
    std::array<std::uint64_t, 4> words_{};
};

// The characters that make up identifiers and words for a highlighter or the editor.
using TQvIdentChars = TQvCharSet;

enum TQvSearchOption : Byte {
    ssoMatchCase,
    ssoWholeWord,
    ssoBackwards,
    ssoEntireScope,
    ssoSelectedOnly,
    ssoReplace,
    ssoReplaceAll,
    ssoPrompt
};
using TQvSearchOptions = TSet<TQvSearchOption, 8>;

enum TQvSelectionMode : Byte { smNormal, smLine, smColumn };

enum TQvStatusChange : Byte {
    scAll,
    scCaretX,
    scCaretY,
    scLeftChar,
    scTopLine,
    scInsertMode,
    scModified,
    scSelection,
    scReadOnly
};
using TQvStatusChanges = TSet<TQvStatusChange, 16>;

// The answer to the editor's replace prompt.
enum TQvReplaceAction : Byte { raCancel, raSkip, raReplace, raReplaceAll };

// The interface through which the editor searches: it hands a search engine one line at a
// time and selects the matches it reports. Engines implement every operation.
//
// Calling order: SetOptions, SetPattern, then per line FindAll, then GetResult and
// GetLength for each match, and Replace when replacing.
class TQvEditSearchCustom : public TComponent {
public:
    explicit TQvEditSearchCustom(TComponent* AOwner) : TComponent(AOwner) {}

    virtual std::string GetPattern() const = 0;
    // An engine may prepare tables or compile the pattern here.
    virtual void SetPattern(const std::string& Value) = 0;
    // Length in characters of the match with that 0-based index of the last FindAll.
    virtual Integer GetLength(Integer Index) const = 0;
    // 1-based character position in the line of the match with that 0-based index.
    virtual Integer GetResult(Integer Index) const = 0;
    virtual Integer GetResultCount() const = 0;
    // Engines read what concerns matching (case, whole word); the editor the rest.
    virtual void SetOptions(TQvSearchOptions Value) = 0;
    // Finds all matches in one line, keeps them in ascending order, returns their count.
    virtual Integer FindAll(const std::string& NewText) = 0;
    // Puts the replacement for the current match into the editor's selection; AEditor is
    // the editor control.
    virtual void Replace(const std::string& aReplacement, TObject* AEditor) = 0;
    // The text that replaces the match with that 0-based index of the last FindAll, made
    // from that match in its line, as a replacement of every match of the line would make
    // it; the editor replaces matches with it. An engine whose replacement does not depend
    // on the match gives it as it stands.
    virtual std::string ReplacementFor(Integer Index, const std::string& aReplacement)
    {
        (void)Index;
        return aReplacement;
    }
};

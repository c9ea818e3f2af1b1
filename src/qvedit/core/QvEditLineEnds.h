// Line ends in 8-bit text, looked for sixteen bytes at a time: loading splits a file with
// them, and every text the editor inserts is split into lines with them. The finding is
// inline: loading calls it for every line of a file.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace QvLineEnds {

template <bool Nul>
inline bool IsEndByte(char c)
{
    return c == '\n' || c == '\r' || (Nul && c == '\0');
}

#if defined(__SSE2__)

template <bool Nul>
inline std::size_t Find(const char* Text, std::size_t From, std::size_t Size)
{
    std::size_t i = From;
    for (; i + 16 <= Size; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Text + i));
        __m128i ends =
            _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')));
        if constexpr (Nul)
            ends = _mm_or_si128(ends, _mm_cmpeq_epi8(bytes, _mm_setzero_si128()));
        if (const auto found = static_cast<unsigned>(_mm_movemask_epi8(ends)); found != 0)
            return i + static_cast<std::size_t>(std::countr_zero(found));
    }
    for (; i < Size; ++i)
        if (IsEndByte<Nul>(Text[i]))
            return i;
    return Size;
}

#else

constexpr std::uint64_t EveryByte = 0x0101010101010101ull;

// Flags the bytes of the word that are 0. The lowest flag is always a zero byte (higher
// ones may be false), which is all that finding the first one needs.
inline std::uint64_t ZeroBytes(std::uint64_t x)
{
    return (x - EveryByte) & ~x & (EveryByte * 0x80);
}

template <bool Nul>
inline std::size_t Find(const char* Text, std::size_t From, std::size_t Size)
{
    std::size_t i = From;
    if constexpr (std::endian::native == std::endian::little) {
        for (; i + 8 <= Size; i += 8) {
            std::uint64_t word;
            std::memcpy(&word, Text + i, sizeof word);
            std::uint64_t found = ZeroBytes(word ^ (EveryByte * '\n')) | ZeroBytes(word ^ (EveryByte * '\r'));
            if constexpr (Nul)
                found |= ZeroBytes(word);
            if (found != 0)
                return i + static_cast<std::size_t>(std::countr_zero(found)) / 8;
        }
    }
    for (; i < Size; ++i)
        if (IsEndByte<Nul>(Text[i]))
            return i;
    return Size;
}

#endif

}  // namespace QvLineEnds

// Index of the first NUL, LF or CR in Text[From, Size), or Size when none: where a line of
// a loaded file ends.
inline std::size_t FindLineEnd(const char* Text, std::size_t From, std::size_t Size)
{
    return QvLineEnds::Find<true>(Text, From, Size);
}

// Index of the first LF or CR in Text from From on, or Text.size() when none.
inline std::size_t FindLineBreak(std::string_view Text, std::size_t From)
{
    return QvLineEnds::Find<false>(Text.data(), From, Text.size());
}

// The line breaks of Text, CR LF counted once, a lone CR and a lone LF once each.
std::size_t CountLineBreaks(std::string_view Text);

// The lines of a text one after another: the pieces between line breaks (CR LF, a lone CR
// or a lone LF). A text ending with a break has an empty last piece; an empty text is one
// empty piece.
class TQvTextLines {
public:
    explicit TQvTextLines(std::string_view Text) : text_(Text) {}
    bool AtEnd() const { return atEnd_; }
    // The next piece; valid while the text is.
    std::string_view Next()
    {
        const std::size_t end = FindLineBreak(text_, at_);
        const std::string_view piece = text_.substr(at_, end - at_);
        at_ = end + 1;
        if (end == text_.size())
            atEnd_ = true;
        else if (text_[end] == '\r' && at_ < text_.size() && text_[at_] == '\n')
            ++at_;
        return piece;
    }

private:
    std::string_view text_;
    std::size_t at_ = 0;
    bool atEnd_ = false;
};

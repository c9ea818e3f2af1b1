#include "qvedit/core/QvEditLineEnds.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

template <bool Nul>
bool IsEndByte(char c)
{
    return c == '\n' || c == '\r' || (Nul && c == '\0');
}

#if defined(__SSE2__)

// A bit for each of the sixteen bytes at P that is LF or CR (or NUL).
template <bool Nul>
unsigned EndBits(const char* P)
{
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(P));
    __m128i ends = _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')));
    if constexpr (Nul)
        ends = _mm_or_si128(ends, _mm_cmpeq_epi8(bytes, _mm_setzero_si128()));
    return static_cast<unsigned>(_mm_movemask_epi8(ends));
}

template <bool Nul>
std::size_t Find(const char* Text, std::size_t From, std::size_t Size)
{
    std::size_t i = From;
    for (; i + 16 <= Size; i += 16) {
        if (const unsigned found = EndBits<Nul>(Text + i); found != 0)
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
std::uint64_t ZeroBytes(std::uint64_t x)
{
    return (x - EveryByte) & ~x & (EveryByte * 0x80);
}

template <bool Nul>
std::size_t Find(const char* Text, std::size_t From, std::size_t Size)
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

}  // namespace

std::size_t FindLineEnd(const char* Text, std::size_t From, std::size_t Size)
{
    return Find<true>(Text, From, Size);
}

std::size_t FindLineBreak(std::string_view Text, std::size_t From)
{
    return Find<false>(Text.data(), From, Text.size());
}

std::size_t CountLineBreaks(std::string_view Text)
{
    const char* p = Text.data();
    const std::size_t size = Text.size();
    std::size_t count = 0;
    std::size_t i = 0;
    bool afterCR = false;  // the byte before i is a CR
#if defined(__SSE2__)
    for (; i + 16 <= size; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const auto cr = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r'))));
        const auto lf = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n'))));
        // An LF right after a CR ends the same line.
        const unsigned pairs = cr & (lf >> 1);
        count += static_cast<std::size_t>(std::popcount(cr) + std::popcount(lf) - std::popcount(pairs));
        if (afterCR && (lf & 1) != 0)
            --count;
        afterCR = (cr & 0x8000u) != 0;
    }
#endif
    for (; i < size; ++i) {
        if (p[i] == '\r') {
            ++count;
            afterCR = true;
        } else {
            if (p[i] == '\n' && !afterCR)
                ++count;
            afterCR = false;
        }
    }
    return count;
}

#include "qvedit/core/QvEditLineEnds.h"

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

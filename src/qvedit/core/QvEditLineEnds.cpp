#include "qvedit/core/QvEditLineEnds.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// A CR counts unless an LF follows it; every LF counts. Each byte is weighed by itself and
// the byte after it, sixteen at a time: the counts add up in each byte's lane of a vector
// (one at most a step) and are summed before a lane could overflow.
std::size_t CountLineBreaks(std::string_view Text)
{
    const char* p = Text.data();
    const std::size_t size = Text.size();
    std::size_t count = 0;
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    while (i + 17 <= size) {
        __m128i lanes = _mm_setzero_si128();
        for (int step = 0; step < 255 && i + 17 <= size; ++step, i += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 1));
            const __m128i isCR = _mm_cmpeq_epi8(bytes, cr);
            const __m128i isLF = _mm_cmpeq_epi8(bytes, lf);
            const __m128i pair = _mm_and_si128(isCR, _mm_cmpeq_epi8(next, lf));
            // A comparison gives -1 where it holds.
            lanes = _mm_add_epi8(_mm_sub_epi8(_mm_sub_epi8(lanes, isCR), isLF), pair);
        }
        const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
        count += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
                 static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_unpackhi_epi64(sums, sums)));
    }
#endif
    for (; i < size; ++i) {
        if (p[i] == '\n' || (p[i] == '\r' && (i + 1 == size || p[i + 1] != '\n')))
            ++count;
    }
    return count;
}

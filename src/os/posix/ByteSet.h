// A set of byte values that SSE4.1 tests sixteen bytes against at once: two rows of 16 bytes,
// indexed by a byte's low four bits, where bit k of the first row's entry stands for the byte
// whose high four bits are k, of the second row's for k + 8 (the form of the code-page tables'
// leadBits and identityBits).
#pragma once

#include "os/posix/CpuFeatures.h"

#if defined(TOLVANE_SSE41_PATHS)

#include <immintrin.h>

#include <cstdint>

namespace Tolvane::Util::Os::Posix {

class ByteSet
{
public:
    TOLVANE_SSE41 explicit ByteSet(const std::uint8_t* rows)
        : m_Low(_mm_load_si128(reinterpret_cast<const __m128i*>(rows))),
          m_High(_mm_load_si128(reinterpret_cast<const __m128i*>(rows + 16)))
    {
    }

    // Bit k set when byte k of the sixteen is in the set.
    TOLVANE_SSE41 std::uint32_t Members(__m128i bytes) const
    {
        const __m128i low = _mm_and_si128(bytes, _mm_set1_epi8(15));
        const __m128i high = _mm_and_si128(_mm_srli_epi16(bytes, 4), _mm_set1_epi8(15));
        // A byte's top bit picks the row.
        const __m128i row =
            _mm_blendv_epi8(_mm_shuffle_epi8(m_Low, low), _mm_shuffle_epi8(m_High, low), bytes);
        const __m128i bit = _mm_shuffle_epi8(
            _mm_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128), high);
        return static_cast<std::uint32_t>(
            _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(row, bit), bit)));
    }

private:
    __m128i m_Low;
    __m128i m_High;
};

} // namespace Tolvane::Util::Os::Posix

#endif

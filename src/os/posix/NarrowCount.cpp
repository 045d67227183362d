// A 64-byte block is classified at once (lead bytes, NUL bytes); which lead bytes really lead
// then follows from runs of possible leads, since in such a run every other byte leads; the
// characters are the bytes that are no trail byte.
#include "os/posix/NarrowCount.h"

#if defined(__x86_64__) && defined(__GNUC__)
#define TOLVANE_NARROW_BLOCKS 1
#include <immintrin.h>
#endif

namespace Tolvane::Util::Os::Posix {

namespace {

// One character at a time from `i`, where no trail byte stands.
std::size_t CountFrom(const unsigned char* bytes, std::size_t i, std::size_t length,
                      const std::uint32_t* leadRows)
{
    std::size_t count = 0;
    while (i < length)
    {
        const bool pair = leadRows[bytes[i]] != 0 && i + 1 < length && bytes[i + 1] != 0;
        i += pair ? 2 : 1;
        ++count;
    }
    return count;
}

#if defined(TOLVANE_NARROW_BLOCKS)

#define TOLVANE_SSE41 __attribute__((target("sse4.1,popcnt")))

const bool HasSse41 =
    __builtin_cpu_supports("sse4.1") != 0 && __builtin_cpu_supports("popcnt") != 0;

constexpr std::size_t BlockBytes = 64;
constexpr std::uint64_t EvenBits = 0x5555555555555555u;

// Byte sets as two rows of sixteen bytes, indexed by a byte's low four bits: bit k of the first
// row's entry stands for the byte with high bits k, of the second's for high bits k + 8.
class ByteSet
{
public:
    TOLVANE_SSE41 explicit ByteSet(const std::uint32_t* leadRows)
    {
        alignas(16) std::uint8_t rows[2][16] = {};
        for (unsigned byte = 0; byte < 0x100; ++byte)
        {
            if (leadRows[byte] != 0)
            {
                rows[byte >> 7][byte & 15] |= static_cast<std::uint8_t>(1u << (byte >> 4 & 7));
            }
        }
        m_Low = _mm_load_si128(reinterpret_cast<const __m128i*>(rows[0]));
        m_High = _mm_load_si128(reinterpret_cast<const __m128i*>(rows[1]));
    }

    // Bit k set when byte k of the sixteen is in the set.
    TOLVANE_SSE41 std::uint64_t Members(__m128i bytes) const
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

TOLVANE_SSE41 std::size_t CountInBlocks(const unsigned char* bytes, std::size_t length,
                                        const std::uint32_t* leadRows)
{
    const ByteSet leadBytes(leadRows);
    std::size_t count = 0;
    std::size_t i = 0;
    // 1 when the block's first byte is the trail byte of the block before.
    std::uint64_t carry = 0;
    // Each block needs the byte after it.
    while (length - i > BlockBytes)
    {
        std::uint64_t leads = 0;
        std::uint64_t nuls = 0;
        for (unsigned k = 0; k < BlockBytes / 16; ++k)
        {
            const __m128i block =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i + 16 * k));
            leads |= leadBytes.Members(block) << 16 * k;
            nuls |= static_cast<std::uint64_t>(static_cast<std::uint32_t>(
                        _mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_setzero_si128()))))
                    << 16 * k;
        }
        // The lead bytes that a byte other than NUL follows, less one that trails.
        const std::uint64_t mayLead =
            leads & ~(nuls >> 1) & ~(std::uint64_t{bytes[i + BlockBytes] == 0} << 63) & ~carry;
        // In a run of them the first leads, the second trails, and so on: the runs that start
        // at an even bit lead at even bits, the others at odd bits.
        const std::uint64_t starts = mayLead & ~(mayLead << 1);
        const std::uint64_t evenRuns = mayLead & ~(mayLead + (starts & EvenBits));
        const std::uint64_t lead = (evenRuns & EvenBits) | (mayLead & ~evenRuns & ~EvenBits);
        const std::uint64_t trails = lead << 1 | carry;
        count += BlockBytes - static_cast<std::size_t>(__builtin_popcountll(trails));
        carry = lead >> 63;
        i += BlockBytes;
    }
    return count + CountFrom(bytes, i + carry, length, leadRows);
}

#endif

} // namespace

std::size_t CountDoubleByteCharacters(const unsigned char* bytes, std::size_t length,
                                      const std::uint32_t* leadRows)
{
#if defined(TOLVANE_NARROW_BLOCKS)
    if (HasSse41 && length > 2 * BlockBytes)
    {
        return CountInBlocks(bytes, length, leadRows);
    }
#endif
    return CountFrom(bytes, 0, length, leadRows);
}

} // namespace Tolvane::Util::Os::Posix

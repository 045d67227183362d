// Eight units at a time: each is spread over the four bytes of its lane in its UTF-8 form,
// last byte lowest, and one byte shuffle per half, chosen by the lengths of its four lanes,
// packs the bytes. No branch depends on the text but the one for units UTF-8 cannot carry.
#include "os/posix/Utf8Blocks.h"

#include "os/posix/AsciiRun.h"
#include "os/posix/CpuFeatures.h"

#include <cstdint>
#include <cstring>

#if defined(TOLVANE_SSE41_PATHS)
#include <immintrin.h>
#endif

namespace Tolvane::Util::Os::Posix {

namespace {

#if defined(TOLVANE_SSE41_PATHS)

static_assert(sizeof(wchar_t) == 4, "the blocks read UTF-32 units");

constexpr std::size_t QuadUnits = 4;
constexpr std::size_t OctetUnits = 8;
constexpr std::size_t BlockUnits = 16;
constexpr std::size_t LongestSequence = 4;

// For a quad of lanes of one to four bytes, indexed by their lengths less one (bit k the low
// bit of lane k's, bit k + 4 the high bit): the shuffle that gathers their bytes in order, and how
// many there are. A sequence of n bytes is bytes n-1 down to 0 of its lane.
struct PackShuffles
{
    alignas(16) std::uint8_t rows[256][16];
    std::uint8_t lengths[256];
};

constexpr PackShuffles MakePackShuffles()
{
    PackShuffles table{};
    for (unsigned index = 0; index < 256; ++index)
    {
        unsigned at = 0;
        for (unsigned lane = 0; lane < QuadUnits; ++lane)
        {
            const unsigned bytes = 1 + ((index >> lane) & 1) + 2 * ((index >> (lane + 4)) & 1);
            for (unsigned k = bytes; k-- > 0;)
            {
                table.rows[index][at++] = static_cast<std::uint8_t>(4 * lane + k);
            }
        }
        table.lengths[index] = static_cast<std::uint8_t>(at);
        for (; at < 16; ++at)
        {
            table.rows[index][at] = 0x80; // a zero byte, written past the quad's end
        }
    }
    return table;
}

constexpr PackShuffles PackTable = MakePackShuffles();

// A constant that the compiler cannot rebuild from immediates at each use, as it otherwise
// does inside the loops at three instructions a time: made once before a loop, it stays in a
// register, or on the stack for use as a memory operand.
TOLVANE_AVX2 inline __m256i Constant(std::uint32_t value)
{
    __m256i splat = _mm256_set1_epi32(static_cast<int>(value));
    asm("" : "+x"(splat));
    return splat;
}

TOLVANE_AVX2 inline unsigned Lanes(__m256i mask)
{
    return static_cast<unsigned>(_mm256_movemask_ps(_mm256_castsi256_ps(mask)));
}

TOLVANE_AVX2 inline __m128i Row(unsigned index)
{
    return _mm_load_si128(reinterpret_cast<const __m128i*>(PackTable.rows[index]));
}

class OctetEncoder
{
public:
    TOLVANE_AVX2 OctetEncoder()
        : m_SurrogateTop(Constant(0xD800 >> 11)), m_BeyondTop(Constant(0x10FFFF >> 11)),
          m_Replacement(Constant(0xFFFD)), m_OneByte(Constant(0x7F)), m_TwoBytes(Constant(0x7FF)),
          m_ThreeBytes(Constant(0xFFFF)), m_Last(Constant(0x3F)), m_Third(Constant(0x3F00)),
          m_Second(Constant(0x3F0000)), m_First(Constant(0x07000000)), m_TwoMarks(Constant(0xC080)),
          m_ThreeMarks(Constant(0xE04000)), m_FourMarks(Constant(0xF0600000))
    {
    }

    // Encodes the eight units at `input` to `out` (which has room for 32 bytes) and gives the
    // bytes they take.
    TOLVANE_AVX2 __attribute__((always_inline)) std::size_t Encode(const wchar_t* input, char* out,
                                                                   bool& invalid) const
    {
        __m256i units = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(input));
        // Surrogates and values above U+10FFFF (negative ones included) become U+FFFD.
        const __m256i top = _mm256_srli_epi32(units, 11);
        const __m256i bad = _mm256_or_si256(_mm256_cmpeq_epi32(top, m_SurrogateTop),
                                            _mm256_cmpgt_epi32(top, m_BeyondTop));
        if (!_mm256_testz_si256(bad, bad))
        {
            units = _mm256_blendv_epi8(units, m_Replacement, bad);
            invalid = true;
        }
        const __m256i two = _mm256_cmpgt_epi32(units, m_OneByte);
        const __m256i three = _mm256_cmpgt_epi32(units, m_TwoBytes);
        const __m256i four = _mm256_cmpgt_epi32(units, m_ThreeBytes);
        // The payload bits of each byte, and the lead and continuation marks of each form (each
        // form's from the one before it). A one-byte lane keeps its value.
        const __m256i bits = _mm256_or_si256(
            _mm256_or_si256(_mm256_and_si256(units, m_Last),
                            _mm256_and_si256(_mm256_slli_epi32(units, 2), m_Third)),
            _mm256_or_si256(_mm256_and_si256(_mm256_slli_epi32(units, 4), m_Second),
                            _mm256_and_si256(_mm256_slli_epi32(units, 6), m_First)));
        const __m256i marks =
            _mm256_xor_si256(_mm256_xor_si256(_mm256_and_si256(two, m_TwoMarks),
                                              _mm256_and_si256(three, m_ThreeMarks)),
                             _mm256_and_si256(four, m_FourMarks));
        const __m256i lanes = _mm256_blendv_epi8(units, _mm256_or_si256(bits, marks), two);
        // The quads' indexes: each lane's length less one, whose low bit is set for lengths two
        // and four and high bit for three and four.
        const unsigned odd = Lanes(_mm256_xor_si256(_mm256_xor_si256(two, three), four));
        const unsigned high = Lanes(three);
        const unsigned low = (odd & 15) | (high & 15) << 4;
        const unsigned upper = odd >> 4 | (high & 0xF0);
        const __m256i shuffle =
            _mm256_inserti128_si256(_mm256_castsi128_si256(Row(low)), Row(upper), 1);
        const __m256i packed = _mm256_shuffle_epi8(lanes, shuffle);
        const std::size_t lowBytes = PackTable.lengths[low];
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(packed));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + lowBytes),
                         _mm256_extracti128_si256(packed, 1));
        return lowBytes + PackTable.lengths[upper];
    }

private:
    __m256i m_SurrogateTop; // units >> 11 for surrogates
    __m256i m_BeyondTop;    // and the largest for a code point
    __m256i m_Replacement;
    __m256i m_OneByte; // the largest unit each length holds
    __m256i m_TwoBytes;
    __m256i m_ThreeBytes;
    __m256i m_Last; // where each byte's payload lies after its shift
    __m256i m_Third;
    __m256i m_Second;
    __m256i m_First;
    __m256i m_TwoMarks; // the marks of each form, from those of the one before it
    __m256i m_ThreeMarks;
    __m256i m_FourMarks;
};

TOLVANE_AVX2 std::size_t Encode(const wchar_t* input, std::size_t length, char* output,
                                std::size_t capacity, std::size_t& written, bool& invalid)
{
    const OctetEncoder encoder;
    std::size_t i = 0;
    std::size_t at = written;
    while (length - i >= BlockUnits && capacity - at >= BlockUnits * LongestSequence)
    {
        __m128i units[4];
        if (AsciiRunDetail::LoadAsciiUnits(input + i, units))
        {
            const __m128i first = _mm_packs_epi32(units[0], units[1]);
            const __m128i second = _mm_packs_epi32(units[2], units[3]);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(output + at),
                             _mm_packus_epi16(first, second));
            at += BlockUnits;
        }
        else
        {
            at += encoder.Encode(input + i, output + at, invalid);
            at += encoder.Encode(input + i + OctetUnits, output + at, invalid);
        }
        i += BlockUnits;
    }
    written = at;
    return i;
}

// Each unit gives one byte, one more above 0x7F, one more again above 0x7FF and one more above
// U+FFFF. The first two tests run on the units packed to sixteen bits (where units above U+FFFF
// become 0xFFFF), the last on the units themselves; a block of ASCII needs none of them.
TOLVANE_AVX2 std::size_t Count(const wchar_t* input, std::size_t length, std::size_t& count,
                               bool& invalid)
{
    // Sixteen-bit lanes that gain at most two a block stay clear of overflow this long.
    constexpr std::size_t blocksPerSum = 8192;
    const __m256i zero = _mm256_setzero_si256();
    const __m256i one = _mm256_set1_epi16(1);
    const __m256i threeBytes = Constant(0xFFFF);
    const __m256i ascii = Constant(0x7F);
    __m256i largest = zero;
    __m256i surrogates = zero;
    std::size_t bytes = 0;
    std::size_t i = 0;
    while (length - i >= BlockUnits)
    {
        __m256i more = zero;   // sixteen-bit lanes: +1 for each byte above one up to three
        __m256i longer = zero; // 32-bit lanes: -1 for each unit above U+FFFF
        for (std::size_t blocks = 0; length - i >= BlockUnits && blocks < blocksPerSum;
             i += BlockUnits, ++blocks)
        {
            const __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(input + i));
            const __m256i second =
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(input + i + OctetUnits));
            const __m256i most = _mm256_max_epu32(first, second);
            if (_mm256_testc_si256(ascii, most))
            {
                continue; // every unit below 0x80
            }
            largest = _mm256_max_epu32(largest, most);
            // The order of the packed units does not matter to a count.
            const __m256i packed = _mm256_packus_epi32(first, second);
            more = _mm256_add_epi16(more, _mm256_min_epu16(_mm256_srli_epi16(packed, 7), one));
            more = _mm256_add_epi16(more, _mm256_min_epu16(_mm256_srli_epi16(packed, 11), one));
            longer = _mm256_add_epi32(longer, _mm256_cmpgt_epi32(first, threeBytes));
            longer = _mm256_add_epi32(longer, _mm256_cmpgt_epi32(second, threeBytes));
            surrogates = _mm256_or_si256(
                surrogates, _mm256_cmpeq_epi16(_mm256_and_si256(packed, _mm256_set1_epi16(-0x800)),
                                               _mm256_set1_epi16(static_cast<short>(0xD800))));
        }
        const __m256i extra = _mm256_sub_epi32(_mm256_madd_epi16(more, one), longer);
        alignas(32) std::int32_t lanes[OctetUnits];
        _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), extra);
        for (const std::int32_t lane : lanes)
        {
            bytes += static_cast<std::size_t>(lane);
        }
    }
    bytes += i;
    // Above U+10FFFF (or negative), a unit would be counted wrongly: none are taken.
    const __m256i inRange =
        _mm256_cmpeq_epi32(_mm256_max_epu32(largest, Constant(0x10FFFF)), Constant(0x10FFFF));
    if (_mm256_movemask_epi8(inRange) != -1)
    {
        return 0;
    }
    if (!_mm256_testz_si256(surrogates, surrogates))
    {
        invalid = true;
    }
    count += bytes;
    return i;
}

#endif

} // namespace

// Without the SIMD paths the parameters of both go unused.
std::size_t EncodeUtf8Blocks([[maybe_unused]] const wchar_t* input,
                             [[maybe_unused]] std::size_t length, [[maybe_unused]] char* output,
                             [[maybe_unused]] std::size_t capacity,
                             [[maybe_unused]] std::size_t& written, [[maybe_unused]] bool& invalid)
{
#if defined(TOLVANE_SSE41_PATHS)
    if (HasAvx2())
    {
        return Encode(input, length, output, capacity, written, invalid);
    }
#endif
    return 0;
}

std::size_t CountUtf8Blocks([[maybe_unused]] const wchar_t* input,
                            [[maybe_unused]] std::size_t length,
                            [[maybe_unused]] std::size_t& count, [[maybe_unused]] bool& invalid)
{
#if defined(TOLVANE_SSE41_PATHS)
    if (HasAvx2())
    {
        return Count(input, length, count, invalid);
    }
#endif
    return 0;
}

} // namespace Tolvane::Util::Os::Posix

// A round looks up its eight codes into the lanes of one register, tests them all at once, and
// turns them into bytes with one shuffle, which a table chosen by the codes that take two bytes
// gives: it puts each lead byte before its trail byte and closes the gaps.
#include "os/posix/WideRounds.h"

#include "os/posix/CodePageTables.h"

#include <array>

#if defined(__x86_64__) && defined(__GNUC__)
#define TOLVANE_WIDE_ROUNDS 1
#include <immintrin.h>
#endif

namespace Tolvane::Util::Os::Posix {

#if defined(TOLVANE_WIDE_ROUNDS)

namespace {

#define TOLVANE_SSE41 __attribute__((target("sse4.1,popcnt")))

constexpr unsigned RoundUnits = 8;

// For each set of codes that take two bytes (bit k for code k), the shuffle that makes their
// bytes from eight 16-bit codes in little-endian order.
constexpr std::array<std::array<std::uint8_t, 16>, 256> MakeCompactShuffles()
{
    std::array<std::array<std::uint8_t, 16>, 256> shuffles{};
    for (unsigned twoBytes = 0; twoBytes < 256; ++twoBytes)
    {
        unsigned at = 0;
        for (unsigned k = 0; k < RoundUnits; ++k)
        {
            if ((twoBytes >> k & 1) != 0)
            {
                shuffles[twoBytes][at++] = static_cast<std::uint8_t>(2 * k + 1);
            }
            shuffles[twoBytes][at++] = static_cast<std::uint8_t>(2 * k);
        }
        while (at < 16)
        {
            shuffles[twoBytes][at++] = 0x80; // a zero byte, past the round's output
        }
    }
    return shuffles;
}

alignas(16) constexpr auto CompactShuffles = MakeCompactShuffles();

const bool HasSse41 =
    __builtin_cpu_supports("sse4.1") != 0 && __builtin_cpu_supports("popcnt") != 0;

struct BlockCodes
{
    const std::int32_t* bases;
    std::uint16_t operator()(std::uint32_t unit) const
    {
        return WideCodes[bases[unit >> WideBlockShift] + static_cast<std::int32_t>(unit)];
    }
};

struct FlatCodes
{
    const std::uint16_t* codes;
    std::uint16_t operator()(std::uint32_t unit) const { return codes[unit]; }
};

// The codes of the eight units at `units`, or false when one of them is at or above U+10000 or
// has ComposingCode or NoCode.
template <typename Lookup>
TOLVANE_SSE41 inline bool LookUp(const wchar_t* units, Lookup lookup, __m128i& codes)
{
    static_assert(sizeof(wchar_t) == 4, "wide units are UTF-32 here");
    const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units));
    const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + 4));
    if (_mm_testz_si128(_mm_or_si128(first, second), _mm_set1_epi32(~0xFFFF)) == 0)
    {
        return false;
    }
    const auto* const unit = reinterpret_cast<const std::uint32_t*>(units);
    codes =
        _mm_setr_epi16(static_cast<short>(lookup(unit[0])), static_cast<short>(lookup(unit[1])),
                       static_cast<short>(lookup(unit[2])), static_cast<short>(lookup(unit[3])),
                       static_cast<short>(lookup(unit[4])), static_cast<short>(lookup(unit[5])),
                       static_cast<short>(lookup(unit[6])), static_cast<short>(lookup(unit[7])));
    // Only ComposingCode and NoCode reach 0xFFFF when one is added.
    const __m128i stops =
        _mm_cmpeq_epi16(_mm_adds_epu16(codes, _mm_set1_epi16(1)), _mm_set1_epi16(-1));
    return _mm_testz_si128(stops, stops) != 0;
}

// The codes that the round writes, the pending one first, and in `twoBytes` bit k set when the
// k-th of them takes two bytes.
TOLVANE_SSE41 inline __m128i Written(__m128i codes, std::uint32_t pending, unsigned& twoBytes)
{
    const __m128i written =
        _mm_insert_epi16(_mm_slli_si128(codes, 2), static_cast<int>(pending), 0);
    const __m128i oneByte = _mm_cmpeq_epi16(
        _mm_and_si128(written, _mm_set1_epi16(static_cast<short>(0xFF00))), _mm_setzero_si128());
    twoBytes =
        ~static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(oneByte, _mm_setzero_si128()))) &
        0xFF;
    return written;
}

template <typename Lookup>
TOLVANE_SSE41 std::size_t Write(const wchar_t* input, std::size_t i, std::size_t end, Lookup lookup,
                                std::uint16_t& code, char*& next)
{
    std::uint32_t pending = code;
    char* out = next;
    __m128i codes;
    while (end - i >= RoundUnits && LookUp(input + i + 1, lookup, codes))
    {
        unsigned twoBytes = 0;
        const __m128i written = Written(codes, pending, twoBytes);
        const __m128i shuffle =
            _mm_load_si128(reinterpret_cast<const __m128i*>(CompactShuffles[twoBytes].data()));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(written, shuffle));
        out += RoundUnits + static_cast<unsigned>(__builtin_popcount(twoBytes));
        pending = static_cast<std::uint32_t>(_mm_extract_epi16(codes, 7));
        i += RoundUnits;
    }
    code = static_cast<std::uint16_t>(pending);
    next = out;
    return i;
}

template <typename Lookup>
TOLVANE_SSE41 std::size_t Count(const wchar_t* input, std::size_t i, std::size_t end, Lookup lookup,
                                std::uint16_t& code, std::size_t& count)
{
    std::uint32_t pending = code;
    std::size_t bytes = count;
    __m128i codes;
    while (end - i >= RoundUnits && LookUp(input + i + 1, lookup, codes))
    {
        unsigned twoBytes = 0;
        Written(codes, pending, twoBytes);
        bytes += RoundUnits + static_cast<unsigned>(__builtin_popcount(twoBytes));
        pending = static_cast<std::uint32_t>(_mm_extract_epi16(codes, 7));
        i += RoundUnits;
    }
    code = static_cast<std::uint16_t>(pending);
    count = bytes;
    return i;
}

} // namespace

std::size_t WriteRounds(const wchar_t* input, std::size_t i, std::size_t end, RunCodes codes,
                        std::uint16_t& code, char*& next)
{
    if (!HasSse41)
    {
        return i;
    }
    return codes.flat != nullptr ? Write(input, i, end, FlatCodes{codes.flat}, code, next)
                                 : Write(input, i, end, BlockCodes{codes.bases}, code, next);
}

std::size_t CountRounds(const wchar_t* input, std::size_t i, std::size_t end, RunCodes codes,
                        std::uint16_t& code, std::size_t& count)
{
    if (!HasSse41)
    {
        return i;
    }
    return codes.flat != nullptr ? Count(input, i, end, FlatCodes{codes.flat}, code, count)
                                 : Count(input, i, end, BlockCodes{codes.bases}, code, count);
}

#else

std::size_t WriteRounds(const wchar_t*, std::size_t i, std::size_t, RunCodes, std::uint16_t&,
                        char*&)
{
    return i;
}

std::size_t CountRounds(const wchar_t*, std::size_t i, std::size_t, RunCodes, std::uint16_t&,
                        std::size_t&)
{
    return i;
}

#endif

} // namespace Tolvane::Util::Os::Posix

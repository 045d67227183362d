// Runs of ASCII text found, copied, widened and narrowed 16 units at a time (SSE2 or words).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Tolvane::Util::Os::Posix {

// Each function looks at [input, input + length) and stops at the first unit that is not ASCII
// (0x80 or above, or negative); it returns how many units came before it. The copying ones
// write exactly that many units to `output`, which must have room for `length` units.

namespace AsciiRunDetail {

constexpr std::size_t BlockUnits = 16;

inline bool IsAscii(char c)
{
    return static_cast<unsigned char>(c) < 0x80;
}

inline bool IsAscii(wchar_t c)
{
    return static_cast<std::uint32_t>(c) < 0x80;
}

#if defined(__SSE2__)
inline __m128i LoadBlock(const void* input)
{
    return _mm_loadu_si128(static_cast<const __m128i*>(input));
}

inline void StoreBlock(void* output, __m128i value)
{
    _mm_storeu_si128(static_cast<__m128i*>(output), value);
}

// The 16 wide units at `input`, or false when one of them is not ASCII.
inline bool LoadAsciiUnits(const wchar_t* input, __m128i (&units)[4])
{
    static_assert(sizeof(wchar_t) == 4, "wide units are UTF-32 here");
    for (int k = 0; k < 4; ++k)
    {
        units[k] = LoadBlock(input + 4 * k);
    }
    const __m128i any =
        _mm_or_si128(_mm_or_si128(units[0], units[1]), _mm_or_si128(units[2], units[3]));
    const __m128i high = _mm_and_si128(any, _mm_set1_epi32(~0x7F));
    return _mm_movemask_epi8(_mm_cmpeq_epi32(high, _mm_setzero_si128())) == 0xFFFF;
}
#else
// Eight bytes at once: the high bit of each byte.
constexpr std::uint64_t HighBits = 0x8080808080808080u;

inline std::uint64_t LoadWord(const char* input)
{
    std::uint64_t word;
    std::memcpy(&word, input, sizeof word);
    return word;
}
#endif

} // namespace AsciiRunDetail

// The units that IsAsciiBlock tests at once.
constexpr std::size_t AsciiBlockUnits = AsciiRunDetail::BlockUnits;

// Whether all AsciiBlockUnits units at `input` are ASCII.
inline bool IsAsciiBlock(const wchar_t* input)
{
#if defined(__SSE2__)
    __m128i units[4];
    return AsciiRunDetail::LoadAsciiUnits(input, units);
#else
    std::uint32_t any = 0;
    for (std::size_t k = 0; k < AsciiBlockUnits; ++k)
    {
        any |= static_cast<std::uint32_t>(input[k]);
    }
    return any < 0x80;
#endif
}

inline std::size_t CountAscii(const char* input, std::size_t length)
{
    using namespace AsciiRunDetail;
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; length - i >= BlockUnits; i += BlockUnits)
    {
        const int mask = _mm_movemask_epi8(LoadBlock(input + i));
        if (mask != 0)
        {
            return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
        }
    }
#else
    for (; length - i >= sizeof(std::uint64_t); i += sizeof(std::uint64_t))
    {
        if ((LoadWord(input + i) & HighBits) != 0)
        {
            break;
        }
    }
#endif
    while (i < length && IsAscii(input[i]))
    {
        ++i;
    }
    return i;
}

inline std::size_t CountAscii(const wchar_t* input, std::size_t length)
{
    using namespace AsciiRunDetail;
    std::size_t i = 0;
#if defined(__SSE2__)
    __m128i units[4];
    for (; length - i >= BlockUnits && LoadAsciiUnits(input + i, units); i += BlockUnits)
    {
    }
#endif
    while (i < length && IsAscii(input[i]))
    {
        ++i;
    }
    return i;
}

// ASCII bytes to wide units of the same value.
inline std::size_t WidenAscii(const char* input, std::size_t length, wchar_t* output)
{
    using namespace AsciiRunDetail;
    std::size_t i = 0;
#if defined(__SSE2__)
    static_assert(sizeof(wchar_t) == 4, "wide units are UTF-32 here");
    const __m128i zero = _mm_setzero_si128();
    for (; length - i >= BlockUnits; i += BlockUnits)
    {
        const __m128i bytes = LoadBlock(input + i);
        if (_mm_movemask_epi8(bytes) != 0)
        {
            break;
        }
        const __m128i low = _mm_unpacklo_epi8(bytes, zero);
        const __m128i high = _mm_unpackhi_epi8(bytes, zero);
        StoreBlock(output + i, _mm_unpacklo_epi16(low, zero));
        StoreBlock(output + i + 4, _mm_unpackhi_epi16(low, zero));
        StoreBlock(output + i + 8, _mm_unpacklo_epi16(high, zero));
        StoreBlock(output + i + 12, _mm_unpackhi_epi16(high, zero));
    }
#endif
    for (; i < length && IsAscii(input[i]); ++i)
    {
        output[i] = static_cast<wchar_t>(input[i]);
    }
    return i;
}

// Wide units below 0x80 to bytes of the same value.
inline std::size_t NarrowAscii(const wchar_t* input, std::size_t length, char* output)
{
    using namespace AsciiRunDetail;
    std::size_t i = 0;
#if defined(__SSE2__)
    __m128i units[4];
    for (; length - i >= BlockUnits && LoadAsciiUnits(input + i, units); i += BlockUnits)
    {
        // Every unit is below 0x80, so neither saturating pack changes a value.
        const __m128i first = _mm_packs_epi32(units[0], units[1]);
        const __m128i second = _mm_packs_epi32(units[2], units[3]);
        StoreBlock(output + i, _mm_packus_epi16(first, second));
    }
#endif
    for (; i < length && IsAscii(input[i]); ++i)
    {
        output[i] = static_cast<char>(input[i]);
    }
    return i;
}

} // namespace Tolvane::Util::Os::Posix

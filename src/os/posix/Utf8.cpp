// A direct UTF-8 codec: ANSI and OEM text is UTF-8 here, so this is the busiest path.
#include "os/posix/Utf8.h"

#include "os/posix/AsciiRun.h"
#include "os/posix/Utf8Blocks.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Tolvane::Util::Os::Posix {

namespace {

constexpr char32_t ReplacementCharacter = 0xFFFD;

bool IsScalarValue(char32_t c)
{
    return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

// Decodes the sequence that `lead` (0x80 or above) starts, as Windows does: `next` moves past
// the bytes taken. A bad byte ends the sequence before itself, except that the byte that
// reveals an overlong form, a surrogate or a value above U+10FFFF is taken along; a
// sequence cut short by the end of the input takes the rest of the input. Returns
// InvalidSequence for an ill-formed sequence.
constexpr char32_t InvalidSequence = 0xFFFFFFFF;

char32_t DecodeSequence(unsigned char lead, const char*& next, const char* end)
{
    const std::size_t trailCount = lead >= 0xF0   ? (lead <= 0xF4 ? 3 : 0)
                                   : lead >= 0xE0 ? 2
                                   : lead >= 0xC2 ? 1
                                                  : 0;
    if (static_cast<std::size_t>(end - next) < trailCount)
    {
        next = end;
        return InvalidSequence;
    }
    constexpr unsigned char leadMask[] = {0x7F, 0x1F, 0x0F, 0x07};
    char32_t value = lead & leadMask[trailCount];
    auto trail = [&next](char32_t& bits) {
        bits = static_cast<unsigned char>(*next) ^ 0x80u;
        return bits < 0x40;
    };
    char32_t bits = 0;
    switch (trailCount)
    {
    case 3:
        if (!trail(bits))
        {
            return InvalidSequence;
        }
        value = (value << 6) | bits;
        ++next;
        if (value < 0x10)
        {
            return InvalidSequence; // overlong
        }
        [[fallthrough]];
    case 2:
        if (!trail(bits))
        {
            return InvalidSequence;
        }
        value = (value << 6) | bits;
        if (value >= (0x110000 >> 6))
        {
            return InvalidSequence; // above U+10FFFF: this byte stays for the next round
        }
        ++next;
        if (value < 0x20 || (value >= (0xD800 >> 6) && value <= (0xDFFF >> 6)))
        {
            return InvalidSequence; // overlong, or a surrogate
        }
        [[fallthrough]];
    case 1:
        if (!trail(bits))
        {
            return InvalidSequence;
        }
        value = (value << 6) | bits;
        ++next;
        return value < 0x80 ? InvalidSequence : value;
    default:
        return InvalidSequence;
    }
}

// The character at `next` (whose first byte `lead` is 0x80 or above), with `next` moved past
// it: the common two- and three-byte forms are decoded on the spot, anything else by
// DecodeSequence. Ill-formed input gives U+FFFD and sets `bad`.
inline char32_t DecodeCharacter(unsigned char lead, const char*& next, const char* end, bool& bad)
{
    const auto left = static_cast<std::size_t>(end - next);
    if (lead >= 0xC2 && lead <= 0xDF && left >= 2)
    {
        const unsigned trail = static_cast<unsigned char>(next[1]) ^ 0x80u;
        if (trail < 0x40)
        {
            next += 2;
            return static_cast<char32_t>((lead & 0x1Fu) << 6 | trail);
        }
    }
    else if (lead >= 0xE0 && lead <= 0xEF && left >= 3)
    {
        const unsigned first = static_cast<unsigned char>(next[1]) ^ 0x80u;
        const unsigned second = static_cast<unsigned char>(next[2]) ^ 0x80u;
        const auto c = static_cast<char32_t>((lead & 0x0Fu) << 12 | first << 6 | second);
        if ((first | second) < 0x40 && c >= 0x800 && (c < 0xD800 || c > 0xDFFF))
        {
            next += 3;
            return c;
        }
    }
    ++next;
    const char32_t c = DecodeSequence(lead, next, end);
    if (c == InvalidSequence)
    {
        bad = true;
        return ReplacementCharacter;
    }
    return c;
}

// The code point that `unit` stands for in the output.
char32_t EncodableValue(wchar_t unit, bool* invalid)
{
    const auto c = static_cast<char32_t>(unit);
    if (IsScalarValue(c))
    {
        return c;
    }
    if (invalid != nullptr)
    {
        *invalid = true;
    }
    return ReplacementCharacter;
}

std::size_t EncodedLength(char32_t c)
{
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

// Writes the 2 to 4 bytes of `c` (0x80 or above) and gives how many.
std::size_t EncodeSequence(char32_t c, char* output)
{
    if (c < 0x800)
    {
        output[0] = static_cast<char>(0xC0 | (c >> 6));
        output[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000)
    {
        output[0] = static_cast<char>(0xE0 | (c >> 12));
        output[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        output[2] = static_cast<char>(0x80 | (c & 0x3F));
        return 3;
    }
    output[0] = static_cast<char>(0xF0 | (c >> 18));
    output[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    output[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    output[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
}

// An ASCII stretch longer than this inside other text goes to the block copy.
constexpr std::size_t ShortAsciiRun = 8;

// The sizing passes: they count the output without producing it.

// Each unit takes one byte, one more above 0x7F, 0x7FF and 0xFFFF, and U+FFFD's three when it
// is no scalar value: above U+10FFFF (taking one back) or a surrogate (three already).
std::size_t CountUnits(const wchar_t* input, std::size_t length, bool* invalid)
{
    std::size_t count = 0;
    std::size_t i = 0;
#if defined(__SSE2__)
    static_assert(sizeof(wchar_t) == 4, "wide units are UTF-32 here");
    // Unsigned comparisons from signed ones: both sides with the sign bit flipped.
    const __m128i sign = _mm_set1_epi32(static_cast<int>(0x80000000u));
    const auto above = [](__m128i flipped, std::uint32_t limit) {
        return _mm_cmpgt_epi32(flipped, _mm_set1_epi32(static_cast<int>(limit ^ 0x80000000u)));
    };
    __m128i bad = _mm_setzero_si128();
    // The 32-bit lanes gain at most 12 a round: flushed long before they could overflow.
    constexpr std::size_t roundsPerFlush = 1u << 26;
    constexpr std::size_t block = 16;
    while (length - i >= block)
    {
        __m128i extra = _mm_setzero_si128();
        for (std::size_t rounds = 0; length - i >= block && rounds < roundsPerFlush;
             i += block, ++rounds)
        {
            __m128i units[4];
            if (AsciiRunDetail::LoadAsciiUnits(input + i, units))
            {
                continue; // ASCII adds nothing beyond one byte a unit
            }
            for (const __m128i& quad : units)
            {
                const __m128i flipped = _mm_xor_si128(quad, sign);
                const __m128i beyond = above(flipped, 0x10FFFF);
                extra = _mm_sub_epi32(extra, above(flipped, 0x7F));
                extra = _mm_sub_epi32(extra, above(flipped, 0x7FF));
                extra = _mm_sub_epi32(extra, above(flipped, 0xFFFF));
                extra = _mm_add_epi32(extra, beyond);
                const __m128i surrogate = _mm_cmpeq_epi32(
                    _mm_and_si128(quad, _mm_set1_epi32(static_cast<int>(0xFFFFF800u))),
                    _mm_set1_epi32(0xD800));
                bad = _mm_or_si128(bad, _mm_or_si128(beyond, surrogate));
            }
        }
        std::uint32_t lanes[4];
        _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes), extra);
        count += std::size_t{lanes[0]} + lanes[1] + lanes[2] + lanes[3];
    }
    count += i;
    if (invalid != nullptr && _mm_movemask_epi8(bad) != 0)
    {
        *invalid = true;
    }
#endif
    for (; i < length; ++i)
    {
        count += EncodedLength(EncodableValue(input[i], invalid));
    }
    return count;
}

// The long texts' paths stand apart, so that a short text's call saves no registers for them.
[[gnu::noinline]] std::size_t CountLong(const wchar_t* input, std::size_t length, bool* invalid)
{
    std::size_t count = 0;
    bool blocksInvalid = false;
    const std::size_t i = CountUtf8Blocks(input, length, count, blocksInvalid);
    if (blocksInvalid && invalid != nullptr)
    {
        *invalid = true;
    }
    return count + CountUnits(input + i, length - i, invalid);
}

std::size_t CountUtf8(const wchar_t* input, std::size_t length, bool* invalid)
{
    return length < ShortestUtf8Counted ? CountUnits(input, length, invalid)
                                        : CountLong(input, length, invalid);
}

std::size_t CountWide(const char* input, std::size_t length, bool* invalid)
{
    std::size_t count = 0;
    bool bad = false;
    const char* next = input;
    const char* const end = input + length;
    while (next != end)
    {
        const std::size_t run = CountAscii(next, static_cast<std::size_t>(end - next));
        next += run;
        count += run;
        while (next != end && static_cast<unsigned char>(*next) >= 0x80)
        {
            DecodeCharacter(static_cast<unsigned char>(*next), next, end, bad);
            ++count;
        }
    }
    if (bad && invalid != nullptr)
    {
        *invalid = true;
    }
    return count;
}

// EncodeUtf8 unit by unit, and ASCII blocks at once.
std::size_t EncodeUnits(const wchar_t* input, std::size_t length, char* output,
                        std::size_t capacity, bool* invalid)
{
    constexpr std::size_t longestSequence = 4;
    constexpr std::size_t block = 16;
    std::size_t written = 0;
    std::size_t i = 0;
    // Whole blocks while the output has room for their longest form: ASCII blocks at once,
    // others unit by unit without room checks.
    while (length - i >= block && capacity - written >= block * longestSequence)
    {
        const std::size_t run = NarrowAscii(input + i, block, output + written);
        i += run;
        written += run;
        if (run == block)
        {
            continue;
        }
        for (const std::size_t blockEnd = i + block - run; i < blockEnd; ++i)
        {
            const auto c = static_cast<char32_t>(input[i]);
            if (c < 0x80)
            {
                output[written++] = static_cast<char>(c);
            }
            else
            {
                written += EncodeSequence(EncodableValue(input[i], invalid), output + written);
            }
        }
    }
    while (i < length)
    {
        const std::size_t run =
            NarrowAscii(input + i, std::min(length - i, capacity - written), output + written);
        i += run;
        written += run;
        for (; i < length; ++i)
        {
            if (static_cast<std::uint32_t>(input[i]) < 0x80 && written < capacity)
            {
                break;
            }
            const char32_t c = EncodableValue(input[i], invalid);
            if (capacity - written < longestSequence && capacity - written < EncodedLength(c))
            {
                // It does not fit: what the rest would need is all that is left to tell.
                return written + CountUtf8(input + i, length - i, invalid);
            }
            written += EncodeSequence(c, output + written);
        }
    }
    return written;
}

[[gnu::noinline]] std::size_t EncodeLong(const wchar_t* input, std::size_t length, char* output,
                                         std::size_t capacity, bool* invalid)
{
    std::size_t written = 0;
    bool blocksInvalid = false;
    const std::size_t i = EncodeUtf8Blocks(input, length, output, capacity, written, blocksInvalid);
    if (blocksInvalid && invalid != nullptr)
    {
        *invalid = true;
    }
    return written +
           EncodeUnits(input + i, length - i, output + written, capacity - written, invalid);
}

} // namespace

std::size_t EncodeUtf8(const wchar_t* input, std::size_t length, char* output, std::size_t capacity,
                       bool* invalid)
{
    if (capacity == 0)
    {
        return CountUtf8(input, length, invalid);
    }
    if (length < ShortestUtf8Encoded || capacity < ShortestUtf8Encoded * 4)
    {
        return EncodeUnits(input, length, output, capacity, invalid);
    }
    return EncodeLong(input, length, output, capacity, invalid);
}

std::size_t DecodeUtf8(const char* input, std::size_t length, wchar_t* output, std::size_t capacity,
                       bool* invalid)
{
    if (capacity == 0)
    {
        return CountWide(input, length, invalid);
    }
    bool bad = false;
    wchar_t* out = output;
    const char* next = input;
    const char* const end = input + length;
    while (next != end)
    {
        const auto room = static_cast<std::size_t>(output + capacity - out);
        const std::size_t run =
            WidenAscii(next, std::min(static_cast<std::size_t>(end - next), room), out);
        next += run;
        out += run;
        if (next != end && out == output + capacity)
        {
            // It does not fit: what the rest would need is all that is left to tell.
            const std::size_t rest = CountWide(next, static_cast<std::size_t>(end - next), &bad);
            if (bad && invalid != nullptr)
            {
                *invalid = true;
            }
            return capacity + rest;
        }
        // Other text, with the short ASCII stretches inside it. Each byte gives at most one
        // unit, so as many bytes as there is room for units need no test of the room (a
        // character that starts among them may end past them).
        const char* const stop = next + std::min(static_cast<std::size_t>(end - next), room - run);
        for (std::size_t ascii = 0; next < stop;)
        {
            const auto lead = static_cast<unsigned char>(*next);
            if (lead < 0x80)
            {
                if (++ascii > ShortAsciiRun)
                {
                    break;
                }
                *out++ = static_cast<wchar_t>(lead);
                ++next;
                continue;
            }
            ascii = 0;
            *out++ = static_cast<wchar_t>(DecodeCharacter(lead, next, end, bad));
        }
    }
    if (bad && invalid != nullptr)
    {
        *invalid = true;
    }
    return static_cast<std::size_t>(out - output);
}

} // namespace Tolvane::Util::Os::Posix

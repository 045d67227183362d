// The rounds of WideRounds.h, compiled once per instruction set: included by
// WideRoundsSse41.cpp and WideRoundsAvx2.cpp, each of which names the functions' target
// (TOLVANE_ROUNDS_TARGET) and namespace (TOLVANE_ROUNDS_NAMESPACE), and defines
// TOLVANE_ROUNDS_WIDE where 256-bit registers may test a round's units at once. A round looks up
// its eight codes into the lanes of one register, tests them all at once, and turns them into
// bytes with one shuffle, which a table chosen by the codes that take two bytes gives: it puts
// each lead byte before its trail byte and closes the gaps.
#pragma once

#include "os/posix/CodePageTables.h"
#include "os/posix/CompactShuffles.h"
#include "os/posix/FlatRunCodes.h"
#include "os/posix/WideRoundsVariants.h"

#include <immintrin.h>

#include <type_traits>

namespace Tolvane::Util::Os::Posix::TOLVANE_ROUNDS_NAMESPACE {

namespace {

// The units that the count by lengths takes a round at a time after two rounds at once met a
// unit without a mapping.
constexpr std::size_t PairsPause = 16 * RoundUnits;

struct BlockCodes
{
    const std::int32_t* bases;
    std::uint16_t operator()(std::uint32_t unit) const { return RunCode(bases, unit); }
};

struct FlatCodes
{
    const std::uint16_t* codes;
    std::uint16_t operator()(std::uint32_t unit) const { return codes[unit]; }
};

// Whether the eight units at `units` are all below `limit`, a power of two: one test of a wide
// register where there are wide registers, else of two narrow ones or'ed together.
TOLVANE_ROUNDS_TARGET inline bool UnitsBelow(const wchar_t* units, int limit)
{
    static_assert(sizeof(wchar_t) == 4, "wide units are UTF-32 here");
#if defined(TOLVANE_ROUNDS_WIDE)
    const __m256i all = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(units));
    return _mm256_testz_si256(all, _mm256_set1_epi32(-limit)) != 0;
#else
    const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units));
    const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + 4));
    return _mm_testz_si128(_mm_or_si128(first, second), _mm_set1_epi32(-limit)) != 0;
#endif
}

// The same for the sixteen units at `units`.
TOLVANE_ROUNDS_TARGET inline bool SixteenBelow(const wchar_t* units, int limit)
{
#if defined(TOLVANE_ROUNDS_WIDE)
    const __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(units));
    const __m256i second = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(units + 8));
    return _mm256_testz_si256(_mm256_or_si256(first, second), _mm256_set1_epi32(-limit)) != 0;
#else
    const auto* const blocks = reinterpret_cast<const __m128i*>(units);
    const __m128i all =
        _mm_or_si128(_mm_or_si128(_mm_loadu_si128(blocks), _mm_loadu_si128(blocks + 1)),
                     _mm_or_si128(_mm_loadu_si128(blocks + 2), _mm_loadu_si128(blocks + 3)));
    return _mm_testz_si128(all, _mm_set1_epi32(-limit)) != 0;
#endif
}

// The run table's codes of the eight units at `units`, which are below U+10000.
template <typename Lookup>
TOLVANE_ROUNDS_TARGET inline __m128i LookUp(const wchar_t* units, Lookup lookup)
{
    const auto* const unit = reinterpret_cast<const std::uint32_t*>(units);
    return _mm_setr_epi16(static_cast<short>(lookup(unit[0])), static_cast<short>(lookup(unit[1])),
                          static_cast<short>(lookup(unit[2])), static_cast<short>(lookup(unit[3])),
                          static_cast<short>(lookup(unit[4])), static_cast<short>(lookup(unit[5])),
                          static_cast<short>(lookup(unit[6])), static_cast<short>(lookup(unit[7])));
}

// Whether one of `codes` is ComposingCode or NoCode, which alone reach 0xFFFF when one is added.
TOLVANE_ROUNDS_TARGET inline bool AnyUnusual(__m128i codes)
{
    const __m128i unusual =
        _mm_cmpeq_epi16(_mm_adds_epu16(codes, _mm_set1_epi16(1)), _mm_set1_epi16(-1));
    return _mm_testz_si128(unusual, unusual) == 0;
}

TOLVANE_ROUNDS_TARGET inline bool AnyComposing(__m128i codes)
{
    const __m128i composing =
        _mm_cmpeq_epi16(codes, _mm_set1_epi16(static_cast<short>(ComposingCode)));
    return _mm_testz_si128(composing, composing) == 0;
}

// The codes that a round writes: the pending one (the last of `previous`), then the first seven
// of its eight.
TOLVANE_ROUNDS_TARGET inline __m128i Written(__m128i codes, __m128i previous)
{
    return _mm_alignr_epi8(codes, previous, 14);
}

// Bit k set when written code k takes two bytes. Halved, a code of two bytes (0x100 or above)
// still has its top bit set once packed to a byte with unsigned saturation; one of one byte
// does not.
TOLVANE_ROUNDS_TARGET inline unsigned TwoByteCodes(__m128i written)
{
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_packus_epi16(_mm_srli_epi16(written, 1), _mm_setzero_si128())));
}

// Stores a round's codes at `out`; returns their bytes.
template <bool SingleByte>
TOLVANE_ROUNDS_TARGET inline unsigned Store(__m128i written, char* out)
{
    if (SingleByte)
    {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(written, written));
        return RoundUnits;
    }
    const unsigned twoBytes = TwoByteCodes(written);
    const __m128i shuffle =
        _mm_load_si128(reinterpret_cast<const __m128i*>(CompactShuffles[twoBytes].data()));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(written, shuffle));
    return RoundUnits + static_cast<unsigned>(__builtin_popcount(twoBytes));
}

template <bool SingleByte>
TOLVANE_ROUNDS_TARGET inline unsigned Bytes(__m128i written)
{
    return RoundUnits +
           (SingleByte ? 0 : static_cast<unsigned>(__builtin_popcount(TwoByteCodes(written))));
}

// Whether a round takes the eight units at `units`: all below U+10000, and not ASCII that eight
// more ASCII units follow when the caller copies ASCII blocks itself (`asciiBlocks`); for
// those `defaults` learns of it. `left` counts from the unit before the eight.
TOLVANE_ROUNDS_TARGET inline bool RoundTakes(const wchar_t* units, std::size_t left,
                                             bool asciiBlocks, RoundDefaults& defaults)
{
    if (!UnitsBelow(units, 0x10000))
    {
        return false;
    }
    if (__builtin_expect(UnitsBelow(units, 0x80), false))
    {
        if (asciiBlocks && left >= 2 * RoundUnits && UnitsBelow(units + RoundUnits, 0x80))
        {
            defaults.asciiAhead = true;
            return false;
        }
    }
    return true;
}

// What the rounds did with units without a mapping: whether a round wrote one; whether the code
// pending after the last round with such units is one, and where that round ended.
class DefaultTracker
{
public:
    // The round of the eight units after `i` has these units without a mapping (bit k for unit
    // k).
    void Round(std::size_t i, unsigned lanes)
    {
        m_Written = m_Written || m_Last || (lanes & 0x7F) != 0;
        m_Last = (lanes >> 7) != 0;
        m_LastEnd = i + RoundUnits;
    }
    // The rounds stopped at `i`: a round after the last one with such units wrote its pending
    // code.
    void Finish(std::size_t i, RoundDefaults& defaults) const
    {
        defaults.written = defaults.written || m_Written || (m_Last && m_LastEnd != i);
        defaults.pending = m_Last && m_LastEnd == i;
    }

private:
    bool m_Written = false;
    bool m_Last = false;
    std::size_t m_LastEnd = 0;
};

// `codes` (of the round after `i`) with the default code for each NoCode, which `tracker`
// learns of.
TOLVANE_ROUNDS_TARGET inline __m128i Defaulted(const RoundTables& tables, __m128i codes,
                                               std::size_t i, DefaultTracker& tracker)
{
    const __m128i none = _mm_cmpeq_epi16(codes, _mm_set1_epi16(static_cast<short>(NoCode)));
    tracker.Round(
        i, static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(none, _mm_setzero_si128()))));
    return _mm_blendv_epi8(codes, _mm_set1_epi16(static_cast<short>(tables.defaultCode)), none);
}

// Runs the rounds; `take(written)` writes or counts one round's codes.
template <typename Lookup, typename Take>
TOLVANE_ROUNDS_TARGET inline std::size_t
Run(const RoundTables& tables, Lookup lookup, const wchar_t* input, std::size_t i, std::size_t end,
    std::uint16_t& code, RoundDefaults& defaults, Take take)
{
    // The last lane holds the code pending before each round.
    __m128i previous = _mm_insert_epi16(_mm_setzero_si128(), code, RoundUnits - 1);
    DefaultTracker tracker;
    // Read once: the stores of the rounds may alias the tables as far as the compiler knows.
    const bool asciiBlocks = tables.asciiBlocks;
    while (end - i >= RoundUnits)
    {
        if (!RoundTakes(input + i + 1, end - i, asciiBlocks, defaults))
        {
            break;
        }
        __m128i codes = LookUp(input + i + 1, lookup);
        if (__builtin_expect(AnyUnusual(codes), false))
        {
            if (AnyComposing(codes))
            {
                break;
            }
            codes = Defaulted(tables, codes, i, tracker);
        }
        take(Written(codes, previous));
        previous = codes;
        i += RoundUnits;
    }
    tracker.Finish(i, defaults);
    code = static_cast<std::uint16_t>(_mm_extract_epi16(previous, RoundUnits - 1));
    return i;
}

template <bool SingleByte, typename Lookup>
TOLVANE_ROUNDS_TARGET std::size_t Write(const RoundTables& tables, Lookup lookup,
                                        const wchar_t* input, std::size_t i, std::size_t end,
                                        std::uint16_t& code, RoundDefaults& defaults, char*& next)
{
    char* out = next;
    i = Run(tables, lookup, input, i, end, code, defaults,
            [&out](__m128i written) { out += Store<SingleByte>(written, out); });
    next = out;
    return i;
}

template <bool SingleByte, typename Lookup>
TOLVANE_ROUNDS_TARGET std::size_t
Count(const RoundTables& tables, Lookup lookup, const wchar_t* input, std::size_t i,
      std::size_t end, std::uint16_t& code, RoundDefaults& defaults, std::size_t& count)
{
    std::size_t bytes = count;
    i = Run(tables, lookup, input, i, end, code, defaults,
            [&bytes](__m128i written) { bytes += Bytes<SingleByte>(written); });
    count = bytes;
    return i;
}

// Count with a page's flat lengths: a round adds its eight units' lengths, which also tell
// whether one of them has no mapping or composes. Such a round is looked up as Run does it;
// composing, it ends the rounds.
TOLVANE_ROUNDS_TARGET std::size_t CountByLengths(const RoundTables& tables, const wchar_t* input,
                                                 std::size_t i, std::size_t end,
                                                 std::uint16_t& code, RoundDefaults& defaults,
                                                 std::size_t& count)
{
    const FlatCodes lookup{tables.flat};
    const std::uint8_t* const lengths = tables.lengths;
    // Every code met is counted, the pending one too, whose bytes come off at the end. The
    // pending code after a round that its lengths took is that of the unit at `i`; after one
    // looked up, the last of its codes, where `lookedUpEnd` shows.
    std::size_t bytes = count + CodeBytes(code);
    std::uint16_t pending = code;
    std::size_t lookedUpEnd = i;
    DefaultTracker tracker;
    const bool asciiBlocks = tables.asciiBlocks;
    const auto lengthsOf = [lengths](const wchar_t* units) {
        const auto* const unit = reinterpret_cast<const std::uint32_t*>(units);
        return static_cast<unsigned>(
            (lengths[unit[0]] + lengths[unit[1]] + lengths[unit[2]] + lengths[unit[3]]) +
            (lengths[unit[4]] + lengths[unit[5]] + lengths[unit[6]] + lengths[unit[7]]));
    };
    // Two rounds at once are tried from here: not at first, nor for a while after they met a
    // unit without a mapping (text that has many would look its units up twice).
    std::size_t pairsFrom = i + 2 * RoundUnits;
    while (end - i >= RoundUnits)
    {
        // Two rounds at once while no unit lacks a mapping or composes, and the second is not
        // all ASCII: an ASCII run that RoundTakes would hand back for its length fills some
        // pair's second round.
        while (i >= pairsFrom && end - i >= 2 * RoundUnits)
        {
            const wchar_t* const first = input + i + 1;
            const wchar_t* const second = first + RoundUnits;
            if (!SixteenBelow(first, 0x10000) || UnitsBelow(second, 0x80))
            {
                break;
            }
            const unsigned sum = lengthsOf(input + i + 1) + lengthsOf(input + i + 1 + RoundUnits);
            if (sum >= FlatRunNoCode)
            {
                pairsFrom = i + PairsPause;
                break;
            }
            bytes += sum;
            i += 2 * RoundUnits;
        }
        if (end - i < RoundUnits || !RoundTakes(input + i + 1, end - i, asciiBlocks, defaults))
        {
            break;
        }
        const unsigned sum = lengthsOf(input + i + 1);
        if (__builtin_expect(sum < FlatRunNoCode, true))
        {
            bytes += sum;
            i += RoundUnits;
            continue;
        }
        __m128i codes = LookUp(input + i + 1, lookup);
        if (AnyComposing(codes))
        {
            break;
        }
        codes = Defaulted(tables, codes, i, tracker);
        bytes += Bytes<false>(codes);
        pending = static_cast<std::uint16_t>(_mm_extract_epi16(codes, RoundUnits - 1));
        i += RoundUnits;
        lookedUpEnd = i;
    }
    if (i != lookedUpEnd)
    {
        pending = lookup(static_cast<std::uint32_t>(input[i]));
    }
    tracker.Finish(i, defaults);
    code = pending;
    count = bytes - CodeBytes(pending);
    return i;
}

// The rounds of PlainRounds: the eight units' own codes, with no pending one. Whether the unit
// after the last round composes with it is asked once, at the end: if so, that round is given
// back.
template <bool SingleByte>
TOLVANE_ROUNDS_TARGET std::size_t Plain(const std::int32_t* bases, const wchar_t* input,
                                        std::size_t length, std::size_t room, char* output,
                                        std::size_t& produced)
{
    constexpr std::size_t RoundRoom = SingleByte ? RoundUnits : 2 * RoundUnits;
    const BlockCodes lookup{bases};
    // Pointers rather than counts: fewer values to keep in registers across a round.
    const wchar_t* next = input;
    const wchar_t* const last = input + (length - length % RoundUnits);
    std::size_t bytes = 0;
    unsigned lastBytes = 0;
    if (output == nullptr)
    {
        for (; next != last; next += RoundUnits)
        {
            if (!UnitsBelow(next, 0x10000))
            {
                break;
            }
            const __m128i codes = LookUp(next, lookup);
            if (AnyUnusual(codes))
            {
                break;
            }
            lastBytes = Bytes<SingleByte>(codes);
            bytes += lastBytes;
        }
    }
    else
    {
        char* out = output;
        char* const end = output + room;
        for (; next != last && static_cast<std::size_t>(end - out) >= RoundRoom; next += RoundUnits)
        {
            if (!UnitsBelow(next, 0x10000))
            {
                break;
            }
            const __m128i codes = LookUp(next, lookup);
            if (AnyUnusual(codes))
            {
                break;
            }
            lastBytes = Store<SingleByte>(codes, out);
            out += lastBytes;
        }
        bytes = static_cast<std::size_t>(out - output);
    }
    auto i = static_cast<std::size_t>(next - input);
    if (i != 0 && i < length)
    {
        const auto after = static_cast<std::uint32_t>(input[i]);
        if (after < 0x10000 && lookup(after) == ComposingCode)
        {
            i -= RoundUnits;
            bytes -= lastBytes;
        }
    }
    produced = bytes;
    return i;
}

// Runs `rounds(singleByte, lookup)` with the page's kind as a type and the lookup that suits
// its tables.
template <typename Rounds>
std::size_t WithLookup(const RoundTables& tables, Rounds rounds)
{
    if (tables.singleByte)
    {
        return rounds(std::true_type{}, BlockCodes{tables.bases});
    }
    return tables.flat != nullptr ? rounds(std::false_type{}, FlatCodes{tables.flat})
                                  : rounds(std::false_type{}, BlockCodes{tables.bases});
}

} // namespace

std::size_t PlainSingleByteRounds(const std::int32_t* bases, const wchar_t* input,
                                  std::size_t length, std::size_t room, char* output,
                                  std::size_t& produced)
{
    return Plain<true>(bases, input, length, room, output, produced);
}

std::size_t PlainDoubleByteRounds(const std::int32_t* bases, const wchar_t* input,
                                  std::size_t length, std::size_t room, char* output,
                                  std::size_t& produced)
{
    return Plain<false>(bases, input, length, room, output, produced);
}

std::size_t WriteRounds(const RoundTables& tables, const wchar_t* input, std::size_t i,
                        std::size_t end, std::uint16_t& code, RoundDefaults& defaults, char*& next)
{
    return WithLookup(tables, [&](auto singleByte, auto lookup) {
        return Write<decltype(singleByte)::value>(tables, lookup, input, i, end, code, defaults,
                                                  next);
    });
}

std::size_t CountRounds(const RoundTables& tables, const wchar_t* input, std::size_t i,
                        std::size_t end, std::uint16_t& code, RoundDefaults& defaults,
                        std::size_t& count)
{
    if (tables.lengths != nullptr)
    {
        return CountByLengths(tables, input, i, end, code, defaults, count);
    }
    return WithLookup(tables, [&](auto singleByte, auto lookup) {
        return Count<decltype(singleByte)::value>(tables, lookup, input, i, end, code, defaults,
                                                  count);
    });
}

} // namespace Tolvane::Util::Os::Posix::TOLVANE_ROUNDS_NAMESPACE
